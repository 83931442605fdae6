#pragma once

#include "document/ui/DocumentHost.h"
#include "search/ui/SearchController.h"
#include "platform/Settings.h"
#include "platform/TextSet.h"
#include "app/FrameActions.h"
#include "app/RecoveryStore.h"

#include <QHash>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>

#include <functional>
#include <memory>

class ApplicationButtonBar;
class DocumentTabStrip;
class GoToPanel;
class HelpEngine;
class InsertSidebar;
class MultiClipboardBar;
class PrintCommands;
class QtTranslations;
class Registry;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class FrameSpelling;

// Services of the operating system the frame works with; tests pass their own.
struct FrameServices {
    UserInteraction *userInteraction = nullptr;
    Shell *shell = nullptr;
    HelpEngine *help = nullptr;
    Registry *registry = nullptr;           // file types for icons; may be null
    // Number of running instances, for placing the window; null counts one.
    std::function<int()> instanceCount;
    QString programDir;                     // shipped files, with a trailing separator
    // Files the program writes (settings, insert list); empty: programDir.
    QString userDir;
    QStringList arguments;                  // the command line, program name excluded
};

// The main frame: an MDI frame holding the document windows, with its tool
// bar, go-to-line panel, document tab strip and status bar. Owns the
// settings and the interface texts; routes commands to the documents.
class TFrameForm : public QMainWindow, public DocumentHost, public SearchHost
{
    Q_OBJECT

public:
    explicit TFrameForm(const FrameServices &services, QWidget *parent = nullptr);
    ~TFrameForm() override;

    QString ProgramDir() const { return m_programDir; }
    QString userDir() const { return m_userDir; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    DocumentTabStrip *tabStrip() const { return m_tabStrip; }
    GoToPanel *goToPanel() const { return m_goToPanel; }
    QComboBox *codePageComboBox() const { return m_cpComboBox; }
    QComboBox *spellLanguageComboBox() const { return m_spellLanguageComboBox; }
    QAction *action(FrameAction id) const { return m_actions[id]; }
    // File menu's recent files, 1..4, while no document is open.
    QAction *recentAction(int n) const { return m_recentActions.value(n - 1); }
    const QHash<QString, QMenu *> &menus() const { return m_menus; }
    QToolButton *toolButton(FrameAction id) const;
    QString statusPanel(int panel) const;
    TEditForm *activeDocument() const override;
    SearchController *searchController() const { return m_search; }
    PrintCommands *printCommands() const { return m_print; }
    InsertSidebar *sidebar() const { return m_sidebar; }
    MultiClipboardBar *multiClipboard() const { return m_multiClipboard; }
    Qt::WindowStates NewChildState() const { return m_newChildState; }
    bool ReplaceAfterLoad() const { return m_replaceAfterLoad; }
    bool showFinishMessage() const { return m_showFinishMessage; }

    // Creates a document window (with the word-wrap setting applied).
    TEditForm *CreateDocumentWindow();
    void CaptureChildState();
    void setChildState(TEditForm *form, Qt::WindowStates state);
    void GoToLine(int line);
    // Processes the command line; run once by the start timer.
    void Timer1Timer();
    void New1Click();
    void Open1Click();
    void ToolButton2Click();
    void ToolButton11Click();
    void Closeall1Click();
    void ReadMe1Click();
    void Help2Click();
    void Info1Click();
    void StandardFont1Click();
    void OpenDocumentFile(const QString &path);
    void dropFiles(const QStringList &files);
    void tileHorizontally();
    void tileVertically();
    void arrangeIcons();
    // Applies a text set (English, German or a language file's) to the frame.
    void applyTextSet(const TextSet &set);
    // The language named in the settings, as the program applies it at start.
    void applyStartLanguage();
    // Loads and applies a language file; messages when it is missing or not valid.
    bool loadLanguageFile(const QString &path);
    void Language1Click();
    void other1Click();
    // The end of the session or a termination signal: modified documents are
    // kept as recovery copies beside the settings, then the frame closes
    // without asking anything.
    void closeForTermination();
    bool isTerminating() const { return m_terminating; }
    // Folder of the recovery copies.
    QString recoveryDir() const;
    void cascade();
    // Application buttons 1 to 4: right-click assigns a program, a click runs
    // it with the active document.
    QToolButton *applicationButton(int button) const;
    void assignApplication(int button);
    void runApplication(int button);

    // DocumentHost
    Settings &settings() override { return m_settings; }
    const TextSet &textSet() const override { return m_textSet; }
    UserInteraction &userInteraction() override { return *m_ui; }
    Shell &shell() override { return *m_shell; }
    QList<TEditForm *> documents() const override;
    int frameWidth() const override { return width(); }
    int openDialogFilterIndex() const override { return m_openFilterIndex; }
    QString openDialogInitialDir() const override { return m_openInitialDir; }
    void setOpenDialogInitialDir(const QString &dir) override { m_openInitialDir = dir; }
    QStringList recentFileNames() const override { return m_recentFileNames; }
    void addRecentFile(const QString &path) override;
    int selectedCodePage() const override;
    bool createBackupFiles() const override;
    bool autoUrlDetection() const override;
    bool pageNoPrint() const override;
    void setPageNoPrint(bool on) override;
    bool takeReplaceAfterLoad() override;
    void setStatusPanel(int panel, const QString &text) override;
    void updateSaveAll() override;
    void setSaveAllEnabled(bool on) override;
    void setOpenWithStandardAppEnabled(bool on) override;
    void setWindowItemsVisible(bool on) override;
    void setStandardFontEnabled(bool on) override;
    void addTabSection(TEditForm *form, const QString &text) override;
    void setTabSectionText(TEditForm *form, const QString &text) override;
    void setTabSectionActive(TEditForm *form, bool active) override;
    void removeTabSection(TEditForm *form) override;
    void showDocumentToolBar(QWidget *toolBar) override;
    void takeBackToolBarPanel(QWidget *toolBar) override;
    void documentActivated(TEditForm *form) override;
    void documentClosed(TEditForm *form) override;
    void runSearchCommand(TEditForm *form, SearchCommand command) override;
    void spellCheck(TEditForm *form) override;
    int spellLanguageIndex() const override;
    FrameSpelling *spelling() const { return m_spelling; }
    void runPrintCommand(TEditForm *form, PrintCommand command) override;
    void newCommand() override { New1Click(); }
    void openCommand() override { Open1Click(); }
    void exitCommand() override { close(); }
    void openRecentFile(const QString &path) override { OpenDocumentFile(path); }

    // SearchHost
    QList<TEditForm *> documentsInWindowOrder() const override { return documents(); }
    void activateDocument(TEditForm *form) override;
    bool searchInAllFiles() const override;
    bool searchCaseMismatch() const override;
    UserInteraction &searchInteraction() override { return *m_ui; }
    const TextSet &searchTexts() const override { return m_textSet; }
    void showSearchProgress(const QString &text) override { setStatusPanel(1, text); }

signals:
    // The command line has been processed (documents opened).
    void startupFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormClose();
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildCentralArea();
    void buildStatusBar();
    void rebuildMenuBar(TEditForm *active);
    void applyCaptions();
    void refreshRecentItems();
    void refreshWindowList();
    void subWindowActivated(QMdiSubWindow *window);
    void prepareSubWindow(QMdiSubWindow *window);
    void placeByInstanceCount();
    void keepOnScreen();
    void updateMinimumSize();
    void finishTermination();
    void offerRecovery();
    void fillCodePageList();
    void showSidebar(bool on);
    void writeSettingsFile();
    void writeStateReportIfAsked() const;
    QMenu *makeMenu(const QString &name);

    FrameServices m_services;
    UserInteraction *m_ui;
    Shell *m_shell;
    QString m_programDir;
    QString m_userDir;
    Settings m_settings;
    TextSet m_textSet;
    QStringList m_recentFileNames;
    QString m_languageFileName;
    QStringList m_languageLines;
    QString m_codePageListFile;
    QString m_helpFile;
    Qt::WindowStates m_newChildState = Qt::WindowMaximized;
    bool m_replaceAfterLoad = false;
    bool m_showFinishMessage = true;
    bool m_startupDone = false;
    bool m_settingsWriteFailed = false;
    bool m_closing = false;
    bool m_terminating = false;
    std::unique_ptr<QtTranslations> m_qtTranslations;
    int m_openFilterIndex = 2;
    QString m_openInitialDir;

    ActionTable<FrameAction> m_actions;
    QList<QAction *> m_recentActions;
    QHash<QString, QMenu *> m_menus;
    QMenu *m_fileMenu = nullptr;
    QToolBar *m_toolBar = nullptr;
    QWidget *m_panel1 = nullptr;
    QWidget *m_panel3 = nullptr;
    QComboBox *m_cpComboBox = nullptr;
    QComboBox *m_spellLanguageComboBox = nullptr;
    FrameSpelling *m_spelling = nullptr;
    GoToPanel *m_goToPanel = nullptr;
    QMdiArea *m_mdiArea = nullptr;
    DocumentTabStrip *m_tabStrip = nullptr;
    QList<QLabel *> m_statusPanels;
    ApplicationButtonBar *m_appButtonBar = nullptr;
    QPointer<QMdiSubWindow> m_lastActive;
    SearchController *m_search = nullptr;
    PrintCommands *m_print = nullptr;
    QSplitter *m_splitter = nullptr;
    InsertSidebar *m_sidebar = nullptr;
    MultiClipboardBar *m_multiClipboard = nullptr;
};
