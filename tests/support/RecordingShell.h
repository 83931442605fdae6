#pragma once

#include "platform/Shell.h"

#include <QFileInfo>
#include <QStringList>

// A shell for tests: records what it was asked to open or run and answers
// with the codes a test sets; by default a local file that does not exist
// gives "file not found" and everything else succeeds.
class RecordingShell : public Shell
{
public:
    QStringList opened;
    QStringList runs;
    std::function<Result(const QString &)> onOpen;

    Result open(const QString &target) override
    {
        opened << target;
        if (onOpen)
            return onOpen(target);
        QString path = target;
        if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            path = path.mid(5);
        else if (path.contains(QLatin1String("://")))
            return {Success, {}};
        return QFileInfo::exists(path) ? Result{Success, {}} : Result{FileNotFound, QStringLiteral("No such file")};
    }

    Result run(const QString &program, const QString &parameter) override
    {
        runs << program + u' ' + parameter;
        return QFileInfo::exists(program) ? Result{Success, {}} : Result{FileNotFound, QStringLiteral("No such file")};
    }

    QImage iconOfFile(const QString &, int) override { return QImage(); }
};
