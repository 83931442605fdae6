#pragma once

#include <QString>
#include <QStringList>

// One interface language: the 217 lines of a language file (captions and
// hints of the frame, spelling texts, page-setup and preview labels) and the
// 126 texts of the shared text table derived from them. The built-in English
// and German sets are kept in the same form, with their multi-line messages
// holding real line breaks.
class TextSet
{
public:
    enum class Kind { English, German, LanguageFile };

    static constexpr int EntryCount = 126;
    static constexpr int LanguageFileLines = 217;
    static const QString LanguageFileHeader;

    // Line numbers of a language file that the program reads.
    enum Line {
        MenuCaption = 11, HelpFile = 12, CodePageList = 13,
        CloseAllCaption = 15, CloseAllHint = 16, SaveAllHint = 17,
        SpellButtonsFirst = 18, SpellLanguageCaption = 25, SpellTextsFirst = 26,
        SpellFinishMessage = 36, OptionsMenu = 44, WindowMenu = 45, TileHorizontally = 46,
        Cascade = 47, ArrangeIcons = 48, Minimize = 49, Normal = 50, Maximize = 51,
        SpellLanguageHint = 52, StandardFontCaption = 53, StandardFontHint = 54,
        OpenWithStandardAppHint = 55, BackupCaption = 56, BackupHint = 57,
        FindInFilesCaption = 58, FindInFilesHint = 59, CaseMismatchCaption = 60,
        CaseMismatchHint = 61, SpellCancelCaption = 62, TileVertically = 63,
        PageMarginsLabel = 64, TopLabel = 65, BottomLabel = 66, LeftLabel = 67, RightLabel = 68,
        ShowRulerCaption = 69, CodingVisibleCaption = 70, CodingHint = 71,
        ZoomInHint = 74, ZoomOutHint = 75, ZoomPageWidthHint = 76, ZoomOnePageHint = 77,
        OfPagesHint = 78, ZoomFactorHint = 79, InsertListClickHint = 80,
        InsertSectionHint = 81, DescriptionTitle = 82, ValueTitle = 83,
        EditInsertIniHint = 84, ReloadInsertIniHint = 85, SaveInsertIniHint = 86,
        ShowSidebarCaption = 87, UrlHint = 88, MultiClipboardCaption = 89,
    };

    static TextSet english();
    static TextSet german();
    // A language file's lines as read; the caller has checked header and count.
    static TextSet fromLanguageFile(const QStringList &lines);

    Kind kind() const { return m_kind; }
    // Text table entry 0..125; empty outside that range.
    QString entry(int index) const;
    // Language-file line 0..216; empty outside that range.
    QString line(int index) const;
    const QStringList &lines() const { return m_lines; }

    // Entry 0: the read-me document.
    QString readMeFile() const { return entry(0); }
    // Texts the language file format has no line for: the built-in sets
    // carry them, a language file gets the English ones.
    enum class Extra {
        RecoveryQuestion,   // %d: number of documents
        RecoveryDamaged,    // %s: the recovery file, then the reason
        DamagedPartsSkipped, // %d: parts of a damaged file read past
        FileChangedWhileRead,
        NotEnoughMemory,
        PrintFailed,        // %s: the printer's reason (may be empty)
        PictureUnreadable,  // %s: the file, then the reason
        CodePageNotWritable, // %d: the code page
        InsertObjectTitle,
        ObjectFileLabel,
        BrowseButton,
        DisplayAsIcon,
        ObjectTooLarge,     // %s: the file, %d: the limit in MB
        ObjectUnreadable,   // %s: the file, then the system's reason
        ObjectNotOpenable,  // %s: the object's class
        ToolProgress,       // %s: the command, %d: percent done
        LineTooLong,        // %d: the longest line that can be shown
        JoinTooLong,        // %d: the longest line that can be shown
        Count
    };
    QString extra(Extra text) const;

    // Help and code page list file names, relative to the program folder.
    QString helpFile() const { return line(HelpFile); }
    QString codePageListFile() const { return line(CodePageList); }

private:
    void deriveEntries();

    Kind m_kind = Kind::English;
    QStringList m_lines;
    QStringList m_entries;
};

// Entry numbers of the text table used by name in the code.
namespace Txt {
enum : int {
    LineCol = 1, File = 2, New = 3, Open = 4, Save = 5, SaveAs = 6, Exit = 7, Close = 8,
    Print = 9, PrinterSetup = 10, Edit = 11, Cut = 12, Copy = 13, Paste = 14, Delete = 15,
    SelectAll = 16, SpellCheck = 17, Format = 18, Left = 19, Right = 20, Center = 21,
    WordWrap = 22, Character = 23, NewFile = 24, OpenFile = 25, SaveFile = 26,
    SaveFileAs = 27, CutHint = 28, CopyHint = 29, PasteHint = 30, SelectAllHint = 31,
    Undo = 32, Find = 33, FindNext = 34, Replace = 35, NotFoundStart = 36, NotFoundEnd = 37,
    ReplaceThis = 38, SaveChanges = 39, Bullet = 40, Bold = 41, Italic = 42, Underline = 43,
    FontSize = 44, CouldNotFindFile = 45, NoValidLanguageFile = 46, Help = 47,
    FontColorHint = 48, HtmlOn = 49, HtmlOff = 50, IncreaseIndent = 51, DecreaseIndent = 52,
    PageSetup = 53, PageSetupHint = 54, Characters = 55, Indent = 56, FirstLine = 57,
    SpaceBefore = 58, SpaceAfter = 59, LineSpacing = 60, Spacing = 61, Alignment = 62,
    Cancel = 63, SaveSelected = 64, SaveSelectedHint = 65, PasteWithOptions = 66,
    PasteWithOptionsHint = 67, ObjectProperties = 68, ObjectPropertiesHint = 69,
    RedoRestore = 70, Insert = 71, Image = 72, ImageHint = 73, Object = 74, ObjectHint = 75,
    Paragraph = 76, Font = 77, Protected = 78, Disabled = 79, Hidden = 80,
    Superscript = 81, Subscript = 82, BackColorHint = 83, SelectFontColor = 84,
    SelectBackColor = 85, UnicodeLossWarning = 86, Numeric = 87, ToNumericHint = 88,
    FromNumericHint = 89, StartNumbering = 90, PasteUnformatted = 91, DateTime = 92,
    AllPages = 97, OddPages = 98, EvenPages = 99, PageNo = 100, PageNoHint = 101,
    PagePreview = 102, WysiwygHint = 103, FormFeed = 104, FormFeedHint = 105, GoTo = 106,
    Column = 107, EditColumn = 108, InsertSpace = 109, Join = 110, JoinHint = 111,
    JoinAll = 112, JoinAllHint = 113, SortAscending = 114, SortAscendingHint = 115,
    SortDescending = 116, SortDescendingHint = 117, Path = 118, PathHint = 119,
    UpperCase = 120, UpperCaseHint = 121, LowerCase = 122, LowerCaseHint = 123,
    InitialCaps = 124, InitialCapsHint = 125,
};
} // namespace Txt
