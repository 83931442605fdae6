#pragma once
// The two kinds of dictionary a speller session opens: a hunspell main
// dictionary (the .dic with its .aff beside it) and a user dictionary file.

#include "SpellApi.h"
#include "TextCoding.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class Hunspell;

namespace proofing {

// Words longer than this are never found in a dictionary; hunspell itself
// gives up near this length, and suggestions for them would only cost time.
constexpr size_t MaximumWordLength = 100;

class MainDictionary
{
public:
    ~MainDictionary();
    // Checks the files before hunspell reads them (an empty, binary or
    // count-less .dic, a missing .aff); secNOERRORS or the error to return.
    static SC_SEC open(const std::string &dicPath, std::unique_ptr<MainDictionary> &result);

    // The language the file name states (de_DE.dic: 1031), 0 when none.
    unsigned language() const { return m_language; }
    bool spell(const Text &word);
    std::vector<Text> suggest(const Text &word);

private:
    MainDictionary() = default;
    bool toDictionary(const Text &word, std::string &out);

    std::unique_ptr<Hunspell> m_hunspell;
    std::unique_ptr<Converter> m_encoding;
    unsigned m_language = 0;
};

// A word list kept in a text file, one word a line, UTF-8. Every added word
// is written at once, so another process opening the file sees it.
class UserDictionary
{
public:
    // Reads the file, creating it when asked; lines that are not UTF-8 are read
    // in the session's code page (a list written by another program).
    SC_SEC open(const std::string &path, bool create, Converter &fallback);

    bool isReadOnly() const { return m_readOnly; }
    // The word as written, or its lower-case form: a word added in lower case
    // is accepted capitalised too.
    bool accepts(const Text &word) const;
    SC_SEC add(const Text &word);
    SC_SEC remove(const Text &word);
    SC_SEC clear();
    const std::vector<Text> &words() const { return m_order; }

private:
    SC_SEC rewrite();

    std::string m_path;
    bool m_readOnly = false;
    std::set<Text> m_words;
    std::vector<Text> m_order;
};

} // namespace proofing
