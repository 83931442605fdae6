#pragma once

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextBlock>

class QTextDocument;

// A document layout for large plain documents: only the paragraphs that are
// shown (or asked about) are laid out, the others count as their estimated
// number of lines. Positions come from the document's own running line
// count, so scrolling anywhere, going to the end and editing cost the same
// on a 100 MB file as on a small one.
//
// Every paragraph takes whole rows of the default line height; a paragraph
// with bigger text takes as many rows as it needs. Tables are not laid out
// here: documents holding them use Qt's own layout.
class LazyDocumentLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit LazyDocumentLayout(QTextDocument *document);
    ~LazyDocumentLayout() override;

    // True when the document has nothing this layout cannot show (tables, frames).
    static bool suits(const QTextDocument *document);
    // Rows a paragraph of length characters is expected to take at width
    // pixels, for documents built before they are shown.
    static int estimatedRows(int length, qreal averageCharWidth, qreal width);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    qreal rowHeight() const { return m_rowHeight; }
    // Lays out every paragraph of [from, to) now (tests and exact sizes).
    void layoutRange(int from, int to) const;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    qreal textWidth() const;
    bool wraps() const;
    qreal blockTop(const QTextBlock &block) const;
    QTextBlock blockAtY(qreal y) const;
    // Lays the paragraph out unless it is; answers whether its row count
    // changed. A huge paragraph is started and grows in slices meanwhile.
    bool ensureLaidOut(const QTextBlock &block) const;
    // Where the lines of a paragraph being laid out have got to.
    struct LineRun {
        qreal available = 0;
        qreal y = 0;
        qreal widest = 0;
        bool first = true;
    };
    void layoutBlock(const QTextBlock &block) const;
    LineRun beginBlock(const QTextBlock &block) const;
    // Adds lines for at most budgetMs (-1: all); true when the paragraph is done.
    bool addLines(const QTextBlock &block, LineRun &run, int budgetMs) const;
    void endBlock(const QTextBlock &block, const LineRun &run) const;
    void startGrowing(const QTextBlock &block, qreal width) const;
    void growSlice();
    void drawListMarker(QPainter *painter, const QTextBlock &block, const QPointF &origin) const;
    void updateRowHeight();
    // The text's length and what besides the text decides how paragraphs are laid out.
    static QString layoutSettings(const QTextDocument *doc);

    qreal m_rowHeight = 16;
    mutable qreal m_maxWidth = 0;
    // Width each laid-out paragraph was laid out at (-1: unwrapped), by the
    // fragment index of its block; anything else is laid out when needed.
    mutable QHash<int, qreal> m_laidOutWidths;
    QObject *m_imageHandler;
    // layoutSettings() as of the last edit or full reset.
    QString m_settings;
    // Huge paragraphs being laid out a slice per turn of the event loop, so
    // that no turn holds the window for long; by fragment index of the block.
    struct Growing {
        QTextBlock block;
        qreal width = 0;
        LineRun run;
    };
    mutable QHash<int, Growing> m_growing;
    void finishGrowing(int fragment) const;
};
