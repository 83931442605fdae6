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
#include <QTextTable>
#include <QTextObjectInterface>
#include <QTimer>

#include <algorithm>
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

constexpr int SliceMs = 40;
constexpr qreal HugeRowWidth = 50000;

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

// What of a paragraph's text option decides how Qt classifies its text.
QTextOption itemizingOption(const QTextDocument *document, const QTextBlock &block)
{
    QTextOption option = document->defaultTextOption();
    option.setTextDirection(block.textDirection());
    return option;
}

constexpr QTextOption::Flags ItemizingFlags =
    QTextOption::ShowLineAndParagraphSeparators | QTextOption::ShowDocumentTerminator;

// Whether prepareHugeParagraphs() began this layout for these options, and
// nothing has laid it out or changed the paragraph since.
bool isPrepared(const QTextLayout &layout, const QTextOption &option)
{
    const QTextOption was = layout.textOption();
    return layout.lineCount() == 1 && layout.lineAt(0).textLength() < 0
           && was.textDirection() == option.textDirection()
           && (was.flags() & ItemizingFlags) == (option.flags() & ItemizingFlags);
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
    const QList<QTextFrame *> frames = document->rootFrame()->childFrames();
    return std::all_of(frames.cbegin(), frames.cend(), [](const QTextFrame *frame) {
        return qobject_cast<const QTextTable *>(frame) && frame->childFrames().isEmpty();
    });
}

int LazyDocumentLayout::estimatedRows(int length, qreal averageCharWidth, qreal width)
{
    if (width <= 0 || averageCharWidth <= 0)
        return 1;
    return qMax(1, int(std::ceil(length * averageCharWidth / width)));
}

void LazyDocumentLayout::prepareHugeParagraphs(QTextDocument *document)
{
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (b.length() > HugeParagraph) {
            readyToClassify(b);
            markClassified(b, classify(b));
        }
    }
}

void LazyDocumentLayout::readyToClassify(const QTextBlock &block)
{
    QTextLayout *layout = block.layout();
    layout->setTextOption(itemizingOption(block.document(), block));
    layout->setCacheEnabled(true);
}

bool LazyDocumentLayout::classify(const QTextBlock &block)
{
    QTextLayout *layout = block.layout();
    layout->beginLayout();
    layout->isValidCursorPosition(0); // classifies every character
    return hasLongUnbreakableRun(block);
}

void LazyDocumentLayout::markClassified(const QTextBlock &block, bool longRun)
{
    QTextLayout *layout = block.layout();
    // Whether the paragraph can wrap only anywhere, found once.
    QTextOption option = layout->textOption();
    option.setWrapMode(longRun ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    // A first line left without a width: nothing else makes one, and an edit
    // of the paragraph or a new layout of it removes it.
    layout->createLine();
}

void LazyDocumentLayout::holdHugeParagraphs(bool hold)
{
    m_holdHuge = hold;
    m_heldFrom = m_heldTo = -1;
    if (!hold) {
        emit documentSizeChanged(documentSize());
        emit update();
    }
}

QList<QTextBlock> LazyDocumentLayout::hugeParagraphsToClassify() const
{
    // Only what changed while held can be new.
    QList<QTextBlock> blocks;
    if (m_heldFrom < 0)
        return blocks;
    QTextDocument *doc = document();
    const QTextBlock last = doc->findBlock(m_heldTo);
    for (QTextBlock b = doc->findBlock(m_heldFrom); b.isValid(); b = b.next()) {
        const int fragment = b.fragmentIndex();
        if (b.length() > HugeParagraph && b.layout()->lineCount() == 0 && !tableOf(b)
            && !m_growing.contains(fragment) && !m_openHuge.contains(fragment))
            blocks << b;
        if (b == last)
            break;
    }
    return blocks;
}

void LazyDocumentLayout::estimateRows(QTextDocument *document, qreal averageCharWidth, qreal width)
{
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        b.setLineCount(estimatedRows(b.length() - 1, averageCharWidth, width) * StepsPerRow);
    for (QTextFrame *frame : document->rootFrame()->childFrames()) {
        const auto *table = qobject_cast<const QTextTable *>(frame);
        if (!table)
            continue;
        QTextBlock b = document->findBlock(table->firstPosition());
        b.setLineCount(table->rows() * StepsPerRow);
        for (b = b.next(); b.isValid() && b.position() <= table->lastPosition(); b = b.next())
            b.setLineCount(0);
    }
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
    m_step = m_rowHeight / StepsPerRow;
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
    return document()->documentMargin() + block.firstLineNumber() * m_step;
}

QTextBlock LazyDocumentLayout::blockAtY(qreal y) const
{
    QTextDocument *doc = document();
    const int step = qMax(0, int((y - doc->documentMargin()) / m_step));
    QTextBlock block = doc->findBlockByLineNumber(qMin(step, doc->lineCount() - 1));
    return block.isValid() ? block : doc->lastBlock();
}

QSizeF LazyDocumentLayout::documentSize() const
{
    const QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    const qreal width = wraps() ? textWidth() : qMax(textWidth(), m_maxWidth + 2 * margin);
    return QSizeF(width, doc->lineCount() * m_step + 2 * margin);
}

QRectF LazyDocumentLayout::frameBoundingRect(QTextFrame *frame) const
{
    auto *table = qobject_cast<QTextTable *>(frame);
    if (!table)
        return QRectF(QPointF(0, 0), documentSize());
    ensureTableLaidOut(table);
    const TableBox &box = m_tables[table];
    return QRectF(QPointF(document()->documentMargin() + box.left, blockTop(firstBlockOf(table))), box.size);
}

QRectF LazyDocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return QRectF();
    if (ensureLaidOut(block))
        QTimer::singleShot(0, this, [this] { emit const_cast<LazyDocumentLayout *>(this)->documentSizeChanged(documentSize()); });
    const qreal margin = document()->documentMargin();
    if (const QTextTable *table = tableOf(block)) {
        const TableBox &box = m_tables[table];
        return box.blocks.value(block.fragmentIndex()).translated(margin + box.left, blockTop(firstBlockOf(table)));
    }
    return QRectF(margin, blockTop(block), documentSize().width() - 2 * margin, block.lineCount() * m_step);
}

QTextTable *LazyDocumentLayout::tableOf(const QTextBlock &block) const
{
    QTextDocument *doc = document();
    if (doc->rootFrame()->childFrames().isEmpty())
        return nullptr;
    return qobject_cast<QTextTable *>(doc->frameAt(block.position()));
}

QTextBlock LazyDocumentLayout::firstBlockOf(const QTextTable *table) const
{
    return document()->findBlock(table->firstPosition());
}

QTextBlock LazyDocumentLayout::blockAfter(const QTextTable *table) const
{
    QTextBlock b = document()->findBlock(table->lastPosition());
    while (b.isValid() && tableOf(b) == table)
        b = b.next();
    return b;
}

bool LazyDocumentLayout::ensureTableLaidOut(QTextTable *table) const
{
    const qreal margin = document()->documentMargin();
    const qreal available = qMax(100.0, (textWidth() > 0 ? textWidth() : 800) - 2 * margin);
    auto it = m_tables.find(table);
    if (it == m_tables.end()) {
        it = m_tables.insert(table, TableBox());
        connect(table, &QObject::destroyed, this, [this, table] { m_tables.remove(table); });
    } else if (it->laidOutAt == available) {
        return false;
    }
    TableBox &box = *it;
    const QTextTableFormat format = table->format();
    const int rows = table->rows();
    const int columns = table->columns();
    // Collapsed borders: one line between neighbouring cells.
    const qreal border = format.border() + format.cellSpacing();
    const qreal padding = format.cellPadding();

    QList<qreal> widths(columns, -1);
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    qreal taken = (columns + 1) * border;
    int open = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength length = c < constraints.size() ? constraints.at(c) : QTextLength();
        if (length.type() == QTextLength::VariableLength) {
            ++open;
            continue;
        }
        widths[c] = qMax(2 * padding + 1, length.value(available));
        taken += widths[c];
    }
    for (qreal &w : widths)
        if (w < 0)
            w = qMax(2 * padding + 20, (available - taken) / open);
    box.columnX.resize(columns + 1);
    box.columnX[0] = border;
    for (int c = 0; c < columns; ++c)
        box.columnX[c + 1] = box.columnX[c] + widths[c] + border;
    const qreal width = box.columnX[columns];
    box.left = format.leftMargin();
    if (format.alignment() & Qt::AlignHCenter)
        box.left = qMax(0.0, (available - width) / 2);
    else if (format.alignment() & Qt::AlignRight)
        box.left = qMax(0.0, available - width);

    // Paragraphs first, from the top of their cell; rows grow to their tallest cell.
    struct Placed {
        int fragment;
        int row;
        QRectF rect;
    };
    QList<Placed> placed;
    QList<qreal> heights(rows, 0);
    struct Spanning {
        int row, span;
        qreal height;
    };
    QList<Spanning> spanning;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r || cell.column() != c)
                continue;
            const int lastColumn = qMin(columns, c + cell.columnSpan());
            const qreal cellWidth = qMax(1.0, box.columnX[lastColumn] - border - box.columnX[c] - 2 * padding);
            qreal y = padding;
            for (QTextFrame::iterator i = cell.begin(); !i.atEnd(); ++i) {
                const QTextBlock b = i.currentBlock();
                if (!b.isValid())
                    continue;
                qreal widest = 0;
                const qreal h = layoutText(b, cellWidth, &widest);
                placed.append({b.fragmentIndex(), r, QRectF(box.columnX[c] + padding, y, cellWidth, h)});
                y += h;
            }
            const qreal content = y + padding;
            if (cell.rowSpan() > 1)
                spanning.append({r, qMin(cell.rowSpan(), rows - r), content});
            else
                heights[r] = qMax(heights[r], content);
        }
    }
    for (const Spanning &s : spanning) {
        qreal have = (s.span - 1) * border;
        for (int r = s.row; r < s.row + s.span; ++r)
            have += heights[r];
        if (have < s.height)
            heights[s.row + s.span - 1] += s.height - have;
    }
    box.rowY.resize(rows + 1);
    box.rowY[0] = border;
    for (int r = 0; r < rows; ++r)
        box.rowY[r + 1] = box.rowY[r] + heights[r] + border;
    box.blocks.clear();
    for (const Placed &p : placed)
        box.blocks.insert(p.fragment, p.rect.translated(0, box.rowY[p.row]));
    box.size = QSizeF(width, box.rowY[rows]);
    box.laidOutAt = available;
    m_maxWidth = qMax(m_maxWidth, box.left + width);

    // The first paragraph carries the table's steps, so that what follows lies below it.
    QTextBlock first = firstBlockOf(table);
    const int tableSteps = qMax(1, int(std::ceil(box.size.height() / m_step - 0.001)));
    bool changed = first.lineCount() != tableSteps;
    first.setLineCount(tableSteps);
    for (QTextBlock b = first.next(); b.isValid() && b.position() <= table->lastPosition(); b = b.next()) {
        if (b.lineCount() != 0) {
            b.setLineCount(0);
            changed = true;
        }
    }
    return changed;
}

bool LazyDocumentLayout::ensureLaidOut(const QTextBlock &block) const
{
    if (QTextTable *table = tableOf(block))
        return ensureTableLaidOut(table);
    const qreal width = wraps() ? textWidth() : -1;
    QTextLayout *layout = block.layout();
    const auto it = m_laidOutWidths.constFind(block.fragmentIndex());
    if (layout->lineCount() > 0 && it != m_laidOutWidths.cend() && *it == width)
        return false;
    if (block.length() > HugeParagraph) {
        if (m_holdHuge && !m_growing.contains(block.fragmentIndex()) && !m_openHuge.contains(block.fragmentIndex()))
            return false;
        // Drawn and hit as far as its lines have got.
        const auto growing = m_growing.constFind(block.fragmentIndex());
        if (growing == m_growing.cend() || growing->width != width)
            startGrowing(block, width);
        return false;
    }
    const int stepsBefore = block.lineCount();
    layoutBlock(block);
    m_laidOutWidths.insert(block.fragmentIndex(), width);
    return block.lineCount() != stepsBefore;
}

qreal LazyDocumentLayout::columnWidth() const
{
    return wraps() ? qMax(1.0, textWidth() - 2 * document()->documentMargin()) : 0;
}

void LazyDocumentLayout::layoutBlock(const QTextBlock &block) const
{
    LineRun run = beginBlock(block, columnWidth());
    addLines(block, run, -1);
    endBlock(block, run);
}

qreal LazyDocumentLayout::layoutText(const QTextBlock &block, qreal available, qreal *widest) const
{
    LineRun run = beginBlock(block, available);
    addLines(block, run, -1);
    block.layout()->endLayout();
    const QTextBlockFormat format = block.blockFormat();
    *widest = run.widest + format.rightMargin();
    return run.y + format.bottomMargin();
}

void LazyDocumentLayout::startGrowing(const QTextBlock &block, qreal width) const
{
    const int fragment = block.fragmentIndex();
    auto *self = const_cast<LazyDocumentLayout *>(this);
    if (m_growing.isEmpty())
        QTimer::singleShot(0, self, [self] { self->growSlice(); });
    // Grown before, at another width, and not changed since: Qt's
    // classification of its text still holds.
    const bool open = m_growing.contains(fragment) || m_openHuge.remove(fragment);
    Growing &growing = m_growing[fragment];
    growing = {block, width, beginBlock(block, columnWidth(), open)};
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
    endBlock(growing.block, growing.run, true);
    m_laidOutWidths.insert(fragment, growing.width);
    m_openHuge.insert(fragment);
}

void LazyDocumentLayout::countRows(int from, int to) const
{
    QTextDocument *doc = document();
    const bool tables = !doc->rootFrame()->childFrames().isEmpty();
    const QTextBlock last = doc->findBlock(to);
    for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
        countRow(b, tables);
        if (b == last)
            break;
    }
}

void LazyDocumentLayout::countRow(QTextBlock block, bool tables) const
{
    // A new paragraph counts one step until laid out: make it a row.
    if (block.lineCount() == 1 && !(tables && tableOf(block)))
        block.setLineCount(StepsPerRow);
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

LazyDocumentLayout::LineRun LazyDocumentLayout::beginBlock(const QTextBlock &block, qreal available, bool open) const
{
    QTextLayout *layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    // Qt lays out an unwrapped line whole, in one go, and places text no
    // further than 8 million pixels along it: a huge paragraph wraps even
    // then, at a width far beyond the window's.
    if (available <= 0 && block.length() > HugeParagraph)
        available = HugeRowWidth;
    const bool wrap = available > 0;
    QTextOption option = itemizingOption(document(), block);
    const bool prepared = !open && isPrepared(*layout, option);
    option.setAlignment(visualAlignment(option.textDirection(), format.alignment()));
    if (!format.tabPositions().isEmpty())
        option.setTabs(format.tabPositions());
    if (!wrap)
        option.setWrapMode(QTextOption::NoWrap);
    else if (prepared || open ? layout->textOption().wrapMode() == QTextOption::WrapAnywhere
                              : hasLongUnbreakableRun(block))
        // Breaking at word boundaries first costs the square of the length
        // when there are none (a line of base64, minified data).
        option.setWrapMode(QTextOption::WrapAnywhere);
    else if (option.wrapMode() == QTextOption::NoWrap)
        // Unwrapped documents still wrap within table cells.
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    // Qt's layout keeps a paragraph's shaping only when asked to, and
    // otherwise redoes it over the whole paragraph for every caret move.
    if (block.length() > HugeParagraph)
        layout->setCacheEnabled(true);

    LineRun run;
    run.available = wrap ? qMax(20.0, available - format.leftMargin() - format.rightMargin()) : 1e9;
    run.y = format.topMargin();
    run.prepared = prepared;
    // Beginning again would classify the text again.
    if (open)
        layout->clearLayout();
    else if (!prepared)
        layout->beginLayout();
    return run;
}

bool LazyDocumentLayout::addLines(const QTextBlock &block, LineRun &run, int budgetMs) const
{
    QTextLayout *layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    // A huge paragraph's layout stays begun across turns of the event loop:
    // an edit not yet reported (within an edit block) has made Qt drop its
    // classification meanwhile, and adding a line would fault without it.
    // Classified, this costs nothing.
    if (run.prepared || block.length() > HugeParagraph)
        layout->isValidCursorPosition(0);
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        if (budgetMs >= 0 && slice.elapsed() >= budgetMs)
            return false;
        QTextLine line = run.prepared ? layout->lineAt(0) : layout->createLine();
        run.prepared = false;
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

void LazyDocumentLayout::endBlock(const QTextBlock &block, const LineRun &run, bool keepOpen) const
{
    if (!keepOpen)
        block.layout()->endLayout();
    const QTextBlockFormat format = block.blockFormat();
    const qreal y = run.y + format.bottomMargin();
    m_maxWidth = qMax(m_maxWidth, run.widest + format.rightMargin());
    const int steps = qMax(1, int(std::ceil(y / m_step - 0.001)));
    QTextBlock writable = block;
    if (writable.lineCount() != steps)
        writable.setLineCount(steps);
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

void LazyDocumentLayout::drawBlock(QPainter *painter, const QTextBlock &block, const QPointF &origin, qreal width,
                                   const PaintContext &context, const QRectF &clip) const
{
    const int start = block.position();
    const int end = start + block.length();
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        painter->fillRect(QRectF(origin, QSizeF(width, block.lineCount() * m_step)), format.background());
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
}

void LazyDocumentLayout::drawTable(QPainter *painter, QTextTable *table, const QPointF &origin,
                                   const PaintContext &context, const QRectF &clip) const
{
    const TableBox &box = m_tables[table];
    const QPointF topLeft = origin + QPointF(box.left, 0);
    const QTextTableFormat format = table->format();
    const qreal border = format.border() + format.cellSpacing();
    QPen pen(format.borderBrush().style() == Qt::NoBrush ? QBrush(Qt::darkGray) : format.borderBrush(),
             format.border());
    pen.setJoinStyle(Qt::MiterJoin);
    const int rows = table->rows();
    const int columns = table->columns();
    for (int r = 0; r < rows; ++r) {
        if (topLeft.y() + box.rowY[r] > clip.bottom())
            break;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r || cell.column() != c)
                continue;
            const int lastRow = qMin(rows, r + cell.rowSpan());
            const int lastColumn = qMin(columns, c + cell.columnSpan());
            const QRectF rect(topLeft + QPointF(box.columnX[c], box.rowY[r]),
                              topLeft + QPointF(box.columnX[lastColumn] - border, box.rowY[lastRow] - border));
            if (rect.bottom() + border < clip.top())
                continue;
            const QTextCharFormat cellFormat = cell.format();
            if (cellFormat.hasProperty(QTextFormat::BackgroundBrush))
                painter->fillRect(rect, cellFormat.background());
            if (format.border() > 0) {
                painter->save();
                painter->setPen(pen);
                painter->setBrush(Qt::NoBrush);
                const qreal half = border / 2;
                painter->drawRect(rect.adjusted(-half, -half, half, half));
                painter->restore();
            }
            for (QTextFrame::iterator i = cell.begin(); !i.atEnd(); ++i) {
                const QTextBlock b = i.currentBlock();
                if (!b.isValid())
                    continue;
                const QRectF blockRect = box.blocks.value(b.fragmentIndex()).translated(topLeft);
                drawBlock(painter, b, blockRect.topLeft(), blockRect.width(), context, clip);
            }
        }
    }
}

void LazyDocumentLayout::draw(QPainter *painter, const PaintContext &context)
{
    QTextDocument *doc = document();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const qreal margin = doc->documentMargin();
    const qreal width = documentSize().width() - 2 * margin;
    bool changed = false;
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    QTextBlock block = blockAtY(clip.top());
    if (const QTextTable *table = tableOf(block))
        block = firstBlockOf(table);
    qreal y = blockTop(block);
    while (block.isValid() && y <= clip.bottom()) {
        if (QTextTable *table = tableOf(block)) {
            changed |= ensureTableLaidOut(table);
            drawTable(painter, table, QPointF(margin, y), context, clip);
            y += firstBlockOf(table).lineCount() * m_step;
            block = blockAfter(table);
            continue;
        }
        changed |= ensureLaidOut(block);
        drawBlock(painter, block, QPointF(margin, y), width, context, clip);
        y += block.lineCount() * m_step;
        block = block.next();
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

int LazyDocumentLayout::hitTestBlock(const QTextBlock &block, const QPointF &local,
                                     Qt::HitTestAccuracy accuracy) const
{
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

int LazyDocumentLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    QTextDocument *doc = document();
    if (point.y() > documentSize().height())
        return accuracy == Qt::ExactHit ? -1 : doc->characterCount() - 1;
    const QTextBlock block = blockAtY(point.y());
    QTextTable *table = tableOf(block);
    if (!table) {
        ensureLaidOut(block);
        return hitTestBlock(block, point - QPointF(doc->documentMargin(), blockTop(block)), accuracy);
    }
    ensureTableLaidOut(table);
    const TableBox &box = m_tables[table];
    const QPointF local = point - QPointF(doc->documentMargin() + box.left, blockTop(firstBlockOf(table)));
    const auto index = [](const QList<qreal> &edges, qreal at) {
        const auto it = std::upper_bound(edges.cbegin(), edges.cend() - 1, at);
        return int(qMax<qsizetype>(0, it - edges.cbegin() - 1));
    };
    const QTextTableCell cell = table->cellAt(index(box.rowY, local.y()), index(box.columnX, local.x()));
    // The last paragraph of the cell that starts above the point.
    QTextBlock hit;
    for (QTextFrame::iterator i = cell.begin(); !i.atEnd(); ++i) {
        const QTextBlock b = i.currentBlock();
        if (b.isValid() && (!hit.isValid() || box.blocks.value(b.fragmentIndex()).top() <= local.y()))
            hit = b;
    }
    if (!hit.isValid())
        return accuracy == Qt::ExactHit ? -1 : table->firstPosition();
    return hitTestBlock(hit, local - box.blocks.value(hit.fragmentIndex()).topLeft(), accuracy);
}

void LazyDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    if (m_holdHuge) {
        // Where the held command changed the text; later edits only move it on.
        const int to = from + charsAdded;
        if (m_heldFrom < 0) {
            m_heldFrom = from;
            m_heldTo = to;
        } else {
            m_heldTo = qMax(to, m_heldTo <= from ? m_heldTo : m_heldTo + charsAdded - charsRemoved);
            m_heldFrom = qMin(from, m_heldFrom);
        }
        m_heldTo = qMin(m_heldTo, doc->characterCount() - 1);
    }
    if (!suits(doc)) {
        // A frame this layout cannot show arrived: from now on the document
        // needs Qt's own layout.
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
        m_openHuge.clear();
        for (TableBox &box : m_tables)
            box.laidOutAt = -1;
        m_maxWidth = 0;
    } else {
        m_settings = layoutSettings(doc);
        for (const QTextFrame *frame : doc->rootFrame()->childFrames()) {
            const auto it = m_tables.find(frame);
            if (it != m_tables.end() && frame->firstPosition() <= from + charsAdded && frame->lastPosition() >= from)
                it->laidOutAt = -1;
        }
        // A whole-document command changes a million paragraphs: the loop
        // does for each only what it must.
        const bool tables = !doc->rootFrame()->childFrames().isEmpty();
        const QTextBlock last = doc->findBlock(from + charsAdded);
        for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
            b.clearLayout();
            const int fragment = b.fragmentIndex();
            m_laidOutWidths.remove(fragment);
            if (!m_growing.isEmpty())
                m_growing.remove(fragment);
            if (!m_openHuge.isEmpty())
                m_openHuge.remove(fragment);
            countRow(b, tables);
            if (b == last)
                break;
        }
    }
    emit documentSizeChanged(documentSize());
    emit update();
}

#include "LazyDocumentLayout.moc"
