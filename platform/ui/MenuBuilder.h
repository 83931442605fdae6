#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

class QAction;
class QMenu;

// Fills a menu from a list of action names; a null name is a separator.
void addActionsByName(QMenu *menu, std::initializer_list<const char *> names,
                      const std::function<QAction *(const QString &)> &action);
