#pragma once
// Conversions between the 8-bit text callers hand in, UTF-16 for judging
// words, and the encodings hunspell dictionaries declare. ICU based; every
// function fails softly (empty result or false), never throws.

#include <string>
#include <vector>

namespace proofing {

using Text = std::u16string;

// Windows ANSI code page of a language identifier (1252 when unknown).
int codePageOfLanguage(unsigned lid);
// Windows language identifier of a locale name such as "de_DE" or "fr"; 0 when none.
unsigned languageOfLocale(const std::string &locale);

// One ICU converter; not shareable between threads.
class Converter
{
public:
    // A Windows code page number.
    explicit Converter(int codePage);
    // An encoding name as a dictionary states it ("UTF-8", "ISO8859-1", "microsoft-cp1251").
    explicit Converter(const std::string &encoding);
    ~Converter();
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const { return m_conv != nullptr; }
    // Decodes bytes; offsets (optional) receives the source byte index of each
    // UTF-16 unit. Undefined bytes become U+FFFD.
    Text decode(const char *bytes, size_t length, std::vector<int> *offsets = nullptr);
    // Encodes strictly: false when a character has no form in the encoding.
    bool encode(const Text &text, std::string &out);

private:
    void *m_conv = nullptr;
};

Text utf8ToText(const std::string &utf8, bool *valid = nullptr);
std::string textToUtf8(const Text &text);

// Case helpers over whole strings (root locale).
Text lowerCase(const Text &text);
Text upperCase(const Text &text);
Text foldCase(const Text &text);

} // namespace proofing
