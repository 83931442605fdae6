#pragma once

#include "spell/AbstractSpeller.h"

#include <QByteArray>
#include <QString>

// Language identifiers (Windows LCIDs) as the spellers and the language
// selector need them: names, default code pages and font character sets.
// Names come from ICU's LCID table and display names.

// Form of a language name in captions and lists.
enum class TLangOption { loLocalized, loEnglish, loNative, loAbbrev };

// loLocalized: in the user's locale ("German (Germany)" for 1031 in English),
// loEnglish: in English, loNative: in the language itself ("Deutsch
// (Deutschland)"), loAbbrev: the upper-case three-letter ISO code ("DEU").
// Empty for an identifier ICU does not know.
QString GetLanguageName(TLanguage language, TLangOption option);

// The language's default 8-bit code page (1252 for most western languages);
// the ANSI code page for language 0.
int LanguageCodePage(TLanguage language);

// The font character set of LanguageCodePage (0 ANSI, 204 Cyrillic …).
int LanguageCharset(TLanguage language);

// The identifier of an ICU or POSIX locale name ("de_DE", "en-GB"); 0 when unknown.
TLanguage LanguageOfLocaleName(const QString &localeName);
