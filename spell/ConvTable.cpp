#include "spell/ConvTable.h"

#include "platform/CodePages.h"

#include <algorithm>
#include <stdexcept>

void TTableList::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
}

void TTableList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

const QString &TTableList::Key(int index) const
{
    checkIndex(index);
    return m_items.at(index).first;
}

const QString &TTableList::Value(int index) const
{
    checkIndex(index);
    return m_items.at(index).second;
}

int TTableList::Add(const QString &key, const QString &value)
{
    if (!m_sorted) {
        m_items.append({key, value});
        return Count() - 1;
    }
    int index = 0;
    if (Find(key, index)) {
        if (!m_duplicates)
            return index;
        while (index < Count() && m_items.at(index).first == key)
            ++index;
    }
    Changing();
    m_items.insert(index, {key, value});
    Changed();
    return index;
}

void TTableList::Clear()
{
    Changing();
    m_items.clear();
    Changed();
}

bool TTableList::Find(const QString &key, int &index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = QString::compare(m_items.at(mid).first, key, Qt::CaseSensitive);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0)
                found = true; // keep going left: the first of equal keys
        }
    }
    index = low;
    return found;
}

void TTableList::Sort()
{
    Changing();
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const auto &a, const auto &b) { return QString::compare(a.first, b.first) < 0; });
    Changed();
}

namespace {

// The table's longest key found at text[i]; -1 when none.
int longestKeyAt(const TTableList &list, const QString &text, qsizetype i)
{
    int index = 0;
    list.Find(QString(text.at(i)), index);
    int best = -1;
    for (; index < list.Count(); ++index) {
        const QString &key = list.Key(index);
        if (key.isEmpty() || key.at(0) != text.at(i))
            break;
        if (QStringView(text).mid(i).startsWith(key) && (best < 0 || key.size() > list.Key(best).size()))
            best = index;
    }
    return best;
}

// One UTF-8 byte per UTF-16 unit, each unit encoded on its own as ispell's
// UTF-8 tables expect.
QString utf8Units(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x80) {
            out += QChar(u);
        } else if (u < 0x800) {
            out += QChar(ushort(0xc0 | (u >> 6)));
            out += QChar(ushort(0x80 | (u & 0x3f)));
        } else {
            out += QChar(ushort(0xe0 | (u >> 12)));
            out += QChar(ushort(0x80 | ((u >> 6) & 0x3f)));
            out += QChar(ushort(0x80 | (u & 0x3f)));
        }
    }
    return out;
}

} // namespace

QString ConvertText(const QString &text, const TConvTable &table)
{
    QString result = text;
    const TTableList &list = table.ToProcess;
    if (list.Count() > 0) {
        for (qsizetype i = 0; i < result.size();) {
            const int k = longestKeyAt(list, result, i);
            if (k < 0) {
                ++i;
                continue;
            }
            result.replace(i, list.Key(k).size(), list.Value(k));
            i += list.Value(k).size();
        }
    }
    if (table.Name.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0)
        return utf8Units(result);
    return result;
}

namespace {

struct CharsetName {
    const char *name;
    int charset;
    int codePage;
};

// Any other name: default character set, ANSI code page.
const CharsetName kCharsets[] = {
    {"koi8-r", 204, 1251},      {"iso-ir-111", 204, 1251},  {"UTF-8", 1, 1200},
    {"macroman", 77, 2},        {"iso-8859-1", 0, 1252},    {"iso-8859-2", 238, 1250},
    {"iso-8859-3", 162, 1254},  {"iso-8859-4", 186, 1257},  {"iso-8859-5", 204, 1251},
    {"iso-8859-6", 178, 1256},  {"iso-8859-7", 161, 1253},  {"iso-8859-8", 177, 1255},
    {"iso-8859-9", 162, 1254},  {"iso-8859-10", 186, 1257}, {"iso-8859-13", 186, 1257},
};

const CharsetName *findCharset(const QString &name)
{
    for (const CharsetName &c : kCharsets)
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

} // namespace

int CharsetOfName(const QString &name)
{
    const CharsetName *c = findCharset(name);
    return c ? c->charset : 1;
}

int CodePageOfName(const QString &name)
{
    const CharsetName *c = findCharset(name);
    return c ? c->codePage : CodePages::ansiCodePage();
}
