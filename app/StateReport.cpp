#include "app/StateReport.h"

#include "app/DocumentTabStrip.h"
#include "document/ui/MDIEdit.h"
#include "app/MDIFrame.h"
#include "app/RecentFiles.h"
#include "document/ui/TRichTextEdit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray frameStateReport(TFrameForm &frame)
{
    QJsonArray docs;
    const TEditForm *active = frame.activeDocument();
    for (const TEditForm *f : frame.documents()) {
        QString state = QStringLiteral("normal");
        if (f->isMaximized())
            state = QStringLiteral("maximized");
        else if (f->isMinimized())
            state = QStringLiteral("minimized");
        docs.append(QJsonObject{
            {QStringLiteral("file"), f->FileName()},
            {QStringLiteral("coding"), f->FileCoding()},
            {QStringLiteral("state"), state},
            {QStringLiteral("active"), f == active},
            {QStringLiteral("modified"), f->Editor()->Modified()},
            {QStringLiteral("characters"), f->Editor()->TextLength()},
        });
    }
    QJsonArray recent;
    for (int k = 0; k < RecentFiles::Count; ++k)
        recent.append(frame.settings().line(RecentFiles::FirstLine + k));
    QJsonObject report{
        {QStringLiteral("title"), frame.windowTitle()},
        {QStringLiteral("documents"), docs},
        {QStringLiteral("recent"), recent},
        {QStringLiteral("replaceDialogVisible"), frame.searchController()->isReplaceDialogVisible()},
        {QStringLiteral("tabs"), frame.tabStrip()->count()},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact);
}
