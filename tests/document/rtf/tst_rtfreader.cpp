// The RTF reader, construct by construct, and on damaged input.
#include "tests/document/rtf/RtfTestSupport.h"

#include "document/ParagraphFormat.h"
#include "document/TextProperties.h"
#include "document/rtf/RtfBuildAside.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <thread>

using RtfTest::read;
using RtfTest::text;

namespace {

QTextCharFormat formatAt(const QTextDocument &doc, int position)
{
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

QByteArray pngHex(int w, int h, QByteArray *bytes = nullptr)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (bytes)
        *bytes = png;
    return png.toHex();
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void notRtf();
    void progressAndEarlyStop();
    void text_data();
    void text();
    void characterFormats_data();
    void characterFormats();
    void paragraphFormats_data();
    void paragraphFormats();
    void numbering_data();
    void numbering();
    void wordListsNumberAcrossOtherParagraphs();
    void styles();
    void fontNameInUnicodeEscapes();
    void title();
    void fields();
    void tables();
    void pictures();
    void metafileKeepsBytes();
    void objectShowsResultAndKeepsData();
    void insertsAtCursor();
    void readsInWorkerThread();
    void parsedAsideGivesTheSameDocument();
    void aParseThatFailsAsideFailsTheRead();
    void damaged_data();
    void damaged();
    void everyTruncationReads();
};

void TestRtfReader::progressAndEarlyStop()
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < 1000000)
        rtf += "{\\b bold} plain text of a paragraph\\par\n";
    rtf += "}";
    std::atomic<qint64> progress{0};
    RtfReadOptions options;
    options.progress = &progress;
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QVERIFY(RtfReader().read(rtf, cursor, options).isRtf);
    // Reported as the reading goes, the last time near the end.
    QVERIFY(progress.load() > rtf.size() - 300 * 1024);
    QVERIFY(progress.load() <= rtf.size());
    QCOMPARE(doc.blockCount(), rtf.count("\\par"));
    // A first screen stops soon after it has its characters.
    QTextDocument first;
    QTextCursor start(&first);
    options.stopAfter = 1000;
    QVERIFY(RtfReader().read(rtf, start, options).isRtf);
    QVERIFY(first.characterCount() > 1000 && first.characterCount() < 1000 + 4096);
    QVERIFY(first.toPlainText().startsWith(QStringLiteral("bold plain text of a paragraph\n")));
    // Also within one long paragraph of a group per character.
    QTextDocument dense;
    QTextCursor at(&dense);
    QVERIFY(RtfReader().read("{\\rtf1 " + QByteArray("{\\b a}{b}").repeated(100000) + "}", at, options).isRtf);
    QVERIFY(dense.characterCount() > 1000 && dense.characterCount() < 1000 + 4096);
}

void TestRtfReader::notRtf()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("keep"));
    QTextCursor cursor(&doc);
    cursor.select(QTextCursor::Document);
    for (const char *data : {"", "plain text", "\xEF\xBB\xBF{\\rtf1 x}", "{\\pard x}", "{\\rtx1 x}"}) {
        const RtfReadResult r = RtfReader().read(QByteArray(data), cursor);
        QVERIFY2(!r.isRtf, data);
    }
    QCOMPARE(doc.toPlainText(), QStringLiteral("keep"));
    QVERIFY(RtfReader::looksLikeRtf("{ \\rtf1 x}"));
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const char *rtf, const QString &expected) {
        QTest::newRow(name) << QByteArray(rtf) << expected;
    };
    row("plain", "{\\rtf1 Hello world}", QStringLiteral("Hello world"));
    row("last mark dropped", "{\\rtf1 a\\par}", QStringLiteral("a"));
    row("empty last paragraph kept", "{\\rtf1 a\\par\\par}", QStringLiteral("a\n"));
    row("text after last mark", "{\\rtf1 a\\par b}", QStringLiteral("a\nb"));
    row("line ends ignored", "{\\rtf1 a\r\nb\\\r\nc}", QStringLiteral("ab\nc"));
    row("escapes", "{\\rtf1 \\{x\\}\\\\}", QStringLiteral("{x}\\"));
    row("hex in ANSI", "{\\rtf1\\ansi caf\\'e9}", QStringLiteral("caf\u00e9"));
    row("ansicpg", "{\\rtf1\\ansi\\ansicpg1251 \\'c6}", QStringLiteral("\u0416"));
    row("fcharset", "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\f0\\'e0\\f1\\'e0}",
        QStringLiteral("\u00e0\u0430"));
    row("cpg", "{\\rtf1{\\fonttbl{\\f0\\cpg1253 G;}}\\f0\\'e1}", QStringLiteral("\u03b1"));
    row("double byte", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'82\\'a0\\'83N}",
        QStringLiteral("\u3042\u30af"));
    row("mac", "{\\rtf1\\mac \\'8e}", QStringLiteral("\u00e9"));
    row("pc", "{\\rtf1\\pc \\'82}", QStringLiteral("\u00e9"));
    row("symbol font", "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 a\\'b7}", QStringLiteral("\uf061\uf0b7"));
    row("unicode", "{\\rtf1 \\u1046?\\u-3913?}", QStringLiteral("\u0416\uf0b7"));
    row("uc skips hex", "{\\rtf1\\uc2 \\u12354\\'82\\'a0x}", QStringLiteral("\u3042x"));
    row("uc0", "{\\rtf1\\uc0 \\u65 B}", QStringLiteral("AB"));
    row("uc scoped", "{\\rtf1 {\\uc2 \\u65 xy}\\u66 zw}", QStringLiteral("ABw"));
    row("surrogates", "{\\rtf1 \\u-10179?\\u-8704?}", QStringLiteral("\U0001F600"));
    row("fallback ends at group", "{\\rtf1\\uc3 {\\u65 x}y}", QStringLiteral("Ay"));
    row("specials", "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\_\\-}",
        QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201c\u201d\u00a0\u2011\u00ad"));
    row("tab and line", "{\\rtf1 a\\tab b\\line c}", QStringLiteral("a\tb\nc"));
    row("page ends paragraph", "{\\rtf1 a\\page b}", QStringLiteral("a\nb"));
    row("ignorable destination", "{\\rtf1 a{\\*\\foo skipped}b}", QStringLiteral("ab"));
    row("star mid-group means nothing", "{\\rtf1 {\\b\\*\\cs7 kept}}", QStringLiteral("kept"));
    row("unknown word", "{\\rtf1 a\\foobar123 b}", QStringLiteral("ab"));
    row("header footer footnote", "{\\rtf1{\\header h}{\\footer f}a{\\footnote n}b}", QStringLiteral("ab"));
    row("footnote number", "{\\rtf1 a{\\super\\chftn}{\\footnote\\chftn n}}", QStringLiteral("a1"));
    row("font table text", "{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red1\\green2\\blue3;}x}",
        QStringLiteral("x"));
    row("pntext and listtext", "{\\rtf1{\\pntext 1.\\tab}{\\listtext 2.\\tab}x}", QStringLiteral("x"));
    row("upr", "{\\rtf1 {\\upr{ansi}{\\*\\ud{\\u1046?}}}}", QStringLiteral("\u0416"));
    row("bin skipped", "{\\rtf1 a{\\*\\blob\\bin3 }}}}b}", QStringLiteral("ab"));
    row("hidden text kept", "{\\rtf1 a{\\v hidden}b}", QStringLiteral("ahiddenb"));
    row("field result", "{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}", QStringLiteral("7"));
    row("symbol field", "{\\rtf1 ({\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\"}{\\fldrslt }})}", QStringLiteral("(J)"));
    row("nested table flat", "{\\rtf1 \\intbl a\\nestcell b\\nestcell{\\*\\nesttableprops\\nestrow}{\\nonesttables\\par}\\cell\\row}",
        QStringLiteral("\na\nb\n\n"));
    row("after final brace", "{\\rtf1 a}junk{", QStringLiteral("a"));
    row("shape picture alternative", "{\\rtf1 a{\\nonshppict{\\pict\\wmetafile8 00}}b}", QStringLiteral("ab"));
    // Mac code pages, by \\ansicpg and by font charset (ICU lacks some: stand-ins).
    row("mac japanese font", "{\\rtf1\\mac\\ansicpg10001{\\fonttbl{\\f0\\fcharset78 Osaka;}}\\f0 \\'82\\'a0\\'83N}",
        QStringLiteral("\u3042\u30af"));
    row("mac japanese document", "{\\rtf1\\mac\\ansicpg10001 \\'82\\'a0}", QStringLiteral("\u3042"));
    row("mac chinese traditional", "{\\rtf1{\\fonttbl{\\f0\\fcharset81 M;}}\\f0\\'a4\\'40}", QStringLiteral("\u4e00"));
    row("mac cyrillic", "{\\rtf1{\\fonttbl{\\f0\\fcharset89 M;}}\\f0\\'80\\'e0}", QStringLiteral("\u0410\u0430"));
    row("mac hebrew", "{\\rtf1{\\fonttbl{\\f0\\fcharset83 M;}}\\f0\\'e0}", QStringLiteral("\u05d0"));
    row("mac thai", "{\\rtf1\\ansicpg10021 \\'a1}", QStringLiteral("\u0e01"));
    // List definitions print nothing wherever they stand.
    row("list outside its table", "{\\rtf1 a{\\list\\listtemplateid1{\\listlevel{\\leveltext\\'02\\'00.;}"
        "{\\levelnumbers\\'01;}}\\listid5}b}", QStringLiteral("ab"));
    row("level text outside a list", "{\\rtf1 a{\\listlevel{\\leveltext\\'01x;}}{\\leveltext y;}b}",
        QStringLiteral("ab"));
    row("list override outside its table", "{\\rtf1 a{\\listoverride\\listid5\\ls1 z}b}", QStringLiteral("ab"));
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RtfTest::text(rtf), expected);
}

void TestRtfReader::characterFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");
    auto row = [](const char *name, const char *body, int property, const QVariant &value) {
        QTest::newRow(name) << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Cyr;}}"
                                          "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}")
                                   + body + "x}"
                            << property << value;
    };
    row("font", "\\f1 ", QTextFormat::FontFamilies, QStringList{QStringLiteral("Cyr")});
    row("charset", "\\f1 ", TextProperty::FontCharset, 204);
    row("default size", "", QTextFormat::FontPointSize, 12.0);
    row("size", "\\fs21 ", QTextFormat::FontPointSize, 10.5);
    row("bold", "\\b ", QTextFormat::FontWeight, int(QFont::Bold));
    row("italic", "\\i ", QTextFormat::FontItalic, true);
    row("underline", "\\ul ", QTextFormat::TextUnderlineStyle, int(QTextCharFormat::SingleUnderline));
    row("dotted underline", "\\uld ", TextProperty::UnderlineKind, 4);
    row("double underline", "\\uldb ", TextProperty::UnderlineKind, 3);
    row("wave underline", "\\ulwave ", QTextFormat::TextUnderlineStyle, int(QTextCharFormat::WaveUnderline));
    row("strike", "\\strike ", QTextFormat::FontStrikeOut, true);
    row("colour", "\\cf2 ", QTextFormat::ForegroundBrush, QBrush(QColor(0, 0, 255)));
    row("highlight", "\\highlight1 ", QTextFormat::BackgroundBrush, QBrush(QColor(255, 0, 0)));
    row("chcbpat", "\\chcbpat2 ", QTextFormat::BackgroundBrush, QBrush(QColor(0, 0, 255)));
    row("super", "\\super ", QTextFormat::TextVerticalAlignment, int(QTextCharFormat::AlignSuperScript));
    row("up", "\\up6 ", QTextFormat::TextVerticalAlignment, int(QTextCharFormat::AlignSuperScript));
    row("sub", "\\sub ", QTextFormat::TextVerticalAlignment, int(QTextCharFormat::AlignSubScript));
    row("hidden", "\\v ", TextProperty::Hidden, true);
    row("protected", "\\protect ", TextProperty::Protected, true);
    row("disabled", "\\disabled ", TextProperty::Disabled, true);
    row("lang", "\\lang1031 ", TextProperty::Language, 1031);
    row("deflang", "\\deflang1036 ", TextProperty::Language, 1036);
    row("small caps", "\\scaps ", QTextFormat::FontCapitalization, int(QFont::SmallCaps));
    // Words that switch a format off, and \plain, must leave no trace.
    row("bold off", "\\b\\b0 ", QTextFormat::FontWeight, QVariant());
    row("ulnone", "\\ul\\ulnone ", QTextFormat::TextUnderlineStyle, QVariant());
    row("nosupersub", "\\super\\nosupersub ", QTextFormat::TextVerticalAlignment, QVariant());
    row("cf0 automatic", "\\cf1\\cf0 ", QTextFormat::ForegroundBrush, QVariant());
    row("plain", "\\b\\i\\v\\cf1\\fs40\\plain ", QTextFormat::FontPointSize, 12.0);
    row("plain clears hidden", "\\v\\plain ", TextProperty::Hidden, QVariant());
    row("group restores", "{\\b a}", QTextFormat::FontWeight, QVariant());
}

void TestRtfReader::characterFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, property);
    QFETCH(QVariant, value);
    auto doc = read(rtf);
    const QTextCharFormat f = formatAt(*doc, doc->characterCount() - 2);
    if (!value.isValid()) {
        QVERIFY2(!f.hasProperty(property) || f.property(property) == QVariant(false)
                     || f.property(property) == QVariant(0),
                 qPrintable(f.property(property).toString()));
        return;
    }
    QCOMPARE(f.property(property), value);
}

void TestRtfReader::paragraphFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    auto row = [](const char *name, const char *rtf, int block, const char *field, int value) {
        QTest::newRow(name) << QByteArray(rtf) << block << QString::fromLatin1(field) << value;
    };
    row("right", "{\\rtf1\\qr a}", 0, "align", int(Qt::AlignRight));
    row("centre", "{\\rtf1\\qc a}", 0, "align", int(Qt::AlignHCenter));
    row("justified", "{\\rtf1\\qj a}", 0, "align", int(Qt::AlignJustify));
    row("first line", "{\\rtf1\\li720\\fi-360 a}", 0, "first", 360);
    row("hanging", "{\\rtf1\\li720\\fi-360 a}", 0, "left", 360);
    row("right indent", "{\\rtf1\\ri400 a}", 0, "right", 400);
    row("space before", "{\\rtf1\\sb240 a}", 0, "sb", 240);
    row("space after", "{\\rtf1\\sa120 a}", 0, "sa", 120);
    row("at least", "{\\rtf1\\sl300 a}", 0, "rule", 3);
    row("exactly", "{\\rtf1\\sl-300\\slmult0 a}", 0, "spacing", 300);
    row("one and a half", "{\\rtf1\\sl360\\slmult1 a}", 0, "rule", 1);
    row("double", "{\\rtf1\\sl480\\slmult1 a}", 0, "rule", 2);
    row("multiple", "{\\rtf1\\sl276\\slmult1 a}", 0, "spacing", 23);
    row("tabs", "{\\rtf1\\tx720\\tqr\\tx1440 a}", 0, "tabs", 2);
    row("kept over par", "{\\rtf1\\qc a\\par b}", 1, "align", int(Qt::AlignHCenter));
    row("pard resets", "{\\rtf1\\qc a\\par\\pard b}", 1, "align", int(Qt::AlignLeft));
    row("format at the mark", "{\\rtf1 a\\qr\\par b}", 0, "align", int(Qt::AlignRight));
    row("group scoped", "{\\rtf1 {\\qc a}\\par}", 0, "align", int(Qt::AlignLeft));
    row("huge indent clamped", "{\\rtf1\\li99999999999 a}", 0, "first", 63360);
}

void TestRtfReader::paragraphFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, block);
    QFETCH(QString, field);
    QFETCH(int, value);
    auto doc = read(rtf);
    const ParagraphValues v = ParagraphFormat::read(doc->findBlockByNumber(block));
    const QHash<QString, int> values = {
        {QStringLiteral("align"), int(v.alignment)}, {QStringLiteral("first"), v.firstIndent},
        {QStringLiteral("left"), v.leftIndent},      {QStringLiteral("right"), v.rightIndent},
        {QStringLiteral("sb"), v.spaceBefore},       {QStringLiteral("sa"), v.spaceAfter},
        {QStringLiteral("rule"), v.lineSpacingRule}, {QStringLiteral("spacing"), v.lineSpacing},
        {QStringLiteral("tabs"), int(v.tabs.size())}};
    QCOMPARE(values.value(field), value);
}

void TestRtfReader::numbering_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("style");
    auto row = [](const char *name, const char *pn, NumberingKind kind, int start, int style) {
        QTest::newRow(name) << QByteArray("{\\rtf1 {\\pntext 1.\\tab}") + pn + "\\fi-360\\li720 item\\par}"
                            << int(kind) << start << style;
    };
    row("bullet", "{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}", NumberingKind::Bullet, 1, 0);
    row("decimal period", "{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}", NumberingKind::Arabic, 3, 0x200);
    row("decimal paren", "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta )}}", NumberingKind::Arabic, 1, 0x000);
    row("parens", "{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb (}{\\pntxta )}}", NumberingKind::Arabic, 1, 0x100);
    row("plain", "{\\*\\pn\\pnlvlbody\\pndec}", NumberingKind::Arabic, 1, 0x300);
    row("lower letter", "{\\pn\\pnlvlbody\\pnlcltr}", NumberingKind::LowerLetter, 1, 0x300);
    row("upper letter", "{\\pn\\pnlvlbody\\pnucltr}", NumberingKind::UpperLetter, 1, 0x300);
    row("lower roman", "{\\pn\\pnlvlbody\\pnlcrm}", NumberingKind::LowerRoman, 1, 0x300);
    row("upper roman", "{\\pn\\pnlvlbody\\pnucrm}", NumberingKind::UpperRoman, 1, 0x300);
    const char *lists = "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc4\\levelstartat2"
                        "{\\leveltext\\'02\\'00);}{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc23"
                        "{\\leveltext\\'01\\u8226 ?;}}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}";
    QTest::newRow("word list") << QByteArray("{\\rtf1 ") + lists + "\\ls1\\fi-360\\li720 item\\par}"
                               << int(NumberingKind::LowerLetter) << 2 << 0x000;
    QTest::newRow("word list level") << QByteArray("{\\rtf1 ") + lists + "\\ls1\\ilvl1\\fi-360\\li720 item\\par}"
                                     << int(NumberingKind::Bullet) << 1 << 0;
    QTest::newRow("word list without a number")
        << QByteArray("{\\rtf1 {\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'01\\u8226 ?;}}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\ls1\\fi-360\\li720 item\\par}")
        << int(NumberingKind::Bullet) << 1 << 0;
    // A list no table defines numbers nothing; old-style numbering beside it stands.
    QTest::newRow("undefined word list") << QByteArray("{\\rtf1 \\ls3\\fi-360\\li720 item\\par}")
                                         << int(NumberingKind::None) << 1 << 0;
    QTest::newRow("undefined word list, old-style numbering")
        << QByteArray("{\\rtf1 {\\*\\pn\\pnlvlbody\\pndec}\\ls3\\fi-360\\li720 item\\par}")
        << int(NumberingKind::Arabic) << 1 << 0x300;
}

void TestRtfReader::numbering()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, kind);
    QFETCH(int, start);
    QFETCH(int, style);
    auto doc = read(rtf);
    QCOMPARE(doc->toPlainText(), QStringLiteral("item"));
    const ParagraphValues v = ParagraphFormat::read(doc->firstBlock());
    QCOMPARE(int(v.numbering), kind);
    QCOMPARE(v.numberingStart, start);
    QCOMPARE(v.numberingStyle, style);
    QCOMPARE(v.firstIndent, 360);
    QCOMPARE(v.leftIndent, 360);
}

void TestRtfReader::wordListsNumberAcrossOtherParagraphs()
{
    // Old-style numbering restarts after a paragraph without it; a Word list
    // goes on counting.
    const QByteArray lists = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
    auto doc = read("{\\rtf1 " + lists + "\\ls1 a\\par\\pard b\\par\\ls1 c\\par}");
    QCOMPARE(doc->findBlockByNumber(0).textList(), doc->findBlockByNumber(2).textList());
    QCOMPARE(doc->findBlockByNumber(2).textList()->itemNumber(doc->findBlockByNumber(2)), 1);
    // Deeper levels count afresh under each item of a higher level.
    const QByteArray levels = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                              "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}}\\listid1}}"
                              "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
    auto nested = read("{\\rtf1 " + levels + "\\ls1 a\\par\\ls1\\ilvl1 a1\\par a2\\par\\pard\\ls1\\ilvl0 b\\par"
                       "\\ls1\\ilvl1 b1\\par}");
    const QTextBlock b1 = nested->findBlockByNumber(4);
    QCOMPARE(b1.textList()->itemNumber(b1), 0);
    QCOMPARE(nested->findBlockByNumber(3).textList()->itemNumber(nested->findBlockByNumber(3)), 1);
    QCOMPARE(nested->findBlockByNumber(2).textList()->itemNumber(nested->findBlockByNumber(2)), 1);
    auto old = read("{\\rtf1 {\\*\\pn\\pnlvlbody\\pndec}a\\par\\pard b\\par{\\*\\pn\\pnlvlbody\\pndec}c\\par}");
    QVERIFY(old->findBlockByNumber(0).textList() != old->findBlockByNumber(2).textList());
    auto run = read("{\\rtf1 {\\*\\pn\\pnlvlbody\\pndec}a\\par{\\*\\pn\\pnlvlbody\\pndec}b\\par}");
    QCOMPARE(run->findBlockByNumber(0).textList(), run->findBlockByNumber(1).textList());
    // A continuation paragraph has no number, though Word 97 names a format after \pnlvlcont.
    QVERIFY(!read("{\\rtf1 {\\*\\pn\\pnlvlcont\\ilvl0\\ls0\\pndec}a\\par}")->begin().textList());
    // OpenOffice numbers its overrides from \ls0; \ls0 without such an
    // override stays "no list".
    const QByteArray zero = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                            "{\\*\\listoverridetable{\\listoverride\\listid1\\ls0}}";
    auto oo = read("{\\rtf1 " + zero + "\\ls0 a\\par b\\par}");
    QVERIFY(oo->findBlockByNumber(1).textList());
    QCOMPARE(oo->findBlockByNumber(1).textList()->itemNumber(oo->findBlockByNumber(1)), 1);
    QVERIFY(!read("{\\rtf1 " + lists + "\\ls0 a\\par}")->begin().textList());
}

void TestRtfReader::styles()
{
    auto doc = read("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1\\qc\\sb240\\b\\fs32\\sbasedon0 Heading;}"
                    "{\\*\\cs5\\i Emphasis;}{\\s2\\sa100\\sbasedon1 Sub;}}"
                    "\\pard\\s1 Title\\par\\pard\\s2 Sub\\par\\pard\\s0 {\\cs5 em}\\par}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("Title\nSub\nem"));
    const ParagraphValues title = ParagraphFormat::read(doc->findBlockByNumber(0));
    QCOMPARE(title.alignment, Qt::AlignHCenter);
    QCOMPARE(title.spaceBefore, 240);
    QCOMPARE(formatAt(*doc, 0).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(*doc, 0).fontPointSize(), 16.0);
    // Based on Heading: its centring and its own space after.
    const ParagraphValues sub = ParagraphFormat::read(doc->findBlockByNumber(1));
    QCOMPARE(sub.alignment, Qt::AlignHCenter);
    QCOMPARE(sub.spaceAfter, 100);
    QVERIFY(formatAt(*doc, doc->findBlockByNumber(2).position()).fontItalic());
}

void TestRtfReader::fontNameInUnicodeEscapes()
{
    auto doc = read("{\\rtf1{\\fonttbl{\\f0\\fcharset136 \\'b7\\'73\\u32048?\\'a9\\'fa;}}\\f0 x}");
    QCOMPARE(formatAt(*doc, 0).fontFamilies().toStringList().value(0), QStringLiteral("\u65b0\u7d30\u660e"));
}

void TestRtfReader::title()
{
    RtfReadResult r;
    read("{\\rtf1{\\info{\\title My \\'e9t\\'e9}{\\author me}}body}", &r);
    QVERIFY(r.isRtf);
    QCOMPARE(r.title, QStringLiteral("My \u00e9t\u00e9"));
}

void TestRtfReader::fields()
{
    auto doc = read("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a\\\\\\\\b\" }}"
                    "{\\fldrslt{\\ul here}}} and {\\field{\\*\\fldinst HYPERLINK \\\\l \"mark\"}{\\fldrslt local}}"
                    " p{\\field{\\*\\fldinst PAGE \\\\* MERGEFORMAT}{\\fldrslt 3}}.}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("see here and local p3."));
    const QTextCharFormat link = formatAt(*doc, 4);
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("https://example.org/a\\b"));
    QCOMPARE(formatAt(*doc, 13).anchorHref(), QStringLiteral("#mark"));
    QVERIFY(!formatAt(*doc, 0).isAnchor());
    const QTextCharFormat page = formatAt(*doc, 20);
    QCOMPARE(page.stringProperty(TextProperty::FieldInstruction), QStringLiteral("PAGE \\* MERGEFORMAT"));
    QVERIFY(!page.isAnchor());
}

void TestRtfReader::tables()
{
    auto doc = read("{\\rtf1 before\\par\\trowd\\cellx1000\\cellx3000\\clmgf\\cellx4000\\clmrg\\cellx5000"
                    "\\pard\\intbl a\\cell b1\\par b2\\cell c\\cell\\cell\\row"
                    "\\trowd\\cellx1000\\cellx3000\\pard\\intbl d\\cell e\\cell\\row\\pard after\\par}");
    QTextTable *table = nullptr;
    for (auto it = doc->rootFrame()->begin(); !it.atEnd(); ++it)
        if (auto t = qobject_cast<QTextTable *>(it.currentFrame()))
            table = t;
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 4);
    QCOMPARE(table->cellAt(0, 2).columnSpan(), 2);
    auto cellText = [&](int r, int c) {
        QTextCursor a = table->cellAt(r, c).firstCursorPosition();
        a.setPosition(table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return a.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('|'));
    };
    QCOMPARE(cellText(0, 0), QStringLiteral("a"));
    QCOMPARE(cellText(0, 1), QStringLiteral("b1|b2"));
    QCOMPARE(cellText(1, 1), QStringLiteral("e"));
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 4);
    QCOMPARE(widths.at(1).rawValue(), DocUnits::twipsToPx(2000));
    QCOMPARE(doc->firstBlock().text(), QStringLiteral("before"));
    QCOMPARE(doc->lastBlock().text(), QStringLiteral("after"));
}

void TestRtfReader::pictures()
{
    QByteArray png;
    const QByteArray hex = pngHex(20, 10, &png);
    auto doc = read("{\\rtf1 a{\\pict\\pngblip\\picw20\\pich10\\picwgoal600\\pichgoal300\\picscalex50 " + hex
                    + "}{\\pict\\pngblip " + hex + "}b}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("a\ufffc\ufffcb"));
    const QTextImageFormat scaled = formatAt(*doc, 1).toImageFormat();
    QVERIFY(scaled.isValid());
    QCOMPARE(scaled.width(), 20.0);  // 600 twips at 50 %
    QCOMPARE(scaled.height(), 20.0);
    QCOMPARE(scaled.property(TextProperty::PictureBytes).toByteArray(), png);
    QCOMPARE(scaled.stringProperty(TextProperty::PictureType), QStringLiteral("png"));
    const QImage image = doc->resource(QTextDocument::ImageResource, QUrl(scaled.name())).value<QImage>();
    QCOMPARE(image.size(), QSize(20, 10));
    QCOMPARE(image.pixelColor(3, 3), QColor(Qt::red));
    const QTextImageFormat natural = formatAt(*doc, 2).toImageFormat();
    QCOMPARE(natural.width(), 20.0);

    // A bitmap without file header, and raw device bits.
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "BMP");
    auto dib = read("{\\rtf1{\\pict\\dibitmap0\\picw2\\pich2 " + bmp.mid(14).toHex() + "}}");
    const QTextImageFormat dibFormat = formatAt(*dib, 0).toImageFormat();
    QCOMPARE(dib->resource(QTextDocument::ImageResource, QUrl(dibFormat.name())).value<QImage>().pixelColor(1, 1),
             QColor(Qt::blue));
    auto ddb = read("{\\rtf1{\\pict\\wbitmap0\\picw2\\pich1\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes6 "
                    "0000ff00ff00}}");
    const QImage bits = ddb->resource(QTextDocument::ImageResource,
                                      QUrl(formatAt(*ddb, 0).toImageFormat().name())).value<QImage>();
    QCOMPARE(bits.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(bits.pixelColor(1, 0), QColor(Qt::green));
}

void TestRtfReader::metafileKeepsBytes()
{
    // Metafiles cannot be drawn here: a placeholder of the right size, and
    // the bytes as they came; \bin data as well as hex.
    auto doc = read("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 0102030405}"
                    "{\\pict\\emfblip\\picwgoal1440\\pichgoal720\\bin4 \x01\x7d\x7b\x5c}}");
    const QTextImageFormat wmf = formatAt(*doc, 0).toImageFormat();
    QCOMPARE(wmf.width(), 96.0);   // 2540 hundredths of a millimetre: one inch
    QCOMPARE(wmf.height(), 48.0);
    QCOMPARE(wmf.property(TextProperty::PictureBytes).toByteArray(), QByteArray::fromHex("0102030405"));
    QCOMPARE(wmf.stringProperty(TextProperty::PictureType), QStringLiteral("wmf"));
    QVERIFY(!doc->resource(QTextDocument::ImageResource, QUrl(wmf.name())).value<QImage>().isNull());
    const QTextImageFormat emf = formatAt(*doc, 1).toImageFormat();
    QCOMPARE(emf.width(), 96.0);
    QCOMPARE(emf.property(TextProperty::PictureBytes).toByteArray(), QByteArray("\x01\x7d\x7b\x5c", 4));
}

void TestRtfReader::objectShowsResultAndKeepsData()
{
    const QByteArray object = "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}";
    auto doc = read("{\\rtf1 a" + object + "{\\result shown}}b}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("ashownb"));
    QCOMPARE(formatAt(*doc, 1).property(TextProperty::ObjectData).toByteArray(), object);
    QVERIFY(!formatAt(*doc, 6).hasProperty(TextProperty::ObjectData));
}

void TestRtfReader::insertsAtCursor()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("XY\nZ"));
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    RtfReader().read("{\\rtf1\\qc a\\par b}", cursor);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Xa\nbY\nZ"));
    // The paragraph that got a mark from the stream takes its format; the
    // one that merges with existing text keeps its own.
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
    QVERIFY(doc.findBlockByNumber(1).blockFormat().alignment() != Qt::AlignHCenter);

    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    RtfReader().read("{\\rtf1 new}", cursor);
    QCOMPARE(doc.toPlainText(), QStringLiteral("new\nbY\nZ"));
}

void TestRtfReader::readsInWorkerThread()
{
    // Loading may run off the interface thread on a document no widget uses.
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip " + pngHex(4, 4) + "}{\\pict\\wmetafile8 0102}"
                           "\\par\\trowd\\cellx1000\\intbl x\\cell\\row}";
    const QString expected = DocumentDump::dump(*read(rtf));
    QString inThread;
    std::thread worker([&] { inThread = DocumentDump::dump(*read(rtf)); });
    worker.join();
    QCOMPARE(inThread, expected);
}

// A large read is parsed on a thread of its own while it is built: the
// document, its kept groups, title and warnings are those of a read that
// builds as it parses, across many of the batches handed over.
void TestRtfReader::parsedAsideGivesTheSameDocument()
{
    const QByteArray body = "{\\pard\\s1\\ls1 item {\\b bold} {\\i\\cf1 red}\\par}"
                            "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt link}} "
                            "caf\\'e9 \\u8364? a{\\footnote note}b {\\pict\\pngblip " + pngHex(2, 2) + "}\\par"
                            "\\trowd\\cellx1000\\clmgf\\cellx2000\\clmrg\\cellx3000\\pard\\intbl a\\cell b\\cell c\\cell\\row"
                            "\\pard after the table{\\shp{\\shptxt boxed}}\\par\n";
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                           "{\\stylesheet{\\s1\\b Heading;}}{\\info{\\title The title}}{\\header head}"
                           "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                           "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                           + body.repeated(300) + "\\unknown{\\b unclosed";
    RtfReadResult direct, aside;
    const auto built = read(rtf, &direct);
    const auto parsed = read(rtf, &aside, RtfTest::parsedAside());
    QCOMPARE(parsed->blockCount(), built->blockCount());
    QCOMPARE(DocumentDump::dump(*parsed), DocumentDump::dump(*built));
    QCOMPARE(RtfWriter().write(*parsed), RtfWriter().write(*built));
    QCOMPARE(aside.title, QStringLiteral("The title"));
    QCOMPARE(aside.warnings, direct.warnings);
    QVERIFY(!aside.warnings.isEmpty());
}

// A parse that fails part-way (out of memory) must fail the read, not leave
// the paragraphs before it looking like the whole document.
void TestRtfReader::aParseThatFailsAsideFailsTheRead()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    Rtf::DocumentBuilder builder(cursor);
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, Rtf::buildAside(builder, [](Rtf::BuildSink &sink) {
        const int format = sink.addCharFormat(QTextCharFormat());
        const int spec = sink.addBlockSpec(Rtf::BlockSpec());
        for (int i = 0; i < 5000; ++i) {
            Rtf::Paragraph p;
            p.append(QStringLiteral("paragraph"), format);
            sink.endParagraph(p, spec, format, false);
        }
        throw std::bad_alloc();
    }));
}

void TestRtfReader::damaged_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{\\b b{\\i c") << QStringLiteral("abc");
    QTest::newRow("extra closing") << QByteArray("{\\rtf1 a}}}b") << QStringLiteral("a");
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999\\li-99999999999 \\u99999999999 ab\\cf4294967296 y\\uc99999 }")
                                  << QStringLiteral("by");
    QTest::newRow("bin past end") << QByteArray("{\\rtf1 a{\\pict\\bin999999999 xyz") << QStringLiteral("a\ufffc");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
    QTest::newRow("invalid hex") << QByteArray("{\\rtf1 x\\u345\\'3?x\\'zzy\\'") << QStringLiteral("x\u0159xy");
    QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("long word") << QByteArray("{\\rtf1 \\") + QByteArray(5000, 'a') + " b}" << QStringLiteral("b");
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << QStringLiteral("ab");
    QTest::newRow("cells without rows") << QByteArray("{\\rtf1 a\\cell b\\cell") << QStringLiteral("\na\nb\n");
    QTest::newRow("one wide row among many") << QByteArray("{\\rtf1 ") + QByteArray("\\cell").repeated(30000) + "\\row "
                                                    + QByteArray("x\\cell\\row ").repeated(30000) + "}"
                                             << QString(30002, QLatin1Char('\n')) + QStringLiteral("x\n").repeated(30000);
    QTest::newRow("rows without cells") << QByteArray("{\\rtf1 \\row\\row a}") << QStringLiteral("a");
    QTest::newRow("picture of garbage") << QByteArray("{\\rtf1{\\pict\\pngblip 0123zz}x}") << QStringLiteral("\ufffcx");
    QTest::newRow("empty field") << QByteArray("{\\rtf1{\\field}{\\fldrslt x}}") << QStringLiteral("x");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "}"
                                  << QStringLiteral("deep");
    QTest::newRow("deep unclosed") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x" << QStringLiteral("x");
    QTest::newRow("a kept group per character")
        << QByteArray("{\\rtf1 ") + QByteArray("{\\header h}{\\*\\bkmkstart b}x").repeated(50000) + "}"
        << QStringLiteral("\ufffcx").repeated(50000);
    QTest::newRow("many escapes") << QByteArray("{\\rtf1 ") + QByteArray("\\u65?").repeated(20000) + "}"
                                    << QString(20000, QLatin1Char('A'));
}

void TestRtfReader::damaged()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QElapsedTimer timer;
    timer.start();
    RtfReadResult r;
    auto doc = read(rtf, &r);
    QVERIFY(r.isRtf);
    QCOMPARE(doc->toPlainText(), expected);
    QVERIFY2(timer.elapsed() < 5000, "reading damaged input took too long");
}

void TestRtfReader::everyTruncationReads()
{
    // Cut a file with every construct at every byte: each prefix reads.
    const QByteArray full =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fcharset128 M;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s1\\qc Head;}}{\\info{\\title T}}"
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\uc1\\pard\\s1 H\\par"
        "\\pard\\ls1 \\b b\\b0 \\u1046?\\f1\\'82\\'a0\\f0\\par{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}x\\par"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\\pard"
        "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt l}}{\\pict\\wmetafile8\\picw10\\pich10 0102}"
        "{\\object{\\*\\objdata 01}{\\result r}}\\par}";
    for (int n = 0; n <= full.size(); ++n) {
        auto doc = read(full.left(n));
        QVERIFY(doc->characterCount() >= 1);
    }
    auto doc = read(full);
    QCOMPARE(doc->toPlainText(), QStringLiteral("H\nb\u0416\u3042\nx\na\nb\nl\ufffcr"));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
