#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Keeps a top-level window restored from the settings where it can be used:
// no larger than the available screen area and wholly inside it. Settings
// written on another screen, by hand or damaged must not put a window out
// of reach.
namespace FramePlacement {

// position and size as stored (any numbers); minimum the window's own minimum size,
// given up where the area is smaller.
// Position and size come apart: their sum may not fit an int.
QRect clampToArea(const QPoint &position, const QSize &size, const QRect &available,
                  const QSize &minimum = QSize());

} // namespace FramePlacement
