#pragma once

// Where a document window stands in find and replace; each window keeps its own.
struct SearchState {
    // What Find Next repeats.
    enum class Kind { None, Find, Replace, ReplaceDialogFind };
    Kind lastKind = Kind::None;
    // The next replace search starts at the selection's start, so a selected match is taken first.
    bool firstReplaceSearch = false;
    // "Yes to all" was answered in this replace run.
    bool replaceAllConfirmed = false;
    bool lastSearchFailed = false;
};
