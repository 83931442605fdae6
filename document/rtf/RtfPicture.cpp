#include "document/rtf/RtfPicture.h"

#include "document/TextProperties.h"

#include <QCryptographicHash>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace Rtf {
namespace {

bool isMetafile(const QByteArray &type)
{
    return type == "wmf" || type == "emf" || type == "macpict" || type == "pmmetafile";
}

// A device-independent bitmap is a BMP file without its 14-byte file header.
QImage decodeDib(const QByteArray &dib)
{
    if (dib.size() < 16)
        return {};
    const auto *d = reinterpret_cast<const uchar *>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 paletteBytes = 0;
    if (headerSize >= 40) {
        const quint16 bitCount = qFromLittleEndian<quint16>(d + 14);
        const quint32 compression = qFromLittleEndian<quint32>(d + 16);
        quint32 colours = qFromLittleEndian<quint32>(d + 32);
        if (colours == 0 && bitCount <= 8)
            colours = 1u << bitCount;
        paletteBytes = std::min<quint32>(colours, 256) * 4;
        if (headerSize == 40 && (compression == 3 || compression == 6))
            paletteBytes += compression == 3 ? 12 : 16;
    } else {
        const quint16 bitCount = qFromLittleEndian<quint16>(d + 10);
        if (bitCount <= 8)
            paletteBytes = (1u << bitCount) * 3;
    }
    QByteArray bmp(14, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), bmp.data() + 2);
    qToLittleEndian<quint32>(quint32(14 + headerSize + paletteBytes), bmp.data() + 10);
    bmp += dib;
    return QImage::fromData(bmp, "BMP");
}

// A device-dependent bitmap: rows of raw bits, top row first.
QImage decodeWindowsBitmap(const PictureData &data)
{
    const int w = data.picw, h = data.pich;
    const int bpp = data.bitsPerPixel * std::max(data.planes, 1);
    int stride = data.widthBytes;
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768)
        return {};
    if (stride <= 0)
        stride = ((w * bpp + 15) / 16) * 2;
    if (qint64(stride) * h > data.bytes.size() || qint64(w) * bpp > qint64(stride) * 8)
        return {};
    QImage image(w, h, QImage::Format_RGB32);
    const auto *bits = reinterpret_cast<const uchar *>(data.bytes.constData());
    for (int y = 0; y < h; ++y) {
        const uchar *src = bits + qint64(y) * stride;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            switch (bpp) {
            case 1: dst[x] = (src[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); break;
            case 8: dst[x] = qRgb(src[x], src[x], src[x]); break;
            case 24: dst[x] = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]); break;
            case 32: dst[x] = qRgb(src[x * 4 + 2], src[x * 4 + 1], src[x * 4]); break;
            default: return {};
            }
        }
    }
    return image;
}

// What a picture that cannot be drawn here shows; the layout scales it to
// the picture's size.
const QImage &placeholder()
{
    static const QImage image = [] {
        QImage img(64, 64, QImage::Format_RGB32);
        img.fill(QColor(0xe8, 0xe8, 0xe8));
        QPainter painter(&img);
        painter.setPen(QColor(0xa0, 0xa0, 0xa0));
        painter.drawRect(0, 0, 63, 63);
        painter.drawLine(0, 0, 63, 63);
        painter.drawLine(0, 63, 63, 0);
        return img;
    }();
    return image;
}

qreal wholeTwipsToPx(double twips)
{
    const double clamped = std::clamp(twips, 0.0, 31680.0 * 4);
    return DocUnits::twipsToPx(std::round(clamped));
}

} // namespace

bool decodePicture(const PictureData &data, DecodedPicture *out)
{
    if (data.bytes.isEmpty())
        return false;
    const QByteArray hash = QCryptographicHash::hash(data.bytes, QCryptographicHash::Md5).toHex();
    const bool metafile = isMetafile(data.type);
    double naturalW = 0, naturalH = 0; // twips
    if (metafile) {
        out->image = placeholder();
        out->name = QStringLiteral("quilmar-rtf:placeholder");
        naturalW = data.picw * 1440.0 / 2540.0;
        naturalH = data.pich * 1440.0 / 2540.0;
    } else {
        if (data.type == "dib")
            out->image = decodeDib(data.bytes);
        else if (data.type == "wbitmap")
            out->image = decodeWindowsBitmap(data);
        else
            out->image = QImage::fromData(data.bytes);
        if (out->image.isNull()) {
            // Undecodable bitmap data: keep it, and show the placeholder.
            out->image = placeholder();
            out->name = QStringLiteral("quilmar-rtf:placeholder");
            naturalW = data.picw * 15.0;
            naturalH = data.pich * 15.0;
        } else {
            out->name = QStringLiteral("quilmar-rtf:") + QString::fromLatin1(hash);
            naturalW = out->image.width() * 15.0;
            naturalH = out->image.height() * 15.0;
        }
    }
    const double w = data.goalw > 0 ? data.goalw : naturalW;
    const double h = data.goalh > 0 ? data.goalh : naturalH;
    const int sx = data.scalex > 0 ? data.scalex : 100;
    const int sy = data.scaley > 0 ? data.scaley : 100;
    out->width = wholeTwipsToPx(w * sx / 100.0);
    out->height = wholeTwipsToPx(h * sy / 100.0);
    if (data.type == "wbitmap" && !out->image.isNull() && out->name != QLatin1String("quilmar-rtf:placeholder")) {
        out->keptBytes.clear();
        out->keptType.clear();
    } else {
        out->keptBytes = data.bytes;
        out->keptType = QString::fromLatin1(data.type);
    }
    return true;
}

QByteArray pictureKeyword(const QString &type)
{
    if (type == QLatin1String("png"))
        return "\\pngblip";
    if (type == QLatin1String("jpeg"))
        return "\\jpegblip";
    if (type == QLatin1String("wmf"))
        return "\\wmetafile8";
    if (type == QLatin1String("emf"))
        return "\\emfblip";
    if (type == QLatin1String("dib"))
        return "\\dibitmap0";
    if (type == QLatin1String("macpict"))
        return "\\macpict";
    if (type == QLatin1String("pmmetafile"))
        return "\\pmmetafile0";
    return {};
}

} // namespace Rtf
