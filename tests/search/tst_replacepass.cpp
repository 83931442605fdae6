#include "document/DocumentCore.h"
#include "document/TextProperties.h"
#include "search/FindStep.h"
#include "search/ReplacePass.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

// Replace All in one pass against replacing match by match as the replace
// dialog steps, on the document core without a window.
class TestReplacePass : public QObject
{
    Q_OBJECT

    // Text with paragraphs split at '\n'; characters between '[' and ']' are protected.
    static void fill(DocumentCore &core, const QString &spec)
    {
        QTextCursor c(core.document());
        QTextCharFormat plain;
        QTextCharFormat locked;
        locked.setProperty(TextProperty::Protected, true);
        bool inLock = false;
        for (const QChar ch : spec) {
            if (ch == u'[' || ch == u']') {
                inLock = ch == u'[';
                continue;
            }
            if (ch == u'\n')
                c.insertBlock();
            else
                c.insertText(QString(ch), inLock ? locked : plain);
        }
        core.EmptyUndoBuffer();
        core.select(0, 0);
    }

    // What pressing Replace with "Yes to all" gives: the dialog's find step
    // from the selection, then replacing the match.
    static int stepwise(DocumentCore &core, const QString &find, const QString &with, const SearchOptions &o)
    {
        FindStep step;
        step.text = find;
        step.options = o;
        step.fromSelectionStart = true;
        int replaced = 0;
        for (;;) {
            std::optional<TextRange> passedOver;
            const std::optional<TextRange> match = step.run(core, &passedOver);
            step.fromSelectionStart = false;
            if (!match && passedOver)
                core.select(passedOver->start, passedOver->length);
            if (!match)
                return replaced;
            core.select(match->start, match->length);
            if (core.ReplaceSelectionW(with))
                ++replaced;
        }
    }

private slots:
    // Find Next as the dialogs step: forward from the selection's end,
    // backward from its start, exact-case matches passed over in mismatch mode.
    void findStepFromTheSelection()
    {
        DocumentCore core;
        fill(core, QStringLiteral("Cat cat\nCAT cat"));
        FindStep step;
        step.text = QStringLiteral("cat");
        core.select(0, 3);
        QCOMPARE(step.run(core)->start, 4);
        step.fromSelectionStart = true;
        QCOMPARE(step.run(core)->start, 0);
        step.fromSelectionStart = false;
        step.down = false;
        core.select(12, 0);
        QCOMPARE(step.run(core)->start, 8);
        core.select(0, 0);
        QVERIFY(!step.run(core));
        step.down = true;
        step.options.caseMismatch = true;
        QCOMPARE(step.run(core)->start, 0);
        core.select(0, 3);
        QCOMPARE(step.run(core)->start, 8);
        step.options = {};
        step.text = QStringLiteral("cat\r\nCAT");
        core.select(0, 0);
        QCOMPARE(step.run(core).value(), (TextRange{4, 7}));
    }

    void allAtOnceEqualsOneAtATime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("with");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("caseMismatch");
        QTest::newRow("overlapping") << "aaaa aaa" << "aa" << "b" << false << false << false;
        QTest::newRow("replacement holds the search text") << "a a aa" << "a" << "aa" << false << false << false;
        QTest::newRow("whole word after a replacement") << "ab b b" << "b" << "x" << true << false << false;
        QTest::newRow("replacement makes the next a word part") << "b b" << "b" << "xb" << true << false << false;
        QTest::newRow("empty replacement whole word") << "x x xx x" << "x" << "" << true << false << false;
        QTest::newRow("across paragraph ends") << "end\nstart end\nstart\nend" << "end\r\nstart" << "joined"
                                               << false << false << false;
        QTest::newRow("paragraph end replaced by one") << "a\nb\nc" << "\r\n" << "\r\n\r\n" << false << false
                                                       << false;
        QTest::newRow("case mismatch") << "Word word WORD Word wORD" << "Word" << "X" << false << false << true;
        QTest::newRow("case mismatch and match case") << "Word word" << "Word" << "X" << false << true << true;
        QTest::newRow("match case") << "The the THE" << "the" << "a" << true << true << false;
        QTest::newRow("protected in the way") << "the [the] the [xthe]the the" << "the" << "a" << false << false
                                              << false;
        QTest::newRow("protected whole word") << "the [the] the" << "the" << "" << true << false << false;
        QTest::newRow("everything matches") << "aaaaaaaaaa\naaaa" << "a" << "" << false << false << false;
        QTest::newRow("no match") << "nothing here" << "zz" << "a" << false << false << false;
    }

    void allAtOnceEqualsOneAtATime()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, with);
        const SearchOptions options{[&] { QFETCH(bool, wholeWord); return wholeWord; }(),
                                    [&] { QFETCH(bool, matchCase); return matchCase; }(),
                                    [&] { QFETCH(bool, caseMismatch); return caseMismatch; }()};
        DocumentCore one;
        fill(one, text);
        const int stepped = stepwise(one, find, with, options);
        // The document is copied for matching piece by piece: tiny pieces put
        // seams everywhere.
        for (const int chunk : {1 << 22, 2, 3, 7}) {
            DocumentCore all;
            fill(all, text);
            ReplacePass pass(all, find, with, options, 0);
            pass.setChunk(chunk);
            QVERIFY(pass.run());
            pass.placeSelection();
            QCOMPARE(all.Text(), one.Text());
            QCOMPARE(pass.replacements(), stepped);
            QCOMPARE(all.SelStart(), one.SelStart());
            QCOMPARE(all.SelLength(), one.SelLength());
            QVERIFY(!pass.wasInterrupted());
        }
    }

    void slicesGiveTheSameTextAndOneUndoStep()
    {
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += i % 7 == 0 ? QStringLiteral("The other the\n") : QStringLiteral("theme the then ");
        DocumentCore one;
        DocumentCore all;
        fill(one, text);
        fill(all, text);
        const QString before = all.Text();
        const SearchOptions options{true, false, false};
        stepwise(one, QStringLiteral("the"), QStringLiteral("a"), options);
        // A first replacement made beside the pass joins its undo step.
        all.select(0, 3);
        QVERIFY(all.ReplaceSelectionW(QStringLiteral("a")));
        ReplacePass pass(all, QStringLiteral("the"), QStringLiteral("a"), options, all.SelStart(), true);
        int slices = 0;
        while (!pass.run(0))
            ++slices;
        QVERIFY(slices > 10);
        QCOMPARE(all.Text(), one.Text());
        all.Undo();
        QCOMPARE(all.Text(), before);
        QVERIFY(!all.CanUndo());
    }

    void anotherEditEndsThePassCleanly()
    {
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("one two ");
        DocumentCore core;
        fill(core, text);
        ReplacePass pass(core, QStringLiteral("one"), QStringLiteral("1"), {}, 0);
        QVERIFY(!pass.run(0));
        const int done = pass.replacements();
        QVERIFY(done > 0);
        QTextCursor typing(core.document());
        typing.insertText(QStringLiteral("typed "));
        QVERIFY(pass.run());
        QVERIFY(pass.wasInterrupted());
        QCOMPARE(pass.replacements(), done);
        QVERIFY(core.Text().startsWith(QStringLiteral("typed 1 two")));
        // Typing was its own step; under it the pass's replacements undo as one.
        core.Undo();
        core.Undo();
        QCOMPARE(core.Text(), text);
    }

    void longTextsAndEmptyDocuments()
    {
        DocumentCore core;
        const QString find(255, u'x');
        fill(core, QString(600, u'x'));
        ReplacePass pass(core, find, QString(255, u'y'), {}, 0);
        QVERIFY(pass.run());
        QCOMPARE(pass.replacements(), 2);
        QCOMPARE(core.Text(), QString(510, u'y') + QString(90, u'x'));
        DocumentCore empty;
        ReplacePass none(empty, QStringLiteral("a"), QString(), {}, 0);
        QVERIFY(none.run());
        QCOMPARE(none.replacements(), 0);
        ReplacePass noText(core, QString(), QStringLiteral("a"), {}, 0);
        QVERIFY(noText.run());
        QCOMPARE(noText.replacements(), 0);
    }
};

QTEST_MAIN(TestReplacePass)
#include "tst_replacepass.moc"
