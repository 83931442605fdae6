#pragma once

#include <QString>
#include <QStringList>

class QMenu;
class QMenuBar;

// Keyboard accelerators ("&" keys) for menus whose texts come from text sets
// without them. A caption that carries its own keeps it; the others get the
// first letter not yet taken in their menu, preferring the starts of words.
namespace Accelerators {

// The captions with accelerators added; captions that find no free letter
// stay as they are.
QStringList assign(const QStringList &captions);
// The accelerator letter of a caption (lower case), or a null character.
QChar keyOf(const QString &caption);

// Titles of the menu bar's menus.
void assignTitles(QMenuBar *bar);
// Items of a menu and of its submenus, each time it opens.
void assignItems(QMenu *menu);

} // namespace Accelerators
