#pragma once

#include <QIcon>
#include <QString>

// Tool bar and menu icons: the desktop's icon theme where it has the icon,
// otherwise a small drawn one, so the program looks complete anywhere.
namespace Icons {
QIcon get(const QString &themeName);
// The program's own icon, for every window.
QIcon application();
}
