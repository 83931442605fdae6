#pragma once

#include "Shell.h"

// The shell of the desktop the program runs on.
class DesktopShell : public Shell
{
public:
    Result open(const QString &target) override;
    Result run(const QString &program, const QString &parameter) override;
    QImage iconOfFile(const QString &path, int index = 0) override;
};
