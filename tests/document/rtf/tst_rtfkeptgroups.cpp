// Groups the editor does not show (footnotes, comments, shapes, bookmarks,
// headers, \info, …) are kept by the reader and written back unchanged.
#include "tests/document/rtf/RtfTestSupport.h"

#include "document/KeptContent.h"
#include "document/PlainText.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QtTest>

using RtfTest::read;

namespace {

// The formats of the kept objects of a document, in order.
QList<QTextCharFormat> keptObjects(const QTextDocument &doc)
{
    QList<QTextCharFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (KeptContent::isKept(it.fragment().charFormat()))
                for (int i = 0; i < it.fragment().length(); ++i)
                    out << it.fragment().charFormat();
    return out;
}

int braceBalance(const QByteArray &rtf)
{
    int open = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf.at(i) == '\\')
            ++i;
        else if (rtf.at(i) == '{')
            ++open;
        else if (rtf.at(i) == '}')
            --open;
    }
    return open;
}

} // namespace

class TestRtfKeptGroups : public QObject
{
    Q_OBJECT

private slots:
    void inlineGroupsAreKeptAtTheirPlace_data();
    void inlineGroupsAreKeptAtTheirPlace();
    void footnoteTakesItsNumber();
    void headerGroupsAreWrittenInTheHeader();
    void pastedRtfBringsNoHeader();
    void documentWordsAreWrittenInTheHeader();
    void fieldWithoutResultIsKept();
    void deletingTheMarkerDeletesTheGroup();
    void truncatedGroupIsClosed();
    void manyGroupsStayBounded();
    void keptCharacterOfPlainText();
};

void TestRtfKeptGroups::inlineGroupsAreKeptAtTheirPlace_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QString>("text");     // what the object stands for in the text
    QTest::addColumn<QString>("caption");  // its tooltip
    QTest::newRow("bookmark") << QByteArray("{\\*\\bkmkstart mark}") << QString() << QStringLiteral("mark");
    QTest::newRow("shape with text box")
        << QByteArray("{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn fillColor}{\\sv 255}}{\\shptxt \\pard box \\'e9\\par}}"
                      "{\\shprslt{\\pict\\wmetafile8 00}}}")
        << QString::fromUtf8("box é") << QString::fromUtf8("box é");
    QTest::newRow("drawing object") << QByteArray("{\\*\\do\\dobxpage\\dptxbx{\\dptxbxtext \\pard in a frame\\par}}")
                                    << QStringLiteral("in a frame") << QStringLiteral("in a frame");
    QTest::newRow("comment") << QByteArray("{\\*\\annotation{\\*\\atnref 0}\\pard said so}") << QString()
                             << QStringLiteral("said so");
    QTest::newRow("unknown ignorable") << QByteArray("{\\*\\whatever {\\b x}}") << QString() << QStringLiteral("x");
}

void TestRtfKeptGroups::inlineGroupsAreKeptAtTheirPlace()
{
    QFETCH(QByteArray, group);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    const QByteArray rtf = "{\\rtf1\\ansi a" + group + "b\\par}";
    auto doc = read(rtf);
    QCOMPARE(doc->toPlainText(), QStringLiteral("a\ufffcb"));
    const QList<QTextCharFormat> kept = keptObjects(*doc);
    QCOMPARE(kept.size(), 1);
    QVERIFY(KeptContent::rtf(kept.first()).endsWith(group));
    QCOMPARE(KeptContent::text(kept.first()), text);
    QCOMPARE(KeptContent::caption(kept.first()), caption.isEmpty() ? text : caption);
    QCOMPARE(DocumentDump::plainText(*doc), QStringLiteral("a") + text + QStringLiteral("b"));
    QCOMPARE(PlainText::extract(*doc, 0, -1, QStringLiteral("\n")), QStringLiteral("a") + text + QStringLiteral("b"));

    // Written back unchanged, at its place, and read back the same.
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QVERIFY2(written.contains(group) && written.indexOf(group) > written.indexOf("a"), written.constData());
    QCOMPARE(second, first);
}

void TestRtfKeptGroups::footnoteTakesItsNumber()
{
    const QByteArray rtf = "{\\rtf1 Text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} The note.} more"
                           "\\chftn{\\footnote two}\\par}";
    auto doc = read(rtf);
    // The numbers are shown by the markers, not held as text of their own.
    QCOMPARE(doc->toPlainText(), QStringLiteral("Text\ufffc more\ufffc"));
    QCOMPARE(DocumentDump::plainText(*doc), QStringLiteral("Text1 more2"));
    const QList<QTextCharFormat> kept = keptObjects(*doc);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(KeptContent::caption(kept.at(0)), QStringLiteral("The note."));
    QCOMPARE(kept.at(0).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QVERIFY(written.contains("\\chftn {\\footnote\\pard\\plain{\\super\\chftn} The note.}"));
    QCOMPARE(written.count("\\chftn"), 3);
    QCOMPARE(second, first);
}

void TestRtfKeptGroups::headerGroupsAreWrittenInTheHeader()
{
    const QByteArray header = "{\\header \\pard Page head\\par}";
    const QByteArray info = "{\\info{\\title The title}{\\author Me}}";
    const QByteArray theme = "{\\*\\themedata 0102}";
    // Word writes some of them after the body: no paragraph of their own.
    const QByteArray trailing = "{\\*\\datastore 0105}";
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + info + theme + "\\sectd" + header
                           + "\\pard body\\par" + trailing + "}";
    RtfReadResult result;
    auto doc = read(rtf, &result);
    QCOMPARE(doc->toPlainText(), QStringLiteral("body"));
    QCOMPARE(result.title, QStringLiteral("The title"));
    const QByteArray groups = KeptContent::documentGroups(*doc);
    QVERIFY(groups.contains(header) && groups.contains(info) && groups.contains(theme) && groups.contains(trailing));

    const QByteArray written = RtfWriter().write(*doc);
    const qsizetype body = written.indexOf("body");
    QVERIFY(written.indexOf(header) > 0 && written.indexOf(header) < body);
    QVERIFY(written.indexOf(info) > 0 && written.indexOf(info) < body);
    QCOMPARE(RtfTest::roundTrip(rtf).second, RtfTest::roundTrip(rtf).first);
    // A selection is no whole document: no header of it.
    RtfWriteOptions part;
    part.from = 0;
    part.to = 2;
    QVERIFY(!RtfWriter().write(*doc, part).contains("Page head"));
}

void TestRtfKeptGroups::pastedRtfBringsNoHeader()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("xy"));
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    RtfReader().read("{\\rtf1{\\header h}{\\*\\bkmkstart m}in}", cursor);
    QCOMPARE(doc.toPlainText(), QStringLiteral("x\ufffciny"));
    QVERIFY(KeptContent::documentGroups(doc).isEmpty());
}

// Footnote numbering, page size and margins, default tabs: the kept
// footnotes are numbered by them in other programs.
void TestRtfKeptGroups::documentWordsAreWrittenInTheHeader()
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\paperw11906 \\margl1701\\ftnnar \\aftnnrlc"
                           "\\ftnrstpg\\deftab1298\\fet2 body\\chftn{\\footnote note}\\par\\pard\\margr100 x\\par}";
    const QByteArray written = RtfWriter().write(*read(rtf));
    const qsizetype body = written.indexOf("body");
    const qsizetype words = written.indexOf("\\paperw11906 \\margl1701 \\ftnnar \\aftnnrlc \\ftnrstpg \\deftab1298 \\fet2 ");
    QVERIFY2(words > 0 && words < body, written.constData());
    // Only words before the body belong to the document.
    QVERIFY(!written.contains("\\margr100"));
    QCOMPARE(RtfTest::roundTrip(rtf).second, RtfTest::roundTrip(rtf).first);

    QTextDocument doc;
    doc.setPlainText(QStringLiteral("xy"));
    QTextCursor cursor(&doc);
    RtfReader().read(rtf, cursor);
    QVERIFY(!RtfWriter().write(doc).contains("\\ftnnar"));
}

// Word fills in a field's result when it updates fields; one saved without
// a result is kept whole, also inside another field's result.
void TestRtfKeptGroups::fieldWithoutResultIsKept()
{
    const QByteArray empty = "{\\field{\\*\\fldinst { USERADDRESS \\\\* Upper }}{\\fldrslt }}";
    const QByteArray rtf = "{\\rtf1 a" + empty + "b{\\field{\\*\\fldinst IF 1 = 1 \"x\"}{\\fldrslt c" + empty
                           + "d}}e\\par}";
    auto doc = read(rtf);
    QCOMPARE(doc->toPlainText(), QStringLiteral("a\ufffcbc\ufffcde"));
    const QList<QTextCharFormat> kept = keptObjects(*doc);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(KeptContent::rtf(kept.at(0)), empty);
    QCOMPARE(KeptContent::caption(kept.at(0)), QStringLiteral("USERADDRESS \\* Upper"));
    QByteArray written;
    const auto [first, second] = RtfTest::roundTrip(rtf, &written);
    QCOMPARE(written.count("USERADDRESS"), 2);
    QCOMPARE(written.count("IF 1 = 1"), 1);
    QCOMPARE(second, first);
    // Links to one target share a format: each has its result still.
    auto links = read("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt x}} "
                      "{\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt y}}\\par}");
    QCOMPARE(links->toPlainText(), QStringLiteral("x y"));
}

void TestRtfKeptGroups::deletingTheMarkerDeletesTheGroup()
{
    auto doc = read("{\\rtf1 a{\\*\\bkmkstart gone}b{\\*\\bkmkend gone}c}");
    QCOMPARE(keptObjects(*doc).size(), 2);
    QTextCursor c(doc.get());
    c.setPosition(1);
    c.deleteChar();
    QCOMPARE(keptObjects(*doc).size(), 1);
    const QByteArray written = RtfWriter().write(*doc);
    QVERIFY(!written.contains("bkmkstart"));
    QVERIFY(written.contains("{\\*\\bkmkend gone}"));
}

void TestRtfKeptGroups::truncatedGroupIsClosed()
{
    auto doc = read("{\\rtf1 a{\\footnote{\\i cut");
    const QList<QTextCharFormat> kept = keptObjects(*doc);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(KeptContent::rtf(kept.first()), QByteArray("{\\footnote{\\i cut}}"));
    QCOMPARE(braceBalance(RtfWriter().write(*doc)), 0);
}

void TestRtfKeptGroups::manyGroupsStayBounded()
{
    // One kept group per character: the first hundred thousand are kept,
    // the rest read as before, and nothing hangs.
    const QByteArray rtf = "{\\rtf1 " + QByteArray("x{\\*\\bkmkstart b}").repeated(150000) + "}";
    QElapsedTimer timer;
    timer.start();
    RtfReadResult result;
    auto doc = read(rtf, &result);
    QVERIFY2(timer.elapsed() < 20000, "reading took too long");
    QCOMPARE(DocumentDump::plainText(*doc), QString(150000, QLatin1Char('x')));
    QCOMPARE(keptObjects(*doc).size(), 100000);
    QVERIFY(!result.warnings.isEmpty());
}

void TestRtfKeptGroups::keptCharacterOfPlainText()
{
    // A U+2029 a plain text file held is a character: RTF writes it as one.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("a"));
    c.insertText(QString(QChar::ObjectReplacementCharacter), KeptContent::character(QChar::ParagraphSeparator));
    c.insertText(QStringLiteral("b"));
    const QByteArray written = RtfWriter().write(doc);
    QVERIFY2(written.contains("a\\u8233?b"), written.constData());
}

QTEST_MAIN(TestRtfKeptGroups)
#include "tst_rtfkeptgroups.moc"
