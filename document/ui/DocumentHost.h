#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class HelpEngine;
class QWidget;
class Settings;
class Shell;
class TEditForm;
class TextSet;
class UserInteraction;

// What a document window needs of the frame that holds it. The frame
// implements it; tests may too.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;

    virtual Settings &settings() = 0;
    virtual const TextSet &textSet() const = 0;
    virtual UserInteraction &userInteraction() = 0;
    virtual Shell &shell() = 0;

    // Every document window, the active one first.
    virtual QList<TEditForm *> documents() const = 0;
    virtual int frameWidth() const = 0;

    // The frame's open dialog, whose filter index new documents take as coding.
    virtual int openDialogFilterIndex() const = 0;
    virtual QString openDialogInitialDir() const = 0;
    virtual void setOpenDialogInitialDir(const QString &dir) = 0;
    virtual QStringList recentFileNames() const = 0;
    virtual void addRecentFile(const QString &path) = 0;
    // The code page of the character coding list's selected entry.
    virtual int selectedCodePage() const = 0;
    virtual bool createBackupFiles() const = 0;
    virtual bool autoUrlDetection() const = 0;
    // The program-wide switch for printed page numbers.
    virtual bool pageNoPrint() const = 0;
    virtual void setPageNoPrint(bool on) = 0;
    // Takes the one-shot request to open the Replace dialog after a load.
    virtual bool takeReplaceAfterLoad() = 0;

    // Status panels 0 and 1.
    virtual void setStatusPanel(int panel, const QString &text) = 0;
    // Sets the frame's Save-all button from the documents' Save buttons.
    virtual void updateSaveAll() = 0;
    virtual void setSaveAllEnabled(bool on) = 0;
    virtual void setOpenWithStandardAppEnabled(bool on) = 0;
    // Minimize, Normal, Maximize and Close all.
    virtual void setWindowItemsVisible(bool on) = 0;
    virtual void setStandardFontEnabled(bool on) = 0;

    // The document tab strip.
    virtual void addTabSection(TEditForm *form, const QString &text) = 0;
    virtual void setTabSectionText(TEditForm *form, const QString &text) = 0;
    virtual void setTabSectionActive(TEditForm *form, bool active) = 0;
    virtual void removeTabSection(TEditForm *form) = 0;

    // The document's tool bar moves into the frame while it is active.
    virtual void showDocumentToolBar(QWidget *toolBar) = 0;
    virtual void takeBackToolBarPanel(QWidget *toolBar) = 0;
    // The frame's menu bar shows the active document's menus.
    virtual void documentActivated(TEditForm *form) = 0;
    virtual void documentClosed(TEditForm *form) = 0;

    // Find, Replace and Find Next of a document: the dialogs are the frame's.
    enum SearchCommand { SearchFind = 1, SearchReplace = 2, SearchFindNext = 3 };
    virtual void runSearchCommand(TEditForm *form, SearchCommand command) = 0;
    // Spell checking of a document, and the selector entry new documents take.
    virtual void spellCheck(TEditForm *) {}
    virtual int spellLanguageIndex() const { return -1; }

    // Printing commands of a document: the printer, the page setup and the
    // preview window are the frame's. PrintedLineWidth wraps the editor at
    // the printed line width, or at its edge when the window's WYSIWYG is off.
    enum PrintCommand { PrintDocument, PrinterSetup, PageSetup, PagePreview, PrintedLineWidth };
    virtual void runPrintCommand(TEditForm *form, PrintCommand command) = 0;

    // Frame commands the document's menus run.
    virtual void newCommand() = 0;
    virtual void openCommand() = 0;
    virtual void exitCommand() = 0;
    virtual void openRecentFile(const QString &path) = 0;
};
