#pragma once

#include "spell/AbstractSpeller.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class Registry;

// The ispell installation: a folder named by the registry value
// ISpellAppPathKey\Path, holding one subfolder per dictionary group, each
// with an "ispell.ini" whose sections describe dictionaries:
//   [name]            empty name: the folder's name
//   LangNo=1031       Windows language identifier; 0 or missing: none
//   Cmd=…             starts ispell in pipe mode; "%DirISpell%ispell" stands
//                     for the installation folder without its separator
//   Charset=UTF-8     character set of the dictionary
//   Surrogate=, Flag= kept with the entry
namespace ISpellIni {

extern const QString AppPathKey;
extern const QString PathValue;
extern const QString FileName;     // "ispell.ini"
extern const QString DirPlaceholder; // "%DirISpell%ispell"

struct Entry {
    QString name;      // section name, or the folder's name for an empty one
    QString folder;    // the dictionary folder's name
    TLanguage langNo = 0;
    QString cmd;
    QString charset;
    QString surrogate; // "-" when empty
    QString flag;      // the folder's name when missing
};

// The installation folder with a trailing separator; nullopt when the
// registry does not name one, an empty string for an empty value.
std::optional<QString> installationFolder(const Registry &registry);

// Sections of one file in file order, read as the system's profile functions
// do: names and keys without regard to case, the first value of a key wins,
// values trimmed and unquoted. Damaged bytes are read as far as they make
// sense; only the first MaximumFileBytes count.
QList<Entry> parse(const QByteArray &bytes, const QString &folder);
QList<Entry> readFile(const QString &path, const QString &folder);
constexpr qint64 MaximumFileBytes = 1024 * 1024;

// Every dictionary of an installation folder: subfolders in name order,
// sections in file order. Unreadable folders and files give nothing.
QList<Entry> scan(const QString &installationFolder);

// Cmd with every placeholder replaced by the folder (without its separator).
QString expandCommand(const QString &cmd, const QString &installationFolder);

} // namespace ISpellIni
