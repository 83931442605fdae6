#include "document/rtf/RtfKeywords.h"

#include <array>
#include <cstring>

namespace Rtf {
namespace {

// Open addressing over FNV-1a: the reader looks up every control word it
// meets, so this stays allocation-free and branch-light.
class KeywordTable
{
public:
    KeywordTable()
    {
        static constexpr const char *names[] = {
#define QUILMAR_RTF_NAME(name) #name,
            QUILMAR_RTF_KEYWORDS(QUILMAR_RTF_NAME)
#undef QUILMAR_RTF_NAME
        };
        for (size_t i = 0; i < std::size(names); ++i) {
            std::string_view name = names[i];
            // Words that are C++ keywords carry a trailing underscore.
            if (name.back() == '_')
                name.remove_suffix(1);
            insert(name, Kw(i + 1));
        }
    }

    Kw find(std::string_view name) const
    {
        if (name.empty() || name.size() > kMaxLength)
            return Kw::Unknown;
        for (uint32_t slot = hash(name) & kMask;; slot = (slot + 1) & kMask) {
            const Entry &e = m_entries[slot];
            if (e.length == 0)
                return Kw::Unknown;
            if (e.length == name.size() && std::memcmp(e.name, name.data(), name.size()) == 0)
                return e.keyword;
        }
    }

private:
    static constexpr size_t kMaxLength = 23;
    static constexpr uint32_t kMask = 1023;
    struct Entry {
        char name[kMaxLength + 1] = {};
        uint8_t length = 0;
        Kw keyword = Kw::Unknown;
    };

    static uint32_t hash(std::string_view s)
    {
        uint32_t h = 2166136261u;
        for (char c : s)
            h = (h ^ uint8_t(c)) * 16777619u;
        return h;
    }

    void insert(std::string_view name, Kw keyword)
    {
        uint32_t slot = hash(name) & kMask;
        while (m_entries[slot].length != 0)
            slot = (slot + 1) & kMask;
        Entry &e = m_entries[slot];
        std::memcpy(e.name, name.data(), name.size());
        e.length = uint8_t(name.size());
        e.keyword = keyword;
    }

    std::array<Entry, kMask + 1> m_entries;
};

} // namespace

// Groups whose text is not part of the body.
bool isSkippedDestination(Kw kw)
{
    switch (kw) {
    case Kw::header: case Kw::headerl: case Kw::headerr: case Kw::headerf: case Kw::footer:
    case Kw::footerl: case Kw::footerr: case Kw::footerf: case Kw::footnote: case Kw::annotation:
    case Kw::atnid: case Kw::atnauthor: case Kw::atndate: case Kw::atnref: case Kw::xe: case Kw::tc:
    case Kw::txe: case Kw::rxe: case Kw::ftnsep: case Kw::ftnsepc: case Kw::ftncn: case Kw::aftnsep:
    case Kw::aftnsepc: case Kw::aftncn: case Kw::revtbl: case Kw::filetbl: case Kw::pgdsctbl:
    case Kw::shp: case Kw::shpgrp: case Kw::rsidtbl: case Kw::themedata: case Kw::colorschememapping:
    case Kw::latentstyles: case Kw::datastore: case Kw::defchp: case Kw::defpap: case Kw::mmathPr:
    case Kw::wgrffmtfilter: case Kw::pnseclvl: case Kw::userprops: case Kw::docvar: case Kw::pgptbl:
    case Kw::listpicture: case Kw::shpinst: case Kw::shprslt: case Kw::objclass: case Kw::objname:
    case Kw::objdata: case Kw::datafield: case Kw::formfield: case Kw::bkmkstart: case Kw::bkmkend:
    case Kw::author: case Kw::operator_: case Kw::subject: case Kw::keywords: case Kw::comment:
    case Kw::doccomm: case Kw::company: case Kw::category: case Kw::manager: case Kw::hlinkbase:
    case Kw::creatim: case Kw::revtim: case Kw::printim: case Kw::buptim: case Kw::generator:
    case Kw::listname: case Kw::do_: case Kw::template_: case Kw::fldtype: case Kw::sp: case Kw::sn:
    case Kw::sv: case Kw::picprop: case Kw::blipuid: case Kw::xmlnstbl: case Kw::protusertbl:
    case Kw::pntext: case Kw::listtext: case Kw::nonshppict: case Kw::nonesttables:
    case Kw::levelnumbers:
        return true;
    default:
        return false;
    }
}

Kw lookupKeyword(std::string_view name)
{
    static const KeywordTable table;
    return table.find(name);
}

} // namespace Rtf
