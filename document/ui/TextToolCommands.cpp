// The text tool commands of the document window: menus and handlers that
// wire the tools of format/ to this window's editor.
#include "document/ui/MDIEdit.h"

#include "document/ui/DocumentHost.h"
#include "document/ui/TRichTextEdit.h"
#include "format/ColumnEdit.h"
#include "format/TextTools.h"
#include "format/ToolProgress.h"
#include "platform/TextFormat.h"
#include "platform/TextSet.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMenu>

void TEditForm::buildTextToolMenus()
{
    m_dateMenu = new QMenu(m_insertMenu);
    m_dateMenu->setObjectName(QStringLiteral("Date1Menu"));
    for (int tag = 0; tag < TextTools::DateFormatCount; ++tag) {
        QAction *item = m_dateMenu->addAction(QString());
        item->setObjectName(QStringLiteral("d%1").arg(tag + 1));
        connect(item, &QAction::triggered, this, [this, tag] { d1Click(tag); });
        m_dateActions << item;
    }
    action(EditAction::Date1)->setMenu(m_dateMenu);

    m_columnMenu = new QMenu(m_insertMenu);
    m_columnMenu->setObjectName(QStringLiteral("Column1Menu"));
    for (EditAction id : {EditAction::Delete2, EditAction::InsertSpace1, EditAction::Paste3})
        m_columnMenu->addAction(action(id));
    action(EditAction::Column1)->setMenu(m_columnMenu);
    connect(m_columnMenu, &QMenu::aboutToShow, this, &TEditForm::Column1Click);

    action(EditAction::PageNo1)->setCheckable(true);
    m_insertMenu->addSeparator();
    m_actions.addTo(m_insertMenu, {EditAction::Date1, EditAction::Path1, EditAction::PageNo1, EditAction::FormFeed1,
                                   EditAction::Column1});

    m_formatMenu->addSeparator();
    m_actions.addTo(m_formatMenu, {EditAction::UpperCase1, EditAction::LowerCase1, EditAction::InitialCaps1});
    connect(m_formatMenu, &QMenu::aboutToShow, this, &TEditForm::updateCaseCommands);
    updateCaseCommands();
}

void TEditForm::updateCaseCommands()
{
    const bool selected = m_editor->SelLength() > 0;
    for (EditAction id : {EditAction::UpperCase1, EditAction::LowerCase1, EditAction::InitialCaps1})
        action(id)->setEnabled(selected);
}

void TEditForm::toolDone(bool refused)
{
    // Protected text is left alone; the beep says the command did nothing there.
    if (refused)
        m_host->userInteraction().beep(UserInteraction::Beep::Error);
    FocusEditor();
}

bool TEditForm::runTool(int caption, const std::function<bool(ToolProgress *)> &tool)
{
    // Commands of a moment show nothing; longer ones show how far they are.
    constexpr int QuietMs = 60;
    ToolProgress progress;
    QElapsedTimer running;
    bool shown = false;
    const QString name = tr2(caption).remove(u'&');
    connect(&progress, &ToolProgress::progressed, this, [&](int percent) {
        emit toolProgressed(percent);
        if (percent == 100 || (!shown && running.elapsed() < QuietMs))
            return;
        shown = true;
        m_host->setStatusPanel(1, formatText(m_host->textSet().extra(TextSet::Extra::ToolProgress), {name, percent}));
        // The frame repaints; what the user does waits until the command is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    // The document is half edited until the tool ends: the editor does not
    // paint it meanwhile, and the window neither closes nor takes edits.
    m_toolRunning = true;
    m_editor->setUpdatesEnabled(false);
    running.start();
    bool refused = false;
    m_editor->runHeld([&] { refused = tool(&progress); });
    m_editor->setUpdatesEnabled(true);
    m_toolRunning = false;
    if (shown)
        m_host->setStatusPanel(1, QString::number(m_editor->TextLength()) + tr2(Txt::Characters));
    return refused;
}

namespace {

bool isRefused(TextTools::Outcome outcome)
{
    return outcome == TextTools::Outcome::Refused;
}

} // namespace

void TEditForm::Join1Click()
{
    joinClick(false);
}

void TEditForm::JoinAll1Click()
{
    joinClick(true);
}

void TEditForm::joinClick(bool all)
{
    TextTools::Outcome outcome = TextTools::Outcome::NothingToDo;
    const bool refused = runTool(all ? Txt::JoinAll : Txt::Join, [this, all, &outcome](ToolProgress *p) {
        outcome = TextTools::join(*m_editor->core(), all, p);
        return isRefused(outcome);
    });
    if (outcome == TextTools::Outcome::LineTooLong)
        showError(formatText(m_host->textSet().extra(TextSet::Extra::JoinTooLong),
                             {int(m_editor->core()->limits().longestLine)}));
    toolDone(refused);
}

void TEditForm::Sort1Click()
{
    toolDone(runTool(Txt::SortAscending, [this](ToolProgress *p) {
        return isRefused(TextTools::sortLines(*m_editor->core(), false, QLocale::system(), p));
    }));
}

void TEditForm::SortDown1Click()
{
    toolDone(runTool(Txt::SortDescending, [this](ToolProgress *p) {
        return isRefused(TextTools::sortLines(*m_editor->core(), true, QLocale::system(), p));
    }));
}

void TEditForm::UpperCase1Click()
{
    toolDone(runTool(Txt::UpperCase, [this](ToolProgress *p) {
        return isRefused(TextTools::changeCase(*m_editor->core(), TextTools::Case::Upper, QLocale::system(), p));
    }));
}

void TEditForm::LowerCase1Click()
{
    toolDone(runTool(Txt::LowerCase, [this](ToolProgress *p) {
        return isRefused(TextTools::changeCase(*m_editor->core(), TextTools::Case::Lower, QLocale::system(), p));
    }));
}

void TEditForm::InitialCaps1Click()
{
    toolDone(runTool(Txt::InitialCaps, [this](ToolProgress *p) {
        return isRefused(TextTools::changeCase(*m_editor->core(), TextTools::Case::InitialCaps, QLocale::system(), p));
    }));
}

void TEditForm::d1Click(int tag)
{
    const QString text = TextTools::formatDateTime(tag, QDateTime::currentDateTime(), QLocale::system());
    toolDone(TextTools::insertText(*m_editor->core(), text) == TextTools::Outcome::Refused);
}

void TEditForm::Path1Click()
{
    toolDone(TextTools::insertText(*m_editor->core(), m_fileName) == TextTools::Outcome::Refused);
}

void TEditForm::FormFeed1Click()
{
    toolDone(TextTools::insertFormFeed(*m_editor->core()) == TextTools::Outcome::Refused);
}

void TEditForm::PageNo1Click()
{
    m_host->setPageNoPrint(action(EditAction::PageNo1)->isChecked());
}

void TEditForm::Column1Click()
{
    // Columns line up only while lines are not wrapped.
    const bool unwrapped = !m_editor->WordWrap();
    action(EditAction::Delete2)->setEnabled(unwrapped);
    action(EditAction::InsertSpace1)->setEnabled(unwrapped);
    action(EditAction::Paste3)->setEnabled(unwrapped && action(EditAction::Paste1)->isEnabled());
}

void TEditForm::Delete2Click()
{
    if (m_editor->WordWrap())
        return;
    runTool(Txt::Delete, [this](ToolProgress *p) {
        ColumnEdit::deleteColumn(*m_editor->core(), p);
        return false;
    });
    FocusEditor();
}

void TEditForm::InsertSpace1Click()
{
    if (m_editor->WordWrap())
        return;
    runTool(Txt::InsertSpace, [this](ToolProgress *p) {
        ColumnEdit::insertSpaceColumn(*m_editor->core(), p);
        return false;
    });
    FocusEditor();
}

void TEditForm::Paste3Click()
{
    if (m_editor->WordWrap() || !m_editor->CanPaste())
        return;
    TRichTextEdit *e = m_editor;
    runTool(Txt::Paste, [e](ToolProgress *p) {
        ColumnEdit::pasteColumn(
            *e->core(),
            [e] {
                const int before = e->TextLength();
                e->Paste();
                return e->TextLength() != before;
            },
            p);
        return false;
    });
    FocusEditor();
}
