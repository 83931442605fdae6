#include "FrameFixture.h"
#include "app/MultiClipboard.h"
#include "app/MultiClipboardBar.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

// The multi-clipboard: slots catching clipboard changes, putting slots back,
// the strip of slot buttons with its pop-up and shortcuts, and all of it in
// the frame.
class TestMultiClipboard : public QObject
{
    Q_OBJECT

    static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

    static void copyText(const QString &text) { clipboard()->setText(text); }

    static void copyHtml(const QString &html, const QString &text)
    {
        auto *data = new QMimeData;
        data->setHtml(html);
        data->setText(text);
        clipboard()->setMimeData(data);
    }

    static QStringList buttonLefts(const MultiClipboardBar &bar)
    {
        QStringList lefts;
        for (int slot = 0; bar.button(slot); ++slot)
            lefts << QString::number(bar.button(slot)->x());
        return lefts;
    }

private slots:
    void clipboardChangesGoIntoTheSelectedSlot()
    {
        QWidget host;
        MultiClipboard clip(&host);
        clip.addSlot();
        clip.addSlot();
        copyText(QStringLiteral("first"));
        QCOMPARE(clip.buffer(0)->Text(), QStringLiteral("first"));
        QVERIFY(clip.buffer(0)->PlainText());
        QCOMPARE(clip.hint(0), QStringLiteral("first"));

        clip.setSelected(1);
        copyHtml(QStringLiteral("<p><b>bold</b> words</p>"), QStringLiteral("bold words"));
        QCOMPARE(clip.buffer(1)->Text(), QStringLiteral("bold words"));
        QVERIFY(!clip.buffer(1)->PlainText());
        clip.buffer(1)->select(0, 1);
        QVERIFY(clip.buffer(1)->SelAttributes().Style().testFlag(TFontStyle::fsBold));
        // The other slot keeps its content.
        QCOMPARE(clip.buffer(0)->Text(), QStringLiteral("first"));

        // A long copy: the hint is its first 255 characters.
        QString longText;
        for (int i = 0; longText.size() < 400; ++i)
            longText += QString::number(i) + u' ';
        copyText(longText);
        QCOMPARE(clip.hint(1), longText.left(MultiClipboard::HintLength));
        QCOMPARE(clip.buffer(1)->Text(), longText);
        QVERIFY(clip.buffer(1)->PlainText());

        // An empty clipboard (no formats at all, as when the owner of an X11
        // clipboard quits) leaves the slot as it was.
        clipboard()->setMimeData(new QMimeData);
        QCOMPARE(clip.buffer(1)->Text(), longText);
        QCOMPARE(clip.hint(1), longText.left(MultiClipboard::HintLength));

        // Every buffer: no word wrap, no undo.
        for (int slot = 0; slot < clip.count(); ++slot) {
            QVERIFY(!clip.buffer(slot)->WordWrap());
            QCOMPARE(clip.buffer(slot)->UndoLimit(), 0);
            QVERIFY(!clip.buffer(slot)->CanUndo());
            QVERIFY(clip.buffer(slot)->isHidden());
        }
    }

    void activatingASlotPutsItBackWithoutCapturingIt()
    {
        QWidget host;
        MultiClipboard clip(&host);
        clip.addSlot();
        clip.addSlot();
        copyText(QStringLiteral("alpha"));
        clip.setSelected(1);
        copyHtml(QStringLiteral("<i>beta</i>"), QStringLiteral("beta"));

        int captures = 0;
        connect(&clip, &MultiClipboard::hintChanged, this, [&captures] { ++captures; });
        QVERIFY(!clip.activate(0));
        QCOMPARE(clipboard()->text(), QStringLiteral("alpha"));
        // Plain text goes back as plain text only.
        QVERIFY(!clipboard()->mimeData()->hasHtml());
        QVERIFY(!clipboard()->mimeData()->hasFormat(QStringLiteral("text/rtf")));
        QCOMPARE(captures, 0);
        QCOMPARE(clip.selected(), 0);
        // A late report of the same change is no new content either.
        clip.capture();
        QCOMPARE(captures, 0);

        QVERIFY(!clip.activate(1));
        QCOMPARE(clipboard()->text(), QStringLiteral("beta"));
        QVERIFY(clipboard()->mimeData()->hasFormat(QStringLiteral("text/rtf")));
        QCOMPARE(captures, 0);
        QCOMPARE(clip.buffer(1)->Text(), QStringLiteral("beta"));

        // The last slot is empty: the clipboard keeps what it had, and a new
        // slot opens behind it.
        QVERIFY(clip.activate(2));
        QCOMPARE(clip.count(), 4);
        QCOMPARE(clip.selected(), 2);
        QCOMPARE(clipboard()->text(), QStringLiteral("beta"));
        QVERIFY(!clip.activate(7));
        QCOMPARE(clip.count(), 4);
        QCOMPARE(clip.selected(), 2);

        copyText(QStringLiteral("gamma"));
        QCOMPARE(clip.buffer(2)->Text(), QStringLiteral("gamma"));
        QCOMPARE(clip.buffer(1)->Text(), QStringLiteral("beta"));
    }

    void richContentRoundTripsWhole()
    {
        // Copied from a rich document: the slot gives back every character,
        // the paragraph breaks between and the format.
        QWidget host;
        MultiClipboard clip(&host);
        clip.addSlot();
        TRichTextEdit source;
        source.setSelText(QStringLiteral("one\ntwo"));
        source.select(0, 3);
        source.SelAttributes().setStyle(TFontStyle::fsBold);
        source.selectAll();
        source.Copy();
        QCOMPARE(clip.buffer(0)->Text(), QStringLiteral("one\ntwo"));
        QVERIFY(!clip.buffer(0)->PlainText());

        clip.setSelected(1);
        copyText(QStringLiteral("something else"));
        clip.activate(0);
        TRichTextEdit target;
        target.Paste();
        QCOMPARE(target.Text(), QStringLiteral("one\ntwo"));
        target.select(0, 1);
        QVERIFY(target.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        target.select(4, 1);
        QVERIFY(!target.SelAttributes().Style().testFlag(TFontStyle::fsBold));
    }

    void plainTextTakesTheBufferFont()
    {
        QWidget host;
        MultiClipboard clip(&host);
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPointSize(14);
        clip.setFont(font);
        const int added = clip.addSlot();
        QCOMPARE(clip.buffer(added)->font().pointSize(), 14);
        copyText(QStringLiteral("plain"));
        clip.buffer(0)->select(0, 1);
        QCOMPARE(clip.buffer(0)->SelAttributes().Size(), 14);
        QCOMPARE(clip.buffer(0)->SelAttributes().Name(), QStringLiteral("Liberation Serif"));
    }

    void stripOfButtons()
    {
        QWidget host;
        auto *bar = new MultiClipboardBar(&host, &host);
        host.resize(600, 100);
        host.show();
        MultiClipboard *clip = bar->clipboard();
        QCOMPARE(clip->count(), 3);
        QVERIFY(bar->button(0)->isChecked());
        QCOMPARE(bar->button(0)->objectName(), QStringLiteral("SpeedButton10"));
        QCOMPARE(bar->label(2)->text(), QStringLiteral("3"));
        QCOMPARE(bar->label(0)->objectName(), QStringLiteral("Label1"));
        QCOMPARE(bar->label(0)->alignment(), Qt::AlignCenter);

        const QList<QAction *> items = bar->slotMenu()->actions();
        QCOMPARE(items.size(), 10);
        QCOMPARE(items.at(0)->objectName(), QStringLiteral("N11"));
        QCOMPARE(items.at(9)->objectName(), QStringLiteral("N101"));
        QCOMPARE(items.at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+3")));
        QVERIFY(items.at(3)->shortcut().isEmpty());

        bar->setCaption(QStringLiteral("MultiClipBoard "));
        const int titledWidth = bar->width();
        QVERIFY(titledWidth > MultiClipboardBar::buttonLeft(2) + 24);

        // Ctrl+5 with four slots does nothing; the third slot adds a fourth.
        QTest::mouseClick(bar->button(2), Qt::LeftButton);
        QCOMPARE(clip->count(), 4);
        QVERIFY(bar->button(2)->isChecked());
        QVERIFY(bar->caption().isEmpty());
        QCOMPARE(bar->width(), bar->button(3)->x() + 24);
        QCOMPARE(bar->popup()->width(), bar->width() - 3);
        items.at(4)->trigger();
        QCOMPARE(clip->count(), 4);
        QCOMPARE(clip->selected(), 2);
        QVERIFY(bar->button(2)->isChecked());
        QCOMPARE(items.at(3)->shortcut(), QKeySequence(QStringLiteral("Ctrl+4")));
        items.at(1)->trigger();
        QCOMPARE(clip->selected(), 1);
        QVERIFY(bar->button(1)->isChecked());
        QVERIFY(!bar->button(2)->isChecked());

        // The title stays away once slots were added, in any language.
        bar->setCaption(QStringLiteral("Zwischenablage "));
        QVERIFY(bar->caption().isEmpty());

        // One pixel between buttons, eight more after every five.
        while (clip->count() < 12)
            bar->button(clip->last())->click();
        const int step = MultiClipboardBar::ButtonWidth + 1;
        QCOMPARE(bar->button(4)->x() - bar->button(3)->x(), step);
        QCOMPARE(bar->button(5)->x() - bar->button(4)->x(), step + 8);
        QCOMPARE(bar->button(10)->x() - bar->button(9)->x(), step + 8);
        QCOMPARE(bar->button(11)->x() - bar->button(10)->x(), step);
        QCOMPARE(bar->label(5)->x(), bar->button(5)->x() - 3);
        QCOMPARE(items.at(9)->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
        // The eleventh slot and later have no item and no shortcut.
        QCOMPARE(bar->slotMenu()->actions().size(), 10);
        QCOMPARE(bar->label(11)->text(), QStringLiteral("12"));
    }

    void numberPopupWhileTheMouseIsOverTheStrip()
    {
        QWidget host;
        host.resize(500, 300);
        auto *anchor = new QWidget(&host);
        anchor->setGeometry(0, 200, 500, 30);
        auto *bar = new MultiClipboardBar(&host, &host);
        bar->move(300, 240);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        bar->setPopupAnchor(anchor);

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(bar->button(1), &enter);
        QVERIFY(bar->popup()->isVisible());
        QCOMPARE(bar->popup()->x(), 300);
        QCOMPARE(bar->popup()->geometry().bottom() + 1, 200 - 2);
        QVERIFY(bar->popupTimer()->isActive());
        QCOMPARE(bar->popupTimer()->interval(), 1000);

        QCursor::setPos(bar->mapToGlobal(QPoint(5, 5)));
        bar->Timer2Timer();
        QVERIFY(bar->popup()->isVisible());
        // On the strip's edge counts as outside.
        QCursor::setPos(bar->mapToGlobal(QPoint(0, 5)));
        bar->Timer2Timer();
        QVERIFY(!bar->popup()->isVisible());
        QVERIFY(!bar->popupTimer()->isActive());
    }

    void frameStartsWithThreeSlotsHoldingTheClipboard()
    {
        copyText(QStringLiteral("there before the start"));
        FrameFixture fx;
        fx.start({});
        MultiClipboardBar *bar = fx.frame->multiClipboard();
        QCOMPARE(bar->clipboard()->count(), 3);
        QVERIFY(bar->button(0)->isChecked());
        QCOMPARE(bar->clipboard()->buffer(0)->Text(), QStringLiteral("there before the start"));
        QVERIFY(bar->button(0)->toolTip().contains(QLatin1String("there before the start")));
        QCOMPARE(bar->caption(), QStringLiteral("MultiClipBoard "));
        QCOMPARE(bar->parentWidget(), fx.frame->statusBar());
        // The buffers take the standard font of the settings.
        QCOMPARE(bar->clipboard()->buffer(2)->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(bar->clipboard()->buffer(2)->font().pointSize(), 11);

        // Copy in a document: it goes into the selected slot.
        TEditForm *form = fx.frame->activeDocument();
        form->Editor()->setSelText(QStringLiteral("hello world"));
        form->Editor()->select(0, 5);
        form->action(EditAction::Copy1)->trigger();
        QCOMPARE(bar->clipboard()->buffer(0)->Text(), QStringLiteral("hello"));

        // The third (last) slot adds a fourth; copies then go into the third.
        QTest::mouseClick(bar->button(2), Qt::LeftButton);
        QCOMPARE(bar->clipboard()->count(), 4);
        QVERIFY(bar->caption().isEmpty());
        form->Editor()->select(6, 5);
        form->action(EditAction::Copy1)->trigger();
        QCOMPARE(bar->clipboard()->buffer(2)->Text(), QStringLiteral("world"));
        QCOMPARE(bar->clipboard()->buffer(0)->Text(), QStringLiteral("hello"));

        // The first slot back on the clipboard pastes its content, which stays.
        QTest::mouseClick(bar->button(0), Qt::LeftButton);
        form->Editor()->setSelStart(form->Editor()->TextLength());
        form->action(EditAction::Paste1)->trigger();
        QCOMPARE(form->Editor()->Text(), QStringLiteral("hello worldhello"));
        QCOMPARE(bar->clipboard()->buffer(0)->Text(), QStringLiteral("hello"));

        // Shortcuts: Ctrl+5 with four slots does nothing, Ctrl+3 picks slot 3.
        fx.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fx.frame.get()));
        form->Editor()->setFocus();
        QTest::keyClick(form->Editor(), Qt::Key_5, Qt::ControlModifier);
        QCOMPARE(bar->clipboard()->count(), 4);
        QVERIFY(bar->button(0)->isChecked());
        QCOMPARE(form->Editor()->Text(), QStringLiteral("hello worldhello"));
        QTest::keyClick(form->Editor(), Qt::Key_3, Qt::ControlModifier);
        QVERIFY(bar->button(2)->isChecked());
        QCOMPARE(clipboard()->text(), QStringLiteral("world"));
    }
};

QTEST_MAIN(TestMultiClipboard)
#include "tst_multiclipboard.moc"
