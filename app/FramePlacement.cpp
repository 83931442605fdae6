#include "app/FramePlacement.h"

#include <QtGlobal>

namespace FramePlacement {

QRect clampToArea(const QPoint &position, const QSize &size, const QRect &available, const QSize &minimum)
{
    if (available.isEmpty())
        return QRect(position, size);
    // 64-bit arithmetic: stored numbers may be anywhere in the int range.
    const auto fit = [](qint64 pos, qint64 extent, qint64 low, qint64 length, qint64 least) {
        extent = qBound(qMin(least, length), extent, length);
        pos = qBound(low, pos, low + length - extent);
        return std::pair<int, int>(int(pos), int(extent));
    };
    const auto [x, w] = fit(position.x(), size.width(), available.x(), available.width(), qMax(1, minimum.width()));
    const auto [y, h] = fit(position.y(), size.height(), available.y(), available.height(), qMax(1, minimum.height()));
    return QRect(x, y, w, h);
}

} // namespace FramePlacement
