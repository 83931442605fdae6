#include "app/CommandLine.h"

namespace CommandLine {

QList<CommandLineStep> plan(const QStringList &arguments, const std::function<bool(const QString &)> &fileExists)
{
    QList<CommandLineStep> steps;
    for (const QString &argument : arguments) {
        if (fileExists(argument)) {
            steps.append({CommandLineStep::OpenFile, argument});
            continue;
        }
        if (argument.size() > 4)
            steps.append({CommandLineStep::NewNamedFile, argument});
        const QString lower = argument.toLower();
        if (lower == QLatin1String("/s"))
            steps.append({CommandLineStep::NoFinishMessage, argument});
        else if (lower == QLatin1String("/n"))
            steps.append({CommandLineStep::NoDocument, argument});
        else if (lower == QLatin1String("/rs"))
            steps.append({CommandLineStep::ReplaceAfterLoad, argument});
        else if (argument.size() <= 4)
            steps.append({CommandLineStep::Ignore, argument});
    }
    return steps;
}

} // namespace CommandLine
