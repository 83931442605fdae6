#include "format/TextTools.h"

#include "format/LineSort.h"
#include "format/ToolProgress.h"
#include "document/DocumentCore.h"
#include "document/LazyDocumentLayout.h"
#include "document/PlainText.h"

#include <QDateTime>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace TextTools {
namespace {

bool isParagraphEnd(QChar c)
{
    return c == u'\r' || c == QChar::ParagraphSeparator;
}

// The document's characters of [from, to), one per position. Without
// tables they are read in pieces; call within an edit group then, where
// placing a cursor lays nothing out.
QString rawRange(const QTextDocument &doc, int from, int to, const ToolPhase &phase = {})
{
    // A whole document is copied at once, a few times quicker than in
    // pieces; up to a size that copies well within a progress step.
    constexpr int AtOnce = 16 * 1024 * 1024;
    const bool whole = from == 0 && to == doc.characterCount() - 1 && to <= AtOnce;
    if (whole || !doc.rootFrame()->childFrames().isEmpty())
        return doc.toRawText().mid(from, to - from);
    QString text;
    text.reserve(to - from);
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    for (int at = from; at < to;) {
        const int end = qMin(to, at + phase.pieceSize());
        c.setPosition(at);
        c.setPosition(end, QTextCursor::KeepAnchor);
        text += c.selectedText();
        at = end;
        phase.advance(at - from);
    }
    return text;
}

// Edits between construction and destruction are one undo step of the core.
class EditGroup
{
public:
    explicit EditGroup(DocumentCore &core) : m_core(core) { m_core.beginEditGroup(); }
    ~EditGroup() { close(); }
    EditGroup(const EditGroup &) = delete;
    EditGroup &operator=(const EditGroup &) = delete;
    void close()
    {
        if (std::exchange(m_open, false))
            m_core.endEditGroup();
    }
    void reopen()
    {
        if (!std::exchange(m_open, true))
            m_core.beginEditGroup();
    }

private:
    DocumentCore &m_core;
    bool m_open = true;
};

// A command's progress in thousandths: started here, finished (100 %) when
// the command returns, after its edit group has closed.
class CommandProgress
{
public:
    explicit CommandProgress(ToolProgress *progress) : m_progress(progress)
    {
        if (m_progress)
            m_progress->start(Units);
    }
    ~CommandProgress()
    {
        if (m_progress)
            m_progress->finish();
    }
    CommandProgress(const CommandProgress &) = delete;
    CommandProgress &operator=(const CommandProgress &) = delete;
    // The part [from, to) of the command, of span units.
    ToolPhase part(double from, double to, qint64 span) const
    {
        return ToolPhase{m_progress, 0, Units, 1}.part(from, to, span);
    }

private:
    static constexpr qint64 Units = 1000;
    ToolProgress *m_progress;
};

// True when [from, to) has one character format, its paragraphs one
// paragraph format, and no tables or pictures: then the range can be
// replaced as a whole without losing any formatting. format receives the
// character format.
bool isUniform(const QTextDocument &doc, int from, int to, QTextCharFormat *format, const ToolPhase &phase = {})
{
    if (!doc.rootFrame()->childFrames().isEmpty())
        return false;
    // A document that holds one character and one paragraph format (a plain
    // text file) needs no walk through its paragraphs.
    const QList<QTextFormat> formats = doc.allFormats();
    if (std::count_if(formats.cbegin(), formats.cend(), [](const QTextFormat &f) { return f.isBlockFormat(); }) == 1) {
        const auto isChar = [](const QTextFormat &f) { return f.isCharFormat(); };
        const auto only = std::find_if(formats.cbegin(), formats.cend(), isChar);
        if (only != formats.cend() && std::count_if(only, formats.cend(), isChar) == 1) {
            *format = only->toCharFormat();
            return !format->isImageFormat();
        }
    }
    int charIndex = -1;
    int blockIndex = -1;
    const auto sameChar = [&charIndex](int index) {
        if (charIndex < 0)
            charIndex = index;
        return index == charIndex;
    };
    for (QTextBlock b = doc.findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        phase.advance(b.position() - from);
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
            // Indexes only: a format looked up per fragment costs more than the walk.
            if (f.charFormatIndex() == charIndex)
                continue;
            if (!sameChar(f.charFormatIndex()) || f.charFormat().isImageFormat())
                return false;
        }
    }
    if (charIndex >= 0) {
        *format = doc.allFormats().at(charIndex).toCharFormat();
    } else {
        QTextCursor c(const_cast<QTextDocument *>(&doc));
        c.setPosition(from);
        *format = c.charFormat();
    }
    return true;
}

// The end of a piece of text from from: after the first paragraph end at
// least size characters on, or the end of the text. Qt's cost of an
// insertion lies in the paragraphs it makes; text without paragraph ends
// goes in at once, however long (Join All makes one paragraph of it all).
qsizetype pieceEnd(QStringView text, qsizetype from, qsizetype size)
{
    for (qsizetype i = from + qMax<qsizetype>(1, size) - 1; i < text.size(); ++i)
        if (text[i] == QChar::ParagraphSeparator)
            return i + 1;
    return text.size();
}

// Removes [from, to) in pieces. One removal of megabytes holds the window
// for seconds; the pieces go into the caller's edit group, so they stay one
// undo step, and leave what one removal would. From the start, as measured:
// that makes the Undo of Join All three times quicker than from the end.
void removeInPieces(QTextDocument *doc, int from, int to, const ToolPhase &phase)
{
    QTextCursor c(doc);
    for (int left = to - from; left > 0;) {
        int end = from + qMin(left, phase.pieceSize());
        // Never between the halves of a surrogate pair.
        if (end < to && doc->characterAt(end).isLowSurrogate())
            ++end;
        c.setPosition(from);
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        left -= end - from;
        phase.advance(to - from - left);
    }
}

// Inserts text at position in pieces; new paragraphs take the paragraph
// format of the one at position, as one insertion would give them.
// Inserts one piece of a tool's result. New paragraphs get their rows in a
// large document's layout now, between progress steps, rather than all at
// once when the whole edit is reported.
void insertPiece(QTextCursor &c, const QString &text, const QTextCharFormat &format)
{
    const int from = c.position();
    c.insertText(text, format);
    if (const auto *lazy = qobject_cast<const LazyDocumentLayout *>(c.document()->documentLayout()))
        lazy->countRows(from, c.position());
}

void insertInPieces(QTextDocument *doc, int position, QStringView text, const QTextCharFormat &format,
                    const ToolPhase &phase)
{
    QTextCursor c(doc);
    c.setPosition(position);
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = pieceEnd(text, at, phase.pieceSize());
        insertPiece(c, text.sliced(at, end - at).toString(), format);
        at = end;
        phase.advance(at);
    }
}

void replaceRange(QTextDocument *doc, int from, int to, QStringView text, const QTextCharFormat &format,
                  const ToolPhase &phase = {})
{
    const qint64 removed = to - from;
    const double split = double(removed) / qMax<qint64>(1, removed + text.size());
    removeInPieces(doc, from, to, phase.part(0, split, removed));
    insertInPieces(doc, from, text, format, phase.part(split, 1, text.size()));
}

// The whole of a uniform document (see isUniform) replaced by text in its
// formats, as a document of its own (see DocumentCore::replaceDocument):
// quicker than Qt removing and making every paragraph, off the window's
// thread when large, and undone at once. False, with nothing done, for less
// than the whole document or for paragraphs of a list, which a new document
// would not hold.
bool replaceWhole(DocumentCore &core, int from, int to, const QString &text, const QTextCharFormat &format,
                  const ToolPhase &phase)
{
    const QTextBlock first = core.document()->begin();
    const QTextBlockFormat block = first.blockFormat();
    const QTextCharFormat firstChar = first.charFormat();
    if (from != 0 || to != core.TextLength() || block.objectIndex() >= 0 || format.objectIndex() >= 0
        || firstChar.objectIndex() >= 0)
        return false;
    return core.replaceDocument(
        [&](QTextCursor &c, const DocumentCore::Report &report) {
            c.setBlockFormat(block);
            c.setBlockCharFormat(firstChar);
            for (qsizetype at = 0; at < text.size();) {
                const qsizetype end = pieceEnd(text, at, 256 * 1024);
                c.insertText(text.sliced(at, end - at), format);
                at = end;
                report(at);
            }
            return true;
        },
        text.size(), [&phase](qint64 done) { phase.advance(done); });
}

struct Joined {
    QString text;
    int caret = -1; // after the last replacement; -1 when nothing was found
};

// Follows the command's search-and-replace steps over the text, so the
// caret ends where the step by step edits would leave it: tabs, then line
// feeds, then vertical tabs and line breaks, then paragraph ends become
// spaces, and the caret goes after the last replacement of the last step
// that made one. One pass does all the steps: none makes what another finds.
Joined joinRange(QStringView text, bool all, ToolPhase phase = {})
{
    Joined result{text.toString(), -1};
    QString &out = result.text;
    const int n = int(out.size());
    phase.span = qMax(1, n);
    int lastOfStep[4] = {-1, -1, -1, -1};
    int openEnd = -1;   // the paragraph end just made a space
    int endsFrom = 0;   // paragraph ends before this are left alone
    for (int i = 0; i < n; ++i) {
        if ((i & 0xFFFF) == 0)
            phase.advance(i);
        const char16_t c = out[i].unicode();
        if (c == u'\t' || c == u'\n' || c == u'\v' || c == QChar::LineSeparator) {
            out[i] = u' ';
            lastOfStep[c == u'\t' ? 0 : c == u'\n' ? 1 : 2] = i + 1;
        } else if (isParagraphEnd(out[i]) && i >= endsFrom) {
            if (!all && openEnd >= 0 && openEnd == i - 1) {
                // Two paragraph ends side by side separate paragraphs: both
                // stay, and so does the character after them.
                out[openEnd] = text[openEnd];
                lastOfStep[3] = i + 2;
                endsFrom = i + 2;
                openEnd = -1;
            } else {
                out[i] = u' ';
                lastOfStep[3] = i + 1;
                openEnd = i;
            }
        }
    }
    for (int step = 3; step >= 0 && result.caret < 0; --step)
        result.caret = lastOfStep[step];
    return result;
}

// The longest paragraph the document would hold with [from, to) replaced
// by text, counting the rest of the paragraphs the range begins and ends in.
qsizetype longestParagraph(const QTextDocument &doc, int from, int to, QStringView text)
{
    const QTextBlock first = doc.findBlock(from);
    const QTextBlock last = doc.findBlock(to);
    qsizetype longest = 0;
    qsizetype run = from - first.position();
    for (const QChar c : text) {
        if (isParagraphEnd(c)) {
            longest = qMax(longest, run);
            run = 0;
        } else {
            ++run;
        }
    }
    return qMax(longest, run + last.position() + last.length() - 1 - to);
}

} // namespace

QString joinText(QStringView text, bool all)
{
    return joinRange(text, all).text;
}

Outcome join(DocumentCore &core, bool all, ToolProgress *progress)
{
    const int from = core.SelStart();
    const int to = from + core.SelLength();
    if (from == to || core.isReadOnly())
        return Outcome::NothingToDo;
    const CommandProgress steps(progress);
    QTextDocument *doc = core.document();
    QString before;
    Joined joined;
    bool allowed = false;
    bool uniform = false;
    QTextCharFormat format;
    {
        // Read within an edit group, where placing a cursor lays nothing out.
        EditGroup group(core);
        before = rawRange(*doc, from, to, steps.part(0, 0.05, to - from));
        joined = joinRange(before, all, steps.part(0.05, 0.1, 1));
        if (joined.caret < 0 || joined.text == before)
            return Outcome::NothingToDo;
        allowed = core.mayEdit(from, to);
        uniform = allowed && isUniform(*doc, from, to, &format, steps.part(0.1, 0.15, to - from));
    }
    if (longestParagraph(*doc, from, to, joined.text) > core.limits().longestLine)
        return Outcome::LineTooLong;
    const int caret = from + joined.caret;
    const ToolPhase writing = steps.part(0.15, 1, 1);
    if (uniform && replaceWhole(core, from, to, joined.text, format, writing.part(0, 1, joined.text.size()))) {
        // The caret is put without measuring its line: in the paragraph just
        // made that would classify all of it at once.
        EditGroup group(core);
        core.select(qMin(caret, core.TextLength()), 0);
        return Outcome::Done;
    }
    bool refused = false;
    {
        EditGroup group(core);
        if (uniform) {
            replaceRange(doc, from, to, joined.text, format, writing);
        } else {
            // Character by character, each in the format of the text it joins.
            const ToolPhase phase = steps.part(0.1, 1, before.size());
            for (int i = 0; i < int(before.size()); ++i) {
                if ((i & 0xFFF) == 0)
                    phase.advance(i);
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
        core.select(qMin(caret, core.TextLength()), 0);
    }
    return refused ? Outcome::Refused : Outcome::Done;
}

// ---------------------------------------------------------------------------
// Sorting

namespace {

// Progress of a sort in thousandths, from whichever thread sorts.
constexpr qint64 SortRead = 30, SortSplit = 50, SortKeyed = 300, SortUnits = 1000;

// Inserts the lines at the cursor, joined by paragraph ends, in pieces of
// whole lines gathered from the views (no joined copy of the text). May run
// off the cursor's thread, so nothing here reaches the document's layout.
void insertLines(QTextCursor &c, const std::vector<QStringView> &lines, bool lineEndAfterLast,
                 const DocumentCore::Report &report)
{
    constexpr qsizetype PieceSize = 256 * 1024;
    const auto reportLines = [&report, n = qMax<qint64>(1, qint64(lines.size()))](size_t i) {
        report(SortKeyed + (SortUnits - SortKeyed) * qint64(i) / n);
    };
    QString piece;
    piece.reserve(PieceSize + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            piece += QChar::ParagraphSeparator;
        piece += lines[i];
        if (piece.size() >= PieceSize) {
            c.insertText(piece);
            piece.clear();
            reportLines(i);
        }
    }
    if (lineEndAfterLast)
        piece += QChar::ParagraphSeparator;
    if (!piece.isEmpty())
        c.insertText(piece);
    reportLines(lines.size());
}

} // namespace

Outcome sortLines(DocumentCore &core, bool descending, const QLocale &locale, ToolProgress *progress)
{
    const QTextDocument *doc = core.document();
    const int length = core.TextLength();
    if (length == 0 || core.isReadOnly())
        return Outcome::NothingToDo;
    if (!core.mayEdit(0, length))
        return Outcome::Refused;
    const CommandProgress steps(progress);
    const ToolPhase phase = steps.part(0, 1, SortUnits);
    // The text as PlainText::rawText gives it, line separators kept. A flat
    // document's characters are read at once where it is sorted, which may
    // be a worker: nothing edits the document while the window waits for it.
    const bool flat = PlainText::isFlat(*doc);
    QString text;
    if (!flat) {
        EditGroup group(core);
        text = PlainText::rawText(*doc, 0, -1, true);
    }
    // Plain text in the default formats, in a document of its own: Undo
    // brings back the one before, formats and all, in one step.
    const bool replaced = core.replaceDocument(
        [&](QTextCursor &c, const DocumentCore::Report &report) {
            if (flat)
                text = PlainText::rawText(*doc, 0, -1, true);
            report(SortRead);
            std::vector<QStringView> lines = LineSort::splitLines(text);
            // Text that ends with a line end keeps it: the empty line after it is no line to sort.
            const bool endsWithLineEnd = lines.size() > 1 && lines.back().isEmpty();
            if (endsWithLineEnd)
                lines.pop_back();
            report(SortSplit);
            if (!LineSort::sort(lines, locale, descending))
                return false;
            report(SortKeyed);
            insertLines(c, lines, endsWithLineEnd, report);
            return true;
        },
        length, [&phase](qint64 done) { phase.advance(done); });
    return replaced ? Outcome::Done : Outcome::Refused;
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

namespace {

struct LineChange {
    int from, to; // in the text converted
    QString text;
};

// The lines of text (paragraph ends U+2029) that change case, each
// converted on its own: no case mapping looks across a paragraph end.
// Answers how much longer the text gets.
int changedLines(QStringView text, Case mode, const QLocale &locale, const ToolPhase &phase,
                 std::vector<LineChange> &changes)
{
    int growth = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QChar::ParagraphSeparator, start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        bool wordStart = true;
        QString converted = changeCase(line, mode, locale, &wordStart);
        if (converted != line) {
            growth += int(converted.size() - line.size());
            changes.push_back({int(start), int(end), std::move(converted)});
        }
        phase.advance(end);
        start = end + 1;
    }
    return growth;
}

} // namespace

Outcome changeCase(DocumentCore &core, Case mode, const QLocale &locale, ToolProgress *progress)
{
    const int from = core.SelStart();
    const int to = from + core.SelLength();
    if (from == to || core.isReadOnly())
        return Outcome::NothingToDo;
    if (!core.mayEdit(from, to))
        return Outcome::Refused;
    const CommandProgress steps(progress);
    QTextDocument *doc = core.document();
    int end = to;
    {
        EditGroup group(core);
        QTextCharFormat format;
        if (isUniform(*doc, from, to, &format, steps.part(0, 0.1, to - from))) {
            const QString before = rawRange(*doc, from, to, steps.part(0.1, 0.15, to - from));
            std::vector<LineChange> changes;
            const int growth = changedLines(before, mode, locale, steps.part(0.15, 0.3, before.size()), changes);
            if (core.wouldExceedMaxLength(to - from, to - from + growth))
                return Outcome::Refused;
            const ToolPhase writing = steps.part(0.3, 1, before.size());
            if (from == 0 && to == core.TextLength() && !changes.empty()) {
                QString after;
                after.reserve(before.size() + growth);
                int at = 0;
                for (const LineChange &change : changes) {
                    after += QStringView(before).sliced(at, change.from - at);
                    after += change.text;
                    at = change.to;
                }
                after += QStringView(before).sliced(at);
                end = int(after.size());
                // The edit group ends before the document is replaced.
                group.close();
                if (replaceWhole(core, from, to, after, format, writing.part(0, 1, after.size()))) {
                    group.reopen(); // the caret is put without measuring its line
                    core.select(end, 0);
                    return Outcome::Done;
                }
                group.reopen();
            }
            // Line by line: paragraph ends keep their place, so no paragraph
            // is made anew, which costs Qt far more than the text in it.
            QTextCursor c(doc);
            int delta = 0;
            for (const LineChange &change : changes) {
                c.setPosition(from + delta + change.from);
                c.setPosition(from + delta + change.to, QTextCursor::KeepAnchor);
                c.insertText(change.text, format);
                delta += int(change.text.size()) - (change.to - change.from);
                writing.advance(change.to);
            }
            end = to + growth;
        } else {
            // Run by run, each keeping its format; pictures stay as they are.
            struct Run {
                int from, to;
                QString text;
                QTextCharFormat format;
            };
            std::vector<Run> runs;
            bool wordStart = true;
            const ToolPhase reading = steps.part(0, 0.2, to - from);
            for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
                reading.advance(b.position() - from);
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
            const ToolPhase writing = steps.part(0.2, 1, qint64(runs.size()));
            for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
                writing.advance(run - runs.rbegin());
                replaceRange(doc, run->from, run->to, run->text, run->format, writing.part(0, 0, 1));
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
