#include "document/ui/OverlayFormatter.h"

#include "document/LazyDocumentLayout.h"
#include "document/TextAppearance.h"

#include <QAbstractTextDocumentLayout>
#include <QPalette>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// A paragraph's user state holds generation * 2^20 + (revision & 0xFFFFF)
// once it is formatted, so scrolled-to paragraphs are done only once.
int stampFor(int generation, const QTextBlock &block)
{
    return (generation << 20) | (block.revision() & 0xFFFFF);
}

bool sameRanges(const QList<QTextLayout::FormatRange> &a, const QList<QTextLayout::FormatRange> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].start != b[i].start || a[i].length != b[i].length || a[i].format != b[i].format)
            return false;
    return true;
}

} // namespace

QList<QPair<int, int>> OverlayFormatter::findLinks(const QString &text)
{
    static const QRegularExpression link(QStringLiteral(
        "(?:\\b(?:https?|ftp|file|mailto|news|nntp|telnet|gopher|wais|prospero):"
        "|\\bwww\\.)[^\\s<>\"]+"), QRegularExpression::CaseInsensitiveOption);
    QList<QPair<int, int>> links;
    if (text.indexOf(u':') < 0 && text.indexOf(QLatin1String("www."), 0, Qt::CaseInsensitive) < 0)
        return links;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        int length = int(m.capturedLength());
        // Sentence punctuation after a link is not part of it.
        while (length > 0 && QStringLiteral(".,;:!?)]}'").contains(text.at(m.capturedStart() + length - 1)))
            --length;
        if (length > 5)
            links.append({int(m.capturedStart()), length});
    }
    return links;
}

QList<QTextLayout::FormatRange> OverlayFormatter::rangesFor(const QTextBlock &block) const
{
    QList<QTextLayout::FormatRange> ranges =
        TextAppearance::rangesFor(block, m_editor->palette().color(QPalette::Disabled, QPalette::Text));
    // Marking a link in a paragraph of megabytes would lay all of it out
    // again, seconds each time it changes: such paragraphs show no links.
    if (m_detectLinks && block.length() <= LazyDocumentLayout::HugeParagraph) {
        QTextCharFormat linkFormat;
        linkFormat.setForeground(m_editor->palette().color(QPalette::Link));
        linkFormat.setFontUnderline(true);
        for (const auto &[start, length] : findLinks(block.text()))
            ranges.append({start, length, linkFormat});
    }
    return ranges;
}

void OverlayFormatter::refreshBlock(QTextBlock block, bool force)
{
    const int stamp = stampFor(m_generation, block);
    if (!force && block.userState() == stamp)
        return;
    block.setUserState(stamp);
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    const QList<QTextLayout::FormatRange> ranges = rangesFor(block);
    if (sameRanges(ranges, layout->formats()))
        return;
    layout->setFormats(ranges);
    m_editor->document()->markContentsDirty(block.position(), block.length());
}

void OverlayFormatter::refreshRange(int position, int length)
{
    QTextDocument *doc = m_editor->document();
    QTextBlock block = doc->findBlock(position);
    const QTextBlock last = doc->findBlock(position + qMax(0, length));
    while (block.isValid()) {
        refreshBlock(block, true);
        if (block == last)
            break;
        block = block.next();
    }
}

void OverlayFormatter::refreshVisible()
{
    const QRect viewport = m_editor->viewport()->rect();
    // The layout, not a cursor: a cursor measures the line it is put on,
    // all of a huge paragraph being classified for it.
    QAbstractTextDocumentLayout *layout = m_editor->document()->documentLayout();
    const QPointF topLeft(m_editor->horizontalScrollBar()->value(), m_editor->verticalScrollBar()->value());
    QTextBlock block = m_editor->document()->findBlock(qMax(0, layout->hitTest(topLeft, Qt::FuzzyHit)));
    const int bottomEdge = m_editor->verticalScrollBar()->value() + viewport.height();
    for (int guard = 0; block.isValid() && guard < 2000; ++guard, block = block.next()) {
        refreshBlock(block, false);
        if (layout->blockBoundingRect(block).top() > bottomEdge)
            break;
    }
}

void OverlayFormatter::invalidate()
{
    m_generation = (m_generation % 2000) + 1;
}
