#pragma once

// Line numbers of the settings file.
namespace SettingsLine {
enum : int {
    Language = 0, Left = 1, Top = 2, Width = 3, Height = 4, FrameState = 5, SpellLanguage = 6,
    FontName = 7, FontSize = 8, Backups = 9, SearchFiles = 10, OpenDirectory = 11,
    OpenFilterIndex = 12, WordWrap = 13, RecentFirst = 14, ApplicationFirst = 18,
    MarginTop = 22, MarginBottom = 23, MarginLeft = 24, MarginRight = 25, SpellerType = 26,
    CodePage = 27, Coding = 28, PreviewLeft = 29, PreviewTop = 30, PreviewWidth = 31,
    PreviewHeight = 32, PageNumbers = 33, SidebarWidth = 38, InsertSection = 39,
    LastTextColor = 40, LastBackColor = 41, Ruler = 42, Sidebar = 43, FontColor = 44, Bold = 45,
    UrlDetection = 46,
};
} // namespace SettingsLine
