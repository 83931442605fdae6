#include "platform/IconFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <optional>
#include <vector>

namespace IconFile {
namespace {

constexpr int MaximumSide = 1024;   // icons are at most 256 wide; more is damage
constexpr int MaximumAttempts = 16; // images tried per icon before giving up
constexpr quint32 RtIcon = 3;
constexpr quint32 RtGroupIcon = 14;

// Bounds-checked little-endian reads over a byte range.
class Bytes
{
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}
    qsizetype size() const { return m_data.size(); }
    bool has(quint64 offset, quint64 length) const
    {
        return offset <= quint64(m_data.size()) && length <= quint64(m_data.size()) - offset;
    }
    std::optional<quint8> u8(quint64 o) const
    {
        if (!has(o, 1))
            return std::nullopt;
        return quint8(m_data[qsizetype(o)]);
    }
    std::optional<quint16> u16(quint64 o) const
    {
        if (!has(o, 2))
            return std::nullopt;
        return qFromLittleEndian<quint16>(m_data.data() + o);
    }
    std::optional<quint32> u32(quint64 o) const
    {
        if (!has(o, 4))
            return std::nullopt;
        return qFromLittleEndian<quint32>(m_data.data() + o);
    }
    QByteArrayView slice(quint64 o, quint64 length) const
    {
        return has(o, length) ? m_data.sliced(qsizetype(o), qsizetype(length)) : QByteArrayView();
    }

private:
    QByteArrayView m_data;
};

// One image of an icon as its directory describes it.
struct Candidate {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    QByteArrayView data;
};

QImage bestImage(std::vector<Candidate> candidates)
{
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        const qint64 areaA = qint64(a.width) * a.height, areaB = qint64(b.width) * b.height;
        return areaA != areaB ? areaA > areaB : a.bitCount > b.bitCount;
    });
    int attempts = 0;
    for (const Candidate &c : candidates) {
        if (++attempts > MaximumAttempts)
            break;
        QImage image = decodeImage(c.data);
        if (!image.isNull())
            return image;
    }
    return QImage();
}

// Width and height bytes of icon directories: 0 stands for 256.
int side(quint8 b)
{
    return b == 0 ? 256 : b;
}

QImage decodeDib(const Bytes &b)
{
    const auto headerSize = b.u32(0);
    const auto w = b.u32(4), h = b.u32(8);
    const auto bitCount = b.u16(14);
    const auto compression = b.u32(16), colorsUsed = b.u32(32);
    if (!headerSize || *headerSize < 40 || !colorsUsed)
        return QImage();
    const qint32 width = qint32(*w);
    const qint32 fullHeight = qint32(*h);
    // The height covers the colour rows and the mask rows.
    const qint32 height = fullHeight / 2;
    if (width <= 0 || width > MaximumSide || height <= 0 || height > MaximumSide)
        return QImage();
    const int bpp = *bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return QImage();
    quint64 offset = *headerSize;
    if (*compression == 3) {
        // Bit fields: only the usual 32-bit masks are understood. They follow
        // a 40-byte header and sit at the same place inside larger ones.
        const auto r = b.u32(40), g = b.u32(44), bl = b.u32(48);
        if (bpp != 32 || !bl || *r != 0x00ff0000 || *g != 0x0000ff00 || *bl != 0x000000ff)
            return QImage();
        if (*headerSize == 40)
            offset += 12;
    } else if (*compression != 0) {
        return QImage();
    }

    std::vector<QRgb> palette;
    if (bpp <= 8) {
        const quint32 maxColors = 1u << bpp;
        const quint32 colors = *colorsUsed == 0 || *colorsUsed > maxColors ? maxColors : *colorsUsed;
        if (!b.has(offset, quint64(colors) * 4))
            return QImage();
        for (quint32 i = 0; i < colors; ++i) {
            const quint32 bgrx = *b.u32(offset + 4 * i);
            palette.push_back(qRgb(int((bgrx >> 16) & 0xff), int((bgrx >> 8) & 0xff), int(bgrx & 0xff)));
        }
        palette.resize(maxColors, qRgb(0, 0, 0)); // indexes past the table read black
        offset += quint64(colors) * 4;
    }

    const quint64 stride = (quint64(width) * bpp + 31) / 32 * 4;
    const quint64 maskStride = (quint64(width) + 31) / 32 * 4;
    if (!b.has(offset, stride * quint64(height)))
        return QImage();
    const quint64 maskOffset = offset + stride * quint64(height);
    const bool hasMask = b.has(maskOffset, maskStride * quint64(height));

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return QImage();
    bool anyAlpha = false;
    for (qint32 y = 0; y < height; ++y) {
        const quint64 row = offset + stride * quint64(height - 1 - y); // bottom-up
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (qint32 x = 0; x < width; ++x) {
            QRgb pixel;
            switch (bpp) {
            case 1: pixel = palette[(*b.u8(row + x / 8) >> (7 - x % 8)) & 1]; break;
            case 4: pixel = palette[(*b.u8(row + x / 2) >> (x % 2 ? 0 : 4)) & 0xf]; break;
            case 8: pixel = palette[*b.u8(row + x)]; break;
            case 16: {
                const quint16 v = *b.u16(row + 2 * quint64(x));
                pixel = qRgb((v >> 10 & 0x1f) * 255 / 31, (v >> 5 & 0x1f) * 255 / 31, (v & 0x1f) * 255 / 31);
                break;
            }
            case 24: {
                const quint64 p = row + 3 * quint64(x);
                pixel = qRgb(*b.u8(p + 2), *b.u8(p + 1), *b.u8(p));
                break;
            }
            default: {
                const quint32 v = *b.u32(row + 4 * quint64(x));
                pixel = v; // BGRA in memory is 0xAARRGGBB
                anyAlpha = anyAlpha || qAlpha(v) != 0;
            }
            }
            line[x] = bpp == 32 ? pixel : (pixel | 0xff000000u);
        }
    }
    // 32-bit images carry their own alpha; the others (and 32-bit ones with
    // an empty alpha channel) take the mask: a set bit is transparent.
    if (bpp == 32 && anyAlpha)
        return image;
    for (qint32 y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const quint64 row = maskOffset + maskStride * quint64(height - 1 - y);
        for (qint32 x = 0; x < width; ++x) {
            const bool transparent = hasMask && ((*b.u8(row + x / 8) >> (7 - x % 8)) & 1);
            line[x] = transparent ? 0u : (line[x] | 0xff000000u);
        }
    }
    return image;
}

// The resource directory of a PE file: where it starts and how RVAs map to
// file offsets.
class PeResources
{
public:
    explicit PeResources(QByteArrayView file) : m_file(file) { m_valid = parse(); }
    bool isValid() const { return m_valid; }

    struct Entry {
        bool named;
        quint32 id;
        bool isDirectory;
        quint32 offset; // within the resource section
    };
    // Entries of the directory at offset (named first, then ids, as stored).
    std::vector<Entry> entries(quint32 directory) const
    {
        std::vector<Entry> list;
        const quint64 at = m_base + directory;
        const auto named = m_file.u16(at + 12), ids = m_file.u16(at + 14);
        if (!named || !ids)
            return list;
        const quint32 total = quint32(*named) + *ids;
        for (quint32 i = 0; i < total; ++i) {
            const auto name = m_file.u32(at + 16 + 8 * quint64(i));
            const auto target = m_file.u32(at + 20 + 8 * quint64(i));
            if (!name || !target)
                break;
            list.push_back({bool(*name & 0x80000000u), *name & 0x7fffffffu,
                            bool(*target & 0x80000000u), *target & 0x7fffffffu});
        }
        return list;
    }
    std::optional<quint32> subdirectory(quint32 directory, quint32 id) const
    {
        for (const Entry &e : entries(directory)) {
            if (!e.named && e.id == id)
                return e.isDirectory ? std::optional<quint32>(e.offset) : std::nullopt;
        }
        return std::nullopt;
    }
    // The data of the first language of a name directory.
    QByteArrayView data(const Entry &name) const
    {
        if (!name.isDirectory)
            return QByteArrayView();
        const std::vector<Entry> languages = entries(name.offset);
        if (languages.empty() || languages.front().isDirectory)
            return QByteArrayView();
        const quint64 at = m_base + languages.front().offset;
        const auto rva = m_file.u32(at), size = m_file.u32(at + 4);
        if (!rva || !size)
            return QByteArrayView();
        const auto offset = fileOffset(*rva, *size);
        return offset ? m_file.slice(*offset, *size) : QByteArrayView();
    }

private:
    struct Section {
        quint32 address, virtualSize, rawSize, rawOffset;
    };

    bool parse()
    {
        if (m_file.size() < 64 || *m_file.u16(0) != 0x5a4d) // "MZ"
            return false;
        const quint32 pe = *m_file.u32(0x3c);
        if (m_file.u32(pe) != std::optional<quint32>(0x00004550)) // "PE\0\0"
            return false;
        const quint64 coff = quint64(pe) + 4;
        const auto sectionCount = m_file.u16(coff + 2), optionalSize = m_file.u16(coff + 16);
        const quint64 optional = coff + 20;
        const auto magic = m_file.u16(optional);
        if (!sectionCount || !optionalSize || !magic)
            return false;
        quint64 directories;
        std::optional<quint32> directoryCount;
        if (*magic == 0x10b) {
            directoryCount = m_file.u32(optional + 92);
            directories = optional + 96;
        } else if (*magic == 0x20b) {
            directoryCount = m_file.u32(optional + 108);
            directories = optional + 112;
        } else {
            return false;
        }
        // The resource table is data directory 2.
        if (!directoryCount || *directoryCount < 3 || directories + 24 > optional + *optionalSize)
            return false;
        const auto resourceRva = m_file.u32(directories + 16);
        if (!resourceRva || *resourceRva == 0)
            return false;
        const quint64 table = optional + *optionalSize;
        for (quint32 i = 0; i < *sectionCount; ++i) {
            const quint64 s = table + 40 * quint64(i);
            if (!m_file.has(s, 40))
                return false;
            m_sections.push_back({*m_file.u32(s + 12), *m_file.u32(s + 8), *m_file.u32(s + 16),
                                  *m_file.u32(s + 20)});
        }
        const auto base = fileOffset(*resourceRva, 16);
        if (!base)
            return false;
        m_base = *base;
        return true;
    }

    std::optional<quint64> fileOffset(quint32 rva, quint32 length) const
    {
        for (const Section &s : m_sections) {
            if (rva < s.address)
                continue;
            const quint64 into = quint64(rva) - s.address;
            if (into >= std::max(s.virtualSize, s.rawSize))
                continue;
            if (into + length > s.rawSize || !m_file.has(quint64(s.rawOffset) + into, length))
                return std::nullopt;
            return quint64(s.rawOffset) + into;
        }
        return std::nullopt;
    }

    Bytes m_file;
    std::vector<Section> m_sections;
    quint64 m_base = 0;
    bool m_valid = false;
};

} // namespace

QImage decodeImage(QByteArrayView data)
{
    static const char png[] = "\x89PNG\r\n\x1a\n";
    if (data.startsWith(QByteArrayView(png, 8)))
        return QImage::fromData(data, "PNG").convertToFormat(QImage::Format_ARGB32);
    return decodeDib(Bytes(data));
}

QImage fromIco(QByteArrayView file, int index)
{
    const Bytes b(file);
    const auto reserved = b.u16(0), type = b.u16(2), count = b.u16(4);
    if (index != 0 || !count || *reserved != 0 || *type != 1 || *count == 0)
        return QImage();
    std::vector<Candidate> candidates;
    for (quint32 i = 0; i < *count; ++i) {
        const quint64 e = 6 + 16 * quint64(i);
        if (!b.has(e, 16))
            break;
        const quint32 size = *b.u32(e + 8), offset = *b.u32(e + 12);
        const QByteArrayView data = b.slice(offset, size);
        if (!data.isEmpty())
            candidates.push_back({side(*b.u8(e)), side(*b.u8(e + 1)), *b.u16(e + 6), data});
    }
    return bestImage(std::move(candidates));
}

int peIconCount(QByteArrayView file)
{
    const PeResources resources(file);
    if (!resources.isValid())
        return 0;
    const auto groups = resources.subdirectory(0, RtGroupIcon);
    return groups ? int(resources.entries(*groups).size()) : 0;
}

QImage fromPe(QByteArrayView file, int index)
{
    const PeResources resources(file);
    if (!resources.isValid())
        return QImage();
    const auto groups = resources.subdirectory(0, RtGroupIcon);
    const auto icons = resources.subdirectory(0, RtIcon);
    if (!groups || !icons)
        return QImage();
    const std::vector<PeResources::Entry> groupEntries = resources.entries(*groups);
    const PeResources::Entry *group = nullptr;
    if (index >= 0 && size_t(index) < groupEntries.size()) {
        group = &groupEntries[size_t(index)];
    } else if (index < 0) {
        for (const PeResources::Entry &e : groupEntries) {
            if (!e.named && qint64(e.id) == -qint64(index))
                group = &e;
        }
    }
    if (!group)
        return QImage();

    // The group lists its images (14 bytes each), naming icon resources by id.
    const Bytes dir(resources.data(*group));
    const auto type = dir.u16(2), count = dir.u16(4);
    if (!type || *type != 1 || !count)
        return QImage();
    const std::vector<PeResources::Entry> iconEntries = resources.entries(*icons);
    std::vector<Candidate> candidates;
    for (quint32 i = 0; i < *count; ++i) {
        const quint64 e = 6 + 14 * quint64(i);
        if (!dir.has(e, 14))
            break;
        const quint16 id = *dir.u16(e + 12);
        for (const PeResources::Entry &icon : iconEntries) {
            if (icon.named || icon.id != id)
                continue;
            const QByteArrayView data = resources.data(icon);
            if (!data.isEmpty())
                candidates.push_back({side(*dir.u8(e)), side(*dir.u8(e + 1)), *dir.u16(e + 6), data});
            break;
        }
    }
    return bestImage(std::move(candidates));
}

QImage read(const QString &path, int index)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 6)
        return QImage();
    // Programs can be large; the icons are found through a mapping, not a copy.
    const uchar *mapped = file.map(0, file.size());
    QByteArray copy;
    QByteArrayView bytes;
    if (mapped) {
        bytes = QByteArrayView(mapped, file.size());
    } else {
        copy = file.readAll();
        bytes = copy;
    }
    if (bytes.startsWith("MZ"))
        return fromPe(bytes, index);
    return fromIco(bytes, index);
}

} // namespace IconFile
