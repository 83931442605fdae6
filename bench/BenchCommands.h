#pragma once

#include <QStringList>

// Subcommands of quilmar-bench. Each takes the arguments after its name,
// prints one JSON object per line and returns the process exit code.
namespace Bench {
int load(const QStringList &args);
int loadOneCommand(const QStringList &args);
int text(const QStringList &args);
int save(const QStringList &args);
int startup(const QStringList &args);
int gen(const QStringList &args);
int rtfRead(const QStringList &args);
int rtfWrite(const QStringList &args);
int rtfGenerate(const QStringList &args);
} // namespace Bench
