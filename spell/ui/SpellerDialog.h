#pragma once

#include "spell/Spellers.h"

#include <QDialog>
#include <QPointer>
#include <QTextEdit>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class UserInteraction;

// The box showing the error in its paragraph: only the error itself may be
// edited; keys and pastes that would touch the rest are refused.
class TMisspellingEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TMisspellingEdit(QWidget *parent = nullptr);
    // Shows line with [start, start + length) as the editable error.
    void showError(const QString &line, int start, int length, const TMisspellFont &font);
    // Start and length of the editable part as it is now.
    QPair<int, int> GetEditedRange() const { return {m_start, m_end - m_start}; }
    // While set, the program changes the text (no edit event, no protection).
    bool programUpdate = false;

signals:
    void edited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool mayEditSelection(int extendBack, int extendForward) const;
    int m_start = 0;
    int m_end = 0;
};

// The spelling dialog: modeless and on top; shows each error the driver
// finds and forwards the user's choice. Owned by its parent (the frame);
// tells the driver when it is destroyed.
class TSpellerDialog2 : public QDialog, public TSpellDialogView
{
    Q_OBJECT

public:
    TSpellerDialog2(TSpellChecker *checker, UserInteraction *ui, QWidget *parent = nullptr);
    ~TSpellerDialog2() override;

    // The document the Start button checks: the active one's; null: none.
    std::function<DocumentCore *()> activeDocument;

    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    void ShowErrorWithVariants(const QString &message) override;
    void ShowErrorNoVariants(const QString &message) override;
    void ShowRepeatedWord() override;
    void putChangeWordFirst(const QString &word) override;
    bool isShown() const override { return isVisible(); }
    void showDialog(bool modal) override;
    void closeDialog() override { hide(); }

    // The user works in another window: only Start and Cancel stay.
    void becomeInactive();

    QLabel *InfoMsg, *Label2;
    TMisspellingEdit *Misspelling;
    QListWidget *Variants;
    QPushButton *ChangeButton, *ChangeAllButton, *SkipButton, *SkipAllButton, *AddButton, *CancelButton,
        *CancelEdit, *DelButton, *StartButton;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void reject() override;

private:
    void ShowErrorContext();
    void applyTexts();
    void changeClicked();
    void undoEditClicked();
    void startClicked();
    void editedByUser();
    void restoreButtons();

    QPointer<TSpellChecker> m_checker;
    UserInteraction *m_ui;
};
