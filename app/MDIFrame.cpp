#include "app/MDIFrame.h"

#include "app/ApplicationButtonBar.h"
#include "app/ApplicationButtons.h"
#include "app/CodePageList.h"
#include "platform/CodePages.h"
#include "app/CommandLine.h"
#include "app/DocumentRecovery.h"
#include "app/DocumentTabStrip.h"
#include "app/FileIconLookup.h"
#include "app/FrameCaptions.h"
#include "app/FramePlacement.h"
#include "app/FrameSpelling.h"
#include "app/GoToPanel.h"
#include "app/Hints.h"
#include "platform/HelpEngine.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/Icons.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/ShortcutClashes.h"
#include "app/InfoForm.h"
#include "app/InsertSidebar.h"
#include "app/LanguageFile.h"
#include "document/ui/MDIEdit.h"
#include "format/ui/DocumentFormatting.h"
#include "app/MultiClipboard.h"
#include "app/MultiClipboardBar.h"
#include "app/RecentFiles.h"
#include "app/RecoveryStore.h"
#include "app/StateReport.h"
#include "platform/SettingsLines.h"
#include "print/ui/PrintCommands.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/TextFormat.h"
#include "platform/UserInteraction.h"
#include "app/WindowTiler.h"

#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QSaveFile>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFrameForm::TFrameForm(const FrameServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_ui(services.userInteraction), m_shell(services.shell),
      m_programDir(services.programDir), m_textSet(TextSet::english()),
      m_qtTranslations(std::make_unique<QtTranslations>())
{
    Q_ASSERT(m_ui && m_shell);
    setObjectName(QStringLiteral("FrameForm"));
    setWindowTitle(QStringLiteral("Quilmar"));
    if (!m_programDir.isEmpty() && !m_programDir.endsWith(u'/') && !m_programDir.endsWith(u'\\'))
        m_programDir += QDir::separator();
    m_userDir = services.userDir.isEmpty() ? m_programDir : services.userDir;
    if (!m_userDir.isEmpty() && !m_userDir.endsWith(u'/') && !m_userDir.endsWith(u'\\'))
        m_userDir += QDir::separator();
    buildActions();
    buildMenus();
    buildToolBar();
    buildCentralArea();
    buildStatusBar();
    m_search = new SearchController(this, this);
    FormCreate();
    // Page setup and preview windows live as long as the frame, shared by all documents.
    m_print = new PrintCommands(*this, this);
    // Captions only: the language named in the settings is applied by the
    // program's start, which must still find it in line 0.
    applyCaptions();
}

TFrameForm::~TFrameForm()
{
    // Document windows talk to the frame while they go; they go first.
    m_closing = true;
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *w : windows)
        delete w;
}

// ---------------------------------------------------------------------------
// Creation, showing and closing of the frame

void TFrameForm::FormCreate()
{
    m_replaceAfterLoad = false;
    const QString iniPath = m_userDir + QStringLiteral("Quilmar.ini");
    if (QFileInfo::exists(iniPath)) {
        m_settings.load(iniPath);
    } else {
        QFile empty(iniPath);
        if (empty.open(QIODevice::WriteOnly))
            empty.close();
    }
    m_languageFileName = m_settings.line(SettingsLine::Language);
    updateMinimumSize();
    move(m_settings.number(SettingsLine::Left, 30), m_settings.number(SettingsLine::Top, 30));
    resize(qMax(minimumWidth(), m_settings.number(SettingsLine::Width, 600)),
           qMax(minimumHeight(), m_settings.number(SettingsLine::Height, 400)));
    placeByInstanceCount();
    keepOnScreen();
    if (m_settings.line(SettingsLine::FontName).isEmpty())
        m_settings.setLine(SettingsLine::FontName, QStringLiteral("Courier New"));
    if (m_settings.line(SettingsLine::FontSize).isEmpty())
        m_settings.setLine(SettingsLine::FontSize, QStringLiteral("11"));
    action(FrameAction::createbackupfiles1)->setChecked(m_settings.is(SettingsLine::Backups, QStringLiteral("Create backup files")));
    action(FrameAction::SearchFiles1)->setChecked(m_settings.is(SettingsLine::SearchFiles, QStringLiteral("Search files")));
    m_openInitialDir = m_settings.line(SettingsLine::OpenDirectory);
    m_openFilterIndex = m_settings.number(SettingsLine::OpenFilterIndex, 2);
    if (m_openFilterIndex < 1 || m_openFilterIndex > 6)
        m_openFilterIndex = 2;
    setAcceptDrops(true);
    refreshRecentItems();
    ApplicationButtons::dropMissingPrograms(m_settings);
    m_appButtonBar->refreshAll();
    if (m_settings.is(SettingsLine::Coding, QStringLiteral("Hide Coding"))) {
        action(FrameAction::Show1)->setChecked(false);
        m_panel3->hide();
    }
    if (m_settings.is(SettingsLine::Ruler, QStringLiteral("Hide Ruler")))
        action(FrameAction::Showruler1)->setChecked(false);
    if (m_settings.is(SettingsLine::Sidebar, QStringLiteral("Hide SideBar")))
        action(FrameAction::ShowSidebar1)->setChecked(false);
    if (m_settings.is(SettingsLine::UrlDetection, QStringLiteral("No URL detection")))
        action(FrameAction::URL1)->setChecked(false);
    m_sidebar->open(m_userDir + QStringLiteral("insert.ini"));
    m_sidebar->setSidebarWidth(m_settings.number(SettingsLine::SidebarWidth, 100));
    showSidebar(action(FrameAction::ShowSidebar1)->isChecked());
    QFont clipFont(m_settings.line(SettingsLine::FontName));
    clipFont.setPointSize(qMax(1, m_settings.number(SettingsLine::FontSize, 11)));
    m_multiClipboard->clipboard()->setFont(clipFont);
    m_multiClipboard->clipboard()->capture();
}

void TFrameForm::placeByInstanceCount()
{
    const int count = m_services.instanceCount ? m_services.instanceCount() : 1;
    if (count % 2 != 0)
        return;
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int w = screen->geometry().width();
    const int h = screen->geometry().height();
    // 64 bits: the stored position may be anywhere in the int range.
    qint64 left = x();
    qint64 top = y();
    if (w / 2 >= left + width())
        left = qRound(w / 2.0);
    else if (w / 2 < left)
        left = 0;
    if (h / 2 >= top + height())
        top = qRound(h / 2.0);
    else if (h / 2 < top)
        top = 0;
    move(int(left), int(top));
}

void TFrameForm::keepOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(pos());
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    updateMinimumSize();
    // The window manager's frame counts, once it is known (after showing).
    const QSize decoration = frameGeometry().size() - size();
    const QRect placed = FramePlacement::clampToArea(pos(), size() + decoration, screen->availableGeometry(),
                                                     minimumSize() + decoration);
    move(placed.topLeft());
    resize(placed.size() - decoration);
}

// The whole tool bar shows at the smallest size, so no control hides behind
// the overflow button; a screen smaller than that wins.
void TFrameForm::updateMinimumSize()
{
    if (!m_toolBar)
        return;
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize decoration = frameGeometry().size() - size();
    const QSize available = (s ? s->availableGeometry().size() : QSize(1 << 20, 1 << 20)) - decoration;
    const int wanted = m_toolBar->sizeHint().width() + 8;
    setMinimumWidth(qMin(wanted, available.width()));
    setMinimumHeight(qMin(300, available.height()));
    if (width() < minimumWidth())
        resize(minimumWidth(), height());
}

void TFrameForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_startupDone)
        return;
    m_startupDone = true;
    keepOnScreen();
    FormShow();
    QTimer::singleShot(10, this, &TFrameForm::Timer1Timer);
}

void TFrameForm::FormShow()
{
    m_spelling->restore(m_settings, m_services.registry);
    fillCodePageList();
    m_sidebar->showSection(m_settings.line(SettingsLine::InsertSection));
    m_multiClipboard->clipboard()->capture();
}

void TFrameForm::showSidebar(bool on)
{
    if (!m_sidebar)
        return;
    m_sidebar->setVisible(on);
    // A sidebar shown again takes the width it had.
    const int total = qMax(m_splitter->width(), width()) - m_splitter->handleWidth();
    if (on)
        m_splitter->setSizes({m_sidebar->sidebarWidth(), qMax(1, total - m_sidebar->sidebarWidth())});
}

void TFrameForm::fillCodePageList()
{
    m_cpComboBox->clear();
    const CodePageList list(CodePages::installedCodePages(),
                            m_settings.number(SettingsLine::CodePage, CodePages::ansiCodePage()),
                            CodePageList::readFile(m_codePageListFile, CodePages::ansiCodePage()));
    int widest = 0;
    const QFontMetrics metrics(m_cpComboBox->font());
    for (const CodePageList::Entry &entry : list.entries()) {
        m_cpComboBox->addItem(entry.text, entry.codePage);
        widest = qMax(widest, metrics.horizontalAdvance(entry.text));
    }
    // The box grows to its longest description; the frame's minimum follows.
    m_cpComboBox->view()->setMinimumWidth(widest + 40);
    m_cpComboBox->setCurrentIndex(list.selectedIndex());
    m_cpComboBox->adjustSize();
    updateMinimumSize();
}

int TFrameForm::selectedCodePage() const
{
    // Without a selected entry the files are read and written in the ANSI code page.
    const QVariant cp = m_cpComboBox->currentData();
    return cp.isValid() ? cp.toInt() : CodePages::ansiCodePage();
}

void TFrameForm::closeEvent(QCloseEvent *event)
{
    if (m_closing || !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // A help window left open would keep the program running without a frame.
    if (m_services.help)
        m_services.help->closeWindow();
}

bool TFrameForm::FormClose()
{
    for (TEditForm *f : documents())
        if (f->Editor()->isLoadingInBackground() || f->Loading())
            return false;
    m_closing = true;
    for (TEditForm *f : documents()) {
        if (!f->close()) {
            // A cancelled save question keeps the program running with that document.
            m_closing = false;
            return false;
        }
    }
    m_closing = false;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        m_settings.setLine(SettingsLine::FrameState, QStringLiteral("wsMaximized"));
    } else {
        m_settings.setLine(SettingsLine::Left, QString::number(x()));
        m_settings.setLine(SettingsLine::Top, QString::number(y()));
        m_settings.setLine(SettingsLine::Width, QString::number(width()));
        m_settings.setLine(SettingsLine::Height, QString::number(height()));
        m_settings.setLine(SettingsLine::FrameState, QStringLiteral("wsNormal"));
    }
    m_spelling->save(m_settings);
    const auto pair = [this](FrameAction id, int line, const char *on, const char *off) {
        m_settings.setLine(line, QString::fromLatin1(action(id)->isChecked() ? on : off));
    };
    pair(FrameAction::createbackupfiles1, SettingsLine::Backups, "Create backup files", "No backup files");
    pair(FrameAction::SearchFiles1, SettingsLine::SearchFiles, "Search files", "Do not search files");
    m_settings.setLine(SettingsLine::OpenDirectory, m_openInitialDir);
    m_settings.setLine(SettingsLine::OpenFilterIndex, QString::number(m_openFilterIndex));
    pair(FrameAction::Show1, SettingsLine::Coding, "Show Coding", "Hide Coding");
    pair(FrameAction::Showruler1, SettingsLine::Ruler, "Show Ruler", "Hide Ruler");
    pair(FrameAction::ShowSidebar1, SettingsLine::Sidebar, "Show SideBar", "Hide SideBar");
    pair(FrameAction::URL1, SettingsLine::UrlDetection, "Auto URL detection", "No URL detection");
    m_settings.setLine(SettingsLine::SidebarWidth, QString::number(m_sidebar->sidebarWidth()));
    m_settings.setLine(SettingsLine::InsertSection, m_sidebar->currentSection());
    m_print->storeSettings();
    writeSettingsFile();
    writeStateReportIfAsked();
    return true;
}

void TFrameForm::writeSettingsFile()
{
    QString error;
    const QString path = m_userDir + QStringLiteral("Quilmar.ini");
    if (m_settings.save(path, &error) || m_settingsWriteFailed)
        return;
    m_settingsWriteFailed = true;
    m_ui->showError(QStringLiteral("The settings could not be saved:\r\n%1\r\n%2").arg(path, error),
                    QStringLiteral("Quilmar"));
}

// ---------------------------------------------------------------------------
// Documents

QList<TEditForm *> TFrameForm::documents() const
{
    QList<TEditForm *> docs;
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (auto *f = qobject_cast<TEditForm *>(*it))
            docs << f;
    return docs;
}

TEditForm *TFrameForm::activeDocument() const
{
    const QList<TEditForm *> docs = documents();
    return docs.isEmpty() ? nullptr : docs.first();
}

void TFrameForm::prepareSubWindow(QMdiSubWindow *window)
{
    if (!window)
        return;
    // Without an icon of its own the window shows the toolkit's logo.
    window->setWindowIcon(QApplication::windowIcon());
    // The window menu's Close takes Ctrl+W on X11, the key of Word wrap; the
    // document's and the frame's commands keep their keys, Close keeps Ctrl+F4.
    if (QMenu *menu = window->systemMenu()) {
        QList<QAction *> ours = window->actions();
        for (QAction *a : m_actions)
            ours << a;
        ShortcutClashes::yield(menu->actions(), ours);
    }
    if (auto *form = qobject_cast<TEditForm *>(window))
        ShortcutClashes::preferCommands(form->Editor(), form);
}

TEditForm *TFrameForm::CreateDocumentWindow()
{
    auto *form = new TEditForm(this);
    new DocumentFormatting(form, this, action(FrameAction::Showruler1)->isChecked());
    m_mdiArea->addSubWindow(form);
    form->show();
    if (m_settings.is(SettingsLine::WordWrap, QStringLiteral("NotWordWrap")))
        form->Wordwrap1Click();
    return form;
}

void TFrameForm::CaptureChildState()
{
    if (TEditForm *first = activeDocument()) {
        Qt::WindowStates state = first->windowState();
        if (state & Qt::WindowMinimized)
            state = Qt::WindowNoState;
        m_newChildState = state & Qt::WindowMaximized ? Qt::WindowMaximized : Qt::WindowNoState;
    }
}

void TFrameForm::setChildState(TEditForm *form, Qt::WindowStates state)
{
    if (state & Qt::WindowMaximized)
        form->showMaximized();
    else if (state & Qt::WindowMinimized)
        form->showMinimized();
    else
        form->showNormal();
}

void TFrameForm::subWindowActivated(QMdiSubWindow *window)
{
    // A dialog taking the focus deactivates the MDI area without another
    // document becoming current: nothing changes then.
    if (!window && m_mdiArea->currentSubWindow())
        return;
    prepareSubWindow(window);
    if (m_lastActive == window)
        return;
    if (auto *previous = qobject_cast<TEditForm *>(m_lastActive.data()))
        previous->FormDeactivate();
    m_lastActive = window;
    if (auto *form = qobject_cast<TEditForm *>(window))
        form->FormActivate();
    else
        rebuildMenuBar(nullptr);
}

void TFrameForm::documentActivated(TEditForm *form)
{
    if (form->SpellLanguageIndex >= 0 && form->SpellLanguageIndex < m_spellLanguageComboBox->count())
        m_spellLanguageComboBox->setCurrentIndex(form->SpellLanguageIndex);
    rebuildMenuBar(form);
}

void TFrameForm::runPrintCommand(TEditForm *form, PrintCommand command)
{
    m_print->run(form, command);
}

void TFrameForm::documentClosed(TEditForm *form)
{
    m_print->documentClosed(form);
    if (m_lastActive == form)
        m_lastActive = nullptr;
    if (m_tabStrip)
        m_tabStrip->removeSection(form);
    if (!m_closing && documents().isEmpty())
        rebuildMenuBar(nullptr);
}

void TFrameForm::showDocumentToolBar(QWidget *toolBar)
{
    auto *layout = static_cast<QHBoxLayout *>(m_panel1->layout());
    if (toolBar->parentWidget() != m_panel1) {
        toolBar->setParent(m_panel1);
        layout->insertWidget(0, toolBar);
    }
    toolBar->show();
}

void TFrameForm::takeBackToolBarPanel(QWidget *toolBar)
{
    if (toolBar->parentWidget() != m_panel1)
        return;
    toolBar->hide();
    m_panel1->layout()->removeWidget(toolBar);
}

void TFrameForm::addTabSection(TEditForm *form, const QString &text)
{
    prepareSubWindow(form);
    m_tabStrip->addSection(form, text);
    m_tabStrip->setMaximumSectionWidth(width() / 4);
}

void TFrameForm::setTabSectionText(TEditForm *form, const QString &text)
{
    m_tabStrip->setSectionText(form, text);
}

void TFrameForm::setTabSectionActive(TEditForm *form, bool active)
{
    m_tabStrip->setSectionActive(form, active);
}

void TFrameForm::removeTabSection(TEditForm *form)
{
    m_tabStrip->removeSection(form);
}

void TFrameForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_tabStrip->setMaximumSectionWidth(width() / 4);
    m_panel1->setMinimumHeight(29);
}

void TFrameForm::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 0 && panel < m_statusPanels.size())
        m_statusPanels.at(panel)->setText(text);
}

QString TFrameForm::statusPanel(int panel) const
{
    return panel >= 0 && panel < m_statusPanels.size() ? m_statusPanels.at(panel)->text() : QString();
}

bool TFrameForm::event(QEvent *event)
{
    // The long part of every hint goes to the third status panel.
    if (event->type() == QEvent::StatusTip) {
        setStatusPanel(2, static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFrameForm::updateSaveAll()
{
    bool any = false;
    const QList<TEditForm *> docs = documents();
    for (auto it = docs.crbegin(); it != docs.crend() && !any; ++it)
        any = (*it)->isSaveEnabled();
    setSaveAllEnabled(any);
}

void TFrameForm::setSaveAllEnabled(bool on)
{
    action(FrameAction::ToolButton11)->setEnabled(on);
}

void TFrameForm::setOpenWithStandardAppEnabled(bool on)
{
    action(FrameAction::ToolButton9)->setEnabled(on);
}

void TFrameForm::setWindowItemsVisible(bool on)
{
    for (FrameAction id : {FrameAction::Minimize1, FrameAction::Normal1, FrameAction::Maximize1, FrameAction::Closeall1})
        action(id)->setVisible(on);
}

void TFrameForm::setStandardFontEnabled(bool on)
{
    action(FrameAction::StandardFont1)->setEnabled(on);
}

bool TFrameForm::createBackupFiles() const
{
    return action(FrameAction::createbackupfiles1)->isChecked();
}

bool TFrameForm::autoUrlDetection() const
{
    return action(FrameAction::URL1)->isChecked();
}

bool TFrameForm::takeReplaceAfterLoad()
{
    const bool requested = m_replaceAfterLoad;
    m_replaceAfterLoad = false;
    return requested;
}

void TFrameForm::runSearchCommand(TEditForm *form, SearchCommand command)
{
    m_search->run(form, command);
}

void TFrameForm::activateDocument(TEditForm *form)
{
    if (form->isMinimized())
        form->showNormal();
    m_mdiArea->setActiveSubWindow(form);
}

bool TFrameForm::searchInAllFiles() const
{
    return action(FrameAction::SearchFiles1)->isChecked();
}

bool TFrameForm::searchCaseMismatch() const
{
    return action(FrameAction::Searchforcasemismatch1)->isChecked();
}

// ---------------------------------------------------------------------------
// Commands

void TFrameForm::Timer1Timer()
{
    bool created = false;
    const auto exists = [](const QString &name) { return QFileInfo(name).isFile(); };
    for (const CommandLineStep &step : CommandLine::plan(m_services.arguments, exists)) {
        switch (step.kind) {
        case CommandLineStep::OpenFile: {
            created = true;
            const QString path = QFileInfo(step.argument).absoluteFilePath();
            TEditForm *form = CreateDocumentWindow();
            setChildState(form, m_newChildState);
            m_openInitialDir = QFileInfo(path).absolutePath();
            form->LoadDocument(path, false);
            addRecentFile(path);
            break;
        }
        case CommandLineStep::NewNamedFile: {
            created = true;
            auto *form = new TEditForm(this);
            new DocumentFormatting(form, this, action(FrameAction::Showruler1)->isChecked());
            m_mdiArea->addSubWindow(form);
            form->show();
            form->setDocumentFileName(QFileInfo(step.argument).absoluteFilePath());
            form->Saveas1Click();
            if (m_settings.is(SettingsLine::WordWrap, QStringLiteral("NotWordWrap")))
                form->Wordwrap1Click();
            setChildState(form, m_newChildState);
            break;
        }
        case CommandLineStep::NoFinishMessage:
            m_showFinishMessage = false;
            m_spelling->setShowFinishMessage(false);
            break;
        case CommandLineStep::NoDocument:
            created = true;
            break;
        case CommandLineStep::ReplaceAfterLoad:
            m_replaceAfterLoad = true;
            break;
        case CommandLineStep::Ignore:
            break;
        }
    }
    if (!created)
        setChildState(CreateDocumentWindow(), m_newChildState);
    if (!m_settings.is(SettingsLine::FrameState, QStringLiteral("wsNormal"))) {
        const QSize normalSize = size();
        showMaximized();
        // Without a window manager nothing takes the request up: fill the
        // screen ourselves, so the frame looks the same everywhere.
        QTimer::singleShot(300, this, [this, normalSize] {
            const QScreen *s = screen();
            if (isMaximized() && size() == normalSize && s && s->availableGeometry().width() > normalSize.width())
                setGeometry(s->availableGeometry());
        });
    }
    offerRecovery();
    emit startupFinished();
    writeStateReportIfAsked();
    // Once more when the frame has its final size and its tool bars their layout.
    QTimer::singleShot(1000, this, [this] { writeStateReportIfAsked(); });
}

void TFrameForm::New1Click()
{
    CaptureChildState();
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenOne;
    request.initialDir = m_programDir + QStringLiteral("templates");
    const UserInteraction::FileAnswer answer = m_ui->chooseFiles(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    TEditForm *form = CreateDocumentWindow();
    form->LoadDocument(answer.files.first(), true);
    setChildState(form, m_newChildState);
    form->Editor()->setModified(false);
}

void TFrameForm::ToolButton2Click()
{
    CaptureChildState();
    TEditForm *form = CreateDocumentWindow();
    setChildState(form, m_newChildState);
    form->Editor()->setModified(false);
}

void TFrameForm::Open1Click()
{
    CaptureChildState();
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenMany;
    request.filter = FileCodings::openFilter();
    request.filterIndex = m_openFilterIndex;
    request.defaultExt = QStringLiteral("rtf;txt");
    request.initialDir = m_openInitialDir;
    const UserInteraction::FileAnswer answer = m_ui->chooseFiles(request);
    if (answer.accepted && !answer.files.isEmpty()) {
        m_openFilterIndex = qBound(1, answer.filterIndex, 6);
        for (const QString &file : answer.files) {
            const QString path = QFileInfo(file).absoluteFilePath();
            TEditForm *form = CreateDocumentWindow();
            form->LoadDocument(path, false);
            addRecentFile(path);
        }
        m_openInitialDir = QFileInfo(answer.files.first()).absolutePath();
    }
    if (TEditForm *first = activeDocument())
        setChildState(first, m_newChildState);
}

void TFrameForm::OpenDocumentFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    TEditForm *form = CreateDocumentWindow();
    setChildState(form, m_newChildState);
    m_openInitialDir = QFileInfo(path).absolutePath();
    form->LoadDocument(path, false);
}

void TFrameForm::dropFiles(const QStringList &files)
{
    CaptureChildState();
    for (const QString &file : files) {
        TEditForm *form = CreateDocumentWindow();
        setChildState(form, m_newChildState);
        form->LoadDocument(file, false);
    }
}

void TFrameForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFrameForm::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Loading runs after the drop has ended, so the dragging program is not held up.
    QTimer::singleShot(0, this, [this, files] { dropFiles(files); });
}

void TFrameForm::addRecentFile(const QString &path)
{
    RecentFiles::add(m_settings, path);
    m_recentFileNames = RecentFiles::names(m_settings);
}

void TFrameForm::refreshRecentItems()
{
    m_recentFileNames = RecentFiles::names(m_settings);
    for (int k = 0; k < RecentFiles::Count; ++k) {
        QAction *item = recentAction(k + 1);
        const QString name = m_recentFileNames.value(k);
        item->setVisible(!name.isEmpty());
        // An ampersand in a file name is shown, not taken for an accelerator.
        item->setText(QString(name).replace(u'&', QLatin1String("&&")));
        item->setToolTip(m_settings.line(RecentFiles::FirstLine + k));
        item->setStatusTip(m_settings.line(RecentFiles::FirstLine + k));
    }
}

void TFrameForm::GoToLine(int line)
{
    TEditForm *form = activeDocument();
    if (!form || form->Loading()) // a preview's lines are not the file's
        return;
    TRichTextEdit *editor = form->Editor();
    editor->setCaretPos(QPoint(0, qMax(0, line)));
    editor->ensureCursorVisible();
    if (!editor->hasFocus()) {
        editor->hide();
        editor->show();
    }
    form->UpdatePositionDisplay();
}

void TFrameForm::ToolButton11Click()
{
    const QList<TEditForm *> docs = documents();
    for (auto it = docs.crbegin(); it != docs.crend(); ++it)
        (*it)->Save1Click();
}

void TFrameForm::Closeall1Click()
{
    for (TEditForm *form : documents())
        form->close();
    if (documents().isEmpty()) {
        setWindowItemsVisible(false);
        setStandardFontEnabled(false);
        setSaveAllEnabled(false);
    }
}

void TFrameForm::cascade()
{
    WindowTiler::cascadeSubWindows(m_mdiArea);
}

void TFrameForm::tileHorizontally()
{
    WindowTiler::tileSubWindows(m_mdiArea, WindowTiler::Mode::Horizontal);
}

void TFrameForm::tileVertically()
{
    WindowTiler::tileSubWindows(m_mdiArea, WindowTiler::Mode::Vertical);
}

void TFrameForm::arrangeIcons()
{
    WindowTiler::arrangeMinimized(m_mdiArea);
}

void TFrameForm::ReadMe1Click()
{
    auto *form = new TEditForm(this);
    new DocumentFormatting(form, this, action(FrameAction::Showruler1)->isChecked());
    m_mdiArea->addSubWindow(form);
    form->show();
    form->Editor()->setReadOnly(true);
    form->LoadDocument(m_programDir + m_textSet.readMeFile(), false);
}

void TFrameForm::Help2Click()
{
    if (m_services.help)
        m_services.help->showContents(m_programDir + m_helpFile);
}

void TFrameForm::Info1Click()
{
    InfoForm info(m_programDir, this);
    m_ui->runDialog(&info);
}

void TFrameForm::StandardFont1Click()
{
    TEditForm *form = activeDocument();
    if (!form)
        return;
    TRichTextEdit *editor = form->Editor();
    m_settings.setLine(SettingsLine::FontName, editor->SelAttributes().Name());
    m_settings.setLine(SettingsLine::FontSize, QString::number(editor->SelAttributes().Size()));
    if (m_cpComboBox->currentIndex() >= 0)
        m_settings.setLine(SettingsLine::CodePage, QString::number(m_cpComboBox->currentData().toInt() & 0xFFFF));
    m_settings.setLine(SettingsLine::WordWrap, editor->WordWrap() ? QStringLiteral("WordWrap") : QStringLiteral("NotWordWrap"));
    const int colour = editor->SelAttributes().isAutoColor() ? WinColor::WindowText
                                                               : WinColor::fromColor(editor->SelAttributes().Color());
    m_settings.setLine(SettingsLine::FontColor, QString::number(colour));
    m_settings.setLine(SettingsLine::Bold, editor->SelAttributes().Style().testFlag(TFontStyle::fsBold)
                                               ? QStringLiteral("bold") : QString());
}

// ---------------------------------------------------------------------------
// Interface texts

void TFrameForm::applyTextSet(const TextSet &set)
{
    m_textSet = set;
    if (m_spelling)
        m_spelling->applyTexts(set);
    if (m_print)
        m_print->applyTexts(set);
    switch (set.kind()) {
    case TextSet::Kind::English:
        action(FrameAction::English1)->setChecked(true);
        m_settings.setLine(SettingsLine::Language, QStringLiteral("English"));
        break;
    case TextSet::Kind::German:
        action(FrameAction::Deutsch1)->setChecked(true);
        m_settings.setLine(SettingsLine::Language, QStringLiteral("Deutsch"));
        break;
    case TextSet::Kind::LanguageFile:
        action(FrameAction::other1)->setChecked(true);
        m_settings.setLine(SettingsLine::Language, m_languageFileName);
        break;
    }
    applyCaptions();
}

void TFrameForm::applyCaptions()
{
    m_helpFile = m_textSet.helpFile();
    m_codePageListFile = m_programDir + m_textSet.codePageListFile();
    m_search->setGerman(m_textSet.kind() == TextSet::Kind::German);
    applyFrameCaptions(*this, m_textSet);
    switch (m_textSet.kind()) {
    case TextSet::Kind::English: m_qtTranslations->apply(QLocale::English); break;
    case TextSet::Kind::German: m_qtTranslations->apply(QLocale::German); break;
    case TextSet::Kind::LanguageFile:
        m_qtTranslations->apply(QtTranslations::languageNamed(m_textSet.line(TextSet::MenuCaption)));
        break;
    }
    Accelerators::assignTitles(menuBar());
    // Texts of another length change what the tool bar needs.
    updateMinimumSize();
}

void TFrameForm::applyStartLanguage()
{
    const QString language = m_languageFileName;
    applyTextSet(language == QLatin1String("Deutsch") ? TextSet::german() : TextSet::english());
    if (language.isEmpty() || language == QLatin1String("English") || language == QLatin1String("Deutsch"))
        return;
    // A language file that cannot be used leaves its name in place, so the
    // next start tells the same.
    m_settings.setLine(SettingsLine::Language, language);
    loadLanguageFile(language);
}

bool TFrameForm::loadLanguageFile(const QString &path)
{
    const LanguageFile::Result result = LanguageFile::read(path);
    if (result.status == LanguageFile::Status::Missing) {
        // A damaged settings line may hold megabytes; the message shows its start.
        const QString shown = path.size() > 1000 ? path.left(1000) + QStringLiteral("\u2026") : path;
        m_ui->showError(m_textSet.entry(Txt::CouldNotFindFile) + shown, QStringLiteral("Quilmar"));
        return false;
    }
    if (result.status != LanguageFile::Status::Ok) {
        m_ui->showError(m_textSet.entry(Txt::NoValidLanguageFile), QStringLiteral("Quilmar"));
        action(FrameAction::other1)->setVisible(false);
        return false;
    }
    m_languageLines = result.lines;
    action(FrameAction::other1)->setText(m_languageLines.at(TextSet::MenuCaption));
    action(FrameAction::other1)->setVisible(true);
    m_languageFileName = path;
    applyTextSet(TextSet::fromLanguageFile(m_languageLines));
    return true;
}

void TFrameForm::other1Click()
{
    // The texts come from memory; the file is not read again.
    if (m_languageLines.size() == TextSet::LanguageFileLines)
        applyTextSet(TextSet::fromLanguageFile(m_languageLines));
}

void TFrameForm::Language1Click()
{
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenOne;
    request.filter = QStringLiteral("interface language file|*.lgtx");
    request.defaultExt = QStringLiteral("lgtx");
    request.initialDir = m_programDir;
    const UserInteraction::FileAnswer answer = m_ui->chooseFiles(request);
    if (answer.accepted && !answer.files.isEmpty())
        loadLanguageFile(answer.files.first());
}

// ---------------------------------------------------------------------------
// Ending from outside and recovery copies

QString TFrameForm::recoveryDir() const
{
    return m_userDir + QStringLiteral("recovery");
}

void TFrameForm::closeForTermination()
{
    if (m_terminating) {
        // The first request could not close the frame (a load still running):
        // the copies are written, the program ends.
        QCoreApplication::quit();
        return;
    }
    m_terminating = true;
    finishTermination();
}

void TFrameForm::finishTermination()
{
    // A question open now gets no answer. Its dialog is dismissed, and the
    // frame closes once its event loop has returned, not from inside it.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(0, this, &TFrameForm::finishTermination);
        return;
    }
    RecoveryStore store(recoveryDir());
    DocumentRecovery::keepModified(store, documents());
    close();
}

void TFrameForm::offerRecovery()
{
    RecoveryStore store(recoveryDir());
    const auto newDocument = [this] {
        TEditForm *form = CreateDocumentWindow();
        setChildState(form, m_newChildState);
        return form;
    };
    DocumentRecovery::offer(store, *m_ui, m_textSet, newDocument, [this] { return m_terminating; });
}

void TFrameForm::writeStateReportIfAsked() const
{
    const QString path = qEnvironmentVariable("QUILMAR_STATE_REPORT");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(frameStateReport(*const_cast<TFrameForm *>(this)));
        file.commit();
    }
}

void TFrameForm::spellCheck(TEditForm *form)
{
    m_spelling->check(form->Editor()->core());
}

int TFrameForm::spellLanguageIndex() const
{
    return m_spellLanguageComboBox->currentIndex();
}

bool TFrameForm::pageNoPrint() const
{
    return m_print->pageNoPrint();
}

void TFrameForm::setPageNoPrint(bool on)
{
    m_print->setPageNoPrint(on);
}
