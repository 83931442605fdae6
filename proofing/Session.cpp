#include "Session.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>

namespace proofing {

namespace {

// Suggestions handed out a call; the rest come with "suggest more".
constexpr size_t SuggestionBatch = 5;

bool isRomanNumeral(const Text &word)
{
    if (word.empty())
        return false;
    const Text w = upperCase(word);
    if (w != word && lowerCase(word) != word)
        return false; // mixed case is a word, not a numeral
    // Greedy parse of a well-formed numeral up to MMMM.
    static const struct { const char16_t *s; } parts[] = {
        {u"M"}, {u"CM"}, {u"D"}, {u"CD"}, {u"C"}, {u"XC"}, {u"L"}, {u"XL"}, {u"X"}, {u"IX"}, {u"V"}, {u"IV"}, {u"I"}};
    static const int repeats[] = {4, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 3};
    size_t i = 0;
    for (size_t p = 0; p < 13; ++p) {
        const Text part = parts[p].s;
        for (int r = 0; r < repeats[p] && w.compare(i, part.size(), part) == 0; ++r)
            i += part.size();
    }
    return i == w.size();
}

bool isAllCaps(const Text &word)
{
    bool letter = false;
    for (char16_t c : word) {
        if (u_isalpha(c)) {
            letter = true;
            if (u_islower(c))
                return false;
        }
    }
    return letter;
}

// Damerau-style distance, bounded: enough to offer user words close to a typo.
int distance(const Text &a, const Text &b, int limit)
{
    if (int(a.size()) - int(b.size()) > limit || int(b.size()) - int(a.size()) > limit)
        return limit + 1;
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = int(i);
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = int(j);
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

Text capitalised(const Text &word)
{
    if (word.empty())
        return word;
    return upperCase(word.substr(0, 1)) + word.substr(1);
}

} // namespace

Session::Session(const SC_WSC &w) : wsc(w), m_converter(std::make_unique<Converter>(1252)) {}

void Session::setCodePage(int codePage)
{
    auto conv = std::make_unique<Converter>(codePage);
    if (conv->isValid())
        m_converter = std::move(conv);
    m_codePageSet = true;
}

Text Session::decode(const char *bytes, size_t length, std::vector<int> *offsets)
{
    const void *zero = bytes ? std::memchr(bytes, 0, length) : nullptr;
    if (zero)
        length = size_t(static_cast<const char *>(zero) - bytes);
    return m_converter->decode(bytes, length, offsets);
}

bool Session::isSpecial(char16_t c, SC_BYTE wscByte) const
{
    return wscByte != wsc.bIgnore && wscByte < 0x80 && c == char16_t(wscByte);
}

bool Session::accepts(const Text &word, const Dictionaries &dicts)
{
    if (ignoreAlways.count(word) || ignoreAlways.count(lowerCase(word)))
        return true;
    for (const UserDictionary *u : dicts.users)
        if (u->accepts(word))
            return true;
    for (MainDictionary *m : dicts.mains)
        if (m->spell(word))
            return true;
    return false;
}

Session::Verdict Session::judge(const Text &word, bool followedByDot, const Dictionaries &dicts)
{
    Verdict v;
    bool letter = false, digit = false;
    for (char16_t c : word) {
        letter = letter || u_isalpha(c);
        digit = digit || u_isdigit(c);
    }
    if (!letter)
        return v; // numbers are never misspelt
    if ((options & soFindInitialNumerals) && u_isdigit(word[0])) {
        v.status = scrsInitialNumeral;
        return v;
    }
    if (auto it = changeAlways.find(word); it != changeAlways.end()) {
        v.status = scrsReturningChangeAlways;
        v.replacement = it->second;
        return v;
    }
    if (auto it = changeOnce.find(word); it != changeOnce.end()) {
        v.status = scrsReturningChangeOnce;
        v.replacement = it->second;
        return v;
    }
    if (((options & soIgnoreMixedDigits) && digit) || ((options & soIgnoreAllCaps) && isAllCaps(word))
        || ((options & soIgnoreRomanNumerals) && isRomanNumeral(word)))
        return v;
    if (word.size() > MaximumWordLength) {
        v.status = scrsUnknownInputWord;
        return v;
    }
    if (accepts(word, dicts))
        return v;
    Text apostrophe = word;
    std::replace(apostrophe.begin(), apostrophe.end(), u'\u2019', u'\'');
    if (apostrophe != word && accepts(apostrophe, dicts))
        return v;
    if (followedByDot && accepts(word + u'.', dicts)) {
        v.abbreviation = true;
        return v;
    }
    if (u_islower(word[0]) && word.size() > 1 && accepts(capitalised(word), dicts)) {
        v.status = scrsErrorCapitalization;
        return v;
    }
    v.status = scrsUnknownInputWord;
    return v;
}

SC_SEC Session::suggest(const char *bytes, size_t length, uint16_t spellState, const Dictionaries &dicts, SC_SRB &srb)
{
    m_suggestions.clear();
    m_nextSuggestion = 0;
    Text word = decode(bytes, length);
    while (!word.empty() && (word.back() == u' ' || word.back() == u'\t'))
        word.pop_back();
    std::vector<Text> found;
    if (!word.empty() && word.size() <= MaximumWordLength) {
        if (auto it = changeAlways.find(word); it != changeAlways.end())
            found.push_back(it->second);
        if (auto it = changeOnce.find(word); it != changeOnce.end())
            found.push_back(it->second);
        for (MainDictionary *m : dicts.mains)
            for (Text &s : m->suggest(word))
                found.push_back(std::move(s));
        if (options & soSuggestFromUserDict) {
            const int limit = word.size() <= 4 ? 1 : 2;
            const Text lower = lowerCase(word);
            for (const UserDictionary *u : dicts.users)
                for (const Text &w : u->words())
                    if (distance(lower, lowerCase(w), limit) <= limit)
                        found.push_back(w);
        }
    }
    std::set<Text> seen;
    for (Text s : found) {
        if (spellState & fssStartsSentence)
            s = capitalised(s);
        std::string bytesOut;
        if (s.empty() || !seen.insert(s).second || !encode(s, bytesOut) || bytesOut.empty()
            || bytesOut.find('\0') != std::string::npos)
            continue;
        m_suggestions.push_back(bytesOut);
    }
    fillBatch(srb);
    return secNOERRORS;
}

SC_SEC Session::suggestMore(SC_SRB &srb)
{
    fillBatch(srb);
    return secNOERRORS;
}

// Puts the next suggestions into the caller's buffer as "w\0w\0…\0\0". Every
// call either hands out at least one suggestion or reports that none are
// left; one too long for the buffer is dropped, so a caller that loops until
// scrsNoMoreSuggestions always ends.
void Session::fillBatch(SC_SRB &srb)
{
    srb.csz = 0;
    srb.cchMac = 0;
    srb.ichError = 0;
    srb.cchError = 0;
    if (srb.cch >= 1)
        srb.lrgsz[0] = 0;
    if (srb.cch >= 2)
        srb.lrgsz[1] = 0;
    size_t used = 0;
    while (m_nextSuggestion < m_suggestions.size() && srb.csz < SuggestionBatch) {
        const std::string &s = m_suggestions[m_nextSuggestion];
        if (used + s.size() + 2 > srb.cch) {
            if (srb.csz > 0)
                break;
            ++m_nextSuggestion; // can never fit
            continue;
        }
        std::memcpy(srb.lrgsz + used, s.data(), s.size());
        used += s.size();
        srb.lrgsz[used++] = 0;
        srb.lrgsz[used] = 0;
        if (srb.lrgbRating && srb.csz < srb.cbRate)
            srb.lrgbRating[srb.csz] = SC_BYTE(255 - std::min<size_t>(m_nextSuggestion * 10, 250));
        ++srb.csz;
        ++m_nextSuggestion;
    }
    srb.cchMac = uint16_t(used);
    srb.scrs = srb.csz > 0 ? scrsNoErrors : scrsNoMoreSuggestions;
}

} // namespace proofing
