#include "platform/ui/DesktopShell.h"

#include "platform/IconFile.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int MaximumDesktopEntries = 5000;
constexpr qint64 MaximumDesktopEntrySize = 64 * 1024;

Shell::Result failure(int code, int systemError)
{
    return {code, qt_error_string(systemError)};
}

Shell::Result noAssociation()
{
#ifdef Q_OS_WIN
    return {Shell::NoAssociation, qt_error_string(ERROR_NO_ASSOCIATION)};
#else
    return {Shell::NoAssociation,
            QStringLiteral("No application is associated with the specified file for this operation.")};
#endif
}

// Why a local path cannot be used, in shell-execute codes; Success when it
// exists and may be read.
Shell::Result checkPath(const QString &path)
{
#ifdef Q_OS_WIN
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD e = GetLastError();
        const int code = e == ERROR_PATH_NOT_FOUND ? Shell::PathNotFound
                         : e == ERROR_ACCESS_DENIED ? Shell::AccessDenied
                                                    : Shell::FileNotFound;
        return {code, qt_error_string(int(e))};
    }
    return {Shell::Success, {}};
#else
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        const int e = errno;
        switch (e) {
        case ENOENT: {
            // A missing folder on the way is "path not found", as on Windows.
            const QFileInfo parent(QFileInfo(path).absolutePath());
            return failure(parent.isDir() ? Shell::FileNotFound : Shell::PathNotFound, e);
        }
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return failure(Shell::PathNotFound, e);
        case EACCES:
        case EPERM:
            return failure(Shell::AccessDenied, e);
        default:
            return failure(Shell::FileNotFound, e);
        }
    }
    if (::access(native.constData(), R_OK) != 0)
        return failure(Shell::AccessDenied, errno);
    return {Shell::Success, {}};
#endif
}

bool hasUrlScheme(const QString &target)
{
    // Two letters at least, so that drive letters ("C:") stay paths.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    return scheme.match(target).hasMatch();
}

// The local paths a "file:" link may mean, the likeliest first.
QStringList pathsOfFileLink(const QString &link)
{
    const QString rest = link.mid(5);
    if (rest.startsWith(QLatin1String("//"))) {
        const QUrl url(link);
        return url.isValid() && url.isLocalFile() ? QStringList{url.toLocalFile()} : QStringList{};
    }
    QStringList paths{rest};
    if (rest.contains(u'%'))
        paths << QUrl::fromPercentEncoding(rest.toUtf8());
#ifndef Q_OS_WIN
    // Links written on Windows name folders with backslashes.
    const int n = int(paths.size());
    for (int i = 0; i < n; ++i) {
        if (paths.at(i).contains(u'\\'))
            paths << QString(paths.at(i)).replace(u'\\', u'/');
    }
#endif
    return paths;
}

Shell::Result openUrl(const QUrl &url)
{
    if (!url.isValid())
        return noAssociation();
    return QDesktopServices::openUrl(url) ? Shell::Result{Shell::Success, {}} : noAssociation();
}

Shell::Result openLocal(const QStringList &candidates)
{
    if (candidates.isEmpty())
        return failure(Shell::FileNotFound, ENOENT);
    // The first that exists wins; without one, the last (the most
    // normalised reading) tells why.
    Shell::Result check;
    QString path;
    for (const QString &candidate : candidates) {
        path = QFileInfo(candidate).absoluteFilePath();
        check = checkPath(path);
        if (check.code != Shell::FileNotFound && check.code != Shell::PathNotFound)
            break;
    }
    if (!check.ok())
        return check;
    return openUrl(QUrl::fromLocalFile(path));
}

QImage imageOf(const QIcon &icon)
{
    if (icon.isNull())
        return QImage();
    // The largest size the icon has; scalable ones list none.
    QSize size;
    const QList<QSize> sizes = icon.availableSizes();
    for (const QSize &s : sizes) {
        if (s.width() * s.height() > size.width() * size.height())
            size = s;
    }
    if (size.isEmpty())
        size = QSize(48, 48);
    return icon.pixmap(size, 1.0).toImage();
}

QImage iconNamed(const QString &name)
{
    if (name.isEmpty())
        return QImage();
    if (QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() ? imageOf(QIcon(name)) : QImage();
    return imageOf(QIcon::fromTheme(name));
}

// The program an Exec line starts: its first word, quotes removed, past an
// "env NAME=value" prefix.
QString execProgram(const QString &exec)
{
    const QStringList words = QProcess::splitCommand(exec);
    int i = 0;
    if (i < words.size() && QFileInfo(words.at(i)).fileName() == QLatin1String("env")) {
        ++i;
        while (i < words.size() && words.at(i).contains(u'='))
            ++i;
    }
    return i < words.size() ? words.at(i) : QString();
}

// The program file as given and as it resolves: an entry may name either.
struct ProgramNames {
    QString fileName, canonicalFileName, canonicalPath;
};

bool namesProgram(const QString &exec, const ProgramNames &target)
{
    const QString program = execProgram(exec);
    if (program.isEmpty())
        return false;
    // Resolving against PATH costs file look-ups; most entries fail on the name.
    const QString name = QFileInfo(program).fileName();
    if (name != target.fileName && name != target.canonicalFileName)
        return false;
    const QString path = QDir::isAbsolutePath(program) ? program : QStandardPaths::findExecutable(program);
    return !path.isEmpty() && QFileInfo(path).canonicalFilePath() == target.canonicalPath;
}

struct DesktopEntry {
    QString exec, tryExec, icon;
};

DesktopEntry readDesktopEntry(const QString &path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    const QString text = QString::fromUtf8(file.read(MaximumDesktopEntrySize));
    bool inMainGroup = false;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QStringView key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed().toString();
        if (key == QLatin1String("Exec"))
            entry.exec = value;
        else if (key == QLatin1String("TryExec"))
            entry.tryExec = value;
        else if (key == QLatin1String("Icon"))
            entry.icon = value;
    }
    return entry;
}

} // namespace

Shell::Result DesktopShell::open(const QString &target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return failure(FileNotFound, ENOENT);
    if (t.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return openLocal(pathsOfFileLink(t));
    if (hasUrlScheme(t))
        return openUrl(QUrl(t, QUrl::TolerantMode));
    if (t.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return openUrl(QUrl(QLatin1String("http://") + t, QUrl::TolerantMode));
    if (t.startsWith(QLatin1String("ftp."), Qt::CaseInsensitive))
        return openUrl(QUrl(QLatin1String("ftp://") + t, QUrl::TolerantMode));
    return openLocal({t});
}

Shell::Result DesktopShell::run(const QString &program, const QString &parameter)
{
    if (program.isEmpty())
        return failure(FileNotFound, ENOENT);
    QString path = program;
    if (!program.contains(u'/') && !program.contains(QDir::separator())) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            path = QFileInfo(program).absoluteFilePath(); // as ShellExecute: the current folder last
    }
    const Result check = checkPath(path);
    if (!check.ok())
        return check;
    const QFileInfo info(path);
    if (info.isDir() || !info.isExecutable())
        return failure(AccessDenied, EACCES);

    QProcess process;
    process.setProgram(info.absoluteFilePath());
#ifdef Q_OS_WIN
    process.setNativeArguments(parameter); // Windows programs split their own command line
#else
    process.setArguments(QProcess::splitCommand(parameter));
#endif
    if (!process.startDetached())
        return {AccessDenied, process.errorString()};
    return {Success, {}};
}

QImage DesktopShell::iconOfFile(const QString &path, int index)
{
    const QImage stored = IconFile::read(path, index);
    if (!stored.isNull())
        return stored;
#ifdef Q_OS_WIN
    return QImage();
#else
    const QFileInfo info(path);
    if (index != 0 || !info.isFile() || !info.isExecutable())
        return QImage();
    const QImage fromEntry = desktopEntryIcon(path);
    if (!fromEntry.isNull())
        return fromEntry;
    return iconNamed(info.fileName());
#endif
}

QImage DesktopShell::desktopEntryIcon(const QString &programPath)
{
    const QString canonical = QFileInfo(programPath).canonicalFilePath();
    if (canonical.isEmpty())
        return QImage();
    const ProgramNames target{QFileInfo(programPath).fileName(), QFileInfo(canonical).fileName(), canonical};
    int seen = 0;
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : folders) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && ++seen <= MaximumDesktopEntries) {
            const DesktopEntry entry = readDesktopEntry(it.next());
            if (entry.icon.isEmpty())
                continue;
            if (!namesProgram(entry.exec, target) && !namesProgram(entry.tryExec, target))
                continue;
            const QImage image = iconNamed(entry.icon);
            if (!image.isNull())
                return image;
        }
    }
    return QImage();
}
