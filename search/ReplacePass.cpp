#include "search/ReplacePass.h"

#include "document/DocumentCore.h"
#include "document/PlainText.h"
#include "document/TextProperties.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

ReplacePass::ReplacePass(DocumentCore &core, const QString &searchText, const QString &replacement,
                         const SearchOptions &options, int from, bool joinPrevious)
    : m_core(&core), m_replacement(replacement), m_matcher(m_raw, searchText, options),
      m_source(qBound(0, from, core.TextLength())), m_rawSize(core.TextLength()),
      m_caseMismatch(options.caseMismatch), m_joinNext(joinPrevious)
{
    m_selection = {core.SelStart(), core.SelLength()};
    // Tables put frame marks into the raw text that blocks do not show: such
    // a document is copied whole now, any other piece by piece as matching
    // reaches it.
    if (!core.document()->rootFrame()->childFrames().isEmpty()) {
        m_raw = core.document()->toRawText();
        m_rawSize = int(m_raw.size());
    }
    const QChar last = replacement.isEmpty() ? QChar() : replacement.back();
    m_lastOfReplacement = last == u'\r' || last == u'\n' ? QChar(QChar::ParagraphSeparator) : last;
    // Without a protected format in the document no match needs the protection check.
    m_hasProtected = core.hasProtectedFormat();
    m_done = !m_matcher.isValid();
    // Our own edits come inside run(); anything else is an interruption.
    // A layout refresh reports a change of equal size without a new revision.
    m_document = core.document();
    m_revision = m_document->revision();
    m_count = m_document->characterCount();
    m_watch = QObject::connect(core.document(), &QTextDocument::contentsChange, [this](int, int removed, int added) {
        if (!m_applying && (removed != added || (m_core && m_core->document()->revision() != m_revision))) {
            m_interrupted = true;
            m_done = true;
        }
    });
}

ReplacePass::~ReplacePass()
{
    QObject::disconnect(m_watch);
}

int ReplacePass::percent() const
{
    return m_rawSize == 0 ? 100 : int(qint64(m_source) * 100 / m_rawSize);
}

bool ReplacePass::run(qint64 budgetMs)
{
    if (m_done)
        return true;
    DocumentCore *core = m_core.data();
    if (!core) {
        m_interrupted = m_done = true;
        return true;
    }
    QTextDocument *doc = core->document();
    // Without a layout the document reports no changes; compare with the end of the last slice.
    if (doc != m_document || doc->revision() != m_revision || doc->characterCount() != m_count) {
        m_interrupted = m_done = true;
        return true;
    }
    QElapsedTimer clock;
    clock.start();
    QTextCursor c(doc);
    bool opened = false;
    int checked = 0;
    int spanStart = -1;
    int spanEnd = -1;
    for (;;) {
        // The clock is read every few matches only: a match costs microseconds.
        if (budgetMs >= 0 && (++checked & 63) == 0 && (clock.elapsed() >= budgetMs || spanEnd - spanStart > m_spanLimit))
            break;
        // While the copy is partial, a match must leave one character after
        // it for the whole-word check.
        const bool whole = m_raw.size() >= m_rawSize;
        const std::optional<TextRange> match =
            m_matcher.next(m_source, int(m_raw.size()) - (whole ? 0 : 1), m_before);
        if (!match && !whole) {
            readMore(doc);
            continue;
        }
        if (!match) {
            m_done = true;
            break;
        }
        const int start = match->start + m_delta;
        const int end = start + match->length;
        const int previousSource = m_source;
        m_source = match->end();
        // Passed over: exact-case matches in case-mismatch mode and protected
        // text the core refuses; stepping leaves such a match selected.
        if ((m_caseMismatch && m_matcher.isExactCase(*match)) || (m_hasProtected && !core->mayEdit(start, end))) {
            m_before = QChar();
            m_selection = {start, match->length};
            continue;
        }
        m_applying = true;
        if (!opened) {
            if (m_joinNext)
                c.joinPreviousEditBlock();
            else
                c.beginEditBlock();
            opened = true;
            m_joinNext = true;
        }
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        if (m_replacement.isEmpty())
            c.removeSelectedText();
        else
            PlainText::insert(c, m_replacement);
        m_applying = false;
        const int after = c.position();
        if (spanStart < 0)
            spanStart = start;
        spanEnd = after;
        m_delta = after - m_source;
        // Whole word looks at the replacement's last character now, or at
        // what stood in front of the match when it was deleted.
        if (!m_replacement.isEmpty())
            m_before = m_lastOfReplacement;
        else if (match->start > previousSource || m_before.isNull())
            m_before = match->start > 0 ? m_raw.at(match->start - 1) : QChar(QChar::ParagraphSeparator);
        m_selection = {after, 0};
        ++m_replacements;
    }
    if (opened) {
        const qint64 edited = clock.nsecsElapsed();
        m_applying = true;
        c.endEditBlock();
        m_applying = false;
        const double layoutMs = (clock.nsecsElapsed() - edited) / 1e6;
        // Aim the layout at about one and a half editing budgets; below a floor the
        // span would only multiply the fixed part of each layout.
        if (budgetMs > 0) {
            const double target = 1.5 * budgetMs;
            if (layoutMs > target)
                m_spanLimit = qMax(32000, int(m_spanLimit * target / layoutMs));
            else if (layoutMs < target / 2)
                m_spanLimit = int(qMin<qint64>(qint64(m_spanLimit) * 2, 1 << 30));
        }
    }
    m_revision = doc->revision();
    m_count = doc->characterCount();
    return m_done;
}

void ReplacePass::readMore(QTextDocument *doc)
{
    // Behind m_source the document is as it was, shifted by m_delta: each
    // paragraph is its text and a separator.
    const int to = int(qMin<qint64>(m_rawSize, qint64(m_raw.size()) + m_chunk));
    for (QTextBlock b = doc->findBlock(int(m_raw.size()) + m_delta); b.isValid() && m_raw.size() < to; b = b.next()) {
        const int at = int(m_raw.size()) + m_delta - b.position();
        const QString text = b.text();
        m_raw += QStringView(text).mid(at, qMin<qsizetype>(text.size() - at, to - m_raw.size()));
        if (m_raw.size() < to)
            m_raw += QChar(QChar::ParagraphSeparator);
    }
}

void ReplacePass::placeSelection()
{
    if (m_core)
        m_core->select(m_selection.start, m_selection.length);
}
