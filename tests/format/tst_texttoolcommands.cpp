#include "FrameFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QtTest>

// The text tools through the document window's own actions and menus.
class TestTextToolCommands : public QObject
{
    Q_OBJECT
    FrameFixture *fx = nullptr;

    TEditForm *newDocument(const QString &text)
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->show();
        form->Editor()->core()->ReplaceSelectionW(text);
        form->Editor()->EmptyUndoBuffer();
        return form;
    }

    static void trigger(QAction *a)
    {
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        a->trigger();
    }

private slots:
    void init()
    {
        fx = new FrameFixture;
        fx->start();
    }

    void cleanup()
    {
        delete fx;
        fx = nullptr;
    }

    void captionsHintsShortcutsAndMenus()
    {
        TEditForm *form = newDocument(QString());
        QCOMPARE(form->action(EditAction::Join1)->text(), QStringLiteral("Join"));
        QCOMPARE(form->action(EditAction::Join1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));
        QCOMPARE(form->action(EditAction::Sort1)->toolTip(), QStringLiteral("Sorts whole file ascending and returns plain text"));
        QCOMPARE(form->action(EditAction::SortDown1)->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D));
        QCOMPARE(form->action(EditAction::FormFeed1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(form->action(EditAction::Paste3)->shortcut(), QKeySequence(Qt::Key_F8));
        QVERIFY(!form->action(EditAction::Sort1)->icon().isNull());
        QVERIFY(!form->action(EditAction::Column1)->icon().isNull());
        const QList<QMenu *> menus = form->editMenus();
        QVERIFY(menus.at(0)->actions().contains(form->action(EditAction::JoinAll1)));
        QVERIFY(menus.at(1)->actions().contains(form->action(EditAction::Date1)));
        QVERIFY(menus.at(2)->actions().contains(form->action(EditAction::InitialCaps1)));
        QCOMPARE(form->action(EditAction::Date1)->menu()->actions().size(), 9);
        QVERIFY(form->action(EditAction::Column1)->menu()->actions().contains(form->action(EditAction::InsertSpace1)));
        // Each sample caption is a date or time, not the format.
        for (int i = 1; i <= 9; ++i)
            QVERIFY(form->dateAction(i)->text().contains(QRegularExpression("\\d")));

        fx->frame->applyTextSet(TextSet::german());
        TEditForm *german = newDocument(QString());
        QCOMPARE(german->action(EditAction::Join1)->text(), QStringLiteral("Verbinden"));
        QCOMPARE(german->action(EditAction::UpperCase1)->text(), QString::fromUtf8("Gro\u00dfbuchstaben"));
    }

    void joinAndSortUndoneByUndo()
    {
        TEditForm *form = newDocument(QStringLiteral("b\nc\n\na"));
        TRichTextEdit *e = form->Editor();
        e->selectAll();
        trigger(form->action(EditAction::Join1));
        QCOMPARE(e->Text(), QStringLiteral("b c\n\na"));
        trigger(form->action(EditAction::Undo1));
        QCOMPARE(e->Text(), QStringLiteral("b\nc\n\na"));

        trigger(form->action(EditAction::SortDown1));
        QCOMPARE(e->Text(), QStringLiteral("c\nb\na\n"));
        QVERIFY(form->isSaveEnabled());
        trigger(form->action(EditAction::Undo1));
        QCOMPARE(e->Text(), QStringLiteral("b\nc\n\na"));
    }

    void aJoinTooLongToShowIsExplained()
    {
        TEditForm *form = newDocument(QStringLiteral("ab\ncd\nef"));
        TRichTextEdit *e = form->Editor();
        DocumentCore::Limits limits = e->core()->limits();
        limits.longestLine = 5;
        e->core()->setLimits(limits);
        e->selectAll();
        trigger(form->action(EditAction::JoinAll1));
        QCOMPARE(e->Text(), QStringLiteral("ab\ncd\nef"));
        QCOMPARE(fx->ui.shown.size(), 1);
        QCOMPARE(fx->ui.shown.last().message.text,
                 QStringLiteral("The joined line would have more than 5 characters, which cannot be shown; "
                                "nothing was joined."));
    }

    void windowStaysOpenWhileAToolRuns()
    {
        QStringList lines;
        for (int i = 0; i < 3000; ++i)
            lines << QString::number((i * 7919) % 3000);
        TEditForm *form = newDocument(lines.join(u'\n'));
        QList<int> reports;
        bool closed = true;
        connect(form, &TEditForm::toolProgressed, this, [&](int percent) {
            if (reports.isEmpty()) {
                // The document is half sorted here: the window must not go.
                QVERIFY(form->Loading());
                closed = form->close();
            }
            reports << percent;
        });
        trigger(form->action(EditAction::Sort1));
        QVERIFY(!closed);
        QVERIFY(!form->Loading());
        QCOMPARE(reports.first(), 0);
        QCOMPARE(reports.last(), 100);
        QVERIFY(form->Editor()->Text().startsWith(QStringLiteral("0\n1\n10\n100\n")));
        trigger(form->action(EditAction::Undo1));
        QCOMPARE(form->Editor()->Text(), lines.join(u'\n'));
        // Nor while an undo is held.
        closed = true;
        form->Editor()->runHeld([&] {
            form->Editor()->Redo();
            form->Editor()->document()->setModified(false); // no question to answer
            closed = form->close();
        });
        QVERIFY(!closed);
        QVERIFY(!form->Loading());
    }

    void caseCommandsNeedASelection()
    {
        TEditForm *form = newDocument(QStringLiteral("\u03b1\u03b2 hello"));
        TRichTextEdit *e = form->Editor();
        QMenu *format = form->editMenus().at(2);
        e->select(0, 0);
        emit format->aboutToShow();
        QVERIFY(!form->action(EditAction::UpperCase1)->isEnabled());
        e->selectAll();
        emit format->aboutToShow();
        trigger(form->action(EditAction::UpperCase1));
        QCOMPARE(e->Text(), QStringLiteral("\u0391\u0392 HELLO"));
        e->selectAll();
        emit format->aboutToShow();
        trigger(form->action(EditAction::InitialCaps1));
        QCOMPARE(e->Text(), QStringLiteral("\u0391\u03b2 Hello"));
        trigger(form->action(EditAction::Undo1));
        QCOMPARE(e->Text(), QStringLiteral("\u0391\u0392 HELLO"));
    }

    void columnCommandsNeedWordWrapOff()
    {
        TEditForm *form = newDocument(QStringLiteral("abcd\nefgh\nijkl"));
        TRichTextEdit *e = form->Editor();
        if (!e->WordWrap())
            form->Wordwrap1Click();
        QVERIFY(!form->action(EditAction::Delete2)->isEnabled());
        QVERIFY(!form->action(EditAction::Paste3)->isEnabled());
        form->Wordwrap1Click();
        QApplication::clipboard()->setText(QStringLiteral("xy"));
        emit form->action(EditAction::Column1)->menu()->aboutToShow();
        QVERIFY(form->action(EditAction::Delete2)->isEnabled());
        QVERIFY(form->action(EditAction::Paste3)->isEnabled());

        e->select(1, e->LineIndex(2) + 1 - 1);
        trigger(form->action(EditAction::Paste3));
        QCOMPARE(e->Text(), QStringLiteral("axybcd\nexyfgh\nixyjkl"));
        QCOMPARE(e->SelStart(), 1);
        QCOMPARE(e->SelStart() + e->SelLength(), e->LineIndex(2) + 3);
        trigger(form->action(EditAction::Undo1));
        QCOMPARE(e->Text(), QStringLiteral("abcd\nefgh\nijkl"));

        // A clipboard with nothing on it leaves paste column disabled.
        QApplication::clipboard()->clear();
        emit form->action(EditAction::Column1)->menu()->aboutToShow();
        QVERIFY(!form->action(EditAction::Paste3)->isEnabled());

        e->select(0, e->TextLength());
        trigger(form->action(EditAction::InsertSpace1));
        QCOMPARE(e->Text(), QStringLiteral(" abcd\n efgh\n ijkl"));
        QCOMPARE(e->SelLength(), 14 + 2);
        trigger(form->action(EditAction::Delete2));
        QCOMPARE(e->Text(), QStringLiteral("abcd\nefgh\nijkl"));
    }

    void insertionsAndPageNumbers()
    {
        TEditForm *form = newDocument(QStringLiteral("ab"));
        TRichTextEdit *e = form->Editor();
        e->select(1, 0);
        trigger(form->action(EditAction::Path1));
        QCOMPARE(e->Text(), QStringLiteral("aUntitledb"));
        QCOMPARE(e->SelStart(), 9);
        trigger(form->action(EditAction::FormFeed1));
        QCOMPARE(e->Text(), QStringLiteral("aUntitled\fb"));
        QCOMPARE(e->SelStart(), 11);
        e->select(0, 0);
        trigger(form->dateAction(8));
        QVERIFY(e->Text().startsWith(QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy"))));

        QAction *pageNo = form->action(EditAction::PageNo1);
        QVERIFY(!pageNo->isChecked());
        pageNo->trigger();
        QVERIFY(fx->frame->pageNoPrint());
        // Windows made later take the switch; the settings keep it.
        QVERIFY(newDocument(QString())->action(EditAction::PageNo1)->isChecked());
        fx->discardChanges();
        QVERIFY(fx->frame->close());
        QVERIFY(fx->settingsFile().contains("\r\nPageNoPrint\r\n"));
    }
};

QTEST_MAIN(TestTextToolCommands)
#include "tst_texttoolcommands.moc"
