#pragma once

#include "document/PlainText.h"

#include <QByteArray>
#include <QString>

// The file coding of a document, numbered like the save dialog's filters.
enum FileCoding : int {
    fcRichText = 1, fcAnsiText, fcAllFiles, fcHtml, fcPhp, fcPerl, fcUtf8, fcUtf16LE, fcUtf16BE
};

namespace FileCodings {

// The save dialog's filter list, in coding order.
QString saveFilter();
// The frame's open dialog filter list (codings 1 to 6).
QString openFilter();
// The caption of one filter ("UTF8 (Unicode) text (*.txt)").
QString filterCaption(int coding);

struct ExtensionCoding {
    int coding;
    bool languageFile = false;   // ".lg" plus at most two characters: shown unwrapped
};
// The coding the extension gives, in lower case, a later rule overriding an
// earlier one; other extensions keep current.
ExtensionCoding fromExtension(const QString &fileName, int current);

// The extension with its dot ("" when none): the text after the last dot of
// the file name part.
QString extension(const QString &fileName);

// report.txt gives report.~txt; a name without extension gets ".~".
QString backupName(const QString &fileName);

// What a file's bytes become before they are streamed into the editor.
struct LoadPlan {
    int coding = fcAnsiText;
    // Stream the bytes in the editor's default mode (rich text when RTF,
    // else plain text in the ANSI code page or UTF-8 after a mark)…
    bool streamDefault = true;
    // …or read them as this plain text.
    PlainText::EncodedText text;
};
LoadPlan planLoad(const QByteArray &bytes, int coding, int selectedCodePage, int ansiCodePage);

} // namespace FileCodings
