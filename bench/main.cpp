// quilmar-bench: timings of the document pipeline, one JSON object per line.
#include "BenchCommands.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-read|rtf-write|rtf-generate …\n");
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("rtf-read"))
        return Bench::rtfRead(args);
    if (command == QLatin1String("rtf-write"))
        return Bench::rtfWrite(args);
    if (command == QLatin1String("rtf-generate"))
        return Bench::rtfGenerate(args);
    std::fprintf(stderr, "unknown command %s\n", qPrintable(command));
    return 2;
}
