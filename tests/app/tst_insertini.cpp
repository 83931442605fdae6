#include "platform/CodePages.h"
#include "app/InsertIni.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using Piece = InsertIni::Piece;

// The insert list file: sections and pieces, codings, damaged input and writing.
class TestInsertIni : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return path;
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        CodePages::setAnsiCodePageOverride(1252);
    }

    void sectionsAndPiecesInFileOrder()
    {
        InsertIni ini;
        ini.setLines({
            QStringLiteral("stray=before any section"),
            QStringLiteral("; a comment"),
            QStringLiteral("[HTML]"),
            QStringLiteral("Bold=<b></b>"),
            QStringLiteral(""),
            QStringLiteral("  Link = <a href=\"x=y\"></a>"),
            QStringLiteral("  [ Letters ]  trailing words"),
            QStringLiteral("Closing=Yours sincerely, "),
            QStringLiteral("no equals sign here"),
            QStringLiteral("=empty description"),
            QStringLiteral("[]"),
            QStringLiteral("lost=in a nameless section"),
            QStringLiteral("[Empty]"),
            QStringLiteral("[html]"),
            QStringLiteral("Italic=<i></i>"),
            QStringLiteral("[Open bracket"),
            QStringLiteral("k=v"),
        });
        QCOMPARE(ini.sections(), (QStringList{"HTML", "Letters", "Empty", "Open bracket"}));
        // A section repeated in another letter case joins the first.
        QCOMPARE(ini.pieces(QStringLiteral("HTML")),
                 (QList<Piece>{{"Bold", "<b></b>"}, {"Link", " <a href=\"x=y\"></a>"}, {"Italic", "<i></i>"}}));
        QCOMPARE(ini.pieces(QStringLiteral("letters")),
                 (QList<Piece>{{"Closing", "Yours sincerely, "},
                               {"", "no equals sign here"},
                               {"", "empty description"}}));
        QVERIFY(ini.pieces(QStringLiteral("Empty")).isEmpty());
        QVERIFY(ini.pieces(QStringLiteral("Missing")).isEmpty());
        QCOMPARE(ini.pieces(QStringLiteral("Open bracket")), (QList<Piece>{{"k", "v"}}));
    }

    void valueKeepsEverythingAfterTheFirstEquals()
    {
        QCOMPARE(InsertIni::splitLine(QStringLiteral("a=b=c")), (Piece{"a", "b=c"}));
        QCOMPARE(InsertIni::splitLine(QStringLiteral("a==")), (Piece{"a", "="}));
        QCOMPARE(InsertIni::splitLine(QStringLiteral("=")), (Piece{"", ""}));
    }

    void codings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ANSI") << QByteArray("[Sign]\r\nEuro=\x80 \xE4\r\n");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF[Sign]\nEuro=\xE2\x82\xAC \xC3\xA4\n");
        QStringEncoder utf16le(QStringEncoder::Utf16LE);
        QTest::newRow("UTF-16 LE with mark")
            << QByteArray("\xFF\xFE") + QByteArray(utf16le(QStringLiteral("[Sign]\rEuro=\u20AC \u00E4")));
        QTest::newRow("UTF-16 BE with mark")
            << QByteArray::fromHex("FEFF005B005300690067006E005D000A004500750072006F003D20AC002000E4");
    }

    void codings()
    {
        QFETCH(QByteArray, bytes);
        InsertIni ini;
        ini.load(write(QStringLiteral("coding.ini"), bytes));
        QCOMPARE(ini.sections(), QStringList{"Sign"});
        QCOMPARE(ini.pieces(QStringLiteral("Sign")), (QList<Piece>{{"Euro", QStringLiteral("\u20AC \u00E4")}}));
    }

    void missingFileGivesNothing()
    {
        InsertIni ini;
        ini.setLines({QStringLiteral("[Old]")});
        ini.load(m_dir.filePath(QStringLiteral("nothing.ini")));
        QVERIFY(ini.sections().isEmpty());
        const InsertIni::FileLines file = InsertIni::readLines(m_dir.filePath(QStringLiteral("nothing.ini")));
        QVERIFY(!file.exists);
        QVERIFY(file.lines.isEmpty());
    }

    void damagedFilesAreReadAsFarAsTheyMakeSense()
    {
        // Text up to a NUL byte counts; the line the NUL cuts is dropped.
        static const char nul[] = "[A]\r\nx=1\r\ny=2\0junk\r\n[B]\r\n";
        const InsertIni::FileLines withNul =
            InsertIni::readLines(write(QStringLiteral("nul.ini"), QByteArray(nul, sizeof(nul) - 1)));
        QVERIFY(withNul.exists);
        QVERIFY(!withNul.complete);
        QCOMPARE(withNul.lines, (QStringList{"[A]", "x=1"}));

        // Too large: read up to the limit, without the cut line.
        QByteArray big = "[Big]\r\n";
        while (big.size() <= InsertIni::MaximumBytes)
            big += "piece=" + QByteArray(100, 'p') + "\r\n";
        const InsertIni::FileLines large = InsertIni::readLines(write(QStringLiteral("big.ini"), big));
        QVERIFY(!large.complete);
        QVERIFY(large.lines.size() > 1000);
        QCOMPARE(large.lines.last(), QStringLiteral("piece=") + QString(100, u'p'));

        // UTF-16 with an odd byte count loses the half character only.
        const InsertIni::FileLines odd = InsertIni::decode(QByteArray::fromHex("FFFE5B0041005D000A0078003D0031000A0079"), false);
        QVERIFY(!odd.complete);
        QCOMPARE(odd.lines, (QStringList{"[A]", "x=1"}));

        // Random bytes: no crash, and the sections read are single names.
        QByteArray junk(20000, '\0');
        quint32 seed = 7;
        for (char &c : junk) {
            seed = seed * 1103515245u + 12345u;
            c = char((seed >> 16) & 0xFF);
            if (c == '\0')
                c = '[';
        }
        InsertIni ini;
        ini.load(write(QStringLiteral("junk.ini"), junk));
        for (const QString &section : ini.sections()) {
            QVERIFY(!section.isEmpty());
            QVERIFY(!section.contains(u']') && !section.contains(u'\n') && !section.contains(u'\r'));
        }
    }

    void writingUsesTheAnsiCodePageAndLineEnds()
    {
        const QString path = m_dir.filePath(QStringLiteral("out.ini"));
        const QStringList lines{QStringLiteral("[Signs]"), QStringLiteral("Euro=\u20AC"), QString()};
        QString error;
        QVERIFY2(InsertIni::writeLines(path, lines, &error), qPrintable(error));
        QCOMPARE(read(path), QByteArray("[Signs]\r\nEuro=\x80\r\n\r\n"));
        QCOMPARE(InsertIni::readLines(path).lines, lines);
    }

    void textTheCodePageCannotHoldIsWrittenAsUtf8()
    {
        const QString path = m_dir.filePath(QStringLiteral("greek.ini"));
        const QStringList lines{QStringLiteral("[Greek]"), QStringLiteral("Pi=\u03C0"), QStringLiteral("Euro=\u20AC")};
        QVERIFY(InsertIni::writeLines(path, lines));
        QVERIFY(read(path).startsWith("\xEF\xBB\xBF[Greek]\r\n"));
        InsertIni ini;
        ini.load(path);
        QCOMPARE(ini.pieces(QStringLiteral("Greek")), (QList<Piece>{{"Pi", "\u03C0"}, {"Euro", "\u20AC"}}));
    }

    void failedWriteKeepsTheOldFile()
    {
        // A folder in the file's place cannot be replaced.
        QDir(m_dir.path()).mkpath(QStringLiteral("blocked.ini/inner"));
        const QString path = m_dir.filePath(QStringLiteral("blocked.ini"));
        QString error;
        QVERIFY(!InsertIni::writeLines(path, {QStringLiteral("[New]")}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QFileInfo::exists(path + QStringLiteral("/inner")));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("blocked.ini*")}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestInsertIni)
#include "tst_insertini.moc"
