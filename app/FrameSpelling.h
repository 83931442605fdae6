#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class DocumentCore;
class Registry;
class Settings;
class TSpellChecker;
class TSpellLanguageComboBox;
class TSpellerDialog2;
class TextSet;
class UserInteraction;
class QComboBox;
class QWidget;

// The frame's spell checking: its driver, the language selector on the tool
// bar and the spelling dialog, kept apart from the frame so that the frame
// only routes commands. The selector is made a child of selectorParent.
class FrameSpelling : public QObject
{
    Q_OBJECT

public:
    FrameSpelling(QWidget *frame, QWidget *selectorParent, Registry *registry, UserInteraction *ui);
    ~FrameSpelling() override;

    TSpellChecker *checker() const { return m_checker; }
    TSpellLanguageComboBox *selector() const { return m_selector; }
    QComboBox *selectorBox() const;
    // The active document, for the dialog's Start button.
    std::function<DocumentCore *()> activeDocument;

    // Lists the languages and selects the one the settings keep (German of
    // the office speller when they keep none).
    void restore(const Settings &settings, const Registry *registry);
    void save(Settings &settings) const;
    // Speller texts, caption and finish message of the interface language.
    void applyTexts(const TextSet &texts);
    void setHtmlSupport(bool on);
    void setShowFinishMessage(bool on);
    void check(DocumentCore *document);

signals:
    // The user picked an entry of the selector.
    void languageChosen(int index);

private:
    QPointer<QWidget> m_frame;
    UserInteraction *m_ui;
    TSpellChecker *m_checker;
    TSpellLanguageComboBox *m_selector;
    QPointer<TSpellerDialog2> m_dialog;
};
