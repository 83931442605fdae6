#pragma once

#include <QString>

#include <functional>
#include <QStringView>
#include <QTextCharFormat>

#include <atomic>

class QFont;
class QTextCursor;
class QTextDocument;

// Plain text in and out of a QTextDocument. CR, LF and CR LF all end a
// paragraph on the way in; on the way out paragraphs are joined by the line
// end the caller asks for, pictures are left out and table cells are
// separated by tabs.
namespace PlainText {

enum class LineEnd { CrLf, Lf, Cr };

// The line end of the first line, CR LF for text without any. U+2028 and
// U+2029 of UTF text are kept characters, not breaks (see KeptContent).
LineEnd detectLineEnd(QStringView text);
QString lineEndText(LineEnd lineEnd);

// Inserts text at the cursor, replacing its selection.
void insert(QTextCursor &cursor, QStringView text, const QTextCharFormat &format = QTextCharFormat());

// Bytes of a text file and how to read them, from offset on (past a mark):
// held in memory, or read from filePath when that is set.
struct EncodedText {
    enum Encoding { CodePage, Utf8, Utf16LE, Utf16BE };
    QByteArray bytes;
    QString filePath;
    qsizetype offset = 0;
    Encoding encoding = CodePage;
    int codePage = 1252;
    // Told the bytes built so far after each piece, on the thread that
    // builds the document (watchers of the file's progress); the reading
    // of a large source may be a few pieces ahead.
    std::function<void(qint64)> pieceRead;
    // Longest line buildDocument accepts, in characters (0: any).
    qsizetype lineLimit = 0;
};
QString decode(const EncodedText &source);

// A new document holding the text in the given default font, built with the
// undo history off. Decodes piece by piece, so only the document's own copy
// of the text is held in full; a large source is decoded on a thread of its
// own while the document is built. Safe to call from a worker thread; the caller
// moves the document to the thread that uses it. progress receives the bytes
// done; lineEnd the line end of the first line.
// A read that fails part-way gives no document: error says why (changed: the
// file ended before the size it had when the read began, or grew past it;
// lineTooLong: a line passed the source's lineLimit).
struct BuildError {
    bool changed = false;
    bool lineTooLong = false;
    QString text;
};
QTextDocument *buildDocument(const EncodedText &source, const QFont &font,
                             std::atomic<qint64> *progress = nullptr, LineEnd *lineEnd = nullptr,
                             BuildError *error = nullptr);

// A document of source's first maxBytes bytes, trimmed as below to a
// quarter as many characters: the first screen of a file still loading.
// Null when the file cannot be read.
QTextDocument *buildPreview(const EncodedText &source, const QFont &font, qsizetype maxBytes);
// Cuts a preview to at most maxCharacters and then, when it was cut (by
// this or by the piece it was read from), drops its last paragraph unless
// that is the only one: a preview shows whole lines, and few enough that
// laying them out takes no time.
void trimPreview(QTextDocument *doc, bool cut, int maxCharacters);

// True when nothing in the document stands for other text (tables,
// pictures, kept objects): its raw text with paragraph separators is its text.
bool isFlat(const QTextDocument &document);

// The text of [from, to) (to -1: the end) with every paragraph end (and
// line separator, unless kept) as U+2029.
QString rawText(const QTextDocument &document, int from, int to, bool keepLineSeparators = false);

// Text in an encoding, every U+2029 written as lineEnd (kept as U+2029 when
// lineEnd is empty); *lossy tells whether a code page lacked characters.
QByteArray encode(QStringView text, EncodedText::Encoding encoding, int codePage, const QString &lineEnd,
                  bool *lossy = nullptr);

// The text of [from, to) (to -1: the end), paragraphs joined by lineEnd.
// Line separators inside a paragraph become lineEnd unless keepLineSeparators.
// Kept objects give the text they stand for (a kept U+2029 is U+2029).
QString extract(const QTextDocument &document, int from, int to, const QString &lineEnd,
                bool keepLineSeparators = false);

} // namespace PlainText
