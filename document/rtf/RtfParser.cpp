#include "document/rtf/RtfParser.h"

#include "platform/CodePages.h"
#include "document/rtf/RtfCharsets.h"
#include "document/KeptContent.h"

#include <QTextDocument>

#include <algorithm>
#include <cstring>

namespace Rtf {
namespace {

// Deeper groups than this are counted, not stacked: a file of nothing but
// '{' must not cost memory in proportion to its nesting.
constexpr int kMaxDepth = 4096;
constexpr int kMaxWarnings = 50;

inline bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

template <typename T>
size_t hashBytes(const T &value)
{
    static_assert(sizeof(T) % 8 == 0, "states hash as whole 64-bit words");
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i < sizeof(T); i += 8) {
        uint64_t w;
        std::memcpy(&w, reinterpret_cast<const char *>(&value) + i, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    return size_t(h);
}

} // namespace

size_t Parser::CharStateHash::operator()(const CharState &c) const { return hashBytes(c); }
size_t Parser::ParaStateHash::operator()(const ParaState &p) const { return hashBytes(p); }

Parser::Parser(QByteArrayView data, BuildSink &builder, const QTextDocument &document, const RtfReadOptions &options)
    : m_begin(data.data())
    , m_end(data.data() + data.size())
    , m_options(options)
    , m_builder(builder)
    , m_document(document)
    , m_documentCodePage(options.ansiCodePage)
{
    m_tabLists.emplace_back();
    m_frameWords.emplace_back();
    const QString family = document.defaultFont().family();
    m_defaultFamily = family.isEmpty() ? QStringLiteral("Arial") : family;
    m_keepsDocumentGroups = document.characterCount() <= 1;
    m_stack.reserve(64);
}

RtfReadResult Parser::run()
{
    m_result.isRtf = true;
    parse();
    flushBytes();
    if (!m_done) {
        if (m_stack.size() > 1 || m_excessDepth > 0)
            warn(QStringLiteral("the data ends inside %1 open groups").arg(m_stack.size() - 1 + m_excessDepth));
        while (m_stack.size() > 1)
            popGroup();
    }
    const GroupState &last = m_stack.empty() ? GroupState() : m_stack.back();
    m_builder.finish(m_para, blockSpec(last.para), m_stack.empty() ? charFormat() : markFormat());
    if (m_keepsDocumentGroups && !m_documentGroups.isEmpty())
        m_builder.keepDocumentGroups(m_documentGroups);
    if (m_keepsDocumentGroups && !m_keptLists.table.isEmpty() && !m_keptLists.overrides.isEmpty()) {
        for (const auto &[ls, id] : m_listOverrides)
            m_keptLists.maxOverride = std::max(m_keptLists.maxOverride, ls == kListOverrideZero ? 0 : ls);
        for (const auto &[id, levels] : m_lists)
            m_keptLists.listIds.append(id);
        for (const auto &[number, font] : m_fonts)
            m_keptLists.fonts.append({number, font.name, std::max(font.charset, 0)});
        m_builder.keepListTables(m_keptLists);
    }
    return m_result;
}

void Parser::warn(const QString &message)
{
    if (m_result.warnings.size() < kMaxWarnings)
        m_result.warnings.append(message);
}

// ---------------------------------------------------------------------------
// Input

void Parser::parse()
{
    const char *p = m_begin;
    constexpr qsizetype ReportEvery = 256 * 1024;
    constexpr qsizetype CheckLengthEvery = 4096;
    const char *nextReport = m_begin + ReportEvery;
    const char *nextLengthCheck = m_begin + CheckLengthEvery;
    while (p < m_end && !m_done) {
        if (m_options.progress && p >= nextReport) {
            m_options.progress->store(p - m_begin, std::memory_order_relaxed);
            nextReport = p + ReportEvery;
        }
        if (m_options.stopAfter > 0 && p >= nextLengthCheck) {
            if (m_document.characterCount() + m_para.text.size() > m_options.stopAfter)
                break;
            nextLengthCheck = p + CheckLengthEvery;
        }
        switch (*p) {
        case '{':
            flushBytes();
            pushGroup(p);
            ++p;
            break;
        case '}':
            flushBytes();
            popGroup(p);
            ++p;
            break;
        case '\\':
            p = controlWord(p + 1);
            break;
        case '\r':
        case '\n':
        case '\0':
            ++p;
            break;
        default: {
            const char *s = p;
            while (p < m_end) {
                const char c = *p;
                if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\0')
                    break;
                ++p;
            }
            if (!m_stack.empty())
                text(s, p - s);
            break;
        }
        }
    }
}

void Parser::pushGroup(const char *at)
{
    if (m_stack.empty()) {
        m_stack.emplace_back();
        m_stack.back().start = at;
        return;
    }
    if (int(m_stack.size()) >= kMaxDepth) {
        if (m_excessDepth++ == 0)
            warn(QStringLiteral("groups nested deeper than %1 at byte %2").arg(kMaxDepth).arg(at - m_begin));
        return;
    }
    m_lastGroupStart = at;
    m_stack.push_back(m_stack.back());
    GroupState &g = m_stack.back();
    g.start = at;
    g.closes = Closes::Nothing;
    g.star = false;
    g.sawWord = false;
    const int depth = int(m_stack.size()) - 1;
    if (g.dest == Dest::FontTable && depth == m_fontTableDepth) {
        g.closes = Closes::FontEntry;
        m_currentFont = -1;
        m_destBytes.clear();
        m_fontName.clear();
    } else if (g.dest == Dest::StyleSheet && depth == m_styleSheetDepth) {
        g.dest = Dest::StyleEntry;
        g.closes = Closes::StyleEntry;
        m_styleBeingRead = Style();
        m_styleNumber = 0;
        m_styleIsChar = false;
    }
}

void Parser::popGroup(const char *at)
{
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    m_skipFallback = 0;
    if (m_stack.size() <= 1) {
        // The closing brace of the document: RichEdit stops reading here.
        m_done = true;
        if (m_stack.empty())
            m_stack.emplace_back();
        return;
    }
    const GroupState closed = m_stack.back();
    const bool endsKept = m_kept.start && m_stack.size() == m_kept.depth;
    m_stack.pop_back();
    closeGroup(closed, at);
    if (endsKept)
        finishKept(at);
}

void Parser::closeGroup(const GroupState &closed, const char *at)
{
    switch (closed.closes) {
    case Closes::Nothing:
        break;
    case Closes::FontEntry:
        if (m_currentFont >= 0 && (!m_destBytes.isEmpty() || !m_fontName.isEmpty())) {
            Font &f = m_fonts[m_currentFont];
            if (f.name.isEmpty())
                f.name = fontName();
        }
        m_destBytes.clear();
        m_fontName.clear();
        m_currentFont = -1;
        break;
    case Closes::StyleEntry:
        if (m_styleIsChar)
            m_charStyles[m_styleNumber] = std::move(m_styleBeingRead);
        else
            m_paraStyles[m_styleNumber] = std::move(m_styleBeingRead);
        m_styleBeingRead = Style();
        break;
    case Closes::Pict:
        finishPicture();
        break;
    case Closes::ObjectResult:
        break;
    case Closes::Object:
        // An object without a \result has nothing to show: kept whole.
        if (m_objectStart && !m_objectHasResult)
            keepObjectWithoutResult(at);
        m_objectStart = nullptr;
        break;
    case Closes::Field:
        if (!m_fieldStack.empty()) {
            finishField(m_fieldStack.back(), at);
            m_fieldStack.pop_back();
        }
        break;
    case Closes::FieldInst:
        finishFieldInstruction();
        break;
    case Closes::FieldResult:
        break;
    case Closes::List:
        if (m_listId != 0)
            m_lists[m_listId] = m_listBeingRead;
        m_listBeingRead = {};
        m_listId = 0;
        m_listLevelIndex = 0;
        break;
    case Closes::ListLevel:
        ++m_listLevelIndex;
        break;
    case Closes::LevelText:
        if (m_listLevelIndex < 9) {
            m_listBeingRead[size_t(m_listLevelIndex)].text = m_destBytes;
            m_listBeingRead[size_t(m_listLevelIndex)].chars = m_levelChars;
        }
        m_destBytes.clear();
        m_levelChars.clear();
        break;
    case Closes::ListOverride:
        if (m_overrideLs > 0)
            m_listOverrides[m_overrideLs] = m_overrideListId;
        else if (m_overrideLs == 0)
            m_listOverrides[kListOverrideZero] = m_overrideListId;
        m_overrideLs = -1;
        m_overrideListId = 0;
        break;
    case Closes::ListTables:
        // Kept as read: the writer numbers the lists it leaves unchanged
        // by them, so that levels that show other levels' numbers
        // ("Sect 1.01") and lists running through tables stay as they were.
        if (m_keepsDocumentGroups && at && m_stack.size() == 1) {
            QByteArray &table = closed.dest == Dest::ListTable ? m_keptLists.table : m_keptLists.overrides;
            table = QByteArray(closed.start, at + 1 - closed.start);
        }
        break;
    case Closes::Pn: {
        // Old-style numbering is a paragraph property of the enclosing group.
        ParaState &outer = top().para;
        outer.pnKind = closed.para.pnKind == kPnContinues ? 0 : closed.para.pnKind;
        outer.pnStart = closed.para.pnStart;
        outer.pnBefore = closed.para.pnBefore;
        outer.pnAfter = closed.para.pnAfter;
        break;
    }
    case Closes::PnTextBefore:
    case Closes::PnTextAfter: {
        const QString s = CodePages::toUnicode(codePage(), m_destBytes).trimmed();
        const char16_t c = s.isEmpty() ? 0 : s.at(0).unicode();
        if (closed.closes == Closes::PnTextBefore)
            top().para.pnBefore = c;
        else
            top().para.pnAfter = c;
        m_destBytes.clear();
        break;
    }
    }
}

const char *Parser::controlWord(const char *p)
{
    if (p >= m_end)
        return p;
    if (!isLetter(*p))
        return controlSymbol(p);
    const char *name = p;
    while (p < m_end && isLetter(*p))
        ++p;
    const std::string_view letters(name, size_t(p - name));
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (p + 1 < m_end && *p == '-' && isDigit(p[1])) {
        negative = true;
        ++p;
    }
    while (p < m_end && isDigit(*p)) {
        hasParam = true;
        if (value < 100000000000ll)
            value = value * 10 + (*p - '0');
        ++p;
    }
    if (p < m_end && *p == ' ')
        ++p;
    if (negative)
        value = -value;
    const int param = int(std::clamp<long long>(value, -2147483647ll, 2147483647ll));
    if (m_stack.empty())
        return p;
    const Kw kw = lookupKeyword(letters);
    m_wordRaw = std::string_view(name - 1, size_t(p - name + 1));
    if (!m_wordRaw.empty() && m_wordRaw.back() == ' ')
        m_wordRaw.remove_suffix(1);
    if (kw == Kw::Unknown && keepsDocumentWord(letters))
        return p;
    if (kw == Kw::bin) {
        flushBytes();
        binary(p, hasParam ? param : 0);
        return p;
    }
    if (kw != Kw::u)
        flushBytes();
    word(kw, hasParam, param);
    return p;
}

const char *Parser::controlSymbol(const char *p)
{
    const char c = *p++;
    if (m_stack.empty())
        return p;
    switch (c) {
    case '\'': {
        // Always two characters, valid or not, as other readers do.
        const int hi = p < m_end ? hexValue(*p) : -1;
        const int lo = p + 1 < m_end ? hexValue(p[1]) : -1;
        p = std::min(p + 2, m_end);
        if (hi < 0 || lo < 0) {
            warn(QStringLiteral("invalid \\' escape at byte %1").arg(p - m_begin));
            if (m_skipFallback > 0)
                --m_skipFallback;
            return p;
        }
        byte(uchar(hi * 16 + lo));
        return p;
    }
    case '\\':
    case '{':
    case '}':
        text(p - 1, 1);
        return p;
    case '\r':
    case '\n':
        flushBytes();
        word(Kw::par, false, 0);
        return p;
    default:
        break;
    }
    flushBytes();
    if (m_skipFallback > 0) {
        --m_skipFallback;
        return p;
    }
    switch (c) {
    case '*':
        // Only a group's first word can be an ignorable destination; writers
        // that put \* mid-group mean nothing by it.
        if (!top().sawWord)
            top().star = true;
        break;
    case '~':
        emitChar(0x00A0);
        break;
    case '-':
        emitChar(0x00AD);
        break;
    case '_':
        emitChar(0x2011);
        break;
    case '\t':
        emitChar('\t');
        break;
    default:
        break;
    }
    return p;
}

void Parser::binary(const char *&p, int length)
{
    if (length < 0 || length > m_end - p) {
        warn(QStringLiteral("\\bin%1 runs past the end of the data").arg(length));
        length = std::max<int>(0, int(std::min<qint64>(length < 0 ? 0 : length, m_end - p)));
    }
    if (top().dest == Dest::Pict)
        m_pict.bytes.append(p, length);
    p += length;
    if (m_skipFallback > 0)
        --m_skipFallback;
}

// Literal text bytes of the current group.
void Parser::text(const char *s, qsizetype n)
{
    if (m_skipFallback > 0) {
        const qsizetype skipped = std::min<qsizetype>(n, m_skipFallback);
        m_skipFallback -= int(skipped);
        s += skipped;
        n -= skipped;
        if (n == 0)
            return;
    }
    const Dest dest = top().dest;
    switch (dest) {
    case Dest::Skip:
    case Dest::Object:
    case Dest::Field:
    case Dest::ListTable:
    case Dest::List:
    case Dest::ListLevel:
    case Dest::ListOverrideTable:
    case Dest::ListOverride:
    case Dest::Pn:
    case Dest::Info:
    case Dest::Upr:
        return;
    case Dest::LevelText:
        for (qsizetype i = 0; i < n; ++i)
            m_levelChars += QChar(char16_t(0xF700 + uchar(s[i])));
        m_destBytes.append(s, n);
        return;
    case Dest::PnText:
        m_destBytes.append(s, n);
        return;
    case Dest::Pict:
        for (qsizetype i = 0; i < n; ++i) {
            const int v = hexValue(s[i]);
            if (v < 0)
                continue;
            if (m_pictNibble < 0) {
                m_pictNibble = v;
            } else {
                m_pict.bytes.append(char(m_pictNibble * 16 + v));
                m_pictNibble = -1;
            }
        }
        return;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (s[i] != ';')
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.emplace_back();
            else
                m_colors.emplace_back(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                      std::clamp(m_blue, 0, 255));
            m_red = m_green = m_blue = -1;
        }
        return;
    case Dest::FontTable:
    case Dest::StyleSheet:
    case Dest::StyleEntry:
        for (qsizetype i = 0; i < n; ++i) {
            if (s[i] != ';') {
                if (dest == Dest::FontTable)
                    m_destBytes.append(s[i]);
                continue;
            }
            if (dest == Dest::FontTable && m_currentFont >= 0) {
                Font &f = m_fonts[m_currentFont];
                if (f.name.isEmpty())
                    f.name = fontName();
            }
            m_destBytes.clear();
            m_fontName.clear();
        }
        return;
    default:
        break;
    }
    const int cp = dest == Dest::Text || dest == Dest::Kept ? codePage() : 0;
    if (!m_bytes.isEmpty() || RtfCharsets::isMultiByte(cp) || cp == RtfCharsets::SymbolCodePage) {
        for (qsizetype i = 0; i < n; ++i)
            byte(uchar(s[i]));
        return;
    }
    // The common case: plain ASCII straight into the paragraph.
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && uchar(s[j]) < 0x80)
            ++j;
        if (j > i) {
            if (dest == Dest::Text) {
                GroupState &g = top();
                if (g.format < 0)
                    g.format = charFormat();
                if (g.chr.field >= 0)
                    m_fields[size_t(g.chr.field)].hasResult = true;
                m_para.append(QLatin1StringView(s + i, j - i), g.format);
            } else {
                emitText(QString::fromLatin1(s + i, j - i));
            }
        }
        for (; j < n && uchar(s[j]) >= 0x80; ++j)
            byte(uchar(s[j]));
        flushBytes();
        i = j;
    }
}

void Parser::byte(uchar b)
{
    if (m_skipFallback > 0) {
        --m_skipFallback;
        return;
    }
    const Dest dest = top().dest;
    if (dest == Dest::FontTable || dest == Dest::LevelText || dest == Dest::PnText) {
        if (dest == Dest::FontTable && b == ';') {
            text(";", 1);
            return;
        }
        if (dest == Dest::LevelText)
            m_levelChars += QChar(char16_t(0xF700 + b));
        m_destBytes.append(char(b));
        return;
    }
    if (dest != Dest::Text && dest != Dest::Title && dest != Dest::FieldInst && dest != Dest::Kept)
        return;
    const int cp = codePage();
    if (!m_bytes.isEmpty() && cp != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = cp;
    m_bytes.append(char(b));
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    QString s;
    if (m_bytesCodePage == RtfCharsets::SymbolCodePage) {
        s.resize(m_bytes.size());
        for (qsizetype i = 0; i < m_bytes.size(); ++i)
            s[i] = QChar(char16_t(0xF000 + uchar(m_bytes.at(i))));
    } else {
        s = CodePages::toUnicode(m_bytesCodePage, m_bytes);
    }
    m_bytes.clear();
    emitText(s);
}

void Parser::emitText(QStringView s)
{
    if (s.isEmpty())
        return;
    switch (top().dest) {
    case Dest::Text: {
        GroupState &g = top();
        if (g.format < 0)
            g.format = charFormat();
        if (g.chr.field >= 0)
            m_fields[size_t(g.chr.field)].hasResult = true;
        m_para.append(s, g.format);
        break;
    }
    case Dest::Title:
        m_result.title += s;
        break;
    case Dest::FieldInst:
        if (!m_fieldStack.empty())
            m_fields[size_t(m_fieldStack.back())].instruction += s;
        break;
    case Dest::Kept:
        addCaption(s);
        break;
    case Dest::LevelText:
        m_levelChars += s;
        break;
    case Dest::FontTable:
        // A name in \u escapes: what came before it is in the font's code page.
        if (m_currentFont >= 0) {
            m_fontName += CodePages::toUnicode(fontCodePage(m_currentFont), m_destBytes) + s.toString();
            m_destBytes.clear();
        }
        break;
    default:
        break;
    }
}

void Parser::emitChar(char16_t c)
{
    flushBytes();
    const QChar ch(c);
    emitText(QStringView(&ch, 1));
}

// ---------------------------------------------------------------------------
// Paragraphs and formats

int Parser::markFormat()
{
    // A paragraph mark belongs to no field or object: those end at marks
    // when written.
    CharState c = top().chr;
    if (c.field < 0 && c.object < 0)
        return charFormat();
    c.field = -1;
    c.object = -1;
    std::swap(top().chr, c);
    const int index = charFormat();
    std::swap(top().chr, c);
    return index;
}

void Parser::endParagraph()
{
    const ParaState &para = top().para;
    const int spec = blockSpec(para);
    const int mark = markFormat();
    ++m_marks;
    m_builder.endParagraph(m_para, spec, mark, para.intbl || para.itap > 0);
    m_bodyStarted = true;
    m_anchor = FootnoteAnchor();
    if (m_pageBreakPending)
        m_pageBreakPending = false;
}

int Parser::charFormat()
{
    const CharState &c = m_stack.empty() ? CharState() : top().chr;
    auto it = m_charFormats.find(c);
    if (it != m_charFormats.end())
        return it->second;
    const int index = m_builder.addCharFormat(makeCharFormat(c));
    m_charFormats.emplace(c, index);
    return index;
}

int Parser::blockSpec(const ParaState &para)
{
    ParaState key = para;
    if (m_pageBreakPending)
        key.pageBreak = 1;
    auto it = m_blockSpecs.find(key);
    if (it != m_blockSpecs.end())
        return it->second;
    const int index = m_builder.addBlockSpec(makeBlockSpec(key));
    m_blockSpecs.emplace(key, index);
    return index;
}

int Parser::fontCodePage(int font) const
{
    auto it = m_fonts.find(font);
    if (it == m_fonts.end())
        return m_documentCodePage;
    if (it->second.codePage > 0)
        return it->second.codePage;
    return RtfCharsets::codePage(it->second.charset, m_documentCodePage);
}

QString Parser::fontName() const
{
    return (m_fontName + CodePages::toUnicode(fontCodePage(m_currentFont), m_destBytes)).trimmed();
}

int Parser::codePage()
{
    GroupState &g = m_stack.back();
    if (g.codePage == 0)
        g.codePage = fontCodePage(g.chr.font >= 0 ? g.chr.font : m_defaultFont);
    return g.codePage;
}

} // namespace Rtf
