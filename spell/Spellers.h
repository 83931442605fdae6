#pragma once

#include "spell/AbstractSpeller.h"
#include "spell/Langs.h"
#include "spell/SpellListObj.h"
#include "spell/SpellerTexts.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "document/DocumentCore.h"
class Registry;
class UserInteraction;

// How the error is marked in the spelling dialog's context box.
struct TMisspellFont {
    QString MspName = QStringLiteral("Arial");
    QColor MspColor = QColor(255, 0, 0);
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// What the driver needs of the spelling dialog; the dialog lives in spell_ui,
// tests script one. The driver owns no dialog: it asks its factory for one on
// the first check and forgets it when told the dialog is gone.
class TSpellDialogView
{
public:
    virtual ~TSpellDialogView() = default;
    virtual void setCaption(const QString &caption) = 0;
    // The three presentations of an error; each shows the dialog when hidden.
    virtual void ShowErrorWithVariants(const QString &message) = 0;
    virtual void ShowErrorNoVariants(const QString &message) = 0;
    virtual void ShowRepeatedWord() = 0;
    // Result 3: the speller's replacement goes first into the list.
    virtual void putChangeWordFirst(const QString &word) = 0;
    virtual bool isShown() const = 0;
    virtual void showDialog(bool modal) = 0;
    virtual void closeDialog() = 0;
};

// The spell-check driver: walks a document in segments (paragraph parts
// between tags), hands each to the speller of its language and type, and
// shows each error in the dialog; the dialog's buttons call back. A check is
// a chain of steps, never a blocking loop. The checked document may be
// destroyed at any time (its window closed): the check then ends quietly.
class TSpellChecker : public QObject
{
    Q_OBJECT

public:
    // registry: the ispell installation and the proofing-tools keys; ui: the
    // finish message and speller failures. Both may be null (no messages).
    explicit TSpellChecker(Registry *registry = nullptr, UserInteraction *ui = nullptr, QObject *parent = nullptr);
    ~TSpellChecker() override;

    using SpellerFactory = std::function<std::unique_ptr<TAbstractSpeller>(TLanguage, TSpellerType, TSpellChecker *)>;
    using DialogFactory = std::function<TSpellDialogView *(TSpellChecker *)>;
    // Replaces the real spellers (tests, the bench).
    void setSpellerFactory(SpellerFactory factory) { m_spellerFactory = std::move(factory); }
    void setDialogFactory(DialogFactory factory) { m_dialogFactory = std::move(factory); }
    // The dialog tells the driver it is gone.
    void dialogDestroyed(TSpellDialogView *dialog);
    TSpellDialogView *dialog() const { return m_dialog; }

    // Properties.
    TLanguage Language = 0;
    TLangOption LangOption = TLangOption::loLocalized;
    TSpellerType SpellerType = TSpellerType::sptMSOffice;
    TSpellOptions Options = DefaultSpellOptions;
    QString Caption;
    QFont Font = QFont(QStringLiteral("Arial"), 10);
    TMisspellFont MisspellFont;
    bool ModalDialog = false;
    bool HTMLSupport = false;
    QString CustomDict;
    QString FinishMessage;
    bool ShowFinishMessage = false;
    bool Active = true;
    // From the selected entry of the language selector.
    QString DictCmd, DictCharset, DictSurrogate, DictFlag, DictName;
    // Lets the host choose the user dictionary of an office speller.
    std::function<void(TLanguage language, QString &dict)> OnGetDictionary;
    // Where the office speller keeps user dictionaries when the main one's folder is not writable.
    QString UserDictionaryFolder;

    TUserLanguage UserLanguage() const { return m_userLanguage; }
    // Replaces the speller texts of every driver.
    void setUserLanguage(TUserLanguage language, const SpellerTexts &otherTexts = SpellerTexts());
    static const SpellerTexts &Texts();

    // The one entry point: checks from the document's caret (or its
    // selection) to the end. Nothing happens while inactive or for an empty text.
    void Check(DocumentCore *control);
    bool isChecking() const { return m_checking; }
    DocumentCore *checkedControl() const { return m_control; }

    // Dialog steps, each ending in ContinueCheck.
    void Skip();
    void SkipAll();
    void Add();
    // Change with a suggestion (result 1 tells the speller first) or edited text.
    void Change(const QString &newText, bool edited);
    void ChangeAll(const QString &newText);
    void Delete();
    void Cancel();

    // State the dialog reads.
    TAbstractSpeller *currentSpeller() const { return m_speller; }
    TSpellReturnCode lastResult() const { return m_lastResult; }
    QString errorWord() const { return m_errorWord; }
    int errorPosition() const { return m_errorPos; }
    int errorLength() const { return m_errorLen; }
    // The paragraph around the error and its start position.
    QString GetErrorLine(int *lineStart) const;
    // The suggestion list the dialog shows for the last result.
    QStringList Variants();
    TAbstractSpeller *GetSpeller(TLanguage language, TSpellerType type);

    // The tag at p of text, to the first terminator (nested tags skipped);
    // without one, to end. Comments "<!--…-->", script blocks "<%…%>".
    static int TagLength(const QString &text, int p, int end);

signals:
    // After every change a check makes: position, replaced length, new text.
    void OnChangeText(int bufPos, int len, const QString &newWord);
    void OnFinished();
    void OnCancel();

private:
    void PrepareCheck();
    void copyContent();
    void ContinueCheck();
    void FinishCheck(bool mayShowMessage = true);
    bool FindSegment(int from, int *segStart, int *segEnd);
    bool peekSegment(int from, int *segStart, int *segEnd) const;
    void checkAhead(int from);
    void ReplaceErrorText(const QString &newText);
    void DeleteErrorText();
    bool controlGone();
    std::unique_ptr<TAbstractSpeller> createSpeller(TLanguage language, TSpellerType type);
    void presentError();
    QByteArray segmentBytes(int start, int end, int codePage) const;
    bool replaceIn(DocumentCore *core, int start, int length, const QString &text);
    bool streamInto(DocumentCore *core, int start, int length, const QByteArray &utf8);
    int spellerCodePage() const;
    void reportFailure(TAbstractSpeller *speller);
    void reportError(const QString &text);
    void runStep(const std::function<void()> &step);
    static int wordStart(const QString &text, int position);

    Registry *m_registry;
    UserInteraction *m_ui;
    SpellerFactory m_spellerFactory;
    DialogFactory m_dialogFactory;
    TSpellDialogView *m_dialog = nullptr;
    TUserLanguage m_userLanguage = TUserLanguage::ulEnglish;

    QPointer<DocumentCore> m_control;
    std::unique_ptr<DocumentCore> m_workCopy;
    QString m_text; // the work copy's text, kept in step with the check's edits
    std::vector<std::unique_ptr<TAbstractSpeller>> m_spellers;
    QSet<TAbstractSpeller *> m_reportedFailures;
    int m_nextParagraphEnd = 0;
    int m_nextTagStart = 0;
    int m_nextLanguageChange = 0;
    int m_aheadTo = 0; // segments before this position have been announced to the speller
    bool m_atParagraphStart = true;
    int m_rangeStart = 0;
    int m_rangeEnd = 0;
    TAbstractSpeller *m_speller = nullptr;
    int m_errorPos = 0;
    int m_errorLen = 0;
    QString m_errorWord;
    TSpellReturnCode m_lastResult = TSpellReturnCode::srNoErrors;
    bool m_cancelled = false;
    bool m_checking = false;
    int m_revision = 0; // of the checked document after our last edit
};

// Fills list with the office languages registered under the proofing tools'
// spelling key (names in the given form, identifier as the entry's LangNo);
// answers the number of lines.
int ListOfficeLanguages(TSpellList &list, TLangOption option, const Registry &registry);
