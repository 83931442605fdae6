#include "format/ui/TParaFormatDlg.h"

#include "platform/TextSet.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *spin(const char *name, int minimum, int step = 1)
{
    auto *s = new QSpinBox;
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(minimum, 2147483647);
    s->setSingleStep(step);
    s->setAlignment(Qt::AlignRight);
    return s;
}

} // namespace

TParaFormatDlg::TParaFormatDlg(const TextSet &texts, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TParaFormatDlg"));
    setWindowTitle(texts.entry(Txt::Paragraph));
    const auto text = [&texts](int entry) { return texts.entry(entry).section(u'|', 0, 0); };
    // The left and right labels are the page setup's, shared by the alignment items.
    const QString left = texts.line(TextSet::LeftLabel).isEmpty() ? text(Txt::Left) : texts.line(TextSet::LeftLabel);
    const QString right =
        texts.line(TextSet::RightLabel).isEmpty() ? text(Txt::Right) : texts.line(TextSet::RightLabel);

    LeftIndent = spin("LeftIndent", -2147483647);
    RightIndent = spin("RightIndent", -2147483647);
    FirstIndent = spin("FirstIndent", -2147483647);
    auto *indentBox = new QGroupBox(text(Txt::Indent));
    indentBox->setObjectName(QStringLiteral("IndentBox"));
    auto *indents = new QFormLayout(indentBox);
    indents->addRow(left, LeftIndent);
    indents->addRow(right, RightIndent);
    indents->addRow(text(Txt::FirstLine), FirstIndent);

    auto *alignmentBox = new QGroupBox(text(Txt::Alignment));
    alignmentBox->setObjectName(QStringLiteral("Alignment"));
    auto *alignments = new QVBoxLayout(alignmentBox);
    Alignment = new QButtonGroup(this);
    const QString items[] = {left, right, text(Txt::Center)};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QRadioButton(items[i]);
        b->setObjectName(QStringLiteral("Alignment%1").arg(i));
        Alignment->addButton(b, i);
        alignments->addWidget(b);
    }

    SpaceBefore = spin("SpaceBefore", 0);
    SpaceAfter = spin("SpaceAfter", 0);
    LineSpacing = spin("LineSpacing", 0, 5);
    auto *spacingBox = new QGroupBox(text(Txt::Spacing));
    spacingBox->setObjectName(QStringLiteral("SpacingBox"));
    spacingBox->setEnabled(true);
    auto *spacings = new QFormLayout(spacingBox);
    spacings->addRow(text(Txt::SpaceBefore), SpaceBefore);
    spacings->addRow(text(Txt::SpaceAfter), SpaceAfter);
    spacings->addRow(text(Txt::LineSpacing), LineSpacing);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(text(Txt::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(indentBox);
    layout->addWidget(alignmentBox);
    layout->addWidget(spacingBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TParaFormatDlg::setSettings(const FormattingCommands::ParagraphSettings &s)
{
    LeftIndent->setValue(s.leftIndent);
    RightIndent->setValue(s.rightIndent);
    FirstIndent->setValue(s.firstIndent);
    Alignment->button(qBound(0, s.alignment, 2))->setChecked(true);
    SpaceBefore->setValue(s.spaceBefore);
    SpaceAfter->setValue(s.spaceAfter);
    LineSpacing->setValue(s.lineSpacing);
}

FormattingCommands::ParagraphSettings TParaFormatDlg::settings() const
{
    FormattingCommands::ParagraphSettings s;
    s.leftIndent = LeftIndent->value();
    s.rightIndent = RightIndent->value();
    s.firstIndent = FirstIndent->value();
    s.alignment = qMax(0, Alignment->checkedId());
    s.spaceBefore = SpaceBefore->value();
    s.spaceAfter = SpaceAfter->value();
    s.lineSpacing = LineSpacing->value();
    return s;
}
