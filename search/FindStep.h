#pragma once

#include "search/TextMatcher.h"

#include <QString>

#include <optional>

class DocumentCore;

// One Find Next of the find and replace dialogs, from the document's
// selection: forward from its end (or from its start while the selection may
// itself be the first match), backward from its start. In case-mismatch mode
// matches whose letter case equals the search text are passed over.
struct FindStep {
    QString text;        // as the dialog holds it; paragraph ends as CR LF
    bool down = true;
    bool fromSelectionStart = false;
    SearchOptions options;

    // The match; passedOver, when given, gets the last exact-case match passed
    // over (the editor leaves such a match selected when nothing follows it).
    std::optional<TextRange> run(const DocumentCore &core, std::optional<TextRange> *passedOver = nullptr) const;
};
