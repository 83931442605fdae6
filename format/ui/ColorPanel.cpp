#include "format/ui/ColorPanel.h"

#include <QMouseEvent>
#include <QPainter>

ColorPanel::ColorPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFixedSize(18, 18);
}

void ColorPanel::paintEvent(QPaintEvent *event)
{
    // Styles paint tool bar children over a palette colour: fill it ourselves.
    QPainter p(this);
    p.fillRect(contentsRect(), m_color);
    p.end();
    QFrame::paintEvent(event);
}

void ColorPanel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QColor ColorPanel::fromSettingsNumber(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int ColorPanel::toSettingsNumber(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void ColorPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setFrameShadow(QFrame::Sunken);
    QFrame::mousePressEvent(event);
}

void ColorPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QFrame::mouseReleaseEvent(event);
    setFrameShadow(QFrame::Raised);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}
