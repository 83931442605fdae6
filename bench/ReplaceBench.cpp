// Replace All as the user runs it: a frame, the document window, the replace
// dialog and "Yes to all" at the first match; and English prose to run it on.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "app/MDIFrame.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "search/ui/SearchController.h"
#include "search/ui/WideFindReplaceDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <ctime>
#include <memory>

namespace {

// Answers "Yes to all" where it is offered, the default button elsewhere.
class YesToAllInteraction : public BenchUserInteraction
{
public:
    Button message(const Message &message) override
    {
        if (message.buttons & YesToAll)
            return YesToAll;
        return message.defaultButton;
    }
};

void spinUntil(const std::function<bool()> &done, qint64 *worstGapMs = nullptr)
{
    QElapsedTimer tick;
    tick.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (worstGapMs)
            *worstGapMs = qMax(*worstGapMs, tick.restart());
    }
}

} // namespace

int Bench::replaceCommand(const QStringList &args)
{
    QStringList rest = args;
    const bool wholeWord = rest.removeAll(QStringLiteral("--whole-word")) > 0;
    const bool matchCase = rest.removeAll(QStringLiteral("--match-case")) > 0;
    if (rest.size() != 3)
        return usage("replace FILE FIND REPLACEMENT [--whole-word] [--match-case]");
    const QString file = rest.at(0);

    QTemporaryDir dir;
    YesToAllInteraction ui;
    NullShell shell;
    FrameServices services;
    services.userInteraction = &ui;
    services.shell = &shell;
    services.programDir = dir.path() + u'/';
    services.arguments = {QStringLiteral("/n")};
    auto frame = std::make_unique<TFrameForm>(services);
    frame->resize(1000, 700);
    bool started = false;
    QObject::connect(frame.get(), &TFrameForm::startupFinished, [&started] { started = true; });
    frame->show();
    spinUntil([&started] { return started; });

    TEditForm *form = frame->CreateDocumentWindow();
    form->showMaximized();
    if (!form->LoadDocument(QFileInfo(file).absoluteFilePath(), false)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(file));
        return 1;
    }
    spinUntil([form] { return !form->Loading() && !form->Editor()->core()->isLoadingInBackground(); });
    form->Editor()->select(0, 0);
    QCoreApplication::processEvents();

    SearchController *search = frame->searchController();
    form->Replace1Click();
    search->replaceDialog()->setFindTextW(rest.at(1));
    search->replaceDialog()->setReplaceTextW(rest.at(2));
    TWideFindDialog::Options options = TWideFindDialog::frDown | TWideFindDialog::frReplaceAll;
    if (wholeWord)
        options |= TWideFindDialog::frWholeWord;
    if (matchCase)
        options |= TWideFindDialog::frMatchCase;
    search->replaceDialog()->setOptions(options);
    int replacements = 0;
    bool finished = false;
    QObject::connect(search, &SearchController::replaceAllFinished, [&](int count) {
        replacements = count;
        finished = true;
    });

    QElapsedTimer t;
    t.start();
    // Processor time as well: wall time on a shared machine says little.
    const std::clock_t cpuStart = std::clock();
    qint64 worstGap = 0;
    search->replaceHandler(form);
    const qint64 firstCall = t.elapsed();
    spinUntil([&] { return !search->isReplacingAll(); }, &worstGap);
    const double seconds = t.nsecsElapsed() / 1e9;
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    printJson({{QStringLiteral("op"), QStringLiteral("replace")},
               {QStringLiteral("file"), file},
               {QStringLiteral("characters"), form->Editor()->TextLength()},
               {QStringLiteral("replacements"), finished ? replacements : 0},
               {QStringLiteral("seconds"), seconds},
               {QStringLiteral("cpu_seconds"), cpuSeconds},
               {QStringLiteral("max_stall_ms"), double(qMax(worstGap, firstCall))},
               {QStringLiteral("first_call_ms"), double(firstCall)},
               {QStringLiteral("peak_rss_mb"), peakRssMb()}});
    for (TEditForm *f : frame->documents())
        f->Editor()->setModified(false);
    return 0;
}

int Bench::proseCommand(const QStringList &args)
{
    if (args.size() != 2)
        return usage("prose FILE CHARACTERS (K and M suffixes: 1M, 3900K)");
    QString size = args.at(1).toUpper();
    qint64 factor = 1;
    if (size.endsWith(u'K') || size.endsWith(u'M')) {
        factor = size.endsWith(u'K') ? 1000 : 1000 * 1000;
        size.chop(1);
    }
    const qint64 target = qint64(size.toDouble() * factor);
    // English-like prose, the same every time: "the" about as often as in
    // real text, with words that hold it ("there", "other") and capitals.
    static const char *const words[] = {
        "the", "the", "the", "the", "of", "and", "to", "a", "in", "that", "is", "was", "he", "for", "it",
        "with", "as", "his", "on", "be", "at", "by", "had", "there", "other", "them", "then", "these",
        "weather", "editor", "document", "river", "morning", "house", "window", "quiet", "people", "time"};
    constexpr quint32 count = sizeof words / sizeof *words;
    QRandomGenerator random(1234);
    QByteArray text;
    text.reserve(target + 200);
    while (text.size() < target) {
        const int sentences = 2 + int(random.bounded(6u));
        for (int s = 0; s < sentences && text.size() < target; ++s) {
            const int length = 5 + int(random.bounded(16u));
            for (int w = 0; w < length; ++w) {
                QByteArray word = words[random.bounded(count)];
                if (w == 0)
                    word[0] = char(QChar::toUpper(word.at(0)));
                text += word;
                text += w + 1 == length ? ". " : random.bounded(8u) == 0 ? ", " : " ";
            }
        }
        text += "\r\n";
    }
    QFile f(args.at(0));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(0)));
        return 1;
    }
    printJson({{QStringLiteral("op"), QStringLiteral("prose")}, {QStringLiteral("file"), f.fileName()},
               {QStringLiteral("bytes"), text.size()}});
    return 0;
}
