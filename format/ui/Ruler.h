#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;

// The ruler above a document's editor: tick marks at the default tab stops
// and the first-line, left and right indent markers. Dragging a marker draws
// a dotted guide line across the editor; dropping it reports the marker's
// centre in ruler coordinates.
class Ruler : public QFrame
{
    Q_OBJECT

public:
    enum class Marker { First, Left, Right };

    explicit Ruler(QWidget *parent = nullptr);

    // The widget the guide line is drawn across while dragging.
    void setGuideTarget(QWidget *target) { m_guideTarget = target; }
    // Markers centred at these ruler x positions.
    void placeMarkers(int firstX, int leftX, int rightX);
    QWidget *marker(Marker which) const;
    bool isDragging() const { return m_dragging != nullptr; }
    // x of the guide line in the guide target, -1 when none is shown.
    int guideLineX() const;

    QFrame *RulerLine;

signals:
    void markerDropped(Ruler::Marker marker, int centreX);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeGuideLine();

    QWidget *m_first;
    QWidget *m_left;
    QWidget *m_right;
    QWidget *m_dragging = nullptr;
    int m_dragOffset = 0;
    QPointer<QWidget> m_guideTarget;
    QPointer<QWidget> m_guide;
};
