#pragma once

#include "platform/Shell.h"

// The shell of the desktop the program runs on: documents and links go to
// the desktop's standard application (QDesktopServices, which honours URL
// handlers set by the program), programs start detached, and icons come from
// the file itself or, for other programs on Linux, from their desktop entry
// or the icon theme.
class DesktopShell : public Shell
{
public:
    // A local file is checked before it is handed over, so a missing one
    // answers FileNotFound (or PathNotFound when its folder is missing too).
    // "file:" links may be URLs ("file:///x") or paths ("file:C:\\x",
    // "file:../x", relative to the current directory), with either separator.
    Result open(const QString &target) override;
    // parameter is split as a command line: "\"a b.txt\"" is one argument.
    Result run(const QString &program, const QString &parameter) override;
    QImage iconOfFile(const QString &path, int index = 0) override;

    // The icon of the desktop entry whose Exec line names the program, or
    // null; searched in the applications folders of the XDG data folders.
    static QImage desktopEntryIcon(const QString &programPath);
};
