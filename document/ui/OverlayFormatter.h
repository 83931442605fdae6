#pragma once

#include <QList>
#include <QTextLayout>

class QTextBlock;
class QTextEdit;

// Formats drawn over the document without changing it: detected links,
// hidden text (shrunk to nothing) and disabled text (greyed). Works on the
// paragraphs on screen and on edited ones only, so large documents cost
// nothing for it.
class OverlayFormatter
{
public:
    explicit OverlayFormatter(QTextEdit *editor) : m_editor(editor) {}

    void setDetectLinks(bool on) { m_detectLinks = on; }
    bool detectLinks() const { return m_detectLinks; }

    // Brings the paragraphs now on screen up to date.
    void refreshVisible();
    // Brings the paragraphs touching [position, position + length) up to date.
    void refreshRange(int position, int length);
    // Forgets what was done (after a new document or a switch of detection).
    void invalidate();

    // Links found by detection in a paragraph's text: (start, length) pairs.
    static QList<QPair<int, int>> findLinks(const QString &text);

private:
    void refreshBlock(QTextBlock block, bool force);
    QList<QTextLayout::FormatRange> rangesFor(const QTextBlock &block) const;

    QTextEdit *m_editor;
    bool m_detectLinks = false;
    int m_generation = 1;
};
