#include "platform/ui/ShortcutClashes.h"

#include <QAction>
#include <QSet>

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

} // namespace ShortcutClashes
