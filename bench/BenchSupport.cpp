#include "bench/BenchSupport.h"

#include "app/MDIFrame.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

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

BenchFrame::BenchFrame(int codePage)
{
    FrameServices services;
    services.userInteraction = &ui;
    services.shell = &shell;
    services.programDir = dir.path() + u'/';
    services.arguments = {QStringLiteral("/n")};
    frame = std::make_unique<TFrameForm>(services);
    frame->resize(1000, 700);
    bool started = false;
    QObject::connect(frame.get(), &TFrameForm::startupFinished, [&started] { started = true; });
    frame->show();
    QElapsedTimer t;
    t.start();
    while (!started && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (codePage > 0) {
        QComboBox *box = frame->codePageComboBox();
        box->setCurrentIndex(box->findData(codePage));
    }
}

BenchFrame::~BenchFrame()
{
    for (TEditForm *f : frame->documents())
        f->Editor()->setModified(false);
}

bool loadAndWait(TEditForm *form, const QString &file)
{
    bool loaded = false;
    QEventLoop loop;
    const auto connection = QObject::connect(form, &TEditForm::documentLoaded, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    const bool started = form->LoadDocument(QFileInfo(file).absoluteFilePath(), false);
    if (started && form->Loading())
        loop.exec();
    QObject::disconnect(connection);
    return started && loaded;
}
