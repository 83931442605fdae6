#include "FrameFixture.h"
#include "format/ui/ColorPanel.h"
#include "format/ui/DocumentFormatting.h"
#include "format/ui/FormatMenu.h"
#include "format/ui/FormatToolBar.h"
#include "format/ui/Ruler.h"
#include "format/ui/TParaFormatDlg.h"
#include "platform/Settings.h"
#include "platform/SettingsLines.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

namespace {

struct Window {
    TEditForm *form = nullptr;
    DocumentFormatting *formatting = nullptr;
    FormatToolBar *bar = nullptr;
    FormatMenu *menu = nullptr;
    DocumentCore *core = nullptr;
};

Window activeWindow(TFrameForm *frame)
{
    Window w;
    w.form = frame->documents().value(0);
    w.formatting = DocumentFormatting::of(w.form);
    if (w.formatting) {
        w.bar = w.formatting->toolBar();
        w.menu = w.formatting->menu();
    }
    w.core = w.form ? w.form->Editor()->core() : nullptr;
    return w;
}

bool boldAt(DocumentCore *core, int position)
{
    QTextCursor c(core->document());
    c.setPosition(position + 1);
    return c.charFormat().fontWeight() >= QFont::DemiBold;
}

// Drags a marker by dx pixels; answers its left edge before the drop.
int drag(QWidget *marker, int dx)
{
    const QPoint start(marker->width() / 2, marker->height() / 2);
    QTest::mousePress(marker, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start.x() + dx, start.y()), marker->mapToGlobal(QPointF(start)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(marker, &move);
    const int left = marker->x();
    QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(marker->width() / 2, start.y()));
    return left;
}

} // namespace

class TestFormatToolBar : public QObject
{
    Q_OBJECT

private slots:
    void toolBarFormatsTheWordAndFollowsTheCaret();
    void colourPanelsKeepTheirSettings();
    void fontSizeBoxRefusesWhatLayoutCannotTake();
    void numberingFromButtonAndMenu();
    void menuChecksAndEffects();
    void fontDialogAppliesAndConfirms();
    void paragraphDialogWritesOnlyOnOk();
    void rulerMarkersAreDraggedAndClamped();
};

void TestFormatToolBar::toolBarFormatsTheWordAndFollowsTheCaret()
{
    FrameFixture fx;
    TFrameForm *frame = fx.start({});
    Window w = activeWindow(frame);
    QVERIFY(w.formatting);
    // The document's tool bar with its formatting controls sits in the frame.
    QVERIFY(w.form->toolBar()->isVisible());
    QVERIFY(w.form->toolBar()->findChild<QToolButton *>(QStringLiteral("ToolButton26")));
    QCOMPARE(w.bar->ToolButton26->toolTip(), QStringLiteral("Bold"));

    w.core->setSelText(QStringLiteral("plain words here"));
    w.core->select(8, 0);
    QTest::mouseClick(w.bar->ToolButton26, Qt::LeftButton);
    QVERIFY(boldAt(w.core, 6));
    QVERIFY(boldAt(w.core, 10));
    QVERIFY(!boldAt(w.core, 2));
    QVERIFY(!boldAt(w.core, 12));

    // Moving the caret sets the controls, and that runs no command.
    w.core->select(2, 0);
    QVERIFY(!w.bar->ToolButton26->isChecked());
    w.core->select(7, 0);
    QVERIFY(w.bar->ToolButton26->isChecked());
    QCOMPARE(w.core->CanUndo(), true);
    w.core->Undo();
    QVERIFY(!boldAt(w.core, 6));

    // Superscript and subscript exclude each other.
    w.core->select(0, 5);
    QTest::mouseClick(w.bar->ToolButton10, Qt::LeftButton);
    QCOMPARE(w.core->SelAttributes().SubscriptStyle(), TSubscriptStyle::ssSuperscript);
    QTest::mouseClick(w.bar->ToolButton14, Qt::LeftButton);
    QVERIFY(!w.bar->ToolButton10->isChecked());
    QCOMPARE(w.core->SelAttributes().SubscriptStyle(), TSubscriptStyle::ssSubscript);

    // Alignment buttons and the indent buttons.
    QTest::mouseClick(w.bar->ToolButton20, Qt::LeftButton);
    QCOMPARE(w.core->Paragraph().Alignment(), TAlignment::taCenter);
    QTest::mouseClick(w.bar->ToolButton33, Qt::LeftButton);
    QCOMPARE(w.core->Paragraph().FirstIndent(), -20);

    // The font box: entering it with nothing selected takes the next character.
    w.core->select(3, 0);
    w.bar->FontComboBox1->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return w.bar->FontComboBox1->hasFocus(); }, 2000));
    QCOMPARE(w.core->SelLength(), 1);
    w.bar->FontComboBox1->setCurrentFont(QFont(QStringLiteral("Monospace")));
    QCOMPARE(w.core->SelAttributes().Name(), w.bar->FontComboBox1->currentFont().family());
}

void TestFormatToolBar::colourPanelsKeepTheirSettings()
{
    FrameFixture fx;
    QStringList lines;
    for (int i = 0; i < 49; ++i)
        lines << QString();
    lines[SettingsLine::LastTextColor] = QStringLiteral("16711680");
    lines[SettingsLine::LastBackColor] = QStringLiteral("not a number");
    fx.writeSettings(lines);
    TFrameForm *frame = fx.start({});
    Window w = activeWindow(frame);
    QCOMPARE(w.bar->Panel3->color(), QColor(Qt::blue));
    QCOMPARE(w.bar->Panel4->color(), QColor(Qt::yellow));

    w.core->setSelText(QStringLiteral("colour me"));
    w.core->select(0, 6);
    fx.ui.colorAnswers.enqueue(QColor(0, 128, 0));
    QTest::mouseClick(w.bar->ToolButton21, Qt::LeftButton);
    QCOMPARE(w.bar->Panel3->color(), QColor(0, 128, 0));
    QCOMPARE(frame->settings().line(SettingsLine::LastTextColor), QString::number(128 << 8));
    QCOMPARE(w.core->SelAttributes().Color(), QColor(0, 128, 0));
    // A cancelled dialog changes nothing.
    fx.ui.colorAnswers.enqueue(std::nullopt);
    QTest::mouseClick(w.bar->ToolButton34, Qt::LeftButton);
    QCOMPARE(w.bar->Panel4->color(), QColor(Qt::yellow));

    QTest::mouseClick(w.bar->Panel4, Qt::LeftButton);
    QCOMPARE(w.core->SelAttributes().BackColor(), QColor(Qt::yellow));
    QCOMPARE(w.bar->Panel4->frameShadow(), QFrame::Raised);
    QTest::mouseClick(w.bar->Panel6, Qt::LeftButton);
    QTest::mouseClick(w.bar->Panel5, Qt::LeftButton);
    QCOMPARE(w.core->SelAttributes().Color(), QColor(Qt::black));
    QTextCursor c(w.core->document());
    c.setPosition(1);
    QCOMPARE(c.charFormat().background().style(), Qt::NoBrush);
}

void TestFormatToolBar::fontSizeBoxRefusesWhatLayoutCannotTake()
{
    FrameFixture fx;
    Window w = activeWindow(fx.start({}));
    w.core->setSelText(QStringLiteral("size"));
    w.core->select(0, 4);
    w.bar->FontSize->setValue(24);
    QCOMPARE(w.core->SelAttributes().Size(), 24);
    w.bar->FontSize->setValue(2147483647);
    QCOMPARE(w.core->SelAttributes().Size(), 24);
    QCOMPARE(w.bar->FontSize->value(), 24);
    QVERIFY(!fx.ui.beeps.isEmpty());
}

void TestFormatToolBar::numberingFromButtonAndMenu()
{
    FrameFixture fx;
    Window w = activeWindow(fx.start({}));
    w.core->setSelText(QStringLiteral("one\ntwo"));
    QAction *startAction = w.form->toolBar()->findChild<QAction *>(QStringLiteral("NumberingStartAction"));
    QVERIFY(startAction);
    QVERIFY(!startAction->isVisible());

    // " a)" on an unnumbered paragraph only changes the button.
    w.menu->kindItem(NumberingKind::LowerLetter)->trigger();
    QCOMPARE(w.core->Paragraph().Numbering(), NumberingKind::None);
    w.core->select(4, 0);
    QTest::mouseClick(w.bar->ToolButton22, Qt::LeftButton);
    QCOMPARE(w.core->Paragraph().Numbering(), NumberingKind::LowerLetter);
    QVERIFY(startAction->isVisible());
    w.bar->NumberingStartEdit->setValue(4);
    QCOMPARE(w.core->Paragraph().NumberingStart(), 4);
    w.bar->NumberingStartEdit->setValue(2147483647);
    QCOMPARE(w.core->Paragraph().NumberingStart(), 32767);

    // The caret in an unnumbered paragraph hides the box; back in the list it shows the start.
    w.core->select(0, 0);
    QVERIFY(!w.bar->ToolButton22->isChecked());
    QVERIFY(!startAction->isVisible());
    w.core->select(5, 0);
    QVERIFY(w.bar->ToolButton22->isChecked());
    QVERIFY(startAction->isVisible());
    QCOMPARE(w.bar->NumberingStartEdit->value(), 32767);
    w.menu->kindItem(NumberingKind::Bullet)->trigger();
    QVERIFY(!startAction->isVisible());
    QCOMPARE(w.core->Paragraph().Numbering(), NumberingKind::Bullet);
    w.menu->Bullet1->trigger();
    QCOMPARE(w.core->Paragraph().Numbering(), NumberingKind::None);
    QVERIFY(!w.bar->ToolButton22->isChecked());
    QCOMPARE(w.core->Paragraph().LeftIndent(), 0);
}

void TestFormatToolBar::menuChecksAndEffects()
{
    FrameFixture fx;
    Window w = activeWindow(fx.start({}));
    w.core->setSelText(QStringLiteral("guarded text"));
    w.core->select(0, 7);
    w.menu->FProtected1->trigger();
    QVERIFY(w.menu->FProtected1->isChecked());
    w.core->select(2, 0);
    w.core->setSelText(QStringLiteral("x"));
    QCOMPARE(w.core->Text(), QStringLiteral("guarded text"));

    w.core->select(8, 4);
    w.menu->FHidden1->trigger();
    QVERIFY(w.menu->FHidden1->isChecked());
    w.menu->FDisabled1->trigger();

    // Opening the menu checks from the target.
    w.core->select(1, 0);
    emit w.menu->menu()->aboutToShow();
    QVERIFY(w.menu->FProtected1->isChecked());
    QVERIFY(!w.menu->FHidden1->isChecked());
    w.core->select(9, 0);
    emit w.menu->menu()->aboutToShow();
    QVERIFY(!w.menu->FProtected1->isChecked());
    QVERIFY(w.menu->FHidden1->isChecked());
    QVERIFY(w.menu->FDisabled1->isChecked());

    w.menu->Right1->trigger();
    QCOMPARE(w.core->Paragraph().Alignment(), TAlignment::taRightJustify);
    QVERIFY(w.bar->ToolButton19->isChecked());
    // A justified paragraph leaves buttons and items as they were.
    QTextCursor c(w.core->document());
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    c.mergeBlockFormat(justified);
    w.core->select(0, 0);
    w.menu->Left1->setChecked(true);
    emit w.menu->menu()->aboutToShow();
    QVERIFY(w.menu->Left1->isChecked());
    QVERIFY(w.bar->ToolButton19->isChecked());
}

void TestFormatToolBar::fontDialogAppliesAndConfirms()
{
    FrameFixture fx;
    Window w = activeWindow(fx.start({}));
    w.core->setSelText(QStringLiteral("font dialog"));
    w.core->select(0, 4);
    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSize(20);
    chosen.setItalic(true);
    // Apply writes without closing; cancelling then keeps what Apply wrote.
    fx.ui.onDialog = [&](QDialog *d) {
        auto *dialog = qobject_cast<QFontDialog *>(d);
        if (!dialog)
            return 0;
        dialog->setCurrentFont(chosen);
        auto *apply = dialog->findChild<QPushButton *>(QStringLiteral("ApplyButton"));
        if (apply)
            apply->click();
        return int(QDialog::Rejected);
    };
    w.menu->FormatFont1->trigger();
    QCOMPARE(w.core->SelAttributes().Size(), 20);
    QVERIFY(w.core->SelAttributes().Style().testFlag(TFontStyle::fsItalic));

    w.core->select(5, 6);
    fx.ui.onDialog = [&](QDialog *d) {
        auto *dialog = qobject_cast<QFontDialog *>(d);
        if (!dialog)
            return 0;
        // A family that has a bold face here, so the dialog keeps the weight.
        QString family = QStringLiteral("Serif");
        for (const QString &f : QFontDatabase::families()) {
            if (QFontDatabase::styles(f).contains(QStringLiteral("Bold"))) {
                family = f;
                break;
            }
        }
        QFont bold(family);
        bold.setPointSize(14);
        bold.setBold(true);
        dialog->setCurrentFont(bold);
        dialog->accept();
        return int(QDialog::Accepted);
    };
    w.menu->FormatFont1->trigger();
    QCOMPARE(w.core->SelAttributes().Size(), 14);
    QVERIFY(w.core->SelAttributes().Style().testFlag(TFontStyle::fsBold));
    QVERIFY(w.bar->ToolButton26->isChecked());
}

void TestFormatToolBar::paragraphDialogWritesOnlyOnOk()
{
    FrameFixture fx;
    Window w = activeWindow(fx.start({}));
    w.core->setSelText(QStringLiteral("first\nsecond"));
    w.core->select(0, w.core->TextLength());
    QTextCursor c(w.core->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    c.mergeBlockFormat(justified);

    int shownAlignment = -1;
    fx.ui.onDialog = [&](QDialog *d) {
        auto *dialog = qobject_cast<TParaFormatDlg *>(d);
        if (!dialog)
            return 0;
        shownAlignment = dialog->Alignment->checkedId();
        dialog->FirstIndent->setValue(30);
        dialog->LineSpacing->setValue(12);
        return int(QDialog::Rejected);
    };
    w.menu->Paragraph1->trigger();
    QCOMPARE(shownAlignment, 2);
    QCOMPARE(w.core->Paragraph().FirstIndent(), 0);
    QCOMPARE(w.core->document()->lastBlock().blockFormat().alignment(), Qt::AlignJustify);

    // Confirming unchanged centres the justified paragraphs; line spacing 12 is "at least".
    fx.ui.onDialog = [&](QDialog *d) {
        auto *dialog = qobject_cast<TParaFormatDlg *>(d);
        if (!dialog)
            return 0;
        dialog->FirstIndent->setValue(30);
        dialog->SpaceAfter->setValue(6);
        dialog->LineSpacing->setValue(12);
        return int(QDialog::Accepted);
    };
    w.menu->Paragraph1->trigger();
    for (QTextBlock b = w.core->document()->begin(); b.isValid(); b = b.next()) {
        const ParagraphValues v = ParagraphFormat::read(b);
        QCOMPARE(v.alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(v.firstIndent, 600);
        QCOMPARE(v.spaceAfter, 120);
        QCOMPARE(v.lineSpacingRule, 3);
        QCOMPARE(v.lineSpacing, 240);
    }
    // Line spacing 0 is single spacing again; one undo step per dialog.
    fx.ui.onDialog = [&](QDialog *d) {
        if (auto *dialog = qobject_cast<TParaFormatDlg *>(d))
            dialog->LineSpacing->setValue(0);
        return int(QDialog::Accepted);
    };
    w.menu->Paragraph1->trigger();
    QCOMPARE(w.core->Paragraph().LineSpacingRule(), 0);
    w.core->Undo();
    QCOMPARE(w.core->Paragraph().LineSpacingRule(), 3);
}

void TestFormatToolBar::rulerMarkersAreDraggedAndClamped()
{
    FrameFixture fx;
    TFrameForm *frame = fx.start({});
    Window w = activeWindow(frame);
    Ruler *ruler = w.formatting->ruler();
    QVERIFY(ruler->isVisible());
    w.core->setSelText(QStringLiteral("a paragraph to indent"));
    w.core->select(0, 0);
    w.core->Paragraph().setFirstIndent(36);
    w.formatting->EditorSelectionChange();
    QWidget *first = ruler->marker(Ruler::Marker::First);
    QWidget *right = ruler->marker(Ruler::Marker::Right);
    const int firstCentre = first->x() + first->width() / 2;

    // Dragging shows the guide line across the editor.
    const QPoint start(first->width() / 2, 4);
    QTest::mousePress(first, Qt::LeftButton, {}, start);
    QVERIFY(ruler->isDragging());
    QVERIFY(ruler->guideLineX() >= 0);
    QTest::mouseRelease(first, Qt::LeftButton, {}, start);
    QVERIFY(ruler->guideLineX() < 0);
    QCOMPARE(w.core->Paragraph().FirstIndent(), 36);
    QCOMPARE(first->x() + first->width() / 2, firstCentre);

    // 48 pixels to the right are 36 points.
    drag(first, 48);
    QCOMPARE(w.core->Paragraph().FirstIndent(), 72);
    // Far left of the text: 0; the left indent keeps the text where it was.
    QCOMPARE(drag(first, -5000), 0);
    QCOMPARE(w.core->Paragraph().FirstIndent(), 0);
    QCOMPARE(drag(right, 5000), ruler->contentsRect().width() - right->width() / 2 * 2);
    // Stopped a marker short of the end: within a few points of no indent, never negative.
    QVERIFY(w.core->Paragraph().RightIndent() >= 0);
    QVERIFY(w.core->Paragraph().RightIndent() < 10);
    drag(right, -60);
    QVERIFY(w.core->Paragraph().RightIndent() > 0);

    // Options > Show ruler hides and shows the rulers of open documents.
    frame->action(FrameAction::Showruler1)->trigger();
    QVERIFY(!ruler->isVisible());
    frame->action(FrameAction::Showruler1)->trigger();
    QVERIFY(ruler->isVisible());
}

QTEST_MAIN(TestFormatToolBar)
#include "tst_formattoolbar.moc"
