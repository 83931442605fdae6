// Timings of the document pipeline: loading as File > Open does, saving as
// Save as does, the start of the program, and the generated inputs.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "platform/CodePages.h"
#include "document/ui/MDIEdit.h"
#include "app/MDIFrame.h"
#include "document/ui/TRichTextEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <memory>

#include <sys/resource.h>
#include <time.h>

namespace {

int codePageOption(QStringList &args)
{
    const qsizetype i = args.indexOf(QStringLiteral("--codepage"));
    if (i < 0 || i + 1 >= args.size())
        return 0;
    const int cp = args.at(i + 1).toInt();
    args.remove(i, 2);
    return cp;
}

int intOption(QStringList &args, const QString &name, int fallback)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return fallback;
    const int value = args.at(i + 1).toInt();
    args.remove(i, 2);
    return value;
}

// Runs the event loop until the editor's layout has stopped growing; answers
// the time that took and the longest the loop was held up meanwhile.
QPair<double, double> waitForLayout(TRichTextEdit *editor, int quietMs)
{
    QElapsedTimer total;
    total.start();
    QElapsedTimer sinceChange;
    sinceChange.start();
    QAbstractTextDocumentLayout *layout = editor->document()->documentLayout();
    const auto connection = QObject::connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged,
                                             [&sinceChange] { sinceChange.restart(); });
    QElapsedTimer tick;
    tick.start();
    qint64 worstGap = 0;
    double finishedAt = 0;
    while (sinceChange.elapsed() < quietMs && total.elapsed() < 600000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        worstGap = qMax(worstGap, tick.restart());
        finishedAt = total.nsecsElapsed() / 1e9 - sinceChange.nsecsElapsed() / 1e9;
    }
    QObject::disconnect(connection);
    return {qMax(0.0, finishedAt), double(worstGap)};
}

// CPU seconds of the whole process and of the calling thread so far.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Notes when a widget has painted a document with text in it.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *widget, TRichTextEdit *editor) : m_editor(editor) { widget->installEventFilter(this); }
    bool painted = false;          // ever
    bool paintedSinceDone = false; // since the load finished
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_editor->document()->characterCount() > 1)
            painted = paintedSinceDone = true;
        return false;
    }

private:
    TRichTextEdit *m_editor;
};

// A bare QTextDocument::setPlainText of text: the floor of building a document.
double baselineSeconds(const QString &text, const QFont &font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setUndoRedoEnabled(false);
    QElapsedTimer t;
    t.start();
    document.setPlainText(text);
    return t.nsecsElapsed() / 1e9;
}

int loadOne(QStringList args)
{
    const int codePage = codePageOption(args);
    const bool fullLayout = args.removeAll(QStringLiteral("--layout")) > 0;
    const bool baseline = args.removeAll(QStringLiteral("--no-baseline")) == 0;
    const bool noWrap = args.removeAll(QStringLiteral("--no-wrap")) > 0;
    if (args.size() != 1)
        return usage("load-one FILE [--codepage N] [--layout] [--no-baseline] [--no-wrap]");
    const QString file = args.first();
    BenchFrame bench(codePage);
    TEditForm *form = bench.frame->CreateDocumentWindow();
    form->showMaximized();
    QCoreApplication::processEvents();
    TRichTextEdit *editor = form->Editor();
    if (noWrap && editor->WordWrap())
        form->Wordwrap1Click();
    PaintWatch paints(editor->viewport(), editor);

    // A timer ticking in the loop: the longest time between two ticks is
    // the longest the window could not answer.
    bool done = false;
    bool loaded = false;
    double editable = -1;
    double editableCpu = 0;
    double editableUiCpu = 0;
    double firstScreen = -1;
    double firstScreenRss = 0;
    QElapsedTimer t;
    QEventLoop loop;
    const auto connection = QObject::connect(form, &TEditForm::documentLoaded, &loop, [&](bool ok) {
        done = true;
        loaded = ok;
        editable = t.nsecsElapsed() / 1e9;
        editableCpu = processCpuSeconds();
        editableUiCpu = threadCpuSeconds();
        // A paint of the preview before this, not yet seen by a tick.
        if (paints.painted && firstScreen < 0) {
            firstScreen = editable;
            firstScreenRss = peakRssMb();
        }
        paints.paintedSinceDone = false;
        editor->viewport()->update();
    });
    const double cpu0 = processCpuSeconds();
    const double uiCpu0 = threadCpuSeconds();
    t.start();
    const bool started = form->LoadDocument(QFileInfo(file).absoluteFilePath(), false);
    qint64 worstGap = t.elapsed();
    // The same in CPU time of the interface thread, which other programs
    // on a busy machine do not stretch.
    double lastUiCpu = threadCpuSeconds();
    double worstUiCpu = lastUiCpu - uiCpu0;
    if (!started && !done) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(file));
        return 1;
    }
    if (done)
        paints.paintedSinceDone = false;
    QElapsedTimer tick;
    tick.start();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        worstGap = qMax(worstGap, tick.restart());
        const double uiCpu = threadCpuSeconds();
        worstUiCpu = qMax(worstUiCpu, uiCpu - lastUiCpu);
        lastUiCpu = uiCpu;
        if (paints.painted && firstScreen < 0) {
            firstScreen = t.nsecsElapsed() / 1e9;
            firstScreenRss = peakRssMb();
        }
        if ((done && (paints.paintedSinceDone || !loaded)) || t.elapsed() > 900000)
            loop.quit();
    });
    ticker.start(5);
    loop.exec();
    QObject::disconnect(connection);
    if (!loaded) {
        // What a load that cannot be done costs before it says so.
        printJson({{QStringLiteral("op"), QStringLiteral("load")},
                   {QStringLiteral("file"), file},
                   {QStringLiteral("loaded"), false},
                   {QStringLiteral("first_screen_seconds"), firstScreen},
                   {QStringLiteral("refused_seconds"), editable},
                   {QStringLiteral("max_freeze_ms"), double(worstGap)},
                   {QStringLiteral("max_freeze_cpu_ms"), worstUiCpu * 1000},
                   {QStringLiteral("peak_rss_mb"), peakRssMb()}});
        return 1;
    }
    const double settled = t.nsecsElapsed() / 1e9;
    QJsonObject result{
        {QStringLiteral("op"), QStringLiteral("load")},
        {QStringLiteral("file"), file},
        {QStringLiteral("bytes"), QFileInfo(file).size()},
        {QStringLiteral("characters"), editor->TextLength()},
        {QStringLiteral("first_screen_seconds"), firstScreen},
        {QStringLiteral("editable_seconds"), editable},
        {QStringLiteral("max_freeze_ms"), double(worstGap)},
        {QStringLiteral("max_freeze_cpu_ms"), worstUiCpu * 1000},
        {QStringLiteral("settled_seconds"), settled},
        {QStringLiteral("cpu_seconds"), editableCpu - cpu0},
        {QStringLiteral("ui_cpu_seconds"), editableUiCpu - uiCpu0},
        {QStringLiteral("peak_rss_first_screen_mb"), firstScreenRss},
        {QStringLiteral("peak_rss_mb"), peakRssMb()},
        {QStringLiteral("seconds"), editable},
    };
    if (fullLayout) {
        const auto [layoutSeconds, worstGapMs] = waitForLayout(editor, 1500);
        result.insert(QStringLiteral("layout_seconds"), layoutSeconds);
        result.insert(QStringLiteral("max_stall_ms"), worstGapMs);
        result.insert(QStringLiteral("peak_rss_after_layout_mb"), peakRssMb());
        result.insert(QStringLiteral("document_height_px"), editor->document()->documentLayout()->documentSize().height());
        result.insert(QStringLiteral("blocks"), editor->document()->blockCount());
        // Going to the end needs everything laid out.
        QElapsedTimer end;
        end.start();
        editor->select(editor->TextLength(), 0);
        editor->viewport()->grab();
        result.insert(QStringLiteral("go_to_end_seconds"), end.nsecsElapsed() / 1e9);
        result.insert(QStringLiteral("document_height_at_end_px"), editor->document()->documentLayout()->documentSize().height());
        result.insert(QStringLiteral("peak_rss_at_end_mb"), peakRssMb());
    }
    if (baseline) {
        // The same text, with the editor's document gone, so the two are not held at once.
        const QString text = editor->document()->toPlainText();
        const QFont font = editor->document()->defaultFont();
        editor->setModified(false);
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const double cpu = processCpuSeconds();
        result.insert(QStringLiteral("baseline_seconds"), baselineSeconds(text, font));
        result.insert(QStringLiteral("baseline_cpu_seconds"), processCpuSeconds() - cpu);
    }
    printJson(result);
    return 0;
}

} // namespace

int Bench::loadCommand(const QStringList &args)
{
    // Each file in a process of its own, so that peak memory is the file's.
    QStringList rest = args;
    const int codePage = codePageOption(rest);
    const bool fullLayout = rest.removeAll(QStringLiteral("--layout")) > 0;
    const bool noBaseline = rest.removeAll(QStringLiteral("--no-baseline")) > 0;
    const bool noWrap = rest.removeAll(QStringLiteral("--no-wrap")) > 0;
    if (rest.isEmpty())
        return usage("load FILE… [--codepage N] [--layout] [--no-baseline] [--no-wrap]");
    int status = 0;
    for (const QString &file : rest) {
        QStringList childArgs{QStringLiteral("load-one"), file};
        if (codePage > 0)
            childArgs << QStringLiteral("--codepage") << QString::number(codePage);
        if (fullLayout)
            childArgs << QStringLiteral("--layout");
        if (noBaseline)
            childArgs << QStringLiteral("--no-baseline");
        if (noWrap)
            childArgs << QStringLiteral("--no-wrap");
        status |= runSelf(childArgs);
    }
    return status;
}

int Bench::loadOneCommand(const QStringList &args)
{
    return loadOne(args);
}

int Bench::wysiwygCommand(const QStringList &args)
{
    if (args.size() != 1)
        return usage("wysiwyg FILE");
    BenchFrame bench(0);
    TEditForm *form = bench.frame->CreateDocumentWindow();
    form->showMaximized();
    bool loaded = false;
    QObject::connect(form, &TEditForm::documentLoaded, [&loaded] { loaded = true; });
    if (!form->LoadDocument(QFileInfo(args.first()).absoluteFilePath(), false))
        return 1;
    QElapsedTimer wait;
    wait.start();
    while (!loaded && form->Editor()->isLoadingInBackground() && wait.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    waitForLayout(form->Editor(), 1500);
    QJsonObject result{{QStringLiteral("op"), QStringLiteral("wysiwyg")},
                       {QStringLiteral("characters"), form->Editor()->TextLength()}};
    // Switching holds the loop once; the layout that follows may hold it again.
    for (const char *state : {"on", "off"}) {
        QElapsedTimer t;
        t.start();
        form->action(EditAction::WYSIWYG1)->trigger();
        form->Editor()->viewport()->grab();
        const double switched = t.nsecsElapsed() / 1e9;
        const auto [layoutSeconds, worstGapMs] = waitForLayout(form->Editor(), 1500);
        const QString name = QLatin1String(state);
        result.insert(name + QStringLiteral("_seconds"), switched);
        result.insert(name + QStringLiteral("_layout_seconds"), layoutSeconds);
        result.insert(name + QStringLiteral("_max_stall_ms"), qMax(switched * 1000, worstGapMs));
    }
    result.insert(QStringLiteral("peak_rss_mb"), peakRssMb());
    printJson(result);
    return 0;
}

int Bench::textCommand(const QStringList &args)
{
    QStringList rest = args;
    const int codePage = codePageOption(rest);
    if (rest.size() != 1)
        return usage("text FILE [--codepage N]");
    BenchFrame bench(codePage);
    TEditForm *form = bench.frame->CreateDocumentWindow();
    if (!loadAndWait(form, rest.first()))
        return 1;
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    for (QTextBlock b = form->Editor()->document()->begin(); b.isValid(); b = b.next()) {
        out.write(b.text().toUtf8());
        out.write("\n");
    }
    return 0;
}

int Bench::saveCommand(const QStringList &args)
{
    QStringList rest = args;
    const int codePage = codePageOption(rest);
    const int coding = intOption(rest, QStringLiteral("--coding"), 0);
    if (rest.size() != 2 || coding < 1 || coding > 9)
        return usage("save FILE OUT --coding N [--codepage N]");
    BenchFrame bench(codePage);
    TEditForm *form = bench.frame->CreateDocumentWindow();
    QElapsedTimer t;
    t.start();
    if (!loadAndWait(form, rest.at(0)))
        return 1;
    const double loadSeconds = t.nsecsElapsed() / 1e9;
    const QString out = QFileInfo(rest.at(1)).absoluteFilePath();
    bench.ui.fileAnswers.append({true, {out}, coding});
    t.restart();
    form->Saveas1Click();
    const double saveSeconds = t.nsecsElapsed() / 1e9;
    const bool ok = !form->Editor()->Modified() && QFileInfo::exists(out) && bench.ui.errors == 0;
    printJson({
        {QStringLiteral("op"), QStringLiteral("save")},
        {QStringLiteral("file"), rest.at(0)},
        {QStringLiteral("out"), out},
        {QStringLiteral("coding"), coding},
        {QStringLiteral("bytes_out"), QFileInfo(out).size()},
        {QStringLiteral("load_seconds"), loadSeconds},
        {QStringLiteral("seconds"), saveSeconds},
        {QStringLiteral("peak_rss_mb"), peakRssMb()},
        {QStringLiteral("ok"), ok},
    });
    return ok ? 0 : 1;
}

int Bench::startupCommand(const QStringList &args)
{
    const int runs = args.isEmpty() ? 5 : qMax(1, args.first().toInt());
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quilmar");
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILMAR_EXIT_WHEN_STARTED"), QStringLiteral("1"));
        if (env.value(QStringLiteral("DISPLAY")).isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        quilmar.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        quilmar.start(program, {});
        if (!quilmar.waitForStarted(10000))
            return 1;
        while (!quilmar.readAllStandardOutput().contains("started")) {
            if (!quilmar.waitForReadyRead(20000))
                return 1;
        }
        times << t.nsecsElapsed() / 1e9;
        quilmar.waitForFinished(20000);
    }
    std::sort(times.begin(), times.end());
    printJson({
        {QStringLiteral("op"), QStringLiteral("startup")},
        {QStringLiteral("seconds"), times.at(times.size() / 2)},
        {QStringLiteral("runs"), int(times.size())},
        {QStringLiteral("fastest_seconds"), times.first()},
    });
    return 0;
}

int Bench::genCommand(const QStringList &args)
{
    if (args.size() != 1)
        return usage("gen DIR");
    QDir dir(args.first());
    dir.mkpath(QStringLiteral("."));
    // Text of words with accents and a sprinkle of long lines, the same every time.
    QRandomGenerator random(4711);
    static const char *const words[] = {"the", "editor", "opens", "files", "in", "every", "code", "page",
                                        "caf\u00e9", "na\u00efve", "stra\u00dfe", "\u00fcber", "r\u00e9sum\u00e9",
                                        "line", "paragraph", "document", "quick", "brown", "fox", "jumps"};
    for (int mb : {1, 10, 100}) {
        QString text;
        const qsizetype target = qsizetype(mb) * 1024 * 1024;
        text.reserve(target + 200);
        while (text.size() < target) {
            const int lineWords = 3 + int(random.bounded(18u)) + (random.bounded(50u) == 0 ? 60 : 0);
            for (int w = 0; w < lineWords; ++w) {
                if (w)
                    text += u' ';
                text += QString::fromUtf8(words[random.bounded(20u)]);
            }
            text += QLatin1String("\r\n");
        }
        const QString stem = QStringLiteral("gen-%1mb").arg(mb);
        const auto write = [&dir](const QString &name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return false;
            printJson({{QStringLiteral("op"), QStringLiteral("gen")}, {QStringLiteral("file"), f.fileName()},
                       {QStringLiteral("bytes"), bytes.size()}});
            return true;
        };
        if (!write(stem + QStringLiteral("-cp1252.txt"), CodePages::fromUnicode(1252, text))
            || !write(stem + QStringLiteral("-utf8.txt"), QByteArray("\xEF\xBB\xBF") + text.toUtf8())
            || !write(stem + QStringLiteral("-utf16le.txt"),
                      QByteArray("\xFF\xFE")
                          + QByteArray(reinterpret_cast<const char *>(text.utf16()), target & ~qsizetype(1))))
            return 1;
    }
    return 0;
}
