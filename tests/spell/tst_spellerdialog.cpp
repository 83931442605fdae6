// The spelling dialog's states with a scripted speller: error with and
// without suggestions, repeated word, edited word with Undo Edit, inactive
// with Start; only the error may be edited.
#include "ScriptedSpeller.h"

#include "document/DocumentCore.h"
#include "spell/ui/SpellerDialog.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

using R = TSpellReturnCode;

class TestSpellerDialog : public QObject
{
    Q_OBJECT

    ScriptedUserInteraction m_ui;
    std::unique_ptr<TSpellChecker> m_checker;
    std::unique_ptr<DocumentCore> m_core;
    QPointer<TSpellerDialog2> m_dialog;
    ScriptedSpeller *m_speller = nullptr;

    void start(const QString &text)
    {
        m_core->document()->setPlainText(text);
        m_core->select(0, 0);
        m_checker->Check(m_core.get());
    }
    bool visibleAndEnabled(QPushButton *b) const { return b->isVisible() && b->isEnabled(); }

private slots:
    void init()
    {
        m_checker = std::make_unique<TSpellChecker>(nullptr, &m_ui);
        m_checker->Language = 1033;
        m_checker->Caption = QStringLiteral("Language %s");
        m_core = std::make_unique<DocumentCore>();
        m_core->setPlainTextMode(true);
        m_checker->setSpellerFactory([this](TLanguage l, TSpellerType, TSpellChecker *owner) {
            auto s = std::make_unique<ScriptedSpeller>(l, owner->Options, owner);
            s->codes.insert(QStringLiteral("wrld"), R::srUnknownInputWord);
            s->codes.insert(QStringLiteral("nospace"), R::srMissingSpace);
            s->codes.insert(QString(70, u'x'), R::srUnknownInputWord);
            s->suggestions.insert(QStringLiteral("wrld"), {QStringLiteral("world"), QStringLiteral("word")});
            s->findRepeats = true;
            m_speller = s.get();
            return s;
        });
        m_checker->setDialogFactory([this](TSpellChecker *c) {
            m_dialog = new TSpellerDialog2(c, &m_ui);
            m_dialog->activeDocument = [this] { return m_core.get(); };
            return m_dialog.data();
        });
    }
    void cleanup()
    {
        delete m_dialog;
        m_checker.reset();
    }

    void errorWithSuggestionsThenEditedThenUndone()
    {
        start(QStringLiteral("Hello wrld here.\nNext"));
        QVERIFY(m_dialog && m_dialog->isVisible());
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Language English (United States)"));
        QVERIFY(m_dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(m_dialog->InfoMsg->text(), QStringLiteral("Unknown word"));
        QCOMPARE(m_dialog->Misspelling->toPlainText(), QStringLiteral("Hello wrld here."));
        QCOMPARE(m_dialog->Variants->count(), 2);
        QCOMPARE(m_dialog->Variants->currentRow(), 0);
        for (QPushButton *b : {m_dialog->ChangeButton, m_dialog->ChangeAllButton, m_dialog->SkipButton,
                               m_dialog->SkipAllButton, m_dialog->AddButton})
            QVERIFY2(visibleAndEnabled(b), qPrintable(b->objectName()));
        QVERIFY(!m_dialog->DelButton->isVisible() && !m_dialog->StartButton->isVisible()
                && !m_dialog->CancelEdit->isVisible());
        // The error is marked; the rest is not.
        QTextCursor c(m_dialog->Misspelling->document());
        c.setPosition(7);
        QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
        c.setPosition(2);
        QVERIFY(c.charFormat().foreground().color() != QColor(255, 0, 0));

        // Typing outside the error is refused; inside it is an edit.
        m_dialog->Misspelling->setFocus();
        QTextCursor caret = m_dialog->Misspelling->textCursor();
        caret.setPosition(1);
        m_dialog->Misspelling->setTextCursor(caret);
        QTest::keyClicks(m_dialog->Misspelling, QStringLiteral("zz"));
        QTest::keyClick(m_dialog->Misspelling, Qt::Key_Backspace);
        QCOMPARE(m_dialog->Misspelling->toPlainText(), QStringLiteral("Hello wrld here."));
        QVERIFY(!m_dialog->CancelEdit->isVisible());
        caret.setPosition(7);
        m_dialog->Misspelling->setTextCursor(caret);
        QTest::keyClicks(m_dialog->Misspelling, QStringLiteral("o"));
        QCOMPARE(m_dialog->Misspelling->toPlainText(), QStringLiteral("Hello world here."));
        QVERIFY(m_dialog->CancelEdit->isVisible());
        QVERIFY(visibleAndEnabled(m_dialog->ChangeButton));
        QVERIFY(!m_dialog->ChangeAllButton->isEnabled() && !m_dialog->AddButton->isEnabled());
        QVERIFY(!m_dialog->Variants->isEnabled());

        m_dialog->CancelEdit->click();
        QCOMPARE(m_dialog->Misspelling->toPlainText(), QStringLiteral("Hello wrld here."));
        QVERIFY(!m_dialog->CancelEdit->isVisible());
        QVERIFY(visibleAndEnabled(m_dialog->ChangeAllButton));

        // An edit put in place by Change.
        caret.setPosition(10);
        m_dialog->Misspelling->setTextCursor(caret);
        QTest::keyClick(m_dialog->Misspelling, Qt::Key_Backspace);
        QTest::keyClicks(m_dialog->Misspelling, QStringLiteral("ldly"));
        m_dialog->ChangeButton->click();
        QCOMPARE(m_core->Text(), QStringLiteral("Hello wrlldly here.\nNext"));
        QVERIFY(!m_checker->isChecking());
        QVERIFY(!m_dialog->isVisible());
    }

    void suggestionChangesAndDoubleClick()
    {
        start(QStringLiteral("wrld and wrld"));
        m_dialog->Variants->setCurrentRow(1);
        m_dialog->ChangeButton->click();
        QCOMPARE(m_core->Text(), QStringLiteral("word and wrld"));
        emit m_dialog->Variants->itemDoubleClicked(m_dialog->Variants->item(0));
        QCOMPARE(m_core->Text(), QStringLiteral("word and world"));
    }

    void repeatedWordAndNoSuggestionStates()
    {
        start(QStringLiteral("the the nospace"));
        QCOMPARE(m_dialog->InfoMsg->text(), QStringLiteral("Repeated word"));
        QVERIFY(visibleAndEnabled(m_dialog->DelButton));
        QVERIFY(!m_dialog->ChangeButton->isVisible());
        QVERIFY(!m_dialog->SkipAllButton->isEnabled() && !m_dialog->AddButton->isEnabled());
        QVERIFY(visibleAndEnabled(m_dialog->SkipButton));
        m_dialog->DelButton->click();
        QCOMPARE(m_core->Text(), QStringLiteral("the nospace"));
        QCOMPARE(m_dialog->InfoMsg->text(), QStringLiteral("Missing space"));
        QVERIFY(m_dialog->ChangeButton->isVisible() && !m_dialog->ChangeButton->isEnabled());
        QVERIFY(!m_dialog->DelButton->isVisible());
        QCOMPARE(m_dialog->Variants->count(), 0);
        m_dialog->CancelButton->click();
        QVERIFY(!m_checker->isChecking());
    }

    void longWordCannotBeAddedOrSkippedForGood()
    {
        start(QString(70, u'x'));
        QVERIFY(!m_dialog->SkipAllButton->isEnabled());
        QVERIFY(!m_dialog->AddButton->isEnabled());
        QVERIFY(visibleAndEnabled(m_dialog->SkipButton));
    }

    void inactiveDialogRestartsWithStart()
    {
        start(QStringLiteral("wrld one wrld"));
        m_dialog->becomeInactive();
        QVERIFY(visibleAndEnabled(m_dialog->StartButton));
        QVERIFY(visibleAndEnabled(m_dialog->CancelButton));
        for (QWidget *w : {static_cast<QWidget *>(m_dialog->SkipButton), static_cast<QWidget *>(m_dialog->AddButton),
                           static_cast<QWidget *>(m_dialog->Variants)})
            QVERIFY(!w->isEnabled());
        QVERIFY(m_dialog->Misspelling->toPlainText().isEmpty());
        // The user moved the caret in the document: Start checks from there.
        m_core->select(5, 0);
        m_dialog->StartButton->click();
        QCOMPARE(m_core->SelStart(), 9);
        QVERIFY(!m_dialog->StartButton->isVisible());
        QVERIFY(visibleAndEnabled(m_dialog->ChangeButton));
    }

    void closingTheDocumentWindowMidCheck()
    {
        start(QStringLiteral("wrld one"));
        m_core.reset();
        m_dialog->SkipButton->click();
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(!m_checker->isChecking());
        m_core = std::make_unique<DocumentCore>();
    }
};

QTEST_MAIN(TestSpellerDialog)
#include "tst_spellerdialog.moc"
