#include "format/ColumnEdit.h"

#include "document/DocumentCore.h"
#include "format/ToolProgress.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ColumnEdit {
namespace {

// Where (column, line) leads: the line's start plus the column, at most the end.
int positionAt(const DocumentCore &core, int column, int line)
{
    const int start = core.LineIndex(line);
    if (start < 0)
        return core.TextLength();
    return qMin(start + column, core.TextLength());
}

bool endsLine(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 10 && u <= 14) || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Reports lines done of the column's lines; finishes when it ends.
class LineProgress
{
public:
    LineProgress(ToolProgress *progress, const Column &col) : m_progress(progress), m_first(col.firstLine)
    {
        if (m_progress)
            m_progress->start(col.lastLine - col.firstLine + 1);
    }
    ~LineProgress()
    {
        if (m_progress)
            m_progress->finish();
    }
    LineProgress(const LineProgress &) = delete;
    LineProgress &operator=(const LineProgress &) = delete;
    void at(int line) const
    {
        if (m_progress)
            m_progress->advance(line - m_first);
    }

private:
    ToolProgress *m_progress;
    int m_first;
};

} // namespace

Column columnOf(const DocumentCore &core)
{
    Column col;
    const int start = core.SelStart();
    const int end = start + core.SelLength();
    const QTextDocument *doc = core.document();
    col.firstLine = doc->findBlock(start).blockNumber();
    col.column = start - doc->findBlock(start).position();
    col.lastLine = doc->findBlock(end).blockNumber();
    return col;
}

int deleteColumn(DocumentCore &core, ToolProgress *progress)
{
    if (core.isReadOnly())
        return 0;
    const int start = core.SelStart();
    const int length = core.SelLength();
    const Column col = columnOf(core);
    QTextDocument *doc = core.document();
    int deleted = 0;
    const LineProgress lines(progress, col);
    core.beginEditGroup();
    for (int line = col.firstLine; line <= col.lastLine; ++line) {
        lines.at(line);
        const int p = positionAt(core, col.column, line);
        // Past the end there is nothing to delete.
        if (p >= core.TextLength() || endsLine(doc->characterAt(p)) || !core.mayEdit(p, p + 1))
            continue;
        QTextCursor c(doc);
        c.setPosition(p);
        c.setPosition(p + 1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        ++deleted;
    }
    core.endEditGroup();
    core.select(start, qMax(0, length - deleted));
    return deleted;
}

int insertSpaceColumn(DocumentCore &core, ToolProgress *progress)
{
    if (core.isReadOnly())
        return 0;
    const int start = core.SelStart();
    const int length = core.SelLength();
    const Column col = columnOf(core);
    QTextDocument *doc = core.document();
    int inserted = 0;
    const LineProgress lines(progress, col);
    core.beginEditGroup();
    for (int line = col.firstLine; line <= col.lastLine; ++line) {
        lines.at(line);
        const int p = positionAt(core, col.column, line);
        if (!core.mayEdit(p, p))
            continue;
        QTextCursor c(doc);
        c.setPosition(p);
        c.insertText(QStringLiteral(" "));
        ++inserted;
    }
    core.endEditGroup();
    core.select(start, length + (col.lastLine - col.firstLine));
    return inserted;
}

int pasteColumn(DocumentCore &core, const std::function<bool()> &paste, ToolProgress *progress)
{
    if (core.isReadOnly() || !paste)
        return 0;
    const int start = core.SelStart();
    const Column col = columnOf(core);
    int pasted = 0;
    int end = start;
    const LineProgress lines(progress, col);
    core.beginEditGroup();
    for (int line = col.firstLine; line <= col.lastLine; ++line) {
        lines.at(line);
        core.select(positionAt(core, col.column, line), 0);
        if (!paste())
            continue;
        ++pasted;
        end = core.SelStart() + core.SelLength();
    }
    core.endEditGroup();
    if (pasted == 0)
        core.select(start, 0);
    else
        core.select(start, qMax(0, end - start));
    return pasted;
}

} // namespace ColumnEdit
