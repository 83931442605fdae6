#include "format/LineSort.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

namespace LineSort {
namespace {

struct CollatorCloser {
    void operator()(UCollator *c) const { ucol_close(c); }
};
using Collator = std::unique_ptr<UCollator, CollatorCloser>;

// Comparing whole sort keys is the fastest way through ICU, but keys of a
// 100 MB document would take several times its size. A fixed prefix of the
// key decides almost every comparison; ties fall back to a full compare.
constexpr int PrefixBytes = 32;

struct Entry {
    uint8_t prefix[PrefixBytes];
    int32_t prefixLength;   // below PrefixBytes: the whole key
    int32_t line;
};

void fillPrefixes(const UCollator *shared, const std::vector<QStringView> &lines, std::vector<Entry> &entries,
                  size_t from, size_t to, const ToolPhase &phase = {})
{
    UErrorCode status = U_ZERO_ERROR;
    // A collator is not to be used by two threads at once: each gets a clone.
    Collator collator(ucol_clone(shared, &status));
    if (U_FAILURE(status))
        return;
    for (size_t i = from; i < to; ++i) {
        const QStringView line = lines[i];
        UCharIterator it;
        uiter_setString(&it, reinterpret_cast<const UChar *>(line.utf16()), int32_t(line.size()));
        uint32_t state[2] = {0, 0};
        status = U_ZERO_ERROR;
        Entry &e = entries[i];
        e.line = int32_t(i);
        e.prefixLength = ucol_nextSortKeyPart(collator.get(), &it, state, e.prefix, PrefixBytes, &status);
        if (U_FAILURE(status))
            e.prefixLength = 0;
        if ((i & 1023) == 0)
            phase.advance(qint64(i - from));
    }
}

// About the comparisons std::sort makes for n items, for a percentage.
qint64 expectedComparisons(size_t n)
{
    qint64 log = 1;
    while ((size_t(1) << log) < n)
        ++log;
    return qMax<qint64>(1, qint64(n) * log);
}

} // namespace

std::vector<QStringView> splitLines(QStringView text, const ToolPhase &phase)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if ((i & 0xFFFF) == 0)
            phase.advance(i);
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != QChar::ParagraphSeparator)
            continue;
        lines.push_back(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.sliced(start));
    return lines;
}

bool sort(std::vector<QStringView> &lines, const QLocale &locale, bool descending, const ToolPhase &phase)
{
    UErrorCode status = U_ZERO_ERROR;
    // QLocale names use "_" as ICU does; the C locale is ICU's root.
    const QByteArray name = locale.language() == QLocale::C ? QByteArray("root") : locale.name().toLatin1();
    Collator collator(ucol_open(name.constData(), &status));
    if (U_FAILURE(status))
        return false;
    ucol_setStrength(collator.get(), UCOL_TERTIARY);

    std::vector<Entry> entries(lines.size());
    const size_t half = lines.size() / 2;
    // Keys take most of the time; this thread reports while the other works.
    if (lines.size() > 20000) {
        std::thread other(fillPrefixes, collator.get(), std::cref(lines), std::ref(entries), half, lines.size(),
                          ToolPhase{});
        fillPrefixes(collator.get(), lines, entries, 0, half, phase.part(0, 0.7, qint64(half)));
        other.join();
    } else {
        fillPrefixes(collator.get(), lines, entries, 0, lines.size(), phase.part(0, 0.7, qint64(lines.size())));
    }

    // Lines alike in their key prefixes are compared in full, each thread
    // with a collator of its own.
    const auto before = [&lines](const UCollator *c, const Entry &a, const Entry &b) {
        const int common = std::min(a.prefixLength, b.prefixLength);
        if (const int d = std::memcmp(a.prefix, b.prefix, size_t(common)))
            return d < 0;
        if (a.prefixLength != b.prefixLength)
            return a.prefixLength < b.prefixLength;
        if (a.prefixLength < PrefixBytes)
            return false;
        const QStringView x = lines[size_t(a.line)];
        const QStringView y = lines[size_t(b.line)];
        return ucol_strcoll(c, reinterpret_cast<const UChar *>(x.utf16()), int32_t(x.size()),
                            reinterpret_cast<const UChar *>(y.utf16()), int32_t(y.size()))
               == UCOL_LESS;
    };
    const auto sortRange = [&before](const UCollator *c, Entry *from, Entry *to, const ToolPhase &progress) {
        const ToolPhase sorting = progress.part(0, 1, expectedComparisons(size_t(to - from)));
        qint64 comparisons = 0;
        std::sort(from, to, [&](const Entry &a, const Entry &b) {
            if ((++comparisons & 0x3FFF) == 0)
                sorting.advance(comparisons);
            return before(c, a, b);
        });
    };
    Entry *first = entries.data();
    Entry *last = first + entries.size();
    if (lines.size() > 20000) {
        // Both halves at once, then merged.
        status = U_ZERO_ERROR;
        Collator second(ucol_clone(collator.get(), &status));
        if (U_FAILURE(status))
            return false;
        std::thread other(sortRange, second.get(), first + half, last, ToolPhase{});
        sortRange(collator.get(), first, first + half, phase.part(0.7, 0.97, 1));
        other.join();
        std::inplace_merge(first, first + half, last,
                           [&](const Entry &a, const Entry &b) { return before(collator.get(), a, b); });
    } else {
        sortRange(collator.get(), first, last, phase.part(0.7, 1, 1));
    }

    std::vector<QStringView> sorted;
    sorted.reserve(lines.size());
    for (const Entry &e : entries)
        sorted.push_back(lines[size_t(e.line)]);
    if (descending)
        std::reverse(sorted.begin(), sorted.end());
    lines.swap(sorted);
    return true;
}

} // namespace LineSort
