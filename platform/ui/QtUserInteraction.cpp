#include "platform/ui/QtUserInteraction.h"

#include "platform/ui/PrintDialogEx.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QRegularExpression>

QtUserInteraction::QtUserInteraction(QWidget *dialogParent) : m_parent(dialogParent) {}

void QtUserInteraction::beep(Beep)
{
    QApplication::beep();
}

UserInteraction::Button QtUserInteraction::message(const Message &message)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(message.title.isEmpty() ? m_title : message.title);
    box.setText(message.text);
    switch (message.icon) {
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: break;
    }
    struct Pair { Button ours; QMessageBox::StandardButton qt; };
    const Pair pairs[] = {{Yes, QMessageBox::Yes}, {No, QMessageBox::No}, {Ok, QMessageBox::Ok},
                          {Cancel, QMessageBox::Cancel}, {YesToAll, QMessageBox::YesToAll}};
    QMessageBox::StandardButtons buttons;
    for (const Pair &p : pairs)
        if (message.buttons.testFlag(p.ours))
            buttons |= p.qt;
    box.setStandardButtons(buttons ? buttons : QMessageBox::Ok);
    for (const Pair &p : pairs)
        if (p.ours == message.defaultButton)
            box.setDefaultButton(p.qt);
    if (message.position != QPoint(-1, -1))
        box.move(message.position);
    const int result = box.exec();
    for (const Pair &p : pairs)
        if (p.qt == result)
            return p.ours;
    return message.buttons.testFlag(Cancel) ? Cancel : (message.buttons.testFlag(No) ? No : Ok);
}

QStringList QtUserInteraction::toQtFilters(const QString &windowsFilter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (const auto &[caption, patterns] : parseWindowsFilter(windowsFilter)) {
        QStringList globs;
        for (QString p : patterns.split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            globs << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        QString name = caption;
        name.remove(trailingPatterns);
        filters << QStringLiteral("%1 (%2)").arg(name, globs.join(u' '));
    }
    return filters;
}

UserInteraction::FileAnswer QtUserInteraction::chooseFiles(const FileRequest &request)
{
    QFileDialog dialog(m_parent, request.title, request.initialDir);
    const QStringList filters = toQtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    }
    switch (request.mode) {
    case FileRequest::OpenOne: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case FileRequest::OpenMany: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case FileRequest::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        break;
    }
    // The default extension may list several ("rtf;txt"): the first is added.
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt.section(u';', 0, 0));
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        if (info.isAbsolute())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    FileAnswer answer;
    answer.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    answer.accepted = true;
    answer.files = dialog.selectedFiles();
    const int index = int(filters.indexOf(dialog.selectedNameFilter()));
    if (index >= 0)
        answer.filterIndex = index + 1;
    return answer;
}

std::optional<QFont> QtUserInteraction::chooseFont(const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, m_parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtUserInteraction::chooseColor(const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, m_parent);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

int QtUserInteraction::runDialog(QDialog *dialog)
{
    return dialog ? dialog->exec() : QDialog::Rejected;
}

UserInteraction::PrintDialogAnswer QtUserInteraction::choosePrinting(const PrintDialogRequest &request)
{
    PrintDialogAnswer answer;
    answer.oddEvenIndex = request.oddEvenIndex;
    if (!request.printer)
        return answer;
    TPrintDialogEx dialog(request.printer, m_parent);
    dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setFromTo(request.fromPage, request.toPage);
    dialog.setPrintRange(QAbstractPrintDialog::PrintRange(request.range == PrintDialogRequest::Selection
                                                              ? QAbstractPrintDialog::Selection
                                                          : request.range == PrintDialogRequest::PageRange
                                                              ? QAbstractPrintDialog::PageRange
                                                              : QAbstractPrintDialog::AllPages));
    dialog.setComboBoxItems(request.oddEvenItems);
    dialog.setComboBoxItemIndex(request.oddEvenIndex);
    dialog.setComboBoxVisible(request.oddEvenVisible);
    dialog.setComboBoxEnabled(request.oddEvenEnabled);
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
    dialog.takeRange(range, answer.fromPage, answer.toPage);
    answer.accepted = true;
    answer.range = range == QAbstractPrintDialog::Selection   ? PrintDialogRequest::Selection
                   : range == QAbstractPrintDialog::PageRange ? PrintDialogRequest::PageRange
                                                              : PrintDialogRequest::AllPages;
    answer.oddEvenIndex = dialog.comboBoxItemIndex();
    return answer;
}

bool QtUserInteraction::setupPrinter(QPrinter *printer)
{
    if (!printer)
        return false;
    QPageSetupDialog dialog(printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}
