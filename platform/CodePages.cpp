#include "platform/CodePages.h"

#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>

#include <unicode/ucnv.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace CodePages {
namespace {

// ICU names for Windows code page numbers that the generic "windows-N",
// "ibm-N" and "cpN" aliases do not reach.
struct NamedCodePage {
    int number;
    const char *name;
};
constexpr NamedCodePage kNamed[] = {
    {708, "ASMO-708"},          {10000, "macintosh"},       {10006, "x-mac-greek"},
    // ICU has no tables of the Mac CJK pages; their bytes are those of the
    // standard encodings they were built on.
    {10001, "Shift_JIS"},       {10002, "Big5"},            {10003, "EUC-KR"},
    {10008, "GB2312"},
    {10007, "x-mac-cyrillic"},  {10029, "x-mac-centraleurroman"},
    {10081, "x-mac-turkish"},   {20127, "US-ASCII"},        {20866, "KOI8-R"},
    {20932, "EUC-JP"},          {20936, "GB2312"},          {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},      {28592, "ISO-8859-2"},      {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},      {28595, "ISO-8859-5"},      {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},      {28598, "ISO-8859-8"},      {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},     {28605, "ISO-8859-15"},     {38598, "ISO-8859-8-I"},
    {50220, "ISO-2022-JP"},     {50221, "ISO-2022-JP-1"},   {50222, "ISO-2022-JP-2"},
    {50225, "ISO-2022-KR"},     {50227, "ISO-2022-CN"},     {51932, "EUC-JP"},
    {51936, "EUC-CN"},          {51949, "EUC-KR"},          {52936, "HZ-GB-2312"},
    {54936, "GB18030"},         {57002, "x-iscii-de"},      {57003, "x-iscii-be"},
    {57004, "x-iscii-ta"},      {57005, "x-iscii-te"},      {57006, "x-iscii-as"},
    {57007, "x-iscii-or"},      {57008, "x-iscii-ka"},      {57009, "x-iscii-ma"},
    {57010, "x-iscii-gu"},      {57011, "x-iscii-pa"},      {65000, "UTF-7"},
    {65001, "UTF-8"},
};

// The Windows code page numbers worth trying, ascending.
std::vector<int> windowsCodePageNumbers()
{
    std::vector<int> numbers = {37,  437, 500, 708, 720, 737, 775, 850, 852, 855, 857,
                                858, 860, 861, 862, 863, 864, 865, 866, 869, 870, 874,
                                875, 932, 936, 949, 950, 1026, 1047};
    for (int n = 1140; n <= 1149; ++n)
        numbers.push_back(n);
    for (int n = 1250; n <= 1258; ++n)
        numbers.push_back(n);
    for (int n : {10000, 10001, 10002, 10003, 10006, 10007, 10008, 10029, 10081, 20127, 20273, 20277, 20278, 20280,
                  20284, 20285, 20290, 20297, 20420, 20423, 20424, 20833, 20838, 20866,
                  20871, 20880, 20905, 20924, 20932, 20936, 21866})
        numbers.push_back(n);
    for (int n = 28591; n <= 28599; ++n)
        numbers.push_back(n);
    for (int n : {28603, 28605, 38598, 50220, 50221, 50222, 50225, 50227, 51932, 51936,
                  51949, 52936, 54936})
        numbers.push_back(n);
    for (int n = 57002; n <= 57011; ++n)
        numbers.push_back(n);
    numbers.push_back(65000);
    numbers.push_back(65001);
    return numbers;
}

QList<QByteArray> candidateNames(int cp)
{
    QList<QByteArray> names;
    for (const auto &named : kNamed)
        if (named.number == cp)
            names << named.name;
    // IBM EBCDIC pages have Windows numbers 20000 above IBM's.
    if (cp > 20000 && cp < 21000 && names.isEmpty())
        names << "ibm-" + QByteArray::number(cp - 20000);
    names << "windows-" + QByteArray::number(cp) << "ibm-" + QByteArray::number(cp)
          << "cp" + QByteArray::number(cp);
    return names;
}

struct CloseConverter {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, CloseConverter>;

// One code page: either a single-byte page served from two tables, or an
// ICU converter name for multi-byte and stateful pages.
struct CodePageData {
    int number = 0;
    QByteArray icuName;
    bool singleByte = false;
    std::array<char16_t, 256> toUnicode{};
    std::vector<uint16_t> fromUnicode; // 65536 entries, 0xFFFF = unmappable
    QByteArray defaultChar = "?";
};

ConverterPtr openConverter(const QByteArray &name)
{
    UErrorCode err = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open(name.constData(), &err));
    if (U_FAILURE(err))
        return nullptr;
    return conv;
}

void setQuestionMarkSubstitution(UConverter *conv, QByteArray *defaultChar)
{
    // ICU substitutes 0x1A by default; Windows writes the code page's '?'.
    UErrorCode err = U_ZERO_ERROR;
    const UChar q = u'?';
    char buf[8];
    const int len = ucnv_fromUChars(conv, buf, sizeof buf, &q, 1, &err);
    ucnv_reset(conv);
    QByteArray sub = (U_SUCCESS(err) && len > 0) ? QByteArray(buf, len) : QByteArray("?");
    err = U_ZERO_ERROR;
    ucnv_setSubstChars(conv, sub.constData(), int8_t(sub.size()), &err);
    if (defaultChar)
        *defaultChar = sub;
}

bool buildSingleByteTables(UConverter *conv, CodePageData &data)
{
    data.fromUnicode.assign(65536, 0xFFFF);
    std::array<bool, 256> mapped{};
    for (int b = 0; b < 256; ++b) {
        UErrorCode err = U_ZERO_ERROR;
        const char byte = char(b);
        UChar out[4];
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        const int n = ucnv_toUChars(conv, out, 4, &byte, 1, &err);
        ucnv_reset(conv);
        if (U_SUCCESS(err) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) {
            data.toUnicode[b] = out[0];
            mapped[b] = true;
        } else if (U_SUCCESS(err) && n == 1 && b == 0x1A) {
            data.toUnicode[b] = out[0];
            mapped[b] = true;
        }
    }
    // Keep the first byte for a character that several bytes decode to, so
    // that encoding is stable.
    for (int b = 0; b < 256; ++b)
        if (mapped[b] && data.fromUnicode[data.toUnicode[b]] == 0xFFFF)
            data.fromUnicode[data.toUnicode[b]] = uint16_t(b);
    // Undefined bytes get private-use characters that map back to them, so a
    // file survives a load and save byte for byte.
    for (int b = 0; b < 256; ++b) {
        if (mapped[b])
            continue;
        char16_t c = char16_t(b);
        if (b < 0x80 || b > 0x9F || data.fromUnicode[c] != 0xFFFF)
            c = char16_t(0xF700 + b);
        data.toUnicode[b] = c;
        data.fromUnicode[c] = uint16_t(b);
    }
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &err);
    return true;
}

class Registry
{
public:
    static Registry &instance()
    {
        static Registry registry;
        return registry;
    }

    const CodePageData *find(int cp)
    {
        QMutexLocker lock(&m_mutex);
        ensureList();
        auto it = m_pages.find(cp);
        if (it == m_pages.end())
            return nullptr;
        if (!it->second->icuName.isEmpty() && !m_tablesBuilt.contains(cp)) {
            m_tablesBuilt.insert(cp, true);
            if (auto conv = openConverter(it->second->icuName)) {
                setQuestionMarkSubstitution(conv.get(), &it->second->defaultChar);
                if (it->second->singleByte)
                    buildSingleByteTables(conv.get(), *it->second);
            }
        }
        return it->second.get();
    }

    QList<int> list()
    {
        QMutexLocker lock(&m_mutex);
        ensureList();
        return m_list;
    }

private:
    void ensureList()
    {
        if (m_listBuilt)
            return;
        m_listBuilt = true;
        for (int cp : windowsCodePageNumbers()) {
            for (const QByteArray &name : candidateNames(cp)) {
                ConverterPtr conv = openConverter(name);
                if (!conv)
                    continue;
                auto data = std::make_unique<CodePageData>();
                data->number = cp;
                data->icuName = name;
                const UConverterType type = ucnv_getType(conv.get());
                data->singleByte = ucnv_getMaxCharSize(conv.get()) == 1
                                   && (type == UCNV_SBCS || type == UCNV_LATIN_1 || type == UCNV_US_ASCII);
                m_pages.emplace(cp, std::move(data));
                m_list << cp;
                break;
            }
        }
    }

    QMutex m_mutex;
    bool m_listBuilt = false;
    QList<int> m_list;
    std::map<int, std::unique_ptr<CodePageData>> m_pages;
    QHash<int, bool> m_tablesBuilt;
};

std::atomic<int> g_acpOverride{0};

int acpForLanguage(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Czech: case QLocale::Polish: case QLocale::Hungarian:
    case QLocale::Slovak: case QLocale::Slovenian: case QLocale::Croatian:
    case QLocale::Romanian: case QLocale::Albanian: case QLocale::Bosnian:
        return 1250;
    case QLocale::Russian: case QLocale::Ukrainian: case QLocale::Bulgarian:
    case QLocale::Belarusian: case QLocale::Macedonian: case QLocale::Kazakh:
    case QLocale::Mongolian: case QLocale::Kyrgyz: case QLocale::Tatar:
        return 1251;
    case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? 1250 : 1251;
    case QLocale::Greek:
        return 1253;
    case QLocale::Turkish: case QLocale::Azerbaijani:
        return 1254;
    case QLocale::Hebrew: case QLocale::Yiddish:
        return 1255;
    case QLocale::Arabic: case QLocale::Persian: case QLocale::Urdu:
        return 1256;
    case QLocale::Estonian: case QLocale::Latvian: case QLocale::Lithuanian:
        return 1257;
    case QLocale::Vietnamese:
        return 1258;
    case QLocale::Thai:
        return 874;
    case QLocale::Japanese:
        return 932;
    case QLocale::Korean:
        return 949;
    case QLocale::Chinese:
        return (locale.script() == QLocale::TraditionalChineseScript
                || locale.territory() == QLocale::Taiwan || locale.territory() == QLocale::HongKong)
                   ? 950 : 936;
    default:
        return 1252;
    }
}

ConverterPtr converterFor(const CodePageData &data)
{
    ConverterPtr conv = openConverter(data.icuName);
    if (conv) {
        UErrorCode err = U_ZERO_ERROR;
        ucnv_setSubstChars(conv.get(), data.defaultChar.constData(), int8_t(data.defaultChar.size()), &err);
    }
    return conv;
}

// Reports whether ICU had to substitute while encoding.
void substitutionCallback(const void *context, UConverterFromUnicodeArgs *args,
                          const UChar *codeUnits, int32_t length, UChar32 codePoint,
                          UConverterCallbackReason reason, UErrorCode *err)
{
    if (reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR)
        *static_cast<bool *>(const_cast<void *>(context)) = true;
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, codePoint, reason, err);
}

} // namespace

int ansiCodePage()
{
    if (int cp = g_acpOverride.load())
        return cp;
    static const int fromEnvironmentOrLocale = [] {
        bool ok = false;
        const int env = qEnvironmentVariableIntValue("QUILMAR_ACP", &ok);
        if (ok && env > 0 && isInstalled(env))
            return env;
        return acpForLanguage(QLocale::system());
    }();
    return fromEnvironmentOrLocale;
}

void setAnsiCodePageOverride(int codePage)
{
    g_acpOverride.store(codePage);
}

QList<int> installedCodePages()
{
    return Registry::instance().list();
}

bool isInstalled(int codePage)
{
    return Registry::instance().find(codePage) != nullptr;
}

QString converterName(int codePage)
{
    const CodePageData *data = Registry::instance().find(codePage);
    return data ? QString::fromLatin1(data->icuName) : QString();
}

QString toUnicode(int codePage, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    if (codePage == Utf8)
        return QString::fromUtf8(bytes);
    const CodePageData *data = Registry::instance().find(codePage);
    if (!data)
        data = Registry::instance().find(ansiCodePage());
    if (!data)
        return QString::fromLatin1(bytes);
    if (data->singleByte) {
        QString out(bytes.size(), Qt::Uninitialized);
        char16_t *dst = reinterpret_cast<char16_t *>(out.data());
        const auto *src = reinterpret_cast<const unsigned char *>(bytes.data());
        const auto &table = data->toUnicode;
        for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
            dst[i] = table[src[i]];
        return out;
    }
    ConverterPtr conv = converterFor(*data);
    if (!conv)
        return QString::fromLatin1(bytes);
    // A multi-byte page never yields more UTF-16 units than bytes, except
    // UTF-7 and ISO-2022 shift sequences, which only shrink; keep a margin.
    QString out(bytes.size() + 16, Qt::Uninitialized);
    const char *source = bytes.data();
    qsizetype written = 0;
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        UChar *const targetStart = reinterpret_cast<UChar *>(out.data());
        UChar *target = targetStart + written;
        ucnv_toUnicode(conv.get(), &target, targetStart + out.size(), &source,
                       bytes.data() + bytes.size(), nullptr, true, &err);
        written = target - targetStart;
        // Should the margin ever be short, grow and go on where ICU stopped.
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        if (U_FAILURE(err))
            qWarning("code page %d: ICU could not decode (%s)", codePage, u_errorName(err));
        break;
    }
    out.truncate(written);
    return out;
}

QByteArray fromUnicode(int codePage, QStringView text, bool *lossy, QByteArrayView paragraphEnd)
{
    const CodePageData *data = Registry::instance().find(codePage);
    if (!data)
        data = Registry::instance().find(ansiCodePage());
    if (!data || !data->singleByte) {
        // Multi-byte pages go through ICU in one piece.
        QString joined = text.toString();
        joined.replace(QChar::ParagraphSeparator, QString::fromLatin1(paragraphEnd));
        return fromUnicode(codePage, joined, lossy);
    }
    const qsizetype n = text.size();
    const qsizetype ends = text.count(QChar::ParagraphSeparator);
    QByteArray out(n + ends * (paragraphEnd.size() - 1), Qt::Uninitialized);
    char *dst = out.data();
    const char16_t *src = text.utf16();
    const uint16_t *table = data->fromUnicode.data();
    const char fallback = data->defaultChar.isEmpty() ? '?' : data->defaultChar.at(0);
    bool lost = false;
    qsizetype o = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (c == QChar::ParagraphSeparator) {
            for (const char e : paragraphEnd)
                dst[o++] = e;
            continue;
        }
        const uint16_t b = table[c];
        if (b != 0xFFFF) {
            dst[o++] = char(b);
            continue;
        }
        lost = true;
        dst[o++] = fallback;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1]))
            ++i;
    }
    out.truncate(o);
    if (lossy)
        *lossy = lost;
    return out;
}

QByteArray fromUnicode(int codePage, QStringView text, bool *lossy)
{
    if (lossy)
        *lossy = false;
    if (text.isEmpty())
        return {};
    if (codePage == Utf8)
        return text.toUtf8();
    const CodePageData *data = Registry::instance().find(codePage);
    if (!data)
        data = Registry::instance().find(ansiCodePage());
    if (!data)
        return text.toLatin1();
    if (data->singleByte) {
        QByteArray out(text.size(), Qt::Uninitialized);
        char *dst = out.data();
        const char16_t *src = text.utf16();
        const uint16_t *table = data->fromUnicode.data();
        const char fallback = data->defaultChar.isEmpty() ? '?' : data->defaultChar.at(0);
        bool lost = false;
        const qsizetype n = text.size();
        qsizetype o = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const uint16_t b = table[src[i]];
            if (b != 0xFFFF) {
                dst[o++] = char(b);
                continue;
            }
            lost = true;
            dst[o++] = fallback;
            // A surrogate pair is one character: one default character.
            if (QChar::isHighSurrogate(src[i]) && i + 1 < n && QChar::isLowSurrogate(src[i + 1]))
                ++i;
        }
        out.truncate(o);
        if (lossy)
            *lossy = lost;
        return out;
    }
    ConverterPtr conv = converterFor(*data);
    if (!conv)
        return text.toLatin1();
    bool lost = false;
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv.get(), substitutionCallback, &lost, nullptr, nullptr, &err);
    err = U_ZERO_ERROR;
    const int maxChar = ucnv_getMaxCharSize(conv.get());
    QByteArray out(text.size() * maxChar + 16, Qt::Uninitialized);
    const UChar *source = reinterpret_cast<const UChar *>(text.utf16());
    const UChar *const sourceEnd = source + text.size();
    qsizetype written = 0;
    for (;;) {
        err = U_ZERO_ERROR;
        char *target = out.data() + written;
        ucnv_fromUnicode(conv.get(), &target, out.data() + out.size(), &source, sourceEnd, nullptr, true, &err);
        written = target - out.data();
        // Stateful pages may add shift sequences beyond the per-character
        // maximum: grow rather than cut the text short.
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        if (U_FAILURE(err)) {
            qWarning("code page %d: ICU could not encode (%s)", codePage, u_errorName(err));
            lost = true;
        }
        break;
    }
    out.truncate(written);
    if (lossy)
        *lossy = lost;
    return out;
}

bool canEncode(int codePage, QStringView text)
{
    bool lossy = false;
    fromUnicode(codePage, text, &lossy);
    return !lossy;
}

} // namespace CodePages
