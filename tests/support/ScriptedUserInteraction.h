#pragma once

#include "platform/UserInteraction.h"

#include <QDialog>
#include <QList>
#include <QQueue>

#include <functional>

// A UserInteraction for tests: records every beep, message and dialog, and
// answers from queues filled by the test. Without a queued answer a message
// gets its default button and a dialog is cancelled.
class ScriptedUserInteraction : public UserInteraction
{
public:
    struct Shown {
        enum Kind { Message, Files, Font, Color, Dialog, Print, PrinterSetup } kind;
        UserInteraction::Message message;
        FileRequest fileRequest;
        QString dialogName = {}; // objectName of a dialog run
        PrintDialogRequest printRequest = {};
    };

    QList<Beep> beeps;
    QList<Shown> shown;
    QQueue<Button> messageAnswers;
    QQueue<FileAnswer> fileAnswers;
    QQueue<std::optional<QFont>> fontAnswers;
    QQueue<std::optional<QColor>> colorAnswers;
    // Runs a dialog: the function may work the dialog and answers its result.
    std::function<int(QDialog *)> onDialog;
    // The print dialog: the function may set the printer up (a PDF file,
    // say) and answers as the user would; without it the dialog is cancelled.
    std::function<PrintDialogAnswer(const PrintDialogRequest &)> onPrintDialog;
    // The printer setup dialog; without it, cancelled.
    std::function<bool(QPrinter *)> onPrinterSetup;
    // Runs when a message is shown (after it was recorded), before answering.
    std::function<void(const UserInteraction::Message &)> onMessage;

    void beep(Beep kind) override { beeps << kind; }

    Button message(const UserInteraction::Message &m) override
    {
        shown.append({Shown::Message, m, {}});
        if (onMessage)
            onMessage(m);
        return messageAnswers.isEmpty() ? m.defaultButton : messageAnswers.dequeue();
    }

    FileAnswer chooseFiles(const FileRequest &request) override
    {
        shown.append({Shown::Files, {}, request});
        if (fileAnswers.isEmpty())
            return FileAnswer{false, {}, request.filterIndex};
        return fileAnswers.dequeue();
    }

    std::optional<QFont> chooseFont(const QFont &) override
    {
        shown.append({Shown::Font, {}, {}});
        return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
    }

    std::optional<QColor> chooseColor(const QColor &) override
    {
        shown.append({Shown::Color, {}, {}});
        return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
    }

    int runDialog(QDialog *dialog) override
    {
        shown.append({Shown::Dialog, {}, {}, dialog ? dialog->objectName() : QString()});
        return onDialog ? onDialog(dialog) : 0;
    }

    PrintDialogAnswer choosePrinting(const PrintDialogRequest &request) override
    {
        shown.append({Shown::Print, {}, {}, {}, request});
        if (onPrintDialog)
            return onPrintDialog(request);
        PrintDialogAnswer cancelled;
        cancelled.oddEvenIndex = request.oddEvenIndex;
        return cancelled;
    }

    bool setupPrinter(QPrinter *printer) override
    {
        shown.append({Shown::PrinterSetup, {}, {}});
        return onPrinterSetup ? onPrinterSetup(printer) : false;
    }

    QList<PrintDialogRequest> printRequests() const
    {
        QList<PrintDialogRequest> requests;
        for (const Shown &s : shown)
            if (s.kind == Shown::Print)
                requests << s.printRequest;
        return requests;
    }

    // Texts of the messages shown so far.
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Shown &s : shown)
            if (s.kind == Shown::Message)
                texts << s.message.text;
        return texts;
    }

    QList<FileRequest> fileRequests() const
    {
        QList<FileRequest> requests;
        for (const Shown &s : shown)
            if (s.kind == Shown::Files)
                requests << s.fileRequest;
        return requests;
    }

    void clear()
    {
        beeps.clear();
        shown.clear();
    }
};
