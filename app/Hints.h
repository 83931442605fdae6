#pragma once

#include <QAction>
#include <QString>
#include <QWidget>

// Hints of the interface texts have a short part for the tool tip and a long
// part after a "|" for the status bar; a hint without "|" is both.
namespace Hints {

inline QString shortPart(const QString &hint)
{
    return hint.section(u'|', 0, 0);
}

inline QString longPart(const QString &hint)
{
    return hint.contains(u'|') ? hint.section(u'|', 1) : hint;
}

inline void set(QAction *action, const QString &hint)
{
    action->setToolTip(shortPart(hint));
    action->setStatusTip(longPart(hint));
}

inline void set(QWidget *widget, const QString &hint)
{
    widget->setToolTip(shortPart(hint));
    widget->setStatusTip(longPart(hint));
}

} // namespace Hints
