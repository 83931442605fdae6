#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <atomic>

class QTextCursor;

struct RtfReadOptions {
    int ansiCodePage = 1252;   // used when the data names no code page
    // Bytes read so far, now and then, for a load's progress (another thread may read it).
    std::atomic<qint64> *progress = nullptr;
    // Reading stops soon after the document, with the paragraph being read,
    // holds this many characters (0: never), for a first screen that costs
    // no more however dense the file's groups.
    qsizetype stopAfter = 0;
    // A whole read of more bytes than this is parsed on a thread of its own
    // while the document is built.
    qsizetype parseAsideFrom = 2 * 1024 * 1024;
};

struct RtfReadResult {
    bool isRtf = false;        // false: the data does not start as RTF; nothing was inserted
    QString title;             // from \info\title
    QStringList warnings;      // damage found and recovered from
};

// Reads RTF into a QTextDocument at a cursor, replacing the cursor's
// selection, as one edit block. One pass, no recursion on the input's
// nesting; damaged input is read as far as it makes sense and never fails.
// The last paragraph mark of the data is dropped when only closing braces
// follow it, so a document written and read back keeps its paragraphs.
// Safe in a worker thread for a document no widget uses (pictures are
// QImage resources). Undo stays as the caller set it: switch it off for a
// whole-file load, as RichEdit forgets its history on one.
class RtfReader
{
public:
    // True when data starts the way RichEdit accepts as rich text.
    static bool looksLikeRtf(QByteArrayView data);

    RtfReadResult read(QByteArrayView data, QTextCursor &cursor, const RtfReadOptions &options = {});
};
