#include "document/FileCoding.h"
#include "document/NumericReferences.h"

#include <QtTest>

using namespace FileCodings;

class TestCodings : public QObject
{
    Q_OBJECT

private slots:
    void codingFromExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("coding");
        QTest::addColumn<bool>("languageFile");
        QTest::newRow("rtf") << "a.rtf" << 1 << false;
        QTest::newRow("RTF upper") << "a.RTF" << 1 << false;
        QTest::newRow("txt") << "/x/y.txt" << 2 << false;
        QTest::newRow("htm") << "p.htm" << 4 << false;
        QTest::newRow("html") << "p.HTML" << 4 << false;
        QTest::newRow("php") << "p.php" << 5 << false;
        QTest::newRow("pl") << "p.pl" << 6 << false;
        QTest::newRow("pm") << "p.pm" << 6 << false;
        QTest::newRow("lgtx") << "readme.LGTX" << 3 << true;
        QTest::newRow("lg") << "x.lg" << 3 << true;
        QTest::newRow("lgt") << "x.lgt" << 3 << true;
        QTest::newRow("lgtxt is no language file") << "x.lgtxt" << 9 << false;
        QTest::newRow("other keeps the current") << "settings.ini" << 9 << false;
        QTest::newRow("none keeps the current") << "/tmp/Makefile" << 9 << false;
        QTest::newRow("dot in folder only") << "/a.rtf/readme" << 9 << false;
    }

    void codingFromExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, coding);
        QFETCH(bool, languageFile);
        const ExtensionCoding result = fromExtension(name, 9);
        QCOMPARE(result.coding, coding);
        QCOMPARE(result.languageFile, languageFile);
    }

    void backupNames()
    {
        QCOMPARE(backupName(QStringLiteral("/d/report.txt")), QStringLiteral("/d/report.~txt"));
        QCOMPARE(backupName(QStringLiteral("/d/Report.TXT")), QStringLiteral("/d/Report.~TXT"));
        QCOMPARE(backupName(QStringLiteral("/d/notes")), QStringLiteral("/d/notes.~"));
        QCOMPARE(backupName(QStringLiteral("/d.x/notes")), QStringLiteral("/d.x/notes.~"));
        QCOMPARE(backupName(QStringLiteral("a.tar.gz")), QStringLiteral("a.tar.~gz"));
    }

    void loadPlans()
    {
        // UTF-16 marks win over the extension, and byte order decides the coding.
        LoadPlan p = planLoad(QByteArray("\xFF\xFE" "a\0", 4), fcAnsiText, 1252, 1252);
        QCOMPARE(p.coding, int(fcUtf16LE));
        QVERIFY(!p.streamDefault);
        QCOMPARE(PlainText::decode(p.text), QStringLiteral("a"));
        p = planLoad(QByteArray("\xFE\xFF\0a\0", 5), fcAnsiText, 1252, 1252);
        QCOMPARE(p.coding, int(fcUtf16BE));
        QCOMPARE(PlainText::decode(p.text), QStringLiteral("a")); // the odd byte is no character
        // A mark alone, and a mark followed by a lone surrogate, still load.
        p = planLoad(QByteArray("\xFF\xFE"), fcAnsiText, 1252, 1252);
        QCOMPARE(PlainText::decode(p.text), QString());
        p = planLoad(QByteArray("\xFF\xFE\x00\xD8", 4), fcAnsiText, 1252, 1252);
        QCOMPARE(PlainText::decode(p.text).size(), 1);
        // UTF-8 mark: streamed as it is, coding 7 even for an .rtf name.
        p = planLoad(QByteArray("\xEF\xBB\xBF{\\rtf1 x}"), fcRichText, 1252, 1252);
        QCOMPARE(p.coding, int(fcUtf8));
        QVERIFY(p.streamDefault);
        // Short files: nothing is looked for beyond their end.
        QCOMPARE(planLoad(QByteArray("\xFF"), fcAnsiText, 1252, 1252).coding, int(fcAnsiText));
        QCOMPARE(planLoad(QByteArray("\xEF\xBB"), fcAnsiText, 1252, 1252).coding, int(fcAnsiText));
        QCOMPARE(planLoad(QByteArray(), fcAnsiText, 1252, 1252).coding, int(fcAnsiText));
    }

    void foreignCodePageConvertsTheWholeFile()
    {
        const QByteArray bytes("\xCF\xF0\xE8\0\xE2\xE5\xF2", 7);
        LoadPlan p = planLoad(bytes, fcAnsiText, 1251, 1252);
        QVERIFY(!p.streamDefault);
        const QString text = PlainText::decode(p.text);
        QCOMPARE(text.size(), 7);
        QCOMPARE(text, QString::fromUtf8("При") + QChar(0) + QString::fromUtf8("вет"));
        // Rich text is never converted; the ANSI code page needs no conversion.
        QVERIFY(planLoad(bytes, fcRichText, 1251, 1252).streamDefault);
        QVERIFY(planLoad(bytes, fcAnsiText, 1252, 1252).streamDefault);
    }

    void saveFilterHasNineEntries()
    {
        QCOMPARE(saveFilter().split(u'|').size(), 18);
        QCOMPARE(filterCaption(fcUtf16BE), QStringLiteral("Unicode (UTF16 BE) text (*.txt)"));
        QCOMPARE(openFilter().split(u'|').size(), 12);
    }

    void toNumeric()
    {
        using namespace NumericReferences;
        QCOMPARE(NumericReferences::toNumeric(u"a\u03C0b", 256), QStringLiteral("a&#960;b"));
        QCOMPARE(NumericReferences::toNumeric(u"\u00E9x", 128), QStringLiteral("&#233;x"));
        QCOMPARE(NumericReferences::toNumeric(u"\u00E9x", 256), QString::fromUtf8("éx"));
        QCOMPARE(NumericReferences::toNumeric(u"ab\r\n", 0), QStringLiteral("&#97;&#98;&#13;&#10;"));
        QCOMPARE(NumericReferences::toNumeric(QString::fromUtf8("😀"), 256), QStringLiteral("&#55357;&#56832;"));
    }

    void fromNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal") << "&#960;" << QString(QChar(0x3C0));
        QTest::newRow("hex x") << "&#x3C0;" << QString(QChar(0x3C0));
        QTest::newRow("hex 0x") << "&#0x3c0;z" << QString(QChar(0x3C0)) + u'z';
        QTest::newRow("hex dollar") << "&#$41;" << "A";
        QTest::newRow("second semicolon consumed") << "&#960;;x" << QString(QChar(0x3C0)) + u'x';
        QTest::newRow("no digits") << "a&#;b" << QStringLiteral("a") + QChar(0) + u'b';
        QTest::newRow("letter stops") << "&#zq" << QString(QChar(0)) + u'q';
        QTest::newRow("blank terminates") << "&#65 B" << "AB";
        QTest::newRow("at the end") << "x&#65" << "xA";
        QTest::newRow("ten digits") << "&#0000000065rest" << "Arest";
        QTest::newRow("low sixteen bits") << "&#65601;" << "A";
        QTest::newRow("minus ignored when stopped") << "&#-66;" << "B";
        QTest::newRow("leading blanks") << "&#  67;" << "C";
        QTest::newRow("surrogate pair") << "&#55357;&#56832;" << QString::fromUtf8("😀");
        QTest::newRow("plain text") << "a & b #; c" << "a & b #; c";
        QTest::newRow("ampersand at end") << "a&" << "a&";
    }

    void fromNumeric()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(NumericReferences::fromNumeric(text), expected);
    }

    void roundTripOfEveryLimit()
    {
        const QString text = QString::fromUtf8("Grüße, π ≈ 3.14 😀\r\n\ttab &amp; €");
        for (int limit : {0, 128, 256})
            QCOMPARE(NumericReferences::fromNumeric(NumericReferences::toNumeric(text, limit)), text);
    }
};

QTEST_GUILESS_MAIN(TestCodings)
#include "tst_codings.moc"
