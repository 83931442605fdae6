#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What the command line asks for, argument by argument: existing files are
// opened, other names longer than four characters become new documents saved
// under that name, and "/s", "/n" and "/rs" switch things.
struct CommandLineStep {
    enum Kind { OpenFile, NewNamedFile, NoFinishMessage, NoDocument, ReplaceAfterLoad, Ignore };
    Kind kind;
    QString argument;
};

namespace CommandLine {
QList<CommandLineStep> plan(const QStringList &arguments, const std::function<bool(const QString &)> &fileExists);
}
