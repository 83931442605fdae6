// Program entry: the instance registry, the frame and its start-up order.
#include "platform/ui/DesktopShell.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/Icons.h"
#include "platform/InstanceRegistry.h"
#include "app/MDIFrame.h"
#include "platform/ui/QtUserInteraction.h"
#include "platform/ProgramFolders.h"
#include "platform/Registry.h"
#include "platform/SettingsLines.h"
#include "spell/OfficeLanguages.h"
#include "spell/ISpellInstallation.h"

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>

#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"

#include <cstdio>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void forwardSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

// A termination request from the session closes the frame the normal way,
// without questions: modified documents are kept as recovery copies and the
// settings are written. A second request ends the program regardless.
void closeFrameOnTermination(TFrameForm *frame)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, frame);
    QObject::connect(notifier, &QSocketNotifier::activated, frame, [frame] {
        char byte;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        frame->closeForTermination();
    });
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// The spelling library: beside the program in the build folder, in the
// program's own library folder once installed.
QString proofingLibrary()
{
    const QString name = QStringLiteral(QUILMAR_PROOFING_LIBRARY_NAME);
    const QDir dir(QCoreApplication::applicationDirPath());
    if (dir.exists(name))
        return QDir::toNativeSeparators(dir.filePath(name));
    return QDir::toNativeSeparators(QDir::cleanPath(dir.filePath(QStringLiteral("../lib/quilmar/") + name)));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quilmar"));
    // No display name: Qt would append it to every window title a second time.
    QApplication::setDesktopFileName(QStringLiteral("org.quilmar.Quilmar"));
    QApplication::setWindowIcon(Icons::application());
    QApplication::setApplicationVersion(QStringLiteral(QUILMAR_VERSION));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));

    InstanceRegistry instances(QCoreApplication::applicationFilePath());
    instances.registerInstance(10);

    QtUserInteraction ui;
    DesktopShell shell;
    HelpWindow help;
    FrameServices services;
    services.userInteraction = &ui;
    services.shell = &shell;
    services.help = &help;
    services.instanceCount = [&instances] { return instances.count(); };
    const ProgramFolders folders =
        ProgramFolders::locate(QCoreApplication::applicationDirPath(), ProgramFolders::configHome());
    folders.seed({QStringLiteral("insert.ini"), QStringLiteral("Registry.txt"), QStringLiteral("Quilmar.ini")});
    services.programDir = QDir::toNativeSeparators(folders.programDir);
    services.userDir = QDir::toNativeSeparators(folders.userDir);
    // The registry of file types lives beside the settings where the system has none.
    FileRegistry registry(services.userDir + QStringLiteral("Registry.txt"));
    // The office speller's languages are the hunspell dictionaries installed
    // now; the ispell dictionaries each get the ispell.ini that starts them,
    // in a folder the user may write (added words land there).
    const bool officeChanged = OfficeLanguages::registerHunspellDictionaries(
        registry, proofingLibrary(), OfficeLanguages::hunspellDirectories());
    const bool ispellChanged =
        ISpellInstallation::refresh(registry, services.userDir + QStringLiteral("ispell"),
                                    ISpellInstallation::findDictionaries(ISpellInstallation::systemSources()))
            .registryChanged;
    if (officeChanged || ispellChanged)
        registry.save();
    services.registry = &registry;
    services.arguments = app.arguments().mid(1);

    TFrameForm frame(services);
    ui.setDialogParent(&frame);
    frame.applyStartLanguage();
    closeFrameOnTermination(&frame);
    // For start-up measurements: report when the frame stands, then end.
    if (qEnvironmentVariableIsSet("QUILMAR_EXIT_WHEN_STARTED")) {
        QObject::connect(&frame, &TFrameForm::startupFinished, &frame, [&frame] {
            QTimer::singleShot(0, &frame, [&frame] {
                std::fputs("started\n", stdout);
                std::fflush(stdout);
                for (TEditForm *f : frame.documents())
                    f->Editor()->setModified(false);
                frame.close();
            });
        });
    }
    frame.show();
    frame.raise();
    frame.activateWindow();
    const int result = app.exec();
    instances.unregisterInstance();
    return result;
}
