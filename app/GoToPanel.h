#pragma once

#include <QWidget>

class QSpinBox;
class QToolButton;

// The go-to-line panel: a line number field, its go button and four line
// bookmarks. Right-clicking a bookmark stores the caret's line in it (the
// frame supplies the line); clicking it goes there.
class GoToPanel : public QWidget
{
    Q_OBJECT

public:
    explicit GoToPanel(QWidget *parent = nullptr);

    QSpinBox *lineNoEdit() const { return m_lineNo; }
    QToolButton *goButton() const { return m_go; }
    QToolButton *bookmark(int index) const { return m_bookmarks.value(index); }
    // Stores the zero-based line in the bookmark (the caption shows line + 1)
    // and reveals the next bookmark when the panel grows.
    void setBookmark(int index, int zeroBasedLine);
    int glyphCount(int index) const;
    void setGoHint(const QString &hint);

    // Supplies the caret's zero-based line for a right-clicked bookmark;
    // answers -1 when no document is open.
    std::function<int()> caretLine;

signals:
    // Zero-based line to go to.
    void goToLineRequested(int line);

private:
    void bookmarkClicked(int index);

    QSpinBox *m_lineNo;
    QToolButton *m_go;
    QList<QToolButton *> m_bookmarks;
    QString m_goHint;
};
