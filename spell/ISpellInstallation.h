#pragma once

#include "spell/AbstractSpeller.h"

#include <QList>
#include <QString>
#include <QStringList>

class Registry;

// Keeps the ispell installation in step with the ispell dictionaries of this
// machine: the registry names the installation folder, and each dictionary
// gets a folder with an ispell.ini that starts the real ispell for it.
// Folders a user added, and files whose marker line a user removed, are
// never touched.
namespace ISpellInstallation {

struct Dictionary {
    QString name;     // ispell's dictionary name ("american"): folder and section
    TLanguage langNo = 0;
    QString charset;  // how the words travel on the pipe ("UTF-8", "iso-8859-1")
    QString cmd;      // full command line, pipe mode included
    QString description;
};

struct Sources {
    QString ispellProgram;  // the ispell program; empty: none installed
    QString libraryFolder;  // its .hash and .aff files
    QString infoFolder;     // Debian's description files of ispell dictionaries
};
// Where this machine keeps ispell and its dictionaries.
Sources systemSources();

// Dictionaries whose hash file exists, described from the info files (their
// 8-bit or UTF-8 variant) or, without one, from the affix file's name alone.
QList<Dictionary> findDictionaries(const Sources &sources);

// First line of every ispell.ini written here.
extern const QString MarkerLine;

// The ispell.ini text for a dictionary.
QByteArray iniText(const Dictionary &dictionary);

struct Result {
    QString folder;         // the installation folder in use
    bool registryChanged = false;
    QStringList problems;   // files or folders that could not be written
};
// Names defaultFolder in the registry when no folder is named there, then
// writes, rewrites or removes the ispell.ini files it owns in the named
// folder. The caller saves the registry when registryChanged.
Result refresh(Registry &registry, const QString &defaultFolder, const QList<Dictionary> &dictionaries);

} // namespace ISpellInstallation
