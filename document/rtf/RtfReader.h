#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QTextCursor;

struct RtfReadOptions {
    int ansiCodePage = 1252;   // used when the data names no code page
};

struct RtfReadResult {
    bool isRtf = false;        // false: the data does not start as RTF; nothing was inserted
    QString title;             // from \info\title
    QStringList warnings;      // damage found and recovered from
};

// Reads RTF into a QTextDocument at a cursor, replacing the cursor's
// selection. One pass, no recursion on the input's nesting; damaged input is
// read as far as it makes sense.
class RtfReader
{
public:
    // True when data starts the way RichEdit accepts as rich text.
    static bool looksLikeRtf(QByteArrayView data);

    RtfReadResult read(QByteArrayView data, QTextCursor &cursor, const RtfReadOptions &options = {});
};
