#pragma once

#include <QString>
#include <QStringList>

// Where the program finds the files it ships and where it keeps the files it
// writes ("Quilmar.ini", "insert.ini", the registry store, user dictionaries).
// Run from its build folder both are the program's own folder. Installed
// (shipped files under <prefix>/share/quilmar) or in a folder it may not
// write, the written files live in <config home>/quilmar, seeded from the
// shipped defaults.
struct ProgramFolders {
    QString programDir; // shipped files; ends with a separator
    QString userDir;    // written files; ends with a separator

    // executableDir: the program's folder; configHome: $XDG_CONFIG_HOME or
    // its default, ~/.config.
    static ProgramFolders locate(const QString &executableDir, const QString &configHome);
    // The user's configuration folder by the XDG rules.
    static QString configHome();

    bool isSeparate() const { return programDir != userDir; }
    // Creates userDir and copies each of the shipped files there that it does
    // not hold yet. False with the reason when the folder cannot be made.
    bool seed(const QStringList &shippedFiles, QString *error = nullptr) const;
};
