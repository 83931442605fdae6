#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>

// A 16-bit Windows language identifier (1033 English US, 1031 German …).
using TLanguage = std::uint16_t;

enum class TSpellerType { sptMSOffice, sptISpell };

// Bit n of a TSpellOptions value is the option with ordinal n; the value is
// handed unchanged to the office speller library.
enum TSpellOption : std::uint16_t {
    spoSuggestFromUserDict = 1u << 0,
    spoIgnoreAllCaps = 1u << 1,
    spoIgnoreMixedDigits = 1u << 2,
    spoIgnoreRomanNumerals = 1u << 3,
    spoFindUncappedSentences = 1u << 4,
    spoFindMissingSpaces = 1u << 5,
    spoFindRepeatWord = 1u << 6,
    spoFindExtraSpaces = 1u << 7,
    spoFindSpacesBeforePunc = 1u << 8,
    spoFindSpacesAfterPunc = 1u << 9,
    spoRateSuggestions = 1u << 10,
    spoFindInitialNumerals = 1u << 11,
};
using TSpellOptions = std::uint16_t;

constexpr TSpellOptions DefaultSpellOptions =
    spoSuggestFromUserDict | spoIgnoreAllCaps | spoIgnoreMixedDigits | spoIgnoreRomanNumerals;

// A speller's answer; the ordinal is the status the office speller library reports.
enum class TSpellReturnCode : std::uint8_t {
    srNoErrors = 0,
    srUnknownInputWord = 1,
    srReturningChangeAlways = 2,
    srReturningChangeOnce = 3,
    srInvalidHyphenation = 4,
    srErrorCapitalization = 5,
    srWordConsideredAbbreviation = 6,
    srHyphChangesSpelling = 7,
    srNoMoreSuggestions = 8,
    srMoreInfoThanBufferCouldHold = 9,
    srNoSentenceStartCap = 10,
    srRepeatWord = 11,
    srExtraSpaces = 12,
    srMissingSpace = 13,
    srInitialNumeral = 14,
};

class TSpellChecker;

// A speller operation that failed; the message is one of the speller texts,
// filled in ("Spelling error No 8194"). The driver catches it at its steps.
class ESpellError : public std::runtime_error
{
public:
    explicit ESpellError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The contract between the spell-check driver and one speller (one language
// of one speller type). A speller that could not be set up is Failed: then
// checks report no errors and text getters return empty strings.
class TAbstractSpeller
{
public:
    TAbstractSpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner)
        : m_language(language), m_options(options), m_owner(owner) {}
    virtual ~TAbstractSpeller() = default;
    TAbstractSpeller(const TAbstractSpeller &) = delete;
    TAbstractSpeller &operator=(const TAbstractSpeller &) = delete;

    TLanguage Language() const { return m_language; }
    TSpellerType SpellerType() const { return m_type; }
    QString Name() const { return m_name; }
    TSpellOptions Options() const { return m_options; }
    TSpellChecker *Owner() const { return m_owner; }
    bool Failed() const { return m_failed; }
    // Why the speller failed, for the one message the user gets.
    QString FailureText() const { return m_failureText; }

    // buffer is 8-bit text in the speller's code page; errPos and errLen are
    // set only when the result is not srNoErrors. At most one error a call.
    virtual TSpellReturnCode CheckBuffer(const QByteArray &buffer, int &errPos, int &errLen) = 0;
    // The same for a buffer that continues earlier text (not a sentence start).
    virtual TSpellReturnCode CheckBufferContinued(const QByteArray &buffer, int &errPos, int &errLen) = 0;
    // A buffer the driver expects to check soon, in the order it will; a
    // speller may start on it meanwhile. Only a hint: nothing depends on it.
    virtual void CheckAhead(const QByteArray &buffer) { Q_UNUSED(buffer); }
    virtual void ChangeOnce(const QString &oldWord, const QString &newWord) = 0;
    virtual void ChangeAlways(const QString &oldWord, const QString &newWord) = 0;
    virtual void AddWord(const QString &word) = 0;
    virtual void IgnoreAlways(const QString &word) = 0;
    virtual void GetSuggestions(const QString &word, QStringList &list) = 0;
    virtual QString GetChangeWord() const = 0;
    virtual QString GetErrorWord() const = 0;

protected:
    void setSpellerType(TSpellerType type) { m_type = type; }
    void setName(const QString &name) { m_name = name; }
    void setFailed(const QString &why) { m_failed = true; m_failureText = why; }

private:
    TLanguage m_language;
    TSpellerType m_type = TSpellerType::sptMSOffice;
    QString m_name;
    TSpellOptions m_options;
    TSpellChecker *m_owner;
    bool m_failed = false;
    QString m_failureText;
};
