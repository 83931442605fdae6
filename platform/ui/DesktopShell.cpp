#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

Shell::Result DesktopShell::open(const QString &target)
{
    return {QDesktopServices::openUrl(QUrl::fromUserInput(target)) ? Success : NoAssociation, {}};
}
Shell::Result DesktopShell::run(const QString &, const QString &) { return {NoAssociation, {}}; }
QImage DesktopShell::iconOfFile(const QString &, int) { return {}; }
