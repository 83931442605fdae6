#include "search/ui/SearchController.h"

#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"
#include "search/FindStep.h"
#include "search/ui/WideFindReplaceDialog.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QGuiApplication>
#include <QScreen>

namespace {

int screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

SearchOptions searchOptions(TWideFindDialog::Options options, bool caseMismatch)
{
    return {options.testFlag(TWideFindDialog::frWholeWord), options.testFlag(TWideFindDialog::frMatchCase),
            caseMismatch};
}

QString withoutLineFeeds(QString text)
{
    // Paragraph ends in the editor are single carriage returns.
    return text.remove(u'\n');
}

} // namespace

SearchController::SearchController(SearchHost *host, QWidget *dialogParent)
    : QObject(dialogParent), m_host(host), m_findDialog(new TWideFindDialog(dialogParent)),
      m_replaceDialog(new TWideReplaceDialog(dialogParent))
{
    m_findDialog->OnFind = [this] {
        if (TEditForm *form = m_host->activeDocument())
            findHandler(form);
    };
    m_replaceDialog->OnFind = [this] {
        if (TEditForm *form = m_host->activeDocument())
            replaceFindHandler(form);
    };
    m_replaceDialog->OnReplace = [this] {
        if (TEditForm *form = m_host->activeDocument())
            replaceHandler(form);
    };
}

void SearchController::setGerman(bool german)
{
    m_findDialog->setGerman(german);
    m_replaceDialog->setGerman(german);
}

bool SearchController::isReplaceDialogVisible() const
{
    return m_replaceDialog->isVisible();
}

void SearchController::run(TEditForm *form, DocumentHost::SearchCommand command)
{
    switch (command) {
    case DocumentHost::SearchFind: Find1Click(form); break;
    case DocumentHost::SearchReplace: Replace1Click(form); break;
    case DocumentHost::SearchFindNext: FindNext1Click(form); break;
    }
}

void SearchController::enableFindNext(TEditForm *form)
{
    if (QAction *a = form->action(EditAction::FindNext1))
        a->setEnabled(true);
}

void SearchController::Find1Click(TEditForm *form)
{
    enableFindNext(form);
    m_findDialog->setPosition(50, 50);
    TRichTextEdit *e = form->Editor();
    if (e->SelLength() > 0)
        m_findDialog->setFindTextW(e->SelTextW());
    if (m_host->searchInAllFiles())
        e->select(0, 0);
    m_findDialog->Execute();
    form->searchState.lastKind = SearchState::Kind::Find;
}

void SearchController::Replace1Click(TEditForm *form)
{
    enableFindNext(form);
    form->searchState.firstReplaceSearch = true;
    form->searchState.replaceAllConfirmed = false;
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_replaceConfirmPos.setX((screen ? screen->geometry().width() : 1024) - 380 * screenDpi() / 96);
    m_replaceDialog->setPosition(40, 50);
    TRichTextEdit *e = form->Editor();
    if (e->SelLength() > 0)
        m_replaceDialog->setFindTextW(e->SelTextW());
    if (m_host->searchInAllFiles())
        e->select(0, 0);
    m_replaceDialog->Execute();
    form->searchState.lastKind = SearchState::Kind::Replace;
}

void SearchController::FindNext1Click(TEditForm *form)
{
    switch (form->searchState.lastKind) {
    case SearchState::Kind::Find: findHandler(form); break;
    case SearchState::Kind::Replace: replaceHandler(form); break;
    case SearchState::Kind::ReplaceDialogFind: replaceFindHandler(form); break;
    case SearchState::Kind::None: break;
    }
}

int SearchController::moveDialogAway(TWideFindDialog *dialog, TEditForm *form, int position, int threshold,
                                     int above, int below)
{
    TRichTextEdit *e = form->Editor();
    const int y = e->viewport()->mapToGlobal(e->PosFromChar(position)).y();
    const int dpi = screenDpi();
    const int top = threshold * dpi / 96 < y ? y - above * dpi / 96 : y + below;
    dialog->setTop(top);
    return top;
}

bool SearchController::findHandler(TEditForm *form)
{
    const TWideFindDialog::Options options = m_findDialog->options();
    FindStep step;
    step.text = m_findDialog->FindTextW();
    step.down = options.testFlag(TWideFindDialog::frDown);
    step.options = searchOptions(options, m_host->searchCaseMismatch());
    TRichTextEdit *e = form->Editor();
    std::optional<TextRange> passedOver;
    const std::optional<TextRange> found = step.run(*e->core(), &passedOver);
    if (!found && passedOver)
        e->select(passedOver->start, passedOver->length);
    if (!found) {
        if (searchNextDocument(form, &SearchController::Find1Click))
            return false;
        return notFound(m_findDialog, withoutLineFeeds(step.text), false);
    }
    e->setFocus();
    e->select(found->start, found->length);
    moveDialogAway(m_findDialog, form, found->start, 250, 180, 70);
    form->FocusEditor();
    return true;
}

bool SearchController::replaceFindHandler(TEditForm *form)
{
    SearchState &state = form->searchState;
    state.lastKind = SearchState::Kind::ReplaceDialogFind;
    m_replaceDialog->Execute();
    state.lastSearchFailed = false;
    FindStep step;
    step.text = m_replaceDialog->FindTextW();
    step.options = searchOptions(m_replaceDialog->options(), m_host->searchCaseMismatch());
    // A selection that holds the search text already is found first.
    step.fromSelectionStart = state.firstReplaceSearch;
    state.firstReplaceSearch = false;
    TRichTextEdit *e = form->Editor();
    std::optional<TextRange> passedOver;
    const std::optional<TextRange> found = step.run(*e->core(), &passedOver);
    if (!found && passedOver)
        e->select(passedOver->start, passedOver->length);
    if (!found) {
        state.lastSearchFailed = true;
        if (searchNextDocument(form, &SearchController::Replace1Click))
            return false;
        return notFound(m_replaceDialog, withoutLineFeeds(step.text), true);
    }
    e->setFocus();
    e->select(found->start, found->length);
    m_replaceConfirmPos.setY(moveDialogAway(m_replaceDialog, form, found->start, 290, 230, 60));
    form->FocusEditor();
    return true;
}

void SearchController::replaceHandler(TEditForm *form)
{
    if (m_pass)
        return; // one Replace All at a time; its end goes on with the search
    UserInteraction &ui = m_host->searchInteraction();
    const TextSet &texts = m_host->searchTexts();
    SearchState &state = form->searchState;
    for (;;) {
        if (!replaceFindHandler(form) || state.lastSearchFailed)
            return;
        const bool replaceAll = m_replaceDialog->options().testFlag(TWideFindDialog::frReplaceAll);
        TRichTextEdit *e = form->Editor();
        if (!state.replaceAllConfirmed) {
            UserInteraction::Message question;
            question.title = QStringLiteral("Quilmar");
            question.text = texts.entry(Txt::ReplaceThis) + e->SelText() + u'?';
            question.icon = UserInteraction::Icon::Question;
            question.buttons = UserInteraction::Yes | UserInteraction::No;
            if (replaceAll)
                question.buttons |= UserInteraction::Cancel | UserInteraction::YesToAll;
            question.defaultButton = UserInteraction::Yes;
            question.position = m_replaceConfirmPos;
            switch (ui.message(question)) {
            case UserInteraction::Cancel:
                m_replaceDialog->CloseDialog();
                return;
            case UserInteraction::Yes:
                e->ReplaceSelectionW(m_replaceDialog->ReplaceTextW());
                break;
            case UserInteraction::YesToAll:
                state.replaceAllConfirmed = true;
                break;
            default:
                break;
            }
        }
        state.lastKind = SearchState::Kind::Replace;
        if (state.replaceAllConfirmed) {
            const bool replaced = e->ReplaceSelectionW(m_replaceDialog->ReplaceTextW());
            if (replaceAll) {
                // Nothing is asked any more: the rest goes in one pass.
                startReplaceAll(form, replaced);
                return;
            }
        }
        if (!replaceAll) {
            form->FocusEditor();
            return;
        }
    }
}

void SearchController::startReplaceAll(TEditForm *form, bool joinFirst)
{
    TRichTextEdit *e = form->Editor();
    const TWideFindDialog::Options options = m_replaceDialog->options();
    const SearchOptions matching = searchOptions(options, m_host->searchCaseMismatch());
    m_pass = std::make_unique<ReplacePass>(*e->core(), m_replaceDialog->FindTextW(), m_replaceDialog->ReplaceTextW(),
                                           matching, e->SelStart() + e->SelLength(), joinFirst);
    m_passForm = form;
    m_passFirst = joinFirst ? 1 : 0;
    m_passCancelled = false;
    if (m_pass->run(m_timing.firstSliceMs)) {
        finishReplaceAll();
        return;
    }
    // Long: the rest in slices from the event loop, input held off, Esc cancels.
    qApp->installEventFilter(this);
    m_host->showSearchProgress(QStringLiteral("%1 %").arg(m_pass->percent()));
    QTimer::singleShot(0, this, &SearchController::continueReplaceAll);
}

void SearchController::continueReplaceAll()
{
    if (!m_pass)
        return;
    if (!m_passForm || m_passCancelled || m_pass->run(m_timing.sliceMs)) {
        finishReplaceAll();
        return;
    }
    m_host->showSearchProgress(QStringLiteral("%1 %").arg(m_pass->percent()));
    QTimer::singleShot(0, this, &SearchController::continueReplaceAll);
}

void SearchController::finishReplaceAll()
{
    qApp->removeEventFilter(this);
    m_host->showSearchProgress(QString());
    const std::unique_ptr<ReplacePass> pass = std::move(m_pass);
    QPointer<TEditForm> form = m_passForm;
    m_passForm = nullptr;
    emit replaceAllFinished(pass->replacements() + m_passFirst);
    if (!form || pass->wasInterrupted())
        return;
    TRichTextEdit *e = form->Editor();
    const TextRange selection = pass->selection();
    e->select(selection.start, selection.length);
    e->ensureCursorVisible();
    m_replaceConfirmPos.setY(moveDialogAway(m_replaceDialog, form, selection.start, 290, 230, 60));
    if (m_passCancelled) {
        form->FocusEditor();
        return;
    }
    // What is left is the search finding nothing more: the message, or the next document.
    replaceHandler(form);
}

bool SearchController::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_pass || QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            m_passCancelled = true;
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
        // The document must not change under the pass.
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool SearchController::notFound(TWideFindDialog *dialog, const QString &text, bool)
{
    dialog->CloseDialog();
    UserInteraction &ui = m_host->searchInteraction();
    ui.beep(UserInteraction::Beep::Default);
    m_searchedDocumentCount = 1;
    const TextSet &texts = m_host->searchTexts();
    ui.message({QStringLiteral("Quilmar"), texts.entry(Txt::NotFoundStart) + text + texts.entry(Txt::NotFoundEnd),
                UserInteraction::Icon::None, UserInteraction::Ok, UserInteraction::Ok});
    return false;
}

bool SearchController::searchNextDocument(TEditForm *form, void (SearchController::*openDialog)(TEditForm *))
{
    if (!m_host->searchInAllFiles() || m_host->documentsInWindowOrder().size() <= m_searchedDocumentCount)
        return false;
    TEditForm *next = nextDocument(form);
    m_host->activateDocument(next);
    ++m_searchedDocumentCount;
    next->Editor()->select(0, 0);
    (this->*openDialog)(next);
    FindNext1Click(next);
    return true;
}

TEditForm *SearchController::nextDocument(TEditForm *form)
{
    const QList<TEditForm *> docs = m_host->documentsInWindowOrder();
    m_documentOrder.removeAll(nullptr);
    // A new search, or windows opened since: take the frame's order afresh.
    if (m_searchedDocumentCount == 1 || !m_documentOrder.contains(form) || m_documentOrder.size() != docs.size())
        m_documentOrder = QList<QPointer<TEditForm>>(docs.cbegin(), docs.cend());
    const qsizetype index = m_documentOrder.indexOf(form);
    return m_documentOrder.at((index + 1) % m_documentOrder.size());
}
