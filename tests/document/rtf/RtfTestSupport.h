#pragma once

#include "document/rtf/DocumentDump.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>

#include <memory>

// Reading and writing helpers shared by the RTF tests.
namespace RtfTest {

inline std::unique_ptr<QTextDocument> read(const QByteArray &rtf, RtfReadResult *result = nullptr,
                                           const RtfReadOptions &options = {})
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    RtfReadResult r = RtfReader().read(rtf, cursor, options);
    if (result)
        *result = r;
    return doc;
}

inline QString text(const QByteArray &rtf)
{
    return DocumentDump::plainText(*read(rtf));
}

// The dump of a document read from rtf, and of the same read back from what
// the writer made of it.
inline std::pair<QString, QString> roundTrip(const QByteArray &rtf, QByteArray *written = nullptr)
{
    auto first = read(rtf);
    const QByteArray out = RtfWriter().write(*first);
    if (written)
        *written = out;
    auto second = read(out);
    return {DocumentDump::dump(*first), DocumentDump::dump(*second)};
}

// Options that parse on a thread of their own whatever the size.
inline RtfReadOptions parsedAside()
{
    RtfReadOptions options;
    options.parseAsideFrom = 0;
    return options;
}

} // namespace RtfTest
