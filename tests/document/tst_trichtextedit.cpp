#include "platform/CodePages.h"
#include "document/LazyDocumentLayout.h"
#include "document/ui/TRichTextEdit.h"
#include "document/TextProperties.h"
#include "format/TextTools.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

namespace {

QByteArray utf16le(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QByteArray saveWith(TRichTextEdit &e, TStreamFormat format, TStreamMode mode = {})
{
    e.setStreamFormat(format);
    e.setStreamMode(mode);
    return e.Lines().saveToBuffer();
}

// Shows e, lays out lazily from 1000 characters on, and loads bytes:
// the lazy layout, or null when any of that failed.
LazyDocumentLayout *showLazily(TRichTextEdit &e, const QSize &size, const QByteArray &bytes)
{
    e.core()->setLimits({4 * 1024 * 1024, 1000});
    e.resize(size);
    e.show();
    if (!QTest::qWaitForWindowExposed(&e) || !e.Lines().loadFromBuffer(bytes))
        return nullptr;
    return qobject_cast<LazyDocumentLayout *>(e.document()->documentLayout());
}

} // namespace

class TestRichTextEdit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        CodePages::setAnsiCodePageOverride(0);
    }

    void plainStreamsInTheAnsiCodePageAndUtf8AfterAMark()
    {
        TRichTextEdit e;
        QVERIFY(e.Lines().loadFromBuffer("caf\xE9\r\nline 2"));
        QCOMPARE(e.Text(), QString::fromUtf8("café\nline 2"));
        QCOMPARE(e.TextLength(), 11);
        QCOMPARE(e.SelStart(), 0);
        QVERIFY(e.Lines().loadFromBuffer("\xEF\xBB\xBF\xCF\x80 and \xE2\x82\xAC"));
        QCOMPARE(e.Text(), QString::fromUtf8("π and €"));
        // Out again: plain text in the ANSI code page, or UTF-16 without a mark.
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText), QByteArray("? and \x80"));
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText, TStreamModeFlag::smUnicode), utf16le(QString::fromUtf8("π and €")));
        CodePages::setAnsiCodePageOverride(1253);
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText), QByteArray("\xF0 and \x80"));
    }

    void unicodeStreamInReadsUtf16()
    {
        TRichTextEdit e;
        e.setStreamFormat(TStreamFormat::sfPlainText);
        e.setStreamMode(TStreamModeFlag::smUnicode);
        QVERIFY(e.Lines().loadFromBuffer(utf16le(QString::fromUtf8("Ωmega\r\nz"))));
        QCOMPARE(e.Text(), QString::fromUtf8("Ωmega\nz"));
    }

    void nonRtfDataFallsBackToPlainText()
    {
        TRichTextEdit e;
        QCOMPARE(e.StreamFormat(), TStreamFormat::sfDefault);
        QVERIFY(!e.PlainText());
        QVERIFY(e.Lines().loadFromBuffer("just text {\\rtf later}"));
        QCOMPARE(e.Text(), QStringLiteral("just text {\\rtf later}"));
        // A UTF-8 mark in front of RTF keeps it plain text.
        QVERIFY(e.Lines().loadFromBuffer("\xEF\xBB\xBF{\\rtf1 x}"));
        QCOMPARE(e.Text(), QStringLiteral("{\\rtf1 x}"));
        QVERIFY(e.Lines().loadFromBuffer(QByteArray()));
        QCOMPARE(e.TextLength(), 0);
    }

    void loadingFromAStreamStartsAtItsPosition()
    {
        TRichTextEdit e;
        QBuffer buffer;
        buffer.setData("HEADERbody text");
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(6);
        QVERIFY(e.Lines().loadFromStream(buffer));
        QCOMPARE(e.Text(), QStringLiteral("body text"));
    }

    void selectionStreamsReplaceAndWriteTheSelectionOnly()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("one two three");
        e.select(4, 3);
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText, TStreamModeFlag::smSelection), QByteArray("two"));
        e.setStreamMode(TStreamModeFlag::smSelection);
        QVERIFY(e.Lines().loadFromBuffer("\xEF\xBB\xBF" "2\r\n2"));
        QCOMPARE(e.Text(), QStringLiteral("one 2\n2 three"));
    }

    void paragraphEndsCountAsOneCharacter()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("ab\r\ncd\r\n\r\nef");
        QCOMPARE(e.TextLength(), 9);
        QCOMPARE(e.LineCount(), 4);
        QCOMPARE(e.LineIndex(1), 3);
        QCOMPARE(e.LineIndex(3), 7);
        QCOMPARE(e.LineIndex(4), -1);
        QCOMPARE(e.LineFromChar(4), 1);
        QCOMPARE(e.LineFromChar(9), 3);
        QCOMPARE(e.LineFromChar(10), -1);
        e.setSelStart(4);
        QCOMPARE(e.CaretPos(), QPoint(1, 1));
        e.setCaretPos(QPoint(99, 3));
        QCOMPARE(e.SelStart(), 9);
        e.select(1, 3);
        QCOMPARE(e.SelText(), QStringLiteral("b\rc"));
        QCOMPARE(e.SelTextW(), QStringLiteral("b\r\nc"));
        QCOMPARE(e.SelLength(), 3);
    }

    void eachCharacterAttributeSetterLeavesTheOthersAlone()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("aaaa bbbb");
        e.select(0, 4);
        e.SelAttributes().setStyle(TFontStyle::fsBold);
        e.SelAttributes().setColor(Qt::red);
        e.select(5, 4);
        e.SelAttributes().setSize(20);
        e.SelAttributes().setName(QStringLiteral("Liberation Serif"));
        // A mixed selection: change one attribute, the others keep their values.
        e.select(0, 9);
        e.SelAttributes().setStyle(TFontStyle::fsItalic);
        e.select(0, 1);
        QCOMPARE(e.SelAttributes().Style(), TFontStyles(TFontStyle::fsItalic));
        QCOMPARE(e.SelAttributes().Color(), QColor(Qt::red));
        e.select(6, 1);
        QCOMPARE(e.SelAttributes().Size(), 20);
        QCOMPARE(e.SelAttributes().Name(), QStringLiteral("Liberation Serif"));
        QCOMPARE(e.SelAttributes().Style(), TFontStyles(TFontStyle::fsItalic));
        QVERIFY(e.SelAttributes().isAutoColor());
        e.select(0, 9);
        e.SelAttributes().setSubscriptStyle(TSubscriptStyle::ssSuperscript);
        e.SelAttributes().setBackColor(Qt::yellow);
        e.select(6, 1);
        QCOMPARE(e.SelAttributes().SubscriptStyle(), TSubscriptStyle::ssSuperscript);
        QCOMPARE(e.SelAttributes().Size(), 20);
        QCOMPARE(e.SelAttributes().BackColor(), QColor(Qt::yellow));
        // A name is cut to 31 characters, as the control holds it.
        e.SelAttributes().setName(QString(40, u'x'));
        QCOMPARE(e.SelAttributes().Name().size(), 31);
    }

    void formatChangesAreUndoneOneByOne()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("word");
        e.select(0, 4);
        e.SelAttributes().setStyle(TFontStyle::fsBold);
        e.SelAttributes().setSize(30);
        QVERIFY(e.CanUndo());
        e.Undo();
        e.select(0, 1);
        QVERIFY(e.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QVERIFY(e.SelAttributes().Size() != 30);
        e.Undo();
        e.select(0, 1);
        QVERIFY(!e.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QVERIFY(e.CanRedo());
        e.EmptyUndoBuffer();
        QVERIFY(!e.CanUndo());
        QVERIFY(!e.CanRedo());
    }

    void numberingSetsTheIndentRule()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("one\r\ntwo\r\nthree");
        e.select(0, 5);
        e.Paragraph().setNumbering(NumberingKind::UpperRoman);
        QCOMPARE(e.Paragraph().Numbering(), NumberingKind::UpperRoman);
        QCOMPARE(e.Paragraph().LeftIndent(), 10);
        e.Paragraph().setLeftIndent(24);
        e.Paragraph().setNumbering(NumberingKind::Bullet);
        QCOMPARE(e.Paragraph().LeftIndent(), 24); // only raised, never lowered
        e.Paragraph().setNumbering(NumberingKind::None);
        QCOMPARE(e.Paragraph().Numbering(), NumberingKind::None);
        QCOMPARE(e.Paragraph().LeftIndent(), 0);
        e.select(10, 0);
        QCOMPARE(e.Paragraph().Numbering(), NumberingKind::None);
    }

    void paragraphSettersChangeOnlyTheirAttribute()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("one\r\ntwo");
        e.select(0, 5);
        e.Paragraph().setFirstIndent(36);
        e.Paragraph().setAlignment(TAlignment::taCenter);
        e.Paragraph().setSpaceAfter(6);
        e.Paragraph().setLineSpacing(4, 18);
        e.setSelStart(5);
        QCOMPARE(e.Paragraph().FirstIndent(), 36);
        QCOMPARE(e.Paragraph().Alignment(), TAlignment::taCenter);
        QCOMPARE(e.Paragraph().SpaceAfter(), 6);
        QCOMPARE(e.Paragraph().LineSpacingRule(), 4);
        QCOMPARE(e.Paragraph().LineSpacing(), 18);
        e.Paragraph().setRightIndent(12);
        QCOMPARE(e.Paragraph().FirstIndent(), 36);
        QCOMPARE(e.Paragraph().RightIndent(), 12);
    }

    void findRanges_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("expected");
        // Text: "Word word WORD sword word": words at 0, 5, 10, 15 and 21.
        QTest::newRow("forward from start") << 0 << 100 << 0 << 0;
        QTest::newRow("forward skips before start") << 1 << 100 << 0 << 5;
        QTest::newRow("match must end in the range") << 5 << 3 << 0 << -1;
        QTest::newRow("empty range searches to the end") << 6 << 0 << 0 << 10;
        QTest::newRow("match case") << 1 << -1 << int(TSearchType::stMatchCase) << 5;
        QTest::newRow("whole word skips sword") << 11 << -1 << int(TSearchType::stWholeWord) << 21;
        QTest::newRow("inside a word without whole word") << 11 << -1 << 0 << 16;
        QTest::newRow("backward") << 21 << 21 << int(TSearchType::stBackward) << 16;
        QTest::newRow("backward whole word case") << 21 << 21
                                                  << int(TSearchType::stBackward | TSearchType::stWholeWord
                                                         | TSearchType::stMatchCase) << 5;
        QTest::newRow("backward to the beginning") << 9 << 0 << int(TSearchType::stBackward) << 5;
        QTest::newRow("backward bounded") << 25 << 4 << int(TSearchType::stBackward) << 21;
        QTest::newRow("backward match must lie in the range") << 25 << 3 << int(TSearchType::stBackward) << -1;
    }

    void findRanges()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, options);
        QFETCH(int, expected);
        TRichTextEdit e;
        e.Lines().loadFromBuffer("Word word WORD sword word");
        QCOMPARE(e.FindTextW(QStringLiteral("word"), start, length, TSearchTypes(options)), expected);
        QCOMPARE(e.FindText("word", start, length, TSearchTypes(options)), expected);
    }

    void findSelectsAndFindsParagraphEnds()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("first line\r\nsecond line\r\nthird");
        QCOMPARE(e.FindTextW(QStringLiteral("line\rsec"), 0, -1, TSearchType::stSetSelection), 6);
        QCOMPARE(e.SelStart(), 6);
        QCOMPARE(e.SelLength(), 8);
        QCOMPARE(e.FindTextW(QStringLiteral("line\rthird"), 0, -1, {}), 18);
        QCOMPARE(e.FindTextW(QStringLiteral("line\r\rthird"), 0, -1, {}), -1);
        QCOMPARE(e.FindTextW(QStringLiteral("first line\rsecond line\rthird"), 0, -1, {}), 0);
        QCOMPARE(e.FindTextW(QStringLiteral("line\rsec"), 29, -1, TSearchType::stBackward), 6);
        QCOMPARE(e.FindTextW(QString(), 0, -1, {}), -1);
    }

    void replacingTheSelectionWithWideText()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("abc def");
        e.select(4, 3);
        QVERIFY(e.ReplaceSelectionW(QString::fromUtf8("Ωμέγα\r\nz")));
        QCOMPARE(e.Text(), QString::fromUtf8("abc Ωμέγα\nz"));
        e.select(0, 4);
        QVERIFY(e.ReplaceSelectionW(QString()));
        QCOMPARE(e.Text(), QString::fromUtf8("Ωμέγα\nz"));
    }

    void protectedTextRefusesEditsUnlessLoading()
    {
        TRichTextEdit e;
        e.show();
        e.Lines().loadFromBuffer("free LOCKED free");
        e.select(5, 6);
        e.SelAttributes().setProtected(true);
        QVERIFY(e.SelAttributes().Protected());
        QList<QPair<int, int>> asked;
        e.OnProtectChange = [&asked](TRichTextEdit *editor, int start, int end) {
            asked.append({start, end});
            return editor->Loading();
        };
        e.select(7, 2);
        QTest::keyClicks(e.viewport(), QStringLiteral("xy"));
        QCOMPARE(e.Text(), QStringLiteral("free LOCKED free"));
        QVERIFY(!asked.isEmpty());
        e.setSelStart(8);
        QTest::keyClick(e.viewport(), Qt::Key_Backspace);
        QTest::keyClick(e.viewport(), Qt::Key_Delete);
        e.select(2, 6);
        e.setSelText(QStringLiteral("--"));
        e.ClearSelection();
        QCOMPARE(e.Text(), QStringLiteral("free LOCKED free"));
        // Outside the protected run typing works.
        e.setSelStart(16);
        QTest::keyClicks(e.viewport(), QStringLiteral("!"));
        QCOMPARE(e.Text(), QStringLiteral("free LOCKED free!"));
        // While loading, protected text may change.
        e.setLoading(true);
        e.select(5, 6);
        e.setSelText(QStringLiteral("open"));
        e.setLoading(false);
        QCOMPARE(e.Text(), QStringLiteral("free open free!"));
    }

    void maxLengthLimitsTypingAndPastingButNotLoading()
    {
        TRichTextEdit e;
        e.show();
        e.setMaxLength(5);
        e.Lines().loadFromBuffer("123456789");
        QCOMPARE(e.TextLength(), 9);
        e.setSelStart(9);
        QTest::keyClicks(e.viewport(), QStringLiteral("x"));
        QCOMPARE(e.TextLength(), 9);
        e.select(0, 9);
        QTest::keyClicks(e.viewport(), QStringLiteral("ab"));
        QCOMPARE(e.Text(), QStringLiteral("ab"));
        QApplication::clipboard()->setText(QStringLiteral("12345"));
        e.setSelStart(2);
        e.Paste();
        QCOMPARE(e.Text(), QStringLiteral("ab"));
        e.PasteUnformatted();
        QCOMPARE(e.Text(), QStringLiteral("ab"));
    }

    void wordWrapSetsTheScrollBars()
    {
        TRichTextEdit e;
        QVERIFY(e.WordWrap());
        QCOMPARE(e.ScrollBars(), TScrollStyle::ssVertical);
        e.setWordWrap(false);
        QCOMPARE(e.ScrollBars(), TScrollStyle::ssBoth);
    }

    void undoLimitZeroSwitchesUndoOff()
    {
        TRichTextEdit e;
        e.setUndoLimit(0);
        e.setSelText(QStringLiteral("abc"));
        QVERIFY(!e.CanUndo());
        e.setUndoLimit(10);
        e.Lines().loadFromBuffer("x");
        e.setSelText(QStringLiteral("abc"));
        QVERIFY(e.CanUndo());
    }

    void detectedLinksAreReportedOnClick()
    {
        TRichTextEdit e;
        e.resize(600, 200);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.setAutoURLDetect(true);
        e.Lines().loadFromBuffer("see https://example.org/a?b=1. now");
        QStringList clicked;
        connect(&e, &TRichTextEdit::urlClicked, &e, [&clicked](const QString &link, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                clicked << link;
        });
        const QRect r = e.cursorRect(QTextCursor(e.document()->findBlock(8)).block().isValid()
                                         ? [&] { QTextCursor c(e.document()); c.setPosition(10); return c; }()
                                         : QTextCursor());
        QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, r.center() + QPoint(2, 0));
        QCOMPARE(clicked, QStringList{QStringLiteral("https://example.org/a?b=1")});
        QTextCursor before(e.document());
        before.setPosition(1);
        QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, e.cursorRect(before).center());
        QCOMPARE(clicked.size(), 1);
        e.setAutoURLDetect(false);
        QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, r.center() + QPoint(2, 0));
        QCOMPARE(clicked.size(), 1);
    }

    void linksAppearAfterAnEditOverManyParagraphs()
    {
        TRichTextEdit e;
        e.resize(600, 200);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.setAutoURLDetect(true);
        // As many rows before as after, so the view does not scroll.
        QStringList lines;
        for (int i = 0; i < 2000; ++i)
            lines << QStringLiteral("see https//example.org/%1 now").arg(i);
        e.Lines().loadFromBuffer(lines.join(QStringLiteral("\r\n")).toLatin1());
        lines.replaceInStrings(QStringLiteral("https//"), QStringLiteral("https://"));
        QTextCursor all(e.document());
        all.select(QTextCursor::Document);
        all.insertText(lines.join(u'\n'));
        const auto linked = [&e](int paragraph) {
            return !e.document()->findBlockByNumber(paragraph).layout()->formats().isEmpty();
        };
        // The paragraphs shown get their links once the edit is over, the others when scrolled to.
        QTRY_VERIFY(linked(0));
        e.select(e.TextLength(), 0);
        QTRY_VERIFY(linked(1999));
    }

    void largeDocumentsLoadCompletely()
    {
        // Above the background limit the document is built off the calling
        // thread and finished when the event loop gets the worker's result.
        QByteArray bytes;
        const QByteArray line = "The quick brown fox jumps over the lazy dog \xE9\r\n";
        while (bytes.size() <= 300000)
            bytes += line;
        bytes += "end";
        TRichTextEdit e;
        e.core()->setLimits({100000, 4 * 1024 * 1024});
        QList<int> progress;
        connect(&e, &TRichTextEdit::loadProgress, &e, [&progress](int p) { progress << p; });
        QSignalSpy finished(e.core(), &DocumentCore::loadFinished);
        PlainText::EncodedText source;
        source.bytes = bytes;
        source.codePage = 1252;
        e.core()->startLoadEncoded(source);
        QVERIFY(e.isLoadingInBackground());
        // A caret moved in the preview stays where it is when the document arrives.
        QVERIFY(e.core()->isShowingPreview());
        e.select(line.size() + 4, 5);
        QVERIFY(finished.wait(20000));
        QCOMPARE(e.SelStart(), line.size() + 4);
        QCOMPARE(e.SelLength(), 5);
        QVERIFY(finished.first().first().value<LoadResult>().loaded());
        QCOMPARE(e.TextLength(), int(bytes.size() - (bytes.count("\r\n"))));
        QCOMPARE(e.document()->lastBlock().text(), QStringLiteral("end"));
        QCOMPARE(progress.last(), 100);
        QVERIFY(!e.Modified());
        QVERIFY(!e.CanUndo());
        // Written out again byte for byte.
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText), bytes);
    }

    void hugeParagraphsOnScreenTogetherAreLaidOutInTurns()
    {
        // Two paragraphs too long to lay out at once, both on screen: each
        // grows a slice at a time and neither keeps restarting the other.
        QByteArray word = "paragraph ";
        const QByteArray huge = word.repeated(25000);
        TRichTextEdit e;
        e.core()->setLimits({4 * 1024 * 1024, 1000});
        e.resize(500, 300);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        // Without a guess of their rows each counts one row until laid out.
        e.core()->setWrapWidthHint(0);
        QVERIFY(e.Lines().loadFromBuffer(huge + "\r\n" + huge));
        auto *layout = qobject_cast<LazyDocumentLayout *>(e.document()->documentLayout());
        QVERIFY(layout);
        const auto complete = [&e](int n) {
            const QTextBlock block = e.document()->findBlockByNumber(n);
            const QTextLayout *laidOut = block.layout();
            if (laidOut->lineCount() == 0)
                return false;
            const QTextLine last = laidOut->lineAt(laidOut->lineCount() - 1);
            return last.textStart() + last.textLength() == block.length() - 1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(complete(0) && complete(1), 20000);
        // The rows are those of a layout done at once.
        const int rows = e.document()->firstBlock().lineCount();
        e.document()->firstBlock().layout()->clearLayout();
        layout->layoutRange(0, 1);
        QVERIFY(complete(0));
        QCOMPARE(e.document()->firstBlock().lineCount(), rows);
    }

    void hugeParagraphsPreparedOffScreenLayOutAsOthers()
    {
        // The lines of each paragraph: where each starts, and the steps it counts.
        const auto linesOf = [](QTextDocument &doc) {
            auto *layout = new LazyDocumentLayout(&doc);
            doc.setDocumentLayout(layout);
            layout->layoutRange(0, doc.characterCount());
            QList<int> starts;
            for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
                for (int i = 0; i < b.layout()->lineCount(); ++i)
                    starts << b.position() + b.layout()->lineAt(i).textStart();
                starts << -b.lineCount();
            }
            return starts;
        };
        const QString huge = QStringLiteral("word wordy ").repeated(LazyDocumentLayout::HugeParagraph / 10);
        const QString text = QStringLiteral("short\n") + huge + QStringLiteral("\nlast");
        for (const bool wrap : {true, false}) {
            QTextOption option;
            option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
            const auto make = [&](QTextDocument &doc) {
                doc.setDefaultTextOption(option);
                doc.setPageSize(QSizeF(400, -1));
                doc.setPlainText(text);
            };
            QTextDocument plain;
            make(plain);
            const QList<int> expected = linesOf(plain);
            QTextDocument prepared;
            make(prepared);
            LazyDocumentLayout::prepareHugeParagraphs(&prepared);
            QCOMPARE(linesOf(prepared), expected);
            // Unwrapped, the huge one still wraps, far beyond the window.
            QTextBlock second = plain.begin().next();
            QVERIFY(second.layout()->lineCount() > 1);
            QCOMPARE(second.layout()->lineCount() > 100, wrap);

            // An edit within an edit block drops Qt's classification before
            // the layout hears of it: laying out then still works, and once
            // the edit is reported the lines are those of the new text.
            QTextDocument edited;
            make(edited);
            LazyDocumentLayout::prepareHugeParagraphs(&edited);
            auto *layout = new LazyDocumentLayout(&edited);
            edited.setDocumentLayout(layout);
            QTextCursor c(edited.begin().next());
            c.beginEditBlock();
            c.insertText(QStringLiteral("new "));
            layout->layoutRange(0, edited.characterCount());
            c.endEditBlock();
            layout->layoutRange(0, edited.characterCount());
            second = edited.begin().next();
            const QTextLine last = second.layout()->lineAt(second.layout()->lineCount() - 1);
            QCOMPARE(last.textStart() + last.textLength(), second.length() - 1);
            QCOMPARE(second.layout()->lineAt(0).textStart(), 0);
        }
    }

    void aHugeParagraphACommandMakesIsClassifiedOffTheWindow()
    {
        QByteArray bytes;
        for (int i = 0; i < 25000; ++i)
            bytes += "paragraph\r\n";
        TRichTextEdit e;
        auto *layout = showLazily(e, QSize(500, 300), bytes);
        QVERIFY(layout);
        // All but the last paragraph end, which a join of the whole document
        // would put in a new document instead.
        e.select(0, e.TextLength() - 1);
        e.runHeld([&e] { TextTools::join(*e.core(), true); });
        QCOMPARE(e.document()->blockCount(), 2);
        const QTextBlock joined = e.document()->firstBlock();
        QVERIFY(joined.length() > LazyDocumentLayout::HugeParagraph);
        // Classified off this thread; the lines in view are laid out as the
        // caret is brought into view.
        QVERIFY(joined.layout()->lineCount() > 0);
        QVERIFY(joined.layout()->lineAt(0).textLength() > 0);
        // The caret held back meanwhile is shown where the command left it.
        const auto *view = qobject_cast<QTextEdit *>(e.viewport()->parentWidget());
        QVERIFY(view);
        QCOMPARE(view->textCursor().position(), e.core()->cursor().position());
        layout->layoutRange(0, e.TextLength());
        const QTextLine last = joined.layout()->lineAt(joined.layout()->lineCount() - 1);
        QCOMPARE(last.textStart() + last.textLength(), joined.length() - 1);
        const QString text = e.document()->toPlainText();
        QCOMPARE(text.count(QStringLiteral("paragraph ")), 24999);
        QVERIFY(text.endsWith(QStringLiteral("paragraph paragraph\n")));
        // Undone and redone, it comes back classified just the same.
        const int paragraphs = 25000 + 1;
        e.Undo();
        QCOMPARE(e.document()->blockCount(), paragraphs);
        e.Redo();
        QCOMPARE(e.document()->blockCount(), 2);
        QVERIFY(e.document()->firstBlock().layout()->lineCount() > 0);
        QVERIFY(e.document()->firstBlock().layout()->lineAt(0).textLength() > 0);
        // While held, the huge paragraph an edit brings back is the one to classify.
        layout->holdHugeParagraphs(true);
        e.core()->Undo();
        QVERIFY(layout->hugeParagraphsToClassify().isEmpty());
        e.core()->Redo();
        QCOMPARE(layout->hugeParagraphsToClassify().size(), 1);
        layout->holdHugeParagraphs(false);

        // The whole document joined is a new one, prepared off this thread.
        e.Undo();
        e.select(0, e.TextLength());
        e.runHeld([&e] { TextTools::join(*e.core(), true); });
        QCOMPARE(e.document()->blockCount(), 1);
        QVERIFY(e.document() != layout->document());
        QVERIFY(qobject_cast<LazyDocumentLayout *>(e.document()->documentLayout()));
        QVERIFY(e.document()->firstBlock().layout()->lineCount() > 0);
        QCOMPARE(view->textCursor().position(), e.TextLength());
        e.Undo();
        QCOMPARE(e.document(), layout->document());
        QCOMPARE(e.document()->blockCount(), paragraphs);
    }

    void aResizeDuringAHeldCommandReachesTheView()
    {
        TRichTextEdit e;
        e.resize(500, 300);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.runHeld([&e] { e.resize(300, 300); });
        QCOMPARE(e.document()->pageSize().width(), qreal(e.viewport()->width()));
    }

    void largeDocumentsLayOutOnlyWhatIsShown()
    {
        QByteArray bytes;
        for (int i = 0; i < 20000; ++i)
            bytes += "line " + QByteArray::number(i) + "\r\n";
        TRichTextEdit e;
        e.setWordWrap(false);
        auto *layout = showLazily(e, QSize(500, 300), bytes);
        QVERIFY(layout);
        const qreal row = layout->rowHeight();
        QCOMPARE(layout->documentSize().height(), 20001 * row + 2 * e.document()->documentMargin());
        // Going to the end puts the last line on screen without laying out the rest.
        e.select(e.TextLength(), 0);
        QVERIFY(e.viewport()->rect().contains(e.cursorRect().center()));
        QCOMPARE(e.document()->findBlockByNumber(10000).layout()->lineCount(), 0);
        // Clicking a line puts the caret on it.
        QTextCursor middle(e.document()->findBlockByNumber(19990));
        const QRect r = e.cursorRect(middle);
        QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, r.center() + QPoint(3, 0));
        QCOMPARE(e.CaretPos().y(), 19990);
        // Typing a line break adds a row below; the text stays intact.
        QTest::keyClick(e.viewport(), Qt::Key_Return);
        QCOMPARE(e.LineCount(), 20002);
        QCOMPARE(layout->documentSize().height(), 20002 * row + 2 * e.document()->documentMargin());
        // A paragraph in bigger type takes more rows; nothing overlaps.
        QTextCursor first(e.document());
        QTextCharFormat big;
        big.setFontPointSize(40);
        first.select(QTextCursor::BlockUnderCursor);
        first.mergeCharFormat(big);
        layout->layoutRange(0, 1);
        QVERIFY(e.document()->firstBlock().lineCount() >= 2 * LazyDocumentLayout::StepsPerRow);
        QVERIFY(layout->blockBoundingRect(e.document()->firstBlock().next()).top()
                >= layout->blockBoundingRect(e.document()->firstBlock()).bottom() - 0.5);
    }

    void wrappedLinesAreCountedWhenShown()
    {
        QByteArray bytes;
        for (int i = 0; i < 300; ++i)
            bytes += QByteArray(400, 'w').replace("wwwww", "word ") + "\r\n";
        TRichTextEdit e;
        auto *layout = showLazily(e, QSize(400, 300), bytes);
        QVERIFY(layout);
        layout->layoutRange(0, e.TextLength());
        const QTextBlock first = e.document()->firstBlock();
        QCOMPARE(first.lineCount(), first.layout()->lineCount() * LazyDocumentLayout::StepsPerRow);
        QVERIFY(first.lineCount() > 3);
        // Narrower: laid out again, more rows.
        const int before = first.lineCount();
        e.resize(250, 300);
        QCoreApplication::processEvents();
        layout->layoutRange(0, 1);
        QVERIFY(e.document()->firstBlock().lineCount() > before);
        // Back and forth keeps the rows of the width shown; a bigger font at
        // that width lays the paragraph out again.
        e.resize(260, 300);
        QCoreApplication::processEvents();
        e.resize(250, 300);
        QCoreApplication::processEvents();
        layout->layoutRange(0, 1);
        const int narrow = e.document()->firstBlock().lineCount();
        QVERIFY(narrow > before);
        QFont font = e.document()->defaultFont();
        font.setPointSizeF(font.pointSizeF() * 2);
        e.document()->setDefaultFont(font);
        layout->layoutRange(0, 1);
        QVERIFY(e.document()->firstBlock().lineCount() > narrow);
    }

    void tablesAreLaidOutLazilyAsAWhole()
    {
        TRichTextEdit e;
        e.core()->setLimits({4 * 1024 * 1024, 10});
        e.resize(600, 400);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.Lines().loadFromBuffer(QByteArray(100, 'a') + "\r\nafter");
        auto *layout = qobject_cast<LazyDocumentLayout *>(e.document()->documentLayout());
        QVERIFY(layout);
        QTextCursor c(e.document());
        c.movePosition(QTextCursor::NextBlock);
        QTextTableFormat format;
        format.setBorder(1);
        format.setCellPadding(3);
        format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 80),
                                          QTextLength(QTextLength::FixedLength, 120)});
        QTextTable *table = c.insertTable(2, 2, format);
        table->cellAt(1, 1).firstCursorPosition().insertText(QString(60, u'w').replace(QStringLiteral("wwwww"), QStringLiteral("word ")));
        table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("left\nsecond"));
        QCoreApplication::processEvents();
        // A table stays in this layout; its cells lie side by side, the long one wraps.
        QCOMPARE(e.document()->documentLayout(), layout);
        const auto rectOf = [&](int row, int column) {
            return layout->blockBoundingRect(e.document()->findBlock(table->cellAt(row, column).firstPosition()));
        };
        QVERIFY(rectOf(0, 1).left() >= rectOf(0, 0).right());
        QCOMPARE(rectOf(0, 1).top(), rectOf(0, 0).top());
        QVERIFY(rectOf(1, 0).top() > rectOf(0, 0).bottom());
        QVERIFY(table->cellAt(1, 1).firstCursorPosition().block().layout()->lineCount() > 1);
        const QRectF box = layout->frameBoundingRect(table);
        QVERIFY(box.contains(rectOf(1, 1).bottomRight() - QPointF(1, 1)));
        // What follows lies below the whole table, and clicks find the cells.
        const QTextBlock after = e.document()->lastBlock();
        QCOMPARE(after.text(), QStringLiteral("after"));
        QVERIFY(layout->blockBoundingRect(after).top() >= box.bottom() - 0.5);
        QCOMPARE(layout->hitTest(rectOf(1, 1).topLeft() + QPointF(2, 2), Qt::FuzzyHit), table->cellAt(1, 1).firstPosition());
        const QTextBlock second = e.document()->findBlock(table->cellAt(1, 0).firstPosition()).next();
        QCOMPARE(second.text(), QStringLiteral("second"));
        QCOMPARE(layout->hitTest(layout->blockBoundingRect(second).topLeft() + QPointF(1, 2), Qt::FuzzyHit),
                 second.position());
        // Typing in a cell moves what follows; a table within a table goes to Qt's layout.
        const qreal before = layout->blockBoundingRect(after).top();
        table->cellAt(1, 0).lastCursorPosition().insertText(QStringLiteral("\nmore").repeated(20));
        layout->layoutRange(0, e.TextLength());
        QVERIFY(layout->blockBoundingRect(after).top() > before);
        table->cellAt(0, 0).firstCursorPosition().insertTable(1, 1);
        QTRY_VERIFY(!qobject_cast<LazyDocumentLayout *>(e.document()->documentLayout()));
        QVERIFY(e.document()->documentLayout()->documentSize().height() > 0);
    }

    void lineEndsOfTheFileComeBack()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("a\nb\n");
        QCOMPARE(e.PlainLineEnd(), PlainText::LineEnd::Lf);
        QCOMPARE(saveWith(e, TStreamFormat::sfPlainText), QByteArray("a\nb\n"));
    }

    void pastingAnEmptyClipboardDoesNothing()
    {
        TRichTextEdit e;
        e.show();
        e.Lines().loadFromBuffer("kept");
        QApplication::clipboard()->setMimeData(new QMimeData);
        QVERIFY(!e.CanPaste());
        e.Paste();
        e.PasteSpecial(TClipboardForm::RichText);
        QTest::keyClick(e.viewport(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.Text(), QStringLiteral("kept"));
    }

    void copyPutsPlainTextOnTheClipboard()
    {
        TRichTextEdit e;
        e.Lines().loadFromBuffer("alpha\r\nbeta");
        e.selectAll();
        e.Copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha\nbeta"));
    }
};

QTEST_MAIN(TestRichTextEdit)
#include "tst_trichtextedit.moc"
