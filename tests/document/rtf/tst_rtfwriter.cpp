// The RTF writer: what it writes, and that reading it back gives the same
// document, construct by construct.
#include "tests/document/rtf/RtfTestSupport.h"

#include "document/KeptContent.h"
#include "platform/CodePages.h"
#include "document/ParagraphFormat.h"
#include "document/TextProperties.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

namespace {

QByteArray write(const QTextDocument &doc, const RtfWriteOptions &options = {})
{
    return RtfWriter().write(doc, options);
}

std::unique_ptr<QTextDocument> plainDocument(const QString &text)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setPlainText(text);
    return doc;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void header();
    void characters_data();
    void characters();
    void ansiCodePageOption();
    void roundTrip_data();
    void roundTrip();
    void editedDocumentRoundTrips();
    void selection_data();
    void selection();
    void numberingAsOldStyle();
    void listsRestartAndRoundTrip();
    void wordListLevelsAndBulletsKept();
    void headingStyleIsNotBold();
    void picturesWrittenBack();
    void noObjects();
    void plainRtf();
    void tables();
    void raisedRunsStandInGroups();
    void positionedParagraphKeepsItsPosition();
    void madeUpFieldResultIsNotWritten();
    void keptListTablesNumberUnchangedLists();
};

void TestRtfWriter::header()
{
    auto doc = plainDocument(QStringLiteral("x"));
    const QByteArray rtf = write(*doc);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0"), rtf.constData());
    QVERIFY(rtf.contains("{\\colortbl ;"));
    QVERIFY(rtf.contains("\\uc1"));
    QVERIFY(rtf.trimmed().endsWith('}'));
    QCOMPARE(rtf.count('{'), rtf.count('}'));
}

void TestRtfWriter::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii") << QStringLiteral("abc") << QByteArray(" abc\\par");
    QTest::newRow("escapes") << QStringLiteral("{a\\b}") << QByteArray("\\{a\\\\b\\}");
    QTest::newRow("ansi as hex") << QStringLiteral("caf\u00e9 \u20ac") << QByteArray("caf\\'e9 \\'80");
    QTest::newRow("outside code page") << QStringLiteral("\u0416") << QByteArray("\\u1046?");
    QTest::newRow("negative") << QStringLiteral("\uf0b7") << QByteArray("\\u-3913?");
    QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600") << QByteArray("\\u-10179?\\u-8704?");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray("a\\tab b");
    QTest::newRow("line break") << QStringLiteral("a\u2028b") << QByteArray("a\\line b");
    QTest::newRow("specials") << QStringLiteral("\u00a0\u00ad\u2011") << QByteArray("\\~\\-\\_");
    QTest::newRow("delimiter after word") << QStringLiteral("\t1") << QByteArray("\\tab 1");
}

void TestRtfWriter::characters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    auto doc = plainDocument(text);
    const QByteArray rtf = write(*doc);
    QVERIFY2(rtf.contains(expected), rtf.constData());
    QCOMPARE(RtfTest::read(rtf)->toRawText(), text);
}

void TestRtfWriter::ansiCodePageOption()
{
    auto doc = plainDocument(QStringLiteral("\u0416\u00e9"));
    RtfWriteOptions options;
    options.ansiCodePage = 1251;
    const QByteArray rtf = write(*doc, options);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY2(rtf.contains("\\fcharset204"), rtf.constData());
    QVERIFY2(rtf.contains("\\'c6\\u233?"), rtf.constData());
    QCOMPARE(RtfTest::text(rtf), QStringLiteral("\u0416\u00e9"));
}

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    auto row = [](const char *name, const QByteArray &body) {
        QTest::newRow(name) << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Cyr;}"
                               "{\\f2\\fcharset2 Symbol;}{\\f3\\fcharset128 Mincho;}}"
                               "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" + body + "}";
    };
    row("empty", "");
    row("one paragraph", "a\\par");
    row("empty paragraphs", "\\par\\par a\\par\\par");
    row("no final mark", "a\\par b");
    row("character formats", "\\b b\\b0\\i i\\i0\\ul u\\ulnone\\uldb d\\ulnone\\ulwave w\\ulnone\\strike s\\strike0"
                             "\\cf1 c\\cf0\\highlight2 h\\highlight0\\super p\\nosupersub\\sub q\\nosupersub"
                             "\\v v\\v0\\protect p\\protect0\\disabled x\\disabled0\\lang1031 l\\caps C\\caps0\\scaps S");
    row("fonts and sizes", "\\f1\\fs30 \\'c6\\f2 \\'b7a\\f3\\'82\\'a0\\f0\\fs17 odd");
    row("empty paragraph format", "a\\par\\fs48\\b\\par b");
    row("paragraph formats", "\\qc\\li720\\fi-360\\ri100\\sb240\\sa120 a\\par\\pard\\qr\\sl-300\\slmult0 b\\par"
                             "\\pard\\qj\\sl276\\slmult1\\tx720\\tx2000 c\\par\\pard\\sl360\\slmult1 d\\par\\pard\\sl300 e\\par");
    row("page break", "a\\page b\\par");
    row("old-style lists", "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 a\\par b\\par\\pard"
                           "{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxta .}}c\\par\\pard"
                           "{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxtb (}{\\pntxta )}}d\\par");
    row("word list", "{\\*\\listtable{\\list{\\listlevel\\levelnfc3\\levelstartat5{\\leveltext\\'02\\'00.;}}\\listid2}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid2\\ls1}}\\ls1\\li360 a\\par b\\par");
    row("links", "see {\\field{\\*\\fldinst HYPERLINK \"http://a.b/c?d=1\"}{\\fldrslt {\\ul here}}} and "
                 "{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt there}}\\par");
    row("other fields", "{\\field{\\*\\fldinst DATE \\\\@ \"d.M.yyyy\"}{\\fldrslt 1.2.2003}}\\par");
    row("object", "{\\object\\objemb{\\*\\objclass X}{\\*\\objdata 0102}{\\result {\\b shown}}}\\par");
    row("table", "a\\par\\trowd\\cellx1000\\cellx2500\\pard\\intbl x\\cell y1\\par y2\\cell\\row"
                 "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2500\\pard\\intbl z\\cell\\cell\\row\\pard after\\par");
    row("table first and last", "\\trowd\\cellx1000\\pard\\intbl x\\cell\\row");
    row("metafile", "a{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 0102030405}b\\par");
    row("unicode", "\\uc1\\u8364?\\u-10179?\\u-8704?\\u1046?\\par");
    row("deep groups", "{{{{{\\b a}}}}}b\\par");
}

void TestRtfWriter::roundTrip()
{
    QFETCH(QByteArray, rtf);
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    if (first != second)
        qWarning("%s", written.constData());
    QCOMPARE(second, first);
}

void TestRtfWriter::editedDocumentRoundTrips()
{
    // Formats set through the editor rather than read from RTF.
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontFamilies({QStringLiteral("Courier New")});
    bold.setFontPointSize(14);
    bold.setForeground(QColor(10, 20, 30));
    bold.setProperty(TextProperty::Hidden, true);
    c.insertText(QStringLiteral("plain "));
    c.insertText(QStringLiteral("bold"), bold);
    c.insertBlock();
    ParagraphValues v;
    v.alignment = Qt::AlignRight;
    v.firstIndent = 200;
    v.leftIndent = 300;
    v.spaceAfter = 60;
    v.tabs = {500, 1000};
    ParagraphFormat::apply(c, v);
    c.insertText(QStringLiteral("right"));
    c.insertBlock();
    ParagraphFormat::applyNumbering(c, NumberingKind::UpperLetter, 3, 0x200);
    c.insertText(QStringLiteral("item"));

    auto back = RtfTest::read(write(doc));
    QCOMPARE(back->toPlainText(), doc.toPlainText());
    QTextCursor bc(back.get());
    bc.setPosition(8);
    const QTextCharFormat f = bc.charFormat();
    QCOMPARE(f.fontWeight(), int(QFont::Bold));
    QCOMPARE(f.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
    QCOMPARE(f.fontPointSize(), 14.0);
    QCOMPARE(f.foreground().color(), QColor(10, 20, 30));
    QVERIFY(f.boolProperty(TextProperty::Hidden));
    QCOMPARE(ParagraphFormat::read(back->findBlockByNumber(1)), ParagraphFormat::read(doc.findBlockByNumber(1)));
    const ParagraphValues item = ParagraphFormat::read(back->findBlockByNumber(2));
    QCOMPARE(item.numbering, NumberingKind::UpperLetter);
    QCOMPARE(item.numberingStart, 3);
    QCOMPARE(item.numberingStyle, 0x200);
}

void TestRtfWriter::selection_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");
    // "ab¶cd¶ef": positions 0..7, end 8.
    QTest::newRow("inside a paragraph") << 1 << 2 << QStringLiteral("b");
    QTest::newRow("over a mark") << 1 << 4 << QStringLiteral("b\nc");
    QTest::newRow("ending after a mark") << 0 << 3 << QStringLiteral("ab\n");
    QTest::newRow("starting at a mark") << 2 << 4 << QStringLiteral("\nc");
    QTest::newRow("to the end") << 6 << -1 << QStringLiteral("ef");
    QTest::newRow("empty") << 3 << 3 << QString();
    QTest::newRow("out of range") << -5 << 99 << QStringLiteral("ab\ncd\nef");
}

void TestRtfWriter::selection()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    auto doc = plainDocument(QStringLiteral("ab\ncd\nef"));
    RtfWriteOptions options;
    options.from = from;
    options.to = to;
    QCOMPARE(RtfTest::read(write(*doc, options))->toPlainText(), expected);
}

void TestRtfWriter::numberingAsOldStyle()
{
    auto doc = RtfTest::read("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}}"
                             "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                             "\\ls1\\fi-360\\li720 a\\par b\\par}");
    KeptContent::setListTables(*doc, {}); // the writer's own tables, as for lists made here
    RtfWriteOptions plain;
    plain.plainRtf = true;
    const QByteArray old = write(*doc, plain);
    QVERIFY2(old.contains("{\\pntext\\f0 3.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart3\\pndec{\\pntxta .}}"),
             old.constData());
    QVERIFY(old.contains("{\\pntext\\f0 4.\\tab}"));
    QVERIFY(old.contains("\\fi-360\\li720"));
    QVERIFY(!old.contains("\\ls"));
    const QByteArray rtf = write(*doc);
    QVERIFY(rtf.contains("\\ls1\\ilvl0{\\listtext\\f0 4.\\tab}"));
    QVERIFY(!rtf.contains("\\pn"));
    // Each list is a Word list too, so that readers numbering by list
    // start every list afresh; plain RTF keeps to \\pn.
    QVERIFY(rtf.contains("\\levelnfc0\\levelnfcn0\\leveljc0\\levelfollow0\\levelstartat3{\\leveltext\\'02\\'00.;}"));
    QCOMPARE(rtf.count("\\ls1\\ilvl0"), 2);
}

void TestRtfWriter::listsRestartAndRoundTrip()
{
    // Two lists of the same kind, a paragraph between: two Word lists.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("a"));
    c.createList(ParagraphFormat::listFormat(NumberingKind::Arabic, 1, 0x200));
    c.insertBlock();
    c.insertText(QStringLiteral("b"));
    c.insertBlock();
    c.setBlockFormat(QTextBlockFormat());
    c.insertText(QStringLiteral("between"));
    c.insertBlock();
    c.insertText(QStringLiteral("c"));
    c.createList(ParagraphFormat::listFormat(NumberingKind::Arabic, 1, 0x200));
    c.insertBlock();
    c.insertText(QStringLiteral("\u2022"));
    c.createList(ParagraphFormat::listFormat(NumberingKind::Bullet, 1, 0));
    const QByteArray rtf = write(doc);
    QCOMPARE(rtf.count("\\ls1\\ilvl0"), 2);
    QCOMPARE(rtf.count("\\ls2\\ilvl0"), 1);
    QVERIFY(rtf.contains("\\levelnfc23"));
    auto again = RtfTest::read(rtf);
    QSet<QTextList *> lists;
    for (QTextBlock b = again->begin(); b.isValid(); b = b.next())
        if (b.textList())
            lists.insert(b.textList());
    QCOMPARE(lists.size(), 3);
    QCOMPARE(again->findBlockByNumber(3).textList()->itemNumber(again->findBlockByNumber(3)), 0);
    const auto [first, second] = RtfTest::roundTrip(rtf);
    QCOMPARE(second, first);
}

void TestRtfWriter::wordListLevelsAndBulletsKept()
{
    // Bullets from Symbol, Courier New and Wingdings at levels 0 to 2, and a
    // number at level 1: other readers label by level and by the level's
    // text and font, so each must come back at its level with its bullet,
    // its number standing for its own level, and the label never in the text.
    const QByteArray in =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}"
        "{\\f2\\fcharset2 Wingdings;}{\\f3 Courier New;}}"
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}{\\levelnumbers;}\\f1}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}{\\levelnumbers;}\\f3}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\'a7;}{\\levelnumbers;}\\f2}\\listid5}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc4\\levelstartat3{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}}\\listid6}"
        "{\\list{\\listlevel\\levelnfc2{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}{\\listoverride\\listid6\\ls2}"
        "{\\listoverride\\listid7\\ls3}}"
        "\\pard\\ls1\\ilvl0{\\listtext\\f1 \\'b7\\tab}one\\par"
        "\\pard\\ls1\\ilvl1{\\listtext\\f3 o\\tab}two\\par"
        "\\pard\\ls1\\ilvl2{\\listtext\\f2 \\'a7\\tab}three\\par"
        "\\pard\\ls2\\ilvl1{\\listtext c)\\tab}four\\par"
        "\\pard\\ls3{\\listtext \\u8226 ?\\tab}five\\par}";
    auto doc = RtfTest::read(in);
    KeptContent::setListTables(*doc, {}); // the writer's own tables, as for lists made here
    QCOMPARE(doc->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    const QTextListFormat two = doc->findBlockByNumber(1).textList()->format();
    QCOMPARE(two.stringProperty(TextProperty::ListBullet), QStringLiteral("o"));
    QCOMPARE(two.stringProperty(TextProperty::ListBulletFont), QStringLiteral("Courier New"));
    QCOMPARE(doc->findBlockByNumber(2).textList()->format().stringProperty(TextProperty::ListBullet),
             QString(QChar(0xF0A7)));

    const QByteArray rtf = write(*doc);
    QVERIFY2(rtf.contains("\\ilvl1{\\listtext\\f"), rtf.constData());
    QVERIFY(rtf.contains("\\ilvl2"));
    QVERIFY(rtf.contains("{\\leveltext\\'01o;}"));
    QVERIFY(rtf.contains("{\\leveltext\\'01\\'a7;}"));
    QVERIFY(rtf.contains("{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}"));
    // A roman level whose text shows no number draws that text.
    QVERIFY(rtf.contains("\\levelnfc2\\levelnfcn2\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext\\'01\\u8226 ?;}"));
    QCOMPARE(rtf.count("\\listtext"), 5);
    auto again = RtfTest::read(rtf);
    QCOMPARE(again->toPlainText(), doc->toPlainText());
    for (int i = 0; i < 5; ++i) {
        const QTextListFormat a = doc->findBlockByNumber(i).textList()->format();
        const QTextListFormat b = again->findBlockByNumber(i).textList()->format();
        QCOMPARE(b.intProperty(TextProperty::ListLevel), a.intProperty(TextProperty::ListLevel));
        QCOMPARE(b.stringProperty(TextProperty::ListBullet), a.stringProperty(TextProperty::ListBullet));
        QCOMPARE(b.style(), a.style());
    }
    QCOMPARE(again->findBlockByNumber(3).textList()->format().intProperty(TextProperty::NumberingStart), 3);
}

void TestRtfWriter::headingStyleIsNotBold()
{
    // A Word heading whose style has no \\b is read and written without bold.
    auto doc = RtfTest::read("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s2\\sb240\\outlinelevel1\\sbasedon0 heading 2;}}"
                             "\\pard\\s2\\outlinelevel1 Title\\par\\pard Body\\par}");
    const QByteArray rtf = write(*doc);
    QVERIFY2(!rtf.contains("\\b"), rtf.constData());
    QVERIFY(rtf.contains("\\sb240"));
}

void TestRtfWriter::picturesWrittenBack()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto doc = RtfTest::read("{\\rtf1 {\\pict\\pngblip\\picwgoal300\\pichgoal200 " + png.toHex()
                             + "}{\\pict\\emfblip\\picw100\\pich100 0a0b0c}}");
    const QByteArray rtf = write(*doc);
    // Byte for byte as they came.
    QVERIFY(rtf.contains("\\pngblip"));
    QVERIFY(QByteArray(rtf).replace("\r\n", "").contains(png.toHex()));
    QVERIFY(rtf.contains("\\emfblip"));
    QVERIFY(rtf.contains("\r\n0a0b0c}"));
    QVERIFY(rtf.contains("\\picwgoal300\\pichgoal200"));

    // A picture the editor inserted, with no bytes of its own, goes out as PNG.
    QTextDocument edited;
    edited.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:1")), image);
    QTextCursor c(&edited);
    QTextImageFormat f;
    f.setName(QStringLiteral("mem:1"));
    f.setWidth(30);
    f.setHeight(20);
    c.insertImage(f);
    auto back = RtfTest::read(write(edited));
    QTextCursor bc(back.get());
    bc.setPosition(1);
    const QTextImageFormat bf = bc.charFormat().toImageFormat();
    QCOMPARE(bf.width(), 30.0);
    QCOMPARE(back->resource(QTextDocument::ImageResource, QUrl(bf.name())).value<QImage>().pixelColor(0, 0),
             QColor(1, 2, 3));
}

void TestRtfWriter::noObjects()
{
    auto doc = RtfTest::read("{\\rtf1 a{\\pict\\wmetafile8 0102}{\\object{\\*\\objdata 01}{\\result text}}b}");
    RtfWriteOptions options;
    options.noObjects = true;
    const QByteArray rtf = write(*doc, options);
    QVERIFY(!rtf.contains("\\pict"));
    QVERIFY(!rtf.contains("\\object"));
    QCOMPARE(RtfTest::text(rtf), QStringLiteral("atextb"));
    QVERIFY(write(*doc).contains("{\\object{\\*\\objdata 01}{\\result "));
}

void TestRtfWriter::plainRtf()
{
    auto doc = RtfTest::read("{\\rtf1 \\lang1031 x}");
    RtfWriteOptions options;
    options.plainRtf = true;
    const QByteArray rtf = write(*doc, options);
    QVERIFY(!rtf.contains("\\lang"));
    QVERIFY(!rtf.contains("\\generator"));
    QVERIFY(write(*doc).contains("\\lang1031"));
}

void TestRtfWriter::tables()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("t"));
    QTextTableFormat tf;
    tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::FixedLength, 50)});
    QTextTable *table = c.insertTable(2, 2, tf);
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("d"));
    table->mergeCells(0, 0, 1, 2);
    const QByteArray rtf = write(doc);
    QVERIFY2(rtf.contains("\\trowd\\trgaph108\\trleft0\\clmgf\\cellx1500\\clmrg\\cellx2250"), rtf.constData());
    QVERIFY(rtf.contains("\\intbl d\\cell\\row"));
    QCOMPARE(rtf.count("\\row"), 2);
    const auto [first, second] = RtfTest::roundTrip(RtfWriter().write(*RtfTest::read(rtf)));
    QCOMPARE(second, first);
}

// LibreOffice drops text and paragraph breaks where \super and \sub switch
// inline, and takes superscript text before a footnote for its mark; \up
// and \dn come back as they were read.
void TestRtfWriter::raisedRunsStandInGroups()
{
    const QByteArray rtf = "{\\rtf1 a\\super b\\sub c\\nosupersub d\\up12 e\\dn4 f\\up0 g\\par}";
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QVERIFY2(written.contains("a{\\super b}{\\sub c}d{\\up12 e}{\\dn4 f}g\\par"), written.constData());
    QCOMPARE(second, first);
    // A raise turned into the other direction by an edit is plain sub- or superscript.
    auto doc = RtfTest::read(rtf);
    QTextCursor cursor(doc.get());
    cursor.setPosition(4);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    QCOMPARE(cursor.selectedText(), QStringLiteral("e"));
    QTextCharFormat sub;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.mergeCharFormat(sub);
    QVERIFY2(write(*doc).contains("{\\sub e}"), write(*doc).constData());
}

void TestRtfWriter::positionedParagraphKeepsItsPosition()
{
    const QByteArray rtf = "{\\rtf1{\\pard\\pvmrg\\phmrg\\posxc\\posyc\\absw2000\\qc Title\\line more\\par}"
                           "\\pard body\\par}";
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QVERIFY2(written.contains("\\pard\\qc\\pvmrg\\phmrg\\posxc\\posyc\\absw2000\\"), written.constData());
    QCOMPARE(written.count("\\posxc"), 1);
    QCOMPARE(second, first);
    QCOMPARE(RtfTest::text(rtf), QStringLiteral("Title\nmore\nbody"));
}

// A SYMBOL field read without a result shows its character; Word and our
// reader make it again, others would show it twice.
void TestRtfWriter::madeUpFieldResultIsNotWritten()
{
    const QByteArray rtf = "{\\rtf1 ({\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\"}{\\fldrslt }})\\par}";
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QVERIFY2(written.contains("{\\fldrslt }}"), written.constData());
    QCOMPARE(RtfTest::text(written), QStringLiteral("(J)"));
    QCOMPARE(second, first);
}

// Word levels that show other levels' numbers ("Sect 1.01") and items of one
// list in separate tables: the lists are written by the tables they were
// read with while they stay as read.
void TestRtfWriter::keptListTablesNumberUnchangedLists()
{
    const QByteArray table = "{\\*\\listtable{\\list\\listtemplateid9{\\listlevel\\levelnfc1\\levelstartat1"
                             "{\\leveltext\\'04CH \\'00;}{\\levelnumbers\\'04;}}{\\listlevel\\levelnfc22\\levellegal"
                             "{\\leveltext\\'08Sect \\'00.\\'01;}{\\levelnumbers\\'06\\'08;}\\f7}\\listid1297755732}}";
    const QByteArray overrides = "{\\*\\listoverridetable{\\listoverride\\listid1297755732\\listoverridecount0\\ls4}}";
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f7\\fcharset2 Symbol;}}" + table + overrides
                           + "\\pard\\ls4 \\par\\pard\\ls4\\ilvl1 Foo\\par\\pard\\ls4 \\par\\pard\\ls4\\ilvl1 Bar\\par"
                             "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart5}own\\par}";
    auto doc = RtfTest::read(rtf);
    QByteArray written = write(*doc);
    QVERIFY2(written.contains(table.left(table.indexOf("\\f7"))), written.constData());
    // Its \f word names the same font in the written font table.
    const qsizetype symbol = written.indexOf("Symbol;}");
    QVERIFY(symbol > 0);
    const QByteArray symbolIndex = written.mid(written.lastIndexOf("{\\f", symbol) + 3, 1);
    QVERIFY2(written.contains("\\levellegal{\\leveltext\\'08Sect \\'00.\\'01;}{\\levelnumbers\\'06\\'08;}\\f" + symbolIndex + "}"),
             written.constData());
    QCOMPARE(written.count("\\ls4\\ilvl1"), 2);
    QCOMPARE(written.count("\\ls4\\ilvl0"), 2);
    // The list made of the old-style numbering comes after the kept ones.
    QVERIFY(written.contains("\\ls5\\ilvl0"));
    QVERIFY(written.contains(overrides.chopped(2) + "}{\\listoverride\\listid1\\listoverridecount0\\ls5}}"));
    QCOMPARE(RtfTest::roundTrip(rtf).second, RtfTest::roundTrip(rtf).first);

    // A list changed in the editor is written by a table of its own.
    QTextList *foo = doc->findBlockByNumber(1).textList();
    QTextListFormat f = foo->format();
    f.setStyle(QTextListFormat::ListLowerAlpha);
    foo->setFormat(f);
    written = write(*doc);
    QCOMPARE(written.count("\\ls4\\ilvl1"), 1);
    QVERIFY2(written.contains("\\ls5\\ilvl1"), written.constData());
    // A selection is no whole document: the writer's own tables.
    RtfWriteOptions part;
    part.from = 0;
    part.to = 5;
    QVERIFY(!write(*doc, part).contains("Sect"));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
