#pragma once
// Where the office speller's languages live in the registry, and their
// registration for the hunspell dictionaries installed on this machine.

#include "spell/AbstractSpeller.h"

#include <QString>
#include <QStringList>

class Registry;

namespace OfficeLanguages {

// "…\Proofing Tools\Spelling": one subkey per language identifier.
QString spellingKey();
// "…\Spelling\<language>\Normal" with the values "Engine" and "Dictionary".
QString languageKey(TLanguage language);
// "…\Proofing Tools\Custom Dictionaries" with the user dictionary as value "1".
QString customDictionariesKey();

// The language identifier of a dictionary named after its locale
// ("de_DE.dic": 1031, "fr.dic": 1036); 0 when the locale has none.
TLanguage languageOfDictionary(const QString &dicPath);

// Folders where Debian and most systems install hunspell dictionaries.
QStringList hunspellDirectories();

// Registers engine with every dictionary (.dic with its .aff) in the folders
// whose locale has a language identifier, the first folder winning. Keys of
// another engine whose files exist are left alone; keys of this engine whose
// dictionary is gone are removed. True when the registry changed.
bool registerHunspellDictionaries(Registry &registry, const QString &engine, const QStringList &folders);

} // namespace OfficeLanguages
