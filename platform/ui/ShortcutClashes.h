#pragma once

#include <QKeySequence>
#include <QList>
#include <QMap>

class QAction;
class QWidget;

// Keys bound twice in one window make Qt fire neither binding. These helpers
// find such keys and let the program's own commands keep theirs.
namespace ShortcutClashes {

// Every key (one sequence) bound by more than one enabled action, with those actions.
QMap<QKeySequence, QList<QAction *>> find(const QList<QAction *> &actions);
// Removes from the actions of theirs each key one of ours is bound to.
void yield(const QList<QAction *> &theirs, const QList<QAction *> &ours);
// Keys of the enabled actions of commands (and of its window) go to those
// actions even while editor has the focus: an edit field claims the
// platform's standard keys first (Ctrl+Insert copies on X11), where the
// program's own command for the key must win. Installed once per editor.
void preferCommands(QWidget *editor, QWidget *commands);

} // namespace ShortcutClashes
