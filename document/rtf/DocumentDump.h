#pragma once

#include <QString>

class QTextDocument;

// Canonical text forms of a document, for comparing documents in tests and
// tools: two documents with equal dumps hold the same text, formats,
// paragraphs, pictures and tables.
namespace DocumentDump {

// Every block in document order (tables cell by cell) with its paragraph
// values, then its runs with their character formats; pictures by display
// size and content hash.
QString dump(const QTextDocument &document);

struct TextOptions {
    // Replace the result of each field other than a link by one U+E000,
    // and put the text of text boxes between U+E001 and U+E002 (text that
    // readers place elsewhere or leave out).
    bool markFields = false;
};

// The text as shown: one line per paragraph or table cell, line breaks as
// newlines, pictures left out, kept objects as the text they stand for (a
// footnote's number, a text box's text).
QString plainText(const QTextDocument &document, const TextOptions &options = {});

} // namespace DocumentDump
