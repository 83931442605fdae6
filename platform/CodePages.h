#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// Windows code pages on top of ICU: the ANSI code page, the list of code pages
// this machine can convert, and conversions both ways. Thread-safe.
namespace CodePages {

constexpr int Utf8 = 65001;
constexpr int Utf7 = 65000;

// The system's active 8-bit code page: QUILMAR_ACP when set, otherwise
// derived from the locale's language (1252 for most western languages).
int ansiCodePage();
// Overrides the ANSI code page for this process (tests); 0 restores the default.
void setAnsiCodePageOverride(int codePage);

// Every Windows code page that can be converted here, ascending.
QList<int> installedCodePages();
bool isInstalled(int codePage);
// The ICU converter name used for a Windows code page, empty when unknown.
QString converterName(int codePage);

// Bytes in a code page to UTF-16. Bytes the code page does not define map to
// characters that convert back to the same bytes, so nothing is lost.
// An unknown code page decodes as the ANSI code page.
QString toUnicode(int codePage, QByteArrayView bytes);

// UTF-16 to bytes. Characters the code page lacks become its default
// character ('?'); *lossy is set when that happened.
QByteArray fromUnicode(int codePage, QStringView text, bool *lossy = nullptr);
// The same, with every U+2029 (paragraph separator) written as paragraphEnd.
QByteArray fromUnicode(int codePage, QStringView text, bool *lossy, QByteArrayView paragraphEnd);

// True when every character of text survives fromUnicode(codePage) unchanged.
bool canEncode(int codePage, QStringView text);

} // namespace CodePages
