#include "document/DocumentCore.h"
#include "document/KeptContent.h"
#include "document/TextProperties.h"
#include "format/ColumnEdit.h"
#include "format/LineSort.h"
#include "format/TextTools.h"
#include "format/ToolProgress.h"

#include <QCollator>
#include <QDateTime>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

using TextTools::Outcome;

namespace {

// Paragraph ends of a test text written as \n.
void setText(DocumentCore &core, const QString &text)
{
    core.Clear();
    core.ReplaceSelectionW(text);
    core.EmptyUndoBuffer();
}

QString text(const DocumentCore &core)
{
    return core.Text();
}

QTextCharFormat bold()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}

QTextCharFormat protectedText()
{
    QTextCharFormat f;
    f.setProperty(TextProperty::Protected, true);
    return f;
}

// Merges format into the characters [from, to) of the document.
void mark(DocumentCore &core, int from, int to, const QTextCharFormat &format)
{
    QTextCursor c(core.document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    c.mergeCharFormat(format);
}

bool isBoldAt(const DocumentCore &core, int position)
{
    QTextCursor c(core.document());
    c.setPosition(position + 1);
    return c.charFormat().fontWeight() == QFont::Bold;
}

} // namespace

class TestTextTools : public QObject
{
    Q_OBJECT

private slots:
    void joinText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("expected");
        QTest::newRow("join keeps a double line end") << "a\rb\r\rc" << false << "a b\r\rc";
        QTest::newRow("join all") << "a\rb\r\rc" << true << "a b  c";
        QTest::newRow("tabs, line feeds, vertical tabs") << "a\tb\nc\vd\u2028e" << false << "a b c d e";
        QTest::newRow("three line ends stay") << "a\r\r\rb" << false << "a\r\r\rb";
        QTest::newRow("a form feed stays") << "a\fb\rc" << false << "a\fb c";
        QTest::newRow("line end in front") << "\ra" << false << " a";
        QTest::newRow("space at the line end") << "a \rb" << true << "a  b";
    }

    void joinText()
    {
        QFETCH(QString, input);
        QFETCH(bool, all);
        QFETCH(QString, expected);
        QCOMPARE(TextTools::joinText(input, all), expected);
    }

    void joinOnTheDocument()
    {
        DocumentCore core;
        setText(core, QStringLiteral("one\ntwo\nthree\n\nfour"));
        // A selection ending inside a paragraph leaves what follows it alone.
        core.select(0, 5);
        QCOMPARE(TextTools::join(core, false), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("one two\nthree\n\nfour"));
        QCOMPARE(core.SelStart(), 4);
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("one\ntwo\nthree\n\nfour"));

        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, false), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("one two three\n\nfour"));
        core.Undo();
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, true), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("one two three  four"));
        QCOMPARE(core.LineCount(), 1);
        core.Undo();
        QCOMPARE(core.LineCount(), 5);
        QVERIFY(!core.CanUndo());

        // Nothing selected: nothing joined.
        core.select(3, 0);
        QCOMPARE(TextTools::join(core, true), Outcome::NothingToDo);
        QCOMPARE(text(core), QStringLiteral("one\ntwo\nthree\n\nfour"));
    }

    void joinKeepsFormatsAndSkipsProtectedText()
    {
        DocumentCore core;
        setText(core, QStringLiteral("ab\ncd\tef"));
        mark(core, 0, 2, bold());
        // The tab lies in protected text.
        mark(core, 3, 8, protectedText());
        core.EmptyUndoBuffer();
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, true), Outcome::Refused);
        QCOMPARE(text(core), QStringLiteral("ab cd\tef"));
        QVERIFY(isBoldAt(core, 1));
        QVERIFY(!isBoldAt(core, 3));
    }

    void sortAscendingAndDescending()
    {
        const QStringList sample = {"Zebra", "\u00e9clair", "apple", "Eclair", "Apple", "\u00c4pfel",
                                    "zebra", "apfel", "eclair", "Apple"};
        const QLocale locale(QLocale::English, QLocale::UnitedStates);
        DocumentCore core;
        setText(core, sample.join(u'\n'));
        QCOMPARE(TextTools::sortLines(core, false, locale), Outcome::Done);
        const QStringList up = text(core).split(u'\n');
        QCOMPARE(up, QStringList({"apfel", "\u00c4pfel", "apple", "Apple", "Apple", "eclair", "Eclair",
                                  "\u00e9clair", "zebra", "Zebra"}));
        // The same order as Qt's own collator of the locale gives.
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseSensitive);
        for (int i = 0; i + 1 < up.size(); ++i)
            QVERIFY2(collator.compare(up[i], up[i + 1]) <= 0, qPrintable(up[i] + " > " + up[i + 1]));
        core.Undo();
        QCOMPARE(text(core), sample.join(u'\n'));

        QCOMPARE(TextTools::sortLines(core, true, locale), Outcome::Done);
        QStringList down = text(core).split(u'\n');
        std::reverse(down.begin(), down.end());
        QCOMPARE(down, up);
    }

    void sortLongLinesSharingTheirStart()
    {
        // Lines alike far beyond the collation prefix still sort by their ends.
        const QString stem(200, u'x');
        QStringList lines;
        for (const char *end : {"d", "B", "a", "b", "\u00e1", "c"})
            lines << stem + QString::fromUtf8(end);
        std::vector<QStringView> views;
        for (const QString &l : lines)
            views.push_back(l);
        QVERIFY(LineSort::sort(views, QLocale(QLocale::German, QLocale::Germany), false));
        QStringList sorted;
        for (QStringView v : views)
            sorted << v.mid(200).toString();
        QCOMPARE(sorted, QStringList({"a", "\u00e1", "b", "B", "c", "d"}));
    }

    void sortMakesPlainTextAndUndoBringsFormatsBack()
    {
        DocumentCore core;
        setText(core, QStringLiteral("b\na\nc\n"));
        QTextCursor c(core.document());
        c.setPosition(0);
        c.setPosition(1, QTextCursor::KeepAnchor);
        c.mergeCharFormat(bold());
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
        core.EmptyUndoBuffer();

        QCOMPARE(TextTools::sortLines(core, false, QLocale::c()), Outcome::Done);
        // The line end at the end stays at the end.
        QCOMPARE(text(core), QStringLiteral("a\nb\nc\n"));
        for (QTextBlock b = core.document()->begin(); b.isValid(); b = b.next())
            QVERIFY(!(b.blockFormat().alignment() & Qt::AlignHCenter));
        QVERIFY(!isBoldAt(core, 2));

        core.Undo();
        QCOMPARE(text(core), QStringLiteral("b\na\nc\n"));
        QVERIFY(isBoldAt(core, 0));
        QCOMPARE(core.document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(!core.CanUndo());
    }

    // A sort is a step of the history like any edit: undone and redone
    // between edits before and after it, dropped by a new edit after an
    // undo, and modified unless what is shown is what was saved.
    void sortIsOneStepOfTheHistory()
    {
        DocumentCore core;
        DocumentCore::Limits limits;
        limits.lazyLayout = 4; // built off this thread, as a large document is
        core.setLimits(limits);
        setText(core, QStringLiteral("b\na\nc"));
        core.select(5, 0);
        core.setSelText(QStringLiteral("x"));
        core.setModified(false);
        QCOMPARE(TextTools::sortLines(core, false, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("a\nb\ncx"));
        QVERIFY(core.Modified());
        core.select(0, 0);
        core.setSelText(QStringLiteral("y"));

        const QStringList steps = {"ya\nb\ncx", "a\nb\ncx", "b\na\ncx", "b\na\nc"};
        for (qsizetype i = 1; i < steps.size(); ++i) {
            QVERIFY(core.CanUndo());
            core.Undo();
            QCOMPARE(text(core), steps[i]);
        }
        QVERIFY(!core.CanUndo());
        for (qsizetype i = steps.size() - 2; i >= 0; --i) {
            QVERIFY(core.CanRedo());
            core.Redo();
            QCOMPARE(text(core), steps[i]);
        }
        QVERIFY(!core.CanRedo());

        // Back before the sort: that document is the one saved, its caret
        // where it was, in the font the text is shown in now.
        QFont shownIn = core.document()->defaultFont();
        shownIn.setPointSize(shownIn.pointSize() + 7);
        core.document()->setDefaultFont(shownIn);
        core.Undo();
        core.Undo();
        QCOMPARE(text(core), steps[2]);
        QCOMPARE(core.document()->defaultFont(), shownIn);
        QVERIFY(!core.Modified());
        QCOMPARE(core.SelStart(), 6);
        core.setSelText(QStringLiteral("z"));
        QVERIFY(!core.CanRedo());
        core.Redo();
        QCOMPARE(text(core), QStringLiteral("b\na\ncxz"));

        // Saved after the sort: the document before it is a change again.
        QCOMPARE(TextTools::sortLines(core, true, QLocale::c()), Outcome::Done);
        core.setModified(false);
        core.Undo();
        QVERIFY(core.Modified());
        core.Redo();
        QVERIFY(!core.Modified());
        core.EmptyUndoBuffer();
        QVERIFY(!core.CanUndo());

        // A load starts a history of its own: nothing from before it comes back.
        QCOMPARE(TextTools::sortLines(core, false, QLocale::c()), Outcome::Done);
        PlainText::EncodedText loaded;
        loaded.bytes = "loaded\r\n";
        QVERIFY(core.loadEncoded(loaded).loaded());
        QVERIFY(!core.CanUndo());
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("loaded\n"));
        QVERIFY(!core.Modified());
    }

    void sortOfManyLinesIsInOrder()
    {
        // Enough lines for the sort to run in two halves and merge them.
        const QStringList stems = {"apfel", "\u00c4pfel", "Apfel", "zebra", "\u00e9clair", "Eclair", "10", "9"};
        QStringList sample;
        for (int i = 0; i < 30000; ++i)
            sample << stems[(i * 7) % stems.size()] + QString::number((i * 7919) % 1000);
        const QLocale locale(QLocale::German, QLocale::Germany);
        DocumentCore core;
        setText(core, sample.join(u'\n'));
        QCOMPARE(TextTools::sortLines(core, false, locale), Outcome::Done);
        const QStringList sorted = text(core).split(u'\n');
        QCOMPARE(sorted.size(), sample.size());
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseSensitive);
        for (qsizetype i = 0; i + 1 < sorted.size(); ++i)
            QVERIFY2(collator.compare(sorted[i], sorted[i + 1]) <= 0, qPrintable(sorted[i] + " > " + sorted[i + 1]));
        QStringList expected = sample;
        std::sort(expected.begin(), expected.end());
        QStringList got = sorted;
        std::sort(got.begin(), got.end());
        QCOMPARE(got, expected);
    }

    // Join All and the case commands over a whole document of one format
    // put their result in a new document: its formats, the kept RTF of the
    // old one and Undo must all be as an edit in place leaves them.
    void wholeDocumentResultsKeepTheirFormats()
    {
        DocumentCore core;
        setText(core, QStringLiteral("one\ntwo\nthree"));
        QTextCursor all(core.document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(bold());
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
        KeptContent::setDocumentGroups(*core.document(), "{\\header kept}");
        core.EmptyUndoBuffer();
        const auto allCentred = [&core] {
            for (QTextBlock b = core.document()->begin(); b.isValid(); b = b.next())
                if (!(b.blockFormat().alignment() & Qt::AlignHCenter))
                    return false;
            return true;
        };

        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Upper, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("ONE\nTWO\nTHREE"));
        QCOMPARE(core.SelStart(), core.TextLength());
        QVERIFY(isBoldAt(core, 0) && isBoldAt(core, 5));
        QVERIFY(allCentred());
        QCOMPARE(KeptContent::documentGroups(*core.document()), QByteArray("{\\header kept}"));

        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, true), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("ONE TWO THREE"));
        QVERIFY(isBoldAt(core, 4) && allCentred());
        QCOMPARE(KeptContent::documentGroups(*core.document()), QByteArray("{\\header kept}"));
        core.Undo();
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("one\ntwo\nthree"));

        // Paragraphs of a list are edited in place: a new document would lose the list.
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDecimal);
        QTextCursor(core.document()).createList(list);
        for (QTextBlock b = core.document()->begin().next(); b.isValid(); b = b.next())
            core.document()->begin().textList()->add(b);
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Upper, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("ONE\nTWO\nTHREE"));
        QVERIFY(core.document()->lastBlock().textList());
        QCOMPARE(core.document()->lastBlock().textList()->count(), 3);
    }

    // A line longer than the document can show is not made by a join: what
    // stays of the paragraphs the selection begins and ends in counts too.
    void joinRefusesALineTooLongToShow()
    {
        DocumentCore core;
        DocumentCore::Limits limits;
        limits.longestLine = 9;
        core.setLimits(limits);
        setText(core, QStringLiteral("ab\ncd\nefghijk"));
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, true), Outcome::LineTooLong);
        core.select(4, 2); // "d" and its paragraph end, joining "cd" to "efghijk"
        QCOMPARE(TextTools::join(core, false), Outcome::LineTooLong);
        QCOMPARE(text(core), QStringLiteral("ab\ncd\nefghijk"));
        QVERIFY(!core.CanUndo());
        core.select(0, 4);
        QCOMPARE(TextTools::join(core, false), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("ab cd\nefghijk"));
    }

    void sortBadInput()
    {
        DocumentCore core;
        QCOMPARE(TextTools::sortLines(core, false, QLocale::c()), Outcome::NothingToDo);
        setText(core, QStringLiteral("only line"));
        QCOMPARE(TextTools::sortLines(core, true, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("only line"));
        // Line breaks and form feeds are inside lines.
        setText(core, QStringLiteral("b\u2028z\na\fy"));
        QCOMPARE(TextTools::sortLines(core, false, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("a\fy\nb\u2028z"));
        // Protected text is not thrown away.
        mark(core, 0, 1, protectedText());
        QCOMPARE(TextTools::sortLines(core, true, QLocale::c()), Outcome::Refused);
        QCOMPARE(text(core), QStringLiteral("a\fy\nb\u2028z"));
    }

    void changeCase_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        const int upper = int(TextTools::Case::Upper);
        const int lower = int(TextTools::Case::Lower);
        const int initial = int(TextTools::Case::InitialCaps);
        QTest::newRow("initial caps") << "o'neil mcdonald-smith 3rd" << initial << "O'Neil Mcdonald-Smith 3Rd";
        QTest::newRow("initial caps of capitals") << "HELLO wORLD" << initial << "Hello World";
        QTest::newRow("a digit separates") << "x2y" << initial << "X2Y";
        QTest::newRow("accents are letters") << "\u00e9LAN \u00fcBER a\u00c9b" << initial << "\u00c9lan \u00dcber A\u00e9b";
        QTest::newRow("line ends separate") << "one\u2029two\u2028three" << initial << "One\u2029Two\u2028Three";
        QTest::newRow("greek, cyrillic, emoji")
            << "\u03b1\u03b2\u03b3 \u0434\u043e\u043c \U0001F600 stra\u00dfe" << upper
            << "\u0391\u0392\u0393 \u0414\u041e\u041c \U0001F600 STRASSE";
        QTest::newRow("lower") << "\u0394\u039f\u039c HeLLo" << lower << "\u03b4\u03bf\u03bc hello";
        QTest::newRow("empty") << "" << initial << "";
    }

    void changeCase()
    {
        QFETCH(QString, input);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QCOMPARE(TextTools::changeCase(input, TextTools::Case(mode), QLocale::c()), expected);
    }

    void changeCaseKeepsRunsAndUndoes()
    {
        DocumentCore core;
        setText(core, QStringLiteral("hello world\nstra\u00dfe"));
        mark(core, 0, 3, bold());
        core.EmptyUndoBuffer();
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::InitialCaps, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("Hello World\nStra\u00dfe"));
        QVERIFY(isBoldAt(core, 0));
        QVERIFY(isBoldAt(core, 2));
        QVERIFY(!isBoldAt(core, 3));
        QCOMPARE(core.SelLength(), 0);
        QCOMPARE(core.SelStart(), core.TextLength());
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("hello world\nstra\u00dfe"));

        // Upper case may lengthen the text: the caret ends after all of it.
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Upper, QLocale::c()), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("HELLO WORLD\nSTRASSE"));
        QCOMPARE(core.SelStart(), core.TextLength());
        QVERIFY(isBoldAt(core, 1));
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("hello world\nstra\u00dfe"));
        QVERIFY(!core.CanUndo());
    }

    void changeCaseOfALongLine()
    {
        DocumentCore core;
        const QString line = QStringLiteral("ab\u00e7 ").repeated(256 * 1024);
        setText(core, line);
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::InitialCaps, QLocale::c()), Outcome::Done);
        QCOMPARE(core.TextLength(), line.size());
        QVERIFY(core.Text().startsWith(QStringLiteral("Ab\u00e7 Ab\u00e7 ")));
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::join(core, true), Outcome::NothingToDo);
    }

    void piecesGiveTheWholeResult_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("length"); // -1: to the end
        for (const char *command : {"sort", "sort-down", "join", "join-all", "upper", "lower", "initial-caps",
                                    "insert-space", "delete-column"})
            QTest::newRow(command) << QString::fromLatin1(command) << 0 << -1;
        QTest::newRow("upper-inside-lines") << QStringLiteral("upper") << 5 << 40;
        QTest::newRow("join-inside-lines") << QStringLiteral("join") << 3 << 50;
    }

    // A tool cut into pieces of a few characters leaves the text it leaves
    // in one go, as one undo step, and reports up to the end.
    void piecesGiveTheWholeResult()
    {
        QFETCH(QString, command);
        QFETCH(int, from);
        QFETCH(int, length);
        const QString sample = QStringLiteral(
            "\u039f\u0394\u039f\u03a3 \u03a3\u039f\u03a6\u039f\u03a3\tstra\u00dfe\n\nz\u00e9bra \U0001F600x\rCR\r\n"
            "o'neil mcdonald-smith 3rd\u2028line\n\nApple\napple\n\u00c4pfel\fend\n");
        const auto run = [&](DocumentCore &core, ToolProgress *progress) {
            core.select(from, length < 0 ? core.TextLength() - from : length);
            const QLocale locale(QLocale::German, QLocale::Germany);
            if (command.startsWith(u"sort"))
                return TextTools::sortLines(core, command == u"sort-down", locale, progress) == Outcome::Done;
            if (command.startsWith(u"join"))
                return TextTools::join(core, command == u"join-all", progress) == Outcome::Done;
            if (command == u"insert-space")
                return ColumnEdit::insertSpaceColumn(core, progress) > 0;
            if (command == u"delete-column")
                return ColumnEdit::deleteColumn(core, progress) > 0;
            const TextTools::Case mode = command == u"upper"   ? TextTools::Case::Upper
                                         : command == u"lower" ? TextTools::Case::Lower
                                                               : TextTools::Case::InitialCaps;
            return TextTools::changeCase(core, mode, locale, progress) == Outcome::Done;
        };
        DocumentCore whole;
        setText(whole, sample);
        const QString before = text(whole);
        QVERIFY(run(whole, nullptr));

        DocumentCore pieced;
        setText(pieced, sample);
        ToolProgress progress;
        progress.setPieceSize(3);
        progress.setInterval(0);
        QList<int> reports;
        connect(&progress, &ToolProgress::progressed, this, [&reports](int percent) { reports << percent; });
        QVERIFY(run(pieced, &progress));
        QCOMPARE(text(pieced), text(whole));
        QCOMPARE(pieced.SelStart(), whole.SelStart());
        QCOMPARE(pieced.SelLength(), whole.SelLength());
        QVERIFY2(reports.size() > 3, qPrintable(QString::number(reports.size())));
        QCOMPARE(reports.first(), 0);
        QCOMPARE(reports.last(), 100);
        QCOMPARE(reports.count(100), 1);
        QVERIFY(std::is_sorted(reports.begin(), reports.end()));

        pieced.Undo();
        QCOMPARE(text(pieced), before);
        QVERIFY(!pieced.CanUndo());
        pieced.Redo();
        QCOMPARE(text(pieced), text(whole));
    }

    void caseByLinesMatchesTheWholeText()
    {
        // Lines are converted one by one; no mapping may differ from that of
        // the whole text (a final sigma looks at the letters after it).
        const QString sample = QStringLiteral("\u039f\u0394\u039f\u03a3 \u03a3\u039f\u03a6\u039f\u03a3.\n"
                                              "\u03a3\n\u0130stanbul I\u0307 stra\u00dfe \ufb01 \U00010400\n");
        const QLocale locale(QLocale::Greek, QLocale::Greece);
        DocumentCore core;
        setText(core, sample);
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Lower, locale), Outcome::Done);
        QCOMPARE(text(core), locale.toLower(sample));
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Upper, locale), Outcome::Done);
        QCOMPARE(text(core), locale.toUpper(locale.toLower(sample)));
    }

    void protectedTextRefusesWithProgress()
    {
        DocumentCore core;
        setText(core, QStringLiteral("b line\na line\nc line"));
        mark(core, 2, 4, protectedText());
        core.EmptyUndoBuffer();
        const QString before = text(core);
        ToolProgress progress;
        progress.setPieceSize(2);
        progress.setInterval(0);
        QCOMPARE(TextTools::sortLines(core, false, QLocale::c(), &progress), Outcome::Refused);
        core.select(0, core.TextLength());
        QCOMPARE(TextTools::changeCase(core, TextTools::Case::Upper, QLocale::c(), &progress), Outcome::Refused);
        QCOMPARE(text(core), before);
        QVERIFY(!core.CanUndo());
    }

    void deleteColumn()
    {
        DocumentCore core;
        setText(core, QStringLiteral("0123456789\nabcdefghij\nABC\nKLMNOPQRST"));
        // Caret at column 3 of the first line, selection ending in the fourth.
        core.select(3, core.LineIndex(3) + 1 - 3);
        const int length = core.SelLength();
        QCOMPARE(ColumnEdit::deleteColumn(core), 3);
        QCOMPARE(text(core), QStringLiteral("012456789\nabcefghij\nABC\nKLMOPQRST"));
        QCOMPARE(core.SelStart(), 3);
        QCOMPARE(core.SelLength(), length - 3);
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("0123456789\nabcdefghij\nABC\nKLMNOPQRST"));
        QVERIFY(!core.CanUndo());
    }

    void deleteColumnPastTheEnd()
    {
        DocumentCore core;
        setText(core, QStringLiteral("abcdef\nx"));
        core.select(5, core.TextLength() - 5);
        // The second line is shorter: its position runs past the end.
        QCOMPARE(ColumnEdit::deleteColumn(core), 1);
        QCOMPARE(text(core), QStringLiteral("abcde\nx"));
        QCOMPARE(core.SelLength(), 2);
        setText(core, QString());
        QCOMPARE(ColumnEdit::deleteColumn(core), 0);
    }

    void insertSpaceColumn()
    {
        DocumentCore core;
        setText(core, QStringLiteral("aaaa\nbbbb\ncc\ndddd\neeee"));
        core.select(2, core.LineIndex(4) + 1 - 2);
        const int length = core.SelLength();
        QCOMPARE(ColumnEdit::insertSpaceColumn(core), 5);
        QCOMPARE(text(core), QStringLiteral("aa aa\nbb bb\ncc \ndd dd\nee ee"));
        QCOMPARE(core.SelStart(), 2);
        QCOMPARE(core.SelLength(), length + 4);
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("aaaa\nbbbb\ncc\ndddd\neeee"));
    }

    void pasteColumn()
    {
        DocumentCore core;
        setText(core, QStringLiteral("1234\n5678\n9012"));
        core.select(1, core.LineIndex(2) + 1 - 1);
        const int copies = ColumnEdit::pasteColumn(core, [&core] { return core.ReplaceSelectionW(QStringLiteral("xy")); });
        QCOMPARE(copies, 3);
        QCOMPARE(text(core), QStringLiteral("1xy234\n5xy678\n9xy012"));
        QCOMPARE(core.SelStart(), 1);
        QCOMPARE(core.SelStart() + core.SelLength(), core.LineIndex(2) + 3);
        core.Undo();
        QCOMPARE(text(core), QStringLiteral("1234\n5678\n9012"));

        // Nothing to paste: nothing changes and the caret goes back.
        core.select(1, 6);
        QCOMPARE(ColumnEdit::pasteColumn(core, [] { return false; }), 0);
        QCOMPARE(text(core), QStringLiteral("1234\n5678\n9012"));
        QCOMPARE(core.SelStart(), 1);
    }

    void dateFormats()
    {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
        QCOMPARE(TextTools::formatDateTime(6, when, us), QStringLiteral("03/05/2024, 02:07 PM"));
        QCOMPARE(TextTools::formatDateTime(6, QDateTime(QDate(2024, 3, 5), QTime(0, 30)), us),
                 QStringLiteral("03/05/2024, 12:30 AM"));
        QCOMPARE(TextTools::formatDateTime(7, when, us), QStringLiteral("03/05/2024"));
        // German dates keep the slashes of the fixed formats.
        QCOMPARE(TextTools::formatDateTime(7, when, QLocale(QLocale::German)), QStringLiteral("03/05/2024"));
        const QString longTime = TextTools::formatDateTime(8, when, us);
        QVERIFY(longTime.startsWith(QStringLiteral("2:07:09")));
        QVERIFY(longTime.endsWith(QStringLiteral("PM")));
        QCOMPARE(TextTools::formatDateTime(0, when, us),
                 us.toString(when.date(), QLocale::LongFormat) + QStringLiteral(", ") + longTime);
        QCOMPARE(TextTools::formatDateTime(3, when, us),
                 us.toString(when.date(), QLocale::ShortFormat) + QStringLiteral(", ")
                     + us.toString(when.time(), QLocale::ShortFormat));
        QVERIFY(TextTools::formatDateTime(9, when, us).isEmpty());
    }

    void insertionsAndTheFormFeedCaret()
    {
        DocumentCore core;
        setText(core, QStringLiteral("abXcd"));
        core.select(2, 1);
        QCOMPARE(TextTools::insertFormFeed(core), Outcome::Done);
        QCOMPARE(text(core), QStringLiteral("ab\fcd"));
        QCOMPARE(core.SelStart(), 4);
        core.select(0, 0);
        QCOMPARE(TextTools::insertText(core, QStringLiteral("Untitled")), Outcome::Done);
        QCOMPARE(core.SelStart(), 8);
        // At the very end the form feed caret stops at the end.
        core.select(core.TextLength(), 0);
        QCOMPARE(TextTools::insertFormFeed(core), Outcome::Done);
        QCOMPARE(core.SelStart(), core.TextLength());
    }
};

QTEST_MAIN(TestTextTools)
#include "tst_texttools.moc"
