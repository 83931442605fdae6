#pragma once

#include "platform/Shell.h"
#include "platform/UserInteraction.h"

#include <QJsonObject>
#include <QList>
#include <QTemporaryDir>

#include <memory>

class TEditForm;
class TFrameForm;

// Dialogs of the bench: save dialogs take the queued answers, questions get
// their default button, errors are counted and told on standard error.
class BenchUserInteraction : public UserInteraction
{
public:
    QList<FileAnswer> fileAnswers;
    int errors = 0;

    void beep(Beep) override {}
    Button message(const Message &message) override;
    FileAnswer chooseFiles(const FileRequest &request) override;
    std::optional<QFont> chooseFont(const QFont &) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor &) override { return std::nullopt; }
    int runDialog(QDialog *) override { return 0; }
};

// A shell that opens nothing.
class NullShell : public Shell
{
public:
    Result open(const QString &) override { return {NoAssociation, {}}; }
    Result run(const QString &, const QString &) override { return {NoAssociation, {}}; }
    QImage iconOfFile(const QString &, int) override { return {}; }
};

void printJson(const QJsonObject &object);
// Peak resident memory of this process so far, in MB.
double peakRssMb();
int usage(const char *synopsis);
// Runs this program again with args, passing its output through; answers its exit code.
int runSelf(const QStringList &args);

// A started frame in a program folder of its own, with dialogs answered by
// the bench; codePage > 0 selects it in the coding box. Documents are left
// unmodified at the end, so closing asks nothing.
struct BenchFrame {
    QTemporaryDir dir;
    BenchUserInteraction ui;
    NullShell shell;
    std::unique_ptr<TFrameForm> frame;

    explicit BenchFrame(int codePage = 0);
    ~BenchFrame();
};

// Loads as File > Open does and waits for a background build to finish.
bool loadAndWait(TEditForm *form, const QString &file);
