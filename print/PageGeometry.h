#pragma once

#include <QRect>
#include <QSize>
#include <QSizeF>

// The four page margins in whole millimetres, measured from the paper's edges.
struct PageMargins {
    int top = 25;
    int bottom = 20;
    int left = 25;
    int right = 25;

    bool operator==(const PageMargins &o) const
    {
        return top == o.top && bottom == o.bottom && left == o.left && right == o.right;
    }
};

// A sheet of paper at a device resolution: the paper in device pixels with the
// origin at its top-left corner (printers run in full-page mode), and the
// margins. Every rectangle here is in those pixels.
struct PageGeometry {
    QSize paperPixels;
    int dpiX = 1200;
    int dpiY = 1200;
    PageMargins margins;

    static PageGeometry fromMillimetres(const QSizeF &paperMm, int dpiX, int dpiY, const PageMargins &margins);

    // Millimetres to device pixels, rounded to the nearest with halves to even.
    static int mmToPixels(double mm, int dpi);

    // The rectangle the text is laid out in. Margins that leave no room
    // (larger than the paper) give the whole paper, as an empty page
    // rectangle always has.
    QRect textRect() const;
    QRect paperRect() const { return QRect(QPoint(0, 0), paperPixels); }

    // Where the page number goes: a box whose top edge is 15 mm above the
    // paper's bottom edge, centred on the paper, and the character height of
    // 4 mm, both in pixels. The place does not follow the margins.
    int pageNumberTop() const { return paperPixels.height() - dpiY * 150 / 254; }
    int pageNumberPixelSize() const { return qMax(1, dpiY * 40 / 254); }
};
