#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;

// Every message box, question, beep and standard dialog of the program goes
// through this service, so that tests can see what was shown and answer it.
// The program installs a Qt implementation; tests install a scripted one.
class UserInteraction
{
public:
    enum class Beep { Default, Error, Question, Warning, Information };
    enum class Icon { None, Error, Warning, Information, Question };
    enum Button { NoButton = 0, Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8, YesToAll = 0x10 };
    Q_DECLARE_FLAGS(Buttons, Button)

    struct Message {
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Ok;
        Button defaultButton = Ok;
        QPoint position = QPoint(-1, -1); // screen position of the box; (-1, -1): centred
    };

    // File dialogs. filter uses the "caption|patterns|caption|patterns" form;
    // filterIndex is 1-based both ways.
    struct FileRequest {
        enum Mode { OpenOne, OpenMany, Save };
        Mode mode = OpenOne;
        QString title;
        QString filter;
        int filterIndex = 1;
        QString defaultExt;
        QString initialDir;
        QString fileName;
        bool overwritePrompt = true;
    };
    struct FileAnswer {
        bool accepted = false;
        QStringList files;
        int filterIndex = 1;
    };

    // The print dialog with its odd/even list. The printer is set up by the
    // dialog when the user confirms; the range and the list come back here.
    struct PrintDialogRequest {
        enum Range { AllPages, Selection, PageRange };
        QPrinter *printer = nullptr;
        Range range = AllPages;
        int fromPage = 1;
        int toPage = 1;
        int minPage = 1;
        int maxPage = 9999;
        QStringList oddEvenItems;   // "All Pages", "Odd Pages", "Even Pages"
        int oddEvenIndex = 0;
        bool oddEvenVisible = true;
        bool oddEvenEnabled = true;
    };
    struct PrintDialogAnswer {
        bool accepted = false;
        PrintDialogRequest::Range range = PrintDialogRequest::AllPages;
        int fromPage = 1;
        int toPage = 1;
        int oddEvenIndex = 0;
    };

    virtual ~UserInteraction() = default;

    virtual void beep(Beep kind) = 0;
    virtual Button message(const Message &message) = 0;
    virtual FileAnswer chooseFiles(const FileRequest &request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont &initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
    // Runs a dialog of the program modally; answers its result code.
    virtual int runDialog(QDialog *dialog) = 0;
    // Not every service prints; these default to a cancelled dialog.
    virtual PrintDialogAnswer choosePrinting(const PrintDialogRequest &request);
    // The printer setup dialog (paper and orientation); false when cancelled.
    virtual bool setupPrinter(QPrinter *printer);

    // Conveniences in the program's usual shapes.
    // Error beep, then an error box with OK.
    void showError(const QString &text, const QString &title = QString());
    // Question beep, then Yes/No/Cancel; answers the button pressed.
    Button askYesNoCancel(const QString &text, const QString &title = QString());
    // Question beep, then a warning with Yes and No.
    bool askWarningYesNo(const QString &text, const QString &title = QString());
    // A box with OK and no beep.
    void inform(const QString &text, const QString &title = QString(), Icon icon = Icon::Information);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UserInteraction::Buttons)

// Splits a "caption|patterns|…" filter into caption/pattern pairs.
QList<QPair<QString, QString>> parseWindowsFilter(const QString &filter);
