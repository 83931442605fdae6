#include "platform/ui/MenuBuilder.h"

#include <QMenu>

void addActionsByName(QMenu *menu, std::initializer_list<const char *> names,
                      const std::function<QAction *(const QString &)> &action)
{
    for (const char *name : names) {
        if (!name)
            menu->addSeparator();
        else if (QAction *a = action(QString::fromLatin1(name)))
            menu->addAction(a);
    }
}
