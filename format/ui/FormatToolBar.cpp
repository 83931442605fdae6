#include "format/ui/FormatToolBar.h"

#include "format/ui/ColorPanel.h"
#include "platform/TextSet.h"

#include <QButtonGroup>
#include <QFontComboBox>
#include <QGuiApplication>
#include <QPalette>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

FormatToolBar::FormatToolBar(QToolBar *bar) : QObject(bar), m_bar(bar)
{
    bar->addSeparator();
    ToolButton26 = addButton("ToolButton26", "format-text-bold", QStringLiteral("B"), true);
    ToolButton27 = addButton("ToolButton27", "format-text-italic", QStringLiteral("I"), true);
    ToolButton28 = addButton("ToolButton28", "format-text-underline", QStringLiteral("U"), true);
    QFont bold = ToolButton26->font();
    bold.setBold(true);
    ToolButton26->setFont(bold);

    FontComboBox1 = new QFontComboBox(bar);
    FontComboBox1->setObjectName(QStringLiteral("FontComboBox1"));
    FontComboBox1->setFixedWidth(185);
    bar->addWidget(FontComboBox1);
    FontSize = new QSpinBox(bar);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    // The box takes any whole number; the commands apply what layout can take.
    FontSize->setRange(1, 2147483647);
    FontSize->setValue(8);
    FontSize->setAlignment(Qt::AlignRight);
    FontSize->setKeyboardTracking(false);
    bar->addWidget(FontSize);

    auto panel = [bar](const char *name, const QColor &color) {
        auto *p = new ColorPanel(bar);
        p->setObjectName(QString::fromLatin1(name));
        p->setColor(color);
        bar->addWidget(p);
        return p;
    };
    ToolButton21 = addButton("ToolButton21", "format-text-color", QStringLiteral("A"), false);
    Panel3 = panel("Panel3", Qt::red);
    Panel5 = panel("Panel5", Qt::black);
    ToolButton34 = addButton("ToolButton34", "format-fill-color", QStringLiteral("\u25A8"), false);
    Panel4 = panel("Panel4", Qt::yellow);
    Panel6 = panel("Panel6", QGuiApplication::palette().color(QPalette::Base));

    bar->addSeparator();
    ToolButton18 = addButton("ToolButton18", "format-justify-left", QStringLiteral("\u2261"), true);
    ToolButton20 = addButton("ToolButton20", "format-justify-center", QStringLiteral("\u2263"), true);
    ToolButton19 = addButton("ToolButton19", "format-justify-right", QStringLiteral("\u2262"), true);
    auto *alignment = new QButtonGroup(this);
    alignment->addButton(ToolButton18);
    alignment->addButton(ToolButton20);
    alignment->addButton(ToolButton19);
    ToolButton18->setChecked(true);
    ToolButton32 = addButton("ToolButton32", "format-indent-more", QStringLiteral("\u21E5"), false);
    ToolButton33 = addButton("ToolButton33", "format-indent-less", QStringLiteral("\u21E4"), false);
    ToolButton10 = addButton("ToolButton10", "format-text-superscript", QStringLiteral("x\u00B2"), true);
    ToolButton14 = addButton("ToolButton14", "format-text-subscript", QStringLiteral("x\u2082"), true);
    ToolButton22 = addButton("ToolButton22", "format-list-unordered", QStringLiteral("\u2022"), true);
    NumberingStartEdit = new QSpinBox(bar);
    NumberingStartEdit->setObjectName(QStringLiteral("NumberingStartEdit"));
    NumberingStartEdit->setRange(1, 2147483647);
    NumberingStartEdit->setValue(1);
    NumberingStartEdit->setAlignment(Qt::AlignRight);
    NumberingStartEdit->setKeyboardTracking(false);
    // The tool bar hides a widget through its action, not the widget itself.
    bar->addWidget(NumberingStartEdit)->setObjectName(QStringLiteral("NumberingStartAction"));
}

QToolButton *FormatToolBar::addButton(const char *name, const char *icon, const QString &glyph, bool checkable)
{
    auto *b = new QToolButton(m_bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(icon));
    if (themed.isNull())
        b->setText(glyph);
    else
        b->setIcon(themed);
    m_bar->addWidget(b);
    return b;
}

void FormatToolBar::applyTexts(const TextSet &texts)
{
    const auto hint = [&texts](QWidget *w, int entry) { w->setToolTip(texts.entry(entry).section(u'|', 0, 0)); };
    hint(ToolButton26, Txt::Bold);
    hint(ToolButton27, Txt::Italic);
    hint(ToolButton28, Txt::Underline);
    hint(FontSize, Txt::FontSize);
    hint(ToolButton21, Txt::FontColorHint);
    hint(Panel3, Txt::SelectFontColor);
    hint(Panel5, Txt::SelectFontColor);
    hint(ToolButton34, Txt::BackColorHint);
    hint(Panel4, Txt::SelectBackColor);
    hint(Panel6, Txt::SelectBackColor);
    hint(ToolButton18, Txt::Left);
    hint(ToolButton20, Txt::Center);
    hint(ToolButton19, Txt::Right);
    hint(ToolButton32, Txt::IncreaseIndent);
    hint(ToolButton33, Txt::DecreaseIndent);
    hint(ToolButton10, Txt::Superscript);
    hint(ToolButton14, Txt::Subscript);
    hint(ToolButton22, Txt::Bullet);
    hint(NumberingStartEdit, Txt::StartNumbering);
}
