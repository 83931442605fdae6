#include "PlainText.h"

#include "CodePages.h"

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

QTextDocument *buildDocument(const EncodedText &source, const QFont &font, std::atomic<qint64> *progress,
                             LineEnd *lineEnd)
{
    auto *doc = new QTextDocument;
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();

    const QByteArray &bytes = source.bytes;
    const qsizetype size = bytes.size();
    qsizetype pos = qMin(source.offset, size);
    std::optional<QStringDecoder> decoder;
    if (source.encoding == EncodedText::Utf8)
        decoder.emplace(QStringConverter::Utf8);
    else if (source.encoding == EncodedText::Utf16LE)
        decoder.emplace(QStringConverter::Utf16LE);
    else if (source.encoding == EncodedText::Utf16BE)
        decoder.emplace(QStringConverter::Utf16BE);
    const bool utf16 = source.encoding == EncodedText::Utf16LE || source.encoding == EncodedText::Utf16BE;
    const qsizetype end16 = utf16 ? pos + ((size - pos) & ~qsizetype(1)) : size;

    QString carry;
    bool first = true;
    while (pos < end16) {
        qsizetype end = qMin(end16, pos + ChunkSize);
        if (source.encoding == EncodedText::CodePage && end < end16) {
            // Multi-byte code pages are cut after a line feed, never inside a character.
            const qsizetype lf = bytes.indexOf('\n', end - 1);
            end = lf < 0 ? end16 : lf + 1;
        }
        const QByteArrayView piece(bytes.constData() + pos, end - pos);
        QString text = carry + (decoder ? decoder->decode(piece) : CodePages::toUnicode(source.codePage, piece));
        carry.clear();
        // A CR at the end may be the first half of CR LF: keep it for the next piece.
        if (end < end16 && text.endsWith(u'\r')) {
            text.chop(1);
            carry = QStringLiteral("\r");
        }
        if (first && lineEnd) {
            *lineEnd = detectLineEnd(text);
            first = false;
        }
        cursor.insertText(text);
        pos = end;
        if (progress)
            progress->store(pos);
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
