#include "app/LanguageFile.h"

#include "platform/CodePages.h"
#include "platform/Settings.h"
#include "platform/TextSet.h"

#include <QFile>
#include <QFileInfo>

namespace LanguageFile {

// A real language file is a few kilobytes; anything far larger is not one.
constexpr qint64 MaximumBytes = 1024 * 1024;

bool isValid(const QStringList &lines)
{
    return lines.size() == TextSet::LanguageFileLines && lines.first() == TextSet::LanguageFileHeader;
}

Result read(const QString &path)
{
    Result result;
    const QFileInfo info(path);
    if (!info.isFile()) {
        result.status = Status::Missing;
        return result;
    }
    QFile file(path);
    if (info.size() > MaximumBytes || !file.open(QIODevice::ReadOnly)) {
        result.status = Status::Invalid;
        return result;
    }
    result.lines = Settings::splitLines(CodePages::toUnicode(CodePages::ansiCodePage(), file.readAll()));
    result.status = isValid(result.lines) ? Status::Ok : Status::Invalid;
    return result;
}

} // namespace LanguageFile
