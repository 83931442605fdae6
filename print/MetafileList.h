#pragma once

#include <QList>
#include <QObject>
#include <QPicture>

#include <memory>

class QIODevice;

// The recorded pages of a preview: every page's picture data one after the
// other in one stream, in memory or in a temporary file "PP…" in the system's
// temporary folder, with the offset where each page starts. One page at a
// time is read back into a cached picture.
class TMetafileList : public QObject
{
    Q_OBJECT

public:
    explicit TMetafileList(QObject *parent = nullptr);
    ~TMetafileList() override;

    int count() const { return int(m_offsets.size()); }
    bool useTempFile() const { return m_useTempFile; }
    // Switching with pages present copies them into a stream of the other kind.
    bool setUseTempFile(bool on);
    // The temporary file's name while pages are kept in one.
    QString tempFileName() const;
    qint64 streamSize() const;

    // Adds a page at the end; false when the stream could not take it.
    bool append(const QPicture &picture);
    // Page index (0-based), read into the cache when it is not the cached
    // one; an empty picture when there is no such page or it cannot be read.
    QPicture page(int index);
    int loadedIndex() const { return m_loaded; }
    // Replaces page index in place; the pages after it move when its size
    // changes, and the stream shrinks when it got smaller.
    bool rewrite(int index, const QPicture &picture);
    // Drops every page, the stream and its temporary file.
    void clear();

signals:
    void changed();
    void pageRewritten(int index);

private:
    QIODevice *stream();
    qint64 pageEnd(int index) const;
    bool writeAt(qint64 offset, const QByteArray &data);

    std::unique_ptr<QIODevice> m_stream;
    QList<qint64> m_offsets;
    QPicture m_cached;
    int m_loaded = -1;
    bool m_useTempFile = false;
};
