#pragma once

#include <functional>

class DocumentCore;
class ToolProgress;

// Editing a one-character-wide column across lines (meant for text without
// word wrap). The column starts at the caret position of the selection start
// and runs down to the line of the selection end. A position on a line is
// the line's first position plus the column, so on a line shorter than the
// column it lies in the text that follows. Each command is one undo step;
// given a progress, it reports line by line.
namespace ColumnEdit {

struct Column {
    int column = 0;
    int firstLine = 0;
    int lastLine = 0;
};
Column columnOf(const DocumentCore &core);

// Deletes the column's character on each line unless it ends a line (codes
// 10 to 14) or lies past the end; the selection keeps its start and shrinks
// by what was deleted. Answers the number of characters deleted.
int deleteColumn(DocumentCore &core, ToolProgress *progress = nullptr);

// Inserts a space at the column on each line; the selection keeps its start
// and grows by the number of lines less one.
int insertSpaceColumn(DocumentCore &core, ToolProgress *progress = nullptr);

// Pastes at the column on each line with paste, which pastes at the core's
// caret and answers false when it pasted nothing; the selection then runs
// from the old start to the end of the last copy. Answers the copies pasted.
int pasteColumn(DocumentCore &core, const std::function<bool()> &paste, ToolProgress *progress = nullptr);

} // namespace ColumnEdit
