#include "PlainText.h"

#include "CodePages.h"

#include <QFile>
#include <QStringDecoder>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

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

} // namespace

LineEnd detectLineEnd(QStringView text)
{
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (text.at(i) == u'\n')
            return LineEnd::Lf;
        if (text.at(i) == u'\r')
            return i + 1 < n && text.at(i + 1) == u'\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::CrLf;
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
    switch (source.encoding) {
    case EncodedText::Utf8:
        return QString::fromUtf8(bytes);
    case EncodedText::Utf16LE:
    case EncodedText::Utf16BE: {
        QStringDecoder decoder(source.encoding == EncodedText::Utf16LE ? QStringConverter::Utf16LE
                                                                       : QStringConverter::Utf16BE);
        // An odd last byte is no character of its own.
        return decoder.decode(bytes.first(bytes.size() & ~qsizetype(1)));
    }
    case EncodedText::CodePage:
        break;
    }
    return CodePages::toUnicode(source.codePage, bytes);
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
        } else {
            m_pos = qMin(source.offset, source.bytes.size());
        }
    }

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pending.isEmpty() && rawAtEnd(); }
    qint64 done() const { return m_file.isOpen() ? m_file.pos() : m_pos; }

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
        } while (true);
    }

private:
    bool rawAtEnd() const
    {
        if (!m_ok)
            return true;
        return m_file.isOpen() ? m_file.atEnd() : m_pos >= m_source.bytes.size();
    }

    QByteArray raw()
    {
        if (!m_ok)
            return {};
        if (m_file.isOpen())
            return m_file.read(ChunkSize);
        const QByteArray piece = m_source.bytes.mid(m_pos, ChunkSize);
        m_pos += piece.size();
        return piece;
    }

    const EncodedText &m_source;
    QFile m_file;
    qsizetype m_pos = 0;
    bool m_ok = true;
    QByteArray m_pending;
};

} // namespace

QTextDocument *buildDocument(const EncodedText &source, const QFont &font, std::atomic<qint64> *progress,
                             LineEnd *lineEnd)
{
    auto *doc = new QTextDocument;
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();

    std::optional<QStringDecoder> decoder;
    if (source.encoding == EncodedText::Utf8)
        decoder.emplace(QStringConverter::Utf8);
    else if (source.encoding == EncodedText::Utf16LE)
        decoder.emplace(QStringConverter::Utf16LE);
    else if (source.encoding == EncodedText::Utf16BE)
        decoder.emplace(QStringConverter::Utf16BE);

    PieceReader reader(source);
    QString carry;
    bool first = true;
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
        if (first && lineEnd && !text.isEmpty()) {
            *lineEnd = detectLineEnd(text);
            first = false;
        }
        cursor.insertText(text);
        if (progress)
            progress->store(reader.done());
    }
    if (!carry.isEmpty())
        cursor.insertText(carry);
    if (first && lineEnd)
        *lineEnd = LineEnd::CrLf;
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    return doc;
}

QString extract(const QTextDocument &document, int from, int to, const QString &lineEnd,
                bool keepLineSeparators)
{
    const int last = document.characterCount() - 1;
    if (to < 0 || to > last)
        to = last;
    from = qBound(0, from, to);
    Extractor extractor(from, to, lineEnd, keepLineSeparators);
    extractor.frame(document.rootFrame());
    return extractor.result();
}

} // namespace PlainText
