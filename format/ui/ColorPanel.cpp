#include "format/ui/ColorPanel.h"

#include <QMouseEvent>

ColorPanel::ColorPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFixedSize(18, 18);
    setAutoFillBackground(true);
}

void ColorPanel::setColor(const QColor &color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
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
