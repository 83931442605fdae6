// Checking a buffer: words against the dictionaries and lists, and the
// layout rules the options switch on (repeated words, spaces, sentence caps).
#include "Session.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <cstring>

namespace proofing {

namespace {

bool isLineBreak(char16_t c)
{
    return c == 0x0d || c == 0x0a || c == 0x0b || c == 0x0c || c == 0x2028 || c == 0x2029;
}

bool isIn(char16_t c, const char *set)
{
    return c < 0x80 && c != 0 && std::strchr(set, char(c));
}

struct Found {
    SC_SCRS status = scrsNoErrors;
    size_t from = 0, to = 0; // UTF-16 range, unless bytes are given
    int byteFrom = -1, byteLength = 0;
    Text replacement;
    ScanState atError, afterError;
};

} // namespace

SC_SEC Session::verify(const char *bytes, size_t length, uint16_t spellState, const Dictionaries &dicts,
                       SC_SRB &srb)
{
    std::vector<int> offsets;
    const Text text = decode(bytes, length, &offsets);
    const size_t n = text.size();
    const void *zero = std::memchr(bytes, 0, length);
    const int byteEnd = zero ? int(static_cast<const char *>(zero) - bytes) : int(length);
    auto byteAt = [&](size_t i) { return i < n ? offsets[i] : byteEnd; };

    ScanState st;
    if (spellState & fssIsContinued) {
        st = m_endState;
        if (m_resume.valid) {
            const std::string &e = m_resume.errorBytes;
            const bool atError = !e.empty() && size_t(byteEnd) >= e.size() && std::memcmp(bytes, e.data(), e.size()) == 0;
            st = atError ? m_resume.atError : m_resume.afterError;
        }
    } else {
        st.sentenceStart = (spellState & fssStartsSentence) != 0;
    }
    st.previousStart = -1;
    m_resume.valid = false;

    auto isWordChar = [&](char16_t c) {
        const int8_t type = u_charType(c);
        return u_isalnum(c) || type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK
               || isSpecial(c, wsc.bHyphenSoft) || U16_IS_SURROGATE(c);
    };
    auto isJoiner = [&](char16_t c) {
        return c == u'\'' || c == u'\u2019' || c == u'-' || isSpecial(c, wsc.bHyphenNonBreaking)
               || isSpecial(c, wsc.bHyphenSoft);
    };

    Found f;
    size_t i = 0;
    while (i < n && f.status == scrsNoErrors) {
        const char16_t c = text[i];
        if (c == u' ') {
            size_t j = i;
            while (j < n && text[j] == u' ')
                ++j;
            const bool followed = j < n && !isLineBreak(text[j]) && text[j] != u'\t';
            if (followed && st.afterNonSpace && (options & soFindSpacesBeforePunc) && isIn(text[j], ")]}>,;%.?!")) {
                f.status = scrsExtraSpaces;
                f.from = i;
                f.to = j + 1;
            } else if (followed && st.afterNonSpace && (options & soFindExtraSpaces)
                       && j - i > (st.afterSentenceEnd ? 2u : 1u)) {
                f.status = scrsExtraSpaces;
                f.from = i;
                f.to = j + 1;
            }
            if (f.status != scrsNoErrors) {
                f.atError = st;
                st.afterNonSpace = false;
                f.afterError = st;
                break;
            }
            st.afterNonSpace = false;
            i = j;
            continue;
        }
        if (isWordChar(c)) {
            // The word: letters and digits, joined by apostrophes and hyphens, and
            // by dots between single letters ("e.g", "z.B").
            size_t j = i, pieceStart = i;
            bool innerDot = false;
            while (j < n) {
                if (isWordChar(text[j])) {
                    ++j;
                    continue;
                }
                if (j + 1 < n && isWordChar(text[j + 1]) && isJoiner(text[j])) {
                    pieceStart = ++j;
                    continue;
                }
                if (j + 1 < n && text[j] == u'.' && j - pieceStart == 1 && u_isalpha(text[j + 1])) {
                    innerDot = true;
                    pieceStart = ++j;
                    continue;
                }
                break;
            }
            Text word;
            int letters = 0;
            for (size_t k = i; k < j; ++k) {
                if (isSpecial(text[k], wsc.bHyphenSoft))
                    continue;
                word += isSpecial(text[k], wsc.bHyphenNonBreaking) ? u'-' : text[k];
                letters += u_isalpha(text[k]) ? 1 : 0;
            }
            const bool followedByDot = j < n && text[j] == u'.';
            // Letters joined by dots ("e.g", "U.S.A") are abbreviations no
            // dictionary lists in full; they pass as they are.
            const Verdict v = innerDot ? Verdict() : judge(word, followedByDot, dicts);
            const Text key = foldCase(word);
            ScanState after = st;
            after.previousWord = letters > 0 ? key : Text();
            after.previousStart = byteAt(i);
            after.previousLength = byteAt(j) - byteAt(i);
            after.wordAdjacent = true;
            after.sentenceStart = false;
            after.afterSentenceEnd = false;
            after.afterNonSpace = true;
            after.dotEndsSentence = letters >= 2 && !innerDot && !v.abbreviation;
            f.atError = st;
            f.afterError = after;
            f.from = i;
            f.to = j;
            if (v.status != scrsNoErrors) {
                f.status = v.status;
                f.replacement = v.replacement;
                if (v.status == scrsReturningChangeAlways || v.status == scrsReturningChangeOnce)
                    f.afterError.previousWord = foldCase(v.replacement);
            } else if ((options & soFindRepeatWord) && st.wordAdjacent && letters > 0 && st.previousWord == key) {
                // The first of the two is reported where it is in this buffer:
                // deleting it with the space after it leaves the text whole.
                f.status = scrsRepeatWord;
                if (st.previousStart >= 0) {
                    f.byteFrom = st.previousStart;
                    f.byteLength = st.previousLength;
                    f.atError.previousWord.clear();
                }
                f.afterError.previousWord.clear();
            } else if ((options & soFindUncappedSentences) && st.sentenceStart && u_islower(word[0])) {
                f.status = scrsNoSentenceStartCap;
            }
            if (f.status != scrsNoErrors)
                break;
            st = after;
            i = j;
            continue;
        }
        if (isLineBreak(c)) {
            st = ScanState();
            st.sentenceStart = true;
            ++i;
            continue;
        }
        if (c == u'\t') {
            st.afterNonSpace = false;
            ++i;
            continue;
        }
        // Punctuation and symbols.
        const bool afterWord = i > 0 && isWordChar(text[i - 1]);
        if ((options & soFindSpacesAfterPunc) && isIn(c, "([{$") && i + 1 < n && text[i + 1] == u' ') {
            size_t k = i + 1;
            while (k < n && text[k] == u' ')
                ++k;
            if (k < n && !isLineBreak(text[k]) && text[k] != u'\t') {
                f.status = scrsExtraSpaces;
                f.from = i + 1;
                f.to = k + 1;
                f.atError = st;
                f.afterError = st;
                f.afterError.afterNonSpace = false;
                break;
            }
        }
        const bool sentenceEnd = c == u'!' || c == u'?' || (c == u'.' && afterWord && st.dotEndsSentence);
        if ((options & soFindMissingSpaces) && isIn(c, ".,;:!?") && afterWord && i + 1 < n && u_isalpha(text[i + 1])
            && (c != u'.' || (sentenceEnd && u_isupper(text[i + 1])))) {
            f.status = scrsMissingSpace;
            f.from = i;
            f.to = i + 1;
            f.atError = st;
        }
        if (sentenceEnd) {
            st.sentenceStart = true;
            st.afterSentenceEnd = true;
        } else if (!isIn(c, "\"')]}") && c != u'\u201d' && c != u'\u2019' && c != u'\u00bb') {
            st.afterSentenceEnd = false; // closing quotes keep a sentence end
        }
        st.wordAdjacent = false;
        st.afterNonSpace = true;
        st.dotEndsSentence = false;
        if (f.status != scrsNoErrors) {
            f.afterError = st;
            break;
        }
        ++i;
    }

    srb.csz = 0;
    srb.cchMac = 0;
    srb.lrgsz[0] = 0;
    if (srb.cch >= 2)
        srb.lrgsz[1] = 0;
    if (f.status == scrsNoErrors) {
        m_endState = st;
        srb.scrs = scrsNoErrors;
        srb.ichError = 0;
        srb.cchError = 0;
        return secNOERRORS;
    }
    const int from = f.byteFrom >= 0 ? f.byteFrom : byteAt(f.from);
    const int len = f.byteFrom >= 0 ? f.byteLength : byteAt(f.to) - from;
    srb.scrs = f.status;
    srb.ichError = uint16_t(from);
    srb.cchError = uint16_t(len);
    if (!f.replacement.empty()) {
        std::string r;
        if (encode(f.replacement, r) && r.size() + 2 <= srb.cch) {
            std::memcpy(srb.lrgsz, r.data(), r.size());
            srb.lrgsz[r.size()] = 0;
            srb.lrgsz[r.size() + 1] = 0;
            srb.csz = 1;
            srb.cchMac = uint16_t(r.size() + 1);
        } else {
            srb.scrs = scrsMoreInfoThanBufferCouldHold;
        }
    }
    m_resume.valid = true;
    m_resume.errorBytes.assign(bytes + from, size_t(len));
    m_resume.atError = f.atError;
    m_resume.afterError = f.afterError;
    m_resume.atError.previousStart = m_resume.afterError.previousStart = -1;
    m_endState = f.afterError;
    return secNOERRORS;
}

} // namespace proofing
