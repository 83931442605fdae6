// The exported entry points. Every pointer and length a caller hands in is
// checked before use, and no C++ exception leaves the library.
#include "SpellApi.h"
#include "Session.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

using namespace proofing;

namespace {

// Longer paths or words are refused rather than read beyond a missing zero.
constexpr size_t MaximumPath = 4096;
constexpr size_t MaximumEntry = 255;
constexpr uint16_t MaximumDictionaries = 64;

std::mutex g_mutex;
std::map<SC_SPLID, std::unique_ptr<Session>> g_sessions;
SC_SPLID g_nextSession = 1;
uint32_t g_nextHandle = 1;

SC_SEC invalid(SC_SEC minor) { return SC_SEC(secModuleError | minor); }

Session *sessionOf(SC_SPLID id)
{
    const auto it = g_sessions.find(id);
    return it == g_sessions.end() ? nullptr : it->second.get();
}

// A zero-terminated string of at most max bytes, or false.
bool readString(const char *s, size_t max, std::string &out)
{
    if (!s)
        return false;
    const void *zero = std::memchr(s, 0, max + 1);
    if (!zero)
        return false;
    out.assign(s, static_cast<const char *>(zero));
    return true;
}

// Handles never collide with the reserved list references.
uint32_t newHandle()
{
    if (g_nextHandle >= udrChangeOnce && g_nextHandle <= udrIgnoreAlways)
        g_nextHandle = udrIgnoreAlways + 1;
    if (g_nextHandle == 0)
        g_nextHandle = 1;
    return g_nextHandle++;
}

template <typename F>
SC_SEC guarded(F f)
{
    try {
        std::lock_guard<std::mutex> lock(g_mutex);
        return f();
    } catch (const std::bad_alloc &) {
        return secOOM;
    } catch (...) {
        return invalid(0);
    }
}

bool validSrb(const SC_SRB *srb)
{
    return srb && srb->lrgsz && srb->cch >= 2 && (srb->cbRate == 0 || srb->lrgbRating);
}

SC_SEC dictionariesOf(Session &s, const SC_SIB &sib, Dictionaries &d)
{
    if (sib.cMdr > MaximumDictionaries || sib.cUdr > MaximumDictionaries)
        return invalid(sib.cMdr > MaximumDictionaries ? secMdrCountExceeded : secUdrCountExceeded);
    if ((sib.cMdr && !sib.lrgMdr) || (sib.cUdr && !sib.lrgUdr))
        return invalid(0);
    for (uint16_t i = 0; i < sib.cMdr; ++i) {
        const auto it = s.mains.find(sib.lrgMdr[i]);
        if (it == s.mains.end())
            return invalid(secInvalidMdr);
        d.mains.push_back(it->second.get());
    }
    for (uint16_t i = 0; i < sib.cUdr; ++i) {
        if (sib.lrgUdr[i] >= udrChangeOnce && sib.lrgUdr[i] <= udrIgnoreAlways)
            continue; // the session's lists are always consulted
        const auto it = s.users.find(sib.lrgUdr[i]);
        if (it == s.users.end())
            return invalid(secInvalidUdr);
        d.users.push_back(it->second.get());
    }
    return secNOERRORS;
}

bool validEntry(const Text &t)
{
    if (t.empty() || t.size() > MaximumEntry)
        return false;
    for (char16_t c : t)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

} // namespace

extern "C" {

SC_SEC SpellVer(SC_WORD *version, SC_WORD *engine, SC_WORD *type)
{
    if (!version || !engine || !type)
        return invalid(0);
    *version = 0x0300;
    *engine = 0; // none of the registered vendors
    *type = 0;
    return secNOERRORS;
}

SC_SEC SpellInit(SC_SPLID *splid, SC_WSC *wsc)
{
    if (!splid || !wsc)
        return invalid(wsc ? 0 : secInvalidWsc);
    return guarded([&]() -> SC_SEC {
        SC_SPLID id = g_nextSession++;
        if (id == 0)
            id = g_nextSession++;
        g_sessions[id] = std::make_unique<Session>(*wsc);
        *splid = id;
        return secNOERRORS;
    });
}

SC_SEC SpellOptions(SC_SPLID splid, int32_t options)
{
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        s->options = options;
        return secNOERRORS;
    });
}

SC_SEC SpellCheck(SC_SPLID splid, SC_CC command, LPSC_SIB sib, LPSC_SRB srb)
{
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        if (command == sccSuggestMore) {
            if (!validSrb(srb))
                return invalid(0);
            return s->suggestMore(*srb);
        }
        if (command != sccVerifyWord && command != sccVerifyBuffer && command != sccSuggest)
            return invalid(secInvalidSCC);
        if (!sib || !validSrb(srb) || (sib->cch && !sib->lrgch))
            return invalid(0);
        Dictionaries dicts;
        if (const SC_SEC e = dictionariesOf(*s, *sib, dicts))
            return e;
        const char *text = sib->cch ? sib->lrgch : "";
        if (command == sccSuggest)
            return s->suggest(text, sib->cch, sib->wSpellState, dicts, *srb);
        return s->verify(text, sib->cch, command == sccVerifyWord ? 0 : sib->wSpellState, dicts, *srb);
    });
}

SC_SEC SpellTerminate(SC_SPLID splid, SC_BOOL force)
{
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        if (!force && (!s->mains.empty() || !s->users.empty()))
            return invalid(secModuleNotTerminated);
        g_sessions.erase(splid);
        return secNOERRORS;
    });
}

SC_SEC SpellVerifyMdr(LPSC_PATH mdrPath, SC_LID expected, SC_LID *found)
{
    std::string path;
    if (!readString(mdrPath, MaximumPath, path) || !found)
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        std::unique_ptr<MainDictionary> dict;
        if (const SC_SEC e = MainDictionary::open(path, dict))
            return e;
        *found = SC_LID(dict->language() ? dict->language() : expected);
        return secNOERRORS;
    });
}

SC_SEC SpellOpenMdr(SC_SPLID splid, LPSC_PATH mdrPath, LPSC_PATH exclusionPath, SC_BOOL createExclusion,
                    SC_BOOL cache, SC_LID expected, LPSC_MDRS mdrs)
{
    (void)exclusionPath;
    (void)createExclusion;
    (void)cache; // hunspell keeps every dictionary in memory anyway
    std::string path;
    if (!readString(mdrPath, MaximumPath, path) || !mdrs)
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        std::unique_ptr<MainDictionary> dict;
        if (const SC_SEC e = MainDictionary::open(path, dict))
            return e;
        const unsigned lid = dict->language() ? dict->language() : expected;
        // The caller's 8-bit text is in its language's code page.
        if (!s->hasCodePage())
            s->setCodePage(codePageOfLanguage(expected && expected != 0xffff ? expected : lid));
        const SC_MDR h = newHandle();
        s->mains[h] = std::move(dict);
        mdrs->mdr = h;
        mdrs->sclid = SC_LID(lid);
        mdrs->udrExc = 0;
        return secNOERRORS;
    });
}

SC_SEC SpellOpenUdr(SC_SPLID splid, LPSC_PATH udrPath, SC_BOOL create, SC_WORD udrProperty, SC_UDR *udr,
                    SC_BOOL *readOnly)
{
    std::string path;
    if (!readString(udrPath, MaximumPath, path) || path.empty() || !udr)
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        if (udrProperty != udrIgnoreAlways)
            return invalid(secOperNotMatchedUserDict);
        auto dict = std::make_unique<UserDictionary>();
        if (const SC_SEC e = dict->open(path, create != 0, s->converter()))
            return e;
        if (readOnly)
            *readOnly = dict->isReadOnly() ? 1 : 0;
        const SC_UDR h = newHandle();
        s->users[h] = std::move(dict);
        *udr = h;
        return secNOERRORS;
    });
}

SC_SEC SpellAddUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word)
{
    std::string w;
    if (!readString(word, MaximumEntry, w))
        return invalid(word ? secUdrEntryTooLong : 0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        const Text t = s->decode(w.data(), w.size());
        if (!validEntry(t))
            return invalid(secInvalidUdrEntry);
        if (udr == udrIgnoreAlways) {
            s->ignoreAlways.insert(t);
            return secNOERRORS;
        }
        if (udr == udrChangeOnce || udr == udrChangeAlways)
            return invalid(secOperNotMatchedUserDict);
        const auto it = s->users.find(udr);
        return it == s->users.end() ? invalid(secInvalidUdr) : it->second->add(t);
    });
}

SC_SEC SpellAddChangeUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word, SC_CHAR *change)
{
    std::string w, c;
    if (!readString(word, MaximumEntry, w) || !readString(change, MaximumEntry, c))
        return invalid(word && change ? secUdrEntryTooLong : 0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        if (udr != udrChangeOnce && udr != udrChangeAlways)
            return invalid(s->users.count(udr) ? secOperNotMatchedUserDict : secInvalidUdr);
        const Text from = s->decode(w.data(), w.size());
        const Text to = s->decode(c.data(), c.size());
        if (!validEntry(from) || !validEntry(to))
            return invalid(secInvalidUdrEntry);
        (udr == udrChangeOnce ? s->changeOnce : s->changeAlways)[from] = to;
        return secNOERRORS;
    });
}

SC_SEC SpellDelUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word)
{
    std::string w;
    if (!readString(word, MaximumEntry, w))
        return invalid(word ? secUdrEntryTooLong : 0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        const Text t = s->decode(w.data(), w.size());
        switch (udr) {
        case udrIgnoreAlways: s->ignoreAlways.erase(t); return secNOERRORS;
        case udrChangeOnce: s->changeOnce.erase(t); return secNOERRORS;
        case udrChangeAlways: s->changeAlways.erase(t); return secNOERRORS;
        default: break;
        }
        const auto it = s->users.find(udr);
        return it == s->users.end() ? invalid(secInvalidUdr) : it->second->remove(t);
    });
}

SC_SEC SpellClearUdr(SC_SPLID splid, SC_UDR udr)
{
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        switch (udr) {
        case udrIgnoreAlways: s->ignoreAlways.clear(); return secNOERRORS;
        case udrChangeOnce: s->changeOnce.clear(); return secNOERRORS;
        case udrChangeAlways: s->changeAlways.clear(); return secNOERRORS;
        default: break;
        }
        const auto it = s->users.find(udr);
        return it == s->users.end() ? invalid(secInvalidUdr) : it->second->clear();
    });
}

namespace {

// The entries of a dictionary or list; a change list gives word and replacement.
std::vector<Text> entriesOf(Session &s, SC_UDR udr, bool *found)
{
    std::vector<Text> out;
    *found = true;
    if (udr == udrIgnoreAlways)
        return std::vector<Text>(s.ignoreAlways.begin(), s.ignoreAlways.end());
    if (udr == udrChangeOnce || udr == udrChangeAlways) {
        for (const auto &p : udr == udrChangeOnce ? s.changeOnce : s.changeAlways) {
            out.push_back(p.first);
            out.push_back(p.second);
        }
        return out;
    }
    const auto it = s.users.find(udr);
    if (it == s.users.end()) {
        *found = false;
        return out;
    }
    return it->second->words();
}

} // namespace

SC_SEC SpellGetSizeUdr(SC_SPLID splid, SC_UDR udr, int32_t *count)
{
    if (!count)
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        bool found = false;
        const std::vector<Text> entries = entriesOf(*s, udr, &found);
        if (!found)
            return invalid(secInvalidUdr);
        const bool pairs = udr == udrChangeOnce || udr == udrChangeAlways;
        *count = int32_t(pairs ? entries.size() / 2 : entries.size());
        return secNOERRORS;
    });
}

SC_SEC SpellGetListUdr(SC_SPLID splid, SC_UDR udr, SC_WORD first, LPSC_SRB srb)
{
    if (!validSrb(srb))
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        bool found = false;
        const std::vector<Text> entries = entriesOf(*s, udr, &found);
        if (!found)
            return invalid(secInvalidUdr);
        const size_t per = udr == udrChangeOnce || udr == udrChangeAlways ? 2 : 1;
        size_t used = 0;
        srb->csz = 0;
        srb->scrs = scrsNoErrors;
        srb->lrgsz[0] = srb->lrgsz[1] = 0;
        for (size_t e = size_t(first) * per; e < entries.size(); e += per) {
            std::string item;
            for (size_t k = 0; k < per; ++k) {
                std::string b;
                s->encode(entries[e + k], b);
                item += b;
                item += '\0';
            }
            if (used + item.size() + 1 > srb->cch) {
                srb->scrs = scrsMoreInfoThanBufferCouldHold;
                break;
            }
            std::memcpy(srb->lrgsz + used, item.data(), item.size());
            used += item.size();
            srb->lrgsz[used] = 0;
            srb->csz = uint16_t(srb->csz + per);
        }
        srb->cchMac = uint16_t(used);
        return secNOERRORS;
    });
}

SC_SEC SpellCloseMdr(SC_SPLID splid, LPSC_MDRS mdrs)
{
    if (!mdrs)
        return invalid(0);
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        return s->mains.erase(mdrs->mdr) ? secNOERRORS : invalid(secInvalidMdr);
    });
}

SC_SEC SpellCloseUdr(SC_SPLID splid, SC_UDR udr, SC_BOOL force)
{
    (void)force; // every change is on disk already
    return guarded([&]() -> SC_SEC {
        Session *s = sessionOf(splid);
        if (!s)
            return invalid(secInvalidID);
        return s->users.erase(udr) ? secNOERRORS : invalid(secInvalidUdr);
    });
}

} // extern "C"
