// format and typing: formatting a whole document, and typing with the tool
// bar, ruler and status bar following the caret.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "app/MDIFrame.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "format/FormattingCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// A frame with one document window holding FILE, fully loaded.
struct LoadedWindow {
    BenchFrame bench;
    TEditForm *form = nullptr;

    bool load(const QString &file)
    {
        form = bench.frame->CreateDocumentWindow();
        form->showMaximized();
        const bool loaded = loadAndWait(form, file);
        QCoreApplication::processEvents();
        return loaded;
    }
};

// Until the view has painted what the last command changed.
void paintNow(TRichTextEdit *editor)
{
    QCoreApplication::processEvents();
    editor->viewport()->repaint();
}

} // namespace

int Bench::formatCommand(const QStringList &args)
{
    if (args.size() != 2 || args.at(1) != QLatin1String("--bold-all"))
        return usage("format FILE --bold-all");
    LoadedWindow window;
    if (!window.load(args.first())) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(args.first()));
        return 1;
    }
    TRichTextEdit *editor = window.form->Editor();
    DocumentCore *core = editor->core();
    core->select(0, core->TextLength());
    FormattingCommands commands(core);
    QElapsedTimer t;
    t.start();
    commands.setStyle(TFontStyle::fsBold, true);
    const double commandSeconds = t.nsecsElapsed() / 1e9;
    paintNow(editor);
    const double seconds = t.nsecsElapsed() / 1e9;
    t.restart();
    core->Undo();
    const double undoCommandSeconds = t.nsecsElapsed() / 1e9;
    paintNow(editor);
    const double undoSeconds = t.nsecsElapsed() / 1e9;
    printJson({
        {QStringLiteral("op"), QStringLiteral("format")},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("undo_seconds"), undoSeconds},
        // Of which the document change itself; the rest is layout and paint.
        {QStringLiteral("command_seconds"), commandSeconds},
        {QStringLiteral("undo_command_seconds"), undoCommandSeconds},
        {QStringLiteral("characters"), core->TextLength()},
    });
    return 0;
}

int Bench::typingCommand(const QStringList &args)
{
    QStringList rest = args;
    const bool middle = rest.removeAll(QStringLiteral("--at")) > 0 && rest.removeAll(QStringLiteral("middle")) > 0;
    int keyCount = 500;
    if (const qsizetype k = rest.indexOf(QStringLiteral("--keys")); k >= 0 && k + 1 < rest.size()) {
        keyCount = qMax(1, rest.at(k + 1).toInt());
        rest.remove(k, 2);
    }
    if (rest.size() != 1)
        return usage("typing FILE [--at middle] [--keys N]");
    LoadedWindow window;
    if (!window.load(rest.first())) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(rest.first()));
        return 1;
    }
    TRichTextEdit *editor = window.form->Editor();
    DocumentCore *core = editor->core();
    core->select(middle ? core->TextLength() / 2 : 0, 0);
    editor->setFocus();
    paintNow(editor);
    QWidget *target = editor->focusProxy() ? editor->focusProxy() : editor;
    QList<double> times;
    const QString keys = QStringLiteral("the quick brown fox jumps over the lazy dog ");
    for (int i = 0; i < keyCount; ++i) {
        const QString text = keys.mid(i % keys.size(), 1);
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &release);
        paintNow(editor);
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    const auto at = [&times](double q) { return times.at(qMin(times.size() - 1, qsizetype(q * times.size()))); };
    printJson({
        {QStringLiteral("op"), QStringLiteral("typing")},
        {QStringLiteral("p50_ms"), at(0.5)},
        {QStringLiteral("p99_ms"), at(0.99)},
        {QStringLiteral("max_ms"), times.last()},
        {QStringLiteral("typed"), core->TextLength()},
    });
    return 0;
}
