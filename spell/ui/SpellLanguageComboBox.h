#pragma once

#include "spell/Spellers.h"

#include <QComboBox>
#include <QPointer>

class Registry;

// The spelling language selector: the office languages first, then the ispell
// dictionaries, each with a mark telling the speller types apart. Choosing an
// entry applies it to the attached driver.
class TSpellLanguageComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TSpellLanguageComboBox(QWidget *parent = nullptr);

    TLangOption LangOption = TLangOption::loLocalized;
    void setSpellChecker(TSpellChecker *checker);
    TSpellChecker *SpellChecker() const { return m_checker; }

    // Lists what registry names; selects the first entry, or makes the
    // driver inactive when there is none.
    void FillLanguages(const Registry &registry);
    // Copies the selected entry into the driver.
    void ApplyLanguage();
    const TSpellListObj *entry(int index) const;

private:
    QPointer<TSpellChecker> m_checker;
    TSpellList m_entries;
};
