#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

class ToolProgress;

class DocumentCore;
class QDateTime;

// The line, case and insertion tools of the document window, working on a
// document core. Each command that changes text is one undo step; Undo puts
// back text and formatting as they were. A command refused because it would
// change protected text changes nothing and answers Refused.
namespace TextTools {

// LineTooLong: the result would hold a paragraph longer than the document
// can show (DocumentCore::Limits::longestLine); nothing was changed.
enum class Outcome { Done, NothingToDo, Refused, LineTooLong };

// Join (all: Join All) over the selection: tabs, line feeds, vertical tabs,
// line breaks and paragraph ends become spaces; Join keeps each double
// paragraph end and the character after it. Lengths never change. The caret
// ends after the last character replaced.
Outcome join(DocumentCore &core, bool all, ToolProgress *progress = nullptr);
// The same on text whose paragraph ends are U+2029 (or CR) and whose line
// breaks are U+2028 (or VT).
QString joinText(QStringView text, bool all);

// Sorts all lines of the document by the locale's case-sensitive collation
// and puts them back as plain text in the default format. A last empty line
// (text ending with a line end) stays last.
Outcome sortLines(DocumentCore &core, bool descending, const QLocale &locale, ToolProgress *progress = nullptr);

enum class Case { Upper, Lower, InitialCaps };
// Unicode case mapping of the locale. Initial caps: the text in lower case,
// then the first letter of every word in upper case, where codes below 65,
// 91 to 96 and 123 to 127 (and line ends) separate words and every code from
// 128 up counts as a letter. wordStart carries the state between pieces.
QString changeCase(QStringView text, Case mode, const QLocale &locale, bool *wordStart = nullptr);
// Converts the selection, keeping each run's formatting; the caret ends
// after the converted text.
Outcome changeCase(DocumentCore &core, Case mode, const QLocale &locale, ToolProgress *progress = nullptr);

// Replaces the selection with text and leaves the caret after it.
Outcome insertText(DocumentCore &core, const QString &text);
// A form feed in place of the selection; the caret ends one character
// past the position after it.
Outcome insertFormFeed(DocumentCore &core);

// The nine date and time formats of the Date/Time submenu (tag 0 to 8) in the
// locale's own short and long formats; empty for another tag.
constexpr int DateFormatCount = 9;
QString formatDateTime(int tag, const QDateTime &when, const QLocale &locale);

} // namespace TextTools
