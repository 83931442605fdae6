#pragma once

#include "document/ui/DocumentHost.h"
#include "print/PageGeometry.h"
#include "print/PageNumbering.h"
#include "platform/UserInteraction.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <memory>

class QPrinter;
class QWidget;
class TEditForm;
class TPageSetupForm;
class TPreviewForm;
class TextSet;

// The printing commands of the document windows: the print dialog with its
// odd/even list, the printer setup, the page margins, the preview window and
// the editor wrapped at the printed line width. Holds the one printer, page
// setup dialog and preview window of the program; each document window keeps
// its own print dialog choices. host is the frame and outlives this.
class PrintCommands : public QObject
{
    Q_OBJECT

public:
    PrintCommands(DocumentHost &host, QWidget *frame);
    ~PrintCommands() override;

    void run(TEditForm *form, DocumentHost::PrintCommand command);

    void print(TEditForm *form);
    void printerSetup();
    void pageSetup(TEditForm *form);
    void preview(TEditForm *form);
    // Wraps the editor at the printed line width when its WYSIWYG is on, at
    // the window's edge otherwise.
    void applyLineWidth(TEditForm *form);
    // The printed text width in pixels of a screen of that resolution.
    int printedLineWidth(int screenDpi) const;

    QPrinter &printer() { return *m_printer; }
    TPageSetupForm *pageSetupForm() const { return m_pageSetup; }
    TPreviewForm *previewForm() const { return m_preview; }
    // Whether printed pages get their numbers, for every document.
    bool pageNoPrint() const;
    void setPageNoPrint(bool on);

    void applyTexts(const TextSet &texts);
    // The preview window's place, size and the page-number switch, at the
    // frame's close; the switch is read from the settings at construction.
    void storeSettings();
    // A window closes: its choices go, and the preview lets go of it.
    void documentClosed(TEditForm *form);

private:
    struct DialogChoices {
        UserInteraction::PrintDialogRequest::Range range = UserInteraction::PrintDialogRequest::AllPages;
        int fromPage = 1;
        int toPage = 1;
        int oddEvenIndex = 0;
    };
    void keepPreviewOnScreen();
    void rewrapPrintedDocuments();

    DocumentHost &m_host;
    PageNumbering m_pageNumbers;
    std::unique_ptr<QPrinter> m_printer;
    TPageSetupForm *m_pageSetup;
    TPreviewForm *m_preview;
    QHash<const TEditForm *, DialogChoices> m_choices;
};
