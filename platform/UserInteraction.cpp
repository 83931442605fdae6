#include "platform/UserInteraction.h"

UserInteraction::PrintDialogAnswer UserInteraction::choosePrinting(const PrintDialogRequest &request)
{
    PrintDialogAnswer answer;
    answer.oddEvenIndex = request.oddEvenIndex;
    return answer;
}

bool UserInteraction::setupPrinter(QPrinter *)
{
    return false;
}

void UserInteraction::showError(const QString &text, const QString &title)
{
    beep(Beep::Error);
    message({title, text, Icon::Error, Ok, Ok});
}

UserInteraction::Button UserInteraction::askYesNoCancel(const QString &text, const QString &title)
{
    beep(Beep::Question);
    return message({title, text, Icon::Question, Yes | No | Cancel, Yes});
}

bool UserInteraction::askWarningYesNo(const QString &text, const QString &title)
{
    beep(Beep::Question);
    return message({title, text, Icon::Warning, Yes | No, Yes}) == Yes;
}

void UserInteraction::inform(const QString &text, const QString &title, Icon icon)
{
    message({title, text, icon, Ok, Ok});
}

QList<QPair<QString, QString>> parseWindowsFilter(const QString &filter)
{
    QList<QPair<QString, QString>> pairs;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts.at(i), parts.at(i + 1)});
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        pairs.append({parts.last(), QStringLiteral("*")});
    return pairs;
}
