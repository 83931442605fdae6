#pragma once

#include <QColor>
#include <QList>
#include <QTextLayout>

class QTextBlock;
class QTextDocument;

// How hidden and disabled text look in any layout of a document: hidden
// text takes no room, disabled text is greyed. Both are character
// properties of the document; every layout, the screen's and a page
// layout's for printing or PDF, applies these ranges to its paragraphs.
namespace TextAppearance {

// Ranges of a paragraph to draw differently, relative to its start.
QList<QTextLayout::FormatRange> rangesFor(const QTextBlock &block, const QColor &disabledColor);

// True when the document holds hidden or disabled text at all.
bool hasSpecialText(const QTextDocument &document);

// True when a paragraph is hidden with its end, so that it takes no line:
// all its text is hidden and so is its mark (the format a paragraph's own
// mark is read with from RTF), or, for a paragraph with text, the paragraph
// end that follows the text (where a selection across the end puts it).
bool isWhollyHidden(const QTextBlock &block);

// Prepares a document that only a page layout uses: hidden characters are
// replaced by ones that draw nothing, the ranges are applied to every
// paragraph and wholly hidden paragraphs take no line. Positions stay those
// of the text, hidden characters included.
void applyForLayout(QTextDocument &document, const QColor &disabledColor = Qt::gray);

// A copy of the document prepared by applyForLayout. The caller owns it.
QTextDocument *cloneForLayout(const QTextDocument &document, const QColor &disabledColor = Qt::gray);

} // namespace TextAppearance
