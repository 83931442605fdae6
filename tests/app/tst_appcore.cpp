#include "app/CommandLine.h"
#include "app/LanguageFile.h"
#include "app/RecentFiles.h"
#include "platform/Settings.h"
#include "platform/TextSet.h"
#include "app/WindowTiler.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAppCore : public QObject
{
    Q_OBJECT

private slots:
    void recentListComparesOnlyTheFirstEntry()
    {
        Settings s;
        for (const char *p : {"/d/a.txt", "/d/b.txt", "/d/c.txt"})
            RecentFiles::add(s, QString::fromLatin1(p));
        QCOMPARE(s.line(14), QStringLiteral("/d/c.txt"));
        QCOMPARE(s.line(16), QStringLiteral("/d/a.txt"));
        RecentFiles::add(s, QStringLiteral("/d/c.txt"));
        QCOMPARE(s.line(15), QStringLiteral("/d/b.txt"));
        RecentFiles::add(s, QStringLiteral("/d/b.txt"));
        QCOMPARE(s.line(14), QStringLiteral("/d/b.txt"));
        QCOMPARE(s.line(15), QStringLiteral("/d/c.txt"));
        QCOMPARE(s.line(16), QStringLiteral("/d/b.txt"));
        QCOMPARE(s.line(17), QStringLiteral("/d/a.txt"));
        RecentFiles::add(s, QStringLiteral("/D/B.TXT")); // exact comparison
        QCOMPARE(s.line(14), QStringLiteral("/D/B.TXT"));
        QCOMPARE(s.line(17), QStringLiteral("/d/b.txt"));
        QCOMPARE(RecentFiles::names(s).first(), QStringLiteral("B.TXT"));
        QCOMPARE(RecentFiles::fileNamePart(QStringLiteral("C:\\dir\\x.rtf")), QStringLiteral("x.rtf"));
        QCOMPARE(RecentFiles::fileNamePart(QStringLiteral("C:x.rtf")), QStringLiteral("x.rtf"));
        QCOMPARE(RecentFiles::fileNamePart(QString()), QString());
    }

    void commandLineSteps()
    {
        const auto exists = [](const QString &name) { return name.startsWith(QLatin1String("/exists")); };
        const QList<CommandLineStep> steps = CommandLine::plan(
            {QStringLiteral("/RS"), QStringLiteral("/exists/a.txt"), QStringLiteral("/s"), QStringLiteral("new.txt"),
             QStringLiteral("abcd"), QStringLiteral("/x"), QStringLiteral("/N"), QString(), QString(5000, u'x')},
            exists);
        QList<CommandLineStep::Kind> kinds;
        for (const CommandLineStep &s : steps)
            kinds << s.kind;
        const QList<CommandLineStep::Kind> expected = {
            CommandLineStep::ReplaceAfterLoad, CommandLineStep::OpenFile, CommandLineStep::NoFinishMessage,
            CommandLineStep::NewNamedFile, CommandLineStep::Ignore, CommandLineStep::Ignore,
            CommandLineStep::NoDocument, CommandLineStep::Ignore, CommandLineStep::NewNamedFile};
        QCOMPARE(kinds, expected);
    }

    void tilingCoversTheAreaWithoutOverlap_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("mode");
        for (int n : {1, 2, 3, 7, 20})
            for (int m : {0, 1})
                QTest::addRow("%d %s", n, m ? "vertical" : "horizontal") << n << m;
    }

    void tilingCoversTheAreaWithoutOverlap()
    {
        QFETCH(int, count);
        QFETCH(int, mode);
        const QRect area(0, 0, 800, 600);
        const QList<QRect> rects = WindowTiler::tile(area, count, mode ? WindowTiler::Mode::Vertical
                                                                        : WindowTiler::Mode::Horizontal);
        QCOMPARE(rects.size(), count);
        qint64 covered = 0;
        for (int i = 0; i < rects.size(); ++i) {
            QVERIFY(area.contains(rects[i]));
            covered += qint64(rects[i].width()) * rects[i].height();
            for (int j = i + 1; j < rects.size(); ++j)
                QVERIFY(!rects[i].intersects(rects[j]));
        }
        QCOMPARE(covered, qint64(800) * 600);
        if (count == 2) {
            // Horizontal tiling stacks, vertical tiling puts side by side.
            QCOMPARE(rects[0].width(), mode ? 400 : 800);
        }
    }

    void languageFilesAreCheckedStrictly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        const QByteArray header = TextSet::LanguageFileHeader.toLatin1();
        auto lines = [&header](int count, const QByteArray &end) {
            QByteArray b = header;
            for (int i = 1; i < count; ++i)
                b += end + "line " + QByteArray::number(i);
            return b + end;
        };
        const int ok = int(LanguageFile::Status::Ok);
        const int invalid = int(LanguageFile::Status::Invalid);
        QTest::newRow("217 CRLF") << lines(217, "\r\n") << ok;
        QTest::newRow("217 LF only") << lines(217, "\n") << ok;
        QTest::newRow("217 CR only") << lines(217, "\r") << ok;
        QTest::newRow("217 without last end") << lines(217, "\r\n").chopped(2) << ok;
        QTest::newRow("216") << lines(216, "\r\n") << invalid;
        QTest::newRow("218") << lines(218, "\r\n") << invalid;
        QTest::newRow("header case") << lines(217, "\r\n").replace("Language", "language") << invalid;
        QTest::newRow("header trailing blank") << lines(217, "\r\n").replace("Quilmar **", "Quilmar ** ") << invalid;
        QTest::newRow("empty") << QByteArray() << invalid;
        QByteArray binary(5000, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 31);
        QTest::newRow("binary") << binary << invalid;
        QTest::newRow("overlong line") << lines(217, "\r\n").replace("line 216", QByteArray(200000, 'w')) << ok;
        QTest::newRow("huge") << lines(217, "\r\n").replace("line 216", QByteArray(2000000, 'w')) << invalid;
    }

    void languageFilesAreCheckedStrictly()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.lgtx"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(int(LanguageFile::read(path).status), status);
    }

    void missingLanguageFileAndDirectory()
    {
        QTemporaryDir dir;
        QCOMPARE(LanguageFile::read(dir.filePath(QStringLiteral("none.lgtx"))).status, LanguageFile::Status::Missing);
        QCOMPARE(LanguageFile::read(dir.path()).status, LanguageFile::Status::Missing);
    }
};

QTEST_GUILESS_MAIN(TestAppCore)
#include "tst_appcore.moc"
