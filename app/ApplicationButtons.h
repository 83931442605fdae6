#pragma once

#include <QString>

class Settings;

// The four application buttons of the frame's tool bar: each runs the
// program stored in its settings line with the active document's file.
namespace ApplicationButtons {

constexpr int Count = 4;
// SpeedButton4 uses the first of the lines, SpeedButton1 the last.
constexpr int FirstLine = 18;
constexpr int LastLine = FirstLine + Count - 1;

// Settings line of SpeedButton<button> (1 to 4): 21, 20, 19, 18; -1 for
// any other number.
int settingsLine(int button);
// The button (1 to 4) whose program a settings line holds; 0 for other lines.
int buttonOfLine(int line);

// The button's hint: the program's file name without its three-letter
// extension, as "viewer" for "C:\\Tools\\viewer.exe". A name without such an
// extension (the rule on Linux) stays whole.
QString hint(const QString &programPath);

// The document's file name as the program's one parameter: in double
// quotes, so blanks stay inside it; a quote inside the name is written as
// three, which command-line splitting reads back as one.
QString quotedParameter(const QString &documentPath);

// Empties the lines 18 to 21 that name no existing file (a deleted program,
// a folder). Returns the number of lines emptied.
int dropMissingPrograms(Settings &settings);

} // namespace ApplicationButtons
