#include "print/Pagination.h"

#include "document/TextAppearance.h"
#include "document/TextProperties.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr QChar FormFeed(0x0C);

// A device that only answers metrics: the layout takes fonts and distances
// at the target resolution from it, without a printer being open.
class ResolutionDevice : public QPaintDevice
{
public:
    explicit ResolutionDevice(const PageGeometry &g) : m_g(g) {}
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return m_g.paperPixels.width();
        case PdmHeight: return m_g.paperPixels.height();
        case PdmWidthMM: return int(m_g.paperPixels.width() * 25.4 / m_g.dpiX);
        case PdmHeightMM: return int(m_g.paperPixels.height() * 25.4 / m_g.dpiY);
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmPhysicalDpiX: return m_g.dpiX;
        case PdmDpiY: case PdmPhysicalDpiY: return m_g.dpiY;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    PageGeometry m_g;
};

bool isBlank(QChar c)
{
    return c.unicode() <= 32 || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QList<int> pagesToPrint(int pageCount, int first, int last, int parity)
{
    if (parity < 0 || parity > 2)
        parity = 0;
    first = qMax(1, first);
    const int end = last < 0 ? pageCount : qMin(last, pageCount);
    QList<int> pages;
    for (int page = first; page <= end; ++page) {
        if ((parity == int(PageParity::Odd) && page % 2 == 0) || (parity == int(PageParity::Even) && page % 2 == 1))
            continue;
        pages.append(page);
    }
    return pages;
}

Pagination::Pagination(const QTextDocument &document, const PageGeometry &geometry, int from, int to)
    : m_geometry(geometry)
{
    m_document.reset(document.clone());
    // Only laid out: the edits below keep no undo steps.
    m_document->setUndoRedoEnabled(false);
    const int length = m_document->characterCount();
    from = std::clamp(from, 0, length - 1);
    QTextCursor cursor(m_document.get());
    if (to >= 0 && to < length - 1) {
        cursor.setPosition(qMax(from, to));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    if (from > 0) {
        cursor.setPosition(0);
        cursor.setPosition(from, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    m_offset = from;
    splitAtFormFeeds();
    // After the edits above, which would shift the ranges laid on paragraphs.
    TextAppearance::applyForLayout(*m_document);

    // Page layout happens in the text rectangle; margins are the caller's.
    m_document->setDocumentMargin(0);
    QTextOption option = m_document->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_document->setDefaultTextOption(option);
    m_device = std::make_unique<ResolutionDevice>(m_geometry);
    m_document->documentLayout()->setPaintDevice(m_device.get());
    m_document->setPageSize(m_geometry.textRect().size());
}

Pagination::~Pagination() = default;

void Pagination::splitAtFormFeeds()
{
    QList<QPair<int, QTextCharFormat>> feeds;
    QTextCursor cursor(m_document.get());
    for (QTextBlock b = m_document->begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        for (qsizetype i = text.indexOf(FormFeed); i >= 0; i = text.indexOf(FormFeed, i + 1)) {
            cursor.setPosition(b.position() + int(i) + 1);
            // A hidden feed makes no page.
            if (!cursor.charFormat().boolProperty(TextProperty::Hidden))
                feeds.append({b.position() + int(i), cursor.charFormat()});
        }
    }
    if (feeds.isEmpty())
        return;
    cursor.beginEditBlock();
    // From the back, so that the positions still to do stay valid.
    QList<int> splits;
    for (auto it = feeds.crbegin(); it != feeds.crend(); ++it) {
        const int p = it->first;
        cursor.setPosition(p);
        cursor.setPosition(p + 1, QTextCursor::KeepAnchor);
        // The feed itself draws nothing. Space and break take the feed's
        // format, never that of hidden text before it.
        cursor.insertText(QStringLiteral(" "), it->second);
        const QTextBlock block = m_document->findBlock(p);
        QTextBlockFormat pageBreak;
        pageBreak.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (p == block.position() + block.length() - 2) {
            QTextCursor next(block.next());
            if (block.next().isValid())
                next.mergeBlockFormat(pageBreak);
            continue;
        }
        cursor.setPosition(p + 1);
        cursor.insertBlock(cursor.blockFormat(), it->second);
        cursor.mergeBlockFormat(pageBreak);
        splits.prepend(p + 1);
    }
    cursor.endEditBlock();
    // Each earlier split moved the later ones by one character.
    for (int k = 0; k < splits.size(); ++k)
        m_insertedBreaks.append(splits.at(k) + k);
}

int Pagination::sourcePosition(int position) const
{
    const auto before = std::lower_bound(m_insertedBreaks.cbegin(), m_insertedBreaks.cend(), position);
    return position - int(before - m_insertedBreaks.cbegin()) + m_offset;
}

QPair<int, int> Pagination::trimmedSelection(const QTextDocument &document, int from, int to)
{
    const int last = document.characterCount() - 1;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    while (to > from && isBlank(document.characterAt(to - 1)))
        --to;
    return {from, to};
}

int Pagination::pageCount() const
{
    return qMax(1, m_document->documentLayout()->pageCount());
}

bool Pagination::hasPageAfter(int index) const
{
    QAbstractTextDocumentLayout *layout = m_document->documentLayout();
    const qreal bottom = qreal(index + 1) * m_geometry.textRect().height();
    // Hit-testing lays the document out down to the point, not further.
    const int hit = layout->hitTest(QPointF(0, bottom - 0.5), Qt::FuzzyHit);
    if (hit < 0)
        return false;
    for (QTextBlock b = m_document->findBlock(hit); b.isValid(); b = b.next()) {
        const QTextLayout *text = b.layout();
        if (!b.isVisible())
            continue;
        if (!text || text->lineCount() == 0)
            return true; // not laid out yet: it lies below
        const qreal top = layout->blockBoundingRect(b).top();
        const QTextLine last = text->lineAt(text->lineCount() - 1);
        if (top + last.y() + last.height() > bottom + 0.5)
            return true;
    }
    return false;
}

QList<int> Pagination::pageStarts() const
{
    QAbstractTextDocumentLayout *layout = m_document->documentLayout();
    const qreal pageHeight = m_geometry.textRect().height();
    const int count = pageCount();
    QList<int> starts;
    starts.reserve(count);
    int lastLineStart = 0;
    for (QTextBlock b = m_document->begin(); b.isValid() && starts.size() < count; b = b.next()) {
        const QTextLayout *text = b.layout();
        if (!text || !b.isVisible())
            continue;
        const qreal top = layout->blockBoundingRect(b).top();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            const int page = int(std::floor((top + line.y()) / pageHeight + 1e-6));
            const int start = b.position() + line.textStart();
            // Pages without a line of their own show the rest of a taller one.
            while (starts.size() < page && starts.size() < count)
                starts.append(lastLineStart);
            if (starts.size() == page)
                starts.append(start);
            lastLineStart = start;
        }
    }
    while (starts.size() < count)
        starts.append(starts.isEmpty() ? 0 : lastLineStart);
    for (int &s : starts)
        s = sourcePosition(s);
    return starts;
}

void Pagination::paintPage(QPainter &painter, int index, int pageNumber) const
{
    const QRect text = m_geometry.textRect();
    const qreal top = qreal(index) * text.height();
    painter.save();
    painter.translate(text.left(), text.top() - top);
    QAbstractTextDocumentLayout::PaintContext context;
    painter.setClipRect(QRectF(0, top, text.width(), text.height()));
    m_document->documentLayout()->hitTest(QPointF(0, top + text.height()), Qt::FuzzyHit);
    // The next page's first line starts on this page's bottom edge: keep it
    // out, or it would be sent to the printer under the clip.
    context.clip = QRectF(0, top, text.width(), text.height() - 1);
    context.palette.setColor(QPalette::Text, Qt::black);
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
    if (pageNumber > 0)
        paintPageNumber(painter, pageNumber);
}

void Pagination::paintPageNumber(QPainter &painter, int pageNumber) const
{
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(m_geometry.pageNumberPixelSize());
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRect box(0, m_geometry.pageNumberTop(), m_geometry.paperPixels.width(),
                    2 * m_geometry.pageNumberPixelSize());
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QString::number(pageNumber));
    painter.restore();
}
