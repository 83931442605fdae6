#pragma once

#include <QStringList>

// Subcommands of quilmar-bench. Each takes the arguments after its name,
// prints one JSON object per line and returns the process exit code.
namespace Bench {
int loadCommand(const QStringList &args);
int loadOneCommand(const QStringList &args);
int textCommand(const QStringList &args);
int saveCommand(const QStringList &args);
int startupCommand(const QStringList &args);
int genCommand(const QStringList &args);
int rtfRead(const QStringList &args);
int rtfWrite(const QStringList &args);
int rtfRoundTrip(const QStringList &args);
int rtfGenerate(const QStringList &args);
// An embedded file written and read: rtf-object [MB].
int rtfObject(const QStringList &args);
// Times the office speller over generated text: proofing [--language N] [--mb MB].
int proofingCommand(const QStringList &args);
int ispellCommand(const QStringList &args);
int ispellGenCommand(const QStringList &args);
int printCommand(const QStringList &args);
int previewCommand(const QStringList &args);
// Times one text tool on a loaded file: tool FILE sort|sort-down|join-all|upper|initial-caps|insert-space-column.
int toolCommand(const QStringList &args);
// The spell-check driver over a file, answering Skip to every error.
int spellCommand(const QStringList &args);
// Select all, Bold, then undo: format FILE --bold-all.
int formatCommand(const QStringList &args);
// 500 key presses, each timed to its paint: typing FILE [--at middle].
int typingCommand(const QStringList &args);
// Replace All through the frame with "Yes to all": replace FILE FIND REPLACEMENT [--whole-word] [--match-case].
int replaceCommand(const QStringList &args);
// English prose for replace: prose FILE CHARACTERS.
int proseCommand(const QStringList &args);
// Times WYSIWYG on and off on a loaded file: wysiwyg FILE.
int wysiwygCommand(const QStringList &args);
} // namespace Bench
