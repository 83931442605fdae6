#include "TextCoding.h"

#include <unicode/locid.h>
#include <unicode/uloc.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <cstring>

namespace proofing {

namespace {

UConverter *openFirst(std::initializer_list<std::string> names)
{
    for (const std::string &name : names) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter *conv = ucnv_open(name.c_str(), &err);
        if (U_SUCCESS(err) && conv)
            return conv;
    }
    return nullptr;
}

std::string lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

} // namespace

int codePageOfLanguage(unsigned lid)
{
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    uloc_getLocaleForLCID(lid, name, sizeof name - 1, &err);
    if (U_FAILURE(err) || !*name)
        return 1252;
    char lang[ULOC_LANG_CAPACITY] = {}, script[ULOC_SCRIPT_CAPACITY] = {}, country[ULOC_COUNTRY_CAPACITY] = {};
    err = U_ZERO_ERROR;
    uloc_getLanguage(name, lang, sizeof lang - 1, &err);
    uloc_getScript(name, script, sizeof script - 1, &err);
    uloc_getCountry(name, country, sizeof country - 1, &err);
    const std::string l = lang;
    struct Entry { const char *langs; int cp; };
    static const Entry table[] = {
        {" cs pl hu sk sl hr ro sq bs ", 1250},
        {" ru uk bg be mk kk mn ky tt ", 1251},
        {" el ", 1253}, {" tr az ", 1254}, {" he yi ", 1255}, {" ar fa ur ", 1256},
        {" et lv lt ", 1257}, {" vi ", 1258}, {" th ", 874}, {" ja ", 932}, {" ko ", 949},
    };
    if (l == "sr")
        return std::strcmp(script, "Cyrl") == 0 ? 1251 : 1250;
    if (l == "zh") {
        const bool traditional = std::strcmp(script, "Hant") == 0 || std::strcmp(country, "TW") == 0
                                 || std::strcmp(country, "HK") == 0 || std::strcmp(country, "MO") == 0;
        return traditional ? 950 : 936;
    }
    for (const Entry &e : table)
        if (std::strstr(e.langs, (" " + l + " ").c_str()))
            return e.cp;
    return 1252;
}

unsigned languageOfLocale(const std::string &locale)
{
    if (locale.empty() || locale.size() > 40)
        return 0;
    uint32_t lcid = uloc_getLCID(locale.c_str());
    // A bare language ("fr") gives the neutral identifier; take its default sublanguage.
    if (lcid > 0 && lcid < 0x400)
        lcid += 0x400;
    return lcid > 0 && lcid <= 0xffff ? lcid : 0;
}

Converter::Converter(int codePage)
{
    const std::string n = std::to_string(codePage);
    if (codePage == 65001)
        m_conv = openFirst({"UTF-8"});
    else
        m_conv = openFirst({"windows-" + n, "cp" + n, "ibm-" + n});
}

Converter::Converter(const std::string &encoding)
{
    std::string e = lower(encoding);
    if (e.rfind("iso8859-", 0) == 0 || e.rfind("iso8859_", 0) == 0)
        e = "iso-8859-" + e.substr(8);
    else if (e.rfind("microsoft-cp", 0) == 0)
        e = "windows-" + e.substr(12);
    else if (e == "tis620-2533")
        e = "tis-620";
    m_conv = openFirst({e, encoding});
}

Converter::~Converter()
{
    if (m_conv)
        ucnv_close(static_cast<UConverter *>(m_conv));
}

Text Converter::decode(const char *bytes, size_t length, std::vector<int> *offsets)
{
    Text out;
    if (offsets)
        offsets->clear();
    if (!m_conv || !bytes || length == 0)
        return out;
    auto *conv = static_cast<UConverter *>(m_conv);
    ucnv_reset(conv);
    out.resize(length * 2 + 2);
    std::vector<int32_t> offs(out.size());
    UChar *target = reinterpret_cast<UChar *>(&out[0]);
    UChar *const targetStart = target;
    const char *source = bytes;
    UErrorCode err = U_ZERO_ERROR;
    ucnv_toUnicode(conv, &target, targetStart + out.size(), &source, bytes + length, offs.data(), true, &err);
    const size_t n = U_SUCCESS(err) ? size_t(target - targetStart) : 0;
    out.resize(n);
    if (offsets) {
        offsets->assign(offs.begin(), offs.begin() + n);
        for (int &o : *offsets)
            if (o < 0 || size_t(o) >= length)
                o = int(length) - 1;
    }
    return out;
}

bool Converter::encode(const Text &text, std::string &out)
{
    out.clear();
    if (!m_conv)
        return false;
    if (text.empty())
        return true;
    auto *conv = static_cast<UConverter *>(m_conv);
    ucnv_reset(conv);
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    out.resize(text.size() * 4 + 8);
    err = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv, &out[0], int32_t(out.size()),
                                      reinterpret_cast<const UChar *>(text.data()), int32_t(text.size()), &err);
    if (U_FAILURE(err) || n > int32_t(out.size())) {
        out.clear();
        return false;
    }
    out.resize(size_t(n));
    return true;
}

Text utf8ToText(const std::string &utf8, bool *valid)
{
    Text out(utf8.size() + 1, u'\0');
    int32_t n = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar *>(&out[0]), int32_t(out.size()), &n, utf8.data(), int32_t(utf8.size()), &err);
    if (valid)
        *valid = U_SUCCESS(err);
    if (U_FAILURE(err))
        return Text();
    out.resize(size_t(n));
    return out;
}

std::string textToUtf8(const Text &text)
{
    std::string out(text.size() * 3 + 1, '\0');
    int32_t n = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strToUTF8WithSub(&out[0], int32_t(out.size()), &n, reinterpret_cast<const UChar *>(text.data()),
                       int32_t(text.size()), 0xfffd, nullptr, &err);
    if (U_FAILURE(err))
        return std::string();
    out.resize(size_t(n));
    return out;
}

namespace {

template <typename F>
Text mapped(const Text &text, F f)
{
    Text out(text.size() * 3 + 4, u'\0');
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = f(reinterpret_cast<UChar *>(&out[0]), int32_t(out.size()),
                        reinterpret_cast<const UChar *>(text.data()), int32_t(text.size()), &err);
    if (U_FAILURE(err))
        return text;
    out.resize(size_t(n));
    return out;
}

} // namespace

Text lowerCase(const Text &text)
{
    return mapped(text, [](UChar *d, int32_t dn, const UChar *s, int32_t sn, UErrorCode *e) {
        return u_strToLower(d, dn, s, sn, "", e);
    });
}

Text upperCase(const Text &text)
{
    return mapped(text, [](UChar *d, int32_t dn, const UChar *s, int32_t sn, UErrorCode *e) {
        return u_strToUpper(d, dn, s, sn, "", e);
    });
}

Text foldCase(const Text &text)
{
    return mapped(text, [](UChar *d, int32_t dn, const UChar *s, int32_t sn, UErrorCode *e) {
        return u_strFoldCase(d, dn, s, sn, U_FOLD_CASE_DEFAULT, e);
    });
}

} // namespace proofing
