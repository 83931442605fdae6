#pragma once

#include "document/FileCoding.h"
#include "document/DocumentCore.h"
#include "document/PlainText.h"
#include "document/SearchState.h"
#include "document/ui/EditActions.h"
#include "platform/UserInteraction.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <functional>

class DocumentHost;
class ObjectCommands;
class QAction;
class QMenu;
#include <QToolBar>
class QToolButton;
class TRichTextEdit;
class ToolProgress;

// The document window: one file in a rich text control, an MDI child of the
// frame. Owns its editor, menus, tool bar and save dialog state; talks to
// the frame through DocumentHost.
class TEditForm : public QMdiSubWindow
{
    Q_OBJECT

public:
    // The spelling language chosen for this document (an index of the frame's selector).
    int SpellLanguageIndex = -1;
    explicit TEditForm(DocumentHost *host, QWidget *parent = nullptr);
    ~TEditForm() override;

    TRichTextEdit *Editor() const { return m_editor; }
    QString FileName() const { return m_fileName; }
    int FileCoding() const { return m_saveFilterIndex; }
    void setFileCoding(int coding) { m_saveFilterIndex = coding; }
    // Names the document without loading anything (a new file from the command line).
    void setDocumentFileName(const QString &fileName) { setFileName(fileName); }
    QString saveInitialDir() const { return m_saveInitialDir; }
    void setSaveInitialDir(const QString &dir) { m_saveInitialDir = dir; }
    // A file is read or a long text tool runs: the window takes no edits and stays open.
    // Also while a held command (a tool, undo, redo) waits for its paragraphs:
    // the window must not close under it.
    bool Loading() const;
    // Search state of this window (find and replace commands).
    SearchState searchState;

    // The document's menus, merged into the frame's menu bar while it is active.
    QMenu *fileMenu() const { return m_fileMenu; }
    QList<QMenu *> editMenus() const { return {m_editMenu, m_insertMenu, m_formatMenu}; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *action(EditAction id) const { return m_actions[id]; }
    // File menu's recent files, 1..4; the Insert menu's date formats, 1..9.
    QAction *recentAction(int n) const { return m_recentActions.value(n - 1); }
    QAction *dateAction(int n) const { return m_dateActions.value(n - 1); }

    // Loads a file into this window; false when it could not be read. A
    // large file is built in the background: then true means started, and
    // documentLoaded tells the outcome (as it does for every load).
    bool LoadDocument(const QString &fileName, bool asTemplate);
    // Asks whether to save a modified document; false: the caller must stop.
    bool QuerySaveDocument();
    void OpenWithStandardApplication();
    void UpdatePositionDisplay();
    void UpdatePasteCommands();
    void FocusEditor();
    // Window title shown on the tab strip and in the frame's title.
    QString caption() const { return windowTitle(); }
    bool isSaveEnabled() const;

    // Activation and deactivation, run by the frame as the active child changes.
    void FormActivate();
    void FormDeactivate();

    // Commands.
    void Save1Click();
    void Saveas1Click();
    void Saveselecteditem1Click();
    void Wordwrap1Click();
    void IPicture1Click();
    void IObject1Click();
    void Pastewithoptions1Click();
    void Objectproperties1Click();
    void Replace1Click();
    void Spellcheck2Click();
    void Find1Click();
    void FindNext1Click();
    void Close1Click() { close(); }
    // Printing: the frame's print commands act on this window.
    void Print1Click();
    void Printersetup1Click();
    void Pagesetup1Click();
    void Preview2Click();
    // Run after WYSIWYG1's check state changed.
    void WYSIWYG1Click();
    // Lines wrap at the printed line width.
    bool isWysiwyg() const;
    // Converts the whole document to numeric character references for
    // characters from limit on (0: every character).
    void convertToNumeric(int limit);
    void convertFromNumeric();
    // Text tools.
    void Join1Click();
    void JoinAll1Click();
    void Sort1Click();
    void SortDown1Click();
    void UpperCase1Click();
    void LowerCase1Click();
    void InitialCaps1Click();
    void d1Click(int tag);
    void Path1Click();
    void PageNo1Click();
    void FormFeed1Click();
    void Column1Click();
    void Delete2Click();
    void InsertSpace1Click();
    void Paste3Click();

    // Writes the document (or its selection) into target in the document's
    // coding; false when nothing was written (declined or failed).
    bool WriteDocument(const QString &target);

    // Used by the link handler; public for the frame's tests.
    void EditorURLClick(const QString &link, Qt::MouseButton button);

signals:
    void documentLoaded(bool loaded);
    // A long text tool has come this far; the status bar shows it.
    void toolProgressed(int percent);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct PendingLoad {
        QString fileName;
        bool asTemplate = false;
        int previousCoding = 0;
        bool wasReadOnly = false;
    };
    void finishLoad(const LoadResult &result);
    void FormCreate();
    void FormShow();
    bool FormClose();
    void EditorChange();
    void EditorSelectionChange();
    void Edit1Click();
    void buildActions();
    void buildMenus();
    void applyTexts();
    void setFileName(const QString &fileName);
    void setSaveEnabled(bool on);
    void showError(const QString &text);
    QString tr2(int entry) const;
    UserInteraction::FileRequest saveDialogRequest() const;
    void replaceWholeText(const std::function<QByteArray(const QString &)> &convert);
    void buildTextToolMenus();
    void updateCaseCommands();
    void toolDone(bool refused);
    void joinClick(bool all);
    // Runs tool (answering whether it was refused) with progress shown
    // under the command's caption; answers what tool answered.
    bool runTool(int caption, const std::function<bool(ToolProgress *)> &tool);

    DocumentHost *m_host;
    TRichTextEdit *m_editor = nullptr;
    ObjectCommands *m_objects = nullptr;
    QPointer<QToolBar> m_toolBar;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QMenu *m_insertMenu = nullptr;
    QMenu *m_formatMenu = nullptr;
    QMenu *m_previewMenu = nullptr;
    QMenu *m_popupMenu = nullptr;
    QMenu *m_dateMenu = nullptr;
    QMenu *m_columnMenu = nullptr;
    ActionTable<EditAction> m_actions;
    QList<QAction *> m_recentActions;
    QList<QAction *> m_dateActions;
    QString m_fileName;
    int m_saveFilterIndex = fcAnsiText;
    QString m_saveInitialDir;
    PlainText::LineEnd m_fileLineEnd = PlainText::LineEnd::CrLf;
    bool m_shown = false;
    bool m_loadingFile = false;
    bool m_toolRunning = false;
    bool m_lastLoadSucceeded = false;
    PendingLoad m_pendingLoad;
    bool m_hasHeaderSection = false;
};
