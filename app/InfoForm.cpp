#include "app/InfoForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include <unicode/uvernum.h>

InfoForm::InfoForm(const QString &programDir, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("Info"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("<h2>Quilmar %1</h2>").arg(QStringLiteral(QUILMAR_VERSION)), this);
    layout->addWidget(title);
    auto *text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setText(QStringLiteral(
        "<p>An editor for plain text and RTF documents: any number of documents in one frame, "
        "text in every 8-bit code page, UTF-8 and UTF-16.</p>"
        "<p>Built with Qt %1 and ICU %2.</p>"
        "<p>Settings, code page list, templates, language and help files live in<br><tt>%3</tt></p>")
                      .arg(QString::fromLatin1(qVersion()), QStringLiteral(U_ICU_VERSION),
                           programDir.toHtmlEscaped()));
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
