#include "search/ui/SearchController.h"

#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"
#include "search/ui/WideFindReplaceDialog.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

namespace {

int screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
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
    if (QAction *a = form->action(QStringLiteral("FindNext1")))
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
    form->LastSearchKind = 1;
}

void SearchController::Replace1Click(TEditForm *form)
{
    enableFindNext(form);
    form->FirstReplaceSearch = true;
    form->ReplaceAllConfirmed = false;
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_replaceConfirmPos.setX((screen ? screen->geometry().width() : 1024) - 380 * screenDpi() / 96);
    m_replaceDialog->setPosition(40, 50);
    TRichTextEdit *e = form->Editor();
    if (e->SelLength() > 0)
        m_replaceDialog->setFindTextW(e->SelTextW());
    if (m_host->searchInAllFiles())
        e->select(0, 0);
    m_replaceDialog->Execute();
    form->LastSearchKind = 2;
}

void SearchController::FindNext1Click(TEditForm *form)
{
    switch (form->LastSearchKind) {
    case 1: findHandler(form); break;
    case 2: replaceHandler(form); break;
    case 3: replaceFindHandler(form); break;
    default: break;
    }
}

int SearchController::search(TEditForm *form, const QString &text, int start, int length, bool down,
                             bool wholeWord, bool matchCase)
{
    TSearchTypes options = TSearchType::stSetSelection;
    if (!down)
        options |= TSearchType::stBackward;
    if (wholeWord)
        options |= TSearchType::stWholeWord;
    if (matchCase)
        options |= TSearchType::stMatchCase;
    return form->Editor()->FindTextW(text, start, length, options);
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
    const bool down = options.testFlag(TWideFindDialog::frDown);
    const QString text = withoutLineFeeds(m_findDialog->FindTextW());
    TRichTextEdit *e = form->Editor();
    for (;;) {
        const int s = e->SelStart();
        const int end = s + e->SelLength();
        const int total = e->TextLength();
        const int start = down ? end : s;
        const int length = down ? total - end + 1 : s + 1;
        const int found = search(form, text, start, length, down, options.testFlag(TWideFindDialog::frWholeWord),
                                 options.testFlag(TWideFindDialog::frMatchCase));
        if (found < 0) {
            if (m_host->searchInAllFiles() && m_host->documentsInCreationOrder().size() > m_searchedDocumentCount) {
                TEditForm *next = nextDocument(form);
                m_host->activateDocument(next);
                ++m_searchedDocumentCount;
                next->Editor()->select(0, 0);
                Find1Click(next);
                FindNext1Click(next);
                return false;
            }
            return notFound(m_findDialog, text, false);
        }
        e->setFocus();
        e->select(found, int(text.size()));
        // Case-mismatch mode stops only where the letter case differs.
        if (m_host->searchCaseMismatch() && m_findDialog->FindTextW() == e->SelTextW())
            continue;
        moveDialogAway(m_findDialog, form, found, 250, 180, 70);
        form->FocusEditor();
        return true;
    }
}

bool SearchController::replaceFindHandler(TEditForm *form)
{
    form->LastSearchKind = 3;
    m_replaceDialog->Execute();
    form->LastSearchFailed = false;
    const TWideFindDialog::Options options = m_replaceDialog->options();
    const QString text = withoutLineFeeds(m_replaceDialog->FindTextW());
    TRichTextEdit *e = form->Editor();
    for (;;) {
        const int s = e->SelStart();
        const int end = s + e->SelLength();
        int start = end;
        if (form->FirstReplaceSearch) {
            // A selection that holds the search text already is found first.
            start = s;
            form->FirstReplaceSearch = false;
        }
        const int length = e->TextLength() - start + 1;
        const int found = search(form, text, start, length, true, options.testFlag(TWideFindDialog::frWholeWord),
                                 options.testFlag(TWideFindDialog::frMatchCase));
        if (found < 0) {
            form->LastSearchFailed = true;
            if (m_host->searchInAllFiles() && m_host->documentsInCreationOrder().size() > m_searchedDocumentCount) {
                TEditForm *next = nextDocument(form);
                m_host->activateDocument(next);
                ++m_searchedDocumentCount;
                next->Editor()->select(0, 0);
                Replace1Click(next);
                FindNext1Click(next);
                return false;
            }
            return notFound(m_replaceDialog, text, true);
        }
        e->setFocus();
        e->select(found, int(text.size()));
        if (m_host->searchCaseMismatch() && m_replaceDialog->FindTextW() == e->SelTextW())
            continue;
        m_replaceConfirmPos.setY(moveDialogAway(m_replaceDialog, form, found, 290, 230, 60));
        form->FocusEditor();
        return true;
    }
}

void SearchController::replaceHandler(TEditForm *form)
{
    UserInteraction &ui = m_host->searchInteraction();
    const TextSet &texts = m_host->searchTexts();
    for (;;) {
        if (!replaceFindHandler(form) || form->LastSearchFailed)
            return;
        const bool replaceAll = m_replaceDialog->options().testFlag(TWideFindDialog::frReplaceAll);
        TRichTextEdit *e = form->Editor();
        if (!form->ReplaceAllConfirmed) {
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
                form->ReplaceAllConfirmed = true;
                break;
            default:
                break;
            }
        }
        if (form->ReplaceAllConfirmed)
            e->ReplaceSelectionW(m_replaceDialog->ReplaceTextW());
        form->LastSearchKind = 2;
        if (!replaceAll) {
            form->FocusEditor();
            return;
        }
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

TEditForm *SearchController::nextDocument(TEditForm *form) const
{
    const QList<TEditForm *> docs = m_host->documentsInCreationOrder();
    const qsizetype index = docs.indexOf(form);
    return docs.at((index + 1) % docs.size());
}
