#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withSeparator(const QString &dir)
{
    return QDir::cleanPath(dir) + u'/';
}

// The file every program folder holds; its presence tells where the shipped files are.
const QString MarkerFile = QStringLiteral("CodePageListEn.ini");

} // namespace

QString ProgramFolders::configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

ProgramFolders ProgramFolders::locate(const QString &executableDir, const QString &configHome)
{
    ProgramFolders folders;
    const QString own = withSeparator(executableDir);
    const QString shared = withSeparator(executableDir + QStringLiteral("/../share/quilmar"));
    const QString perUser = withSeparator(configHome + QStringLiteral("/quilmar"));
    const bool installed = !QFileInfo::exists(own + MarkerFile) && QFileInfo::exists(shared + MarkerFile);
    folders.programDir = installed ? shared : own;
    // An installed program writes per user even where the prefix is writable,
    // so the users of one installation do not share their settings.
    folders.userDir = installed || !QFileInfo(own).isWritable() ? perUser : own;
    return folders;
}

bool ProgramFolders::seed(const QStringList &shippedFiles, QString *error) const
{
    if (!isSeparate())
        return true;
    if (!QDir().mkpath(userDir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(userDir));
        return false;
    }
    for (const QString &name : shippedFiles) {
        const QString target = userDir + name;
        if (QFileInfo::exists(target) || !QFileInfo::exists(programDir + name))
            continue;
        // Copies of read-only files would stay read-only and refuse their first save.
        if (QFile::copy(programDir + name, target))
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    }
    return true;
}
