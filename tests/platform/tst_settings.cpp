#include "platform/Settings.h"
#include "platform/TextSet.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void lineEndsOfEveryKindAndPadding()
    {
        Settings s;
        s.setContent("English\r\n30\n40\r50\r\n");
        QCOMPARE(s.count(), Settings::MinimumLines);
        QCOMPARE(s.line(0), QStringLiteral("English"));
        QCOMPARE(s.line(1), QStringLiteral("30"));
        QCOMPARE(s.line(2), QStringLiteral("40"));
        QCOMPARE(s.line(3), QStringLiteral("50"));
        QCOMPARE(s.line(4), QString());
        QCOMPARE(s.line(1000), QString());
    }

    void extraLinesSurviveASaveAndCrLfIsWritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quilmar.ini"));
        QByteArray content;
        for (int i = 0; i < 60; ++i)
            content += "line" + QByteArray::number(i) + "\n";
        Settings s;
        s.setContent(content);
        QCOMPARE(s.count(), 60);
        s.setLine(7, QString::fromUtf8("Grüße"));
        QVERIFY(s.save(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QVERIFY(written.startsWith("line0\r\nline1\r\n"));
        QVERIFY(written.contains("Gr\xFC\xDF" "e\r\n")); // ANSI code page, not UTF-8
        QVERIFY(written.endsWith("line59\r\n"));
        Settings again;
        QVERIFY(again.load(path));
        QCOMPARE(again.lines(), s.lines());
    }

    void numbersFallBackToTheirDefaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "600" << 600;
        QTest::newRow("leading blanks") << "  42" << 42;
        QTest::newRow("negative colour") << "-16777208" << -16777208;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("word") << "abc" << -1;
        QTest::newRow("trailing junk") << "12px" << -1;
        QTest::newRow("overflow") << "99999999999" << -1;
        QTest::newRow("binary") << QString::fromLatin1("\x01\x02\xff") << -1;
    }

    void numbersFallBackToTheirDefaults()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        Settings s;
        s.setLine(3, text);
        QCOMPARE(s.number(3, -1), expected);
    }

    void damagedFilesLoadWithoutHarm()
    {
        Settings s;
        s.setContent(QByteArray());
        QCOMPARE(s.count(), Settings::MinimumLines);
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 7);
        s.setContent(binary);
        QVERIFY(s.count() >= Settings::MinimumLines);
        QCOMPARE(s.number(1, 30), 30);
        const QByteArray longLine(2 * 1024 * 1024, 'x');
        s.setContent(longLine + "\r\n30");
        QCOMPARE(s.line(0).size(), longLine.size());
        QCOMPARE(s.number(1, 0), 30);
    }

    void hugeFileIsReadOnlyAsFarAsTheLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.ini"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray line(1000, 'a');
        for (int i = 0; i < 6000; ++i)
            f.write(line + "\r\n");
        f.close();
        Settings s;
        QVERIFY(s.load(path));
        QVERIFY(s.count() < 6000);
        QCOMPARE(s.line(0), QString::fromLatin1(line));
    }

    // File names in any script survive a save and a load; a file whose lines
    // all fit the ANSI code page stays in it.
    void namesOutsideTheAnsiCodePageSurviveARestart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("greek") << QString::fromUtf8("/home/ελένη/ελληνικά.txt");
        QTest::newRow("cjk") << QString::fromUtf8("/home/user/文書/日本語のメモ.rtf");
        QTest::newRow("emoji") << QString::fromUtf8("/tmp/notes \U0001F4DD\U0001F600.txt");
        QTest::newRow("mixed with ansi") << QString::fromUtf8("C:\\Grüße\\Ωmega.txt");
    }

    void namesOutsideTheAnsiCodePageSurviveARestart()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Quilmar.ini"));
        Settings s;
        s.setLine(0, path);
        s.setLine(11, QFileInfo(path).path());
        s.setLine(14, path);
        s.setLine(18, path);
        s.setLine(7, QString::fromUtf8("Grüße"));
        QVERIFY(s.save(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!bytes.contains('?'));
        Settings again;
        QVERIFY(again.load(file));
        QCOMPARE(again.lines(), s.lines());
        // Once the name is gone the file is ANSI again.
        again.setLine(0, QStringLiteral("English"));
        again.setLine(11, QString());
        again.setLine(14, QString());
        again.setLine(18, QString());
        QCOMPARE(again.content().left(9), QByteArray("English\r\n"));
        QVERIFY(again.content().contains("Gr\xFC\xDF" "e\r\n"));
    }

    void damagedUtf8FilesGiveDefaults()
    {
        Settings s;
        // A mark followed by nothing: every line empty.
        s.setContent("\xEF\xBB\xBF");
        QCOMPARE(s.count(), Settings::MinimumLines);
        for (const QString &l : s.lines())
            QVERIFY(l.isEmpty());
        // Invalid sequences after the mark spoil only their own characters.
        s.setContent("\xEF\xBB\xBF" "Deutsch\r\n\xC3\x28\xFF\xFE" "abc\r\n640\r\n\xE2\x82\r\n400\r\n");
        QCOMPARE(s.line(0), QStringLiteral("Deutsch"));
        QVERIFY(s.line(1).endsWith(QLatin1String("abc")));
        QCOMPARE(s.number(1, 30), 30);
        QCOMPARE(s.number(2, 30), 640);
        QCOMPARE(s.number(4, 400), 400);
        // A mark alone on a line further down is text, not a coding switch.
        s.setContent("English\r\n\xEF\xBB\xBF\r\n");
        QCOMPARE(s.line(0), QStringLiteral("English"));
        QCOMPARE(s.line(1).size(), 3);
    }

    void fortyNineLinesOfOneMegabyteEach()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quilmar.ini"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF");
        const QByteArray line(1024 * 1024, '7');
        for (int i = 0; i < 49; ++i)
            f.write(line + "\r\n");
        f.close();
        Settings s;
        QVERIFY(s.load(path));
        QCOMPARE(s.count(), Settings::MinimumLines);
        QCOMPARE(s.line(0).size(), line.size());
        // Lines beyond the read limit take their defaults; numbers never overflow.
        QCOMPARE(s.number(1, 30), 30);
        QCOMPARE(s.line(48), QString());
        QVERIFY(s.save(path));
    }

    void failedWritesKeepTheOldFile()
    {
        QTemporaryDir dir;
        QString error;
        Settings s;
        // A directory where the file should be: nothing is written, the error is told.
        QVERIFY(!s.save(dir.path(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!s.save(dir.filePath(QStringLiteral("missing/Quilmar.ini")), &error));
        QVERIFY(!s.load(dir.filePath(QStringLiteral("none.ini")), &error));
        QCOMPARE(s.count(), Settings::MinimumLines);
    }
};

class TestTextSet : public QObject
{
    Q_OBJECT

private slots:
    void builtInSetsMapTheirLinesToEntries()
    {
        for (const TextSet &set : {TextSet::english(), TextSet::german()}) {
            QCOMPARE(set.lines().size(), TextSet::LanguageFileLines);
            QCOMPARE(set.line(0), TextSet::LanguageFileHeader);
            for (int i = 1; i <= 14; ++i)
                QCOMPARE(set.entry(i), set.line(92 + i));
            for (int i = 16; i <= 125; ++i)
                QCOMPARE(set.entry(i), set.line(91 + i));
            QVERIFY(set.entry(Txt::CouldNotFindFile).endsWith(QLatin1String("\r\n")));
            QCOMPARE(set.entry(Txt::UnicodeLossWarning).count(QLatin1String("\r\n")), 7);
            QCOMPARE(set.entry(126), QString());
        }
        const TextSet en = TextSet::english();
        QCOMPARE(en.entry(0), QStringLiteral("ReadMeEn.rtf"));
        QCOMPARE(en.entry(Txt::LineCol), QStringLiteral("Line: %3d  Col: %3d"));
        QCOMPARE(en.entry(Txt::Delete), QStringLiteral("Delete"));
        QCOMPARE(en.entry(Txt::SaveChanges), QStringLiteral("Save changes to %s?"));
        QCOMPARE(en.entry(Txt::PageNo), QStringLiteral("Page No"));
        QCOMPARE(en.entry(Txt::GoTo), QStringLiteral("Go To"));
        QCOMPARE(en.entry(Txt::InitialCapsHint), QStringLiteral("Formats selected text with initial caps"));
        QCOMPARE(en.line(TextSet::CodingHint).section(u'|', 0, 0), QStringLiteral("Character coding"));
        QCOMPARE(TextSet::german().entry(0), QStringLiteral("ReadMeDe.rtf"));
        QCOMPARE(TextSet::german().line(TextSet::SpellLanguageCaption), QStringLiteral("Sprache %s"));
    }

    void languageFileLinesBecomeEntries()
    {
        QStringList lines;
        for (int i = 0; i < TextSet::LanguageFileLines; ++i)
            lines << QStringLiteral("L%1").arg(i);
        const TextSet set = TextSet::fromLanguageFile(lines);
        QCOMPARE(set.kind(), TextSet::Kind::LanguageFile);
        QCOMPARE(set.entry(0), QStringLiteral("ReadMeEn.rtf"));
        QCOMPARE(set.entry(1), QStringLiteral("L93"));
        QCOMPARE(set.entry(14), QStringLiteral("L106"));
        QCOMPARE(set.entry(15), QStringLiteral("L19"));
        QCOMPARE(set.entry(16), QStringLiteral("L107"));
        QCOMPARE(set.entry(125), QStringLiteral("L216"));
        QCOMPARE(set.helpFile(), QStringLiteral("L12"));
        QCOMPARE(set.codePageListFile(), QStringLiteral("L13"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestSettings settings;
    TestTextSet textSet;
    return QTest::qExec(&settings, argc, argv) | QTest::qExec(&textSet, argc, argv);
}
#include "tst_settings.moc"
