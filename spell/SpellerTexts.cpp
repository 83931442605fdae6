#include "spell/SpellerTexts.h"

#include "platform/TextSet.h"

// The built-in sets live with the other interface texts, in language-file
// order, so a translator finds them in one place.

namespace {

int lineOf(int text)
{
    if (text <= SpellerTexts::Add)
        return TextSet::SpellButtonsFirst + text;
    if (text == SpellerTexts::Cancel)
        return TextSet::SpellCancelCaption;
    return TextSet::SpellTextsFirst + (text - SpellerTexts::UndoEdit);
}

} // namespace

SpellerTexts::SpellerTexts()
{
    const TextSet english = TextSet::english();
    for (int i = 0; i < Count; ++i)
        m_texts << english.line(lineOf(i));
}

SpellerTexts SpellerTexts::english()
{
    return SpellerTexts();
}

SpellerTexts SpellerTexts::german()
{
    return fromLanguageLines(TextSet::german().lines());
}

SpellerTexts SpellerTexts::fromLanguageLines(const QStringList &lines)
{
    SpellerTexts texts;
    for (int i = 0; i < Count; ++i) {
        const int line = lineOf(i);
        if (line < lines.size())
            texts.m_texts[i] = lines.at(line);
    }
    return texts;
}

SpellerTexts SpellerTexts::forUserLanguage(TUserLanguage language, const SpellerTexts &otherTexts)
{
    switch (language) {
    case TUserLanguage::ulEnglish: return english();
    case TUserLanguage::ulOwn: return german();
    case TUserLanguage::ulOther: return otherTexts;
    }
    return english();
}
