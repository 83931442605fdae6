#pragma once

#include <QByteArray>

class QTextDocument;

struct RtfWriteOptions {
    int ansiCodePage = 1252;
    int from = 0;              // character range written (selection streams)
    int to = -1;               // -1: to the end of the document
    bool noObjects = false;    // pictures and objects left out
    bool plainRtf = false;     // only the keywords common to all RTF readers
};

// Writes a document, or a range of it, as RTF the way RichEdit writes it:
// {\rtf1\ansi\ansicpg…\deff0 with font and colour tables, \uc1 and \uN?
// for characters outside the code page. Numbered paragraphs name a Word
// list of their own (\ls, one per document list) with the number as
// \listtext; plain RTF numbers in the old \pn form instead. Groups the
// reader kept go back where they were, links and other fields as \field
// groups, pictures with their
// original bytes when they have them (PNG otherwise), objects around their
// results, tables as \trowd … \row. plainRtf leaves out language words and
// the generator; noObjects leaves out pictures and object data (an object's
// result text stays).
class RtfWriter
{
public:
    QByteArray write(const QTextDocument &document, const RtfWriteOptions &options = {});
};
