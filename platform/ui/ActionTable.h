#pragma once

#include <QAction>
#include <QMenu>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>

// A window's actions as an enum: a misspelt action is a compile error, not a
// null at run time. The list macro names each action as its menus, language
// files and tests know it (the action's object name).
#define QUILMAR_ACTION_ENUMERATOR(name) name,
#define QUILMAR_ACTION_NAME(name) #name,
#define QUILMAR_DECLARE_ACTIONS(Enum, LIST)                                                                    \
    enum class Enum { LIST(QUILMAR_ACTION_ENUMERATOR) Count };                                                \
    inline const char *actionName(Enum id)                                                                     \
    {                                                                                                          \
        static const char *const names[] = {LIST(QUILMAR_ACTION_NAME)};                                        \
        return names[static_cast<std::size_t>(id)];                                                            \
    }

template <typename Id>
class ActionTable
{
public:
    QAction *operator[](Id id) const { return m_actions[static_cast<std::size_t>(id)]; }
    void set(Id id, QAction *action) { m_actions[static_cast<std::size_t>(id)] = action; }
    auto begin() const { return m_actions.begin(); }
    auto end() const { return m_actions.end(); }

    // Adds the actions to the menu in order; an empty entry ({}) is a separator.
    void addTo(QMenu *menu, std::initializer_list<std::optional<Id>> ids) const
    {
        for (const std::optional<Id> &id : ids) {
            if (id)
                menu->addAction((*this)[*id]);
            else
                menu->addSeparator();
        }
    }

private:
    std::array<QAction *, static_cast<std::size_t>(Id::Count)> m_actions{};
};
