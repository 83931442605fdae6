#pragma once

#include <QString>

#include <optional>

// How a search matches: the options of the find and replace dialogs.
struct SearchOptions {
    bool wholeWord = false;
    bool matchCase = false;
    // Stop only where the text found differs from the search text in letter case.
    bool caseMismatch = false;
};

// A match as positions of the document: [start, start + length).
struct TextRange {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool operator==(const TextRange &o) const { return start == o.start && length == o.length; }
};

// Finds matches forward in a document's raw text (paragraph ends as U+2029,
// one character per position) by the rules of the editor's find: a carriage
// return in the search text matches a paragraph end; whole word looks at the
// characters either side of the match. The text is borrowed and must outlive
// the matcher.
class TextMatcher
{
public:
    // searchText as the dialog holds it: line feeds are dropped, CR is a paragraph end.
    TextMatcher(const QString &rawText, const QString &searchText, const SearchOptions &options);

    bool isValid() const { return !m_pattern.isEmpty(); }
    int patternLength() const { return int(m_pattern.size()); }
    // The first match wholly inside [from, to). before is the character in
    // front of from when the document there differs from the raw text (after
    // a replacement); a null QChar means "as in the raw text".
    std::optional<TextRange> next(int from, int to, QChar before = QChar()) const;
    // True when the match equals the search text exactly, so the
    // case-mismatch mode passes over it.
    bool isExactCase(const TextRange &match) const;

private:
    bool isWhole(qsizetype at, QChar before) const;

    const QString &m_text;
    QString m_pattern;       // paragraph ends as U+2029
    QString m_exact;         // the dialog's text, paragraph ends as CR LF
    SearchOptions m_options;
    bool m_acrossParagraphs = false;
};
