#include "print/PreviewLayout.h"

#include "print/PaperTypes.h"

#include <cmath>

namespace PreviewLayout {

using PaperTypes::mulDiv;

QSize sheetSize(TZoomState state, int zoom, QSize page, QSize available, Frame frame)
{
    if (page.isEmpty())
        return QSize(frame.frame(0), frame.frame(0));
    const int W = available.width();
    const int H = available.height();
    const auto toWidth = [&] { return QSize(W, frame.frame(mulDiv(frame.unframe(W), page.height(), page.width()))); };
    const auto toHeight = [&] { return QSize(frame.frame(mulDiv(frame.unframe(H), page.width(), page.height())), H); };
    switch (state) {
    case zsZoomOther:
        return QSize(frame.frame(mulDiv(page.width(), zoom, 100)), frame.frame(mulDiv(page.height(), zoom, 100)));
    case zsZoomToWidth:
        return toWidth();
    case zsZoomToHeight:
        return toHeight();
    case zsZoomToFit:
        // H / W <= page height / page width, without dividing.
        if (qint64(H) * page.width() <= qint64(page.height()) * W)
            return toHeight();
        return toWidth();
    }
    return QSize();
}

int zoomOfSheet(QSize sheet, QSize page, Frame frame)
{
    if (page.height() <= 0)
        return 100;
    return int(std::nearbyint(frame.unframe(sheet.height()) * 100.0 / page.height()));
}

Result layout(const Input &in)
{
    Result r;
    int W = in.client.width() - 2 * in.margin.width();
    int H = in.client.height() - 2 * in.margin.height();
    if (in.autoScroll) {
        // Count the space as if no scroll bar were shown.
        if (in.hBarShown)
            H += in.hBarHeight;
        if (in.vBarShown)
            W += in.vBarWidth;
    }
    QSize sheet = sheetSize(in.state, in.zoom, in.page, QSize(W, H), in.frame);
    r.horzOverflow = sheet.width() > W;
    r.vertOverflow = sheet.height() > H;
    if (in.autoScroll && (r.horzOverflow || r.vertOverflow)) {
        if (r.horzOverflow) {
            H -= in.hBarHeight;
            r.vertOverflow = sheet.height() > H;
            if (r.vertOverflow)
                W -= in.vBarWidth;
        } else {
            W -= in.vBarWidth;
            r.horzOverflow = sheet.width() > W;
            if (r.horzOverflow)
                H -= in.hBarHeight;
        }
        sheet = sheetSize(in.state, in.zoom, in.page, QSize(W, H), in.frame);
    }
    const int left = in.margin.width() + (r.horzOverflow ? 0 : (W - sheet.width()) / 2);
    const int top = in.margin.height() + (r.vertOverflow ? 0 : (H - sheet.height()) / 2);
    r.sheet = QRect(QPoint(left, top), sheet);
    r.available = QSize(W, H);
    r.zoom = in.state == zsZoomOther ? in.zoom : zoomOfSheet(sheet, in.page, in.frame);
    return r;
}

int positionPercent(int position, int maximum)
{
    return qMax(0, mulDiv(position, 100, maximum));
}

int positionFromPercent(int percent, int maximum)
{
    return mulDiv(percent, maximum, 100);
}

int WheelAccumulator::add(int delta)
{
    m_sum += delta;
    int steps = 0;
    while (qAbs(m_sum) >= 120) {
        const int step = m_sum > 0 ? 1 : -1;
        m_sum -= 120 * step;
        steps += step;
    }
    return steps;
}

namespace {
int fittedStart(TZoomState state, int zoom)
{
    if (state == zsZoomToWidth)
        return 75;
    if (state == zsZoomToFit)
        return 45;
    return zoom;
}
} // namespace

int zoomIn(TZoomState state, int zoom)
{
    return int(std::nearbyint(fittedStart(state, zoom) * 1.5));
}

int zoomOut(TZoomState state, int zoom)
{
    return int(std::nearbyint(fittedStart(state, zoom) / 1.5));
}

int zoomFromText(const QString &text)
{
    QString digits = text;
    const qsizetype percent = digits.indexOf(u'%');
    if (percent >= 0)
        digits.remove(percent, 1);
    bool ok = false;
    const int zoom = digits.trimmed().toInt(&ok);
    return ok ? zoom : 50;
}

} // namespace PreviewLayout
