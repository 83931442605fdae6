#pragma once

#include <QString>
#include <QStringList>

// Interface language files ("*.lgtx"): 217 lines of text in the ANSI code
// page, the first exactly the version header.
namespace LanguageFile {

enum class Status { Ok, Missing, Invalid };

struct Result {
    Status status = Status::Missing;
    QStringList lines;
};

Result read(const QString &path);
// True when lines are a language file of this version.
bool isValid(const QStringList &lines);

} // namespace LanguageFile
