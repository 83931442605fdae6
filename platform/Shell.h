#pragma once

#include <QImage>
#include <QString>

// The desktop shell: opening a file or link with its standard application,
// running a program with arguments, and icons of files. Results use the
// shell-execute convention: above 32 is success, 2 is "file not found".
class Shell
{
public:
    struct Result {
        int code = 0;
        QString errorText; // the system's text for the failure
        bool ok() const { return code > 32; }
    };
    static constexpr int Success = 42;
    static constexpr int FileNotFound = 2;
    static constexpr int PathNotFound = 3;
    static constexpr int AccessDenied = 5;
    static constexpr int NoAssociation = 31;

    virtual ~Shell() = default;

    // Opens a file path, a "file:" link or a URL with its standard application.
    virtual Result open(const QString &target) = 0;
    // Runs program with one parameter (already quoted as the caller wants it).
    virtual Result run(const QString &program, const QString &parameter) = 0;
    // Icon number index stored in the file itself (an icon file, a Windows
    // program or library), or the icon the desktop gives the program; a null
    // image when there is none.
    virtual QImage iconOfFile(const QString &path, int index = 0) = 0;
};
