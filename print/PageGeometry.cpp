#include "print/PageGeometry.h"

#include <cmath>

PageGeometry PageGeometry::fromMillimetres(const QSizeF &paperMm, int dpiX, int dpiY, const PageMargins &margins)
{
    PageGeometry g;
    g.dpiX = qMax(1, dpiX);
    g.dpiY = qMax(1, dpiY);
    g.paperPixels = QSize(mmToPixels(paperMm.width(), g.dpiX), mmToPixels(paperMm.height(), g.dpiY));
    g.margins = margins;
    return g;
}

int PageGeometry::mmToPixels(double mm, int dpi)
{
    // nearbyint keeps the default rounding mode: to nearest, halves to even.
    return int(std::nearbyint(mm * dpi / 25.4));
}

QRect PageGeometry::textRect() const
{
    const QRect paper = paperRect();
    const int left = mmToPixels(margins.left, dpiX);
    const int top = mmToPixels(margins.top, dpiY);
    const int right = paperPixels.width() - mmToPixels(margins.right, dpiX);
    const int bottom = paperPixels.height() - mmToPixels(margins.bottom, dpiY);
    if (right <= left || bottom <= top)
        return paper;
    const QRect text = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(paper);
    return text.isEmpty() ? paper : text;
}
