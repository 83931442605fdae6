#include "format/ui/DocumentFormatting.h"

#include "document/ui/DocumentHost.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "format/ui/ColorPanel.h"
#include "format/ui/FormatMenu.h"
#include "format/ui/FormatToolBar.h"
#include "format/ui/TParaFormatDlg.h"
#include "platform/Settings.h"
#include "platform/SettingsLines.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontComboBox>
#include <QFontDialog>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

DocumentFormatting::DocumentFormatting(TEditForm *form, DocumentHost *host, bool showRuler)
    : QObject(form), m_form(form), m_host(host), m_core(form->Editor()->core()), m_commands(m_core)
{
    setObjectName(QStringLiteral("DocumentFormatting"));
    m_toolBar = new FormatToolBar(form->toolBar());
    m_menu = new FormatMenu(form->editMenus().at(2));
    form->addActions({m_menu->Left1, m_menu->Center1, m_menu->Right1, m_menu->Bullet1, m_menu->FormatFont1,
                      m_menu->Paragraph1, m_menu->FProtected1, m_menu->FDisabled1, m_menu->FHidden1});
    m_ruler = new Ruler(form->widget());
    if (auto *layout = qobject_cast<QBoxLayout *>(form->widget()->layout()))
        layout->insertWidget(0, m_ruler);
    m_ruler->setGuideTarget(form->Editor()->viewport());
    m_ruler->setVisible(showRuler);

    const Settings &settings = host->settings();
    m_toolBar->Panel3->setColor(ColorPanel::fromSettingsNumber(settings.number(SettingsLine::LastTextColor, 255)));
    m_toolBar->Panel4->setColor(ColorPanel::fromSettingsNumber(settings.number(SettingsLine::LastBackColor, 65535)));
    applyTexts(host->textSet());

    connectToolBar();
    connectMenu();
    connect(form->Editor(), &TRichTextEdit::selectionChanged, this, &DocumentFormatting::EditorSelectionChange);
    connect(m_ruler, &Ruler::markerDropped, this, &DocumentFormatting::rulerDropped);
    form->Editor()->installEventFilter(this);
    EditorSelectionChange();
}

DocumentFormatting *DocumentFormatting::of(const TEditForm *form)
{
    return form ? form->findChild<DocumentFormatting *>(QStringLiteral("DocumentFormatting"), Qt::FindDirectChildrenOnly)
                : nullptr;
}

void DocumentFormatting::applyTexts(const TextSet &texts)
{
    m_toolBar->applyTexts(texts);
    m_menu->applyTexts(texts);
}

void DocumentFormatting::setRulerVisible(bool on)
{
    m_ruler->setVisible(on);
    if (on)
        EditorSelectionChange();
}

void DocumentFormatting::connectToolBar()
{
    FormatToolBar *t = m_toolBar;
    connect(t->ToolButton26, &QToolButton::clicked, this, [this](bool down) { styleClicked(TFontStyle::fsBold, down); });
    connect(t->ToolButton27, &QToolButton::clicked, this, [this](bool down) { styleClicked(TFontStyle::fsItalic, down); });
    connect(t->ToolButton28, &QToolButton::clicked, this,
            [this](bool down) { styleClicked(TFontStyle::fsUnderline, down); });
    connect(t->FontComboBox1, &QFontComboBox::currentFontChanged, this, &DocumentFormatting::FontComboBox1Change);
    t->FontComboBox1->installEventFilter(this);
    connect(t->FontSize, &QSpinBox::valueChanged, this, &DocumentFormatting::FontSizeChange);
    connect(t->ToolButton21, &QToolButton::clicked, this, [this] { chooseColor(false); });
    connect(t->ToolButton34, &QToolButton::clicked, this, [this] { chooseColor(true); });
    for (ColorPanel *p : {t->Panel3, t->Panel5})
        connect(p, &ColorPanel::clicked, this, [this, p] { m_commands.setTextColor(p->color()); });
    for (ColorPanel *p : {t->Panel4, t->Panel6})
        connect(p, &ColorPanel::clicked, this, [this, p] { m_commands.setBackColor(p->color()); });
    const auto align = [this](TAlignment a) {
        m_commands.setAlignment(a);
        EditorSelectionChange();
    };
    connect(t->ToolButton18, &QToolButton::clicked, this, [align] { align(TAlignment::taLeftJustify); });
    connect(t->ToolButton20, &QToolButton::clicked, this, [align] { align(TAlignment::taCenter); });
    connect(t->ToolButton19, &QToolButton::clicked, this, [align] { align(TAlignment::taRightJustify); });
    connect(t->ToolButton32, &QToolButton::clicked, this, [this] {
        m_commands.shiftFirstIndent(FormattingCommands::IndentStep);
        EditorSelectionChange();
    });
    connect(t->ToolButton33, &QToolButton::clicked, this, [this] {
        m_commands.shiftFirstIndent(-FormattingCommands::IndentStep);
        EditorSelectionChange();
    });
    connect(t->ToolButton10, &QToolButton::clicked, this, [this] { ToolButton14Click(m_toolBar->ToolButton10); });
    connect(t->ToolButton14, &QToolButton::clicked, this, [this] { ToolButton14Click(m_toolBar->ToolButton14); });
    connect(t->ToolButton22, &QToolButton::clicked, this, &DocumentFormatting::ToolButton22Click);
    connect(t->NumberingStartEdit, &QSpinBox::valueChanged, this, &DocumentFormatting::NumberingStartEditChange);
}

void DocumentFormatting::connectMenu()
{
    FormatMenu *m = m_menu;
    for (QAction *a : {m->Left1, m->Center1, m->Right1})
        connect(a, &QAction::triggered, this, &DocumentFormatting::AlignClick);
    connect(m->Bullet1, &QAction::triggered, this, [this] {
        m_toolBar->ToolButton22->setChecked(!m_toolBar->ToolButton22->isChecked());
        ToolButton22Click();
    });
    for (int i = 0; i < int(m->kindItems.size()); ++i)
        connect(m->kindItems[i], &QAction::triggered, this, [this, i] { N15Click(i); });
    connect(m->FormatFont1, &QAction::triggered, this, &DocumentFormatting::FormatFont1Click);
    connect(m->Paragraph1, &QAction::triggered, this, &DocumentFormatting::Paragraph1Click);
    connect(m->FProtected1, &QAction::triggered, this,
            [this] { toggleEffect(&FormattingCommands::toggleProtected, m_menu->FProtected1); });
    connect(m->FDisabled1, &QAction::triggered, this,
            [this] { toggleEffect(&FormattingCommands::toggleDisabled, m_menu->FDisabled1); });
    connect(m->FHidden1, &QAction::triggered, this,
            [this] { toggleEffect(&FormattingCommands::toggleHidden, m_menu->FHidden1); });
    connect(m->menu(), &QMenu::aboutToShow, this, &DocumentFormatting::Character1Click);
}

bool DocumentFormatting::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_toolBar->FontComboBox1 && event->type() == QEvent::FocusIn)
        m_commands.selectCharacterAfterCaret();
    else if (watched == m_form->Editor() && event->type() == QEvent::Resize && m_ruler->isVisible())
        placeRulerMarkers(m_core->Paragraph().values());
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Character commands

void DocumentFormatting::styleClicked(TFontStyle style, bool down)
{
    m_commands.setStyle(style, down);
}

void DocumentFormatting::FontComboBox1Change()
{
    if (m_updatingControls)
        return;
    m_commands.setFontName(m_toolBar->FontComboBox1->currentFont().family());
}

void DocumentFormatting::FontSizeChange(int value)
{
    if (m_updatingControls)
        return;
    // Sizes layout cannot take are refused; the box goes back to the size in effect.
    if (!m_commands.setFontSize(value)) {
        m_host->userInteraction().beep(UserInteraction::Beep::Error);
        EditorSelectionChange();
    }
}

void DocumentFormatting::chooseColor(bool background)
{
    ColorPanel *panel = background ? m_toolBar->Panel4 : m_toolBar->Panel3;
    const std::optional<QColor> color = m_host->userInteraction().chooseColor(panel->color());
    if (!color || !color->isValid())
        return;
    panel->setColor(*color);
    m_host->settings().setLine(background ? SettingsLine::LastBackColor : SettingsLine::LastTextColor,
                               QString::number(ColorPanel::toSettingsNumber(*color)));
    if (background)
        m_commands.setBackColor(*color);
    else
        m_commands.setTextColor(*color);
}

void DocumentFormatting::ToolButton14Click(QObject *clicked)
{
    if (m_updatingControls)
        return;
    QToolButton *super = m_toolBar->ToolButton10;
    QToolButton *sub = m_toolBar->ToolButton14;
    // At most one of the two is down.
    if (clicked == super && super->isChecked())
        sub->setChecked(false);
    else if (clicked == sub && sub->isChecked())
        super->setChecked(false);
    m_commands.setSubscriptStyle(super->isChecked() ? TSubscriptStyle::ssSuperscript
                                 : sub->isChecked() ? TSubscriptStyle::ssSubscript
                                                    : TSubscriptStyle::ssNone);
}

void DocumentFormatting::toggleEffect(bool (FormattingCommands::*toggle)(), QAction *item)
{
    if (m_updatingControls)
        return;
    item->setChecked((m_commands.*toggle)());
}

void DocumentFormatting::FormatFont1Click()
{
    const FormattingCommands::TargetFormat t = m_commands.read();
    QFont font(t.name);
    font.setPointSize(qBound(1, t.size, FormattingCommands::MaxFontSize));
    font.setBold(t.style.testFlag(TFontStyle::fsBold));
    font.setItalic(t.style.testFlag(TFontStyle::fsItalic));
    font.setUnderline(t.style.testFlag(TFontStyle::fsUnderline));
    font.setStrikeOut(t.style.testFlag(TFontStyle::fsStrikeOut));
    // The dialog has no colour: the target keeps its own.
    TTextAttributes &a = m_core->SelAttributes();
    const QColor color = a.isAutoColor() ? QColor() : a.Color();

    QFontDialog dialog(m_form);
    dialog.setObjectName(QStringLiteral("FontDialog1"));
    dialog.setCurrentFont(font);
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        QPushButton *apply = buttons->addButton(QDialogButtonBox::Apply);
        apply->setObjectName(QStringLiteral("ApplyButton"));
        connect(apply, &QPushButton::clicked, this, [&] {
            m_commands.setFont(dialog.currentFont(), color);
            EditorSelectionChange();
        });
    }
    if (m_host->userInteraction().runDialog(&dialog) == QDialog::Accepted) {
        m_commands.setFont(dialog.selectedFont().family().isEmpty() ? dialog.currentFont() : dialog.selectedFont(),
                           color);
        EditorSelectionChange();
    }
    m_form->FocusEditor();
}

// ---------------------------------------------------------------------------
// Paragraph commands

void DocumentFormatting::AlignClick()
{
    auto *item = qobject_cast<QAction *>(sender());
    if (item)
        item->setChecked(true);
    if (m_menu->Left1->isChecked())
        m_commands.setAlignment(TAlignment::taLeftJustify);
    else if (m_menu->Right1->isChecked())
        m_commands.setAlignment(TAlignment::taRightJustify);
    else if (m_menu->Center1->isChecked())
        m_commands.setAlignment(TAlignment::taCenter);
    EditorSelectionChange();
}

void DocumentFormatting::ToolButton22Click()
{
    m_numbering.setButtonDown(m_toolBar->ToolButton22->isChecked());
    showNumbering();
}

void DocumentFormatting::N15Click(int index)
{
    const NumberingKindEntry &entry = NumberingChoice::kinds().at(index);
    m_menu->kindItems[index]->setChecked(true);
    m_numbering.chooseKind(entry.kind, m_core->Paragraph().values());
    m_toolBar->ToolButton22->setText(QString::fromUtf8(entry.caption).trimmed());
    showNumbering();
}

void DocumentFormatting::NumberingStartEditChange(int value)
{
    if (m_updatingControls)
        return;
    m_numbering.setStart(value);
}

void DocumentFormatting::showNumbering()
{
    const bool wasUpdating = m_updatingControls;
    m_updatingControls = true;
    m_toolBar->ToolButton22->setChecked(m_numbering.isButtonDown());
    m_toolBar->NumberingStartEdit->setValue(m_numbering.start());
    if (QAction *a = m_form->toolBar()->findChild<QAction *>(QStringLiteral("NumberingStartAction")))
        a->setVisible(m_numbering.isStartShown());
    m_updatingControls = wasUpdating;
}

// ---------------------------------------------------------------------------
// Ruler

RulerGeometry DocumentFormatting::rulerGeometry() const
{
    QWidget *viewport = m_form->Editor()->viewport();
    const int margin = int(m_form->Editor()->documentMargin());
    const int left = m_ruler->mapFromGlobal(viewport->mapToGlobal(QPoint(margin, 0))).x();
    const int right = m_ruler->mapFromGlobal(viewport->mapToGlobal(QPoint(viewport->width() - margin, 0))).x();
    return RulerGeometry(left, right);
}

void DocumentFormatting::placeRulerMarkers(const ParagraphValues &p)
{
    const RulerGeometry g = rulerGeometry();
    const int first = p.firstIndent / 20;
    m_ruler->placeMarkers(g.indentToX(first, RulerGeometry::Side::Left),
                          g.indentToX(first + p.leftIndent / 20, RulerGeometry::Side::Left),
                          g.indentToX(p.rightIndent / 20, RulerGeometry::Side::Right));
}

void DocumentFormatting::rulerDropped(Ruler::Marker marker, int centreX)
{
    const RulerGeometry g = rulerGeometry();
    const ParagraphValues p = m_core->Paragraph().values();
    int first = p.firstIndent / 20;
    int left = p.leftIndent / 20;
    int right = p.rightIndent / 20;
    QWidget *leftMarker = m_ruler->marker(Ruler::Marker::Left);
    const int leftCentre = leftMarker->x() + leftMarker->width() / 2;
    if (marker == Ruler::Marker::Right) {
        right = g.droppedRightIndent(centreX);
    } else {
        if (marker == Ruler::Marker::First)
            first = g.droppedFirstIndent(centreX);
        left = g.droppedLeftIndent(leftCentre, first);
    }
    m_commands.setIndents(first, left, right);
    EditorSelectionChange();
}

// ---------------------------------------------------------------------------
// Synchronisation

void DocumentFormatting::EditorSelectionChange()
{
    m_updatingControls = true;
    const FormattingCommands::TargetFormat t = m_commands.read();
    const ParagraphValues &p = t.paragraph;
    if (m_ruler->isVisible())
        placeRulerMarkers(p);
    FormatToolBar *bar = m_toolBar;
    bar->ToolButton10->setChecked(t.subscript == TSubscriptStyle::ssSuperscript);
    bar->ToolButton14->setChecked(t.subscript == TSubscriptStyle::ssSubscript);
    if (p.alignment & Qt::AlignJustify) {
        // Justified paragraphs leave the buttons as they were.
    } else if (p.alignment & Qt::AlignRight) {
        bar->ToolButton19->setChecked(true);
    } else if (p.alignment & Qt::AlignHCenter) {
        bar->ToolButton20->setChecked(true);
    } else {
        bar->ToolButton18->setChecked(true);
    }
    m_numbering.sync(p);
    showNumbering();
    // Looking a family up in the box's list costs; the caret mostly stays in one font.
    if (t.name != m_shownFontName) {
        m_shownFontName = t.name;
        bar->FontComboBox1->setCurrentFont(QFont(t.name));
        bar->FontComboBox1->setEditText(t.name);
    }
    bar->FontSize->setValue(t.size);
    bar->ToolButton26->setChecked(t.style.testFlag(TFontStyle::fsBold));
    bar->ToolButton27->setChecked(t.style.testFlag(TFontStyle::fsItalic));
    bar->ToolButton28->setChecked(t.style.testFlag(TFontStyle::fsUnderline));
    m_updatingControls = false;
}

void DocumentFormatting::Character1Click()
{
    const FormattingCommands::TargetFormat t = m_commands.read();
    const Qt::Alignment a = t.paragraph.alignment;
    if (!(a & Qt::AlignJustify)) {
        if (a & Qt::AlignRight)
            m_menu->Right1->setChecked(true);
        else if (a & Qt::AlignHCenter)
            m_menu->Center1->setChecked(true);
        else
            m_menu->Left1->setChecked(true);
    }
    m_menu->Bullet1->setChecked(t.paragraph.numbering != NumberingKind::None);
    m_menu->FProtected1->setChecked(t.isProtected);
    m_menu->FHidden1->setChecked(t.isHidden);
    m_menu->FDisabled1->setChecked(t.isDisabled);
}

void DocumentFormatting::Paragraph1Click()
{
    TParaFormatDlg dialog(m_host->textSet(), m_form);
    dialog.setSettings(m_commands.paragraphSettings());
    if (m_host->userInteraction().runDialog(&dialog) == QDialog::Accepted) {
        m_commands.setParagraphSettings(dialog.settings());
        EditorSelectionChange();
    }
    m_form->FocusEditor();
}
