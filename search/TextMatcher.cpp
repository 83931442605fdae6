#include "search/TextMatcher.h"

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

TextMatcher::TextMatcher(const QString &rawText, const QString &searchText, const SearchOptions &options)
    : m_text(rawText), m_exact(searchText), m_options(options)
{
    m_pattern = searchText;
    m_pattern.remove(u'\n');
    m_pattern.replace(u'\r', QChar::ParagraphSeparator);
    m_acrossParagraphs = m_pattern.contains(QChar::ParagraphSeparator);
}

bool TextMatcher::isWhole(qsizetype at, QChar before) const
{
    const qsizetype n = m_pattern.size();
    const QChar prev = !before.isNull() ? before : at > 0 ? m_text.at(at - 1) : QChar();
    const QChar next = at + n < m_text.size() ? m_text.at(at + n) : QChar();
    if (!m_acrossParagraphs)
        return (prev.isNull() || !isWordChar(prev)) && (next.isNull() || !isWordChar(next));
    // A match over paragraph ends is cut off from a neighbouring word only
    // where both the neighbour and the pattern's own end are word characters.
    if (!prev.isNull() && isWordChar(prev) && isWordChar(m_pattern.front()))
        return false;
    return next.isNull() || !isWordChar(next) || !isWordChar(m_pattern.back());
}

std::optional<TextRange> TextMatcher::next(int from, int to, QChar before) const
{
    if (m_pattern.isEmpty())
        return std::nullopt;
    const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype n = m_pattern.size();
    to = int(qMin<qsizetype>(to, m_text.size()));
    for (qsizetype i = m_text.indexOf(m_pattern, qMax(0, from), cs); i >= 0 && i + n <= to;
         i = m_text.indexOf(m_pattern, i + 1, cs)) {
        if (m_options.wholeWord && !isWhole(i, i == from ? before : QChar()))
            continue;
        return TextRange{int(i), int(n)};
    }
    return std::nullopt;
}

bool TextMatcher::isExactCase(const TextRange &match) const
{
    // Compared as the selection reads, paragraph ends as CR LF.
    QString found = m_text.mid(match.start, match.length);
    found.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return found == m_exact;
}
