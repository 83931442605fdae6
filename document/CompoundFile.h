#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <optional>

// Reading streams out of an OLE2 compound file, the container Office
// documents and their embedded objects are kept in. Every offset and
// chain is checked, so a damaged file gives nothing, never a wrong read.
namespace CompoundFile {

bool isCompoundFile(QByteArrayView file);
// The first stream of that name in any storage (case does not matter);
// nothing when there is none or the file is damaged.
std::optional<QByteArray> stream(QByteArrayView file, QStringView name);

} // namespace CompoundFile
