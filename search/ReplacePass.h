#pragma once

#include "search/TextMatcher.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>

class DocumentCore;
class QTextDocument;

// Replace All as one pass over a document: every match from a position to
// the end, found by the same rules as stepping with Find Next (the search
// resumes behind each replacement, protected matches the core refuses and
// exact-case matches in case-mismatch mode are passed over), so the text
// equals what replacing one match at a time gives. All edits are one undo
// step. The pass works in slices so the caller can keep the event loop
// running; any other change of the document ends it where it stands.
class ReplacePass
{
public:
    // from: document position the search resumes at. joinPrevious: the
    // edit just before (the first replacement, made by the caller) belongs
    // to the same undo step.
    ReplacePass(DocumentCore &core, const QString &searchText, const QString &replacement,
                const SearchOptions &options, int from, bool joinPrevious = false);
    ~ReplacePass();
    ReplacePass(const ReplacePass &) = delete;
    ReplacePass &operator=(const ReplacePass &) = delete;

    // Replaces for about budgetMs (a negative budget: to the end); true when the pass is over.
    bool run(qint64 budgetMs = -1);
    void cancel() { m_done = true; }
    bool isDone() const { return m_done; }
    // The document was changed by someone else, or went away, during the pass.
    bool wasInterrupted() const { return m_interrupted; }
    int replacements() const { return m_replacements; }
    int percent() const;
    // The selection stepping would have left: the caret behind the last
    // replacement, or the last match passed over after it.
    TextRange selection() const { return m_selection; }
    // Puts that selection into the core.
    void placeSelection();
    // Characters of the document copied at a time for matching (tests use
    // small pieces to try the seams).
    void setChunk(int characters) { m_chunk = qMax(2, characters); }

private:
    void readMore(QTextDocument *doc);

    QPointer<DocumentCore> m_core;
    QString m_raw;
    QString m_replacement;
    TextMatcher m_matcher;
    QMetaObject::Connection m_watch;
    int m_source = 0;        // raw-text position the search resumes at
    int m_rawSize = 0;       // length of the raw text to match, without the final paragraph end
    int m_chunk = 1 << 20;   // the raw text is copied piece by piece as matching reaches it
    int m_delta = 0;         // document position minus raw-text position from m_source on
    QChar m_before;          // character in front of m_source in the document, when edited
    TextRange m_selection;
    int m_replacements = 0;
    QTextDocument *m_document = nullptr; // compared only, never used
    int m_revision = 0;
    int m_count = 0;
    bool m_caseMismatch;
    bool m_hasProtected = false;
    QChar m_lastOfReplacement;
    bool m_joinNext;
    bool m_applying = false;
    bool m_done = false;
    bool m_interrupted = false;
    // Closing a slice's edit block lays out the edited span again (and moves
    // what follows). The span a slice may edit follows the layout times seen.
    int m_spanLimit = 100000;
};
