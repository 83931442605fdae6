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
int rtfGenerate(const QStringList &args);
// Times the office speller over generated text: proofing [--language N] [--mb MB].
int proofingCommand(const QStringList &args);
int ispellCommand(const QStringList &args);
int ispellGenCommand(const QStringList &args);
int printCommand(const QStringList &args);
int previewCommand(const QStringList &args);
// Times WYSIWYG on and off on a loaded file: wysiwyg FILE.
int wysiwygCommand(const QStringList &args);
} // namespace Bench
