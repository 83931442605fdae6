#include "FrameFixture.h"
#include "search/ui/WideFindReplaceDialog.h"

#include <QtTest>

// Find, Find Next and Replace through the frame's dialogs.
class TestSearch : public QObject
{
    Q_OBJECT

    FrameFixture *fx = nullptr;

    TEditForm *document(const QByteArray &text)
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->Editor()->Lines().loadFromBuffer(text);
        form->Editor()->setModified(false);
        return form;
    }

    SearchController *search() const { return fx->frame->searchController(); }

private slots:
    void init()
    {
        fx = new FrameFixture;
        fx->start();
    }

    void cleanup()
    {
        delete fx;
    }

    void findSearchesFromTheEndOfTheSelection()
    {
        TEditForm *form = document("word one word two word");
        form->Editor()->select(0, 4);
        form->Find1Click();
        QCOMPARE(search()->findDialog()->FindTextW(), QStringLiteral("word"));
        QVERIFY(form->action(EditAction::FindNext1)->isEnabled());
        QCOMPARE(form->searchState.lastKind, SearchState::Kind::Find);
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 9);
        form->FindNext1Click();
        QCOMPARE(form->Editor()->SelStart(), 18);
        // Nothing more: dialog closed, beep, message, selection unchanged.
        form->FindNext1Click();
        QCOMPARE(form->Editor()->SelStart(), 18);
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Default);
        QCOMPARE(fx->ui.messageTexts().last(), QStringLiteral("Could not find \"word\" in Editor."));
        QVERIFY(!search()->findDialog()->isVisible());
    }

    void findInFilesStartsAtTheTop()
    {
        fx->frame->action(FrameAction::SearchFiles1)->setChecked(true);
        TEditForm *form = document("word one word");
        form->Editor()->select(9, 4);
        form->Find1Click();
        QCOMPARE(form->Editor()->SelStart(), 0);
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 0);
    }

    void upwardsSearch()
    {
        TEditForm *form = document("aXa aXa aXa");
        form->Editor()->setSelStart(8);
        form->Find1Click();
        search()->findDialog()->setFindTextW(QStringLiteral("axa"));
        search()->findDialog()->setOptions({});
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 4);
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 0);
    }

    void copiedLineBreakFindsTheParagraphEnd()
    {
        TEditForm *form = document("end of one\r\nstart of two");
        form->Find1Click();
        search()->findDialog()->setFindTextW(QStringLiteral("one\r\nstart"));
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 7);
        QCOMPARE(form->Editor()->SelLength(), 9);
    }

    void caseMismatchModeStopsOnlyWhereCaseDiffers()
    {
        fx->frame->action(FrameAction::Searchforcasemismatch1)->setChecked(true);
        TEditForm *form = document("Word word Word WORD");
        form->Find1Click();
        search()->findDialog()->setFindTextW(QStringLiteral("Word"));
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 5);
        QVERIFY(search()->findHandler(form));
        QCOMPARE(form->Editor()->SelStart(), 15);
        QVERIFY(!search()->findHandler(form));
        // With match case as well it never stops.
        form->Editor()->setSelStart(0);
        search()->findDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frMatchCase);
        fx->ui.clear();
        QVERIFY(!search()->findHandler(form));
        QCOMPARE(fx->ui.messageTexts().size(), 1);
    }

    void replaceAllAsksForEachMatchUnlessYesToAll()
    {
        TEditForm *form = document("cat cat cat");
        form->Replace1Click();
        search()->replaceDialog()->setFindTextW(QStringLiteral("cat"));
        search()->replaceDialog()->setReplaceTextW(QStringLiteral("dog"));
        search()->replaceDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frReplaceAll);
        fx->ui.messageAnswers << UserInteraction::Yes << UserInteraction::No << UserInteraction::Yes;
        search()->replaceHandler(form);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("dog cat dog"));
        const QStringList texts = fx->ui.messageTexts();
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts.first(), QStringLiteral("Replace this occurrence of cat?"));
        QCOMPARE(texts.last(), QStringLiteral("Could not find \"cat\" in Editor."));
        QCOMPARE(fx->ui.shown.first().message.buttons,
                 UserInteraction::Yes | UserInteraction::No | UserInteraction::Cancel | UserInteraction::YesToAll);

        TEditForm *second = document("cat cat cat");
        second->Replace1Click();
        fx->ui.clear();
        fx->ui.messageAnswers << UserInteraction::YesToAll;
        search()->replaceHandler(second);
        QCOMPARE(second->Editor()->Text(), QStringLiteral("dog dog dog"));
        QCOMPARE(fx->ui.messageTexts().size(), 2);
    }

    void replaceStartsWithTheSelectedMatchAndFindNextReplaces()
    {
        TEditForm *form = document("ab ab ab");
        form->Editor()->select(3, 2);
        form->Replace1Click();
        QCOMPARE(search()->replaceDialog()->FindTextW(), QStringLiteral("ab"));
        search()->replaceDialog()->setReplaceTextW(QStringLiteral("X"));
        search()->replaceDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frReplace);
        fx->ui.messageAnswers << UserInteraction::Yes;
        search()->replaceHandler(form);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("ab X ab"));
        QCOMPARE(fx->ui.shown.last().message.buttons, UserInteraction::Yes | UserInteraction::No);
        // Find Next after Replace performs a replace step, with confirmation.
        QCOMPARE(form->searchState.lastKind, SearchState::Kind::Replace);
        fx->ui.messageAnswers << UserInteraction::Yes;
        form->FindNext1Click();
        QCOMPARE(form->Editor()->Text(), QStringLiteral("ab X X"));
        // Cancel in the confirmation closes the dialog.
        form->Editor()->setSelStart(0);
        search()->replaceDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frReplaceAll);
        fx->ui.messageAnswers << UserInteraction::Cancel;
        search()->replaceHandler(form);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("ab X X"));
        QVERIFY(!search()->replaceDialog()->isVisible());
    }

    void searchStepsThroughAllDocuments()
    {
        fx->frame->action(FrameAction::SearchFiles1)->setChecked(true);
        TEditForm *first = document("nothing here");
        document("nor here");
        TEditForm *third = document("the needle");
        fx->frame->activateDocument(first);
        // Window order now: first, third (used before it), second.
        first->Find1Click();
        search()->findDialog()->setFindTextW(QStringLiteral("needle"));
        search()->findHandler(first);
        QTRY_COMPARE(fx->frame->activeDocument(), third);
        QCOMPARE(third->Editor()->SelStart(), 4);
        QCOMPARE(search()->searchedDocumentCount(), 2);

        // Text nowhere: every document once, then one message and the count back at 1.
        search()->findDialog()->setFindTextW(QStringLiteral("absent"));
        fx->ui.clear();
        third->FindNext1Click();
        QCOMPARE(fx->ui.messageTexts().size(), 1);
        QCOMPARE(search()->searchedDocumentCount(), 1);
    }

    void searchAcrossDocumentsFollowsTheWindowOrder()
    {
        fx->frame->action(FrameAction::SearchFiles1)->setChecked(true);
        TEditForm *a = document("needle in a");
        TEditForm *b = document("needle in b");
        TEditForm *c = document("nothing in c");
        QCOMPARE(fx->frame->activeDocument(), c);
        c->Find1Click();
        search()->findDialog()->setFindTextW(QStringLiteral("needle"));
        // C active: the one used before it, B, comes first, although A is older.
        search()->findHandler(c);
        QTRY_COMPARE(fx->frame->activeDocument(), b);
        QCOMPARE(b->Editor()->SelLength(), 6);
        QCOMPARE(search()->searchedDocumentCount(), 2);
        // Going on from B reaches A, not C again, though C is now the last used before B.
        b->FindNext1Click();
        QTRY_COMPARE(fx->frame->activeDocument(), a);
        QCOMPARE(a->Editor()->SelStart(), 0);
        QCOMPARE(a->Editor()->SelLength(), 6);
        QCOMPARE(search()->searchedDocumentCount(), 3);
    }

    void replaceAllAcrossDocumentsAsksAgainInEach()
    {
        fx->frame->action(FrameAction::SearchFiles1)->setChecked(true);
        TEditForm *first = document("x x");
        TEditForm *second = document("x x");
        fx->frame->activateDocument(first);
        first->Replace1Click();
        search()->replaceDialog()->setFindTextW(QStringLiteral("x"));
        search()->replaceDialog()->setReplaceTextW(QStringLiteral("y"));
        search()->replaceDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frReplaceAll);
        fx->ui.messageAnswers << UserInteraction::YesToAll << UserInteraction::YesToAll;
        search()->replaceHandler(first);
        QCOMPARE(first->Editor()->Text(), QStringLiteral("y y"));
        QCOMPARE(second->Editor()->Text(), QStringLiteral("y y"));
        int questions = 0;
        for (const QString &t : fx->ui.messageTexts())
            questions += t.startsWith(QLatin1String("Replace this"));
        QCOMPARE(questions, 2);
    }

    // Yes to all in a document long enough for several slices of Replace All.
    TEditForm *startLongReplaceAll(const QString &text)
    {
        search()->setTiming({0, 0});
        TEditForm *form = document(text.toUtf8());
        form->Replace1Click();
        search()->replaceDialog()->setFindTextW(QStringLiteral("the"));
        search()->replaceDialog()->setReplaceTextW(QStringLiteral("a"));
        search()->replaceDialog()->setOptions(TWideFindDialog::frDown | TWideFindDialog::frReplaceAll
                                              | TWideFindDialog::frWholeWord);
        fx->ui.messageAnswers << UserInteraction::YesToAll;
        search()->replaceHandler(form);
        return form;
    }

    void longReplaceAllRunsInSlicesAsOneUndoStep()
    {
        const QString text = QStringLiteral("the other theme the\r\n").repeated(2000);
        QSignalSpy finished(search(), &SearchController::replaceAllFinished);
        TEditForm *form = startLongReplaceAll(text);
        QVERIFY(search()->isReplacingAll());
        QVERIFY(fx->frame->statusPanel(1).endsWith(u'%'));
        QTRY_VERIFY(!search()->isReplacingAll());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), 4000);
        QVERIFY(fx->frame->statusPanel(1).isEmpty());
        QCOMPARE(form->Editor()->Text(), QStringLiteral("a other theme a\n").repeated(2000).chopped(1) + u'\n');
        QCOMPARE(fx->ui.messageTexts().last(), QStringLiteral("Could not find \"the\" in Editor."));
        form->Editor()->Undo();
        QCOMPARE(form->Editor()->Text(), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }

    void escapeCancelsReplaceAllAndTypingWaits()
    {
        const QString text = QStringLiteral("the end\r\n").repeated(3000);
        TEditForm *form = startLongReplaceAll(text);
        QVERIFY(search()->isReplacingAll());
        QTest::keyClick(form->Editor(), Qt::Key_X);
        QTest::keyClick(form->Editor(), Qt::Key_Escape);
        QTRY_VERIFY(!search()->isReplacingAll());
        const QString after = form->Editor()->Text();
        QVERIFY(!after.contains(u'x'));
        QVERIFY(after.startsWith(QLatin1String("a end\n")));
        QVERIFY(after.endsWith(QLatin1String("the end\n")));
        // No message: the run just stops; what was replaced is one step.
        QVERIFY(!fx->ui.messageTexts().last().startsWith(QLatin1String("Could not")));
        form->Editor()->Undo();
        QCOMPARE(form->Editor()->Text(), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }

    void longSearchTextsAreCut()
    {
        search()->findDialog()->setFindTextW(QString(400, u'a'));
        QCOMPARE(search()->findDialog()->FindTextW().size(), 255);
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
