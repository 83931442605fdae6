#include "app/ApplicationButtons.h"

#include "app/RecentFiles.h"
#include "platform/Settings.h"

#include <QFileInfo>

namespace ApplicationButtons {

int settingsLine(int button)
{
    return button >= 1 && button <= Count ? LastLine + 1 - button : -1;
}

int buttonOfLine(int line)
{
    return line >= FirstLine && line <= LastLine ? LastLine + 1 - line : 0;
}

QString hint(const QString &programPath)
{
    const QString name = RecentFiles::fileNamePart(programPath);
    // Program names end in a dot and three letters (".exe", ".com", ".bat"),
    // which are cut; names without such an ending (most programs outside
    // Windows, "python3.11") stay whole rather than lose real letters.
    if (name.size() > 4 && name.at(name.size() - 4) == u'.')
        return name.left(name.size() - 4);
    return name;
}

QString quotedParameter(const QString &documentPath)
{
    QString inner = documentPath;
    inner.replace(QLatin1String("\""), QLatin1String("\"\"\""));
    return u'"' + inner + u'"';
}

int dropMissingPrograms(Settings &settings)
{
    int dropped = 0;
    for (int line = FirstLine; line <= LastLine; ++line) {
        const QString path = settings.line(line);
        if (path.isEmpty() || QFileInfo(path).isFile())
            continue;
        settings.setLine(line, QString());
        ++dropped;
    }
    return dropped;
}

} // namespace ApplicationButtons
