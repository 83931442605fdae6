// quilmar-bench: timings of the document pipeline, one JSON object per line.
#include "bench/BenchCommands.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quilmar-bench load|text|save|startup|gen|rtf-read|rtf-write|rtf-roundtrip|rtf-object|"
                             "rtf-generate|proofing|ispell|ispell-gen|print|preview|tool|spell|format|typing|"
                             "replace|prose|wysiwyg …\n");
        return 2;
    }
    const QString command = args.takeFirst();
    using Command = int (*)(const QStringList &);
    const QPair<const char *, Command> commands[] = {
        {"load", Bench::loadCommand}, {"load-one", Bench::loadOneCommand}, {"text", Bench::textCommand},
        {"save", Bench::saveCommand}, {"startup", Bench::startupCommand}, {"gen", Bench::genCommand},
        {"proofing", Bench::proofingCommand},
        {"ispell", Bench::ispellCommand}, {"ispell-gen", Bench::ispellGenCommand},
        {"print", Bench::printCommand}, {"preview", Bench::previewCommand},
        {"rtf-read", Bench::rtfRead}, {"rtf-write", Bench::rtfWrite}, {"rtf-roundtrip", Bench::rtfRoundTrip},
        {"rtf-generate", Bench::rtfGenerate}, {"rtf-object", Bench::rtfObject},
        {"tool", Bench::toolCommand},
        {"spell", Bench::spellCommand},
        {"format", Bench::formatCommand}, {"typing", Bench::typingCommand},
        {"replace", Bench::replaceCommand}, {"prose", Bench::proseCommand},
        {"wysiwyg", Bench::wysiwygCommand},
    };
    for (const auto &[name, run] : commands)
        if (command == QLatin1String(name))
            return run(args);
    std::fprintf(stderr, "unknown command %s\n", qPrintable(command));
    return 2;
}
