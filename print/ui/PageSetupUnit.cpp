#include "print/ui/PageSetupUnit.h"

#include "print/PageSetup.h"
#include "platform/TextSet.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>

#include <climits>

TPageSetupForm::TPageSetupForm(Settings &settings, const TextSet &texts, QWidget *parent)
    : QDialog(parent, Qt::Tool), m_settings(settings), m_title(new QLabel(this))
{
    setObjectName(QStringLiteral("PageSetupForm"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_title, 0, 0, 1, 2);
    static const char *const names[4] = {"MarginSpinEdit1", "MarginSpinEdit2", "MarginSpinEdit3", "MarginSpinEdit4"};
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = new QLabel(this);
        m_spin[i] = new QSpinBox(this);
        m_spin[i]->setObjectName(QLatin1String(names[i]));
        // Whole numbers; the dialog sets no bounds of its own.
        m_spin[i]->setRange(INT_MIN, INT_MAX);
        m_labels[i]->setBuddy(m_spin[i]);
        grid->addWidget(m_labels[i], i + 1, 0);
        grid->addWidget(m_spin[i], i + 1, 1);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 5, 0, 1, 2);
    const int dpi = screen() ? qRound(screen()->logicalDotsPerInch()) : 96;
    resize(170 * dpi / 96, 205 * dpi / 96);
    applyTexts(texts);
    readSettings();
}

void TPageSetupForm::applyTexts(const TextSet &texts)
{
    setWindowTitle(texts.entry(Txt::PageSetup));
    m_title->setText(texts.line(TextSet::PageMarginsLabel));
    const int lines[4] = {TextSet::TopLabel, TextSet::BottomLabel, TextSet::LeftLabel, TextSet::RightLabel};
    for (int i = 0; i < 4; ++i)
        m_labels[i]->setText(texts.line(lines[i]));
}

void TPageSetupForm::readSettings()
{
    setMargins(PageSetup::read(m_settings));
}

PageMargins TPageSetupForm::margins() const
{
    return {m_spin[0]->value(), m_spin[1]->value(), m_spin[2]->value(), m_spin[3]->value()};
}

void TPageSetupForm::setMargins(const PageMargins &margins)
{
    m_spin[0]->setValue(margins.top);
    m_spin[1]->setValue(margins.bottom);
    m_spin[2]->setValue(margins.left);
    m_spin[3]->setValue(margins.right);
}

void TPageSetupForm::hideEvent(QHideEvent *event)
{
    // Text typed but not yet taken counts, however the dialog was closed.
    for (QSpinBox *spin : m_spin)
        spin->interpretText();
    PageSetup::write(m_settings, margins());
    QDialog::hideEvent(event);
}
