#include "document/ui/MDIEdit.h"

#include "platform/CodePages.h"
#include "document/ui/DocumentHost.h"
#include "platform/ui/Icons.h"
#include "document/rtf/RtfReader.h"
#include "document/NumericReferences.h"
#include "document/ui/ObjectCommands.h"
#include "document/ui/PasteSpecialDialog.h"
#include "document/ui/PicturePropertiesDialog.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "document/ui/TRichTextEdit.h"
#include "format/TextTools.h"
#include "platform/TextFormat.h"
#include "document/TextProperties.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QSaveFile>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

struct ActionSpec {
    EditAction id;
    int caption;          // text-set entry; 0: set elsewhere
    int hint;             // text-set entry; 0: none
    QKeySequence shortcut;
    const char *icon;
    void (TEditForm::*slot)();
};

QString beforeBar(const QString &text)
{
    return text.section(u'|', 0, 0);
}

} // namespace

TEditForm::TEditForm(DocumentHost *host, QWidget *parent) : QMdiSubWindow(parent), m_host(host)
{
    setAttribute(Qt::WA_DeleteOnClose);
    SpellLanguageIndex = host->spellLanguageIndex();
    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_editor = new TRichTextEdit(client);
    m_editor->setObjectName(QStringLiteral("Editor"));
    layout->addWidget(m_editor);
    setWidget(client);
    m_objects = new ObjectCommands(m_editor, host, this);
    connect(m_editor, &TRichTextEdit::objectDoubleClicked, this, [this](int position) {
        if (m_objects->isObjectAt(position))
            m_objects->openObject(position);
    });
    m_toolBar = new QToolBar(QStringLiteral("ToolBar2"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar2"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->hide();
    buildActions();
    buildMenus();
    FormCreate();
}

TEditForm::~TEditForm()
{
    // The tool bar may live in the frame's panel; it is ours to free.
    delete m_toolBar;
    delete m_fileMenu;
    delete m_editMenu;
    delete m_insertMenu;
    delete m_formatMenu;
    delete m_popupMenu;
    if (m_host)
        m_host->documentClosed(this);
}

QString TEditForm::tr2(int entry) const
{
    return m_host->textSet().entry(entry);
}

bool TEditForm::Loading() const
{
    return m_loadingFile || m_toolRunning || m_editor->isHeld();
}

void TEditForm::buildActions()
{
    using F = TEditForm;
    using A = EditAction;
    const ActionSpec specs[] = {
        {A::New1, Txt::New, Txt::NewFile, QKeySequence(Qt::CTRL | Qt::Key_N), "document-new",
         nullptr},
        {A::Open1, Txt::Open, Txt::OpenFile, QKeySequence(Qt::CTRL | Qt::Key_O), "document-open", nullptr},
        {A::Save1, Txt::Save, Txt::SaveFile, QKeySequence(Qt::CTRL | Qt::Key_S), "document-save", &F::Save1Click},
        {A::Saveas1, Txt::SaveAs, Txt::SaveFileAs, {}, "document-save-as", &F::Saveas1Click},
        {A::Saveselecteditem1, Txt::SaveSelected, Txt::SaveSelectedHint, {}, nullptr, &F::Saveselecteditem1Click},
        {A::Close1, Txt::Close, 0, {}, "window-close", &F::Close1Click},
        {A::Exit1, Txt::Exit, 0, {}, "application-exit", nullptr},
        {A::Undo1, Txt::Undo, 0, {}, "edit-undo", nullptr},
        {A::Redo1, Txt::RedoRestore, 0, {}, "edit-redo", nullptr},
        {A::Cut1, Txt::Cut, Txt::CutHint, QKeySequence(Qt::CTRL | Qt::Key_X), "edit-cut", nullptr},
        {A::Copy1, Txt::Copy, Txt::CopyHint, QKeySequence(Qt::CTRL | Qt::Key_C), "edit-copy", nullptr},
        {A::Paste1, Txt::Paste, Txt::PasteHint, QKeySequence(Qt::CTRL | Qt::Key_V), "edit-paste", nullptr},
        {A::PasteunformattedText1, Txt::PasteUnformatted, 0, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V),
         nullptr, nullptr},
        {A::Pastewithoptions1, Txt::PasteWithOptions, Txt::PasteWithOptionsHint, {}, nullptr, nullptr},
        {A::Delete1, Txt::Delete, 0, QKeySequence(Qt::CTRL | Qt::Key_D), "edit-delete", nullptr},
        {A::Selectall1, Txt::SelectAll, Txt::SelectAllHint, QKeySequence(Qt::CTRL | Qt::Key_A),
         "edit-select-all", nullptr},
        {A::Find1, Txt::Find, 0, QKeySequence(Qt::CTRL | Qt::Key_F), "edit-find", &F::Find1Click},
        {A::FindNext1, Txt::FindNext, 0, QKeySequence(Qt::Key_F3), "go-down", &F::FindNext1Click},
        {A::Replace1, Txt::Replace, 0, QKeySequence(Qt::CTRL | Qt::Key_R), "edit-find-replace", &F::Replace1Click},
        {A::Spellcheck2, Txt::SpellCheck, 0, QKeySequence(Qt::Key_F7), "tools-check-spelling", &F::Spellcheck2Click},
        {A::Spellcheck1, Txt::SpellCheck, 0, {}, "tools-check-spelling", &F::Spellcheck2Click},
        {A::Objectproperties1, Txt::ObjectProperties, Txt::ObjectPropertiesHint,
         QKeySequence(Qt::ALT | Qt::Key_Return), nullptr, &F::Objectproperties1Click},
        {A::IPicture1, Txt::Image, Txt::ImageHint, QKeySequence(Qt::CTRL | Qt::Key_Insert), "insert-image",
         &F::IPicture1Click},
        {A::IObject1, Txt::Object, Txt::ObjectHint, {}, nullptr, &F::IObject1Click},
        {A::Wordwrap1, Txt::WordWrap, 0, QKeySequence(Qt::CTRL | Qt::Key_W), nullptr, &F::Wordwrap1Click},
        {A::UnicodeNumeric1, 0, 0, {}, nullptr, nullptr},
        {A::ANSINumeric1, 0, 0, {}, nullptr, nullptr},
        {A::AllNumeric1, 0, 0, {}, nullptr, nullptr},
        {A::NumericUnicode1, 0, 0, {}, nullptr, &F::convertFromNumeric},
        {A::Join1, Txt::Join, Txt::JoinHint, QKeySequence(Qt::CTRL | Qt::Key_J), nullptr, &F::Join1Click},
        {A::JoinAll1, Txt::JoinAll, Txt::JoinAllHint, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_J), nullptr,
         &F::JoinAll1Click},
        {A::Sort1, Txt::SortAscending, Txt::SortAscendingHint, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A),
         "view-sort-ascending", &F::Sort1Click},
        {A::SortDown1, Txt::SortDescending, Txt::SortDescendingHint, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D),
         "view-sort-descending", &F::SortDown1Click},
        {A::UpperCase1, Txt::UpperCase, Txt::UpperCaseHint, {}, nullptr, &F::UpperCase1Click},
        {A::LowerCase1, Txt::LowerCase, Txt::LowerCaseHint, {}, nullptr, &F::LowerCase1Click},
        {A::InitialCaps1, Txt::InitialCaps, Txt::InitialCapsHint, {}, nullptr, &F::InitialCaps1Click},
        {A::Date1, Txt::DateTime, 0, {}, nullptr, nullptr},
        {A::Path1, Txt::Path, Txt::PathHint, {}, "folder", &F::Path1Click},
        {A::PageNo1, Txt::PageNo, Txt::PageNoHint, {}, "insert-page-number", &F::PageNo1Click},
        {A::FormFeed1, Txt::FormFeed, Txt::FormFeedHint, QKeySequence(Qt::CTRL | Qt::Key_Return), "insert-page-break",
         &F::FormFeed1Click},
        {A::Column1, Txt::Column, Txt::EditColumn, {}, "edit-column", nullptr},
        {A::Delete2, Txt::Delete, 0, QKeySequence(Qt::ALT | Qt::Key_Delete), "edit-delete", &F::Delete2Click},
        {A::InsertSpace1, Txt::InsertSpace, 0, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Space), "insert-space",
         &F::InsertSpace1Click},
        {A::Paste3, Txt::Paste, 0, QKeySequence(Qt::Key_F8), "edit-paste", &F::Paste3Click},
        {A::Print1, Txt::Print, 0, QKeySequence(Qt::CTRL | Qt::Key_P), "document-print", &F::Print1Click},
        {A::Printersetup1, Txt::PrinterSetup, 0, {}, nullptr, &F::Printersetup1Click},
        {A::Pagesetup1, Txt::PageSetup, Txt::PageSetupHint, {}, "document-page-setup", &F::Pagesetup1Click},
        {A::WYSIWYG1, 0, Txt::WysiwygHint, {}, nullptr, &F::WYSIWYG1Click},
        {A::Preview2, Txt::PagePreview, 0, {}, "document-print-preview", &F::Preview2Click},
    };
    for (const ActionSpec &spec : specs) {
        auto *a = new QAction(this);
        a->setObjectName(QString::fromLatin1(actionName(spec.id)));
        a->setProperty("captionEntry", spec.caption);
        a->setProperty("hintEntry", spec.hint);
        if (!spec.shortcut.isEmpty()) {
            a->setShortcut(spec.shortcut);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (spec.icon)
            a->setIcon(Icons::get(QString::fromLatin1(spec.icon)));
        if (spec.slot)
            connect(a, &QAction::triggered, this, spec.slot);
        m_actions.set(spec.id, a);
        addAction(a);
    }
    TRichTextEdit *e = m_editor;
    connect(action(A::New1), &QAction::triggered, this, [this] {
        m_host->newCommand();
        setSaveEnabled(false);
    });
    connect(action(A::Open1), &QAction::triggered, this, [this] { m_host->openCommand(); });
    connect(action(A::Exit1), &QAction::triggered, this, [this] { m_host->exitCommand(); });
    connect(action(A::Undo1), &QAction::triggered, e, &TRichTextEdit::Undo);
    connect(action(A::Redo1), &QAction::triggered, e, &TRichTextEdit::Redo);
    connect(action(A::Cut1), &QAction::triggered, e, &TRichTextEdit::Cut);
    connect(action(A::Copy1), &QAction::triggered, e, &TRichTextEdit::Copy);
    connect(action(A::Paste1), &QAction::triggered, e, &TRichTextEdit::Paste);
    connect(action(A::PasteunformattedText1), &QAction::triggered, e, &TRichTextEdit::PasteUnformatted);
    connect(action(A::Pastewithoptions1), &QAction::triggered, this, &TEditForm::Pastewithoptions1Click);
    connect(action(A::Delete1), &QAction::triggered, e, &TRichTextEdit::ClearSelection);
    connect(action(A::Selectall1), &QAction::triggered, e, &TRichTextEdit::selectAll);
    connect(action(A::UnicodeNumeric1), &QAction::triggered, this, [this] { convertToNumeric(256); });
    connect(action(A::ANSINumeric1), &QAction::triggered, this, [this] { convertToNumeric(128); });
    connect(action(A::AllNumeric1), &QAction::triggered, this, [this] { convertToNumeric(0); });
    action(A::Wordwrap1)->setCheckable(true);
    action(A::WYSIWYG1)->setCheckable(true);
    action(A::FindNext1)->setEnabled(false);
    action(A::Objectproperties1)->setEnabled(false);

    for (A id : {A::Save1, A::Cut1, A::Copy1, A::Paste1, A::Undo1, A::Redo1, A::Find1, A::FindNext1, A::Replace1})
        m_toolBar->addAction(action(id));
    m_toolBar->addAction(action(A::Print1));
    if (QWidget *print = m_toolBar->widgetForAction(action(A::Print1)))
        print->setObjectName(QStringLiteral("ToolButton4"));
}

void TEditForm::buildMenus()
{
    using A = EditAction;
    auto add = [this](QMenu *menu, std::initializer_list<std::optional<A>> ids) { m_actions.addTo(menu, ids); };
    m_fileMenu = new QMenu;
    m_fileMenu->setObjectName(QStringLiteral("File1"));
    add(m_fileMenu, {A::New1, A::Open1, A::Save1, A::Saveas1, A::Saveselecteditem1, {}, A::Pagesetup1,
                     A::Printersetup1, A::Print1});
    m_previewMenu = m_fileMenu->addMenu(Icons::get(QStringLiteral("document-print-preview")), QString());
    m_previewMenu->setObjectName(QStringLiteral("Preview1"));
    add(m_previewMenu, {A::WYSIWYG1, A::Preview2});
    add(m_fileMenu, {{}, A::Close1, {}});
    for (int i = 1; i <= 4; ++i) {
        auto *recent = m_fileMenu->addAction(QString());
        recent->setObjectName(QStringLiteral("Recent1%1").arg(i));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] { m_host->openRecentFile(recent->toolTip()); });
        m_recentActions << recent;
    }
    m_fileMenu->addSeparator();
    add(m_fileMenu, {A::Exit1});

    m_editMenu = new QMenu;
    m_editMenu->setObjectName(QStringLiteral("Edit1"));
    add(m_editMenu, {A::Undo1, A::Redo1, {}, A::Cut1, A::Copy1, A::Paste1, A::PasteunformattedText1,
                     A::Pastewithoptions1, A::Delete1, {}, A::Selectall1, {}, A::Find1, A::FindNext1,
                     A::Replace1, {}, A::Spellcheck2, {}, A::Objectproperties1, {}, A::Join1, A::JoinAll1,
                     A::Sort1, A::SortDown1});
    connect(m_editMenu, &QMenu::aboutToShow, this, &TEditForm::Edit1Click);

    m_insertMenu = new QMenu;
    m_insertMenu->setObjectName(QStringLiteral("Insert1"));
    add(m_insertMenu, {A::IPicture1, A::IObject1});

    m_formatMenu = new QMenu;
    m_formatMenu->setObjectName(QStringLiteral("Format1"));
    add(m_formatMenu, {A::Wordwrap1, {}, A::UnicodeNumeric1, A::ANSINumeric1, A::AllNumeric1, A::NumericUnicode1});
    buildTextToolMenus();

    m_popupMenu = new QMenu;
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    add(m_popupMenu, {A::Cut1, A::Copy1, A::Paste1, {}, A::Selectall1, A::Spellcheck1, A::Objectproperties1});
    connect(m_popupMenu, &QMenu::aboutToShow, this, &TEditForm::Edit1Click);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(m_editor->viewport()->mapToGlobal(pos)); });
}

void TEditForm::applyTexts()
{
    const TextSet &texts = m_host->textSet();
    for (QAction *a : m_actions) {
        const int caption = a->property("captionEntry").toInt();
        const int hint = a->property("hintEntry").toInt();
        if (caption > 0)
            a->setText(beforeBar(texts.entry(caption)));
        if (hint > 0)
            a->setToolTip(beforeBar(texts.entry(hint)));
        else if (caption > 0)
            a->setToolTip(a->text());
    }
    // The redo hint is the whole "Redo|Restore" text.
    action(EditAction::Redo1)->setToolTip(texts.entry(Txt::RedoRestore));
    m_fileMenu->setTitle(texts.entry(Txt::File));
    m_editMenu->setTitle(texts.entry(Txt::Edit));
    m_insertMenu->setTitle(texts.entry(Txt::Insert));
    m_formatMenu->setTitle(texts.entry(Txt::Format));
    m_previewMenu->setTitle(texts.entry(Txt::PagePreview));
    // The mode's name is the same in every language.
    action(EditAction::WYSIWYG1)->setText(QStringLiteral("WYSIWYG"));

    // Numeric conversion captions and hints are built from their parts.
    const QString numeric = texts.entry(Txt::Numeric);
    const QString hint = texts.entry(Txt::ToNumericHint);
    action(EditAction::UnicodeNumeric1)->setText(QStringLiteral("Unicode --> ") + numeric);
    action(EditAction::UnicodeNumeric1)->setToolTip(formatText(hint, {QStringLiteral("ANSI")}));
    action(EditAction::ANSINumeric1)->setText(QStringLiteral("ANSI --> ") + numeric);
    action(EditAction::ANSINumeric1)->setToolTip(formatText(hint, {QStringLiteral("ASCII")}));
    action(EditAction::AllNumeric1)->setText(QStringLiteral("xx --> ") + numeric);
    QString allHint = hint;
    const qsizetype quote = allHint.indexOf(u'"');
    const qsizetype percent = allHint.indexOf(u'%');
    if (quote >= 0 && percent > quote)
        allHint.remove(quote, percent + 4 - quote);
    const qsizetype dash = allHint.indexOf(u'-');
    if (dash >= 0)
        allHint.remove(dash, 2);
    action(EditAction::AllNumeric1)->setToolTip(allHint);
    action(EditAction::NumericUnicode1)->setText(numeric + QStringLiteral(" --> Unicode"));
    action(EditAction::NumericUnicode1)->setToolTip(texts.entry(Txt::FromNumericHint));
}

// ---------------------------------------------------------------------------
// Life cycle

void TEditForm::FormCreate()
{
    setFileName(QString());
    searchState = SearchState();
    applyTexts();
    m_host->setWindowItemsVisible(true);
    m_host->addTabSection(this, windowTitle());
    m_hasHeaderSection = true;

    const QStringList names = m_host->recentFileNames();
    const Settings &settings = m_host->settings();
    for (int i = 1; i <= 4; ++i) {
        QAction *recent = recentAction(i);
        const QString name = names.value(i - 1);
        recent->setVisible(!name.isEmpty());
        recent->setText(name);
        recent->setToolTip(settings.line(13 + i));
    }
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TEditForm::UpdatePasteCommands);

    TRichTextEdit *e = m_editor;
    e->setAutoURLDetect(m_host->autoUrlDetection());
    connect(e, &TRichTextEdit::changed, this, &TEditForm::EditorChange);
    connect(e, &TRichTextEdit::selectionChanged, this, &TEditForm::EditorSelectionChange);
    e->OnProtectChange = [](TRichTextEdit *editor, int, int) { return editor->Loading(); };
    connect(e, &TRichTextEdit::urlClicked, this, &TEditForm::EditorURLClick);
    connect(e, &TRichTextEdit::loadProgress, this, [this](int percent) {
        m_host->setStatusPanel(1, percent < 100 ? QStringLiteral("%1 %").arg(percent) : QString());
    });
    action(EditAction::Wordwrap1)->setChecked(e->WordWrap());
    action(EditAction::Undo1)->setEnabled(false);
    action(EditAction::Redo1)->setEnabled(false);
    // Samples of the date formats show the time the window was made.
    const QDateTime now = QDateTime::currentDateTime();
    for (int tag = 0; tag < TextTools::DateFormatCount; ++tag)
        dateAction(tag + 1)->setText(TextTools::formatDateTime(tag, now, QLocale::system()));
    action(EditAction::PageNo1)->setChecked(m_host->pageNoPrint());
    Column1Click();
}

void TEditForm::showEvent(QShowEvent *event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TEditForm::FormShow()
{
    const Settings &settings = m_host->settings();
    QFont font(settings.line(7).isEmpty() ? QStringLiteral("Courier New") : settings.line(7));
    font.setPointSize(settings.number(8, 11) > 0 ? settings.number(8, 11) : 11);
    font.setBold(settings.line(45) == QLatin1String("bold"));
    m_editor->document()->setDefaultFont(font);
    m_editor->setFont(font);
    const int colour = settings.number(44, 0);
    if (colour != 0) {
        QPalette p = m_editor->palette();
        p.setColor(QPalette::Text, WinColor::toColor(colour, p.color(QPalette::Text)));
        m_editor->setPalette(p);
    }
    m_saveFilterIndex = m_host->openDialogFilterIndex();
    m_saveInitialDir = m_host->openDialogInitialDir();
    m_editor->select(0, 2);
    m_editor->select(0, 0);
    UpdatePositionDisplay();
    m_host->setStandardFontEnabled(true);
    EditorChange();
    UpdatePasteCommands();
}

void TEditForm::FormActivate()
{
    const QPoint caret = m_editor->CaretPos();
    m_host->setStatusPanel(0, formatText(tr2(Txt::LineCol), {caret.y() + 1, caret.x() + 1}));
    m_host->setStatusPanel(1, QString::number(m_editor->TextLength()) + tr2(Txt::Characters));
    if (m_fileName != QLatin1String("Untitled"))
        m_host->setOpenWithStandardAppEnabled(true);
    m_host->setTabSectionActive(this, true);
    if (!m_toolBar->isVisible())
        m_host->showDocumentToolBar(m_toolBar);
    m_host->documentActivated(this);
}

void TEditForm::FormDeactivate()
{
    m_host->setOpenWithStandardAppEnabled(false);
    m_host->takeBackToolBarPanel(m_toolBar);
    if (m_hasHeaderSection)
        m_host->setTabSectionActive(this, false);
}

void TEditForm::closeEvent(QCloseEvent *event)
{
    if (Loading() || m_editor->isLoadingInBackground() || !FormClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

bool TEditForm::FormClose()
{
    if (!QuerySaveDocument())
        return false;
    m_host->setOpenWithStandardAppEnabled(false);
    const QList<TEditForm *> docs = m_host->documents();
    if (docs.size() <= 1) {
        m_host->setWindowItemsVisible(false);
        m_host->setStandardFontEnabled(false);
    }
    m_host->setSaveAllEnabled(false);
    for (TEditForm *other : docs)
        if (other != this && other->isSaveEnabled())
            m_host->setSaveAllEnabled(true);
    m_hasHeaderSection = false;
    m_host->removeTabSection(this);
    m_host->takeBackToolBarPanel(m_toolBar);
    m_host->setStatusPanel(0, QString());
    m_host->setStatusPanel(1, QString());
    return true;
}

bool TEditForm::QuerySaveDocument()
{
    bool result = true;
    if (m_editor->Modified()) {
        const auto answer = m_host->userInteraction().askYesNoCancel(
            formatText(tr2(Txt::SaveChanges), {m_fileName}), QStringLiteral("Quilmar"));
        if (answer == UserInteraction::Cancel) {
            result = false;
        } else if (answer == UserInteraction::Yes) {
            Save1Click();
            // A save that failed or was cancelled must not let the caller
            // throw the document away.
            result = !m_editor->Modified();
        }
    }
    FocusEditor();
    return result;
}

void TEditForm::FocusEditor()
{
    if (m_editor->isVisible() && m_editor->isEnabled())
        m_editor->setFocus();
}

bool TEditForm::isSaveEnabled() const
{
    return action(EditAction::Save1)->isEnabled();
}

void TEditForm::setSaveEnabled(bool on)
{
    action(EditAction::Save1)->setEnabled(on);
}

void TEditForm::setFileName(const QString &fileName)
{
    m_fileName = fileName.isEmpty() ? QStringLiteral("Untitled") : fileName;
    setWindowTitle(m_fileName);
    if (m_hasHeaderSection)
        m_host->setTabSectionText(this, QFileInfo(m_fileName).fileName());
}

void TEditForm::showError(const QString &text)
{
    m_host->userInteraction().showError(text, QStringLiteral("Quilmar"));
}

// ---------------------------------------------------------------------------
// Loading

bool TEditForm::LoadDocument(const QString &fileName, bool asTemplate)
{
    if (m_loadingFile)
        return false;
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir()) {
        showError(tr2(Txt::CouldNotFindFile) + fileName);
        return false;
    }
    // Read first: a file that cannot be read leaves the window as it was,
    // so a later save cannot overwrite the file with an empty document.
    QFile file(fileName);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        showError(fileName + QStringLiteral("\r\n") + file.errorString());
        return false;
    }
    // Large plain text is read from the file while the document is built,
    // so the file's bytes are never held in memory as well.
    const bool readLater = file.size() > m_editor->core()->limits().backgroundLoad;
    bytes = readLater ? file.read(8) : file.readAll();
    if (file.error() != QFileDevice::NoError) {
        showError(fileName + QStringLiteral("\r\n") + file.errorString());
        return false;
    }
    file.close();

    m_pendingLoad = {info.absoluteFilePath(), asTemplate, m_saveFilterIndex, m_editor->ReadOnly()};
    const FileCodings::ExtensionCoding byExtension = FileCodings::fromExtension(fileName, m_saveFilterIndex);
    m_saveFilterIndex = byExtension.coding;
    if (byExtension.languageFile && m_editor->WordWrap())
        Wordwrap1Click();

    m_editor->setLangOptions(TLangOption::rlAutoKeyboard);
    m_editor->setLoading(true);
    m_loadingFile = true;
    FileCodings::LoadPlan plan = FileCodings::planLoad(bytes, m_saveFilterIndex, m_host->selectedCodePage(),
                                                       CodePages::ansiCodePage());
    m_saveFilterIndex = plan.coding;
    DocumentCore *core = m_editor->core();
    if (readLater) {
        if (plan.streamDefault && !RtfReader::looksLikeRtf(bytes)) {
            // What the default stream makes of text that is not RTF.
            plan.streamDefault = false;
            const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
            plan.text.encoding = utf8 ? PlainText::EncodedText::Utf8 : PlainText::EncodedText::CodePage;
            plan.text.offset = utf8 ? 3 : 0;
            plan.text.codePage = CodePages::ansiCodePage();
        }
        // Built off the interface thread; the window paints and shows
        // progress meanwhile, and takes no typing into the old document.
        m_editor->setReadOnly(true);
        connect(core, &DocumentCore::loadFinished, this, &TEditForm::finishLoad, Qt::SingleShotConnection);
        if (plan.streamDefault) {
            core->startLoadRtfFile(fileName);
        } else {
            plan.text.bytes.clear();
            plan.text.filePath = fileName;
            core->startLoadEncoded(plan.text, m_editor->wrapWidth());
        }
        return m_loadingFile || m_lastLoadSucceeded;
    }
    bytes.clear();
    LoadResult result;
    if (plan.streamDefault) {
        if (!m_editor->Lines().loadFromBuffer(plan.text.bytes))
            result.error = LoadResult::Error::NotRtf;
        result.damagedParts = m_editor->Lines().lastDamagedParts();
    } else {
        result = core->loadEncoded(plan.text, m_editor->wrapWidth());
    }
    plan = {};
    finishLoad(result);
    return m_lastLoadSucceeded;
}

void TEditForm::finishLoad(const LoadResult &result)
{
    const PendingLoad pending = m_pendingLoad;
    m_pendingLoad = {};
    m_editor->setLoading(false);
    m_editor->setReadOnly(pending.wasReadOnly);
    m_loadingFile = false;
    m_lastLoadSucceeded = result.loaded();
    if (!result.loaded()) {
        // As for a file that cannot be opened: the window keeps its name,
        // coding and text, so nothing can save a part over the whole.
        m_saveFilterIndex = pending.previousCoding;
        QString why = QStringLiteral("Failed to Load Stream");
        if (result.error == LoadResult::Error::ReadFailed && !result.ioError.isEmpty())
            why = result.ioError;
        else if (result.error == LoadResult::Error::FileChanged)
            why = m_host->textSet().extra(TextSet::Extra::FileChangedWhileRead);
        else if (result.error == LoadResult::Error::OutOfMemory)
            why = m_host->textSet().extra(TextSet::Extra::NotEnoughMemory);
        else if (result.error == LoadResult::Error::LineTooLong)
            why = formatText(m_host->textSet().extra(TextSet::Extra::LineTooLong),
                             {int(m_editor->core()->limits().longestLine)});
        showError(pending.fileName + QStringLiteral("\r\n") + why);
        emit documentLoaded(false);
        return;
    }
    if (!pending.asTemplate)
        setFileName(pending.fileName);
    m_fileLineEnd = m_editor->PlainLineEnd();

    m_editor->setSelStart(0);
    m_editor->setModified(false);
    setSaveEnabled(false);
    m_editor->setLangOptions(TLangOption::rlAutoFont);
    action(EditAction::Undo1)->setEnabled(false);
    action(EditAction::Redo1)->setEnabled(false);
    m_host->updateSaveAll();
    m_host->setOpenWithStandardAppEnabled(true);
    UpdatePositionDisplay();
    m_host->setStatusPanel(1, QString::number(m_editor->TextLength()) + tr2(Txt::Characters));
    // Damage read past is said once, where it does not stop the user.
    if (result.damagedParts > 0)
        m_host->setStatusPanel(1, formatText(m_host->textSet().extra(TextSet::Extra::DamagedPartsSkipped),
                                             {result.damagedParts}));
    FocusEditor();
    emit documentLoaded(true);
    if (m_host->takeReplaceAfterLoad())
        Replace1Click();
}

// ---------------------------------------------------------------------------
// Editor events

void TEditForm::EditorChange()
{
    action(EditAction::Undo1)->setEnabled(m_editor->CanUndo());
    action(EditAction::Redo1)->setEnabled(m_editor->CanRedo());
    m_editor->viewport()->update();
    setSaveEnabled(true);
    m_host->setSaveAllEnabled(true);
    m_host->setStatusPanel(1, QString::number(m_editor->TextLength()) + tr2(Txt::Characters));
}

void TEditForm::EditorSelectionChange()
{
    UpdatePositionDisplay();
}

void TEditForm::UpdatePositionDisplay()
{
    const QPoint caret = m_editor->CaretPos();
    m_host->setStatusPanel(0, formatText(tr2(Txt::LineCol), {caret.y() + 1, caret.x() + 1}));
    const bool selected = m_editor->SelLength() > 0;
    action(EditAction::Copy1)->setEnabled(selected);
    action(EditAction::Cut1)->setEnabled(selected && !m_editor->ReadOnly());
    action(EditAction::Saveselecteditem1)->setEnabled(selected);
    // Counting a long selection's contents on every caret move would cost.
    const bool oneObject = m_editor->SelLength() == 1
                           && m_editor->SelectionType() == TSelectionType(TSelectionTypeFlag::stObject);
    action(EditAction::Objectproperties1)->setEnabled(oneObject);
}

void TEditForm::UpdatePasteCommands()
{
    action(EditAction::Paste1)->setEnabled(m_editor->CanPaste());
    action(EditAction::Pastewithoptions1)->setEnabled(m_editor->CanPaste());
    Column1Click();
}

void TEditForm::Edit1Click()
{
    action(EditAction::Paste1)->setEnabled(m_editor->CanPaste());
    const bool copy = action(EditAction::Copy1)->isEnabled();
    action(EditAction::Delete1)->setEnabled(copy && !m_editor->ReadOnly());
    action(EditAction::Cut1)->setEnabled(copy && !m_editor->ReadOnly());
}

void TEditForm::Wordwrap1Click()
{
    m_editor->setWordWrap(!m_editor->WordWrap());
    action(EditAction::Wordwrap1)->setChecked(m_editor->WordWrap());
    Column1Click();
    // Lines wrapped as printed need word wrap.
    if (!m_editor->WordWrap())
        action(EditAction::WYSIWYG1)->setChecked(false);
    m_editor->viewport()->update();
}

void TEditForm::Print1Click()
{
    m_host->runPrintCommand(this, DocumentHost::PrintDocument);
}

void TEditForm::Printersetup1Click()
{
    m_host->runPrintCommand(this, DocumentHost::PrinterSetup);
}

void TEditForm::Pagesetup1Click()
{
    m_host->runPrintCommand(this, DocumentHost::PageSetup);
}

void TEditForm::Preview2Click()
{
    m_host->runPrintCommand(this, DocumentHost::PagePreview);
}

void TEditForm::WYSIWYG1Click()
{
    if (isWysiwyg() && !m_editor->WordWrap())
        Wordwrap1Click();
    m_host->runPrintCommand(this, DocumentHost::PrintedLineWidth);
}

bool TEditForm::isWysiwyg() const
{
    return action(EditAction::WYSIWYG1)->isChecked();
}

// ---------------------------------------------------------------------------
// Links, pictures and the shell

void TEditForm::EditorURLClick(const QString &link, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    Shell &shell = m_host->shell();
    if (shell.open(link).ok())
        return;
    QString base = m_saveInitialDir;
    const auto isSeparator = [](QChar c) { return c == u'\\' || c == u'/'; };
    if (link.left(5).toLower() == QLatin1String("file:")) {
        QString relative = link.mid(5);
        QString folder = base;
        if (folder.isEmpty() || !isSeparator(folder.back()))
            folder += QDir::separator();
        while (relative.startsWith(QLatin1String("..\\")) || relative.startsWith(QLatin1String("../"))) {
            relative.remove(0, 3);
            // Up one level: drop the trailing separator, then the last name.
            folder.chop(1);
            while (!folder.isEmpty() && !isSeparator(folder.back()))
                folder.chop(1);
            if (folder.isEmpty())
                break;
        }
        const QString target = QStringLiteral("file:") + folder + relative;
        if (shell.open(target).code == Shell::FileNotFound)
            showError(tr2(Txt::CouldNotFindFile) + target);
        return;
    }
    QString folder = base;
    if (!folder.isEmpty() && !isSeparator(folder.back()))
        folder += QDir::separator();
    if (QFileInfo::exists(folder + link)) {
        const QString target = QStringLiteral("file:") + folder + link;
        if (shell.open(target).code == Shell::FileNotFound)
            showError(tr2(Txt::CouldNotFindFile) + target);
    }
}

void TEditForm::OpenWithStandardApplication()
{
    if (!QuerySaveDocument())
        return;
    const Shell::Result result = m_host->shell().open(m_fileName);
    if (!result.ok())
        showError(result.errorText.isEmpty() ? tr2(Txt::CouldNotFindFile) + m_fileName : result.errorText);
}

void TEditForm::IPicture1Click()
{
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::OpenOne;
    request.filter = QStringLiteral(
        "All (*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
        "CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
        "Bitmaps (*.bmp)|*.bmp|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
    request.initialDir = m_saveInitialDir;
    const UserInteraction::FileAnswer answer = m_host->userInteraction().chooseFiles(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    const QString path = answer.files.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showError(path + QStringLiteral("\r\n") + file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull()) {
        showError(formatText(m_host->textSet().extra(TextSet::Extra::PictureUnreadable), {path, reader.errorString()}));
        return;
    }
    if (!m_editor->mayEdit(m_editor->SelStart(), m_editor->SelStart() + m_editor->SelLength()))
        return;
    // The picture goes through the clipboard, which keeps it afterwards.
    auto *mime = new QMimeData;
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
    m_editor->InsertPicture(image, format == "jpeg" || format == "png" ? bytes : QByteArray(),
                            format == "jpeg" ? QStringLiteral("jpeg") : QStringLiteral("png"));
    FocusEditor();
}

void TEditForm::IObject1Click()
{
    m_objects->insertObject(m_saveInitialDir);
    FocusEditor();
}

void TEditForm::Objectproperties1Click()
{
    const QTextCursor selection = m_editor->textCursor();
    if (selection.selectionEnd() - selection.selectionStart() != 1)
        return;
    // An embedded object opens in its own application; a picture's
    // property is its shown size.
    if (m_objects->isObjectAt(selection.selectionStart())) {
        m_objects->openObject(selection.selectionStart());
        return;
    }
    QTextCursor probe(m_editor->document());
    probe.setPosition(selection.selectionEnd());
    if (!probe.charFormat().isImageFormat())
        return;
    QTextImageFormat image = probe.charFormat().toImageFormat();
    const QVariant resource = m_editor->document()->resource(QTextDocument::ImageResource, QUrl(image.name()));
    const QSize natural = resource.canConvert<QImage>() ? resource.value<QImage>().size() : QSize();
    const QSize shown(qRound(image.width() > 0 ? image.width() : natural.width()),
                      qRound(image.height() > 0 ? image.height() : natural.height()));
    PicturePropertiesDialog dialog(shown, natural, this);
    if (m_host->userInteraction().runDialog(&dialog) == QDialog::Accepted && dialog.shownSize() != shown
        && m_editor->mayEdit(selection.selectionStart(), selection.selectionEnd())) {
        QTextImageFormat size;
        size.setWidth(dialog.shownSize().width());
        size.setHeight(dialog.shownSize().height());
        QTextCursor c = selection;
        c.mergeCharFormat(size);
    }
    FocusEditor();
}

void TEditForm::Pastewithoptions1Click()
{
    PasteSpecialDialog dialog(QApplication::clipboard()->mimeData(), this);
    if (m_host->userInteraction().runDialog(&dialog) == QDialog::Accepted && !dialog.forms().isEmpty()) {
        static const QHash<PasteSpecialDialog::Form, TClipboardForm> forms = {
            {PasteSpecialDialog::RichText, TClipboardForm::RichText},
            {PasteSpecialDialog::RichTextWithoutObjects, TClipboardForm::RichTextWithoutObjects},
            {PasteSpecialDialog::UnformattedText, TClipboardForm::UnformattedText},
            {PasteSpecialDialog::Bitmap, TClipboardForm::Bitmap},
            {PasteSpecialDialog::Html, TClipboardForm::Html},
        };
        m_editor->PasteSpecial(forms.value(dialog.selectedForm()));
    }
    FocusEditor();
}


// ---------------------------------------------------------------------------
// Saving

namespace {

// Writes bytes through a temporary file beside target, so a failed write
// leaves the old file as it was; keeps the old file's permissions.
bool writeFileSafely(const QString &target, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(target);
    if (info.isDir()) {
        *error = QStringLiteral("This name is a folder.");
        return false;
    }
    // The mode bits, not access(): an administrator may write anything, yet a
    // file marked read-only is meant to stay as it is.
    if (info.exists() && !(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
        *error = QStringLiteral("The file is read-only.");
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// Copies the file to its backup name the same safe way, replacing an older backup.
bool makeBackup(const QString &fileName, QString *error)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QFile source(fileName);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    const QByteArray bytes = source.readAll();
    return writeFileSafely(FileCodings::backupName(fileName), bytes, error);
}


} // namespace

bool TEditForm::WriteDocument(const QString &target)
{
    // A document still loading is a preview of its file, never to be written.
    if (m_loadingFile)
        return false;
    TRichTextEdit *e = m_editor;
    const int coding = m_saveFilterIndex;
    const TStreamMode baseMode = e->StreamMode() & ~TStreamMode(TStreamModeFlag::smUnicode);
    // The text comes out with paragraph ends as U+2029 and is encoded in one
    // pass, the file's own line ends put in on the way.
    const QTextCursor cursor = e->textCursor();
    const bool selectionOnly = baseMode.testFlag(TStreamModeFlag::smSelection);
    const int from = selectionOnly ? cursor.selectionStart() : 0;
    const int to = selectionOnly ? cursor.selectionEnd() : -1;
    const QString lineEnd = PlainText::lineEndText(m_fileLineEnd);

    QByteArray bytes;
    if (coding == fcUtf8 || coding == fcUtf16LE || coding == fcUtf16BE) {
        e->setStreamFormat(TStreamFormat::sfPlainText);
        // Soft line breaks as the file's line end; kept U+2029 stay characters.
        const QString text = PlainText::extract(*e->document(), from, to, lineEnd);
        const auto encoding = coding == fcUtf8      ? PlainText::EncodedText::Utf8
                              : coding == fcUtf16LE ? PlainText::EncodedText::Utf16LE
                                                    : PlainText::EncodedText::Utf16BE;
        bytes = PlainText::encode(text, encoding, 0, QString());
        bytes.prepend(coding == fcUtf8 ? "\xEF\xBB\xBF" : coding == fcUtf16LE ? "\xFF\xFE" : "\xFE\xFF");
    } else {
        if (coding == fcRichText)
            e->setStreamFormat(TStreamFormat::sfDefault);
        if (FileCodings::extension(target).toLower() == QLatin1String(".txt")) {
            // A ".txt" name is always written as plain text.
            e->setStreamFormat(TStreamFormat::sfPlainText);
        }
        const bool plain = e->StreamFormat() == TStreamFormat::sfPlainText
                           || (e->StreamFormat() == TStreamFormat::sfDefault && e->PlainText());
        const int codePage = m_host->selectedCodePage();
        if (plain) {
            if (!CodePages::isInstalled(codePage)) {
                showError(formatText(m_host->textSet().extra(TextSet::Extra::CodePageNotWritable), {codePage}));
                return false;
            }
            // Plain 8-bit text loses what its code page cannot hold: ask first.
            bool lossy = false;
            bytes = PlainText::encode(PlainText::rawText(*e->document(), from, to), PlainText::EncodedText::CodePage,
                                      codePage, lineEnd, &lossy);
            e->setStreamFormat(TStreamFormat::sfPlainText);
            if (lossy && !m_host->userInteraction().askWarningYesNo(tr2(Txt::UnicodeLossWarning),
                                                                     QStringLiteral("Quilmar")))
                return false;
        } else {
            bytes = e->Lines().saveToBuffer();
        }
    }

    QString error;
    if (target == m_fileName && m_host->createBackupFiles() && !makeBackup(target, &error)) {
        showError(target + QStringLiteral("\r\n") + error);
        return false;
    }
    if (!writeFileSafely(target, bytes, &error)) {
        showError(target + QStringLiteral("\r\n") + error);
        return false;
    }
    return true;
}

void TEditForm::Save1Click()
{
    if (m_loadingFile)
        return;
    m_editor->setStreamFormat(FileCodings::extension(m_fileName) == QLatin1String(".rtf")
                                  ? TStreamFormat::sfDefault : TStreamFormat::sfPlainText);
    if (m_fileName == QLatin1String("Untitled")) {
        Saveas1Click();
    } else if (WriteDocument(m_fileName)) {
        m_editor->setModified(false);
        setSaveEnabled(false);
        m_host->setOpenWithStandardAppEnabled(true);
    }
    m_editor->EmptyUndoBuffer();
    action(EditAction::Undo1)->setEnabled(false);
    action(EditAction::Redo1)->setEnabled(false);
    m_host->updateSaveAll();
}

UserInteraction::FileRequest TEditForm::saveDialogRequest() const
{
    UserInteraction::FileRequest request;
    request.mode = UserInteraction::FileRequest::Save;
    request.filter = FileCodings::saveFilter();
    request.filterIndex = m_saveFilterIndex;
    request.defaultExt = QStringLiteral("txt");
    request.initialDir = m_saveInitialDir;
    return request;
}

void TEditForm::Saveas1Click()
{
    if (m_loadingFile)
        return;
    UserInteraction::FileRequest request = saveDialogRequest();
    request.fileName = m_fileName;
    const UserInteraction::FileAnswer answer = m_host->userInteraction().chooseFiles(request);
    if (answer.accepted && !answer.files.isEmpty()) {
        m_saveFilterIndex = answer.filterIndex;
        setFileName(QFileInfo(answer.files.first()).absoluteFilePath());
        Save1Click();
        m_host->addRecentFile(m_fileName);
    }
    FocusEditor();
}

void TEditForm::Saveselecteditem1Click()
{
    if (m_loadingFile)
        return;
    const UserInteraction::FileAnswer answer = m_host->userInteraction().chooseFiles(saveDialogRequest());
    if (answer.accepted && !answer.files.isEmpty()) {
        m_saveFilterIndex = answer.filterIndex;
        const TStreamMode mode = m_editor->StreamMode();
        m_editor->setStreamMode(mode | TStreamModeFlag::smSelection);
        WriteDocument(QFileInfo(answer.files.first()).absoluteFilePath());
        m_editor->setStreamMode(mode);
        EditorChange();
    }
    FocusEditor();
}

// ---------------------------------------------------------------------------
// Numeric character references

void TEditForm::replaceWholeText(const std::function<QByteArray(const QString &)> &convert)
{
    // The whole document as UTF-16 with CR LF line ends, as the control
    // streams it; what comes back replaces it as plain text.
    TRichTextEdit *e = m_editor;
    const TStreamMode mode = e->StreamMode();
    const PlainText::LineEnd lineEnd = e->PlainLineEnd();
    e->setStreamMode(mode | TStreamModeFlag::smUnicode);
    e->setStreamFormat(TStreamFormat::sfPlainText);
    e->setPlainLineEnd(PlainText::LineEnd::CrLf);
    const QString text = e->Lines().saveToText();
    e->setStreamMode(mode & ~TStreamMode(TStreamModeFlag::smUnicode));
    e->Lines().loadFromBuffer(convert(text));
    e->setPlainLineEnd(lineEnd);
    // The conversion is a change of the document, not of the file.
    e->setModified(true);
    EditorChange();
}

void TEditForm::convertToNumeric(int limit)
{
    replaceWholeText([limit](const QString &text) {
        // To 8-bit text of the ANSI code page; references are ASCII, what stayed may not be.
        return CodePages::fromUnicode(CodePages::ansiCodePage(), NumericReferences::toNumeric(text, limit));
    });
}

void TEditForm::convertFromNumeric()
{
    replaceWholeText([](const QString &text) {
        return QByteArray("\xEF\xBB\xBF") + NumericReferences::fromNumeric(text).toUtf8();
    });
}

// ---------------------------------------------------------------------------
// Search commands: the dialogs belong to the frame.

void TEditForm::Find1Click()
{
    m_host->runSearchCommand(this, DocumentHost::SearchFind);
}

void TEditForm::Replace1Click()
{
    m_host->runSearchCommand(this, DocumentHost::SearchReplace);
}

void TEditForm::FindNext1Click()
{
    m_host->runSearchCommand(this, DocumentHost::SearchFindNext);
}

void TEditForm::Spellcheck2Click()
{
    if (m_editor->core()->TextLength() > 0)
        m_host->spellCheck(this);
}
