#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Icons stored inside files, read without the help of any system: icon files
// (.ico) and the icon resources of Windows programs and libraries (PE files:
// .exe, .dll). Every offset and size in the file is checked; a damaged file
// gives a null image, never a crash.
namespace IconFile {

// Icon number index of the file, told apart by its content: an icon file
// holds one icon (index 0); a program holds one per icon group resource, in
// the order of its resource directory, and a negative index names a group by
// its resource id. Of an icon's images the largest is taken (then the one
// with most colours).
QImage read(const QString &path, int index = 0);
QImage fromIco(QByteArrayView file, int index = 0);
QImage fromPe(QByteArrayView file, int index = 0);
// Number of icons in a PE file (icon groups); 0 when it is none or damaged.
int peIconCount(QByteArrayView file);

// One icon image as stored in an icon file or an icon resource: a PNG
// stream, or a device-independent bitmap of twice the icon's height (colour
// rows, then the 1-bit transparency mask).
QImage decodeImage(QByteArrayView data);

} // namespace IconFile
