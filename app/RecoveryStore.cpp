#include "app/RecoveryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QByteArray Header("Quilmar recovery 1\n");
const QString Suffix = QStringLiteral(".recovery");
// Documents bigger than this are not kept in a recovery copy that must be read whole.
constexpr qint64 MaximumBytes = qint64(1) << 31;

} // namespace

RecoveryStore::RecoveryStore(const QString &folder) : m_folder(QDir::cleanPath(folder) + u'/') {}

QByteArray RecoveryStore::serialize(const QString &fileName, int fileCoding, const QByteArray &rtf)
{
    // A file name cannot hold a line break on any system we save to; the
    // header stays one line per field all the same.
    QString name = fileName;
    name.replace(u'\n', u' ').replace(u'\r', u' ');
    return Header + "name=" + name.toUtf8() + "\ncoding=" + QByteArray::number(fileCoding) + "\nsize="
           + QByteArray::number(rtf.size()) + "\n\n" + rtf;
}

RecoveryStore::Copy RecoveryStore::parse(const QByteArray &bytes)
{
    Copy copy;
    if (!bytes.startsWith(Header)) {
        copy.error = QStringLiteral("no recovery header");
        return copy;
    }
    const qsizetype end = bytes.indexOf("\n\n", Header.size() - 1);
    if (end < 0) {
        copy.error = QStringLiteral("the header is incomplete");
        return copy;
    }
    bool haveName = false;
    qint64 size = -1;
    const QList<QByteArray> fields = bytes.mid(Header.size(), end - Header.size()).split('\n');
    for (const QByteArray &field : fields) {
        if (field.startsWith("name=")) {
            copy.fileName = QString::fromUtf8(field.mid(5));
            haveName = true;
        } else if (field.startsWith("coding=")) {
            copy.fileCoding = field.mid(7).toInt();
        } else if (field.startsWith("size=")) {
            bool ok = false;
            size = field.mid(5).toLongLong(&ok);
            if (!ok)
                size = -1;
        }
    }
    const qint64 available = bytes.size() - (end + 2);
    if (!haveName || size < 0)
        copy.error = QStringLiteral("the header is damaged");
    else if (size != available)
        copy.error = QStringLiteral("the copy is truncated (%1 of %2 bytes)").arg(qMin(available, size)).arg(size);
    else
        copy.rtf = bytes.mid(end + 2);
    return copy;
}

bool RecoveryStore::write(const QString &fileName, int fileCoding, const QByteArray &rtf, QString *error)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    // Names sort in the order written; a counter separates copies of one millisecond.
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QString path;
    for (int n = 0; path.isEmpty() || QFileInfo::exists(path); ++n)
        path = m_folder + QStringLiteral("%1-%2").arg(stamp).arg(n, 3, 10, QLatin1Char('0')) + Suffix;
    QSaveFile file(path);
    const QByteArray bytes = serialize(fileName, fileCoding, rtf);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QList<RecoveryStore::Copy> RecoveryStore::copies() const
{
    QList<Copy> result;
    const QFileInfoList files = QDir(m_folder).entryInfoList({QLatin1Char('*') + Suffix}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : files) {
        Copy copy;
        QFile file(info.filePath());
        if (info.size() > MaximumBytes)
            copy.error = QStringLiteral("the copy is too large");
        else if (!file.open(QIODevice::ReadOnly))
            copy.error = file.errorString();
        else
            copy = parse(file.readAll());
        copy.path = info.filePath();
        result << copy;
    }
    return result;
}

bool RecoveryStore::isEmpty() const
{
    return QDir(m_folder).entryList({QLatin1Char('*') + Suffix}, QDir::Files).isEmpty();
}

void RecoveryStore::remove(const Copy &copy)
{
    QFile::remove(copy.path);
}
