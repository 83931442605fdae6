#include "print/ui/Preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

// -- TPaperPreviewOptions ---------------------------------------------------

TPaperPreviewOptions::TPaperPreviewOptions(QObject *parent)
    : QObject(parent), m_shadowColor(QApplication::palette().color(QPalette::Shadow))
{
}

// -- TPaperPreview -------------------------------------------------------------

TPaperPreview::TPaperPreview(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPaperSize(QSize(105, 148));
}

void TPaperPreview::setLook(const TPaperPreviewOptions &options)
{
    const QSize paper = paperSize();
    m_paperColor = options.paperColor();
    m_borderColor = options.borderColor();
    m_shadowColor = options.shadowColor();
    m_border = options.borderWidth();
    m_shadow = options.shadowWidth();
    // A new frame keeps the paper's size.
    setPaperSize(paper);
    update();
}

QSize TPaperPreview::paperSize() const
{
    return QSize(width() - 2 * m_border - m_shadow, height() - 2 * m_border - m_shadow);
}

void TPaperPreview::setPaperSize(QSize paper)
{
    resize(paper.width() + 2 * m_border + m_shadow, paper.height() + 2 * m_border + m_shadow);
}

QRect TPaperPreview::pageRect() const
{
    return QRect(QPoint(m_border, m_border), QPoint(width() - (m_border + m_shadow) - 1, height() - (m_border + m_shadow) - 1));
}

void TPaperPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const QColor background = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                             : palette().color(QPalette::Window);
    if (m_border > 0) {
        painter.fillRect(QRect(0, 0, w - m_shadow, h - m_shadow), m_borderColor);
    }
    if (m_shadow > 0) {
        painter.fillRect(QRect(QPoint(w - m_shadow, m_shadow), QPoint(w - 1, h - 1)), m_shadowColor);
        painter.fillRect(QRect(QPoint(m_shadow, h - m_shadow), QPoint(w - 1, h - 1)), m_shadowColor);
        painter.fillRect(QRect(w - m_shadow, 0, m_shadow, m_shadow), background);
        painter.fillRect(QRect(0, h - m_shadow, m_shadow, m_shadow), background);
    }
    const QRect page = pageRect();
    painter.setClipRect(page);
    painter.fillRect(page, m_paperColor);
    emit paintPage(painter, page);
}

// -- TPrintPreview -------------------------------------------------------------

TPrintPreview::TPrintPreview(QWidget *parent)
    : QAbstractScrollArea(parent), m_paperView(new TPaperPreviewOptions(this)), m_sheet(new TPaperPreview(viewport()))
{
    setFocusPolicy(Qt::StrongFocus);
    m_sheet->hide();
    m_sheet->installEventFilter(this);
    m_extent = PaperTypes::extent(m_paperType, m_units, screenDpi());
    updateExtentPixels();
    connect(m_paperView, &TPaperPreviewOptions::changed, this, &TPrintPreview::applyPaperView);
    connect(m_sheet, &TPaperPreview::paintPage, this, &TPrintPreview::paintCurrentPage);
    connect(&m_pages, &TMetafileList::changed, this, &TPrintPreview::pagesChanged);
    connect(&m_pages, &TMetafileList::pageRewritten, this, [this](int index) {
        if (index + 1 == m_currentPage)
            m_sheet->update();
    });
    applyPaperView();
}

TPrintPreview::~TPrintPreview()
{
    if (m_canvas)
        m_canvas->end();
}

int TPrintPreview::screenDpi() const
{
    return qMax(1, logicalDpiY());
}

void TPrintPreview::updateExtentPixels()
{
    const int dpi = screenDpi();
    m_extentPixels = QSize(PaperTypes::convert(m_extent.width(), m_units, mmPixel, dpi, dpi),
                           PaperTypes::convert(m_extent.height(), m_units, mmPixel, dpi, dpi));
}

void TPrintPreview::setUnits(TUnits units)
{
    if (units == m_units)
        return;
    const int dpi = screenDpi();
    if (m_paperType != pCustom) {
        m_extent = PaperTypes::extent(m_paperType, units, dpi);
        if (m_orientation == Orientation::Landscape)
            m_extent.transpose();
    } else {
        m_extent = QSize(PaperTypes::convert(m_extent.width(), m_units, units, dpi, dpi),
                         PaperTypes::convert(m_extent.height(), m_units, units, dpi, dpi));
    }
    m_units = units;
    updateExtentPixels();
    layoutView();
}

void TPrintPreview::setPaperType(TPaperType type)
{
    if (m_state != RecordingState::Idle || type == pCustom || type < 0 || type >= PaperTypeCount)
        return;
    m_paperType = type;
    m_extent = PaperTypes::extent(type, m_units, screenDpi());
    if (m_orientation == Orientation::Landscape)
        m_extent.transpose();
    updateExtentPixels();
    layoutView();
}

void TPrintPreview::setPageExtent(QSize extent)
{
    extent = QSize(qBound(1, extent.width(), 32767), qBound(1, extent.height(), 32767));
    if (m_state != RecordingState::Idle || extent == m_extent)
        return;
    m_extent = extent;
    m_paperType = PaperTypes::find(extent, m_units, m_orientation == Orientation::Landscape, screenDpi());
    updateExtentPixels();
    layoutView();
}

void TPrintPreview::setOrientation(Orientation orientation)
{
    if (m_state != RecordingState::Idle || orientation == m_orientation)
        return;
    m_orientation = orientation;
    m_extent.transpose();
    updateExtentPixels();
    layoutView();
}

void TPrintPreview::setZoom(int zoom)
{
    zoom = qBound(m_zoomMin, zoom, m_zoomMax);
    if (zoom == m_zoom && m_zoomState == zsZoomOther)
        return;
    m_zoomState = zsZoomOther;
    const int before = m_zoom;
    m_zoom = zoom;
    layoutView();
    if (before != m_zoom)
        emit zoomChanged();
}

void TPrintPreview::setZoomState(TZoomState state)
{
    if (state == m_zoomState)
        return;
    m_zoomState = state;
    layoutView();
}

void TPrintPreview::setZoomMin(int value)
{
    if (value < 1 || value > m_zoomMax)
        return;
    m_zoomMin = value;
    if (m_zoomState == zsZoomOther && m_zoom < value)
        setZoom(value);
}

void TPrintPreview::setZoomMax(int value)
{
    if (value < m_zoomMin)
        return;
    m_zoomMax = value;
    if (m_zoomState == zsZoomOther && m_zoom > value)
        setZoom(value);
}

void TPrintPreview::applyPaperView()
{
    m_sheet->setLook(*m_paperView);
    layoutView();
}

void TPrintPreview::layoutView()
{
    if (m_layingOut || m_pages.count() == 0)
        return;
    m_layingOut = true;
    const int before = m_zoom;
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    int hPercent = 0, vPercent = 0;
    const bool savePos = m_zoomSavePos && m_currentPage > 0;
    if (savePos) {
        hPercent = PreviewLayout::positionPercent(h->value(), h->maximum());
        vPercent = PreviewLayout::positionPercent(v->value(), v->maximum());
    }
    PreviewLayout::Input in;
    in.client = viewport()->size();
    in.margin = scrollMargin();
    in.vBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, v);
    in.hBarHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, h);
    in.hBarShown = h->isVisible();
    in.vBarShown = v->isVisible();
    in.state = m_zoomState;
    in.zoom = m_zoom;
    in.page = m_extentPixels;
    in.frame = {m_sheet->borderSize(), m_sheet->shadowSize()};
    const PreviewLayout::Result r = PreviewLayout::layout(in);
    m_sheetRect = r.sheet;
    m_horzOverflow = r.horzOverflow;
    m_vertOverflow = r.vertOverflow;
    m_zoom = r.zoom;
    setHorizontalScrollBarPolicy(r.horzOverflow ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(r.vertOverflow ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    h->setRange(0, r.hMaximum());
    v->setRange(0, r.vMaximum());
    h->setPageStep(qMax(1, r.available.width()));
    v->setPageStep(qMax(1, r.available.height()));
    h->setSingleStep(qMax(1, r.available.width() / 10));
    v->setSingleStep(qMax(1, r.available.height() / 10));
    h->setValue(savePos && r.horzOverflow ? PreviewLayout::positionFromPercent(hPercent, h->maximum()) : 0);
    v->setValue(savePos && r.vertOverflow ? PreviewLayout::positionFromPercent(vPercent, v->maximum()) : 0);
    m_sheet->resize(r.sheet.size());
    placeSheet();
    m_dragging = false;
    m_sheet->setCursor(r.horzOverflow || r.vertOverflow ? m_paperView->dragCursor() : m_paperView->cursor());
    m_sheet->update();
    m_layingOut = false;
    if (m_zoom != before)
        emit zoomChanged();
}

void TPrintPreview::placeSheet()
{
    m_sheet->move(m_sheetRect.x() - horizontalScrollBar()->value(), m_sheetRect.y() - verticalScrollBar()->value());
}

void TPrintPreview::scrollContentsBy(int, int)
{
    placeSheet();
}

void TPrintPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutView();
}

bool TPrintPreview::viewportEvent(QEvent *event)
{
    // The scroll bars' own wheel handling would bypass the accumulator.
    if (event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TPrintPreview::pagesChanged()
{
    if (m_pages.count() == 0) {
        m_currentPage = 0;
        m_sheet->hide();
    } else if (m_currentPage == 0) {
        layoutView();
        m_currentPage = 1;
        m_sheet->show();
    }
    m_sheet->update();
    emit changed();
}

void TPrintPreview::setCurrentPage(int page)
{
    if (m_pages.count() == 0)
        return;
    page = qBound(1, page, m_pages.count());
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    m_sheet->update();
    emit changed();
}

void TPrintPreview::paintCurrentPage(QPainter &painter, const QRect &rect)
{
    if (m_currentPage < 1 || m_extentPixels.isEmpty())
        return;
    const QPicture picture = m_pages.page(m_currentPage - 1);
    painter.translate(rect.topLeft());
    painter.scale(qreal(rect.width()) / m_extentPixels.width(), qreal(rect.height()) / m_extentPixels.height());
    painter.drawPicture(0, 0, picture);
}

// -- recording ---------------------------------------------------------------

bool TPrintPreview::openPage()
{
    m_recording = std::make_unique<QPicture>();
    m_canvas = std::make_unique<QPainter>();
    if (!m_canvas->begin(m_recording.get())) {
        m_canvas.reset();
        m_recording.reset();
        return false;
    }
    // Logical units are the preview's units, the origin the paper's corner.
    m_canvas->setClipRect(QRect(QPoint(0, 0), m_extentPixels));
    m_canvas->scale(qreal(m_extentPixels.width()) / m_extent.width(), qreal(m_extentPixels.height()) / m_extent.height());
    // Fonts keep their point size on paper: a point is 1/72 inch in units.
    QFont canvasFont = font();
    const int dpi = screenDpi();
    const int unitsPerInch = PaperTypes::convert(1000, mmHiEnglish, m_units, dpi, dpi);
    canvasFont.setPixelSize(qMax(1, qRound(canvasFont.pointSizeF() * unitsPerInch / 72.0)));
    m_canvas->setFont(canvasFont);
    emit newPage();
    return true;
}

bool TPrintPreview::closePage()
{
    if (!m_canvas)
        return true;
    emit endPage();
    m_canvas->end();
    m_canvas.reset();
    m_recording->setBoundingRect(QRect(QPoint(0, 0), m_extentPixels));
    const bool kept = m_pages.append(*m_recording);
    m_recording.reset();
    return kept;
}

bool TPrintPreview::BeginDoc()
{
    if (m_state != RecordingState::Idle)
        return false;
    m_aborted = false;
    m_pages.clear();
    m_state = RecordingState::Previewing;
    updateExtentPixels();
    emit beginDoc();
    return NewPage();
}

bool TPrintPreview::NewPage()
{
    if (m_state != RecordingState::Previewing)
        return false;
    const bool kept = closePage();
    return openPage() && kept;
}

bool TPrintPreview::EndDoc()
{
    if (m_state != RecordingState::Previewing)
        return false;
    const bool kept = closePage();
    emit endDoc();
    m_state = RecordingState::Idle;
    return kept;
}

void TPrintPreview::Abort()
{
    if (m_aborted || m_state != RecordingState::Previewing)
        return;
    m_aborted = true;
    emit aborted();
    if (m_canvas)
        m_canvas->end();
    m_canvas.reset();
    m_recording.reset();
    m_state = RecordingState::Idle;
    m_pages.clear();
}

void TPrintPreview::Clear()
{
    m_pages.clear();
}

// -- keys, wheel and dragging --------------------------------------------------

void TPrintPreview::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool none = mods == Qt::NoModifier;
    const bool shift = mods == Qt::ShiftModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const auto step = [&](QScrollBar *bar, int by) { bar->setValue(bar->value() + by); };
    const int sign = (event->key() == Qt::Key_Left || event->key() == Qt::Key_Up) ? -1 : 1;
    switch (event->key()) {
    case Qt::Key_Home:
        if (none) h->setValue(0);
        else if (ctrl) v->setValue(0);
        else break;
        return;
    case Qt::Key_End:
        if (none) h->setValue(h->maximum());
        else if (ctrl) v->setValue(v->maximum());
        else break;
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (none) step(h, sign * h->singleStep());
        else if (shift) step(h, sign);
        else if (ctrl) step(h, sign * viewport()->width());
        else break;
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (none) step(v, sign * v->singleStep());
        else if (shift) step(v, sign);
        else if (ctrl) step(v, sign * viewport()->height());
        else break;
        return;
    case Qt::Key_PageUp:
        if (none) setCurrentPage(m_currentPage - 1);
        else if (ctrl) setCurrentPage(1);
        else break;
        return;
    case Qt::Key_PageDown:
        if (none) setCurrentPage(m_currentPage + 1);
        else if (ctrl) setCurrentPage(TotalPages());
        else break;
        return;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if ((event->modifiers() & Qt::KeypadModifier) && none) {
            setZoom(m_zoom + (event->key() == Qt::Key_Plus ? m_zoomStep : -m_zoomStep));
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool TPrintPreview::handleWheel(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    modifiers &= ~Qt::KeypadModifier;
    const bool none = modifiers == Qt::NoModifier && !(buttons & Qt::MiddleButton);
    const bool pages = modifiers == Qt::ShiftModifier || (modifiers == Qt::NoModifier && (buttons & Qt::MiddleButton));
    const bool zooming = modifiers == Qt::ControlModifier;
    if (!none && !pages && !zooming)
        return false;
    const int steps = m_wheel.add(delta);
    QScrollBar *v = verticalScrollBar();
    for (int i = 0; i < qAbs(steps); ++i) {
        const int forward = steps > 0 ? 1 : -1;
        if (none)
            v->setValue(v->value() - forward * v->singleStep());
        else if (pages)
            setCurrentPage(m_currentPage - forward);
        else
            setZoom(m_zoom + forward * m_zoomStep);
    }
    return true;
}

void TPrintPreview::wheelEvent(QWheelEvent *event)
{
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    if (handleWheel(delta, event->modifiers(), event->buttons()))
        event->accept();
    else
        event->ignore();
}

bool TPrintPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_sheet)
        return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressPoint = viewport()->mapFromGlobal(mouse->globalPosition().toPoint());
        m_pressScroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        if (mouse->button() == Qt::LeftButton && (m_horzOverflow || m_vertOverflow)) {
            m_dragging = true;
            m_sheet->setCursor(m_paperView->grabCursor());
        }
        setFocus();
        return false;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_dragging || !(mouse->buttons() & Qt::LeftButton))
            return false;
        // The whole move since the press, applied to the position at the press.
        const QPoint d = viewport()->mapFromGlobal(mouse->globalPosition().toPoint()) - m_pressPoint;
        if (m_horzOverflow)
            horizontalScrollBar()->setValue(m_pressScroll.x() - d.x());
        if (m_vertOverflow)
            verticalScrollBar()->setValue(m_pressScroll.y() - d.y());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            m_sheet->setCursor(m_paperView->dragCursor());
        }
        return false;
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        wheelEvent(wheel);
        return true;
    }
    default:
        return false;
    }
}
