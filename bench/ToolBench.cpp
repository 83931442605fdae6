// Timings of the text tools: a file loaded as File > Open does, then one
// command through the document window's own handler.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "app/MDIFrame.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

int Bench::toolCommand(const QStringList &args)
{
    static const char *const synopsis = "tool FILE sort|sort-down|join-all|upper|initial-caps|insert-space-column";
    if (args.size() != 2)
        return usage(synopsis);
    const QString file = QFileInfo(args.at(0)).absoluteFilePath();
    const QString command = args.at(1);
    using Handler = void (TEditForm::*)();
    const QPair<const char *, Handler> handlers[] = {
        {"sort", &TEditForm::Sort1Click}, {"sort-down", &TEditForm::SortDown1Click},
        {"join-all", &TEditForm::JoinAll1Click}, {"upper", &TEditForm::UpperCase1Click},
        {"initial-caps", &TEditForm::InitialCaps1Click}, {"insert-space-column", &TEditForm::InsertSpace1Click},
    };
    Handler handler = nullptr;
    for (const auto &[name, h] : handlers)
        if (command == QLatin1String(name))
            handler = h;
    if (!handler)
        return usage(synopsis);

    QTemporaryDir dir;
    BenchUserInteraction ui;
    NullShell shell;
    FrameServices services;
    services.userInteraction = &ui;
    services.shell = &shell;
    services.programDir = dir.path() + u'/';
    services.arguments = {QStringLiteral("/n")};
    auto frame = std::make_unique<TFrameForm>(services);
    frame->resize(1000, 700);
    frame->show();
    TEditForm *form = frame->CreateDocumentWindow();
    form->showMaximized();
    QCoreApplication::processEvents();

    bool finished = false;
    bool loaded = false;
    QObject::connect(form, &TEditForm::documentLoaded, [&](bool ok) {
        finished = true;
        loaded = ok;
    });
    if (!form->LoadDocument(file, false)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(file));
        return 1;
    }
    QElapsedTimer wait;
    wait.start();
    while (!finished && wait.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!loaded)
        return 1;
    TRichTextEdit *editor = form->Editor();
    if (command == QLatin1String("insert-space-column")) {
        // The column at the start of every line; columns need word wrap off.
        if (editor->WordWrap())
            form->Wordwrap1Click();
        editor->select(0, editor->LineIndex(editor->LineCount() - 1));
    } else {
        editor->selectAll();
    }
    const int lines = editor->LineCount();
    const int before = editor->TextLength();

    // The longest time the event loop was not reached: a timer due every
    // 5 ms fires whenever the command lets events through (its progress
    // does). Due at once, it would spin and slow threads the command starts.
    QElapsedTimer t;
    qint64 lastVisit = 0;
    qint64 maxStall = 0;
    const auto visit = [&] {
        const qint64 now = t.nsecsElapsed();
        maxStall = qMax(maxStall, now - lastVisit);
        lastVisit = now;
    };
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, visit);
    int progressReports = 0;
    QObject::connect(form, &TEditForm::toolProgressed, [&progressReports] { ++progressReports; });
    probe.start();
    const double cpuStart = cpuSeconds();
    t.start();
    (form->*handler)();
    visit();
    const double seconds = t.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    probe.stop();
    // The first screen after it: the view lays out what it shows, without
    // the loop in between.
    editor->viewport()->grab();
    visit();
    const double screenSeconds = t.nsecsElapsed() / 1e9;
    const bool changed = editor->Modified();
    t.restart();
    editor->Undo();
    const double undoSeconds = t.nsecsElapsed() / 1e9;
    const bool restored = editor->TextLength() == before;
    printJson({
        {QStringLiteral("op"), QStringLiteral("tool")},
        {QStringLiteral("command"), command},
        {QStringLiteral("file"), args.at(0)},
        {QStringLiteral("lines"), lines},
        {QStringLiteral("characters"), before},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("cpu_seconds"), cpu},
        {QStringLiteral("first_screen_seconds"), screenSeconds},
        {QStringLiteral("max_stall_ms"), maxStall / 1e6},
        {QStringLiteral("progress_reports"), progressReports},
        {QStringLiteral("undo_seconds"), undoSeconds},
        {QStringLiteral("peak_rss_mb"), peakRssMb()},
        {QStringLiteral("ok"), changed && restored},
    });
    editor->setModified(false);
    return changed && restored ? 0 : 1;
}
