#include "format/TextTools.h"

#include "format/LineSort.h"
#include "document/DocumentCore.h"
#include "document/PlainText.h"

#include <QDateTime>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <vector>

namespace TextTools {
namespace {

bool isParagraphEnd(QChar c)
{
    return c == u'\r' || c == QChar::ParagraphSeparator;
}

// The document's characters of [from, to), one per position.
QString rawRange(const QTextDocument &doc, int from, int to)
{
    return doc.toRawText().mid(from, to - from);
}

// Edits between construction and destruction are one undo step of the core.
class EditGroup
{
public:
    explicit EditGroup(DocumentCore &core) : m_core(core) { m_core.beginEditGroup(); }
    ~EditGroup() { m_core.endEditGroup(); }
    EditGroup(const EditGroup &) = delete;
    EditGroup &operator=(const EditGroup &) = delete;

private:
    DocumentCore &m_core;
};

// True when [from, to) has one character format, its paragraphs one
// paragraph format, and no tables or pictures: then the range can be
// replaced as a whole without losing any formatting. format receives the
// character format.
bool isUniform(const QTextDocument &doc, int from, int to, QTextCharFormat *format)
{
    if (!doc.rootFrame()->childFrames().isEmpty())
        return false;
    int charIndex = -1;
    int blockIndex = -1;
    const auto sameChar = [&charIndex](int index) {
        if (charIndex < 0)
            charIndex = index;
        return index == charIndex;
    };
    for (QTextBlock b = doc.findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        if (blockIndex < 0)
            blockIndex = b.blockFormatIndex();
        else if (b.blockFormatIndex() != blockIndex)
            return false;
        // Paragraphs that begin inside the range are made anew from the text's format.
        if (b.position() > from && !sameChar(b.charFormatIndex()))
            return false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() >= to || f.position() + f.length() <= from)
                continue;
            if (f.charFormat().isImageFormat() || !sameChar(f.charFormatIndex()))
                return false;
            *format = f.charFormat();
        }
    }
    if (charIndex < 0) {
        QTextCursor c(const_cast<QTextDocument *>(&doc));
        c.setPosition(from);
        *format = c.charFormat();
    }
    return true;
}

void replaceRange(QTextDocument *doc, int from, int to, const QString &text, const QTextCharFormat &format)
{
    QTextCursor c(doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    if (text.isEmpty())
        c.removeSelectedText();
    else
        c.insertText(text, format);
}

struct Joined {
    QString text;
    int caret = -1; // after the last replacement; -1 when nothing was found
};

// Follows the command's search-and-replace steps over the text, so the
// caret ends where the step by step edits would leave it.
Joined joinRange(QStringView text, bool all)
{
    Joined result{text.toString(), -1};
    QString &out = result.text;
    const int n = int(out.size());
    for (const char16_t target : {u'\t', u'\n', u'\v'}) {
        for (int i = 0; i < n; ++i) {
            const char16_t c = out[i].unicode();
            if (c == target || (target == u'\v' && c == QChar::LineSeparator)) {
                out[i] = u' ';
                result.caret = i + 1;
            }
        }
    }
    const auto findEnd = [&out, n](int from) {
        for (int i = qMax(0, from); i < n; ++i)
            if (isParagraphEnd(out[i]))
                return i;
        return -1;
    };
    int cur = findEnd(0);
    while (cur >= 0) {
        const QChar original = out[cur];
        const int prev = cur;
        out[prev] = u' ';
        result.caret = prev + 1;
        cur = findEnd(prev + 1);
        if (!all && cur == prev + 1) {
            // Two paragraph ends side by side separate paragraphs: both stay,
            // and so does the character after them.
            out[prev] = original;
            result.caret = cur + 2;
            cur = findEnd(cur + 2);
        }
    }
    return result;
}

} // namespace

QString joinText(QStringView text, bool all)
{
    return joinRange(text, all).text;
}

Outcome join(DocumentCore &core, bool all)
{
    const int from = core.SelStart();
    const int to = from + core.SelLength();
    if (from == to || core.isReadOnly())
        return Outcome::NothingToDo;
    QTextDocument *doc = core.document();
    const QString before = rawRange(*doc, from, to);
    const Joined joined = joinRange(before, all);
    if (joined.caret < 0 || joined.text == before)
        return Outcome::NothingToDo;

    const bool allowed = core.mayEdit(from, to);
    bool refused = false;
    {
        EditGroup group(core);
        QTextCharFormat format;
        if (allowed && isUniform(*doc, from, to, &format)) {
            replaceRange(doc, from, to, joined.text, format);
        } else {
            // Character by character, each in the format of the text it joins.
            for (int i = 0; i < int(before.size()); ++i) {
                if (before[i] == joined.text[i])
                    continue;
                const int p = from + i;
                if (!allowed && !core.mayEdit(p, p + 1)) {
                    refused = true;
                    continue;
                }
                QTextCursor probe(doc);
                probe.setPosition(isParagraphEnd(before[i]) ? p : p + 1);
                replaceRange(doc, p, p + 1, QString(joined.text[i]), probe.charFormat());
            }
        }
    }
    core.select(qMin(from + joined.caret, core.TextLength()), 0);
    return refused ? Outcome::Refused : Outcome::Done;
}

// ---------------------------------------------------------------------------
// Sorting

Outcome sortLines(DocumentCore &core, bool descending, const QLocale &locale)
{
    QTextDocument *doc = core.document();
    const int length = core.TextLength();
    if (length == 0 || core.isReadOnly())
        return Outcome::NothingToDo;
    if (!core.mayEdit(0, length))
        return Outcome::Refused;
    const QString text = PlainText::extract(*doc, 0, -1, QString(QChar::ParagraphSeparator), true);
    std::vector<QStringView> lines = LineSort::splitLines(text);
    // Text that ends with a line end keeps it: the empty line after it is no line to sort.
    const bool endsWithLineEnd = lines.size() > 1 && lines.back().isEmpty();
    if (endsWithLineEnd)
        lines.pop_back();
    if (!LineSort::sort(lines, locale, descending))
        return Outcome::Refused;
    QString sorted = LineSort::join(lines, QString(QChar::ParagraphSeparator));
    if (endsWithLineEnd)
        sorted += QChar::ParagraphSeparator;
    {
        EditGroup group(core);
        QTextCursor c(doc);
        c.select(QTextCursor::Document);
        c.removeSelectedText();
        // Plain text in the default formats, all of it undone in one step.
        c.setBlockFormat(QTextBlockFormat());
        c.setBlockCharFormat(QTextCharFormat());
        c.insertText(sorted, QTextCharFormat());
    }
    core.select(0, 0);
    return Outcome::Done;
}

// ---------------------------------------------------------------------------
// Case

QString changeCase(QStringView text, Case mode, const QLocale &locale, bool *wordStart)
{
    if (mode == Case::Upper)
        return locale.toUpper(text.toString());
    QString out = locale.toLower(text.toString());
    if (mode == Case::Lower)
        return out;
    bool atStart = wordStart ? *wordStart : true;
    // Word starts change in place; only a capital of another width moves the rest.
    for (qsizetype i = 0; i < out.size();) {
        char32_t c = out[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() && out[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(out[i], out[i + 1]);
            width = 2;
        }
        // Codes from 128 up are letters, so a word goes on through any script.
        const bool separator = c < 65 || (c >= 91 && c <= 96) || (c >= 123 && c <= 127)
                               || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        if (atStart && !separator) {
            const char32_t title = QChar::toTitleCase(c);
            if (title != c && width == 1 && !QChar::requiresSurrogates(title)) {
                out[i] = QChar(char16_t(title));
            } else if (title != c) {
                const QString capital = QString::fromUcs4(&title, 1);
                out.replace(i, width, capital);
                width = capital.size();
            }
        }
        atStart = separator;
        i += width;
    }
    if (wordStart)
        *wordStart = atStart;
    return out;
}

Outcome changeCase(DocumentCore &core, Case mode, const QLocale &locale)
{
    const int from = core.SelStart();
    const int to = from + core.SelLength();
    if (from == to || core.isReadOnly())
        return Outcome::NothingToDo;
    if (!core.mayEdit(from, to))
        return Outcome::Refused;
    QTextDocument *doc = core.document();
    int end = to;
    {
        EditGroup group(core);
        QTextCharFormat format;
        if (isUniform(*doc, from, to, &format)) {
            const QString converted = changeCase(rawRange(*doc, from, to), mode, locale);
            if (core.wouldExceedMaxLength(to - from, int(converted.size())))
                return Outcome::Refused;
            replaceRange(doc, from, to, converted, format);
            end = from + int(converted.size());
        } else {
            // Run by run, each keeping its format; pictures stay as they are.
            struct Run {
                int from, to;
                QString text;
                QTextCharFormat format;
            };
            std::vector<Run> runs;
            bool wordStart = true;
            for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextFragment f = it.fragment();
                    const int a = qMax(from, f.position());
                    const int z = qMin(to, f.position() + f.length());
                    if (a >= z)
                        continue;
                    if (f.charFormat().isImageFormat()) {
                        wordStart = false;
                        continue;
                    }
                    const QString piece = f.text().mid(a - f.position(), z - a);
                    const QString converted = changeCase(piece, mode, locale, &wordStart);
                    if (converted != piece)
                        runs.push_back({a, z, converted, f.charFormat()});
                }
                wordStart = true; // a paragraph end separates words
            }
            int delta = 0;
            for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
                replaceRange(doc, run->from, run->to, run->text, run->format);
                delta += int(run->text.size()) - (run->to - run->from);
            }
            end = to + delta;
        }
    }
    core.select(end, 0);
    return Outcome::Done;
}

// ---------------------------------------------------------------------------
// Insertions

Outcome insertText(DocumentCore &core, const QString &text)
{
    if (core.isReadOnly() || !core.ReplaceSelectionW(text))
        return Outcome::Refused;
    core.select(core.SelStart() + core.SelLength(), 0);
    return Outcome::Done;
}

Outcome insertFormFeed(DocumentCore &core)
{
    if (insertText(core, QStringLiteral("\f")) == Outcome::Refused)
        return Outcome::Refused;
    core.select(core.SelStart() + 1, 0);
    return Outcome::Done;
}

namespace {

// The locale's long time without the time zone, which the system's long
// time format of the desktop this was made for never shows.
QString longTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (out.endsWith(u' '))
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

} // namespace

QString formatDateTime(int tag, const QDateTime &when, const QLocale &locale)
{
    const QDate date = when.date();
    const QTime time = when.time();
    const QString shortDate = locale.toString(date, QLocale::ShortFormat);
    const QString longDate = locale.toString(date, QLocale::LongFormat);
    const QString shortTime = locale.toString(time, QLocale::ShortFormat);
    const QString longTime = locale.toString(time, longTimeFormat(locale));
    const QString comma = QStringLiteral(", ");
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    // Month/day/year with a slash whatever the locale's date separator.
    const QString usDate = two(date.month()) + u'/' + two(date.day()) + u'/' + QString::number(date.year());
    switch (tag) {
    case 0: return longDate + comma + longTime;
    case 1: return longDate + comma + shortTime;
    case 2: return shortDate + comma + longTime;
    case 3: return shortDate + comma + shortTime;
    case 4: return longDate;
    case 5: return shortDate;
    case 6: {
        const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        return usDate + comma + two(hour) + u':' + two(time.minute()) + u' '
               + (time.hour() < 12 ? locale.amText() : locale.pmText());
    }
    case 7: return usDate;
    case 8: return longTime;
    default: break;
    }
    return QString();
}

} // namespace TextTools
