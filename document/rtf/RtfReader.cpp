#include "document/rtf/RtfReader.h"

#include "document/rtf/RtfBuildAside.h"
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
    Rtf::DocumentBuilder builder(cursor);
    RtfReadResult result;
    // A read that stops early reads the document as it grows: it is built
    // as it is parsed.
    if (options.stopAfter == 0 && data.size() > options.parseAsideFrom) {
        const QTextDocument &document = *cursor.document();
        Rtf::buildAside(builder, [&](Rtf::BuildSink &sink) {
            Rtf::Parser parser(data, sink, document, options);
            result = parser.run();
        });
    } else {
        Rtf::Parser parser(data, builder, *cursor.document(), options);
        result = parser.run();
    }
    cursor.endEditBlock();
    return result;
}
