// The frame's actions, menus, tool bar, central area and status bar.
#include "app/MDIFrame.h"

#include "app/ApplicationButtonBar.h"
#include "app/DocumentTabStrip.h"
#include "app/FrameSpelling.h"
#include "app/GoToPanel.h"
#include "app/Hints.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/Icons.h"
#include "app/InsertSidebar.h"
#include "document/ui/MDIEdit.h"
#include "format/ui/DocumentFormatting.h"
#include "app/MultiClipboardBar.h"
#include "platform/SettingsLines.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/UserInteraction.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

QMenu *TFrameForm::makeMenu(const QString &name)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(name);
    m_menus.insert(name, menu);
    return menu;
}

void TFrameForm::buildActions()
{
    struct Spec {
        FrameAction id;
        const char *caption;
        QKeySequence shortcut;
        const char *icon;
        void (TFrameForm::*slot)();
        bool checkable;
    };
    using F = TFrameForm;
    using A = FrameAction;
    const Spec specs[] = {
        {A::New1, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), "document-new", &F::New1Click, false},
        {A::Open1, "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), "document-open", &F::Open1Click, false},
        {A::Exit1, "E&xit", {}, "application-exit", nullptr, false},
        {A::StandardFont1, "Standard Font", {}, nullptr, &F::StandardFont1Click, false},
        {A::createbackupfiles1, "Create backup files", {}, nullptr, nullptr, true},
        {A::SearchFiles1, "Find in files", {}, nullptr, nullptr, true},
        {A::Searchforcasemismatch1, "Search for case mismatch", {}, nullptr, nullptr, true},
        {A::URL1, "--> URL", {}, nullptr, nullptr, true},
        {A::English1, "&English", {}, nullptr, nullptr, true},
        {A::Deutsch1, "&Deutsch", {}, nullptr, nullptr, true},
        {A::other1, "", {}, nullptr, nullptr, true},
        {A::Language1, "&Language", {}, nullptr, nullptr, false},
        {A::Showruler1, "Show ruler", {}, nullptr, nullptr, true},
        {A::Show1, "Coding visible", {}, nullptr, nullptr, true},
        {A::ShowSidebar1, "Show sidebar", {}, nullptr, nullptr, true},
        {A::Tile1, "&Tile horizontally", {}, nullptr, &F::tileHorizontally, false},
        {A::Tilevertically1, "Tile vertically", {}, nullptr, &F::tileVertically, false},
        {A::Cascade1, "&Cascade", {}, nullptr, nullptr, false},
        {A::Arrangeicons1, "&Arrange icons", {}, nullptr, &F::arrangeIcons, false},
        {A::Minimize1, "&Minimize", {}, nullptr, nullptr, false},
        {A::Normal1, "&Normal", {}, nullptr, nullptr, false},
        {A::Maximize1, "Ma&ximize", {}, nullptr, nullptr, false},
        {A::Closeall1, "C&lose all", {}, nullptr, &F::Closeall1Click, false},
        {A::Help2, "&Help", QKeySequence(QKeySequence::HelpContents), "help-contents", &F::Help2Click, false},
        {A::ReadMe1, "&ReadMe", {}, nullptr, &F::ReadMe1Click, false},
        {A::Info1, "&Info", {}, nullptr, &F::Info1Click, false},
        {A::ToolButton2, "", {}, "document-new", &F::ToolButton2Click, false},
        {A::ToolButton3, "", {}, "document-open", &F::Open1Click, false},
        {A::ToolButton11, "", {}, "document-save-all", &F::ToolButton11Click, false},
        {A::ToolButton7, "", {}, "text-html", nullptr, true},
        {A::ToolButton15, "", {}, "tools-check-spelling", nullptr, false},
        {A::ToolButton9, "", {}, "applications-other", nullptr, false},
        {A::ToolButton6, "", {}, "help-contents", &F::Help2Click, false},
    };
    for (const Spec &spec : specs) {
        auto *a = new QAction(QString::fromUtf8(spec.caption), this);
        a->setObjectName(QString::fromLatin1(actionName(spec.id)));
        if (!spec.shortcut.isEmpty())
            a->setShortcut(spec.shortcut);
        if (spec.icon)
            a->setIcon(Icons::get(QString::fromLatin1(spec.icon)));
        a->setCheckable(spec.checkable);
        if (spec.slot)
            connect(a, &QAction::triggered, this, spec.slot);
        m_actions.set(spec.id, a);
    }
    connect(action(FrameAction::Exit1), &QAction::triggered, this, &QWidget::close);
    connect(action(FrameAction::Cascade1), &QAction::triggered, this, &TFrameForm::cascade);
    connect(action(FrameAction::Minimize1), &QAction::triggered, this, [this] {
        if (TEditForm *f = activeDocument())
            f->showMinimized();
    });
    connect(action(FrameAction::Normal1), &QAction::triggered, this, [this] {
        if (TEditForm *f = activeDocument())
            f->showNormal();
    });
    connect(action(FrameAction::Maximize1), &QAction::triggered, this, [this] {
        if (TEditForm *f = activeDocument())
            f->showMaximized();
    });
    connect(action(FrameAction::ToolButton9), &QAction::triggered, this, [this] {
        if (TEditForm *f = activeDocument())
            f->OpenWithStandardApplication();
    });
    connect(action(FrameAction::ToolButton7), &QAction::toggled, this, [this](bool down) {
        Hints::set(action(FrameAction::ToolButton7), m_textSet.entry(down ? Txt::HtmlOn : Txt::HtmlOff));
        if (m_spelling)
            m_spelling->setHtmlSupport(down);
    });
    connect(action(FrameAction::ToolButton15), &QAction::triggered, this, [this] {
        if (TEditForm *f = activeDocument())
            f->action(EditAction::Spellcheck2)->trigger();
    });
    connect(action(FrameAction::URL1), &QAction::toggled, this, [this](bool on) {
        action(FrameAction::URL1)->setIcon(Icons::get(on ? QStringLiteral("emblem-default")
                                                               : QStringLiteral("emblem-unreadable")));
    });
    connect(action(FrameAction::English1), &QAction::triggered, this, [this] { applyTextSet(TextSet::english()); });
    connect(action(FrameAction::Deutsch1), &QAction::triggered, this, [this] { applyTextSet(TextSet::german()); });
    connect(action(FrameAction::other1), &QAction::triggered, this, &TFrameForm::other1Click);
    connect(action(FrameAction::Language1), &QAction::triggered, this, &TFrameForm::Language1Click);
    connect(action(FrameAction::Show1), &QAction::toggled, this, [this](bool on) {
        if (m_panel3)
            m_panel3->setVisible(on);
    });
    connect(action(FrameAction::ShowSidebar1), &QAction::toggled, this, &TFrameForm::showSidebar);
    auto *languages = new QActionGroup(this);
    for (FrameAction id : {FrameAction::English1, FrameAction::Deutsch1, FrameAction::other1})
        languages->addAction(action(id));
    action(FrameAction::other1)->setVisible(false);
    action(FrameAction::ToolButton11)->setEnabled(false);
    action(FrameAction::ToolButton9)->setEnabled(false);
    action(FrameAction::StandardFont1)->setEnabled(false);
    for (FrameAction id : {FrameAction::URL1, FrameAction::Showruler1, FrameAction::Show1, FrameAction::ShowSidebar1})
        action(id)->setChecked(true);
    connect(action(FrameAction::Showruler1), &QAction::toggled, this, [this](bool on) {
        for (TEditForm *form : documents()) {
            if (DocumentFormatting *formatting = DocumentFormatting::of(form))
                formatting->setRulerVisible(on);
        }
    });
    setWindowItemsVisible(false);
}

void TFrameForm::buildMenus()
{
    using A = FrameAction;
    auto add = [this](QMenu *menu, std::initializer_list<std::optional<A>> ids) { m_actions.addTo(menu, ids); };
    m_fileMenu = makeMenu(QStringLiteral("File1"));
    add(m_fileMenu, {A::New1, A::Open1, {}});
    for (int i = 1; i <= 4; ++i) {
        auto *recent = new QAction(this);
        recent->setObjectName(QStringLiteral("Recent%1").arg(i));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] { OpenDocumentFile(recent->statusTip()); });
        m_recentActions << recent;
        m_fileMenu->addAction(recent);
    }
    m_fileMenu->addSeparator();
    add(m_fileMenu, {A::Exit1});

    add(makeMenu(QStringLiteral("Options1")),
        {A::StandardFont1, A::createbackupfiles1, A::SearchFiles1, A::Searchforcasemismatch1, A::URL1, {},
         A::English1, A::Deutsch1, A::other1, A::Language1, {}, A::Showruler1, A::Show1, A::ShowSidebar1});
    QMenu *window = makeMenu(QStringLiteral("Window1"));
    add(window, {A::Tile1, A::Tilevertically1, A::Cascade1, A::Arrangeicons1, {}, A::Minimize1, A::Normal1,
                 A::Maximize1, A::Closeall1});
    connect(window, &QMenu::aboutToShow, this, &TFrameForm::refreshWindowList);
    add(makeMenu(QStringLiteral("Help1")), {A::Help2, A::ReadMe1, A::Info1});
    rebuildMenuBar(nullptr);
}

void TFrameForm::rebuildMenuBar(TEditForm *active)
{
    QMenuBar *bar = menuBar();
    bar->clear();
    bar->addMenu(active ? active->fileMenu() : m_fileMenu);
    if (active)
        for (QMenu *menu : active->editMenus())
            bar->addMenu(menu);
    bar->addMenu(m_menus.value(QStringLiteral("Options1")));
    bar->addMenu(m_menus.value(QStringLiteral("Window1")));
    bar->addMenu(m_menus.value(QStringLiteral("Help1")));
    for (QAction *a : bar->actions())
        Accelerators::assignItems(a->menu());
    Accelerators::assignTitles(bar);
    // The frame's own file commands act only while its File menu is the one shown.
    for (FrameAction id : {FrameAction::New1, FrameAction::Open1, FrameAction::Exit1})
        action(id)->setEnabled(!active);
}

void TFrameForm::refreshWindowList()
{
    QMenu *menu = m_menus.value(QStringLiteral("Window1"));
    for (QAction *a : menu->actions())
        if (a->property("windowListItem").toBool())
            delete a;
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    QAction *separator = menu->addSeparator();
    separator->setProperty("windowListItem", true);
    int number = 1;
    for (QMdiSubWindow *w : windows) {
        QString title = w->windowTitle();
        QAction *a = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title.replace(u'&', QLatin1String("&&"))));
        a->setProperty("windowListItem", true);
        a->setCheckable(true);
        a->setChecked(w == m_mdiArea->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdiArea->setActiveSubWindow(w); });
    }
}

void TFrameForm::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(18, 18));
    for (FrameAction id : {FrameAction::ToolButton2, FrameAction::ToolButton3, FrameAction::ToolButton11})
        m_toolBar->addAction(action(id));
    m_spelling = new FrameSpelling(this, m_toolBar, m_services.registry, m_services.userInteraction);
    m_spelling->activeDocument = [this]() -> DocumentCore * {
        TEditForm *f = activeDocument();
        return f ? f->Editor()->core() : nullptr;
    };
    connect(m_spelling, &FrameSpelling::languageChosen, this, [this](int index) {
        if (TEditForm *f = activeDocument())
            f->SpellLanguageIndex = index;
    });
    m_spellLanguageComboBox = m_spelling->selectorBox();
    m_toolBar->addWidget(m_spellLanguageComboBox);
    for (FrameAction id : {FrameAction::ToolButton7, FrameAction::ToolButton15, FrameAction::ToolButton9})
        m_toolBar->addAction(action(id));
    m_appButtonBar = new ApplicationButtonBar(m_settings, *m_ui, *m_shell, m_services.registry, m_toolBar);
    m_appButtonBar->activeDocument = [this] { return activeDocument(); };
    m_toolBar->addWidget(m_appButtonBar);
    m_goToPanel = new GoToPanel(m_toolBar);
    m_goToPanel->caretLine = [this] {
        TEditForm *f = activeDocument();
        return f ? f->Editor()->CaretPos().y() : -1;
    };
    connect(m_goToPanel, &GoToPanel::goToLineRequested, this, &TFrameForm::GoToLine);
    m_toolBar->addWidget(m_goToPanel);
    m_toolBar->addAction(action(FrameAction::ToolButton6));
    m_panel3 = new QWidget(m_toolBar);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    auto *layout = new QHBoxLayout(m_panel3);
    layout->setContentsMargins(4, 0, 0, 0);
    m_cpComboBox = new QComboBox(m_panel3);
    m_cpComboBox->setObjectName(QStringLiteral("CPComboBox"));
    m_cpComboBox->setMinimumWidth(238);
    m_cpComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(m_cpComboBox);
    m_toolBar->addWidget(m_panel3);
    for (QAction *a : m_toolBar->actions())
        if (QWidget *w = m_toolBar->widgetForAction(a))
            if (!a->objectName().isEmpty())
                w->setObjectName(a->objectName());
}

QToolButton *TFrameForm::applicationButton(int button) const
{
    return m_appButtonBar->button(button);
}

void TFrameForm::assignApplication(int button)
{
    m_appButtonBar->assign(button);
}

void TFrameForm::runApplication(int button)
{
    m_appButtonBar->run(button);
}

QToolButton *TFrameForm::toolButton(FrameAction id) const
{
    return qobject_cast<QToolButton *>(m_toolBar->widgetForAction(action(id)));
}

void TFrameForm::buildCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_panel1 = new QWidget(central);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumHeight(29);
    auto *panelLayout = new QHBoxLayout(m_panel1);
    panelLayout->setContentsMargins(2, 0, 2, 0);
    panelLayout->setSpacing(0);
    panelLayout->addStretch();
    layout->addWidget(m_panel1);
    m_mdiArea = new QMdiArea(central);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TFrameForm::subWindowActivated);
    // The sidebar left of the documents, resized by the splitter between them.
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(3);
    m_splitter->setChildrenCollapsible(false);
    m_sidebar = new InsertSidebar(*m_ui, m_splitter);
    m_sidebar->activeDocument = [this] { return activeDocument(); };
    m_sidebar->rememberedSection = [this] { return m_settings.line(SettingsLine::InsertSection); };
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_mdiArea);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter, 1);
    m_tabStrip = new DocumentTabStrip(central);
    connect(m_tabStrip, &DocumentTabStrip::sectionClicked, this, [this](TEditForm *form) {
        form->show();
        m_mdiArea->setActiveSubWindow(form);
        form->raise();
    });
    layout->addWidget(m_tabStrip);
    setCentralWidget(central);
}

void TFrameForm::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const int widths[] = {160, 150, 50};
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        if (i < 2)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, i == 2 ? 1 : 0);
        m_statusPanels << panel;
    }
    m_multiClipboard = new MultiClipboardBar(this, bar);
    m_multiClipboard->setPopupAnchor(m_tabStrip);
    bar->addPermanentWidget(m_multiClipboard);
}
