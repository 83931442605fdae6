#include "platform/ui/ShortcutClashes.h"

#include <QAction>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace ShortcutClashes {

QMap<QKeySequence, QList<QAction *>> find(const QList<QAction *> &actions)
{
    QMap<QKeySequence, QList<QAction *>> byKey;
    for (QAction *a : actions) {
        if (!a->isEnabled())
            continue;
        for (const QKeySequence &key : a->shortcuts())
            if (!key.isEmpty() && !byKey[key].contains(a))
                byKey[key] << a;
    }
    QMap<QKeySequence, QList<QAction *>> clashes;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it.value().size() > 1)
            clashes.insert(it.key(), it.value());
    return clashes;
}

void yield(const QList<QAction *> &theirs, const QList<QAction *> &ours)
{
    QSet<QKeySequence> taken;
    for (QAction *a : ours)
        for (const QKeySequence &key : a->shortcuts())
            taken.insert(key);
    for (QAction *a : theirs) {
        QList<QKeySequence> kept;
        for (const QKeySequence &key : a->shortcuts())
            if (!taken.contains(key))
                kept << key;
        if (kept.size() != a->shortcuts().size())
            a->setShortcuts(kept);
    }
}

namespace {

class CommandKeysFirst : public QObject
{
public:
    CommandKeysFirst(QWidget *commands, QObject *parent) : QObject(parent), m_commands(commands) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !m_commands)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        QList<QAction *> actions = m_commands->actions();
        if (QWidget *window = m_commands->window())
            actions << window->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly);
        for (QAction *a : std::as_const(actions)) {
            if (!a->isEnabled())
                continue;
            for (const QKeySequence &bound : a->shortcuts()) {
                if (bound == pressed) {
                    // Not accepted: the key goes on to the shortcut.
                    event->ignore();
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_commands;
};

} // namespace

void preferCommands(QWidget *editor, QWidget *commands)
{
    if (!editor || editor->property("commandKeysFirst").toBool())
        return;
    editor->setProperty("commandKeysFirst", true);
    editor->installEventFilter(new CommandKeysFirst(commands, editor));
}

} // namespace ShortcutClashes
