#include "document/EmbeddedObject.h"

#include "document/CompoundFile.h"
#include "document/TextProperties.h"
#include "document/rtf/RtfKeywords.h"
#include "platform/CodePages.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTextFormat>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace EmbeddedObject {
namespace {

constexpr quint32 OleVersion = 0x00000501;
constexpr quint32 FormatEmbedded = 2;
const char PackageClass[] = "Package";

void putU16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A length-prefixed ANSI string of OLE1: the length counts the closing NUL.
void putLengthPrefixed(QByteArray &out, const QByteArray &s)
{
    putU32(out, quint32(s.size() + 1));
    out += s;
    out += '\0';
}

void putUnicode(QByteArray &out, const QString &s)
{
    putU32(out, quint32(s.size()));
    for (QChar c : s)
        putU16(out, c.unicode());
}

QByteArray ansi(const QString &s)
{
    return CodePages::fromUnicode(CodePages::ansiCodePage(), s);
}

// Reads little-endian values from untrusted bytes: every read is checked
// against the end, and a failed read leaves the reader failed.
class Reader
{
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    bool ok() const { return m_ok; }
    qsizetype left() const { return m_data.size() - m_pos; }

    quint32 u32()
    {
        if (!need(4))
            return 0;
        const quint32 v = qFromLittleEndian<quint32>(m_data.data() + m_pos);
        m_pos += 4;
        return v;
    }
    quint16 u16()
    {
        if (!need(2))
            return 0;
        const quint16 v = qFromLittleEndian<quint16>(m_data.data() + m_pos);
        m_pos += 2;
        return v;
    }
    QByteArrayView bytes(quint32 n)
    {
        if (!need(n))
            return {};
        const QByteArrayView v = m_data.sliced(m_pos, qsizetype(n));
        m_pos += qsizetype(n);
        return v;
    }
    QByteArray cString()
    {
        const qsizetype end = m_data.indexOf('\0', m_pos);
        if (end < 0 || !m_ok) {
            m_ok = false;
            return {};
        }
        const QByteArray s = m_data.sliced(m_pos, end - m_pos).toByteArray();
        m_pos = end + 1;
        return s;
    }
    QByteArray lengthPrefixed()
    {
        const quint32 n = u32();
        QByteArray s = bytes(n).toByteArray();
        if (s.endsWith('\0'))
            s.chop(1);
        return s;
    }
    QString unicode()
    {
        const quint32 n = u32();
        if (n > quint32(left() / 2)) {
            m_ok = false;
            return {};
        }
        QString s;
        s.reserve(qsizetype(n));
        for (quint32 i = 0; i < n; ++i)
            s += QChar(u16());
        return s;
    }

private:
    bool need(quint64 n)
    {
        if (m_ok && n <= quint64(left()))
            return true;
        m_ok = false;
        return false;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

struct Header {
    QString className;
    QByteArrayView native;
    bool complete = false;   // the native data is as long as the stream says
};

std::optional<Header> readHeader(QByteArrayView stream)
{
    Reader r(stream);
    r.u32(); // the version differs between writers; only the layout matters
    const quint32 format = r.u32();
    Header h;
    h.className = QString::fromLatin1(r.lengthPrefixed());
    if (!r.ok() || format != FormatEmbedded)
        return std::nullopt;
    r.lengthPrefixed(); // topic
    r.lengthPrefixed(); // item
    const quint32 size = r.u32();
    // A truncated stream still gives the native data that is there.
    h.complete = size <= quint64(r.left());
    h.native = r.bytes(std::min<quint32>(size, quint32(std::max<qsizetype>(0, r.left()))));
    if (!r.ok())
        return std::nullopt;
    return h;
}

} // namespace

QByteArray packageStream(const Package &package)
{
    const QByteArray label = ansi(package.label);
    const QByteArray source = ansi(package.sourcePath);
    QByteArray native;
    native.reserve(package.bytes.size() + 3 * (label.size() + source.size()) + 64);
    putU16(native, 2);
    native += label + '\0';
    native += source + '\0';
    putU16(native, 0);
    putU16(native, 3);
    putLengthPrefixed(native, source);
    putU32(native, quint32(package.bytes.size()));
    native += package.bytes;
    // Newer readers take the names from here, in full Unicode.
    putUnicode(native, package.sourcePath);
    putUnicode(native, package.label);
    putUnicode(native, package.sourcePath);

    QByteArray out;
    out.reserve(native.size() + 48);
    putU32(out, OleVersion);
    putU32(out, FormatEmbedded);
    putLengthPrefixed(out, PackageClass);
    putU32(out, 0); // topic
    putU32(out, 0); // item
    putU32(out, quint32(native.size()));
    out += native;
    // No presentation object: the RTF result shows the object.
    putU32(out, OleVersion);
    putU32(out, 0);
    return out;
}

QString className(QByteArrayView stream)
{
    const auto h = readHeader(stream);
    return h ? h->className : QString();
}

std::optional<Package> readPackageStream(QByteArrayView stream)
{
    const auto h = readHeader(stream);
    if (!h || h->className.compare(QLatin1String(PackageClass), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    Reader r(h->native);
    if (r.u16() != 2)
        return std::nullopt;
    const int cp = CodePages::ansiCodePage();
    Package p;
    p.label = CodePages::toUnicode(cp, r.cString());
    p.sourcePath = CodePages::toUnicode(cp, r.cString());
    r.u16();
    r.u16();
    r.lengthPrefixed(); // the temporary path the writer used
    const quint32 size = r.u32();
    if (!r.ok())
        return std::nullopt;
    const QByteArrayView bytes = r.bytes(size);
    if (!r.ok())
        return std::nullopt;
    p.bytes = bytes.toByteArray();
    // The Unicode names, when the writer added them whole.
    r.unicode();
    const QString label = r.unicode();
    const QString source = r.unicode();
    if (r.ok()) {
        if (!label.isEmpty())
            p.label = label;
        if (!source.isEmpty())
            p.sourcePath = source;
    }
    if (p.label.isEmpty())
        p.label = p.sourcePath;
    return p;
}

std::optional<Package> openableFile(QByteArrayView stream)
{
    if (auto p = readPackageStream(stream))
        return p;
    const auto h = readHeader(stream);
    if (!h || !h->complete)
        return std::nullopt;
    static const QByteArray compoundFile = QByteArray::fromHex("d0cf11e0a1b11ae1");
    static const struct { const char *classPrefix; QByteArrayView signature; const char *extension; } known[] = {
        {"Word.Document.8", compoundFile, ".doc"}, {"Word.Document.6", compoundFile, ".doc"},
        {"Excel.Sheet.8", compoundFile, ".xls"}, {"Excel.Sheet.5", compoundFile, ".xls"},
        {"PowerPoint.Show.8", compoundFile, ".ppt"}, {"PBrush", "BM", ".bmp"}, {"Paint.Picture", "BM", ".bmp"},
    };
    for (const auto &k : known) {
        if (h->className.compare(QLatin1String(k.classPrefix), Qt::CaseInsensitive) == 0
            && h->native.startsWith(k.signature)) {
            Package p;
            p.label = h->className + QLatin1String(k.extension);
            p.bytes = h->native.toByteArray();
            return p;
        }
    }
    // Office 2007 documents keep their file as the stream "Package" of a
    // compound file, Acrobat documents as its stream "CONTENTS".
    static const struct { const char *className; const char *stream; QByteArrayView signature; const char *extension; } inner[] = {
        {"Word.Document.12", "Package", "PK", ".docx"},
        {"Word.DocumentMacroEnabled.12", "Package", "PK", ".docm"},
        {"Excel.Sheet.12", "Package", "PK", ".xlsx"},
        {"Excel.SheetMacroEnabled.12", "Package", "PK", ".xlsm"},
        {"Excel.SheetBinaryMacroEnabled.12", "Package", "PK", ".xlsb"},
        {"PowerPoint.Show.12", "Package", "PK", ".pptx"},
        {"PowerPoint.ShowMacroEnabled.12", "Package", "PK", ".pptm"},
        {"PowerPoint.Slide.12", "Package", "PK", ".sldx"},
        {"AcroExch.Document", "CONTENTS", "%PDF", ".pdf"},
    };
    for (const auto &k : inner) {
        const QString name = QLatin1String(k.className);
        const bool matches = name.endsWith(QLatin1String(".12"))
                                 ? h->className.compare(name, Qt::CaseInsensitive) == 0
                                 : h->className.startsWith(name, Qt::CaseInsensitive);
        if (!matches || !CompoundFile::isCompoundFile(h->native))
            continue;
        const std::optional<QByteArray> file = CompoundFile::stream(h->native, QString::fromLatin1(k.stream));
        if (!file || !file->startsWith(k.signature))
            return std::nullopt;
        Package p;
        p.label = h->className + QLatin1String(k.extension);
        p.bytes = *file;
        return p;
    }
    return std::nullopt;
}

QByteArray objectGroup(const QByteArray &stream, QSizeF shownPx)
{
    const auto twips = [](qreal px) { return QByteArray::number(qRound64(DocUnits::pxToTwips(std::max<qreal>(px, 0)))); };
    QByteArray out;
    out.reserve(stream.size() * 2 + stream.size() / 32 + 128);
    out += "{\\object\\objemb{\\*\\objclass Package}\\objw" + twips(shownPx.width()) + "\\objh"
           + twips(shownPx.height()) + "{\\*\\objdata\r\n";
    static const char hex[] = "0123456789abcdef";
    const qsizetype head = out.size();
    out.resize(head + stream.size() * 2 + stream.size() / 64 * 2);
    char *o = out.data() + head;
    const auto *d = reinterpret_cast<const uchar *>(stream.constData());
    for (qsizetype i = 0; i < stream.size(); ++i) {
        *o++ = hex[d[i] >> 4];
        *o++ = hex[d[i] & 15];
        if (i % 64 == 63) {
            *o++ = '\r';
            *o++ = '\n';
        }
    }
    out += '}';
    return out;
}

QByteArray objectData(QByteArrayView group)
{
    const qsizetype at = group.indexOf(QByteArrayView("\\objdata"));
    if (at < 0)
        return {};
    qsizetype i = at + 8;
    // The word ends at a delimiter; an optional space belongs to it.
    if (i < group.size() && group.at(i) == ' ')
        ++i;
    QByteArray out((group.size() - i) / 2, Qt::Uninitialized);
    char *o = out.data();
    const char *p = group.data() + i;
    const char *end = group.data() + group.size();
    int high = -1;
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '}' || c == '{' || c == '\\')
            break; // \bin and nested groups are not Word's layout; keep what came before
        const int v = Rtf::hexValue(c);
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            *o++ = char(high << 4 | v);
            high = -1;
        }
    }
    out.truncate(o - out.data());
    return out;
}

bool isObject(const QTextFormat &format)
{
    return format.hasProperty(TextProperty::ObjectData);
}

std::optional<Package> package(const QTextFormat &format)
{
    if (!isObject(format))
        return std::nullopt;
    return readPackageStream(objectData(format.property(TextProperty::ObjectData).toByteArray()));
}

std::optional<Package> openableFile(const QTextFormat &format)
{
    if (!isObject(format))
        return std::nullopt;
    return openableFile(objectData(format.property(TextProperty::ObjectData).toByteArray()));
}

QString safeFileName(const QString &label)
{
    QString name = label.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    static const QString forbidden = QStringLiteral(":*?\"<>|");
    QString clean;
    for (QChar c : std::as_const(name))
        clean += c.unicode() < 32 || forbidden.contains(c) ? QChar(u'_') : c;
    clean = clean.trimmed();
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    return clean.isEmpty() ? QStringLiteral("object.bin") : clean.left(200);
}

QImage iconPicture(const QImage &icon, const QString &label)
{
    constexpr int iconSize = 32;
    constexpr int maxWidth = 240;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    const QString text = metrics.elidedText(label, Qt::ElideMiddle, maxWidth);
    const int width = std::max(iconSize, metrics.horizontalAdvance(text)) + 8;
    const int height = iconSize + metrics.height() + 8;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRect iconRect((width - iconSize) / 2, 2, iconSize, iconSize);
    if (!icon.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(iconRect, icon);
    } else {
        // A sheet with a folded corner when the desktop gives no icon.
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
        const QRect sheet = iconRect.adjusted(5, 1, -5, -1);
        const QPoint corner(sheet.right() - 8, sheet.top());
        painter.drawPolygon(QPolygon({sheet.topLeft(), corner, QPoint(sheet.right(), sheet.top() + 8),
                                      sheet.bottomRight(), sheet.bottomLeft()}));
        painter.drawPolyline(QPolygon({corner, QPoint(corner.x(), corner.y() + 8),
                                       QPoint(sheet.right(), sheet.top() + 8)}));
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, iconSize + 4, width, metrics.height() + 2), Qt::AlignHCenter | Qt::AlignTop, text);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace EmbeddedObject
