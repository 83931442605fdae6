#include "document/rtf/RtfReader.h"

#include "document/rtf/RtfParser.h"

#include <QTextCursor>

bool RtfReader::looksLikeRtf(QByteArrayView data)
{
    // RichEdit accepts "{\rtf"; some writers put blanks after the brace.
    if (!data.startsWith('{'))
        return false;
    qsizetype i = 1;
    while (i < data.size() && i < 64 && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("\\rtf");
}

RtfReadResult RtfReader::read(QByteArrayView data, QTextCursor &cursor, const RtfReadOptions &options)
{
    if (!looksLikeRtf(data) || cursor.isNull())
        return RtfReadResult();
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    Rtf::Parser parser(data, cursor, options);
    RtfReadResult result = parser.run();
    cursor.endEditBlock();
    return result;
}
