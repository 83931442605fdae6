#pragma once
// One speller session (SpellInit … SpellTerminate): its dictionaries, its
// word lists, its options and what a continued check needs from the last one.

#include "Dictionaries.h"
#include "SpellApi.h"
#include "TextCoding.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace proofing {

// Where the text stood at a point of a check: what decides repeated words,
// sentence starts and extra spaces in the text that follows.
struct ScanState {
    Text previousWord;        // case-folded; empty: nothing to repeat
    int previousStart = -1;   // byte position in the current buffer, -1 before it
    int previousLength = 0;
    bool wordAdjacent = false; // only spaces since previousWord
    bool sentenceStart = false;
    bool afterSentenceEnd = false;
    bool afterNonSpace = false;
    bool dotEndsSentence = false; // a '.' right here would end a sentence
};

struct Dictionaries {
    std::vector<MainDictionary *> mains;
    std::vector<const UserDictionary *> users;
};

class Session
{
public:
    explicit Session(const SC_WSC &wsc);

    SC_WSC wsc;
    int32_t options = 0;
    std::map<SC_MDR, std::unique_ptr<MainDictionary>> mains;
    std::map<SC_UDR, std::unique_ptr<UserDictionary>> users;
    std::set<Text> ignoreAlways;
    std::map<Text, Text> changeOnce;
    std::map<Text, Text> changeAlways;

    // The code page of 8-bit text; set by the first main dictionary opened.
    void setCodePage(int codePage);
    Converter &converter() { return *m_converter; }
    bool hasCodePage() const { return m_codePageSet; }

    // The text up to its first zero byte within length, decoded.
    Text decode(const char *bytes, size_t length, std::vector<int> *offsets = nullptr);
    bool encode(const Text &text, std::string &out) { return m_converter->encode(text, out); }

    SC_SEC verify(const char *bytes, size_t length, uint16_t spellState, const Dictionaries &dicts, SC_SRB &srb);
    SC_SEC suggest(const char *bytes, size_t length, uint16_t spellState, const Dictionaries &dicts, SC_SRB &srb);
    SC_SEC suggestMore(SC_SRB &srb);

private:
    struct Verdict {
        SC_SCRS status = scrsNoErrors;
        Text replacement;
        bool abbreviation = false; // accepted only with the '.' after it
    };
    struct Resume {
        bool valid = false;
        std::string errorBytes;
        ScanState atError;    // the check restarts at the error (after Add or Delete)
        ScanState afterError; // the check goes on after the error (Skip, Change)
    };
    Verdict judge(const Text &word, bool followedByDot, const Dictionaries &dicts);
    bool accepts(const Text &word, const Dictionaries &dicts);
    bool isSpecial(char16_t c, SC_BYTE wscByte) const;
    void fillBatch(SC_SRB &srb);

    std::unique_ptr<Converter> m_converter;
    bool m_codePageSet = false;
    ScanState m_endState;
    Resume m_resume;
    std::vector<std::string> m_suggestions;
    size_t m_nextSuggestion = 0;
};

} // namespace proofing
