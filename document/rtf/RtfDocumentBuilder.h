#pragma once

#include "document/rtf/RtfReaderState.h"
#include "document/KeptContent.h"
#include "document/TextProperties.h"

#include <QHash>
#include <QImage>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextList;
class QTextTable;

namespace Rtf {

// A paragraph format as the document holds it, with its numbering.
struct BlockSpec {
    QTextBlockFormat format;
    NumberingKind numbering = NumberingKind::None;
    int start = 1;
    int style = 0;
    int listKey = -1;        // Word list (\ls, \ilvl) it belongs to; -1 old-style
    int keptOverride = -1;   // its \ls in the list tables kept with the document
    // A bullet other than "•": its character and the font that draws it
    // (symbol fonts hold it as U+F000 + its byte).
    QString bullet;
    QString bulletFont;
    int bulletCharset = -1;
    int bulletNfc = 23;
};

// Cell boundaries and merge marks of one table row (\trowd … \cellx).
struct RowDef {
    enum Merge : uint8_t { None = 0, MergeFirst = 1, Merged = 2, VMergeFirst = 4, VMerged = 8 };
    std::vector<int> cellx;  // right edges in twips
    std::vector<uint8_t> merge;
};

// Where the parser's paragraphs, rows and formats go: a DocumentBuilder, or
// a queue to one on another thread. Formats are numbered in the order they
// are added.
class BuildSink
{
public:
    virtual ~BuildSink() = default;
    virtual int addCharFormat(const QTextCharFormat &format) = 0;
    virtual int addBlockSpec(const BlockSpec &spec) = 0;
    // A paragraph ended by a paragraph mark (\par); inTable: it lies in a cell.
    // Each of these takes p's content and leaves p empty.
    virtual void endParagraph(Paragraph &p, int spec, int markFormat, bool inTable) = 0;
    virtual void endCell(Paragraph &p, int spec, int markFormat) = 0;
    virtual void endRow(const RowDef &def) = 0;
    // The end of the data: p holds what followed the last paragraph mark.
    virtual void finish(Paragraph &p, int spec, int markFormat) = 0;
    virtual void addImage(const QString &name, const QImage &image) = 0;
    // RTF the document keeps for writing back (see KeptContent).
    virtual void keepDocumentGroups(const QByteArray &rtf) = 0;
    virtual void keepListTables(const KeptContent::ListTables &tables) = 0;
};

// Builds the document at a cursor from finished paragraphs and table rows,
// with as few cursor operations as it can: one insertText per run of equal
// format and one insertBlock per paragraph. Tables are collected whole and
// inserted once their last row is read.
class DocumentBuilder : public BuildSink
{
public:
    explicit DocumentBuilder(QTextCursor &cursor);

    QTextDocument *document() const { return m_cursor.document(); }
    int addCharFormat(const QTextCharFormat &format) override;
    int addBlockSpec(const BlockSpec &spec) override;
    void endParagraph(Paragraph &p, int spec, int markFormat, bool inTable) override;
    void endCell(Paragraph &p, int spec, int markFormat) override;
    void endRow(const RowDef &def) override;
    void finish(Paragraph &p, int spec, int markFormat) override;
    void addImage(const QString &name, const QImage &image) override;
    void keepDocumentGroups(const QByteArray &rtf) override;
    void keepListTables(const KeptContent::ListTables &tables) override;

private:
    struct StoredParagraph {
        Paragraph content;
        int spec;
        int markFormat;
    };
    struct Cell {
        std::vector<StoredParagraph> paragraphs;
    };
    struct Row {
        std::vector<Cell> cells;
        RowDef def;
    };
    // Where the next paragraph goes: into the block at the cursor (the
    // first paragraph, and the empty block after a table) or a new block.
    enum class Next { SameBlock, NewBlock };

    void emitParagraph(const Paragraph &p, int spec, int markFormat, bool ended);
    void insertRuns(QTextCursor &cursor, const Paragraph &p);
    void attachToList(QTextCursor &cursor, int spec);
    void flushTable();
    void insertTable();
    void mergeCells(QTextTable *table);
    void fillCell(QTextCursor &cursor, const Cell &cell);

    QTextCursor &m_cursor;
    Next m_next = Next::SameBlock;
    bool m_restOfBlockEmpty = true;
    QTextBlockFormat m_originalBlockFormat;
    std::vector<QTextCharFormat> m_charFormats;
    std::vector<BlockSpec> m_specs;

    // Lists: the old-style list of the previous paragraph, and Word lists by key.
    QTextList *m_lastList = nullptr;
    NumberingKind m_lastListKind = NumberingKind::None;
    int m_lastListStart = 0;
    int m_lastListStyle = 0;
    QHash<int, QTextList *> m_wordLists;

    std::vector<Row> m_rows;
    Row m_row;
    Cell m_cell;
};

} // namespace Rtf
