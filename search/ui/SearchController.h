#pragma once

#include "document/ui/DocumentHost.h"
#include "search/ReplacePass.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>

class TEditForm;
class TWideFindDialog;
class TWideReplaceDialog;
class QWidget;

// What find and replace need of the frame beyond a document's host.
class SearchHost
{
public:
    virtual ~SearchHost() = default;
    virtual TEditForm *activeDocument() const = 0;
    // The frame's window order, the active document first, then the ones used before it.
    virtual QList<TEditForm *> documentsInWindowOrder() const = 0;
    virtual void activateDocument(TEditForm *form) = 0;
    virtual bool searchInAllFiles() const = 0;
    virtual bool searchCaseMismatch() const = 0;
    virtual UserInteraction &searchInteraction() = 0;
    virtual const TextSet &searchTexts() const = 0;
    // Progress of a long Replace All for the status bar; empty clears it.
    virtual void showSearchProgress(const QString &text) = 0;
};

// Find, Find Next and Replace of the document windows with the frame's two
// modeless dialogs; a search that finds nothing can go on in the next
// document window ("Find in files").
class SearchController : public QObject
{
    Q_OBJECT

public:
    // How long Replace All works before the event loop runs again; a run
    // done within the first slice never shows progress. Short, because
    // laying out the slice's changes follows each one.
    struct Timing {
        int firstSliceMs = 40;
        int sliceMs = 40;
    };

    SearchController(SearchHost *host, QWidget *dialogParent);
    void setTiming(const Timing &timing) { m_timing = timing; }
    bool isReplacingAll() const { return m_pass != nullptr; }

    void run(TEditForm *form, DocumentHost::SearchCommand command);
    void Find1Click(TEditForm *form);
    void Replace1Click(TEditForm *form);
    void FindNext1Click(TEditForm *form);

    TWideFindDialog *findDialog() const { return m_findDialog; }
    TWideReplaceDialog *replaceDialog() const { return m_replaceDialog; }
    bool isReplaceDialogVisible() const;
    int searchedDocumentCount() const { return m_searchedDocumentCount; }
    void setGerman(bool german);

    // The dialogs' handlers; false ends the command chain silently.
    bool findHandler(TEditForm *form);
    bool replaceFindHandler(TEditForm *form);
    void replaceHandler(TEditForm *form);

signals:
    // A Replace All pass ended (done, cancelled or interrupted); the count includes the answered match.
    void replaceAllFinished(int replacements);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startReplaceAll(TEditForm *form, bool joinFirst);
    void continueReplaceAll();
    void finishReplaceAll();
    int moveDialogAway(TWideFindDialog *dialog, TEditForm *form, int position, int threshold, int above, int below);
    bool notFound(TWideFindDialog *dialog, const QString &text, bool replacing);
    TEditForm *nextDocument(TEditForm *form);
    // Search across documents: the next one in window order takes the search
    // on with the dialog openDialog shows; false when every one was searched.
    bool searchNextDocument(TEditForm *form, void (SearchController::*openDialog)(TEditForm *));
    void enableFindNext(TEditForm *form);

    SearchHost *m_host;
    TWideFindDialog *m_findDialog;
    TWideReplaceDialog *m_replaceDialog;
    QPoint m_replaceConfirmPos;
    int m_searchedDocumentCount = 1;
    // The window order when a search across documents began; activating
    // a window changes the frame's order, so the steps follow this one.
    QList<QPointer<TEditForm>> m_documentOrder;
    Timing m_timing;
    std::unique_ptr<ReplacePass> m_pass;
    QPointer<TEditForm> m_passForm;
    int m_passFirst = 0;
    bool m_passCancelled = false;
};
