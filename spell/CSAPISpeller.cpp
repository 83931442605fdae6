#include "spell/CSAPISpeller.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "platform/TextFormat.h"
#include "platform/TextSet.h"
#include "spell/OfficeLanguages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QStandardPaths>

#include <unicode/uloc.h>

#include <cstring>

namespace {

Q_LOGGING_CATEGORY(lcSpell, "quilmar.spell")

// The input record's length field is 16 bits wide.
constexpr int MaximumPiece = 65535;
// Closing a user dictionary the library has already let go of.
constexpr SC_SEC UserDictionaryClosed = 0x8102;
// A library that never says "no more suggestions" is not asked forever.
constexpr int MaximumSuggestionRounds = 1000;
const QString CustomDicName = QStringLiteral("CUSTOM.DIC");

// The language's ANSI code page, the one the driver converts text into.
int languageCodePage(TLanguage language)
{
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    uloc_getLocaleForLCID(language, name, sizeof name - 1, &err);
    char lang[ULOC_LANG_CAPACITY] = {}, script[ULOC_SCRIPT_CAPACITY] = {}, country[ULOC_COUNTRY_CAPACITY] = {};
    uloc_getLanguage(name, lang, sizeof lang - 1, &err);
    uloc_getScript(name, script, sizeof script - 1, &err);
    uloc_getCountry(name, country, sizeof country - 1, &err);
    if (U_FAILURE(err))
        return 1252;
    const QByteArray l(lang);
    if (l == "sr")
        return qstrcmp(script, "Cyrl") == 0 ? 1251 : 1250;
    if (l == "zh") {
        const QByteArray c(country);
        return qstrcmp(script, "Hant") == 0 || c == "TW" || c == "HK" || c == "MO" ? 950 : 936;
    }
    static const QHash<QByteArray, int> pages = {
        {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
        {"ro", 1250}, {"sq", 1250}, {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"bg", 1251},
        {"be", 1251}, {"mk", 1251}, {"kk", 1251}, {"mn", 1251}, {"ky", 1251}, {"tt", 1251},
        {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"yi", 1255}, {"ar", 1256},
        {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257}, {"vi", 1258},
        {"th", 874},  {"ja", 932},  {"ko", 949},
    };
    return pages.value(l, 1252);
}

// A file this user can write (or create) there.
bool canWrite(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists())
        return file.isFile() && file.isWritable();
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}

// Several spellers load the same library; only the last unload really unloads it.
QMutex g_loadMutex;
QHash<QString, int> g_loadCount;

} // namespace

struct TCSAPISpeller::Entries {
    decltype(&::SpellVer) SpellVer = nullptr;
    decltype(&::SpellInit) SpellInit = nullptr;
    decltype(&::SpellOptions) SpellOptions = nullptr;
    decltype(&::SpellCheck) SpellCheck = nullptr;
    decltype(&::SpellTerminate) SpellTerminate = nullptr;
    decltype(&::SpellVerifyMdr) SpellVerifyMdr = nullptr;
    decltype(&::SpellOpenMdr) SpellOpenMdr = nullptr;
    decltype(&::SpellOpenUdr) SpellOpenUdr = nullptr;
    decltype(&::SpellAddUdr) SpellAddUdr = nullptr;
    decltype(&::SpellAddChangeUdr) SpellAddChangeUdr = nullptr;
    decltype(&::SpellDelUdr) SpellDelUdr = nullptr;
    decltype(&::SpellClearUdr) SpellClearUdr = nullptr;
    decltype(&::SpellGetSizeUdr) SpellGetSizeUdr = nullptr;
    decltype(&::SpellGetListUdr) SpellGetListUdr = nullptr;
    decltype(&::SpellCloseMdr) SpellCloseMdr = nullptr;
    decltype(&::SpellCloseUdr) SpellCloseUdr = nullptr;

    // The ten the speller calls; the other six are looked up only.
    bool hasCalledOnes() const
    {
        return SpellInit && SpellOptions && SpellCheck && SpellTerminate && SpellOpenMdr && SpellOpenUdr
               && SpellAddUdr && SpellAddChangeUdr && SpellCloseMdr && SpellCloseUdr;
    }
};

TCSAPISpellerContext::TCSAPISpellerContext()
{
    setTexts(TextSet::english());
}

void TCSAPISpellerContext::setTexts(const TextSet &texts)
{
    // Speller texts 22 to 24 follow "&Undo Edit" (text 9) in a language file.
    spellingError = texts.line(TextSet::SpellTextsFirst + 13);
    loadingError = texts.line(TextSet::SpellTextsFirst + 14);
    unloadingError = texts.line(TextSet::SpellTextsFirst + 15);
}

TCSAPISpeller::TCSAPISpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner,
                             const TCSAPISpellerContext &context)
    : TAbstractSpeller(language, options, owner),
      m_spellingError(context.spellingError),
      m_loadingError(context.loadingError),
      m_unloadingError(context.unloadingError),
      m_codePage(languageCodePage(language)),
      m_entries(std::make_unique<Entries>())
{
    setSpellerType(TSpellerType::sptMSOffice);
    m_wsc = SC_WSC{0, 45, 31, 30, 151, 150, 133, {11, 10}, {13, 10}};
    if (!context.registry) {
        setFailed(QString());
        return;
    }
    Registry &registry = *context.registry;
    // A regional variant without a key of its own uses its primary language's.
    QString key = OfficeLanguages::languageKey(language);
    if (!registry.keyExists(key)) {
        key = OfficeLanguages::languageKey(TLanguage((language & 0x3ff) + 0x400));
        if (!registry.keyExists(key)) {
            setFailed(QString());
            return;
        }
    }
    m_libraryPath = registry.value(key, QStringLiteral("Engine")).value_or(QString());
    m_dictionaryPath = registry.value(key, QStringLiteral("Dictionary")).value_or(QString());
    findDictionaries(context);
    loadLibrary();
    try {
        openSession();
    } catch (const ESpellError &) {
        try {
            Close();
        } catch (const ESpellError &e) {
            qCWarning(lcSpell) << e.message();
        }
        throw;
    }
}

TCSAPISpeller::~TCSAPISpeller()
{
    try {
        Close();
    } catch (const ESpellError &e) {
        qCWarning(lcSpell) << e.message();
    }
}

// The user dictionary: the driver's, the registered one, or "CUSTOM.DIC" beside
// the main dictionary. One in a folder this user cannot write (a system folder)
// would lose every added word, so a per-user one is registered instead.
void TCSAPISpeller::findDictionaries(const TCSAPISpellerContext &context)
{
    Registry &registry = *context.registry;
    const QString customKey = OfficeLanguages::customDictionariesKey();
    QString path = context.customDict;
    bool mayMove = false;
    bool keyCreated = false;
    if (path.isEmpty()) {
        if (registry.keyExists(customKey)) {
            path = registry.value(customKey, QStringLiteral("1")).value_or(QString());
            mayMove = !path.isEmpty();
        } else {
            keyCreated = true;
        }
    }
    if (context.onGetDictionary) {
        const QString before = path;
        context.onGetDictionary(Language(), path);
        mayMove = mayMove && path == before;
    }
    bool write = false;
    if (path.isEmpty()) {
        path = QFileInfo(m_dictionaryPath).absolutePath() + u'/' + CustomDicName;
        write = keyCreated;
        mayMove = true;
    }
    if (mayMove && !canWrite(path)) {
        QString folder = context.userDictionaryFolder;
        if (folder.isEmpty())
            folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        path = QDir(folder).filePath(CustomDicName);
        write = true;
    }
    m_userDictionaryPath = path;
    if (write) {
        registry.setValue(customKey, QStringLiteral("1"), path);
        // The file store keeps the registration for the next start.
        if (auto *file = dynamic_cast<FileRegistry *>(&registry); file && !file->path().isEmpty())
            file->save();
    }
}

void TCSAPISpeller::loadLibrary()
{
    m_library.setFileName(m_libraryPath);
    bool loaded = !m_libraryPath.isEmpty() && m_library.load();
    if (loaded) {
        Entries &e = *m_entries;
        const auto resolve = [this](auto &entry, const char *name) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(m_library.resolve(name));
        };
        resolve(e.SpellVer, "SpellVer");
        resolve(e.SpellInit, "SpellInit");
        resolve(e.SpellOptions, "SpellOptions");
        resolve(e.SpellCheck, "SpellCheck");
        resolve(e.SpellTerminate, "SpellTerminate");
        resolve(e.SpellVerifyMdr, "SpellVerifyMdr");
        resolve(e.SpellOpenMdr, "SpellOpenMdr");
        resolve(e.SpellOpenUdr, "SpellOpenUdr");
        resolve(e.SpellAddUdr, "SpellAddUdr");
        resolve(e.SpellAddChangeUdr, "SpellAddChangeUdr");
        resolve(e.SpellDelUdr, "SpellDelUdr");
        resolve(e.SpellClearUdr, "SpellClearUdr");
        resolve(e.SpellGetSizeUdr, "SpellGetSizeUdr");
        resolve(e.SpellGetListUdr, "SpellGetListUdr");
        resolve(e.SpellCloseMdr, "SpellCloseMdr");
        resolve(e.SpellCloseUdr, "SpellCloseUdr");
        if (!e.hasCalledOnes()) {
            m_library.unload();
            loaded = false;
        }
    }
    if (!loaded) {
        *m_entries = Entries();
        setFailed(m_library.errorString());
        throw ESpellError(formatText(m_loadingError, {m_libraryPath}));
    }
    QMutexLocker lock(&g_loadMutex);
    ++g_loadCount[m_libraryPath];
}

void TCSAPISpeller::check(SC_SEC code, SC_SEC alsoAccepted) const
{
    if (code != 0 && code != alsoAccepted)
        throw ESpellError(formatText(m_spellingError, {int(code)}));
}

void TCSAPISpeller::openSession()
{
    const Entries &e = *m_entries;
    check(e.SpellInit(&m_id, &m_wsc));
    m_initialised = true;
    check(e.SpellOptions(m_id, int32_t(Options())));
    QByteArray dictionary = QFile::encodeName(m_dictionaryPath);
    check(e.SpellOpenMdr(m_id, dictionary.data(), nullptr, 0, 1, Language(), &m_mdrs));
    m_mdrOpen = true;
    QByteArray user = QFile::encodeName(m_userDictionaryPath);
    SC_BOOL readOnly = 0;
    check(e.SpellOpenUdr(m_id, user.data(), 1, udrIgnoreAlways, &m_udr, &readOnly));
    m_udrOpen = true;

    m_suggestionBuffer = QByteArray(1024, '\0');
    m_ratingBuffer = QByteArray(255, '\0');
    m_sib.cMdr = 1;
    m_sib.cUdr = 1;
    m_sib.lrgMdr = &m_mdrs.mdr;
    m_sib.lrgUdr = &m_udr;
    m_srb.lrgsz = m_suggestionBuffer.data();
    m_srb.cch = 1024;
    m_srb.lrgbRating = reinterpret_cast<SC_BYTE *>(m_ratingBuffer.data());
    m_srb.cbRate = 255;
}

void TCSAPISpeller::Close()
{
    if (!m_library.isLoaded() || !m_entries->SpellInit)
        return;
    const Entries e = *m_entries;
    *m_entries = Entries();
    setFailed(QString()); // nothing works after this
    SC_SEC first = 0;
    const auto keep = [&first](SC_SEC code) {
        if (!first)
            first = code;
    };
    m_srb = SC_SRB();
    m_sib = SC_SIB();
    m_suggestionBuffer.clear();
    m_ratingBuffer.clear();
    if (m_mdrOpen)
        keep(e.SpellCloseMdr(m_id, &m_mdrs));
    if (m_udrOpen) {
        const SC_SEC code = e.SpellCloseUdr(m_id, m_udr, 1);
        keep(code == UserDictionaryClosed ? 0 : code);
    }
    if (m_initialised)
        keep(e.SpellTerminate(m_id, 1));
    m_mdrOpen = m_udrOpen = m_initialised = false;
    bool last = true;
    {
        QMutexLocker lock(&g_loadMutex);
        last = --g_loadCount[m_libraryPath] <= 0;
        if (last)
            g_loadCount.remove(m_libraryPath);
    }
    const bool unloaded = m_library.unload() || !last;
    check(first);
    if (!unloaded)
        throw ESpellError(formatText(m_unloadingError, {m_libraryPath}));
}

QByteArray TCSAPISpeller::encoded(const QString &text) const
{
    return CodePages::fromUnicode(m_codePage, text);
}

TSpellReturnCode TCSAPISpeller::CheckBuffer(const QByteArray &buffer, int &errPos, int &errLen)
{
    return checkPieces(buffer, fssStartsSentence, errPos, errLen);
}

TSpellReturnCode TCSAPISpeller::CheckBufferContinued(const QByteArray &buffer, int &errPos, int &errLen)
{
    return checkPieces(buffer, fssIsContinued, errPos, errLen);
}

// A text longer than the record's 16-bit length is checked in pieces cut
// after a space where there is one, each piece continuing the one before.
TSpellReturnCode TCSAPISpeller::checkPieces(const QByteArray &buffer, uint16_t firstState, int &errPos, int &errLen)
{
    if (Failed())
        return TSpellReturnCode::srNoErrors;
    const qsizetype zero = buffer.indexOf('\0');
    const int length = int(zero >= 0 ? zero : buffer.size());
    int offset = 0;
    uint16_t state = firstState;
    do {
        int piece = qMin(length - offset, MaximumPiece);
        if (offset + piece < length) {
            for (int i = offset + piece - 1; i > offset; --i) {
                if (buffer.at(i) == ' ' || buffer.at(i) == '\t') {
                    piece = i + 1 - offset;
                    break;
                }
            }
        }
        m_sib.cch = uint16_t(piece);
        m_sib.wSpellState = state;
        m_sib.lrgch = const_cast<char *>(buffer.constData()) + offset;
        m_suggestionBuffer[0] = m_suggestionBuffer[1] = '\0';
        check(m_entries->SpellCheck(m_id, sccVerifyBuffer, &m_sib, &m_srb));
        const int status = m_srb.scrs & 0xff;
        if (status != scrsNoErrors) {
            // Positions outside the piece would be a fault of the library.
            const int pos = qMin(int(m_srb.ichError), piece);
            errPos = offset + pos;
            errLen = qMin(int(m_srb.cchError), piece - pos);
            m_errorWord = CodePages::toUnicode(m_codePage, QByteArrayView(buffer).sliced(errPos, errLen));
            return status <= int(TSpellReturnCode::srInitialNumeral) ? TSpellReturnCode(status)
                                                                      : TSpellReturnCode::srUnknownInputWord;
        }
        offset += piece;
        state = fssIsContinued;
    } while (offset < length);
    return TSpellReturnCode::srNoErrors;
}

void TCSAPISpeller::ChangeOnce(const QString &oldWord, const QString &newWord)
{
    if (Failed())
        return;
    QByteArray from = encoded(oldWord), to = encoded(newWord);
    check(m_entries->SpellAddChangeUdr(m_id, udrChangeOnce, from.data(), to.data()));
}

void TCSAPISpeller::ChangeAlways(const QString &oldWord, const QString &newWord)
{
    if (Failed())
        return;
    QByteArray from = encoded(oldWord), to = encoded(newWord);
    check(m_entries->SpellAddChangeUdr(m_id, udrChangeAlways, from.data(), to.data()));
}

void TCSAPISpeller::AddWord(const QString &word)
{
    if (Failed())
        return;
    QByteArray w = encoded(word);
    check(m_entries->SpellAddUdr(m_id, m_udr, w.data()));
}

void TCSAPISpeller::IgnoreAlways(const QString &word)
{
    if (Failed())
        return;
    QByteArray w = encoded(word);
    check(m_entries->SpellAddUdr(m_id, udrIgnoreAlways, w.data()));
}

void TCSAPISpeller::GetSuggestions(const QString &word, QStringList &list)
{
    list.clear();
    if (Failed())
        return;
    QByteArray w = encoded(word);
    QByteArray suggestions(2048, '\0');
    QByteArray ratings(256, '\0');
    SC_SIB sib = {uint16_t(qMin<qsizetype>(w.size(), MaximumPiece)), 1, 1, 0, w.data(), &m_mdrs.mdr, &m_udr};
    SC_SRB srb = {};
    srb.cch = 2047;
    srb.lrgsz = suggestions.data();
    srb.lrgbRating = reinterpret_cast<SC_BYTE *>(ratings.data());
    srb.cbRate = 255;
    check(m_entries->SpellCheck(m_id, sccSuggest, &sib, &srb));
    for (int round = 0; (srb.scrs & 0xff) != scrsNoMoreSuggestions && round < MaximumSuggestionRounds; ++round) {
        suggestions[2047] = '\0'; // the last byte is outside the size the library was given
        for (const char *p = suggestions.constData(); *p; p += std::strlen(p) + 1) {
            const QString s = CodePages::toUnicode(m_codePage, QByteArrayView(p, qsizetype(std::strlen(p))));
            if (!list.contains(s))
                list << s;
        }
        check(m_entries->SpellCheck(m_id, sccSuggestMore, &sib, &srb));
    }
}

QString TCSAPISpeller::GetChangeWord() const
{
    if (Failed() || m_suggestionBuffer.isEmpty())
        return QString();
    const char *p = m_suggestionBuffer.constData();
    return CodePages::toUnicode(m_codePage, QByteArrayView(p, qstrnlen(p, uint(m_suggestionBuffer.size()))));
}

QString TCSAPISpeller::GetErrorWord() const
{
    return Failed() ? QString() : m_errorWord;
}
