#pragma once

#include "platform/UserInteraction.h"

#include <QPointer>

class QWidget;

// Message boxes, beeps and standard dialogs with Qt widgets.
class QtUserInteraction : public UserInteraction
{
public:
    explicit QtUserInteraction(QWidget *dialogParent = nullptr);
    void setDialogParent(QWidget *parent) { m_parent = parent; }
    void setApplicationTitle(const QString &title) { m_title = title; }

    void beep(Beep kind) override;
    Button message(const Message &message) override;
    FileAnswer chooseFiles(const FileRequest &request) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    int runDialog(QDialog *dialog) override;
    PrintDialogAnswer choosePrinting(const PrintDialogRequest &request) override;
    bool setupPrinter(QPrinter *printer) override;

    // "caption|*.a;*.b" pairs as Qt name filters ("caption (*.a *.b)").
    static QStringList toQtFilters(const QString &windowsFilter);

private:
    QPointer<QWidget> m_parent;
    QString m_title = QStringLiteral("Quilmar");
};
