#include "format/ui/Ruler.h"

#include "format/RulerGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// A triangle pointing down (first line, top of the ruler) or up (bottom).
class MarkerWidget : public QWidget
{
public:
    MarkerWidget(const char *name, bool pointsDown, QWidget *parent) : QWidget(parent), m_down(pointsDown)
    {
        setObjectName(QString::fromLatin1(name));
        setFixedSize(13, 10);
        setCursor(Qt::SizeHorCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        const qreal w = width() - 1, h = height() - 1;
        if (m_down) {
            path.moveTo(0.5, 0.5);
            path.lineTo(w, 0.5);
            path.lineTo(w / 2, h);
        } else {
            path.moveTo(w / 2, 0.5);
            path.lineTo(w, h);
            path.lineTo(0.5, h);
        }
        path.closeSubpath();
        p.fillPath(path, palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawPath(path);
    }

private:
    bool m_down;
};

// The dotted vertical line shown across the editor while a marker moves.
class GuideLine : public QWidget
{
public:
    explicit GuideLine(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("GuideLine"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.drawLine(0, 0, 0, height());
    }
};

} // namespace

Ruler::Ruler(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedHeight(32);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(16);
    setFont(f);
    RulerLine = new QFrame(this);
    RulerLine->setObjectName(QStringLiteral("RulerLine"));
    RulerLine->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    RulerLine->setGeometry(5, 15, 593, 2);
    m_first = new MarkerWidget("FirstInd", true, this);
    m_left = new MarkerWidget("LeftInd", false, this);
    m_right = new MarkerWidget("RightInd", false, this);
    m_first->move(4, 4);
    m_left->move(4, 18);
    m_right->move(585, 18);
    for (QWidget *m : {m_first, m_left, m_right})
        m->installEventFilter(this);
}

QWidget *Ruler::marker(Marker which) const
{
    return which == Marker::First ? m_first : which == Marker::Left ? m_left : m_right;
}

void Ruler::placeMarkers(int firstX, int leftX, int rightX)
{
    if (m_dragging)
        return;
    m_first->move(firstX - m_first->width() / 2, m_first->y());
    m_left->move(leftX - m_left->width() / 2, m_left->y());
    m_right->move(rightX - m_right->width() / 2, m_right->y());
}

int Ruler::guideLineX() const
{
    return m_guide && m_guide->isVisible() ? m_guide->x() : -1;
}

void Ruler::placeGuideLine()
{
    if (!m_guideTarget)
        return;
    if (!m_guide)
        m_guide = new GuideLine(m_guideTarget);
    const QPoint centre = m_dragging->mapTo(window(), QPoint(m_dragOffset, 0));
    const int x = m_guideTarget->mapFrom(window(), centre).x();
    m_guide->setGeometry(x, 0, 1, m_guideTarget->height());
    m_guide->show();
    m_guide->raise();
}

bool Ruler::eventFilter(QObject *watched, QEvent *event)
{
    auto *marker = qobject_cast<QWidget *>(watched);
    if (marker != m_first && marker != m_left && marker != m_right)
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        m_dragging = marker;
        m_dragOffset = marker->width() / 2;
        const int x = e->position().toPoint().x();
        marker->move(qMax(0, marker->x() + x - m_dragOffset), marker->y());
        placeGuideLine();
        return true;
    }
    case QEvent::MouseMove: {
        if (m_dragging != marker)
            return false;
        const int x = static_cast<QMouseEvent *>(event)->position().toPoint().x();
        marker->move(RulerGeometry::dragPosition(marker->x() + x - m_dragOffset, contentsRect().width(), m_dragOffset),
                     marker->y());
        placeGuideLine();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (m_dragging != marker)
            return false;
        m_dragging = nullptr;
        if (m_guide)
            m_guide->hide();
        const Marker which = marker == m_first ? Marker::First : marker == m_left ? Marker::Left : Marker::Right;
        emit markerDropped(which, marker->x() + m_dragOffset);
        return true;
    }
    default:
        return false;
    }
}

void Ruler::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    // A bar at every default tab stop of the ruler font: eight of its average characters.
    const int step = qMax(8, fontMetrics().averageCharWidth() * 8);
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    for (int x = RulerLine->x() + step; x < width() - 2; x += step)
        p.drawLine(x, 8, x, 13);
}

void Ruler::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    RulerLine->setFixedWidth(qMax(0, contentsRect().width() + 2 * frameWidth() - 2 * RulerLine->x()));
}
