#pragma once

#include "document/TextProperties.h"

#include <QObject>

#include <array>

class QAction;
class QMenu;
class TextSet;

// The formatting items of a document window's Format menu, put before its
// word wrap item. Holds the actions; DocumentFormatting connects them.
class FormatMenu : public QObject
{
    Q_OBJECT

public:
    explicit FormatMenu(QMenu *format);

    void applyTexts(const TextSet &texts);
    // The numbering kind item of kind.
    QAction *kindItem(NumberingKind kind) const;

    QMenu *menu() const { return m_menu; }
    QAction *Left1;
    QAction *Center1;
    QAction *Right1;
    QAction *Bullet1;
    QMenu *BulletFormat1;
    std::array<QAction *, 6> kindItems{}; // N15, N16, N19, N20, N21, N22 in menu order
    QAction *FormatFont1;
    QAction *Paragraph1;
    QAction *FProtected1;
    QAction *FDisabled1;
    QAction *FHidden1;

private:
    QAction *item(const char *name, const QKeySequence &shortcut, bool checkable);
    QMenu *m_menu;
};
