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

// A copy of the document for laying out pages, with the ranges applied to
// every paragraph. The caller owns it.
QTextDocument *cloneForLayout(const QTextDocument &document, const QColor &disabledColor = Qt::gray);

} // namespace TextAppearance
