#include "document/CompoundFile.h"

#include <QList>
#include <QString>
#include <QtEndian>

namespace {

constexpr quint32 MaxRegularSector = 0xFFFFFFFA;
constexpr int HeaderSize = 512;
constexpr int HeaderFatEntries = 109;
constexpr int EntrySize = 128;
constexpr quint8 StreamEntry = 2;

class Reader
{
public:
    explicit Reader(QByteArrayView file) : m_file(file) {}

    bool open()
    {
        if (!CompoundFile::isCompoundFile(m_file) || m_file.size() < HeaderSize)
            return false;
        const int shift = u16(0x1E);
        const int miniShift = u16(0x20);
        if (shift < 7 || shift > 16 || miniShift < 4 || miniShift >= shift)
            return false;
        m_sectorSize = 1 << shift;
        m_miniSectorSize = 1 << miniShift;
        m_miniCutoff = u32(0x38);
        m_sectorCount = quint32((m_file.size() - 1) / m_sectorSize); // sectors after the header sector
        return readFat() && chain(u32(0x30), m_fat, m_sectorSize, &m_directory)
               && chain(u32(0x3C), m_fat, m_sectorSize, &m_miniFatBytes);
    }

    std::optional<QByteArray> stream(QStringView name)
    {
        const qsizetype entries = m_directory.size() / EntrySize;
        if (entries == 0)
            return std::nullopt;
        for (qsizetype i = 1; i < entries; ++i) {
            const char *e = m_directory.constData() + i * EntrySize;
            const int nameBytes = qFromLittleEndian<quint16>(e + 0x40);
            if (quint8(e[0x42]) != StreamEntry || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString entryName = QString::fromUtf16(reinterpret_cast<const char16_t *>(e), nameBytes / 2 - 1);
            if (entryName.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const quint32 start = qFromLittleEndian<quint32>(e + 0x74);
            const quint64 size = qFromLittleEndian<quint32>(e + 0x78); // version 3 files leave the high half undefined
            QByteArray bytes;
            if (size < m_miniCutoff) {
                if (!miniStream())
                    return std::nullopt;
                if (!chainIn(m_ministream, start, miniFat(), m_miniSectorSize, &bytes))
                    return std::nullopt;
            } else if (!chain(start, m_fat, m_sectorSize, &bytes)) {
                return std::nullopt;
            }
            if (quint64(bytes.size()) < size)
                return std::nullopt;
            bytes.truncate(qsizetype(size));
            return bytes;
        }
        return std::nullopt;
    }

private:
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(m_file.data() + at); }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(m_file.data() + at); }

    // The bytes of sector n, or an empty view when it lies outside the file.
    QByteArrayView sector(quint32 n) const
    {
        const qint64 at = (qint64(n) + 1) * m_sectorSize;
        if (n > MaxRegularSector || at + m_sectorSize > m_file.size())
            return {};
        return m_file.sliced(at, m_sectorSize);
    }

    bool readFat()
    {
        QList<quint32> fatSectors;
        for (int i = 0; i < HeaderFatEntries; ++i)
            fatSectors << u32(0x4C + 4 * i);
        quint32 next = u32(0x44);
        for (quint32 steps = 0; next <= MaxRegularSector; ++steps) {
            const QByteArrayView s = sector(next);
            if (s.isEmpty() || steps > m_sectorCount)
                return false;
            const int perSector = m_sectorSize / 4 - 1;
            for (int i = 0; i < perSector; ++i)
                fatSectors << qFromLittleEndian<quint32>(s.data() + 4 * i);
            next = qFromLittleEndian<quint32>(s.data() + 4 * perSector);
        }
        const quint32 fatCount = u32(0x2C);
        if (fatCount > quint32(fatSectors.size()))
            return false;
        m_fat.reserve(qsizetype(fatCount) * m_sectorSize / 4);
        for (quint32 i = 0; i < fatCount; ++i) {
            const QByteArrayView s = sector(fatSectors.at(i));
            if (s.isEmpty())
                return false;
            for (int j = 0; j < m_sectorSize / 4; ++j)
                m_fat << qFromLittleEndian<quint32>(s.data() + 4 * j);
        }
        return true;
    }

    // Follows a chain of sectors of the file.
    bool chain(quint32 start, const QList<quint32> &fat, int size, QByteArray *out) const
    {
        out->clear();
        // Any mark beyond the sector numbers ends a chain; a stream cut short
        // shows in its length.
        for (quint32 n = start, steps = 0; n <= MaxRegularSector; ++steps) {
            const QByteArrayView s = sector(n);
            if (s.isEmpty() || steps > m_sectorCount || n >= quint32(fat.size()))
                return false;
            out->append(s.first(size));
            n = fat.at(n);
        }
        return true;
    }

    // Follows a chain of mini sectors within the mini stream.
    static bool chainIn(const QByteArray &data, quint32 start, const QList<quint32> &fat, int size, QByteArray *out)
    {
        out->clear();
        for (quint32 n = start, steps = 0; n <= MaxRegularSector; ++steps) {
            const qint64 at = qint64(n) * size;
            if (n >= quint32(fat.size()) || at + size > data.size() || steps > quint32(fat.size()))
                return false;
            out->append(data.constData() + at, size);
            n = fat.at(n);
        }
        return true;
    }

    QList<quint32> miniFat() const
    {
        QList<quint32> fat;
        for (qsizetype i = 0; i + 4 <= m_miniFatBytes.size(); i += 4)
            fat << qFromLittleEndian<quint32>(m_miniFatBytes.constData() + i);
        return fat;
    }

    bool miniStream()
    {
        if (!m_ministream.isNull())
            return true;
        if (m_directory.size() < EntrySize)
            return false;
        // The root entry's own stream holds the mini sectors.
        return chain(qFromLittleEndian<quint32>(m_directory.constData() + 0x74), m_fat, m_sectorSize, &m_ministream);
    }

    QByteArrayView m_file;
    int m_sectorSize = 512;
    int m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    quint32 m_sectorCount = 0;
    QList<quint32> m_fat;
    QByteArray m_directory;
    QByteArray m_miniFatBytes;
    QByteArray m_ministream;
};

} // namespace

namespace CompoundFile {

bool isCompoundFile(QByteArrayView file)
{
    return file.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

std::optional<QByteArray> stream(QByteArrayView file, QStringView name)
{
    Reader reader(file);
    if (!reader.open())
        return std::nullopt;
    return reader.stream(name);
}

} // namespace CompoundFile
