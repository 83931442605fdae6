#include "print/ui/PrintJob.h"

#include "print/Pagination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Redirects a PDF printer to a temporary file beside its output file and
// puts it in place on commit; otherwise the temporary file goes.
class PdfOutput
{
public:
    explicit PdfOutput(QPrinter &printer) : m_printer(printer)
    {
        if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
            return;
        m_target = QFileInfo(printer.outputFileName()).absoluteFilePath();
        const QFileInfo target(m_target);
        QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                 + QStringLiteral(".XXXXXX"));
        temporary.setAutoRemove(false);
        if (!temporary.open()) {
            m_failed = true;
            m_error = temporary.errorString();
            return;
        }
        m_temporary = temporary.fileName();
        temporary.close();
        // A temporary file is private to its owner; the output gets the
        // permissions of the file it replaces, or those of a new file.
        m_permissions = target.exists() ? target.permissions()
                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                              | QFileDevice::ReadOther;
        QFile::setPermissions(m_temporary, m_permissions);
        printer.setOutputFileName(m_temporary);
    }

    ~PdfOutput()
    {
        if (m_temporary.isEmpty())
            return;
        m_printer.setOutputFileName(m_target);
        if (!m_committed)
            QFile::remove(m_temporary);
    }

    bool failed() const { return m_failed; }
    const QString &error() const { return m_error; }

    bool commit()
    {
        if (m_temporary.isEmpty())
            return true;
        // rename() replaces the target in one step where the system can.
        if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0) {
            QFile::remove(m_target);
            if (!QFile::rename(m_temporary, m_target)) {
                m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_target), QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
        }
        m_committed = true;
        return true;
    }

private:
    QPrinter &m_printer;
    QString m_target;
    QString m_temporary;
    QString m_error;
    QFileDevice::Permissions m_permissions;
    bool m_committed = false;
    bool m_failed = false;
};

} // namespace

PageGeometry printerGeometry(const QPrinter &printer, const PageMargins &margins)
{
    PageGeometry g;
    g.dpiX = printer.logicalDpiX();
    g.dpiY = printer.logicalDpiY();
    g.paperPixels = printer.pageLayout().fullRectPixels(printer.resolution()).size();
    g.margins = margins;
    return g;
}

PrintResult printDocument(const QTextDocument &document, QPrinter &printer, const PrintRequest &request,
                          const std::function<bool(int sheet)> &proceed)
{
    PrintResult result;
    printer.setFullPage(true);
    const PageGeometry geometry = printerGeometry(printer, request.margins);

    std::unique_ptr<Pagination> pages;
    QList<int> toPrint;
    int parity = request.parity;
    if (request.selection) {
        const auto [from, to] = Pagination::trimmedSelection(document, request.selectionFrom, request.selectionTo);
        if (to > from) {
            pages = std::make_unique<Pagination>(document, geometry, from, to);
            toPrint = pagesToPrint(pages->pageCount(), 1, -1, 0);
        }
    } else {
        // A single page of the wrong parity asks for nothing: no layout needed.
        if (request.first == request.last && (parity == 1 || parity == 2) && request.first % 2 != parity % 2) {
            result.status = PrintResult::NothingToPrint;
            return result;
        }
        pages = std::make_unique<Pagination>(document, geometry);
        toPrint = pagesToPrint(pages->pageCount(), request.first, request.last, parity);
    }
    if (toPrint.isEmpty()) {
        result.status = PrintResult::NothingToPrint;
        return result;
    }

    PdfOutput output(printer);
    if (output.failed()) {
        result.error = output.error();
        return result;
    }
    printer.setDocName(request.title);
    QPainter painter;
    if (!painter.begin(&printer))
        return result;
    const bool numbers = request.pageNumbers && !request.selection;
    for (int sheet = 0; sheet < toPrint.size(); ++sheet) {
        const bool failed = printer.printerState() == QPrinter::Error;
        if (failed || (proceed && !proceed(sheet))) {
            printer.abort();
            painter.end();
            result.status = failed ? PrintResult::Failed : PrintResult::Cancelled;
            result.pages.clear(); // the output is discarded
            return result;
        }
        if (sheet > 0 && !printer.newPage())
            break;
        const int page = toPrint.at(sheet);
        pages->paintPage(painter, page - 1, numbers ? page : 0);
        result.pages.append(page);
    }
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error || result.pages.size() != toPrint.size()) {
        result.pages.clear();
        return result;
    }
    if (!output.commit()) {
        result.error = output.error();
        result.pages.clear();
        return result;
    }
    result.status = PrintResult::Printed;
    return result;
}
