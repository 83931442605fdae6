#pragma once

#include <QDialog>
#include <QFlags>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find and replace dialogs: modeless, UTF-16 search and replacement
// texts of at most 255 units, options as the platform's find flags.
class TWideFindDialog : public QDialog
{
    Q_OBJECT

public:
    enum Option {
        frDown = 0x1, frWholeWord = 0x2, frMatchCase = 0x4, frFindNext = 0x8, frReplace = 0x10,
        frReplaceAll = 0x20,
    };
    Q_DECLARE_FLAGS(Options, Option)
    static constexpr int MaxText = 255;

    explicit TWideFindDialog(QWidget *parent = nullptr);

    QString FindTextW() const;
    void setFindTextW(const QString &text);
    Options options() const;
    void setOptions(Options options);
    // Screen position; (-1, -1) leaves the dialog where the window system puts it.
    void setPosition(int x, int y);
    void setTop(int y);
    // Opens the dialog, or brings it to the top when it is open.
    bool Execute();
    void CloseDialog() { close(); }
    // Labels in the interface language (German, else English).
    virtual void setGerman(bool german);

    std::function<void()> OnFind;

protected:
    TWideFindDialog(QWidget *parent, bool replace);
    void buildLayout(bool replace);

    QLineEdit *m_findText;
    QLineEdit *m_replaceText = nullptr;
    QLabel *m_findLabel;
    QLabel *m_replaceLabel = nullptr;
    QGroupBox *m_direction;
    QRadioButton *m_up;
    QRadioButton *m_down;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QPushButton *m_findNext;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
    QPushButton *m_cancel;
    Options m_lastAction;
    QPoint m_position{-1, -1};
};

class TWideReplaceDialog : public TWideFindDialog
{
    Q_OBJECT

public:
    explicit TWideReplaceDialog(QWidget *parent = nullptr);
    QString ReplaceTextW() const;
    void setReplaceTextW(const QString &text);
    void setGerman(bool german) override;

    std::function<void()> OnReplace;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TWideFindDialog::Options)
