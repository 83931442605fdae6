#include "document/ui/PasteSpecialDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMimeData>
#include <QVBoxLayout>

PasteSpecialDialog::PasteSpecialDialog(const QMimeData *clipboard, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PasteSpecialDialog"));
    setWindowTitle(QStringLiteral("Paste Special"));
    if (clipboard) {
        const bool rtf = clipboard->hasFormat(QStringLiteral("text/rtf"))
                         || clipboard->hasFormat(QStringLiteral("application/rtf"));
        if (rtf)
            m_forms << RichText << RichTextWithoutObjects;
        if (clipboard->hasHtml())
            m_forms << Html;
        if (clipboard->hasText())
            m_forms << UnformattedText;
        if (clipboard->hasImage())
            m_forms << Bitmap;
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("As:"), this));
    m_list = new QListWidget(this);
    for (Form form : m_forms)
        m_list->addItem(formName(form));
    layout->addWidget(m_list);
    m_description = new QLabel(this);
    m_description->setWordWrap(true);
    layout->addWidget(m_description);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &PasteSpecialDialog::showDescription);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_forms.isEmpty());
    if (!m_forms.isEmpty())
        m_list->setCurrentRow(0);
}

QString PasteSpecialDialog::formName(Form form)
{
    switch (form) {
    case RichText: return QStringLiteral("Rich Text Format");
    case RichTextWithoutObjects: return QStringLiteral("Rich Text Format Without Objects");
    case UnformattedText: return QStringLiteral("Unformatted text");
    case Bitmap: return QStringLiteral("Windows Bitmap");
    case Html: return QStringLiteral("HTML Format");
    }
    return QString();
}

void PasteSpecialDialog::showDescription()
{
    switch (selectedForm()) {
    case UnformattedText: m_description->setText(QStringLiteral("text without any formatting")); break;
    case Bitmap: m_description->setText(QStringLiteral("bitmap image")); break;
    case RichTextWithoutObjects: m_description->setText(QStringLiteral("text with its formatting, without pictures and objects")); break;
    case Html: m_description->setText(QStringLiteral("text with its formatting, as web pages hold it")); break;
    case RichText: m_description->setText(QStringLiteral("text with its formatting, pictures and objects")); break;
    }
}

void PasteSpecialDialog::selectForm(Form form)
{
    const qsizetype row = m_forms.indexOf(form);
    if (row >= 0)
        m_list->setCurrentRow(int(row));
}

PasteSpecialDialog::Form PasteSpecialDialog::selectedForm() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_forms.size() ? m_forms.at(row) : UnformattedText;
}
