#include "app/FrameCaptions.h"

#include "app/GoToPanel.h"
#include "app/Hints.h"
#include "app/InsertSidebar.h"
#include "app/MDIFrame.h"
#include "app/MultiClipboardBar.h"
#include "format/ui/DocumentFormatting.h"
#include "platform/TextSet.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

void applyFrameCaptions(TFrameForm &frame, const TextSet &set)
{
    const auto line = [&set](int n) { return set.line(n); };
    const auto action = [&frame](const QString &name) { return frame.action(name); };

    frame.menus().value(QStringLiteral("Options1"))->setTitle(line(TextSet::OptionsMenu));
    frame.menus().value(QStringLiteral("Window1"))->setTitle(line(TextSet::WindowMenu));
    const struct { const char *name; int caption; int hint; } items[] = {
        {"Tile1", TextSet::TileHorizontally, 0}, {"Tilevertically1", TextSet::TileVertically, 0},
        {"Cascade1", TextSet::Cascade, 0}, {"Arrangeicons1", TextSet::ArrangeIcons, 0},
        {"Minimize1", TextSet::Minimize, 0}, {"Normal1", TextSet::Normal, 0},
        {"Maximize1", TextSet::Maximize, 0}, {"Closeall1", TextSet::CloseAllCaption, TextSet::CloseAllHint},
        {"StandardFont1", TextSet::StandardFontCaption, TextSet::StandardFontHint},
        {"createbackupfiles1", TextSet::BackupCaption, TextSet::BackupHint},
        {"SearchFiles1", TextSet::FindInFilesCaption, TextSet::FindInFilesHint},
        {"Searchforcasemismatch1", TextSet::CaseMismatchCaption, TextSet::CaseMismatchHint},
        {"Showruler1", TextSet::ShowRulerCaption, 0}, {"Show1", TextSet::CodingVisibleCaption, 0},
        {"ShowSidebar1", TextSet::ShowSidebarCaption, 0}, {"URL1", 0, TextSet::UrlHint},
        {"ToolButton9", 0, TextSet::OpenWithStandardAppHint}, {"ToolButton11", 0, TextSet::SaveAllHint},
    };
    for (const auto &item : items) {
        QAction *a = action(QString::fromLatin1(item.name));
        if (item.caption)
            a->setText(line(item.caption));
        if (item.hint)
            Hints::set(a, line(item.hint));
    }
    Hints::set(frame.codePageComboBox(), line(TextSet::CodingHint));
    Hints::set(frame.spellLanguageComboBox(), line(TextSet::SpellLanguageHint));
    frame.sidebar()->applyTexts(set);
    frame.multiClipboard()->setCaption(line(TextSet::MultiClipboardCaption));
    // Formatting controls show in the frame's tool panel and menu bar.
    for (TEditForm *form : frame.documents())
        if (DocumentFormatting *formatting = DocumentFormatting::of(form))
            formatting->applyTexts(set);

    // Common to every set.
    QString lineWord = set.entry(Txt::LineCol);
    const qsizetype cut = lineWord.indexOf(QLatin1String(": %3d"));
    if (cut >= 0)
        lineWord.remove(cut, 25);
    frame.goToPanel()->setGoHint(set.entry(Txt::GoTo) + u' ' + lineWord);
    frame.menus().value(QStringLiteral("File1"))->setTitle(set.entry(Txt::File));
    action(QStringLiteral("New1"))->setText(set.entry(Txt::New));
    action(QStringLiteral("Open1"))->setText(set.entry(Txt::Open));
    action(QStringLiteral("Exit1"))->setText(set.entry(Txt::Exit));
    frame.menus().value(QStringLiteral("Help1"))->setTitle(set.entry(Txt::Help));
    action(QStringLiteral("Help2"))->setText(set.entry(Txt::Help));
    for (const char *name : {"New1", "ToolButton2"})
        Hints::set(action(QString::fromLatin1(name)), set.entry(Txt::NewFile));
    for (const char *name : {"Open1", "ToolButton3"})
        Hints::set(action(QString::fromLatin1(name)), set.entry(Txt::OpenFile));
    Hints::set(action(QStringLiteral("ToolButton6")), set.entry(Txt::Help));
    Hints::set(action(QStringLiteral("ToolButton15")), set.entry(Txt::SpellCheck));
    Hints::set(action(QStringLiteral("ToolButton7")),
            set.entry(action(QStringLiteral("ToolButton7"))->isChecked() ? Txt::HtmlOn : Txt::HtmlOff));
}
