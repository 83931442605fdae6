#include "document/rtf/RtfDocumentBuilder.h"

#include "document/KeptContent.h"

#include "document/ParagraphFormat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace Rtf {
namespace {

// Cell spans and frame ends live in the character formats of the blocks
// that begin cells and follow tables: a mark replaces everything else.
void setMark(QTextCursor &cursor, const QTextCharFormat &mark)
{
    const QTextCharFormat current = cursor.blockCharFormat();
    QTextCharFormat f;
    const QMap<int, QVariant> props = current.properties();
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        if (it.key() == QTextFormat::ObjectIndex || it.key() == QTextFormat::ObjectType
            || (it.key() >= 0x4800 && it.key() < 0x5000))
            f.setProperty(it.key(), it.value());
    f.merge(mark);
    cursor.setBlockCharFormat(f);
}

} // namespace

DocumentBuilder::DocumentBuilder(QTextCursor &cursor)
    : m_cursor(cursor)
{
    const QTextBlock block = cursor.block();
    m_restOfBlockEmpty = cursor.position() == block.position() + block.length() - 1;
    m_originalBlockFormat = cursor.blockFormat();
}

int DocumentBuilder::addCharFormat(const QTextCharFormat &format)
{
    m_charFormats.push_back(format);
    return int(m_charFormats.size()) - 1;
}

int DocumentBuilder::addBlockSpec(const BlockSpec &spec)
{
    m_specs.push_back(spec);
    return int(m_specs.size()) - 1;
}

void DocumentBuilder::addImage(const QString &name, const QImage &image)
{
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
}

void DocumentBuilder::keepDocumentGroups(const QByteArray &rtf)
{
    KeptContent::setDocumentGroups(*document(), rtf);
}

void DocumentBuilder::keepListTables(const KeptContent::ListTables &tables)
{
    KeptContent::setListTables(*document(), tables);
}

void DocumentBuilder::endParagraph(Paragraph &p, int spec, int markFormat, bool inTable)
{
    if (inTable) {
        m_cell.paragraphs.push_back({std::move(p), spec, markFormat});
        p = Paragraph();
        return;
    }
    flushTable();
    emitParagraph(p, spec, markFormat, true);
    p.clear();
}

void DocumentBuilder::endCell(Paragraph &p, int spec, int markFormat)
{
    m_cell.paragraphs.push_back({std::move(p), spec, markFormat});
    p = Paragraph();
    m_row.cells.push_back(std::move(m_cell));
    m_cell = Cell();
}

void DocumentBuilder::endRow(const RowDef &def)
{
    if (!m_cell.paragraphs.empty()) {
        m_row.cells.push_back(std::move(m_cell));
        m_cell = Cell();
    }
    if (m_row.cells.empty())
        return;
    m_row.def = def;
    m_rows.push_back(std::move(m_row));
    m_row = Row();
}

void DocumentBuilder::finish(Paragraph &p, int spec, int markFormat)
{
    if (!m_cell.paragraphs.empty() || !m_row.cells.empty()) {
        // A row cut short: keep what it had.
        if (!p.isEmpty())
            endCell(p, spec, markFormat);
        endRow(m_rows.empty() ? RowDef() : m_rows.back().def);
    }
    flushTable();
    if (!p.isEmpty())
        emitParagraph(p, spec, markFormat, false);
    else if (m_next == Next::SameBlock && m_restOfBlockEmpty && m_cursor.block().length() <= 1)
        setMark(m_cursor, m_charFormats[size_t(markFormat)]);
    p.clear();
}

void DocumentBuilder::emitParagraph(const Paragraph &p, int spec, int markFormat, bool ended)
{
    // A paragraph's format travels with its mark; the last paragraph has no
    // mark of its own and only takes its format when nothing follows the
    // insertion point in the block it merges with.
    const bool ownFormat = ended || m_restOfBlockEmpty;
    const BlockSpec &s = m_specs[size_t(spec)];
    if (m_next == Next::SameBlock) {
        if (ownFormat) {
            m_cursor.setBlockFormat(s.format);
            // An empty block takes the mark as every later paragraph does
            // (a hidden mark hides the whole paragraph when it prints).
            if (p.isEmpty() || m_cursor.block().length() <= 1)
                setMark(m_cursor, m_charFormats[size_t(markFormat)]);
        }
    } else {
        m_cursor.insertBlock(ownFormat ? s.format : m_originalBlockFormat,
                             m_charFormats[size_t(markFormat)]);
    }
    if (ownFormat)
        attachToList(m_cursor, spec);
    insertRuns(m_cursor, p);
    m_next = Next::NewBlock;
}

void DocumentBuilder::insertRuns(QTextCursor &cursor, const Paragraph &p)
{
    if (p.runs.size() == 1) {
        cursor.insertText(p.text, m_charFormats[size_t(p.runs.front().format)]);
        return;
    }
    int start = 0;
    for (const Paragraph::Run &run : p.runs) {
        // The document copies the characters: no string of its own per run.
        cursor.insertText(QString::fromRawData(p.text.constData() + start, run.end - start),
                          m_charFormats[size_t(run.format)]);
        start = run.end;
    }
}

void DocumentBuilder::attachToList(QTextCursor &cursor, int spec)
{
    const BlockSpec &s = m_specs[size_t(spec)];
    if (s.numbering == NumberingKind::None) {
        m_lastList = nullptr;
        return;
    }
    QTextList *list = nullptr;
    if (s.listKey >= 0) {
        // An item of a Word list restarts the numbering of its deeper levels.
        const int ls = s.listKey / 16;
        for (int level = s.listKey % 16 + 1; level < 9; ++level)
            m_wordLists.remove(ls * 16 + level);
        list = m_wordLists.value(s.listKey);
    } else if (m_lastList && m_lastListKind == s.numbering && m_lastListStart == s.start
               && m_lastListStyle == s.style) {
        list = m_lastList;
    }
    if (list) {
        list->add(cursor.block());
    } else {
        QTextListFormat format = ParagraphFormat::listFormat(s.numbering, s.start, s.style);
        if (!s.bullet.isEmpty()) {
            format.setProperty(TextProperty::ListBullet, s.bullet);
            format.setProperty(TextProperty::ListBulletFont, s.bulletFont);
            format.setProperty(TextProperty::ListBulletCharset, s.bulletCharset);
            if (s.bulletNfc != 23)
                format.setProperty(TextProperty::ListBulletNfc, s.bulletNfc);
        }
        if (s.listKey % 16 > 0)
            format.setProperty(TextProperty::ListLevel, s.listKey % 16);
        if (s.keptOverride >= 0)
            KeptContent::setListOverride(format, s.keptOverride);
        list = cursor.createList(format);
        if (s.listKey >= 0)
            m_wordLists.insert(s.listKey, list);
    }
    m_lastList = list;
    m_lastListKind = s.numbering;
    m_lastListStart = s.start;
    m_lastListStyle = s.style;
}

void DocumentBuilder::flushTable()
{
    if (!m_cell.paragraphs.empty() || !m_row.cells.empty())
        endRow(m_rows.empty() ? RowDef() : m_rows.back().def);
    if (m_rows.empty())
        return;
    // A table is a rectangle: one long row among many short ones would make
    // rows × columns cells out of few bytes. Such tables go in as one table
    // per run of rows with equal cell counts.
    size_t cells = 0, columns = 0;
    for (const Row &row : m_rows) {
        cells += row.cells.size();
        columns = std::max(columns, row.cells.size());
    }
    if (m_rows.size() * columns <= 4 * cells + 4096) {
        insertTable();
        return;
    }
    std::vector<Row> rows = std::move(m_rows);
    m_rows.clear();
    for (size_t i = 0; i < rows.size(); ++i) {
        m_rows.push_back(std::move(rows[i]));
        if (i + 1 == rows.size() || rows[i + 1].cells.size() != m_rows.back().cells.size())
            insertTable();
    }
}

void DocumentBuilder::insertTable()
{
    size_t columns = 0;
    const RowDef *widest = nullptr;
    for (const Row &row : m_rows) {
        if (row.cells.size() > columns) {
            columns = row.cells.size();
            widest = &row.def;
        }
    }
    QTextTableFormat tableFormat;
    tableFormat.setCellSpacing(0);
    tableFormat.setCellPadding(DocUnits::twipsToPx(54));
    tableFormat.setBorder(1);
    tableFormat.setBorderCollapse(true);
    // Columns without a boundary of their own get RichEdit's inch.
    QList<QTextLength> widths;
    int left = 0;
    for (size_t c = 0; c < columns; ++c) {
        const int right = widest && c < widest->cellx.size() ? widest->cellx[c] : left + 1440;
        widths.append(QTextLength(QTextLength::FixedLength, DocUnits::twipsToPx(std::max(right - left, 0))));
        left = std::max(right, left);
    }
    tableFormat.setColumnWidthConstraints(widths);

    m_lastList = nullptr;
    m_wordLists.clear();
    // The blocks around a table take the marks of its first and last
    // paragraphs until paragraphs of their own arrive.
    const Cell *firstCell = nullptr;
    const Cell *lastCell = nullptr;
    for (const Row &row : m_rows)
        for (const Cell &cell : row.cells)
            if (!cell.paragraphs.empty()) {
                if (!firstCell)
                    firstCell = &cell;
                lastCell = &cell;
            }
    if (m_next == Next::SameBlock && firstCell)
        setMark(m_cursor, m_charFormats[size_t(firstCell->paragraphs.front().markFormat)]);
    QTextTable *table = m_cursor.insertTable(int(m_rows.size()), int(columns), tableFormat);
    mergeCells(table);
    const int lastMark = lastCell ? lastCell->paragraphs.back().markFormat : -1;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const Row &row = m_rows[r];
        for (size_t c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(int(r), int(c));
            if (cell.row() != int(r) || cell.column() != int(c))
                continue;
            QTextCursor cellCursor = cell.firstCursorPosition();
            if (c < row.cells.size() && !row.cells[c].paragraphs.empty())
                fillCell(cellCursor, row.cells[c]);
            else if (lastMark >= 0)
                setMark(cellCursor, m_charFormats[size_t(lastMark)]);
        }
    }
    m_lastList = nullptr;
    m_wordLists.clear();
    m_cursor.setPosition(table->lastPosition() + 1);
    if (lastCell)
        setMark(m_cursor, m_charFormats[size_t(lastCell->paragraphs.back().markFormat)]);
    m_next = Next::SameBlock;
    m_rows.clear();
}

// Merges the cells that \clmgf/\clmrg and \clvmgf/\clvmrg join, as long as
// the cells merged away hold no text (their text would be lost otherwise).
void DocumentBuilder::mergeCells(QTextTable *table)
{
    auto mergeOf = [this](size_t r, size_t c) -> uint8_t {
        const Row &row = m_rows[r];
        return c < row.def.merge.size() && c < row.cells.size() ? row.def.merge[c] : 0;
    };
    auto isBlank = [this](size_t r, size_t c) {
        const Row &row = m_rows[r];
        if (c >= row.cells.size())
            return true;
        for (const StoredParagraph &p : row.cells[c].paragraphs)
            if (!p.content.isEmpty())
                return false;
        return true;
    };
    for (size_t r = 0; r < m_rows.size(); ++r) {
        for (size_t c = 0; c < m_rows[r].cells.size(); ++c) {
            const uint8_t m = mergeOf(r, c);
            size_t colSpan = 1, rowSpan = 1;
            if (m & RowDef::MergeFirst)
                while (c + colSpan < m_rows[r].cells.size() && (mergeOf(r, c + colSpan) & RowDef::Merged)
                       && isBlank(r, c + colSpan))
                    ++colSpan;
            if (m & RowDef::VMergeFirst)
                while (r + rowSpan < m_rows.size() && (mergeOf(r + rowSpan, c) & RowDef::VMerged)
                       && isBlank(r + rowSpan, c))
                    ++rowSpan;
            if (colSpan == 1 && rowSpan == 1)
                continue;
            // Qt leaves a table inconsistent when merged areas overlap.
            bool free = true;
            for (size_t rr = r; rr < r + rowSpan && free; ++rr)
                for (size_t cc = c; cc < c + colSpan && free; ++cc) {
                    const QTextTableCell cell = table->cellAt(int(rr), int(cc));
                    free = cell.row() == int(rr) && cell.column() == int(cc) && cell.rowSpan() == 1
                           && cell.columnSpan() == 1;
                }
            if (free)
                table->mergeCells(int(r), int(c), int(rowSpan), int(colSpan));
        }
    }
}

void DocumentBuilder::fillCell(QTextCursor &cursor, const Cell &cell)
{
    for (size_t i = 0; i < cell.paragraphs.size(); ++i) {
        const StoredParagraph &p = cell.paragraphs[i];
        const BlockSpec &s = m_specs[size_t(p.spec)];
        if (i == 0) {
            cursor.setBlockFormat(s.format);
            if (p.content.isEmpty())
                setMark(cursor, m_charFormats[size_t(p.markFormat)]);
        } else {
            cursor.insertBlock(s.format, m_charFormats[size_t(p.markFormat)]);
        }
        attachToList(cursor, p.spec);
        insertRuns(cursor, p.content);
    }
    m_lastList = nullptr;
}

} // namespace Rtf
