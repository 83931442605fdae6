#pragma once

#include "print/PageGeometry.h"

#include <QList>
#include <QString>

#include <functional>

class QPrinter;
class QTextDocument;

// What one print of a document asks for.
struct PrintRequest {
    QString title;          // the job's title: the document's file name
    PageMargins margins;
    int first = 1;          // 1-based
    int last = -1;          // -1: to the end
    int parity = 0;         // 0 all, 1 odd, 2 even pages
    bool pageNumbers = false;
    // Print characters [selectionFrom, selectionTo) instead; odd/even and page
    // numbers do not apply to a selection.
    bool selection = false;
    int selectionFrom = 0;
    int selectionTo = 0;
};

struct PrintResult {
    enum Status { Printed, NothingToPrint, Cancelled, Failed };
    Status status = Failed;
    QList<int> pages;       // the document pages that came out, in order
    QString error;          // the system's reason for a failure, when it gave one
};

// Prints a document on a printer set up by the caller (its page size and
// resolution; full-page mode is switched on here). A PDF printer writes to a
// temporary file beside its output file, renamed over it only when the job
// succeeded, so a failed or cancelled job leaves the user's file as it was.
// proceed, when given, is asked before each sheet (its 0-based index); false
// cancels the job.
PrintResult printDocument(const QTextDocument &document, QPrinter &printer, const PrintRequest &request,
                          const std::function<bool(int sheet)> &proceed = {});

// The geometry of the printer's paper at its resolution with margins.
PageGeometry printerGeometry(const QPrinter &printer, const PageMargins &margins);
