#pragma once

#include <QList>
#include <QRect>

class QMdiArea;

// Places n windows in an area the way MDI tiling does: horizontal tiling
// stacks them (full width, one above the other), vertical tiling puts them
// side by side; with many windows the other direction gets columns (rows)
// so that no window gets thinner than a usable minimum.
namespace WindowTiler {
enum class Mode { Horizontal, Vertical };
QList<QRect> tile(const QRect &area, int count, Mode mode, int minimumExtent = 60);
// Minimized windows in a row along the bottom edge, wrapping upwards.
QList<QRect> arrangeIcons(const QRect &area, int count, const QSize &iconSize);

// Cascade: windows of about two thirds of the area, each one title bar
// further right and down; back to the corner when the next would leave the area.
QList<QRect> cascade(const QRect &area, int count, int step);

// Tiles the windows of an MDI area that are not minimized.
void tileSubWindows(QMdiArea *area, Mode mode);
// Places the minimized windows of an MDI area along its bottom edge.
void arrangeMinimized(QMdiArea *area);
// Cascades the windows of an MDI area that are not minimized, keeping their stacking.
void cascadeSubWindows(QMdiArea *area);
}
