#include "bench/BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <cstdio>

UserInteraction::Button BenchUserInteraction::message(const Message &message)
{
    if (message.icon == Icon::Error) {
        ++errors;
        std::fprintf(stderr, "error: %s\n", qPrintable(message.text));
    }
    return message.defaultButton;
}

UserInteraction::FileAnswer BenchUserInteraction::chooseFiles(const FileRequest &request)
{
    if (fileAnswers.isEmpty())
        return {false, {}, request.filterIndex};
    return fileAnswers.takeFirst();
}

void printJson(const QJsonObject &object)
{
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

int usage(const char *synopsis)
{
    std::fprintf(stderr, "usage: quilmar-bench %s\n", synopsis);
    return 2;
}

int runSelf(const QStringList &args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForStarted() || !child.waitForFinished(-1))
        return 1;
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}
