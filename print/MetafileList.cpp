#include "print/MetafileList.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>

namespace {

QByteArray pictureData(const QPicture &picture)
{
    return QByteArray(picture.data(), int(picture.size()));
}

std::unique_ptr<QIODevice> openStream(bool tempFile)
{
    if (tempFile) {
        auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("PPXXXXXX")));
        if (!file->open())
            return nullptr;
        return file;
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::ReadWrite);
    return buffer;
}

void truncate(QIODevice *device, qint64 size)
{
    if (auto *file = qobject_cast<QFileDevice *>(device))
        file->resize(size);
    else if (auto *buffer = qobject_cast<QBuffer *>(device))
        buffer->buffer().truncate(size);
}

} // namespace

TMetafileList::TMetafileList(QObject *parent) : QObject(parent) {}

TMetafileList::~TMetafileList() = default;

QIODevice *TMetafileList::stream()
{
    if (!m_stream)
        m_stream = openStream(m_useTempFile);
    return m_stream.get();
}

QString TMetafileList::tempFileName() const
{
    const auto *file = qobject_cast<const QTemporaryFile *>(m_stream.get());
    return file ? file->fileName() : QString();
}

qint64 TMetafileList::streamSize() const
{
    return m_stream ? m_stream->size() : 0;
}

bool TMetafileList::setUseTempFile(bool on)
{
    if (on == m_useTempFile)
        return true;
    if (m_stream) {
        std::unique_ptr<QIODevice> other = openStream(on);
        if (!other)
            return false;
        m_stream->seek(0);
        while (!m_stream->atEnd()) {
            const QByteArray chunk = m_stream->read(1 << 20);
            if (chunk.isEmpty() || other->write(chunk) != chunk.size())
                return false;
        }
        // The old temporary file goes with its object.
        m_stream = std::move(other);
    }
    m_useTempFile = on;
    return true;
}

bool TMetafileList::writeAt(qint64 offset, const QByteArray &data)
{
    QIODevice *s = stream();
    return s && s->seek(offset) && s->write(data) == data.size();
}

bool TMetafileList::append(const QPicture &picture)
{
    QIODevice *s = stream();
    if (!s)
        return false;
    const qint64 offset = s->size();
    if (!writeAt(offset, pictureData(picture))) {
        truncate(s, offset);
        return false;
    }
    m_offsets.append(offset);
    emit changed();
    return true;
}

qint64 TMetafileList::pageEnd(int index) const
{
    return index + 1 < m_offsets.size() ? m_offsets.at(index + 1) : m_stream->size();
}

QPicture TMetafileList::page(int index)
{
    if (index < 0 || index >= count())
        return QPicture();
    if (index != m_loaded) {
        m_loaded = -1;
        m_cached = QPicture();
        const qint64 offset = m_offsets.at(index);
        if (!m_stream->seek(offset))
            return QPicture();
        const QByteArray data = m_stream->read(pageEnd(index) - offset);
        if (data.size() != pageEnd(index) - offset)
            return QPicture();
        m_cached.setData(data.constData(), uint(data.size()));
        m_loaded = index;
    }
    return m_cached;
}

bool TMetafileList::rewrite(int index, const QPicture &picture)
{
    if (index < 0 || index >= count())
        return false;
    const QByteArray data = pictureData(picture);
    const qint64 offset = m_offsets.at(index);
    const qint64 delta = data.size() - (pageEnd(index) - offset);
    const bool last = index + 1 == count();
    QByteArray tail;
    if (delta != 0 && !last) {
        if (!m_stream->seek(m_offsets.at(index + 1)))
            return false;
        tail = m_stream->readAll();
    }
    const qint64 oldSize = m_stream->size();
    if (!writeAt(offset, data))
        return false;
    if (!tail.isEmpty()) {
        for (int i = index + 1; i < count(); ++i)
            m_offsets[i] += delta;
        if (!writeAt(m_offsets.at(index + 1), tail))
            return false;
    }
    if (delta < 0)
        truncate(m_stream.get(), oldSize + delta);
    if (m_loaded == index) {
        m_cached = picture;
    } else if (m_loaded > index && delta != 0) {
        m_loaded = -1; // read again from its new place
    }
    emit pageRewritten(index);
    return true;
}

void TMetafileList::clear()
{
    m_cached = QPicture();
    m_offsets.clear();
    m_loaded = -1;
    m_stream.reset();
    emit changed();
}
