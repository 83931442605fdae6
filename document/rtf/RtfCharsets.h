#pragma once

// RTF \fcharset values and the Windows code pages their text is written in.
namespace RtfCharsets {

constexpr int Ansi = 0;
constexpr int Default = 1;
constexpr int Symbol = 2;

// Symbol fonts hold glyph numbers, not characters: byte b is U+F000 + b.
constexpr int SymbolCodePage = -2;

// The code page of a font charset: ANSI is Windows-1252 as Word reads it,
// symbol fonts SymbolCodePage; the document's code page for the default and
// unknown charsets.
int codePage(int charset, int ansiCodePage);

// The code page itself when it can be converted here, a stand-in for a Mac
// page ICU lacks (Mac Arabic, Hebrew, Thai, …), 0 otherwise.
int readableCodePage(int codePage);

// The charset RichEdit names for fonts whose text is in a code page
// (1251 gives 204); Ansi for code pages without one of their own.
int charsetForCodePage(int codePage);

// True for code pages whose characters take more than one byte (932, 936, …).
bool isMultiByte(int codePage);

} // namespace RtfCharsets
