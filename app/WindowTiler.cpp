#include "app/WindowTiler.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <cmath>

namespace WindowTiler {

QList<QRect> tile(const QRect &area, int count, Mode mode, int minimumExtent)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int extent = mode == Mode::Horizontal ? area.height() : area.width();
    // As many windows per line as fit at the minimum extent; further lines beside.
    const int perLine = qMax(1, qMin(count, extent / qMax(1, minimumExtent)));
    const int lines = (count + perLine - 1) / perLine;
    int index = 0;
    for (int line = 0; line < lines; ++line) {
        const int inThisLine = qMin(perLine, count - index);
        for (int k = 0; k < inThisLine; ++k, ++index) {
            QRect r;
            if (mode == Mode::Horizontal) {
                const int x0 = area.left() + area.width() * line / lines;
                const int x1 = area.left() + area.width() * (line + 1) / lines;
                const int y0 = area.top() + area.height() * k / inThisLine;
                const int y1 = area.top() + area.height() * (k + 1) / inThisLine;
                r = QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
            } else {
                const int y0 = area.top() + area.height() * line / lines;
                const int y1 = area.top() + area.height() * (line + 1) / lines;
                const int x0 = area.left() + area.width() * k / inThisLine;
                const int x1 = area.left() + area.width() * (k + 1) / inThisLine;
                r = QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
            }
            rects.append(r);
        }
    }
    return rects;
}

QList<QRect> arrangeIcons(const QRect &area, int count, const QSize &iconSize)
{
    QList<QRect> rects;
    const int perRow = qMax(1, area.width() / qMax(1, iconSize.width()));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        rects.append(QRect(QPoint(area.left() + column * iconSize.width(),
                                  area.bottom() + 1 - (row + 1) * iconSize.height()),
                           iconSize));
    }
    return rects;
}

QList<QRect> cascade(const QRect &area, int count, int step)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    step = qMax(1, step);
    const QSize size(qMax(1, area.width() * 2 / 3), qMax(1, area.height() * 2 / 3));
    // How many steps fit before a window would reach past the area.
    const int room = qMax(1, qMin((area.width() - size.width()) / step, (area.height() - size.height()) / step) + 1);
    for (int i = 0; i < count; ++i) {
        const int k = i % room;
        rects.append(QRect(area.topLeft() + QPoint(k * step, k * step), size));
    }
    return rects;
}

void cascadeSubWindows(QMdiArea *area)
{
    // In stacking order, so the active window ends in front, as it was.
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::StackingOrder))
        if (!w->isMinimized())
            windows << w;
    const int step = area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.value(0)) + 2;
    const QList<QRect> rects = cascade(area->viewport()->rect(), int(windows.size()), step);
    for (int i = 0; i < windows.size(); ++i) {
        windows.at(i)->showNormal();
        windows.at(i)->setGeometry(rects.at(i));
        windows.at(i)->raise();
    }
}

void tileSubWindows(QMdiArea *area, Mode mode)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
        if (!w->isMinimized())
            windows << w;
    // Side by side windows need more room each than stacked ones.
    const QList<QRect> rects = tile(area->viewport()->rect(), int(windows.size()), mode,
                                    mode == Mode::Vertical ? 120 : 60);
    for (int i = 0; i < windows.size(); ++i) {
        windows.at(i)->showNormal();
        windows.at(i)->setGeometry(rects.at(i));
    }
}

void arrangeMinimized(QMdiArea *area)
{
    QList<QMdiSubWindow *> minimized;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
        if (w->isMinimized())
            minimized << w;
    if (minimized.isEmpty())
        return;
    const QList<QRect> rects = arrangeIcons(area->viewport()->rect(), int(minimized.size()), minimized.first()->size());
    for (int i = 0; i < minimized.size(); ++i)
        minimized.at(i)->move(rects.at(i).topLeft());
}

} // namespace WindowTiler
