#include "RtfWriter.h"

#include <QTextDocument>

QByteArray RtfWriter::write(const QTextDocument &, const RtfWriteOptions &)
{
    return QByteArray();
}
