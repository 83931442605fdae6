#include "app/RecentFiles.h"

#include "platform/Settings.h"

namespace RecentFiles {

void add(Settings &settings, const QString &path)
{
    if (path == settings.line(FirstLine))
        return;
    for (int line = FirstLine + Count - 1; line > FirstLine; --line)
        settings.setLine(line, settings.line(line - 1));
    settings.setLine(FirstLine, path);
}

QString fileNamePart(const QString &path)
{
    qsizetype cut = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == u'/' || c == u'\\' || c == u':') {
            cut = i;
            break;
        }
    }
    return path.mid(cut + 1);
}

QStringList names(const Settings &settings)
{
    QStringList result;
    for (int k = 0; k < Count; ++k)
        result << fileNamePart(settings.line(FirstLine + k));
    return result;
}

} // namespace RecentFiles
