#include "platform/TextSet.h"

const QString TextSet::LanguageFileHeader = QStringLiteral("** Language file Version 1.11 for Quilmar **");

namespace {

// The English set in language-file order. Lines the program does not read
// carry notes for translators.
const char *const kEnglish[TextSet::LanguageFileLines] = {
    "** Language file Version 1.11 for Quilmar **",
    "Quilmar interface texts: English (built in).",
    "Lines 1 to 10, 14, 72, 73 and 90 to 92 are not read.",
    "Every other line is one text; keep the line count at 217.",
    "Texts of the form short|long are hints: the long part shows in the status bar.",
    "%s, %d and %3d are placeholders; keep them in the same order.",
    "An & marks the accelerator key of the letter after it.",
    "", "", "", "",
    "English",                  // 11 menu caption
    "QuilmarEn.hlp",            // 12 help file
    "CodePageListEn.ini",       // 13 code page list
    "",                         // 14
    "Close all",                // 15
    "Close all open forms as symbols",
    "Save all",
    "&Variants", "&Delete", "&Change", "Change A&ll", "&Skip", "S&kip All", "&Add", // 18-24
    "Language %s",              // 25
    "&Undo Edit", "Unknown word", "Illegal hyphenations", "Capitalization error",
    "Possible abbreviation", "Sentence capitalization error", "Extra spaces",
    "Missing space", "Numerals in start of word", "Repeated word",
    "Spelling check complete", "Message", "Spelling \u2014 %s", "Spelling error No %d",
    "Error loading Spell DLL %s", "Error unloading Spell DLL %s",
    "Language %s not installed", "Start",                                   // 26-43
    "Options", "Window", "Tile horizontally", "Cascade", "Arrange icons",
    "Minimize", "Normal", "Maximize",                                       // 44-51
    "Choose language for spell check",                                      // 52
    "Standard Font", "Set selected font as standard",                       // 53, 54
    "Open with standard application",                                       // 55
    "Create backup files", "Create a backup file, each time you save a file.",
    "Find in files", "Search all open files",
    "Search for case mismatch",
    "Search and stop only, if the text found is not identical with respect to upper/lower case.",
    "Ca&ncel",                                                              // 62
    "Tile vertically",                                                      // 63
    "Page margins mm", "Top", "Bottom", "Left", "Right",                    // 64-68
    "Show ruler", "Coding visible",                                         // 69, 70
    "Character coding|Character coding, which will be applied to open and save files, "
    "except for Unicode or Rich text.",                                     // 71
    "", "",                                                                 // 72, 73
    "Zoom in", "Zoom out", "Zoom to page width", "Zoom to one page", "of .. pages",
    "Zoom factor",                                                          // 74-79
    "Click to insert", "Select a section from insert list",                 // 80, 81
    "Description", "Value",                                                 // 82, 83
    "Edit insert.ini|Push button down to edit insert.ini", "Reload insert.ini",
    "Save insert.ini",                                                      // 84-86
    "Show sidebar", "Automatic URL-detection", "MultiClipBoard ",           // 87-89
    "", "", "",                                                             // 90-92
    "Line: %3d  Col: %3d", "File", "New", "Open", "Save", "Save as", "Exit", "Close",
    "Print", "Printer setup ...", "Edit", "Cut", "Copy", "Paste",           // 93-106
    "Select all", "Spell check", "Format", "Left", "Right", "Center", "Word wrap",
    "Character", "New file", "Open file", "Save file", "Save file under a new name",
    "Cut to clipboard", "Copy to clipboard", "Paste clipboard content",
    "Selects the whole document", "Undo", "Find", "Find Next", "Replace",  // 107-126
    "Could not find \"", "\" in Editor.", "Replace this occurrence of ",
    "Save changes to %s?", "Bullet", "Bold", "Italic", "Underline", "Font size",
    "Could not find the file:\r\n",
    "This is no valid language file for this version of Quilmar!", "Help",
    "Choose color for font", "Spell checker's HTML recognition enabled",
    "Spell checker's HTML recognition disabled", "Increase indent", "Decrease indent",
    "Page setup...", "Page setup for printing", " Characters", "Indent", "First line",
    "Space before", "Space after", "Line spacing", "Spacing", "Alignment", "Cancel",
    "Save selected item", "Save selected item as", "Paste with options",
    "Paste clipboard content with options", "Object properties",
    "Change properties of selected object", "Redo|Restore", "Insert", "Image",
    "Inserts picture", "Object", "Inserts new embedded object", "Paragraph", "Font",
    "Protected", "Disabled", "Hidden", "Superscript", "Subscript",
    "Choose color for background", "Select this color for font",
    "Select this color for background",                                     // 127-176
    "This file contains characters in Unicode format, which will be lost, if you "
    "continue to save the file as Text file.\r\n"
    "Choose\r\n"
    "\"UTF8 (Unicode) text (*.txt)\"\r\n"
    "\"Unicode (UTF16 LE) text (*.txt)\"\r\n"
    "  or\r\n"
    "\"Unicode (UTF16 BE) text (*.txt)\"\r\n"
    "  in your \"Save as\" dialogue to maintain the Unicode information.\r\n"
    "Do you want to continue anyway?",                                      // 177
    "Numeric",
    "Translates all \"not %s\" - characters into numeric values for use in HTML files.",
    "Translates all numeric values (e.g. &#960;)in Unicode - characters.",
    "Start numbering with ...", "Paste Unformatted Text", "Date/Time",      // 178-183
    "", "", "", "",                                                         // 184-187
    "All Pages", "Odd Pages", "Even Pages", "Page No",
    "Insert page numbers when printing", "Page preview",
    "Wrap lines according line length as you get it when printed", "Form feed",
    "Forces a new page when printed.", "Go To", "Column", "Edit column",
    "Insert space", "Join",
    "Join lines for selected text, leave paragraphs (twice \"new line\")",
    "Join All", "Join lines for selected text, delete all paragraphs",
    "Sort Ascending", "Sorts whole file ascending and returns plain text",
    "Sort Descending", "Sorts whole file descending and returns plain text", "Path",
    "File path", "Upper Case", "Formats selected text as upper case characters",
    "Lower Case", "Formats selected text as lower case characters", "Initial Caps",
    "Formats selected text with initial caps",                              // 188-216
};

// The German set, line for line the English one.
const char *const kGerman[TextSet::LanguageFileLines] = {
    "** Language file Version 1.11 for Quilmar **",
    "Quilmar Oberfl\u00e4chentexte: Deutsch (eingebaut).",
    "Die Zeilen 1 bis 10, 14, 72, 73 und 90 bis 92 werden nicht gelesen.",
    "Jede andere Zeile ist ein Text; die Datei hat genau 217 Zeilen.",
    "Texte der Form kurz|lang sind Hinweise: der lange Teil erscheint in der Statuszeile.",
    "%s, %d und %3d sind Platzhalter; ihre Reihenfolge bleibt.",
    "Ein & markiert den Tastenk\u00fcrzel-Buchstaben dahinter.",
    "", "", "", "",
    "Deutsch",
    "QuilmarDe.hlp",
    "CodePageListEn.ini",
    "",
    "Alle schlie\u00dfen",
    "Alle offenen Fenster als Symbole schlie\u00dfen",
    "Alle speichern",
    "&Varianten", "&L\u00f6schen", "&Ersetzen", "A&lle ersetzen", "&\u00dcberspringen",
    "Alle \u00fc&berspringen", "&Hinzuf\u00fcgen",
    "Sprache %s",
    "&R\u00fcckg\u00e4ngig", "Unbekanntes Wort", "Illegale Silbentrennung", "Grosschreibefehler",
    "M\u00f6gliche Abk\u00fcrzung", "Satz: Grosschreibefehler", "Zus\u00e4tzliche Zwischenr\u00e4ume",
    "Fehlende Zwischenr\u00e4ume", "Zahlen am Anfang des Wortes", "Wortwiederholung",
    "Rechtschreibepr\u00fcfung beendet", "Meldung", "Rechtschreibung \u2014 %s",
    "Rechtschreibung Fehler No %d", "Fehler beim Laden der Spell DLL %s",
    "Fehler beim Entladen der Spell DLL %s", "Sprache %s ist nicht installiert", "Start",
    "Optionen", "Fenster", "Untereinander anordnen", "\u00dcberlappend", "Symbole anordnen",
    "Minimieren", "Normal", "Maximieren",
    "Sprache f\u00fcr die Rechtschreibpr\u00fcfung w\u00e4hlen",
    "Standardschrift", "Gew\u00e4hlte Schrift als Standard setzen",
    "Mit Standardanwendung \u00f6ffnen",
    "Sicherungsdateien anlegen", "Bei jedem Speichern eine Sicherungsdatei anlegen.",
    "In Dateien suchen", "Alle offenen Dateien durchsuchen",
    "Nach Gro\u00df-/Kleinschreibfehlern suchen",
    "Nur anhalten, wenn sich der gefundene Text in der Gro\u00df-/Kleinschreibung unterscheidet.",
    "&Abbrechen",
    "Nebeneinander anordnen",
    "Seitenr\u00e4nder mm", "Oben", "Unten", "Links", "Rechts",
    "Lineal anzeigen", "Zeichensatz sichtbar",
    "Zeichensatz|Zeichensatz, der beim \u00d6ffnen und Speichern angewendet wird, "
    "au\u00dfer bei Unicode oder Rich Text.",
    "", "",
    "Vergr\u00f6\u00dfern", "Verkleinern", "Auf Seitenbreite zoomen", "Ganze Seite zeigen",
    "von .. Seiten", "Zoomfaktor",
    "Klicken zum Einf\u00fcgen", "Abschnitt der Einf\u00fcgeliste w\u00e4hlen",
    "Beschreibung", "Wert",
    "insert.ini bearbeiten|Knopf dr\u00fccken, um insert.ini zu bearbeiten",
    "insert.ini neu laden", "insert.ini speichern",
    "Seitenleiste anzeigen", "Automatische URL-Erkennung", "Zwischenablagen ",
    "", "", "",
    "Zeile: %3d  Spalte: %3d", "Datei", "Neu", "\u00d6ffnen", "Speichern",
    "Speichern unter", "Beenden", "Schlie\u00dfen", "Drucken", "Druckereinrichtung ...",
    "Bearbeiten", "Ausschneiden", "Kopieren", "Einf\u00fcgen",
    "Alles markieren", "Rechtschreibpr\u00fcfung", "Format", "Links", "Rechts", "Zentriert",
    "Zeilenumbruch", "Zeichen", "Neue Datei", "Datei \u00f6ffnen", "Datei speichern",
    "Datei unter neuem Namen speichern", "In die Zwischenablage ausschneiden",
    "In die Zwischenablage kopieren", "Inhalt der Zwischenablage einf\u00fcgen",
    "Markiert das ganze Dokument", "R\u00fcckg\u00e4ngig", "Suchen", "Weitersuchen", "Ersetzen",
    "\"", "\" wurde im Editor nicht gefunden.", "Dieses Vorkommen ersetzen: ",
    "\u00c4nderungen an %s speichern?", "Aufz\u00e4hlung", "Fett", "Kursiv", "Unterstrichen",
    "Schriftgr\u00f6\u00dfe",
    "Die Datei wurde nicht gefunden:\r\n",
    "Dies ist keine g\u00fcltige Sprachdatei f\u00fcr diese Version von Quilmar!", "Hilfe",
    "Schriftfarbe w\u00e4hlen", "HTML-Erkennung f\u00fcr Rechtschreibepr\u00fcfung eingeschaltet",
    "HTML-Erkennung f\u00fcr Rechtschreibepr\u00fcfung ausgeschaltet", "Einzug vergr\u00f6\u00dfern",
    "Einzug verkleinern", "Seite einrichten...", "Seite f\u00fcr den Druck einrichten", " Zeichen",
    "Einzug", "Erste Zeile", "Abstand vor", "Abstand nach", "Zeilenabstand", "Abstand",
    "Ausrichtung", "Abbrechen", "Auswahl speichern", "Auswahl speichern unter",
    "Einf\u00fcgen mit Optionen", "Inhalt der Zwischenablage mit Optionen einf\u00fcgen",
    "Objekteigenschaften", "Eigenschaften des gew\u00e4hlten Objekts \u00e4ndern",
    "Wiederholen|Wiederherstellen", "Einf\u00fcgen", "Bild", "F\u00fcgt ein Bild ein", "Objekt",
    "F\u00fcgt ein neues eingebettetes Objekt ein", "Absatz", "Schrift", "Gesch\u00fctzt",
    "Deaktiviert", "Verborgen", "Hochgestellt", "Tiefgestellt",
    "Hintergrundfarbe w\u00e4hlen", "Diese Farbe f\u00fcr die Schrift w\u00e4hlen",
    "Diese Farbe f\u00fcr den Hintergrund w\u00e4hlen",
    "Diese Datei enth\u00e4lt Unicode-Zeichen, die verloren gehen, wenn Sie die Datei "
    "als Textdatei speichern.\r\n"
    "W\u00e4hlen Sie\r\n"
    "\"UTF8 (Unicode) text (*.txt)\"\r\n"
    "\"Unicode (UTF16 LE) text (*.txt)\"\r\n"
    "  oder\r\n"
    "\"Unicode (UTF16 BE) text (*.txt)\"\r\n"
    "  im Dialog \"Speichern unter\", um die Unicode-Zeichen zu erhalten.\r\n"
    "Trotzdem speichern?",
    "Numerisch",
    "\u00dcbersetzt alle \"nicht %s\" - Zeichen in numerische Werte f\u00fcr HTML-Dateien.",
    "\u00dcbersetzt alle numerischen Werte (z.B. &#960;)in Unicode - Zeichen.",
    "Nummerierung beginnen mit ...", "Unformatierten Text einf\u00fcgen", "Datum/Uhrzeit",
    "", "", "", "",
    "Alle Seiten", "Ungerade Seiten", "Gerade Seiten", "Seitennummer",
    "Beim Drucken Seitennummern einf\u00fcgen", "Seitenvorschau",
    "Zeilen so umbrechen, wie sie gedruckt werden", "Seitenumbruch",
    "Erzwingt beim Drucken eine neue Seite.", "Gehe zu", "Spalte", "Spalte bearbeiten",
    "Leerzeichen einf\u00fcgen", "Verbinden",
    "Zeilen des markierten Textes verbinden, Abs\u00e4tze bleiben (zweimal \"neue Zeile\")",
    "Alle verbinden", "Zeilen des markierten Textes verbinden, alle Abs\u00e4tze entfernen",
    "Aufsteigend sortieren", "Sortiert die ganze Datei aufsteigend und liefert reinen Text",
    "Absteigend sortieren", "Sortiert die ganze Datei absteigend und liefert reinen Text",
    "Pfad", "Dateipfad", "Gro\u00dfbuchstaben", "Setzt den markierten Text in Gro\u00dfbuchstaben",
    "Kleinbuchstaben", "Setzt den markierten Text in Kleinbuchstaben", "Anfangsbuchstaben gro\u00df",
    "Setzt die Anfangsbuchstaben des markierten Textes gro\u00df",
};

QStringList toList(const char *const (&table)[TextSet::LanguageFileLines])
{
    QStringList lines;
    lines.reserve(TextSet::LanguageFileLines);
    for (const char *text : table)
        lines << QString::fromUtf8(text);
    return lines;
}

} // namespace

TextSet TextSet::english()
{
    TextSet set;
    set.m_kind = Kind::English;
    set.m_lines = toList(kEnglish);
    set.deriveEntries();
    set.m_entries[0] = QStringLiteral("ReadMeEn.rtf");
    set.m_entries[Txt::Delete] = QStringLiteral("Delete");
    return set;
}

TextSet TextSet::german()
{
    TextSet set;
    set.m_kind = Kind::German;
    set.m_lines = toList(kGerman);
    set.deriveEntries();
    set.m_entries[0] = QStringLiteral("ReadMeDe.rtf");
    set.m_entries[Txt::Delete] = QString::fromUtf8("L\u00f6schen");
    return set;
}

TextSet TextSet::fromLanguageFile(const QStringList &lines)
{
    TextSet set;
    set.m_kind = Kind::LanguageFile;
    set.m_lines = lines.mid(0, LanguageFileLines);
    while (set.m_lines.size() < LanguageFileLines)
        set.m_lines << QString();
    set.deriveEntries();
    set.m_entries[0] = QStringLiteral("ReadMeEn.rtf");
    return set;
}

void TextSet::deriveEntries()
{
    m_entries = QStringList();
    m_entries.reserve(EntryCount);
    m_entries << QString();
    for (int i = 1; i <= 14; ++i)
        m_entries << m_lines.at(92 + i);
    m_entries << m_lines.at(19);
    for (int i = 16; i <= 125; ++i)
        m_entries << m_lines.at(91 + i);
}

QString TextSet::extra(Extra text) const
{
    static const char *const english[] = {
        "Quilmar was ended last time with %d document(s) not saved. Copies were kept.\r\n"
        "Open them now? (No discards the copies.)",
        "A recovery copy cannot be opened and is removed:\r\n%s",
        "The file is damaged: %d part(s) could not be read and were skipped.",
        "The file changed while it was read; it was not loaded.",
        "There is not enough memory to load the file.",
        "The document could not be printed.\r\n%s",
        "The picture cannot be read:\r\n%s\r\n%s",
        "The code page %d cannot be written here; nothing was saved.",
        "Insert Object",
        "File:",
        "Browse...",
        "Display as icon",
        "The file is too large to embed:\r\n%s\r\nFiles of up to %d MB can be embedded.",
        "The file cannot be read:\r\n%s",
        "This object (%s) holds no file that can be opened here.",
        "%s: %d %%",
        "The file has a line of more than %d characters, which cannot be shown; it was not loaded.",
        "The joined line would have more than %d characters, which cannot be shown; nothing was joined.",
    };
    static const char *const german[] = {
        "Quilmar wurde zuletzt mit %d nicht gespeicherten Dokument(en) beendet. Kopien wurden aufbewahrt.\r\n"
        "Jetzt \u00f6ffnen? (Nein verwirft die Kopien.)",
        "Eine Wiederherstellungskopie kann nicht ge\u00f6ffnet werden und wird entfernt:\r\n%s",
        "Die Datei ist besch\u00e4digt: %d Teil(e) konnten nicht gelesen werden und wurden \u00fcbersprungen.",
        "Die Datei hat sich w\u00e4hrend des Lesens ge\u00e4ndert; sie wurde nicht geladen.",
        "Zum Laden der Datei reicht der Speicher nicht.",
        "Das Dokument konnte nicht gedruckt werden.\r\n%s",
        "Das Bild kann nicht gelesen werden:\r\n%s\r\n%s",
        "Die Codepage %d kann hier nicht geschrieben werden; es wurde nichts gespeichert.",
        "Objekt einf\u00fcgen",
        "Datei:",
        "Durchsuchen...",
        "Als Symbol anzeigen",
        "Die Datei ist zu gro\u00df zum Einbetten:\r\n%s\r\nEs k\u00f6nnen Dateien bis %d MB eingebettet werden.",
        "Die Datei kann nicht gelesen werden:\r\n%s",
        "Dieses Objekt (%s) enth\u00e4lt keine Datei, die hier ge\u00f6ffnet werden kann.",
        "%s: %d %%",
        "Die Datei hat eine Zeile mit mehr als %d Zeichen, die nicht angezeigt werden kann; sie wurde nicht geladen.",
        "Die verbundene Zeile h\u00e4tte mehr als %d Zeichen, die nicht angezeigt werden k\u00f6nnen; es wurde nichts verbunden.",
    };
    static_assert(sizeof(english) / sizeof(*english) == int(Extra::Count));
    static_assert(sizeof(german) / sizeof(*german) == int(Extra::Count));
    const int i = int(text);
    if (i < 0 || i >= int(Extra::Count))
        return QString();
    return QString::fromUtf8(m_kind == Kind::German ? german[i] : english[i]);
}

QString TextSet::entry(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index) : QString();
}

QString TextSet::line(int index) const
{
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : QString();
}
