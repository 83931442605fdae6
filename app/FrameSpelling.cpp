#include "app/FrameSpelling.h"

#include "platform/Registry.h"
#include "platform/Settings.h"
#include "platform/SettingsLines.h"
#include "platform/TextSet.h"
#include "spell/Spellers.h"
#include "spell/ui/SpellLanguageComboBox.h"
#include "spell/ui/SpellerDialog.h"

#include <QWidget>

namespace {

QString typeName(TSpellerType type)
{
    switch (type) {
    case TSpellerType::sptMSOffice: return QStringLiteral("sptMSOffice");
    case TSpellerType::sptISpell: return QStringLiteral("sptISpell");
    }
    return QStringLiteral("sptOther");
}

} // namespace

FrameSpelling::FrameSpelling(QWidget *frame, QWidget *selectorParent, Registry *registry, UserInteraction *ui)
    : QObject(frame), m_frame(frame), m_ui(ui)
{
    m_checker = new TSpellChecker(registry, ui, this);
    m_checker->setObjectName(QStringLiteral("SpellChecker1"));
    m_checker->Language = 1031;
    m_checker->SpellerType = TSpellerType::sptMSOffice;
    m_checker->Caption = QStringLiteral("Language %s");
    m_checker->FinishMessage = QStringLiteral("Spell check is completed!");
    m_checker->ShowFinishMessage = true;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    m_checker->Font = font;
    m_checker->setDialogFactory([this](TSpellChecker *checker) -> TSpellDialogView * {
        auto *dialog = new TSpellerDialog2(checker, m_ui, m_frame);
        dialog->activeDocument = [this] { return activeDocument ? activeDocument() : nullptr; };
        m_dialog = dialog;
        return dialog;
    });
    m_selector = new TSpellLanguageComboBox(selectorParent);
    m_selector->setObjectName(QStringLiteral("SpellLanguageComboBox1"));
    m_selector->setSpellChecker(m_checker);
    connect(m_selector, &QComboBox::activated, this, &FrameSpelling::languageChosen);
}

FrameSpelling::~FrameSpelling()
{
    // The dialog belongs to the frame; it must not call back into a freed driver.
    if (m_dialog)
        m_checker->dialogDestroyed(m_dialog);
}

QComboBox *FrameSpelling::selectorBox() const
{
    return m_selector;
}

void FrameSpelling::restore(const Settings &settings, const Registry *registry)
{
    if (registry)
        m_selector->FillLanguages(*registry);
    const QString text = settings.line(SettingsLine::SpellLanguage);
    const QString type = settings.line(SettingsLine::SpellerType);
    int index = -1;
    for (int i = 0; i < m_selector->count() && index < 0; ++i) {
        const TSpellListObj *e = m_selector->entry(i);
        const QString entryType = e->SpellerType == 1 ? QStringLiteral("sptISpell") : QStringLiteral("sptMSOffice");
        if (text.isEmpty() ? (e->SpellerType == 0 && e->LangNo == 1031)
                           : (m_selector->itemText(i) == text && (type.isEmpty() || type == entryType)))
            index = i;
    }
    if (index >= 0)
        m_selector->setCurrentIndex(index);
}

void FrameSpelling::save(Settings &settings) const
{
    settings.setLine(SettingsLine::SpellLanguage, m_selector->currentText());
    settings.setLine(SettingsLine::SpellerType, typeName(m_checker->SpellerType));
}

void FrameSpelling::applyTexts(const TextSet &texts)
{
    switch (texts.kind()) {
    case TextSet::Kind::English:
        m_checker->setUserLanguage(TUserLanguage::ulEnglish);
        break;
    case TextSet::Kind::German:
        m_checker->setUserLanguage(TUserLanguage::ulOwn);
        break;
    case TextSet::Kind::LanguageFile:
        m_checker->setUserLanguage(TUserLanguage::ulOther, SpellerTexts::fromLanguageLines(texts.lines()));
        break;
    }
    m_checker->Caption = texts.line(TextSet::SpellLanguageCaption);
    m_checker->FinishMessage = texts.line(TextSet::SpellFinishMessage);
}

void FrameSpelling::setHtmlSupport(bool on)
{
    m_checker->HTMLSupport = on;
}

void FrameSpelling::setShowFinishMessage(bool on)
{
    m_checker->ShowFinishMessage = on;
}

void FrameSpelling::check(DocumentCore *document)
{
    if (document && document->TextLength() > 0)
        m_checker->Check(document);
}
