// libFuzzer target: any bytes through the RTF reader, and what the writer
// makes of the result back through the reader.
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    const RtfReadResult result = RtfReader().read(bytes, cursor);
    if (!result.isRtf)
        return 0;
    const QByteArray written = RtfWriter().write(doc);
    QTextDocument again;
    again.setUndoRedoEnabled(false);
    QTextCursor againCursor(&again);
    if (!RtfReader().read(written, againCursor).isRtf)
        std::abort(); // the writer must always write RTF
    // A selection stream into the middle of the text exercises the insertion paths.
    QTextCursor middle(&again);
    middle.setPosition(again.characterCount() / 2);
    RtfReader().read(bytes, middle);
    return 0;
}
