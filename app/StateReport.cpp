#include "app/StateReport.h"

#include "app/DocumentTabStrip.h"
#include "document/ui/MDIEdit.h"
#include "app/MDIFrame.h"
#include "app/RecentFiles.h"
#include "document/ui/TRichTextEdit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QToolBar>

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
    // Screen centres of the active document's formatting controls, for
    // tests that click them from outside the program.
    QJsonObject controls;
    if (active) {
        for (const char *name : {"Editor", "ToolButton26", "ToolButton20", "Panel3", "FirstInd", "LeftInd", "RightInd"}) {
            const QString key = QString::fromLatin1(name);
            QWidget *w = active->toolBar() ? active->toolBar()->findChild<QWidget *>(key) : nullptr;
            if (!w)
                w = active->findChild<QWidget *>(key);
            if (w && w->isVisible()) {
                const QPoint centre = w->mapToGlobal(w->rect().center());
                controls.insert(key, QJsonArray{centre.x(), centre.y()});
            }
        }
    }
    QJsonObject report{
        {QStringLiteral("controls"), controls},
        {QStringLiteral("title"), frame.windowTitle()},
        {QStringLiteral("documents"), docs},
        {QStringLiteral("recent"), recent},
        {QStringLiteral("replaceDialogVisible"), frame.searchController()->isReplaceDialogVisible()},
        {QStringLiteral("tabs"), frame.tabStrip()->count()},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact);
}
