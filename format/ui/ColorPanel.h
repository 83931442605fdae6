#pragma once

#include <QColor>
#include <QFrame>

// A small colour field of the formatting tool bar: clicking it applies its
// colour. Its bevel is lowered while the mouse is pressed on it.
class ColorPanel : public QFrame
{
    Q_OBJECT

public:
    explicit ColorPanel(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // A colour kept as a settings line: a decimal number in the 0x00BBGGRR form.
    static QColor fromSettingsNumber(int value);
    static int toSettingsNumber(const QColor &color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_color;
};
