#pragma once

#include "format/ToolProgress.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <vector>

// Sorting lines by a locale's case-sensitive collation (ICU, tertiary
// strength: lines that differ only in case stay apart). Lines are views into
// one text, so sorting a large document copies its text once, not per line.
namespace LineSort {

// Lines of text split at U+2029 and at CR, LF and CR LF.
std::vector<QStringView> splitLines(QStringView text, const ToolPhase &phase = {});

// Sorts the lines in place, ascending; descending is exactly the reverse.
// Returns false (lines unchanged) when no collator opens for the locale.
// Progress goes to phase, from this thread only.
bool sort(std::vector<QStringView> &lines, const QLocale &locale, bool descending, const ToolPhase &phase = {});

} // namespace LineSort
