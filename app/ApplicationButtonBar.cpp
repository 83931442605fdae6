#include "app/ApplicationButtonBar.h"

#include "app/ApplicationButtons.h"
#include "app/FileIconLookup.h"
#include "platform/ui/Icons.h"
#include "document/ui/MDIEdit.h"
#include "platform/Registry.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/UserInteraction.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>

ApplicationButtonBar::ApplicationButtonBar(Settings &settings, UserInteraction &ui, Shell &shell, const Registry *registry,
                                           QWidget *parent)
    : QWidget(parent), m_settings(settings), m_ui(ui), m_shell(shell), m_registry(registry)
{
    setObjectName(QStringLiteral("Panel4"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int button = 1; button <= ApplicationButtons::Count; ++button) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(button));
        b->setFixedSize(36, 22);
        b->setAutoRaise(true);
        b->setIconSize(QSize(16, 16));
        b->setIcon(Icons::get(QStringLiteral("list-add")));
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(b, &QToolButton::clicked, this, [this, button] { run(button); });
        connect(b, &QWidget::customContextMenuRequested, this, [this, button] { assign(button); });
        layout->addWidget(b);
        m_buttons << b;
    }
}

void ApplicationButtonBar::refresh(int button)
{
    QToolButton *b = this->button(button);
    const QString program = m_settings.line(ApplicationButtons::settingsLine(button));
    if (!b)
        return;
    if (program.isEmpty()) {
        b->setIcon(Icons::get(QStringLiteral("list-add")));
        b->setToolTip(QString());
        return;
    }
    QImage image;
    if (m_registry)
        image = FileIconLookup(m_shell, *m_registry).iconBitmap(program);
    else
        image = m_shell.iconOfFile(program, 0);
    b->setIcon(image.isNull() ? Icons::get(QStringLiteral("applications-other")) : QIcon(QPixmap::fromImage(image)));
    b->setToolTip(ApplicationButtons::hint(program));
}

void ApplicationButtonBar::assign(int button)
{
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenOne;
    const UserInteraction::FileAnswer answer = m_ui.chooseFiles(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    m_settings.setLine(ApplicationButtons::settingsLine(button), QFileInfo(answer.files.first()).absoluteFilePath());
    refresh(button);
}

void ApplicationButtonBar::run(int button)
{
    const QString program = m_settings.line(ApplicationButtons::settingsLine(button));
    TEditForm *form = activeDocument ? activeDocument() : nullptr;
    if (program.isEmpty() || !form)
        return;
    if (!form->QuerySaveDocument())
        return;
    const Shell::Result result = m_shell.run(program, ApplicationButtons::quotedParameter(form->FileName()));
    if (!result.ok())
        m_ui.showError(result.errorText.isEmpty() ? program : result.errorText, QStringLiteral("Quilmar"));
}

QToolButton *ApplicationButtonBar::button(int button) const
{
    return m_buttons.value(button - 1);
}

void ApplicationButtonBar::refreshAll()
{
    for (int button = 1; button <= ApplicationButtons::Count; ++button)
        refresh(button);
}
