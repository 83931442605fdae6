#pragma once
// The speller of the office proofing tools: a spelling library with the Common
// Speller API, found for a language in the registry and loaded at run time.

#include "spell/AbstractSpeller.h"

#include "proofing/SpellApi.h"

#include <QLibrary>

#include <functional>
#include <memory>

class Registry;
class TextSet;

// What the speller takes from its driver when it is created.
struct TCSAPISpellerContext {
    // The registry with the proofing-tools keys; none: the speller is Failed.
    Registry *registry = nullptr;
    // The driver's CustomDict; empty: the user dictionary registered with the library.
    QString customDict;
    // The driver's OnGetDictionary: may change the user dictionary of a language.
    std::function<void(TLanguage language, QString &dict)> onGetDictionary;
    // A folder this user can write, for the user dictionary when the main
    // dictionary's folder is a system one; empty: the application data folder.
    QString userDictionaryFolder;
    // Speller texts 22 to 24: "Spelling error No %d", "Error loading Spell DLL %s",
    // "Error unloading Spell DLL %s" in the interface language.
    QString spellingError;
    QString loadingError;
    QString unloadingError;

    TCSAPISpellerContext();
    void setTexts(const TextSet &texts);
};

class TCSAPISpeller : public TAbstractSpeller
{
public:
    // Raises ESpellError when the library cannot be loaded or set up; a
    // language without a registry key gives a Failed speller instead.
    TCSAPISpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner,
                  const TCSAPISpellerContext &context);
    // Closes silently; call Close() first to see its errors.
    ~TCSAPISpeller() override;

    TSpellReturnCode CheckBuffer(const QByteArray &buffer, int &errPos, int &errLen) override;
    TSpellReturnCode CheckBufferContinued(const QByteArray &buffer, int &errPos, int &errLen) override;
    void ChangeOnce(const QString &oldWord, const QString &newWord) override;
    void ChangeAlways(const QString &oldWord, const QString &newWord) override;
    void AddWord(const QString &word) override;
    void IgnoreAlways(const QString &word) override;
    void GetSuggestions(const QString &word, QStringList &list) override;
    QString GetChangeWord() const override;
    QString GetErrorWord() const override;

    // Closes the dictionaries, ends the session and unloads the library, in
    // that order; raises the first failure after doing all it can.
    void Close();

    QString LibraryPath() const { return m_libraryPath; }
    QString DictionaryPath() const { return m_dictionaryPath; }
    QString UserDictionaryPath() const { return m_userDictionaryPath; }

private:
    struct Entries;
    void findDictionaries(const TCSAPISpellerContext &context);
    void loadLibrary();
    void openSession();
    void check(SC_SEC code, SC_SEC alsoAccepted = 0) const;
    TSpellReturnCode checkPieces(const QByteArray &buffer, uint16_t firstState, int &errPos, int &errLen);
    QByteArray encoded(const QString &text) const;

    QString m_libraryPath;
    QString m_dictionaryPath;
    QString m_userDictionaryPath;
    QString m_errorWord;
    QString m_spellingError;
    QString m_loadingError;
    QString m_unloadingError;
    int m_codePage = 1252;
    QLibrary m_library;
    std::unique_ptr<Entries> m_entries;
    SC_SPLID m_id = 0;
    SC_WSC m_wsc = {};
    SC_MDRS m_mdrs = {};
    SC_UDR m_udr = 0;
    SC_SIB m_sib = {};
    SC_SRB m_srb = {};
    QByteArray m_suggestionBuffer;
    QByteArray m_ratingBuffer;
    bool m_initialised = false;
    bool m_mdrOpen = false;
    bool m_udrOpen = false;
};
