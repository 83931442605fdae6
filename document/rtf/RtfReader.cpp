#include "RtfReader.h"

#include <QTextCursor>

bool RtfReader::looksLikeRtf(QByteArrayView data)
{
    return data.startsWith("{\\rtf");
}

RtfReadResult RtfReader::read(QByteArrayView data, QTextCursor &, const RtfReadOptions &)
{
    RtfReadResult result;
    result.isRtf = false;
    Q_UNUSED(data);
    return result;
}
