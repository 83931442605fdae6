#include "document/LazyDocumentLayout.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextObjectInterface>
#include <QTimer>

#include <cmath>

namespace {

// Left and right as drawn: swapped for right-to-left text unless absolute.
Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    if (!(alignment & Qt::AlignAbsolute) && (alignment & (Qt::AlignLeft | Qt::AlignRight))) {
        if (direction == Qt::RightToLeft)
            alignment ^= (Qt::AlignLeft | Qt::AlignRight);
        alignment |= Qt::AlignAbsolute;
    }
    return alignment;
}

} // namespace

namespace {

// Draws the pictures of a document from its image resources.
class ImageObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument *doc, int, const QTextFormat &format) override
    {
        const QTextImageFormat f = format.toImageFormat();
        const QImage image = this->image(doc, f);
        QSizeF size(f.width(), f.height());
        if (size.width() <= 0 && size.height() <= 0)
            return image.isNull() ? QSizeF(16, 16) : QSizeF(image.size());
        if (size.width() <= 0)
            size.setWidth(image.isNull() ? size.height() : image.width() * size.height() / qMax(1, image.height()));
        if (size.height() <= 0)
            size.setHeight(image.isNull() ? size.width() : image.height() * size.width() / qMax(1, image.width()));
        return size;
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int, const QTextFormat &format) override
    {
        const QImage image = this->image(doc, format.toImageFormat());
        if (image.isNull())
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
        else
            painter->drawImage(rect, image);
    }

private:
    static QImage image(QTextDocument *doc, const QTextImageFormat &format)
    {
        const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
        if (resource.canConvert<QImage>())
            return resource.value<QImage>();
        return QImage();
    }
};

// Paragraphs longer than this are laid out in slices of the event loop.
constexpr int HugeParagraph = 200000;
constexpr int SliceMs = 40;

bool hasLongUnbreakableRun(const QTextBlock &block)
{
    constexpr int LongParagraph = 10000;
    constexpr int LongRun = 2000;
    if (block.length() < LongParagraph)
        return false;
    const QString text = block.text();
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() || c == u'-' ? 0 : run + 1;
        if (run > LongRun)
            return true;
    }
    return false;
}

} // namespace

LazyDocumentLayout::LazyDocumentLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document), m_imageHandler(new ImageObjectHandler(this))
{
    registerHandler(QTextFormat::ImageObject, m_imageHandler);
    updateRowHeight();
}

LazyDocumentLayout::~LazyDocumentLayout() = default;

bool LazyDocumentLayout::suits(const QTextDocument *document)
{
    return document->rootFrame()->childFrames().isEmpty();
}

int LazyDocumentLayout::estimatedRows(int length, qreal averageCharWidth, qreal width)
{
    if (width <= 0 || averageCharWidth <= 0)
        return 1;
    return qMax(1, int(std::ceil(length * averageCharWidth / width)));
}

QString LazyDocumentLayout::layoutSettings(const QTextDocument *doc)
{
    const QTextOption option = doc->defaultTextOption();
    QStringList parts{QString::number(doc->characterCount()), doc->defaultFont().toString(),
                      QString::number(doc->documentMargin()), QString::number(doc->indentWidth()),
                      QString::number(int(option.alignment())), QString::number(int(option.wrapMode())),
                      QString::number(int(option.flags())), QString::number(int(option.textDirection())),
                      QString::number(option.tabStopDistance()), QString::number(option.tabs().size())};
    for (const QTextOption::Tab &tab : option.tabs())
        parts << QString::number(tab.position) << QString::number(int(tab.type));
    return parts.join(u'|');
}

void LazyDocumentLayout::updateRowHeight()
{
    // The height of one line of the default font, as the text layout measures it.
    QTextLayout sample(QStringLiteral("Xg"), document()->defaultFont());
    sample.beginLayout();
    QTextLine line = sample.createLine();
    sample.endLayout();
    m_rowHeight = line.isValid() && line.height() > 0 ? line.height() : QFontMetricsF(document()->defaultFont()).height();
}

qreal LazyDocumentLayout::textWidth() const
{
    return document()->pageSize().width();
}

bool LazyDocumentLayout::wraps() const
{
    return textWidth() > 0 && document()->defaultTextOption().wrapMode() != QTextOption::NoWrap;
}

qreal LazyDocumentLayout::blockTop(const QTextBlock &block) const
{
    return document()->documentMargin() + block.firstLineNumber() * m_rowHeight;
}

QTextBlock LazyDocumentLayout::blockAtY(qreal y) const
{
    QTextDocument *doc = document();
    const int row = qMax(0, int((y - doc->documentMargin()) / m_rowHeight));
    QTextBlock block = doc->findBlockByLineNumber(qMin(row, doc->lineCount() - 1));
    return block.isValid() ? block : doc->lastBlock();
}

QSizeF LazyDocumentLayout::documentSize() const
{
    const QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    const qreal width = wraps() ? textWidth() : qMax(textWidth(), m_maxWidth + 2 * margin);
    return QSizeF(width, doc->lineCount() * m_rowHeight + 2 * margin);
}

QRectF LazyDocumentLayout::frameBoundingRect(QTextFrame *) const
{
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF LazyDocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return QRectF();
    if (ensureLaidOut(block))
        QTimer::singleShot(0, this, [this] { emit const_cast<LazyDocumentLayout *>(this)->documentSizeChanged(documentSize()); });
    const qreal margin = document()->documentMargin();
    return QRectF(margin, blockTop(block), documentSize().width() - 2 * margin, block.lineCount() * m_rowHeight);
}

bool LazyDocumentLayout::ensureLaidOut(const QTextBlock &block) const
{
    const qreal width = wraps() ? textWidth() : -1;
    QTextLayout *layout = block.layout();
    const auto it = m_laidOutWidths.constFind(block.fragmentIndex());
    if (layout->lineCount() > 0 && it != m_laidOutWidths.cend() && *it == width)
        return false;
    if (block.length() > HugeParagraph) {
        // Drawn and hit as far as its lines have got.
        const auto growing = m_growing.constFind(block.fragmentIndex());
        if (growing == m_growing.cend() || growing->width != width)
            startGrowing(block, width);
        return false;
    }
    const int rowsBefore = block.lineCount();
    layoutBlock(block);
    m_laidOutWidths.insert(block.fragmentIndex(), width);
    return block.lineCount() != rowsBefore;
}

void LazyDocumentLayout::layoutBlock(const QTextBlock &block) const
{
    LineRun run = beginBlock(block);
    addLines(block, run, -1);
    endBlock(block, run);
}

void LazyDocumentLayout::startGrowing(const QTextBlock &block, qreal width) const
{
    const int fragment = block.fragmentIndex();
    auto *self = const_cast<LazyDocumentLayout *>(this);
    if (m_growing.isEmpty())
        QTimer::singleShot(0, self, [self] { self->growSlice(); });
    Growing &growing = m_growing[fragment];
    growing = {block, width, beginBlock(block)};
    // The first lines at once: they are what is shown.
    if (addLines(block, growing.run, SliceMs)) {
        finishGrowing(fragment);
        QTimer::singleShot(0, self, [self] {
            emit self->documentSizeChanged(self->documentSize());
            emit self->update();
        });
    }
}

void LazyDocumentLayout::finishGrowing(int fragment) const
{
    Growing growing = m_growing.take(fragment);
    addLines(growing.block, growing.run, -1);
    endBlock(growing.block, growing.run);
    m_laidOutWidths.insert(fragment, growing.width);
}

void LazyDocumentLayout::growSlice()
{
    if (m_growing.isEmpty())
        return;
    const auto it = m_growing.begin();
    const int fragment = it.key();
    const QTextBlock block = it->block;
    if (!block.isValid() || block.fragmentIndex() != fragment) {
        m_growing.erase(it);
    } else if (addLines(block, it->run, SliceMs)) {
        finishGrowing(fragment);
        emit documentSizeChanged(documentSize());
        emit update();
    }
    if (!m_growing.isEmpty())
        QTimer::singleShot(0, this, [this] { growSlice(); });
}

LazyDocumentLayout::LineRun LazyDocumentLayout::beginBlock(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(block.textDirection());
    option.setAlignment(visualAlignment(block.textDirection(), format.alignment()));
    if (!format.tabPositions().isEmpty())
        option.setTabs(format.tabPositions());
    if (!wraps())
        option.setWrapMode(QTextOption::NoWrap);
    else if (hasLongUnbreakableRun(block))
        // Breaking at word boundaries first costs the square of the length
        // when there are none (a line of base64, minified data).
        option.setWrapMode(QTextOption::WrapAnywhere);
    layout->setTextOption(option);
    // Qt's layout keeps a paragraph's shaping only when asked to, and
    // otherwise redoes it over the whole paragraph for every caret move.
    if (block.length() > HugeParagraph)
        layout->setCacheEnabled(true);

    LineRun run;
    const qreal margin = document()->documentMargin();
    run.available = wraps() ? qMax(20.0, textWidth() - 2 * margin - format.leftMargin() - format.rightMargin()) : 1e9;
    run.y = format.topMargin();
    layout->beginLayout();
    return run;
}

bool LazyDocumentLayout::addLines(const QTextBlock &block, LineRun &run, int budgetMs) const
{
    QTextLayout *layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        if (budgetMs >= 0 && slice.elapsed() >= budgetMs)
            return false;
        QTextLine line = layout->createLine();
        if (!line.isValid())
            return true;
        const qreal indent = run.first ? format.textIndent() : 0;
        line.setLineWidth(run.available - indent);
        line.setPosition(QPointF(format.leftMargin() + indent, run.y));
        const qreal height = format.lineHeightType() == QTextBlockFormat::SingleHeight
                                 ? line.height()
                                 : format.lineHeight(line.height(), 1.0);
        run.y += height;
        run.widest = qMax(run.widest, line.naturalTextWidth() + format.leftMargin() + indent);
        run.first = false;
    }
}

void LazyDocumentLayout::endBlock(const QTextBlock &block, const LineRun &run) const
{
    block.layout()->endLayout();
    const QTextBlockFormat format = block.blockFormat();
    const qreal y = run.y + format.bottomMargin();
    m_maxWidth = qMax(m_maxWidth, run.widest + format.rightMargin());
    const int rows = qMax(1, int(std::ceil(y / m_rowHeight - 0.001)));
    QTextBlock writable = block;
    if (writable.lineCount() != rows)
        writable.setLineCount(rows);
}

void LazyDocumentLayout::layoutRange(int from, int to) const
{
    QTextDocument *doc = document();
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        ensureLaidOut(b);
        if (m_growing.contains(b.fragmentIndex()))
            finishGrowing(b.fragmentIndex());
    }
}

void LazyDocumentLayout::drawListMarker(QPainter *painter, const QTextBlock &block, const QPointF &origin) const
{
    const QTextList *list = block.textList();
    QTextLayout *layout = block.layout();
    if (!list || layout->lineCount() == 0)
        return;
    const QTextLine line = layout->lineAt(0);
    const QFont font = block.charFormat().font();
    const QFontMetricsF metrics(font);
    QString marker = list->itemText(block);
    if (marker.isEmpty())
        marker = QString(QChar(0x2022));
    const qreal width = metrics.horizontalAdvance(marker);
    const qreal x = origin.x() + line.x() - width - metrics.horizontalAdvance(u' ');
    painter->save();
    painter->setFont(font);
    painter->drawText(QPointF(x, origin.y() + line.y() + line.ascent()), marker);
    painter->restore();
}

void LazyDocumentLayout::draw(QPainter *painter, const PaintContext &context)
{
    QTextDocument *doc = document();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const qreal margin = doc->documentMargin();
    bool changed = false;
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    QTextBlock block = blockAtY(clip.top());
    qreal y = blockTop(block);
    for (; block.isValid() && y <= clip.bottom(); block = block.next()) {
        changed |= ensureLaidOut(block);
        const QPointF origin(margin, y);
        const int start = block.position();
        const int end = start + block.length();
        const QTextBlockFormat format = block.blockFormat();
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            painter->fillRect(QRectF(origin, QSizeF(documentSize().width() - 2 * margin, block.lineCount() * m_rowHeight)),
                              format.background());
        QList<QTextLayout::FormatRange> ranges;
        for (const Selection &selection : context.selections) {
            const int s = qMax(selection.cursor.selectionStart(), start);
            const int e = qMin(selection.cursor.selectionEnd(), end);
            if (e > s)
                ranges.append({s - start, e - s, selection.format});
        }
        QTextLayout *layout = block.layout();
        layout->draw(painter, origin, ranges, clip);
        drawListMarker(painter, block, origin);
        if (context.cursorPosition >= start && context.cursorPosition < end)
            layout->drawCursor(painter, origin, context.cursorPosition - start, 1);
        y += block.lineCount() * m_rowHeight;
    }
    painter->restore();
    if (changed) {
        // Row counts moved what lies below: tell the view after this paint.
        QTimer::singleShot(0, this, [this] {
            emit documentSizeChanged(documentSize());
            emit update();
        });
    }
}

int LazyDocumentLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    QTextDocument *doc = document();
    if (point.y() > documentSize().height())
        return accuracy == Qt::ExactHit ? -1 : doc->characterCount() - 1;
    const QTextBlock block = blockAtY(point.y());
    ensureLaidOut(block);
    const QPointF local = point - QPointF(doc->documentMargin(), blockTop(block));
    QTextLayout *layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (local.y() < line.y() + line.height() || i + 1 == layout->lineCount()) {
            if (accuracy == Qt::ExactHit && (local.x() < line.x() || local.x() > line.x() + line.naturalTextWidth()))
                return -1;
            return block.position() + line.xToCursor(local.x());
        }
    }
    return accuracy == Qt::ExactHit ? -1 : block.position();
}

void LazyDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    if (!suits(doc)) {
        // A table arrived: from now on the document needs Qt's own layout.
        QTimer::singleShot(0, doc, [doc] {
            if (qobject_cast<LazyDocumentLayout *>(doc->documentLayout()))
                doc->setDocumentLayout(nullptr);
        });
        return;
    }
    if (from == 0 && charsRemoved == 0 && charsAdded >= doc->characterCount() - 1) {
        // The view sets the page size whenever a scroll bar comes or goes,
        // and back again. Paragraphs remember the width they were laid out
        // at, so with the length and the settings as they were after the
        // last edit, they are laid out again only if shown at another width
        // (a paragraph of megabytes takes seconds).
        const QString settings = layoutSettings(doc);
        if (settings == m_settings) {
            emit documentSizeChanged(documentSize());
            emit update();
            return;
        }
        m_settings = settings;
        // The whole document or its fonts and options changed: paragraphs
        // are laid out again when they are next needed.
        updateRowHeight();
        m_laidOutWidths.clear();
        m_growing.clear();
        m_maxWidth = 0;
    } else {
        m_settings = layoutSettings(doc);
        const QTextBlock last = doc->findBlock(from + charsAdded);
        for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
            b.clearLayout();
            m_laidOutWidths.remove(b.fragmentIndex());
            m_growing.remove(b.fragmentIndex());
            if (b == last)
                break;
        }
    }
    emit documentSizeChanged(documentSize());
    emit update();
}

#include "LazyDocumentLayout.moc"
