#include "spell/Langs.h"

#include "platform/CodePages.h"

#include <unicode/uloc.h>

namespace {

QByteArray localeOf(TLanguage language)
{
    if (language == 0)
        return {};
    char buffer[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = uloc_getLocaleForLCID(language, buffer, sizeof buffer, &err);
    if (U_FAILURE(err) || n <= 0)
        return {};
    return QByteArray(buffer, n);
}

QString displayName(const QByteArray &locale, const char *inLocale)
{
    UChar buffer[256];
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = uloc_getDisplayName(locale.constData(), inLocale, buffer, 255, &err);
    if (U_FAILURE(err) || n <= 0)
        return {};
    return QString(reinterpret_cast<const QChar *>(buffer), qMin(n, 255));
}

} // namespace

QString GetLanguageName(TLanguage language, TLangOption option)
{
    const QByteArray locale = localeOf(language);
    if (locale.isEmpty())
        return {};
    switch (option) {
    case TLangOption::loLocalized:
        return displayName(locale, uloc_getDefault());
    case TLangOption::loEnglish:
        return displayName(locale, "en");
    case TLangOption::loNative:
        return displayName(locale, locale.constData());
    case TLangOption::loAbbrev:
        return QString::fromLatin1(uloc_getISO3Language(locale.constData())).toUpper();
    }
    return {};
}

int LanguageCodePage(TLanguage language)
{
    if (language == 0)
        return CodePages::ansiCodePage();
    const int sub = language >> 10;
    switch (language & 0x3ff) {
    case 0x05: case 0x0e: case 0x15: case 0x18: case 0x1b: case 0x1c: case 0x24:
        return 1250;                                  // cs hu pl ro sk sq sl
    case 0x1a:
        return sub == 3 || sub == 7 ? 1251 : 1250;    // hr, sr-Latn / sr-Cyrl
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2f: case 0x3f: case 0x40:
    case 0x44: case 0x50:
        return 1251;                                  // bg ru uk be mk kk ky tt mn
    case 0x2c:
        return sub == 2 ? 1251 : 1254;                // az-Cyrl / az-Latn
    case 0x08:
        return 1253;
    case 0x1f:
        return 1254;
    case 0x0d:
        return 1255;
    case 0x01: case 0x20: case 0x29:
        return 1256;                                  // ar ur fa
    case 0x25: case 0x26: case 0x27:
        return 1257;                                  // et lv lt
    case 0x2a:
        return 1258;
    case 0x1e:
        return 874;
    case 0x11:
        return 932;
    case 0x12:
        return 949;
    case 0x04:
        return sub == 2 || sub == 4 ? 936 : 950;      // zh-CN, zh-SG / zh-TW, zh-HK
    default:
        return 1252;
    }
}

int LanguageCharset(TLanguage language)
{
    switch (LanguageCodePage(language)) {
    case 1252: return 0;
    case 1250: return 238;
    case 1251: return 204;
    case 1253: return 161;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1258: return 163;
    case 874: return 222;
    case 932: return 128;
    case 936: return 134;
    case 949: return 129;
    case 950: return 136;
    default: return 1;
    }
}

TLanguage LanguageOfLocaleName(const QString &localeName)
{
    const QByteArray name = localeName.section(u'.', 0, 0).section(u'@', 0, 0).toLatin1();
    if (name.isEmpty())
        return 0;
    char canonical[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    uloc_canonicalize(name.constData(), canonical, sizeof canonical, &err);
    if (U_FAILURE(err))
        return 0;
    return TLanguage(uloc_getLCID(canonical) & 0xffff);
}
