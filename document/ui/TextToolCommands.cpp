// The text tool commands of the document window: menus and handlers that
// wire the tools of format/ to this window's editor.
#include "document/ui/MDIEdit.h"

#include "document/ui/DocumentHost.h"
#include "document/ui/TRichTextEdit.h"
#include "format/ColumnEdit.h"
#include "format/TextTools.h"
#include "platform/TextSet.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>

void TEditForm::buildTextToolMenus()
{
    m_dateMenu = new QMenu(m_insertMenu);
    m_dateMenu->setObjectName(QStringLiteral("Date1Menu"));
    for (int tag = 0; tag < TextTools::DateFormatCount; ++tag) {
        QAction *item = m_dateMenu->addAction(QString());
        item->setObjectName(QStringLiteral("d%1").arg(tag + 1));
        connect(item, &QAction::triggered, this, [this, tag] { d1Click(tag); });
        m_actions.insert(item->objectName(), item);
    }
    action(QStringLiteral("Date1"))->setMenu(m_dateMenu);

    m_columnMenu = new QMenu(m_insertMenu);
    m_columnMenu->setObjectName(QStringLiteral("Column1Menu"));
    for (const char *name : {"Delete2", "InsertSpace1", "Paste3"})
        m_columnMenu->addAction(action(QString::fromLatin1(name)));
    action(QStringLiteral("Column1"))->setMenu(m_columnMenu);
    connect(m_columnMenu, &QMenu::aboutToShow, this, &TEditForm::Column1Click);

    action(QStringLiteral("PageNo1"))->setCheckable(true);
    m_insertMenu->addSeparator();
    for (const char *name : {"Date1", "Path1", "PageNo1", "FormFeed1", "Column1"})
        m_insertMenu->addAction(action(QString::fromLatin1(name)));

    m_formatMenu->addSeparator();
    for (const char *name : {"UpperCase1", "LowerCase1", "InitialCaps1"})
        m_formatMenu->addAction(action(QString::fromLatin1(name)));
    connect(m_formatMenu, &QMenu::aboutToShow, this, &TEditForm::updateCaseCommands);
    updateCaseCommands();
}

void TEditForm::updateCaseCommands()
{
    const bool selected = m_editor->SelLength() > 0;
    for (const char *name : {"UpperCase1", "LowerCase1", "InitialCaps1"})
        action(QString::fromLatin1(name))->setEnabled(selected);
}

void TEditForm::toolDone(bool refused)
{
    // Protected text is left alone; the beep says the command did nothing there.
    if (refused)
        m_host->userInteraction().beep(UserInteraction::Beep::Error);
    FocusEditor();
}

void TEditForm::Join1Click()
{
    toolDone(TextTools::join(*m_editor->core(), false) == TextTools::Outcome::Refused);
}

void TEditForm::JoinAll1Click()
{
    toolDone(TextTools::join(*m_editor->core(), true) == TextTools::Outcome::Refused);
}

void TEditForm::Sort1Click()
{
    toolDone(TextTools::sortLines(*m_editor->core(), false, QLocale::system()) == TextTools::Outcome::Refused);
}

void TEditForm::SortDown1Click()
{
    toolDone(TextTools::sortLines(*m_editor->core(), true, QLocale::system()) == TextTools::Outcome::Refused);
}

void TEditForm::UpperCase1Click()
{
    toolDone(TextTools::changeCase(*m_editor->core(), TextTools::Case::Upper, QLocale::system())
             == TextTools::Outcome::Refused);
}

void TEditForm::LowerCase1Click()
{
    toolDone(TextTools::changeCase(*m_editor->core(), TextTools::Case::Lower, QLocale::system())
             == TextTools::Outcome::Refused);
}

void TEditForm::InitialCaps1Click()
{
    toolDone(TextTools::changeCase(*m_editor->core(), TextTools::Case::InitialCaps, QLocale::system())
             == TextTools::Outcome::Refused);
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
    m_host->setPageNoPrint(action(QStringLiteral("PageNo1"))->isChecked());
}

void TEditForm::Column1Click()
{
    // Columns line up only while lines are not wrapped.
    const bool unwrapped = !m_editor->WordWrap();
    action(QStringLiteral("Delete2"))->setEnabled(unwrapped);
    action(QStringLiteral("InsertSpace1"))->setEnabled(unwrapped);
    action(QStringLiteral("Paste3"))->setEnabled(unwrapped && action(QStringLiteral("Paste1"))->isEnabled());
}

void TEditForm::Delete2Click()
{
    if (m_editor->WordWrap())
        return;
    ColumnEdit::deleteColumn(*m_editor->core());
    FocusEditor();
}

void TEditForm::InsertSpace1Click()
{
    if (m_editor->WordWrap())
        return;
    ColumnEdit::insertSpaceColumn(*m_editor->core());
    FocusEditor();
}

void TEditForm::Paste3Click()
{
    if (m_editor->WordWrap() || !m_editor->CanPaste())
        return;
    TRichTextEdit *e = m_editor;
    ColumnEdit::pasteColumn(*e->core(), [e] {
        const int before = e->TextLength();
        e->Paste();
        return e->TextLength() != before;
    });
    FocusEditor();
}
