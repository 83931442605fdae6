#include "format/RulerGeometry.h"

#include <QtGlobal>

#include <cmath>

namespace {

// Indents of whole points; truncated toward zero and kept in int range so
// far-off drops and huge stored indents cannot overflow.
int truncated(double value)
{
    return int(qBound(-1.0e8, std::trunc(value), 1.0e8));
}

} // namespace

int RulerGeometry::indentToX(int points, Side side) const
{
    const int p = truncated(points * Scale);
    return side == Side::Left ? m_textLeft + p : m_textRight - p;
}

int RulerGeometry::xToIndent(int x, Side side) const
{
    const double d = side == Side::Left ? double(x) - m_textLeft : double(m_textRight) - x;
    return truncated(d / Scale);
}

int RulerGeometry::dragPosition(int left, int rulerWidth, int dragOffset)
{
    return qMax(0, qMin(left, rulerWidth - 2 * dragOffset));
}

int RulerGeometry::droppedFirstIndent(int markerCentre) const
{
    return qMax(0, xToIndent(markerCentre, Side::Left));
}

int RulerGeometry::droppedLeftIndent(int markerCentre, int firstIndent) const
{
    return qMax(-firstIndent, xToIndent(markerCentre, Side::Left) - firstIndent);
}

int RulerGeometry::droppedRightIndent(int markerCentre) const
{
    return qMax(0, xToIndent(markerCentre, Side::Right));
}
