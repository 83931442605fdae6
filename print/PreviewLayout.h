#pragma once

#include <QRect>
#include <QSize>
#include <QString>

enum TZoomState { zsZoomOther, zsZoomToWidth, zsZoomToHeight, zsZoomToFit };

// Where the preview puts its sheet: the sheet is the paper plus a border on
// every side and a shadow on the right and bottom.
namespace PreviewLayout {

struct Frame {
    int border = 1;
    int shadow = 3;
    int frame(int x) const { return x + 2 * border + shadow; }
    int unframe(int x) const { return x - 2 * border - shadow; }
};

// The sheet size for the available area; page is the paper in screen pixels
// at 100 %.
QSize sheetSize(TZoomState state, int zoom, QSize page, QSize available, Frame frame);
// The zoom a sheet shows the page at: its paper height over the page's.
int zoomOfSheet(QSize sheet, QSize page, Frame frame);

struct Input {
    QSize client;          // the view's client area, less the scroll bars now shown
    QSize margin;          // space kept free around the sheet, horizontally and vertically
    int vBarWidth = 0;     // extent of the scroll bars
    int hBarHeight = 0;
    bool hBarShown = false;
    bool vBarShown = false;
    bool autoScroll = true;
    TZoomState state = zsZoomToFit;
    int zoom = 100;
    QSize page;
    Frame frame;
};

struct Result {
    QRect sheet;           // in content coordinates (scrolled by the bars)
    bool horzOverflow = false;
    bool vertOverflow = false;
    QSize available;       // W and H: the client area the scroll bars leave
    int zoom = 100;        // the zoom shown (recomputed unless zsZoomOther)
    // How far the scroll bars move the content: the overflow.
    int hMaximum() const { return horzOverflow ? sheet.width() - available.width() : 0; }
    int vMaximum() const { return vertOverflow ? sheet.height() - available.height() : 0; }
};

Result layout(const Input &in);

// A scroll position as a share of its range, and back, so that a zoom change
// keeps the same part of the page in view.
int positionPercent(int position, int maximum);
int positionFromPercent(int percent, int maximum);

// Mouse-wheel turns: deltas add up, and every 120 of them make one step.
class WheelAccumulator
{
public:
    // Adds delta; answers the steps to take, positive for a forward turn.
    int add(int delta);
    int pending() const { return m_sum; }

private:
    int m_sum = 0;
};

// The preview window's zoom buttons: from a fitted state they start from the
// zoom of that state's usual look, then step by a factor of 1.5 (rounded to
// the nearest, halves to even). The preview clamps the result.
int zoomIn(TZoomState state, int zoom);
int zoomOut(TZoomState state, int zoom);
// The zoom box's text: a first "%" is dropped; not a number gives 50.
int zoomFromText(const QString &text);

} // namespace PreviewLayout
