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

Kw lookupKeyword(std::string_view name)
{
    static const KeywordTable table;
    return table.find(name);
}

} // namespace Rtf
