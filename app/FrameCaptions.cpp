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
    const auto action = [&frame](FrameAction id) { return frame.action(id); };

    frame.menus().value(QStringLiteral("Options1"))->setTitle(line(TextSet::OptionsMenu));
    frame.menus().value(QStringLiteral("Window1"))->setTitle(line(TextSet::WindowMenu));
    using A = FrameAction;
    const struct { FrameAction id; int caption; int hint; } items[] = {
        {A::Tile1, TextSet::TileHorizontally, 0}, {A::Tilevertically1, TextSet::TileVertically, 0},
        {A::Cascade1, TextSet::Cascade, 0}, {A::Arrangeicons1, TextSet::ArrangeIcons, 0},
        {A::Minimize1, TextSet::Minimize, 0}, {A::Normal1, TextSet::Normal, 0},
        {A::Maximize1, TextSet::Maximize, 0}, {A::Closeall1, TextSet::CloseAllCaption, TextSet::CloseAllHint},
        {A::StandardFont1, TextSet::StandardFontCaption, TextSet::StandardFontHint},
        {A::createbackupfiles1, TextSet::BackupCaption, TextSet::BackupHint},
        {A::SearchFiles1, TextSet::FindInFilesCaption, TextSet::FindInFilesHint},
        {A::Searchforcasemismatch1, TextSet::CaseMismatchCaption, TextSet::CaseMismatchHint},
        {A::Showruler1, TextSet::ShowRulerCaption, 0}, {A::Show1, TextSet::CodingVisibleCaption, 0},
        {A::ShowSidebar1, TextSet::ShowSidebarCaption, 0}, {A::URL1, 0, TextSet::UrlHint},
        {A::ToolButton9, 0, TextSet::OpenWithStandardAppHint}, {A::ToolButton11, 0, TextSet::SaveAllHint},
    };
    for (const auto &item : items) {
        QAction *a = action(item.id);
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
    action(FrameAction::New1)->setText(set.entry(Txt::New));
    action(FrameAction::Open1)->setText(set.entry(Txt::Open));
    action(FrameAction::Exit1)->setText(set.entry(Txt::Exit));
    frame.menus().value(QStringLiteral("Help1"))->setTitle(set.entry(Txt::Help));
    action(FrameAction::Help2)->setText(set.entry(Txt::Help));
    for (FrameAction id : {A::New1, A::ToolButton2})
        Hints::set(action(id), set.entry(Txt::NewFile));
    for (FrameAction id : {A::Open1, A::ToolButton3})
        Hints::set(action(id), set.entry(Txt::OpenFile));
    Hints::set(action(FrameAction::ToolButton6), set.entry(Txt::Help));
    Hints::set(action(FrameAction::ToolButton15), set.entry(Txt::SpellCheck));
    Hints::set(action(FrameAction::ToolButton7),
            set.entry(action(FrameAction::ToolButton7)->isChecked() ? Txt::HtmlOn : Txt::HtmlOff));
}
