#pragma once

#include "platform/HelpEngine.h"
#include "document/ui/MDIEdit.h"
#include "app/MDIFrame.h"
#include "RecordingShell.h"
#include "ScriptedUserInteraction.h"
#include "document/ui/TRichTextEdit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class RecordingHelp : public HelpEngine
{
public:
    QStringList requests;
    bool showContents(const QString &helpFile) override
    {
        requests << helpFile;
        return QFileInfo::exists(helpFile);
    }
};

// A frame in a program folder of its own, with scripted dialogs and a
// recording shell. Settings lines can be written before the frame starts.
struct FrameFixture {
    QTemporaryDir dir;
    ScriptedUserInteraction ui;
    RecordingShell shell;
    RecordingHelp help;
    int instances = 1;
    Registry *registry = nullptr; // none: no file types, no spelling languages
    std::unique_ptr<TFrameForm> frame;

    // Nothing may ask to save while the fixture goes away.
    ~FrameFixture() { discardChanges(); }

    void discardChanges()
    {
        if (frame)
            for (TEditForm *f : frame->documents())
                f->Editor()->setModified(false);
    }

    QString programDir() const { return dir.path() + QLatin1Char('/'); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path(name);
    }

    void writeSettings(const QStringList &lines) const
    {
        writeFile(QStringLiteral("Quilmar.ini"), lines.join(QLatin1String("\r\n")).toLatin1() + "\r\n");
    }

    // Creates and shows the frame; waits until the command line was processed.
    TFrameForm *start(const QStringList &arguments = {QStringLiteral("/n")})
    {
        FrameServices services;
        services.userInteraction = &ui;
        services.shell = &shell;
        services.help = &help;
        services.instanceCount = [this] { return instances; };
        services.programDir = programDir();
        services.registry = registry;
        services.arguments = arguments;
        frame = std::make_unique<TFrameForm>(services);
        frame->applyStartLanguage();
        bool started = false;
        QObject::connect(frame.get(), &TFrameForm::startupFinished, [&started] { started = true; });
        frame->show();
        if (!QTest::qWaitFor([&started] { return started; }, 5000))
            qWarning("the frame did not finish starting");
        return frame.get();
    }

    QByteArray settingsFile() const
    {
        QFile f(path(QStringLiteral("Quilmar.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
