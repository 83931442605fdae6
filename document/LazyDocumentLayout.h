#pragma once

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextBlock>

class QTextDocument;
class QTextTable;

// A document layout for large documents: only the paragraphs that are
// shown (or asked about) are laid out, the others count as their estimated
// number of lines. Positions come from the document's own running line
// count, so scrolling anywhere, going to the end, editing and formatting
// everything cost the same on a 100 MB file as on a small one.
//
// Heights are counted in steps of a quarter of the default line height
// (the document's line count of a paragraph is its steps), so a paragraph
// with bigger text or spacing leaves no more than a quarter line free below
// it. A table is laid out as
// a whole when any part of it is needed; its first paragraph carries the
// steps of the whole table and its other paragraphs none. Tables within
// tables and other frames are not laid out here: documents holding them use
// Qt's own layout.
class LazyDocumentLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit LazyDocumentLayout(QTextDocument *document);
    ~LazyDocumentLayout() override;

    // True when the document has nothing this layout cannot show (frames
    // other than tables, tables within tables).
    static bool suits(const QTextDocument *document);
    // Rows a paragraph of length characters is expected to take at width
    // pixels, for documents built before they are shown.
    static int estimatedRows(int length, qreal averageCharWidth, qreal width);
    // Sets every paragraph's expected steps (a table: a row per table row).
    static void estimateRows(QTextDocument *document, qreal averageCharWidth, qreal width);
    // For a document no one shows yet, on any thread: does the slow start of
    // laying out each huge paragraph, Qt's classification of every one of its
    // characters (a third of a second for 5 MB). The layout goes on from
    // there when the paragraph is first shown, unless it changed meanwhile.
    static void prepareHugeParagraphs(QTextDocument *document);
    // The same for a paragraph of a document that is shown, in three steps:
    // readyToClassify() and markClassified() on the interface thread, with
    // classify() between them on any thread, while no one edits the document
    // or lays the paragraph out (see holdHugeParagraphs()). classify()
    // answers whether the paragraph has runs too long to break at words.
    static void readyToClassify(const QTextBlock &block);
    static bool classify(const QTextBlock &block);
    static void markClassified(const QTextBlock &block, bool longRun);
    // While held, huge paragraphs not begun are not laid out: they count
    // their estimated rows and show nothing.
    void holdHugeParagraphs(bool hold);
    // Huge paragraphs outside tables whose layout has not begun.
    QList<QTextBlock> hugeParagraphsToClassify() const;

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    // Paragraphs longer than this are laid out in slices of the event loop.
    static constexpr int HugeParagraph = 200000;
    // Steps of height a row of the default font takes.
    static constexpr int StepsPerRow = 4;
    qreal rowHeight() const { return m_rowHeight; }
    // Lays out every paragraph of [from, to) now (tests and exact sizes).
    void layoutRange(int from, int to) const;
    // Gives each new paragraph of [from, to] its row now. An edit over a
    // million paragraphs does that as it goes, in the pieces it shows
    // progress between, rather than all at once when it is reported.
    void countRows(int from, int to) const;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // Where a table's cells and paragraphs lie, from the table's top left.
    struct TableBox {
        qreal laidOutAt = -1; // the width it was laid out for; -1: to lay out
        qreal left = 0;       // from the left edge of the text
        QSizeF size;
        QList<qreal> columnX; // the left edge of each column's cells, and the right end
        QList<qreal> rowY;    // the top edge of each row's cells, and the bottom end
        QHash<int, QRectF> blocks; // by fragment index: each paragraph's origin and size
    };

    qreal textWidth() const;
    bool wraps() const;
    qreal blockTop(const QTextBlock &block) const;
    QTextBlock blockAtY(qreal y) const;
    // Lays the paragraph out unless it is; answers whether its step count
    // changed. A huge paragraph is started and grows in slices meanwhile.
    bool ensureLaidOut(const QTextBlock &block) const;
    // Where the lines of a paragraph being laid out have got to.
    struct LineRun {
        qreal available = 0;
        qreal y = 0;
        qreal widest = 0;
        bool first = true;
        bool prepared = false; // the first line was begun by prepareHugeParagraphs()
    };
    // The width paragraphs outside tables wrap at (0: no wrapping).
    qreal columnWidth() const;
    void layoutBlock(const QTextBlock &block) const;
    // Starts laying out a paragraph in a column of width available (no
    // wrapping when 0); open: a huge one begun before and unchanged since.
    LineRun beginBlock(const QTextBlock &block, qreal available, bool open = false) const;
    // Adds lines for at most budgetMs (-1: all); true when the paragraph is done.
    bool addLines(const QTextBlock &block, LineRun &run, int budgetMs) const;
    // keepOpen: the layout stays begun, to be laid out again at another width.
    void endBlock(const QTextBlock &block, const LineRun &run, bool keepOpen = false) const;
    void startGrowing(const QTextBlock &block, qreal width) const;
    void growSlice();
    // countRows() for one paragraph; tables: whether the document has any.
    void countRow(QTextBlock block, bool tables) const;
    void finishGrowing(int fragment) const;
    // Lays a paragraph out whole in a column of width available (no wrapping
    // when 0); answers its height with the space above and below.
    qreal layoutText(const QTextBlock &block, qreal available, qreal *widest) const;
    QTextTable *tableOf(const QTextBlock &block) const;
    QTextBlock firstBlockOf(const QTextTable *table) const;
    QTextBlock blockAfter(const QTextTable *table) const;
    // Lays the table out unless it is; answers whether its step count changed.
    bool ensureTableLaidOut(QTextTable *table) const;
    void drawTable(QPainter *painter, QTextTable *table, const QPointF &origin, const PaintContext &context,
                   const QRectF &clip) const;
    void drawBlock(QPainter *painter, const QTextBlock &block, const QPointF &origin, qreal width,
                   const PaintContext &context, const QRectF &clip) const;
    int hitTestBlock(const QTextBlock &block, const QPointF &local, Qt::HitTestAccuracy accuracy) const;
    void drawListMarker(QPainter *painter, const QTextBlock &block, const QPointF &origin) const;
    void updateRowHeight();
    // The text's length and what besides the text decides how paragraphs are laid out.
    static QString layoutSettings(const QTextDocument *doc);

    qreal m_rowHeight = 16;
    qreal m_step = 4;
    mutable qreal m_maxWidth = 0;
    // Width each laid-out paragraph was laid out at (-1: unwrapped), by the
    // fragment index of its block; anything else is laid out when needed.
    mutable QHash<int, qreal> m_laidOutWidths;
    mutable QHash<const QTextFrame *, TableBox> m_tables;
    // Huge paragraphs being laid out a slice per turn of the event loop, so
    // that no turn holds the window for long; by fragment index of the block.
    struct Growing {
        QTextBlock block;
        qreal width = 0;
        LineRun run;
    };
    mutable QHash<int, Growing> m_growing;
    // Huge paragraphs grown whole and left begun (by fragment index): laid
    // out at another width, they keep Qt's classification of their text,
    // which beginning a layout again would redo (a second for 10 MB).
    mutable QSet<int> m_openHuge;
    bool m_holdHuge = false;
    // The text changed while held: [m_heldFrom, m_heldTo]; -1 when nothing.
    int m_heldFrom = -1;
    int m_heldTo = -1;
    QObject *m_imageHandler;
    // layoutSettings() as of the last edit or full reset.
    QString m_settings;
};
