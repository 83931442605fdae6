#include "platform/CodePages.h"
#include "document/ParagraphFormat.h"
#include "document/PlainText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using PlainText::EncodedText;

namespace {

std::unique_ptr<QTextDocument> build(const QByteArray &bytes, EncodedText::Encoding encoding, int codePage = 1252,
                                     PlainText::LineEnd *lineEnd = nullptr, qsizetype offset = 0)
{
    EncodedText source;
    source.bytes = bytes;
    source.encoding = encoding;
    source.codePage = codePage;
    source.offset = offset;
    return std::unique_ptr<QTextDocument>(PlainText::buildDocument(source, QFont(), nullptr, lineEnd));
}

QString all(const QTextDocument &doc, const QString &lineEnd = QStringLiteral("\r\n"))
{
    return PlainText::extract(doc, 0, -1, lineEnd);
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT

private slots:
    void lineEndsOfEveryKindEndParagraphs()
    {
        PlainText::LineEnd lineEnd;
        auto doc = build("a\r\nb\nc\rd", EncodedText::CodePage, 1252, &lineEnd);
        QCOMPARE(doc->blockCount(), 4);
        QCOMPARE(lineEnd, PlainText::LineEnd::CrLf);
        QCOMPARE(all(*doc), QStringLiteral("a\r\nb\r\nc\r\nd"));
        doc = build("x\ny\n", EncodedText::CodePage, 1252, &lineEnd);
        QCOMPARE(lineEnd, PlainText::LineEnd::Lf);
        QCOMPARE(all(*doc, QStringLiteral("\n")), QStringLiteral("x\ny\n"));
        QVERIFY(!doc->isModified());
        QVERIFY(!doc->isUndoAvailable());
    }

    void bigTextIsCutBetweenPiecesWithoutHarm()
    {
        // CR LF straddling the 1 MiB piece boundary, and a multi-byte
        // character of a double-byte code page right there too.
        QByteArray bytes(1024 * 1024 - 1, 'x');
        bytes += "\r\n";
        bytes += QByteArray(5000, 'y');
        auto doc = build(bytes, EncodedText::CodePage);
        QCOMPARE(doc->blockCount(), 2);
        QCOMPARE(doc->characterCount() - 1, int(bytes.size()) - 1);

        QByteArray sjis;
        while (sjis.size() < 1024 * 1024 + 10)
            sjis += "\x93\xFA\x96\x7B";  // 日本
        sjis += "\n";
        auto jp = build(sjis, EncodedText::CodePage, 932);
        const QString text = jp->firstBlock().text();
        QCOMPARE(text.size(), int(sjis.size() - 1) / 2);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        QCOMPARE(text.left(2), QString::fromUtf8("日本"));

        QByteArray utf8;
        while (utf8.size() < 1024 * 1024 + 10)
            utf8 += "\xE2\x82\xAC"; // €
        auto euro = build(utf8, EncodedText::Utf8);
        QVERIFY(!euro->toRawText().contains(QChar::ReplacementCharacter));
        QCOMPARE(euro->characterCount() - 1, int(utf8.size() / 3));
    }

    void utf16InBothByteOrders()
    {
        auto le = build(QByteArray("\xFF\xFEh\0i\0\r\0\n\0", 10), EncodedText::Utf16LE, 0, nullptr, 2);
        QCOMPARE(all(*le), QStringLiteral("hi\r\n"));
        auto be = build(QByteArray("\xFE\xFF\0h\0i\0", 7), EncodedText::Utf16BE, 0, nullptr, 2);
        QCOMPARE(all(*be), QStringLiteral("hi"));
    }

    // Read straight from the file, as large files are: the first line end
    // decides wherever it is, and what follows the mark is all text.
    void fileReadInPiecesKeepsLineEndsMarksAndSeparators()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF\xEF\xBB\xBF");
        file.write(QByteArray(3 * 1024 * 1024, 'x'));
        file.write("\xE2\x80\xA9y\nz");
        file.close();
        EncodedText source;
        source.filePath = path;
        source.offset = 3;
        source.encoding = EncodedText::Utf8;
        PlainText::LineEnd lineEnd = PlainText::LineEnd::CrLf;
        std::unique_ptr<QTextDocument> doc(PlainText::buildDocument(source, QFont(), nullptr, &lineEnd));
        QCOMPARE(lineEnd, PlainText::LineEnd::Lf);
        QCOMPARE(doc->blockCount(), 2);
        const QString text = PlainText::extract(*doc, 0, -1, QStringLiteral("\n"));
        QCOMPARE(text.size(), 1 + 3 * 1024 * 1024 + 4);
        QVERIFY(text.startsWith(QChar(0xFEFF)));
        QVERIFY(text.endsWith(QStringLiteral("x\u2029y\nz")));
        // Only a line end is a line end: a file without one is CR LF.
        source.filePath.clear();
        source.bytes = "\xEF\xBB\xBF" "a\xE2\x80\xA8" "b";
        doc.reset(PlainText::buildDocument(source, QFont(), nullptr, &lineEnd));
        QCOMPARE(lineEnd, PlainText::LineEnd::CrLf);
        QCOMPARE(doc->blockCount(), 1);
    }

    // Large sources are read on a thread of their own: a build that stops
    // part-way must stop that reading too, not wait for it forever.
    void aBuildThatStopsPartWayStopsItsReading()
    {
        EncodedText source;
        source.bytes = QByteArray("line\n").repeated(2 * 1024 * 1024);
        int pieces = 0;
        source.pieceRead = [&pieces](qint64) {
            if (++pieces == 2)
                throw std::bad_alloc();
        };
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, PlainText::buildDocument(source, QFont()));
        QCOMPARE(pieces, 2);
        source.pieceRead = nullptr;
        source.lineLimit = 3;
        PlainText::BuildError error;
        QVERIFY(!PlainText::buildDocument(source, QFont(), nullptr, nullptr, &error));
        QVERIFY(error.lineTooLong);
    }

    void extractKeepsWhatToPlainTextWouldChange()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QString::fromUtf8("a\u00A0b"));
        c.insertText(QString(QChar::LineSeparator));
        c.insertText(QStringLiteral("c"));
        // A no-break space stays one; a line separator becomes the line end
        // unless it is kept.
        QCOMPARE(PlainText::extract(doc, 0, -1, QStringLiteral("\r\n")), QString::fromUtf8("a\u00A0b\r\nc"));
        QCOMPARE(PlainText::extract(doc, 0, -1, QStringLiteral("\r\n"), true),
                 QString::fromUtf8("a\u00A0b") + QChar::LineSeparator + u'c');
        QCOMPARE(PlainText::extract(doc, 1, 3, QStringLiteral("\n")), QString::fromUtf8("\u00A0b"));
    }

    // Short ranges are read from their paragraphs, long ones from one copy:
    // every range reads as the document's raw text does.
    void everyRangeReadsAsTheRawText()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("ab\n\ncde\nf\n\n"));
        const QString raw = doc.toRawText();
        const int last = doc.characterCount() - 1;
        for (int from = 0; from <= last; ++from)
            for (int to = from; to <= last; ++to)
                QCOMPARE(PlainText::rawText(doc, from, to, true), raw.mid(from, to - from));
    }

    void extractLeavesPicturesOutAndTabsTableCells()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("before"));
        QTextImageFormat image;
        image.setName(QStringLiteral("x"));
        c.insertImage(image);
        QTextTable *table = c.insertTable(2, 2);
        table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("A"));
        table->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("B"));
        table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("C"));
        table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("D"));
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("after"));
        QCOMPARE(PlainText::extract(doc, 0, -1, QStringLiteral("\n")), QStringLiteral("before\nA\tB\nC\tD\nafter"));
    }

    void indentsRoundTripThroughBlockFormats_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("numbered");
        QTest::newRow("plain") << 720 << 0 << 0 << false;
        QTest::newRow("hanging") << 0 << 360 << 120 << false;
        QTest::newRow("first line out") << 720 << -360 << 0 << false;
        QTest::newRow("numbered") << 360 << 360 << 0 << true;
    }

    void indentsRoundTripThroughBlockFormats()
    {
        QFETCH(int, first);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(bool, numbered);
        QTextBlockFormat f;
        ParagraphFormat::setIndents(f, first, left, right, numbered);
        QCOMPARE(ParagraphFormat::firstIndentTwips(f, numbered), first);
        QCOMPARE(ParagraphFormat::leftIndentTwips(f, numbered), left);
        QCOMPARE(ParagraphFormat::rightIndentTwips(f), right);
    }

    void numberingJoinsAndLeavesLists()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("one\ntwo\nthree\nfour"));
        QTextCursor sel(&doc);
        sel.setPosition(doc.findBlockByNumber(0).position());
        sel.setPosition(doc.findBlockByNumber(1).position(), QTextCursor::KeepAnchor);
        ParagraphFormat::applyNumbering(sel, NumberingKind::Arabic, 3, 0x200);
        QVERIFY(doc.findBlockByNumber(0).textList());
        QCOMPARE(doc.findBlockByNumber(0).textList(), doc.findBlockByNumber(1).textList());
        ParagraphValues v = ParagraphFormat::read(doc.findBlockByNumber(1));
        QCOMPARE(v.numbering, NumberingKind::Arabic);
        QCOMPARE(v.numberingStart, 3);
        QCOMPARE(v.numberingStyle, 0x200);
        // The paragraph just below joins the list of the same kind above it.
        QTextCursor third(doc.findBlockByNumber(2));
        ParagraphFormat::applyNumbering(third, NumberingKind::Arabic, 1, 0);
        QCOMPARE(doc.findBlockByNumber(2).textList(), doc.findBlockByNumber(0).textList());
        // None takes a paragraph out and keeps its indents.
        QTextCursor second(doc.findBlockByNumber(1));
        ParagraphFormat::applyNumbering(second, NumberingKind::None, 1, 0);
        QVERIFY(!doc.findBlockByNumber(1).textList());
        QCOMPARE(ParagraphFormat::read(doc.findBlockByNumber(1)).numbering, NumberingKind::None);
        QVERIFY(doc.findBlockByNumber(0).textList());
    }

    void valuesApplyAsTheyRead()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("text"));
        ParagraphValues v;
        v.alignment = Qt::AlignHCenter;
        v.firstIndent = 400;
        v.leftIndent = -200;
        v.rightIndent = 100;
        v.spaceBefore = 240;
        v.spaceAfter = 120;
        v.lineSpacingRule = 4;
        v.lineSpacing = 300;
        v.tabs = {720, 1440};
        ParagraphFormat::apply(c, v);
        QCOMPARE(ParagraphFormat::read(doc.firstBlock()), v);
        v.lineSpacingRule = 0;
        v.lineSpacing = 0;
        ParagraphFormat::apply(c, v);
        QCOMPARE(ParagraphFormat::read(doc.firstBlock()), v);
    }
};

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
