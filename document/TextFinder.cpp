#include "document/TextFinder.h"

#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

namespace TextFinder {
namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWordAt(const QString &text, qsizetype index, qsizetype length)
{
    if (index > 0 && isWordChar(text.at(index - 1)))
        return false;
    const qsizetype end = index + length;
    return end >= text.size() || !isWordChar(text.at(end));
}

int findInParagraphs(const QTextDocument &document, const QString &text, int lo, int hi, bool backward,
                     Qt::CaseSensitivity cs, bool whole)
{
    const qsizetype n = text.size();
    const QTextDocument *doc = &document;
    if (!backward) {
        for (QTextBlock b = doc->findBlock(lo); b.isValid() && b.position() <= hi; b = b.next()) {
            const QString t = b.text();
            const int base = b.position();
            for (qsizetype i = t.indexOf(text, qMax(0, lo - base), cs); i >= 0; i = t.indexOf(text, i + 1, cs)) {
                if (base + i + n > hi)
                    return -1;
                if (!whole || isWholeWordAt(t, i, n))
                    return base + int(i);
            }
        }
        return -1;
    }
    for (QTextBlock b = doc->findBlock(hi); b.isValid() && b.position() + b.length() > lo; b = b.previous()) {
        const QString t = b.text();
        const int base = b.position();
        const qsizetype from = qMin<qsizetype>(t.size() - n, hi - base - n);
        for (qsizetype i = from < 0 ? -1 : t.lastIndexOf(text, from, cs); i >= 0;
             i = i == 0 ? -1 : t.lastIndexOf(text, i - 1, cs)) {
            if (base + i < lo)
                return -1;
            if (!whole || isWholeWordAt(t, i, n))
                return base + int(i);
        }
    }
    return -1;
}

int findAcrossParagraphs(const QTextDocument &document, const QString &text, int lo, int hi, bool backward,
                         Qt::CaseSensitivity cs, bool whole)
{
    // A match begins at the end of one paragraph, takes whole paragraphs in
    // between and ends at the start of another.
    const QStringList parts = text.split(u'\r');
    const auto matchFrom = [&](const QTextBlock &first) -> int {
        const QString head = first.text();
        if (!head.endsWith(parts.first(), cs))
            return -1;
        const qsizetype headAt = head.size() - parts.first().size();
        if (whole && headAt > 0 && !parts.first().isEmpty() && isWordChar(head.at(headAt - 1))
            && isWordChar(parts.first().at(0)))
            return -1;
        QTextBlock b = first;
        for (qsizetype k = 1; k < parts.size(); ++k) {
            b = b.next();
            if (!b.isValid())
                return -1;
            const QString t = b.text();
            const bool last = k + 1 == parts.size();
            if (!last ? t.compare(parts.at(k), cs) != 0 : !t.startsWith(parts.at(k), cs))
                return -1;
            if (last && whole && !parts.at(k).isEmpty() && t.size() > parts.at(k).size()
                && isWordChar(t.at(parts.at(k).size())) && isWordChar(parts.at(k).back()))
                return -1;
        }
        const int start = first.position() + int(headAt);
        return start >= lo && start + int(text.size()) <= hi ? start : -2;
    };
    const QTextDocument *doc = &document;
    if (!backward) {
        for (QTextBlock b = doc->findBlock(lo); b.isValid() && b.position() <= hi; b = b.next()) {
            const int at = matchFrom(b);
            if (at >= 0)
                return at;
        }
        return -1;
    }
    for (QTextBlock b = doc->findBlock(hi); b.isValid() && b.position() + b.length() > lo; b = b.previous()) {
        const int at = matchFrom(b);
        if (at >= 0)
            return at;
    }
    return -1;
}

} // namespace

int find(const QTextDocument &document, const QString &text, int lo, int hi, bool backward,
         Qt::CaseSensitivity cs, bool wholeWord)
{
    if (text.isEmpty())
        return -1;
    QString pattern = text;
    pattern.replace(QChar::ParagraphSeparator, u'\r');
    return pattern.contains(u'\r') ? findAcrossParagraphs(document, pattern, lo, hi, backward, cs, wholeWord)
                                   : findInParagraphs(document, pattern, lo, hi, backward, cs, wholeWord);
}

} // namespace TextFinder
