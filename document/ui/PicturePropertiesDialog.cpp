#include "document/ui/PicturePropertiesDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

PicturePropertiesDialog::PicturePropertiesDialog(const QSize &shown, const QSize &natural, QWidget *parent)
    : QDialog(parent), m_natural(natural.isValid() && !natural.isEmpty() ? natural : shown)
{
    setObjectName(QStringLiteral("PicturePropertiesDialog"));
    setWindowTitle(QStringLiteral("Object properties"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Picture:"),
                 new QLabel(QStringLiteral("%1 × %2 pixels").arg(m_natural.width()).arg(m_natural.height()), this));
    m_width = new QSpinBox(this);
    m_width->setObjectName(QStringLiteral("Width"));
    m_height = new QSpinBox(this);
    m_height->setObjectName(QStringLiteral("Height"));
    for (QSpinBox *box : {m_width, m_height}) {
        box->setRange(1, 20000);
        box->setSuffix(QStringLiteral(" px"));
    }
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    m_keepRatio = new QCheckBox(QStringLiteral("&Keep proportions"), this);
    m_keepRatio->setChecked(true);
    form->addRow(QString(), m_keepRatio);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Reset, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Reset), &QPushButton::clicked, this,
            [this] { setShownSize(m_natural); });
    layout->addWidget(buttons);
    setShownSize(shown);
    connect(m_width, &QSpinBox::valueChanged, this, &PicturePropertiesDialog::widthChanged);
    connect(m_height, &QSpinBox::valueChanged, this, &PicturePropertiesDialog::heightChanged);
}

QSize PicturePropertiesDialog::shownSize() const
{
    return QSize(m_width->value(), m_height->value());
}

void PicturePropertiesDialog::setShownSize(const QSize &size)
{
    m_updating = true;
    m_width->setValue(size.width());
    m_height->setValue(size.height());
    m_updating = false;
}

void PicturePropertiesDialog::widthChanged(int width)
{
    if (m_updating || !m_keepRatio->isChecked() || m_natural.width() <= 0)
        return;
    m_updating = true;
    m_height->setValue(qMax(1, qRound(double(width) * m_natural.height() / m_natural.width())));
    m_updating = false;
}

void PicturePropertiesDialog::heightChanged(int height)
{
    if (m_updating || !m_keepRatio->isChecked() || m_natural.height() <= 0)
        return;
    m_updating = true;
    m_width->setValue(qMax(1, qRound(double(height) * m_natural.width() / m_natural.height())));
    m_updating = false;
}
