#include "document/PlainText.h"

#include "document/HandOver.h"
#include "document/KeptContent.h"
#include "platform/CodePages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <memory>
#include <optional>

namespace PlainText {
namespace {

constexpr qsizetype ChunkSize = 1 << 20;

// Collects the text of a range, one paragraph (or table row) at a time.
class Extractor
{
public:
    Extractor(int from, int to, const QString &lineEnd, bool keepLineSeparators)
        : m_from(from), m_to(to), m_lineEnd(lineEnd), m_keepLineSeparators(keepLineSeparators)
    {
    }

    void frame(const QTextFrame *frame)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *table = qobject_cast<const QTextTable *>(child))
                    this->table(table);
                else
                    this->frame(child);
            } else {
                block(it.currentBlock());
            }
        }
    }

    QString result() { return std::move(m_out); }

private:
    bool intersects(int start, int end) const { return end > m_from && start < m_to; }

    void blockText(const QTextBlock &b, QString &out) const
    {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int start = qMax(frag.position(), m_from);
            const int end = qMin(frag.position() + frag.length(), m_to);
            if (end <= start || frag.charFormat().isImageFormat())
                continue;
            const QTextCharFormat format = frag.charFormat();
            if (KeptContent::isKept(format)) {
                out += KeptContent::text(format).repeated(end - start);
                continue;
            }
            QString text = frag.text().mid(start - frag.position(), end - start);
            if (!m_keepLineSeparators)
                text.replace(QChar::LineSeparator, m_lineEnd);
            out += text;
        }
    }

    void block(const QTextBlock &b)
    {
        const int separator = b.position() + b.length() - 1;
        if (!intersects(b.position(), separator + 1))
            return;
        blockText(b, m_out);
        if (separator < m_to)
            m_out += m_lineEnd;
    }

    void table(const QTextTable *table)
    {
        if (!intersects(table->firstPosition(), table->lastPosition() + 1))
            return;
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue; // covered by a span
                QString text;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (it.currentFrame())
                        continue;
                    if (!text.isEmpty())
                        text += u' ';
                    blockText(it.currentBlock(), text);
                }
                cells << text;
            }
            m_out += cells.join(u'\t');
            if (table->lastPosition() < m_to || r + 1 < table->rows())
                m_out += m_lineEnd;
        }
    }

    int m_from;
    int m_to;
    QString m_lineEnd;
    bool m_keepLineSeparators;
    QString m_out;
};

// Raw text of [from, to) of a flat document. A short range is read from its
// paragraphs, since a copy of the whole text costs as much as the document.
QString flatRange(const QTextDocument &document, int from, int to)
{
    if (to - from > document.characterCount() / 4)
        return document.toRawText().mid(from, to - from);
    QString raw;
    raw.reserve(to - from);
    for (QTextBlock b = document.findBlock(from); b.isValid() && from + raw.size() < to; b = b.next()) {
        const int at = from + int(raw.size()) - b.position();
        const QString text = b.text();
        raw += QStringView(text).mid(at, qMin<qsizetype>(text.size() - at, to - from - raw.size()));
        if (from + raw.size() < to)
            raw += QChar(QChar::ParagraphSeparator);
    }
    return raw;
}

// The first line end of text, if it has one.
std::optional<LineEnd> firstLineEnd(QStringView text)
{
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (text.at(i) == u'\n')
            return LineEnd::Lf;
        if (text.at(i) == u'\r')
            return i + 1 < n && text.at(i + 1) == u'\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return std::nullopt;
}

// Inserts decoded text. U+2028 and U+2029 would become breaks of the
// document: they go in as kept characters, so that they are written back
// as themselves.
void insertDecoded(QTextCursor &cursor, const QString &text)
{
    qsizetype start = 0;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QChar::LineSeparator && c != QChar::ParagraphSeparator)
            continue;
        if (i > start)
            cursor.insertText(text.mid(start, i - start));
        cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                          KeptContent::character(c, cursor.charFormat()));
        start = i + 1;
    }
    if (start == 0)
        cursor.insertText(text);
    else if (start < text.size())
        cursor.insertText(text.mid(start));
}

// Follows the length of the open line through the next piece of text;
// false when it passes limit. A line inside a piece shorter than the limit
// cannot pass it: then only the ends of the piece need a look.
bool lineFits(QStringView text, qsizetype &line, qsizetype limit)
{
    const auto isBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
    if (text.size() > limit) {
        for (const QChar c : text) {
            if (isBreak(c))
                line = 0;
            else if (++line > limit)
                return false;
        }
        return true;
    }
    const auto first = std::find_if(text.begin(), text.end(), isBreak);
    if (first == text.end()) {
        line += text.size();
        return line <= limit;
    }
    if (line + (first - text.begin()) > limit)
        return false;
    line = std::find_if(text.rbegin(), text.rend(), isBreak) - text.rbegin();
    return true;
}

QString joinParagraphs(QStringView raw, const QString &lineEnd, bool keepLineSeparators)
{
    const qsizetype breaks = raw.count(QChar::ParagraphSeparator)
                             + (keepLineSeparators ? 0 : raw.count(QChar::LineSeparator));
    QString out(raw.size() + breaks * (lineEnd.size() - 1), Qt::Uninitialized);
    QChar *dst = out.data();
    const QChar *end = raw.data() + raw.size();
    for (const QChar *src = raw.data(); src != end; ++src) {
        const char16_t c = src->unicode();
        if (c == QChar::ParagraphSeparator || (c == QChar::LineSeparator && !keepLineSeparators)) {
            for (const QChar e : lineEnd)
                *dst++ = e;
        } else {
            *dst++ = *src;
        }
    }
    return out;
}

} // namespace

LineEnd detectLineEnd(QStringView text)
{
    return firstLineEnd(text).value_or(LineEnd::CrLf);
}

QString lineEndText(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf: return QStringLiteral("\n");
    case LineEnd::Cr: return QStringLiteral("\r");
    case LineEnd::CrLf: break;
    }
    return QStringLiteral("\r\n");
}

void insert(QTextCursor &cursor, QStringView text, const QTextCharFormat &format)
{
    // QTextCursor::insertText ends a paragraph at CR, LF and CR LF alike.
    if (format.isValid())
        cursor.insertText(text.toString(), format);
    else
        cursor.insertText(text.toString());
}

namespace {

// The mark is behind the source's offset already: a U+FEFF right after it
// is a character of the text, which Qt's decoders would drop as a mark.
QStringDecoder utfDecoder(EncodedText::Encoding encoding)
{
    const QStringConverter::Encoding e = encoding == EncodedText::Utf8      ? QStringConverter::Utf8
                                         : encoding == EncodedText::Utf16LE ? QStringConverter::Utf16LE
                                                                             : QStringConverter::Utf16BE;
    return QStringDecoder(e, QStringConverter::Flag::ConvertInitialBom);
}

} // namespace

QString decode(const EncodedText &source)
{
    if (!source.filePath.isEmpty()) {
        QFile file(source.filePath);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(source.offset))
            return QString();
        EncodedText inMemory = source;
        inMemory.filePath.clear();
        inMemory.offset = 0;
        inMemory.bytes = file.readAll();
        return decode(inMemory);
    }
    const QByteArrayView bytes = QByteArrayView(source.bytes).sliced(qMin(source.offset, source.bytes.size()));
    if (source.encoding == EncodedText::CodePage)
        return CodePages::toUnicode(source.codePage, bytes);
    QStringDecoder decoder = utfDecoder(source.encoding);
    // An odd last byte of UTF-16 is no character of its own.
    return decoder.decode(source.encoding == EncodedText::Utf8 ? bytes : bytes.first(bytes.size() & ~qsizetype(1)));
}

namespace {

// The source's bytes piece by piece: from memory or straight from its file.
// Pieces of a code page end after a line feed, so no character is cut; the
// UTF decoders keep what a cut leaves over themselves.
class PieceReader
{
public:
    explicit PieceReader(const EncodedText &source) : m_source(source)
    {
        if (!source.filePath.isEmpty()) {
            m_file.setFileName(source.filePath);
            m_ok = m_file.open(QIODevice::ReadOnly) && m_file.seek(source.offset);
            // The file is read to the size it has now: a log that grows
            // meanwhile gives what it held, one that shrinks fails the read.
            m_end = m_file.size();
            if (!m_ok)
                m_failure = m_file.errorString();
        } else {
            m_pos = qMin(source.offset, source.bytes.size());
        }
    }

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pending.isEmpty() && rawAtEnd(); }
    qint64 done() const { return m_file.isOpen() ? m_file.pos() : m_pos; }
    // The read stopped before the end: the file shrank or could not be read.
    bool failed() const { return !m_ok; }
    bool changed() const { return m_changed; }
    QString failure() const { return m_failure; }

    QByteArray next()
    {
        QByteArray piece = std::move(m_pending);
        m_pending.clear();
        do {
            piece += raw();
            if (m_source.encoding != EncodedText::CodePage || rawAtEnd())
                return piece;
            const qsizetype lf = piece.lastIndexOf('\n');
            if (lf >= 0) {
                m_pending = piece.mid(lf + 1);
                piece.truncate(lf + 1);
                return piece;
            }
            // No character takes more than four bytes: a line this long
            // passes the limit, and the read stops with this piece.
            if (m_source.lineLimit > 0 && piece.size() > 4 * m_source.lineLimit)
                return piece;
        } while (true);
    }

private:
    bool rawAtEnd() const
    {
        if (!m_ok)
            return true;
        return m_file.isOpen() ? m_file.pos() >= m_end : m_pos >= m_source.bytes.size();
    }

    QByteArray raw()
    {
        if (!m_ok)
            return {};
        if (m_file.isOpen()) {
            const QByteArray piece = m_file.read(qMin<qint64>(ChunkSize, m_end - m_file.pos()));
            if (piece.isEmpty()) {
                // Nothing came before the end: never ask again.
                m_ok = false;
                m_changed = m_file.error() == QFileDevice::NoError;
                m_failure = m_file.errorString();
            }
            return piece;
        }
        const QByteArray piece = m_source.bytes.mid(m_pos, ChunkSize);
        m_pos += piece.size();
        return piece;
    }

    const EncodedText &m_source;
    QFile m_file;
    qsizetype m_pos = 0;
    qint64 m_end = 0;
    bool m_ok = true;
    bool m_changed = false;
    QString m_failure;
    QByteArray m_pending;
};

// One decoded piece of a source, with the bytes read through it.
struct DecodedPiece {
    QString text;
    qint64 done = 0;
};

// What reading a whole source found besides its text.
struct ReadOutcome {
    std::optional<LineEnd> lineEnd;
    bool lineTooLong = false;
    bool failed = false;
    bool changed = false;
    QString failure;
};

// Reads and decodes a source piece by piece, in order, handing each piece
// to take; stops when take returns false.
ReadOutcome readDecoded(const EncodedText &source, const std::function<bool(DecodedPiece &&)> &take)
{
    std::optional<QStringDecoder> decoder;
    if (source.encoding != EncodedText::CodePage)
        decoder.emplace(utfDecoder(source.encoding));
    ReadOutcome outcome;
    PieceReader reader(source);
    QString carry;
    qsizetype line = 0; // characters of the line still open
    while (!reader.atEnd()) {
        const QByteArray piece = reader.next();
        // An odd last byte of UTF-16 stays in the decoder: it is no character.
        QString text = carry + (decoder ? decoder->decode(piece) : CodePages::toUnicode(source.codePage, piece));
        carry.clear();
        // A CR at the end may be the first half of CR LF: keep it for the next piece.
        if (!reader.atEnd() && text.endsWith(u'\r')) {
            text.chop(1);
            carry = QStringLiteral("\r");
        }
        // The first line end of the file decides, in whichever piece it is.
        if (!outcome.lineEnd)
            outcome.lineEnd = firstLineEnd(text);
        if (source.lineLimit > 0 && !lineFits(text, line, source.lineLimit)) {
            outcome.lineTooLong = true;
            return outcome;
        }
        if (!take({std::move(text), reader.done()}))
            return outcome;
    }
    if (reader.failed()) {
        outcome.failed = true;
        outcome.changed = reader.changed();
        outcome.failure = reader.failure();
        return outcome;
    }
    if (!carry.isEmpty()) {
        if (!outcome.lineEnd)
            outcome.lineEnd = LineEnd::Cr;
        take({carry, reader.done()});
    }
    return outcome;
}

} // namespace

QTextDocument *buildDocument(const EncodedText &source, const QFont &font, std::atomic<qint64> *progress,
                             LineEnd *lineEnd, BuildError *error)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    QTextCursor cursor(doc.get());
    cursor.beginEditBlock();
    const bool utf = source.encoding != EncodedText::CodePage;
    const auto insert = [&](DecodedPiece &&piece) {
        if (utf)
            insertDecoded(cursor, piece.text);
        else
            cursor.insertText(piece.text);
        if (progress)
            progress->store(piece.done);
        if (source.pieceRead)
            source.pieceRead(piece.done);
        return true;
    };
    const qint64 size = source.filePath.isEmpty() ? source.bytes.size() : QFileInfo(source.filePath).size();
    ReadOutcome outcome;
    if (size - source.offset > 2 * ChunkSize) {
        // Read and decoded on a thread of its own while the document is
        // built: decoding then costs the build no time. At most two pieces
        // wait, so the text is not held twice.
        handOverAside<DecodedPiece>(
            2,
            [&](HandOver<DecodedPiece> &pieces) {
                outcome = readDecoded(source, [&pieces](DecodedPiece &&piece) { return pieces.give(std::move(piece)); });
            },
            insert);
    } else {
        outcome = readDecoded(source, insert);
    }
    cursor.endEditBlock();
    if (outcome.lineTooLong || outcome.failed) {
        if (error)
            *error = {outcome.changed, outcome.lineTooLong, outcome.failure};
        return nullptr;
    }
    if (lineEnd)
        *lineEnd = outcome.lineEnd.value_or(LineEnd::CrLf);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    return doc.release();
}

QTextDocument *buildPreview(const EncodedText &source, const QFont &font, qsizetype maxBytes)
{
    EncodedText piece = source;
    piece.filePath.clear();
    piece.offset = 0;
    piece.pieceRead = nullptr;
    if (source.filePath.isEmpty()) {
        piece.bytes = source.bytes.mid(source.offset, maxBytes);
    } else {
        QFile file(source.filePath);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(source.offset))
            return nullptr;
        piece.bytes = file.read(maxBytes);
    }
    QTextDocument *doc = buildDocument(piece, font);
    if (doc)
        trimPreview(doc, piece.bytes.size() == maxBytes, int(maxBytes / 4));
    return doc;
}

void trimPreview(QTextDocument *doc, bool cut, int maxCharacters)
{
    const int length = doc->characterCount() - 1;
    QTextCursor c(doc);
    doc->setUndoRedoEnabled(false);
    if (length > maxCharacters) {
        c.setPosition(maxCharacters);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        cut = true;
    }
    if (cut && doc->blockCount() > 1) {
        c.setPosition(doc->lastBlock().position() - 1);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
}

QString extract(const QTextDocument &document, int from, int to, const QString &lineEnd,
                bool keepLineSeparators)
{
    const int last = document.characterCount() - 1;
    if (to < 0 || to > last)
        to = last;
    from = qBound(0, from, to);
    if (isFlat(document))
        return joinParagraphs(flatRange(document, from, to), lineEnd, keepLineSeparators);
    Extractor extractor(from, to, lineEnd, keepLineSeparators);
    extractor.frame(document.rootFrame());
    return extractor.result();
}

// Such documents are taken in one copy instead of paragraph by paragraph.
bool isFlat(const QTextDocument &document)
{
    if (!document.rootFrame()->childFrames().isEmpty())
        return false;
    const QList<QTextFormat> formats = document.allFormats();
    return std::none_of(formats.cbegin(), formats.cend(),
                        [](const QTextFormat &f) { return f.isImageFormat() || KeptContent::isKept(f); });
}

QString rawText(const QTextDocument &document, int from, int to, bool keepLineSeparators)
{
    const int last = document.characterCount() - 1;
    if (to < 0 || to > last)
        to = last;
    from = qBound(0, from, to);
    if (!isFlat(document)) {
        Extractor extractor(from, to, QString(QChar::ParagraphSeparator), keepLineSeparators);
        extractor.frame(document.rootFrame());
        return extractor.result();
    }
    QString raw = flatRange(document, from, to);
    if (!keepLineSeparators)
        raw.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    return raw;
}

QByteArray encode(QStringView text, EncodedText::Encoding encoding, int codePage, const QString &lineEnd,
                  bool *lossy)
{
    if (lossy)
        *lossy = false;
    // Without a line end every U+2029 is a character like any other.
    const bool mapEnds = !lineEnd.isEmpty();
    const qsizetype ends = mapEnds ? text.count(QChar::ParagraphSeparator) : 0;
    if (encoding == EncodedText::CodePage)
        return mapEnds ? CodePages::fromUnicode(codePage, text, lossy, lineEnd.toLatin1())
                       : CodePages::fromUnicode(codePage, text, lossy);
    if (encoding == EncodedText::Utf16LE || encoding == EncodedText::Utf16BE) {
        const bool big = encoding == EncodedText::Utf16BE;
        QByteArray out((text.size() + ends * (lineEnd.size() - 1)) * 2, Qt::Uninitialized);
        char *dst = out.data();
        const auto put = [&dst, big](char16_t u) {
            *dst++ = char(big ? u >> 8 : u & 0xFF);
            *dst++ = char(big ? u & 0xFF : u >> 8);
        };
        for (const QChar c : text) {
            if (c == QChar::ParagraphSeparator && mapEnds) {
                for (const QChar e : lineEnd)
                    put(e.unicode());
            } else {
                put(c.unicode());
            }
        }
        return out;
    }
    // UTF-8, line ends put in as the characters are encoded. Pages of the
    // worst-case buffer that are never written are never touched either.
    const QByteArray end = lineEnd.toLatin1();
    QByteArray out(text.size() * 3 + ends * end.size() + 4, Qt::Uninitialized);
    auto *d = reinterpret_cast<unsigned char *>(out.data());
    const char16_t *src = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (c < 0x80) {
            *d++ = static_cast<unsigned char>(c);
        } else if (c == QChar::ParagraphSeparator && mapEnds) {
            for (const char e : end)
                *d++ = static_cast<unsigned char>(e);
        } else if (c < 0x800) {
            *d++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *d++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, src[++i]);
            *d++ = static_cast<unsigned char>(0xF0 | (u >> 18));
            *d++ = static_cast<unsigned char>(0x80 | ((u >> 12) & 0x3F));
            *d++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            *d++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        } else {
            // A lone surrogate has no UTF-8 form: the replacement character.
            const char16_t u = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *d++ = static_cast<unsigned char>(0xE0 | (u >> 12));
            *d++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            *d++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        }
    }
    out.truncate(reinterpret_cast<char *>(d) - out.constData());
    return out;
}

} // namespace PlainText
