#pragma once

#include <QString>
#include <QStringList>

// Which set of speller texts the spelling dialog and the spell checker's
// messages use: the built-in English or German set, or the texts of the
// interface language file in force (the other texts).
enum class TUserLanguage { ulEnglish, ulOwn, ulOther };

// The 26 texts of the spelling dialog and of the spellers' messages.
class SpellerTexts
{
public:
    enum Text {
        Variants, Delete, Change, ChangeAll, Skip, SkipAll, Add, Cancel, UndoEdit,
        UnknownWord, IllegalHyphenations, CapitalizationError, PossibleAbbreviation,
        SentenceCapitalizationError, ExtraSpaces, MissingSpace, NumeralsInStartOfWord,
        RepeatedWord, SpellingCheckComplete, MessageTitle, DialogTitle, SpellingErrorNo,
        ErrorLoadingSpeller, ErrorUnloadingSpeller, LanguageNotInstalled, Start,
    };
    static constexpr int Count = 26;

    // Starts as the English set.
    SpellerTexts();
    static SpellerTexts english();
    static SpellerTexts german();
    // From the 217 lines of an interface language: dialog buttons from lines
    // 18 to 24, Cancel from line 62, the rest from lines 26 to 43. Missing
    // lines leave the English text.
    static SpellerTexts fromLanguageLines(const QStringList &lines);
    // The set a user language selects; otherTexts are those a language file set.
    static SpellerTexts forUserLanguage(TUserLanguage language, const SpellerTexts &otherTexts);

    QString text(Text which) const { return m_texts.at(which); }
    const QStringList &texts() const { return m_texts; }

private:
    QStringList m_texts;
};
