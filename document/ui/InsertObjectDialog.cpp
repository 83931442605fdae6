#include "document/ui/InsertObjectDialog.h"

#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

InsertObjectDialog::InsertObjectDialog(const TextSet &texts, UserInteraction &ui, const QString &initialDir,
                                       QWidget *parent)
    : QDialog(parent), m_ui(ui), m_initialDir(initialDir)
{
    setObjectName(QStringLiteral("InsertObjectDialog"));
    setWindowTitle(texts.extra(TextSet::Extra::InsertObjectTitle));
    auto *layout = new QGridLayout(this);
    auto *label = new QLabel(texts.extra(TextSet::Extra::ObjectFileLabel), this);
    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName(QStringLiteral("FileName"));
    m_fileName->setMinimumWidth(320);
    label->setBuddy(m_fileName);
    auto *browse = new QPushButton(texts.extra(TextSet::Extra::BrowseButton), this);
    browse->setObjectName(QStringLiteral("Browse"));
    m_asIcon = new QCheckBox(texts.extra(TextSet::Extra::DisplayAsIcon), this);
    m_asIcon->setObjectName(QStringLiteral("DisplayAsIcon"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(texts.entry(Txt::Cancel));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_fileName, 0, 1);
    layout->addWidget(browse, 0, 2);
    layout->addWidget(m_asIcon, 1, 1, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 3);
    connect(browse, &QPushButton::clicked, this, &InsertObjectDialog::browse);
    connect(m_fileName, &QLineEdit::textChanged, this, [buttons](const QString &text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString InsertObjectDialog::fileName() const
{
    return m_fileName->text().trimmed();
}

bool InsertObjectDialog::displayAsIcon() const
{
    return m_asIcon->isChecked();
}

void InsertObjectDialog::browse()
{
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenOne;
    request.filter = QStringLiteral("*.*|*");
    const QFileInfo current(fileName());
    request.initialDir = current.isAbsolute() ? current.absolutePath() : m_initialDir;
    const UserInteraction::FileAnswer answer = m_ui.chooseFiles(request);
    if (answer.accepted && !answer.files.isEmpty())
        m_fileName->setText(answer.files.first());
}
