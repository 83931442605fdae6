#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// Plain state records of the RTF reader. They are copied on every '{', so
// they stay small and trivially copyable; equal states compare with memcmp.
namespace Rtf {

// What the text and words of a group feed.
enum class Dest : uint8_t {
    Text, Skip, FontTable, ColorTable, StyleSheet, StyleEntry, Info, Title, Pict, Object,
    Field, FieldInst, ListTable, List, ListLevel, LevelText, ListOverrideTable, ListOverride,
    Pn, PnText, Upr,
    Kept     // a group kept whole: its text only goes to the marker's caption
};

// What the reader does when the group that opened a destination closes.
enum class Closes : uint8_t {
    Nothing, FontEntry, StyleEntry, Pict, Object, ObjectResult, Field, FieldInst, FieldResult,
    List, ListLevel, LevelText, ListOverride, Pn, PnTextBefore, PnTextAfter, ListTables
};

struct CharState {
    int32_t font = -1;       // \f number; -1 the document's default font
    int32_t halfPoints = 24;
    int32_t color = -1;      // colour table index; -1 none
    int32_t background = -1;
    int32_t lang = 0;
    int32_t field = -1;      // the reader's field whose result this is
    int32_t object = -1;     // the reader's object whose result this is
    uint8_t bold = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;   // RichEdit underline kind, 0 none
    uint8_t strike = 0;
    uint8_t valign = 0;      // 1 superscript, 2 subscript
    uint8_t hidden = 0;
    uint8_t protect = 0;
    uint8_t disabled = 0;
    uint8_t caps = 0;        // 1 all capitals, 2 small capitals
    uint8_t padding[1] = {};
    int16_t raise = 0;       // \up (> 0) or \dn (< 0) in half-points; 0 \super, \sub or none

    bool operator==(const CharState &o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};

struct ParaState {
    int32_t li = 0;
    int32_t ri = 0;
    int32_t fi = 0;
    int32_t sb = 0;
    int32_t sa = 0;
    int32_t sl = 0;
    int32_t tabs = 0;        // index of the reader's interned tab list; 0 none
    int32_t ls = 0;          // Word list override; 0 none
    int32_t ilvl = 0;
    int32_t itap = 0;
    int32_t pnStart = 1;
    int32_t frame = 0;       // index of the reader's interned frame words; 0 none
    char16_t pnBefore = 0;   // old-style numbering: text before and after the number
    char16_t pnAfter = 0;
    uint8_t align = 0;       // 0 left, 1 right, 2 centre, 3 justified
    uint8_t slmult = 0;
    uint8_t intbl = 0;
    uint8_t pageBreak = 0;
    uint8_t pnKind = 0;      // NumberingKind of old-style numbering
                             // (kPnContinues inside a \pn group of \pnlvlcont)
    uint8_t padding[7] = {};

    bool operator==(const ParaState &o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};

// Old-style numbering of a \pnlvlcont group: no number, whatever follows.
constexpr uint8_t kPnContinues = 0xFF;

struct GroupState {
    const char *start = nullptr; // the group's '{'
    CharState chr;
    ParaState para;
    int32_t format = -1;     // the reader's format index of chr; -1 not looked up yet
    int32_t codePage = 0;    // code page of chr's font; 0 not looked up yet
    Dest dest = Dest::Text;
    Closes closes = Closes::Nothing;
    uint8_t uc = 1;          // \uc: bytes of fallback after each \u
    bool star = false;       // the group began with \*
    bool sawWord = false;    // a control word was read in this group
};

// One paragraph being read: its text and the format index of each run.
struct Paragraph {
    struct Run {
        int end;             // offset in text just past the run
        int format;          // index into the reader's character formats
    };
    QString text;
    std::vector<Run> runs;

    bool isEmpty() const { return text.isEmpty(); }
    void clear()
    {
        text.resize(0); // keeps the buffer for the next paragraph
        runs.clear();
    }
    void append(QStringView s, int format)
    {
        if (s.isEmpty())
            return;
        text.append(s);
        addRun(format);
    }
    void append(QLatin1StringView s, int format)
    {
        if (s.isEmpty())
            return;
        text.append(s);
        addRun(format);
    }
    void append(QChar c, int format)
    {
        text.append(c);
        addRun(format);
    }
    // Drops the last n characters.
    void chop(int n)
    {
        const int end = std::max(0, int(text.size()) - n);
        text.truncate(end);
        while (!runs.empty()) {
            const int runStart = runs.size() > 1 ? runs[runs.size() - 2].end : 0;
            if (runStart < end) {
                runs.back().end = end;
                break;
            }
            runs.pop_back();
        }
    }

private:
    void addRun(int format)
    {
        if (!runs.empty() && runs.back().format == format)
            runs.back().end = int(text.size());
        else
            runs.push_back({int(text.size()), format});
    }
};

} // namespace Rtf
