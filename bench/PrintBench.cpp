// Timings of printing and of recording the preview's pages, on a text file
// loaded as the editor loads plain text.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "document/FileCoding.h"
#include "document/PlainText.h"
#include "platform/CodePages.h"
#include "print/PageNumbering.h"
#include "print/Pagination.h"
#include "print/ui/Preview.h"
#include "print/ui/PreviewUnit.h"
#include "platform/Settings.h"
#include "platform/TextSet.h"
#include "print/ui/PrintJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<QTextDocument> loadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return nullptr;
    }
    const int acp = CodePages::ansiCodePage();
    FileCodings::LoadPlan plan = FileCodings::planLoad(file.readAll(), fcAnsiText, acp, acp);
    if (plan.streamDefault) {
        const bool utf8 = plan.coding == fcUtf8;
        plan.text.encoding = utf8 ? PlainText::EncodedText::Utf8 : PlainText::EncodedText::CodePage;
        plan.text.offset = utf8 ? 3 : 0;
        plan.text.codePage = acp;
    }
    return std::unique_ptr<QTextDocument>(
        PlainText::buildDocument(plan.text, QFont(QStringLiteral("Courier New"), 10)));
}

void setUpPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setOutputFileName(path);
}

} // namespace

int Bench::printCommand(const QStringList &args)
{
    QStringList rest = args;
    PrintRequest request;
    request.pageNumbers = rest.removeAll(QStringLiteral("--page-numbers")) > 0;
    if (rest.removeAll(QStringLiteral("--odd")) > 0)
        request.parity = 1;
    if (rest.removeAll(QStringLiteral("--even")) > 0)
        request.parity = 2;
    for (const auto &[name, value] : {qMakePair(QStringLiteral("--from"), &request.first),
                                      qMakePair(QStringLiteral("--to"), &request.last)}) {
        const qsizetype i = rest.indexOf(name);
        if (i >= 0 && i + 1 < rest.size()) {
            *value = rest.at(i + 1).toInt();
            rest.remove(i, 2);
        }
    }
    if (rest.size() != 2)
        return usage("print FILE OUT.pdf [--from N --to M] [--odd|--even] [--page-numbers]");
    const auto document = loadText(rest.at(0));
    if (!document)
        return 1;
    request.title = QFileInfo(rest.at(0)).fileName();

    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    {
        QPrinter baseline(QPrinter::HighResolution);
        setUpPdf(baseline, dir.filePath(QStringLiteral("baseline.pdf")));
        document->print(&baseline);
    }
    const double baselineSeconds = t.nsecsElapsed() / 1e9;

    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, QFileInfo(rest.at(1)).absoluteFilePath());
    t.restart();
    const PrintResult result = printDocument(*document, printer, request);
    const double seconds = t.nsecsElapsed() / 1e9;
    printJson({
        {QStringLiteral("op"), QStringLiteral("print")},
        {QStringLiteral("pages"), int(result.pages.size())},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("baseline_seconds"), baselineSeconds},
        {QStringLiteral("peak_rss_mb"), peakRssMb()},
    });
    return result.status == PrintResult::Failed || result.status == PrintResult::Cancelled ? 1 : 0;
}

int Bench::previewCommand(const QStringList &args)
{
    QStringList rest = args;
    QString screenshot;
    const qsizetype shot = rest.indexOf(QStringLiteral("--screenshot"));
    if (shot >= 0 && shot + 1 < rest.size()) {
        screenshot = rest.at(shot + 1);
        rest.remove(shot, 2);
    }
    if (rest.size() != 1)
        return usage("preview FILE [--screenshot OUT.png]");
    const auto document = loadText(rest.first());
    if (!document)
        return 1;
    Settings settings;
    PageNumbering numbers;
    numbers.setOn(true);
    TPreviewForm form(settings, TextSet::english(), numbers);
    TPrintPreview &preview = *form.PrintPreview1();
    double firstPageSeconds = -1;
    QElapsedTimer t;
    QObject::connect(&preview.pages(), &TMetafileList::changed, [&] {
        if (firstPageSeconds < 0 && preview.TotalPages() == 1) {
            // On screen: the sheet painted with the page.
            preview.sheet()->grab();
            firstPageSeconds = t.nsecsElapsed() / 1e9;
        }
    });
    t.start();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QObject source;
    const int recorded = form.showDocument(*document, printerGeometry(printer, PageMargins{}),
                                           QFileInfo(rest.first()).fileName(), &source);
    const double seconds = t.nsecsElapsed() / 1e9;
    QElapsedTimer turn;
    turn.start();
    preview.setCurrentPage(recorded / 2);
    preview.sheet()->grab();
    const double turnSeconds = turn.nsecsElapsed() / 1e9;
    turn.restart();
    preview.setZoom(150);
    preview.sheet()->grab();
    const double zoomSeconds = turn.nsecsElapsed() / 1e9;
    if (!screenshot.isEmpty()) {
        preview.setZoomState(zsZoomToFit);
        preview.setCurrentPage(2);
        QCoreApplication::processEvents();
        form.grab().save(screenshot);
    }
    printJson({
        {QStringLiteral("op"), QStringLiteral("preview")},
        {QStringLiteral("pages"), recorded},
        {QStringLiteral("first_page_seconds"), firstPageSeconds},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("stream_bytes"), preview.pages().streamSize()},
        {QStringLiteral("turn_page_seconds"), turnSeconds},
        {QStringLiteral("zoom_seconds"), zoomSeconds},
        {QStringLiteral("peak_rss_mb"), peakRssMb()},
    });
    return recorded > 0 ? 0 : 1;
}
