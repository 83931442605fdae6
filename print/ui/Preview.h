#pragma once

#include "print/MetafileList.h"
#include "print/PaperTypes.h"
#include "print/PreviewLayout.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QCursor>
#include <QPicture>
#include <QWidget>

#include <memory>

class QPainter;

// The look of the preview's sheet; every change is announced so that the
// preview copies it into the sheet and lays out again.
class TPaperPreviewOptions : public QObject
{
    Q_OBJECT

public:
    explicit TPaperPreviewOptions(QObject *parent = nullptr);

    QColor paperColor() const { return m_paperColor; }
    QColor borderColor() const { return m_borderColor; }
    int borderWidth() const { return m_borderWidth; }
    QColor shadowColor() const { return m_shadowColor; }
    int shadowWidth() const { return m_shadowWidth; }
    QCursor cursor() const { return m_cursor; }
    QCursor dragCursor() const { return m_dragCursor; }
    QCursor grabCursor() const { return m_grabCursor; }

    void setPaperColor(const QColor &c) { set(m_paperColor, c); }
    void setBorderColor(const QColor &c) { set(m_borderColor, c); }
    void setBorderWidth(int w) { set(m_borderWidth, qMax(0, w)); }
    void setShadowColor(const QColor &c) { set(m_shadowColor, c); }
    void setShadowWidth(int w) { set(m_shadowWidth, qMax(0, w)); }
    void setCursor(const QCursor &c) { m_cursor = c; emit changed(); }
    void setDragCursor(const QCursor &c) { m_dragCursor = c; emit changed(); }
    void setGrabCursor(const QCursor &c) { m_grabCursor = c; emit changed(); }

signals:
    void changed();

private:
    template <typename T> void set(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        emit changed();
    }

    QColor m_paperColor = Qt::white;
    QColor m_borderColor = Qt::black;
    int m_borderWidth = 1;
    QColor m_shadowColor;
    int m_shadowWidth = 3;
    QCursor m_cursor = Qt::ArrowCursor;
    QCursor m_dragCursor = Qt::OpenHandCursor;
    QCursor m_grabCursor = Qt::ClosedHandCursor;
};

// The sheet: paper with a border and a shadow on the right and bottom. Its
// size is the paper's plus that frame.
class TPaperPreview : public QWidget
{
    Q_OBJECT

public:
    explicit TPaperPreview(QWidget *parent = nullptr);

    void setLook(const TPaperPreviewOptions &options);
    int borderSize() const { return m_border; }
    int shadowSize() const { return m_shadow; }
    QSize paperSize() const;
    void setPaperSize(QSize paper);
    // Where the paper is drawn: the widget less border and shadow.
    QRect pageRect() const;

signals:
    // Paint the page into rect; the paper is already filled.
    void paintPage(QPainter &painter, const QRect &rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_paperColor = Qt::white;
    QColor m_borderColor = Qt::black;
    QColor m_shadowColor = Qt::darkGray;
    int m_border = 1;
    int m_shadow = 3;
};

// A scrolling view of recorded pages, one at a time, on a sheet at a zoom or
// fitted to the view. A producer calls BeginDoc, draws each page on Canvas in
// the units of Units with the origin at the paper's corner, calls NewPage
// between pages and EndDoc at the end. Keys, the mouse wheel and dragging the
// sheet scroll, turn pages and zoom.
class TPrintPreview : public QAbstractScrollArea
{
    Q_OBJECT

public:
    enum class Orientation { Portrait, Landscape };
    enum class RecordingState { Idle, Previewing };

    explicit TPrintPreview(QWidget *parent = nullptr);
    ~TPrintPreview() override;

    TUnits units() const { return m_units; }
    void setUnits(TUnits units);
    TPaperType paperType() const { return m_paperType; }
    void setPaperType(TPaperType type);
    int paperWidth() const { return m_extent.width(); }
    int paperHeight() const { return m_extent.height(); }
    void setPaperWidth(int width) { setPageExtent(QSize(width, m_extent.height())); }
    void setPaperHeight(int height) { setPageExtent(QSize(m_extent.width(), height)); }
    void setPageExtent(QSize extent);
    QSize pageExtent() const { return m_extent; }
    QSize pageExtentPixels() const { return m_extentPixels; }
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation orientation);

    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    TZoomState zoomState() const { return m_zoomState; }
    void setZoomState(TZoomState state);
    int zoomMin() const { return m_zoomMin; }
    int zoomMax() const { return m_zoomMax; }
    void setZoomMin(int value);
    void setZoomMax(int value);
    int zoomStep() const { return m_zoomStep; }
    void setZoomStep(int step) { m_zoomStep = qMax(1, step); }
    bool zoomSavePos() const { return m_zoomSavePos; }
    void setZoomSavePos(bool on) { m_zoomSavePos = on; }

    TPaperPreviewOptions *paperView() const { return m_paperView; }
    TPaperPreview *sheet() const { return m_sheet; }
    TMetafileList &pages() { return m_pages; }
    QString printJobTitle() const { return m_title; }
    void setPrintJobTitle(const QString &title) { m_title = title; }
    bool useTempFile() const { return m_pages.useTempFile(); }
    void setUseTempFile(bool on) { m_pages.setUseTempFile(on); }

    // Recording. NewPage and EndDoc answer false when the page could not be
    // kept; the page is then discarded.
    bool BeginDoc();
    bool NewPage();
    bool EndDoc();
    void Abort();
    void Clear();
    // The painter of the page being recorded, or null.
    QPainter *Canvas() const { return m_canvas.get(); }
    RecordingState recordingState() const { return m_state; }
    bool isAborted() const { return m_aborted; }

    int CurrentPage() const { return m_currentPage; }
    void setCurrentPage(int page);
    int TotalPages() const { return m_pages.count(); }

    bool horzOverflow() const { return m_horzOverflow; }
    bool vertOverflow() const { return m_vertOverflow; }
    QSize scrollMargin() const { return QSize(4, 4); }

signals:
    void beginDoc();
    void endDoc();
    void newPage();
    void endPage();
    void aborted();
    void changed();
    void zoomChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void updateExtentPixels();
    void layoutView();
    void placeSheet();
    void applyPaperView();
    void pagesChanged();
    void paintCurrentPage(QPainter &painter, const QRect &rect);
    bool openPage();
    bool closePage();
    int screenDpi() const;
    bool handleWheel(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

    TMetafileList m_pages;
    TPaperPreviewOptions *m_paperView;
    TPaperPreview *m_sheet;
    std::unique_ptr<QPicture> m_recording;
    std::unique_ptr<QPainter> m_canvas;
    RecordingState m_state = RecordingState::Idle;
    bool m_aborted = false;

    TUnits m_units = mmHiMetric;
    TPaperType m_paperType = pA4;
    QSize m_extent;
    QSize m_extentPixels;
    Orientation m_orientation = Orientation::Portrait;
    int m_zoom = 100;
    TZoomState m_zoomState = zsZoomToFit;
    int m_zoomMin = 10;
    int m_zoomMax = 500;
    int m_zoomStep = 10;
    bool m_zoomSavePos = true;
    QString m_title;
    int m_currentPage = 0;
    QRect m_sheetRect;
    bool m_horzOverflow = false;
    bool m_vertOverflow = false;
    bool m_layingOut = false;

    PreviewLayout::WheelAccumulator m_wheel;
    bool m_dragging = false;
    QPoint m_pressPoint;
    QPoint m_pressScroll;
};
