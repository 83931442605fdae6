#include "print/ui/PrintCommands.h"

#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "print/ui/PageSetupUnit.h"
#include "print/ui/PreviewUnit.h"
#include "print/ui/PrintJob.h"
#include "platform/TextFormat.h"
#include "platform/TextSet.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>

#include <cmath>

PrintCommands::PrintCommands(DocumentHost &host, QWidget *frame)
    : QObject(frame), m_host(host), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_pageSetup(new TPageSetupForm(host.settings(), host.textSet(), frame)),
      m_preview(new TPreviewForm(host.settings(), host.textSet(), m_pageNumbers, frame))
{
    m_pageNumbers.restore(host.settings());
    keepPreviewOnScreen();
    const auto sourceForm = [](QObject *source) { return qobject_cast<TEditForm *>(source); };
    connect(m_preview, &TPreviewForm::printRequested, this,
            [this, sourceForm](QObject *source) { print(sourceForm(source)); });
    connect(m_preview, &TPreviewForm::pageSetupRequested, this, [this, sourceForm](QObject *source) {
        TEditForm *form = sourceForm(source);
        pageSetup(form);
        preview(form);
    });
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::run(TEditForm *form, DocumentHost::PrintCommand command)
{
    // A document still loading shows only the first lines of its file.
    const bool loading = form && form->Loading();
    if (loading && (command == DocumentHost::PrintDocument || command == DocumentHost::PagePreview))
        return;
    switch (command) {
    case DocumentHost::PrintDocument: print(form); break;
    case DocumentHost::PrinterSetup: printerSetup(); break;
    case DocumentHost::PageSetup: pageSetup(form); break;
    case DocumentHost::PagePreview: preview(form); break;
    case DocumentHost::PrintedLineWidth: applyLineWidth(form); break;
    }
}

bool PrintCommands::pageNoPrint() const
{
    return m_pageNumbers.isOn();
}

void PrintCommands::setPageNoPrint(bool on)
{
    m_pageNumbers.setOn(on);
}

void PrintCommands::print(TEditForm *form)
{
    if (!form)
        return;
    const TextSet &texts = m_host.textSet();
    DialogChoices &choices = m_choices[form];
    UserInteraction::PrintDialogRequest request;
    request.printer = m_printer.get();
    request.range = choices.range;
    request.fromPage = choices.fromPage;
    request.toPage = choices.toPage;
    request.oddEvenItems = {texts.entry(Txt::AllPages), texts.entry(Txt::OddPages), texts.entry(Txt::EvenPages)};
    request.oddEvenIndex = choices.oddEvenIndex;
    const UserInteraction::PrintDialogAnswer answer = m_host.userInteraction().choosePrinting(request);
    choices.oddEvenIndex = answer.oddEvenIndex;
    if (!answer.accepted)
        return;
    choices.range = answer.range;
    choices.fromPage = answer.fromPage;
    choices.toPage = answer.toPage;

    const TRichTextEdit *editor = form->Editor();
    PrintRequest job;
    job.title = form->FileName();
    job.margins = m_pageSetup->margins();
    job.parity = answer.oddEvenIndex;
    job.pageNumbers = pageNoPrint();
    switch (answer.range) {
    case UserInteraction::PrintDialogRequest::Selection:
        job.selection = true;
        job.selectionFrom = editor->SelStart();
        job.selectionTo = editor->SelStart() + editor->SelLength();
        break;
    case UserInteraction::PrintDialogRequest::PageRange:
        job.first = qMax(1, answer.fromPage);
        job.last = answer.toPage >= job.first ? answer.toPage : -1;
        break;
    case UserInteraction::PrintDialogRequest::AllPages: break;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintResult result = printDocument(*editor->document(), *m_printer, job);
    QApplication::restoreOverrideCursor();
    if (result.status == PrintResult::Failed)
        m_host.userInteraction().showError(formatText(texts.extra(TextSet::Extra::PrintFailed), {result.error}),
                                           QStringLiteral("Quilmar"));
}

void PrintCommands::printerSetup()
{
    if (m_host.userInteraction().setupPrinter(m_printer.get()))
        rewrapPrintedDocuments();
}

void PrintCommands::pageSetup(TEditForm *)
{
    m_host.userInteraction().runDialog(m_pageSetup);
    // Every window wrapping as printed follows the new margins at once.
    rewrapPrintedDocuments();
}

void PrintCommands::preview(TEditForm *form)
{
    if (!form)
        return;
    const PageGeometry geometry = printerGeometry(*m_printer, m_pageSetup->margins());
    m_preview->showDocument(*form->Editor()->document(), geometry, form->caption(), form);
}

int PrintCommands::printedLineWidth(int screenDpi) const
{
    const PageGeometry geometry = printerGeometry(*m_printer, m_pageSetup->margins());
    return qMax(1, int(std::lround(geometry.textRect().width() * double(screenDpi) / geometry.dpiX)));
}

void PrintCommands::applyLineWidth(TEditForm *form)
{
    if (!form)
        return;
    TRichTextEdit *editor = form->Editor();
    editor->setFixedWrapWidth(form->isWysiwyg() ? printedLineWidth(editor->logicalDpiX()) : 0);
}

void PrintCommands::rewrapPrintedDocuments()
{
    for (TEditForm *form : m_host.documents())
        if (form->isWysiwyg())
            applyLineWidth(form);
}

void PrintCommands::applyTexts(const TextSet &texts)
{
    m_pageSetup->applyTexts(texts);
    m_preview->applyTexts(texts);
}

void PrintCommands::storeSettings()
{
    keepPreviewOnScreen();
    m_preview->storeSettings();
    m_pageNumbers.store(m_host.settings());
}

void PrintCommands::documentClosed(TEditForm *form)
{
    m_choices.remove(form);
    if (m_preview->previewSource() == form)
        m_preview->releaseSource();
}

void PrintCommands::keepPreviewOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(m_preview->geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A stored place on a screen that is gone, or a size larger than the
    // screen, would leave the window out of reach.
    const QRect area = screen->availableGeometry();
    const QSize size = m_preview->size().boundedTo(area.size());
    const int left = qBound(area.left(), m_preview->x(), area.right() + 1 - size.width());
    const int top = qBound(area.top(), m_preview->y(), area.bottom() + 1 - size.height());
    m_preview->resize(size);
    m_preview->move(left, top);
}
