#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QToolButton;
class Registry;
class Settings;
class Shell;
class TEditForm;
class UserInteraction;

// The four application buttons of the frame's tool bar. A right-click
// assigns a program (kept in the settings), a click runs it with the
// active document's file after the save question.
class ApplicationButtonBar : public QWidget
{
    Q_OBJECT

public:
    // registry may be null: then only the icon stored in the program is shown.
    ApplicationButtonBar(Settings &settings, UserInteraction &ui, Shell &shell, const Registry *registry,
                         QWidget *parent = nullptr);

    std::function<TEditForm *()> activeDocument;

    // Buttons are numbered 1 to 4 as SpeedButton1 to SpeedButton4.
    QToolButton *button(int button) const;
    void assign(int button);
    void run(int button);
    // Icon and hint from the button's settings line.
    void refresh(int button);
    void refreshAll();

private:
    Settings &m_settings;
    UserInteraction &m_ui;
    Shell &m_shell;
    const Registry *m_registry;
    QList<QToolButton *> m_buttons;
};
