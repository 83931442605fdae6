#pragma once

#include <QKeySequence>
#include <QList>
#include <QMap>

class QAction;

// Keys bound twice in one window make Qt fire neither binding. These helpers
// find such keys and let the program's own commands keep theirs.
namespace ShortcutClashes {

// Every key (one sequence) bound by more than one enabled action, with those actions.
QMap<QKeySequence, QList<QAction *>> find(const QList<QAction *> &actions);
// Removes from the actions of theirs each key one of ours is bound to.
void yield(const QList<QAction *> &theirs, const QList<QAction *> &ours);

} // namespace ShortcutClashes
