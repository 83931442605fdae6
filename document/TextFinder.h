#pragma once

#include <QString>

class QTextDocument;

// Text search in a document over a range of positions [lo, hi]: a match lies
// wholly inside the range. A carriage return in the text matches the end of
// a paragraph, so copied line breaks are found. Backward finds the match
// nearest to hi.
namespace TextFinder {
int find(const QTextDocument &document, const QString &text, int lo, int hi, bool backward,
         Qt::CaseSensitivity cs, bool wholeWord);
}
