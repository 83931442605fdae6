#pragma once

#include "document/TextProperties.h"

#include <QList>
#include <QTextBlockFormat>
#include <QTextListFormat>

class QTextBlock;
class QTextCursor;

// A paragraph's format in RichEdit's terms (twips), and its mapping onto
// QTextDocument's blocks and lists. The RTF engine and the editor's paragraph
// attributes both go through here so that they agree.
//
// FirstIndent is the first line's indent from the left margin; LeftIndent the
// indent of the other lines relative to the first (RTF: \li = first + left,
// \fi = -left). A numbered paragraph has its number at FirstIndent and its
// text at FirstIndent + LeftIndent.
struct ParagraphValues {
    Qt::Alignment alignment = Qt::AlignLeft;
    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    NumberingKind numbering = NumberingKind::None;
    int numberingStart = 1;
    int numberingStyle = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacingRule = 0; // 0 single, 1 one and a half, 2 double, 3 at least, 4 exactly, 5 multiple
    int lineSpacing = 0;     // twips (rule 5: twentieths of a line)
    QList<int> tabs;         // twips from the left margin

    bool operator==(const ParagraphValues &o) const;
};

namespace ParagraphFormat {

ParagraphValues read(const QTextBlock &block);

// Indents of a block format; numbered says where the number goes.
void setIndents(QTextBlockFormat &format, int firstTwips, int leftTwips, int rightTwips, bool numbered);
int firstIndentTwips(const QTextBlockFormat &format, bool numbered);
int leftIndentTwips(const QTextBlockFormat &format, bool numbered);
int rightIndentTwips(const QTextBlockFormat &format);

void setLineSpacing(QTextBlockFormat &format, int rule, int twips);
void setTabs(QTextBlockFormat &format, const QList<int> &twips);

QTextListFormat::Style listStyle(NumberingKind kind);
NumberingKind numberingKind(QTextListFormat::Style style);
QTextListFormat listFormat(NumberingKind kind, int start, int style);

// Gives every paragraph touched by the cursor the numbering kind; None takes
// the paragraphs out of their lists. Adjacent paragraphs of one kind share a list.
void applyNumbering(QTextCursor &cursor, NumberingKind kind, int start, int style);

// Writes all of values into the block format (and the list of the cursor's
// block when numbered); the cursor's block gets the result.
void apply(QTextCursor &cursor, const ParagraphValues &values);

} // namespace ParagraphFormat
