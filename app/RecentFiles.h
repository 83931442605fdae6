#pragma once

#include <QString>
#include <QStringList>

class Settings;

// The four most recent files: full paths in settings lines 14 to 17, the
// most recent first, and their file names for menu captions.
namespace RecentFiles {

constexpr int FirstLine = 14;
constexpr int Count = 4;

// Puts path first unless it is first already. Only the first entry is
// compared (exactly), so a path further down may appear twice.
void add(Settings &settings, const QString &path);

// File-name parts of the four entries: the text after the last separator or colon.
QStringList names(const Settings &settings);
QString fileNamePart(const QString &path);

} // namespace RecentFiles
