#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures of RTF \pict groups: their data and words as read, and the image
// the document shows for them.
namespace Rtf {

struct PictureData {
    QByteArray type;         // png, jpeg, wmf, emf, dib, wbitmap, macpict, pmmetafile
    QByteArray bytes;
    int picw = 0;            // pixels for bitmaps, 0.01 mm for metafiles
    int pich = 0;
    int goalw = 0;           // twips
    int goalh = 0;
    int scalex = 100;        // percent
    int scaley = 100;
    int bitsPerPixel = 1;    // \wbitmap layout
    int planes = 1;
    int widthBytes = 0;
};

struct DecodedPicture {
    QImage image;            // what is shown: the picture, or a placeholder
    QString name;            // resource name, the same for the same bytes
    qreal width = 0;         // display size in pixels (96 dpi), whole twips
    qreal height = 0;
    QByteArray keptBytes;    // original bytes to write back; empty when converted
    QString keptType;
};

// False when the data holds nothing that can be shown or kept.
bool decodePicture(const PictureData &data, DecodedPicture *out);

// The RTF word that introduces data of a kept picture type (pngblip, …).
QByteArray pictureKeyword(const QString &type);

} // namespace Rtf
