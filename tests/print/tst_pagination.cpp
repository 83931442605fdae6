#include "print/Pagination.h"
#include "document/TextProperties.h"
#include "document/rtf/RtfReader.h"
#include "print/ui/Preview.h"
#include "print/ui/PreviewRendering.h"
#include "print/ui/PrintJob.h"

#include "PdfText.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtTest>

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

// Numbered lines "L001 …", so every page's first word tells where it starts.
std::unique_ptr<QTextDocument> numberedLines(int count)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Liberation Serif"), 12));
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("L%1 quick brown fox").arg(i, 3, 10, QLatin1Char('0'));
    doc->setPlainText(lines.join(u'\n'));
    return doc;
}

PageGeometry a4(int dpi = 300, PageMargins margins = {})
{
    return PageGeometry::fromMillimetres(QSizeF(210, 297), dpi, dpi, margins);
}

// A PDF printer on A4 writing to path.
void setUpPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setOutputFileName(path);
}

} // namespace

class TestPagination : public QObject
{
    Q_OBJECT

private slots:
    void sheetRule_data()
    {
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("parity");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("all") << 5 << 1 << -1 << 0 << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("even of five") << 5 << 1 << -1 << 2 << QList<int>{2, 4};
        QTest::newRow("odd of five") << 5 << 1 << -1 << 1 << QList<int>{1, 3, 5};
        QTest::newRow("3 to 3 all") << 5 << 3 << 3 << 0 << QList<int>{3};
        QTest::newRow("3 to 3 odd") << 5 << 3 << 3 << 1 << QList<int>{3};
        QTest::newRow("3 to 3 even: no job") << 5 << 3 << 3 << 2 << QList<int>{};
        QTest::newRow("range beyond the end") << 5 << 7 << 9 << 0 << QList<int>{};
        QTest::newRow("range past the end is cut") << 5 << 4 << 99 << 0 << QList<int>{4, 5};
        QTest::newRow("even 2 to 5") << 5 << 2 << 5 << 2 << QList<int>{2, 4};
        QTest::newRow("parity 3 counts as all") << 3 << 1 << -1 << 3 << QList<int>{1, 2, 3};
        QTest::newRow("first 0 counts as 1") << 2 << 0 << -1 << 0 << QList<int>{1, 2};
    }

    void sheetRule()
    {
        QFETCH(int, pageCount);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, parity);
        QFETCH(QList<int>, pages);
        QCOMPARE(pagesToPrint(pageCount, first, last, parity), pages);
    }

    void marginsInPixelsRoundHalvesToEven()
    {
        // 25 mm at 254 dpi is 250 px exactly; 0.05 mm steps give the halves.
        QCOMPARE(PageGeometry::mmToPixels(25, 254), 250);
        QCOMPARE(PageGeometry::mmToPixels(2.5 * 25.4 / 254 * 10, 1), 0);
        QCOMPARE(PageGeometry::mmToPixels(25.4 * 2.5, 1), 2);
        QCOMPARE(PageGeometry::mmToPixels(25.4 * 3.5, 1), 4);
        const PageGeometry g = a4(254, {25, 20, 25, 25});
        QCOMPARE(g.paperPixels, QSize(2100, 2970));
        QCOMPARE(g.textRect(), QRect(QPoint(250, 250), QPoint(2100 - 250 - 1, 2970 - 200 - 1)));
        // 15 mm above the bottom edge, 4 mm high.
        QCOMPARE(g.pageNumberTop(), 2970 - 150);
        QCOMPARE(g.pageNumberPixelSize(), 40);
    }

    void marginsLeavingNoRoomUseTheWholePaper()
    {
        const PageGeometry g = a4(254, {200, 200, 10, 10});
        QCOMPARE(g.textRect(), g.paperRect());
        auto doc = numberedLines(20);
        Pagination pages(*doc, g);
        QVERIFY(pages.pageCount() >= 1);
    }

    void formFeedsStartPages()
    {
        QTextDocument doc;
        // Feeds inside a paragraph, twice in a row, and ending a paragraph.
        doc.setPlainText(QStringLiteral("a\fb\f\fc\nd\f\ne"));
        Pagination pages(doc, a4());
        QCOMPARE(pages.pageCount(), 5);
        // "a\f" | "b\f" | "\f" | "c\nd\f\n" | "e"
        QCOMPARE(pages.pageStarts(), (QList<int>{0, 2, 4, 5, 10}));
        QCOMPARE(doc.toPlainText(), QStringLiteral("a\fb\f\fc\nd\f\ne")); // the caller's copy is untouched
    }

    void pagesFoundOneByOneAreAllThePages()
    {
        const auto count = [](const QTextDocument &doc, const PageGeometry &g) {
            Pagination lazy(doc, g);
            int pages = 1;
            while (lazy.hasPageAfter(pages - 1))
                ++pages;
            return pages;
        };
        std::vector<std::unique_ptr<QTextDocument>> docs;
        docs.push_back(numberedLines(150));
        docs.push_back(numberedLines(50));
        docs.push_back(std::make_unique<QTextDocument>());
        docs.push_back(std::make_unique<QTextDocument>(QStringLiteral("a\fb\f\fc\nd\f\ne\f")));
        for (const auto &doc : docs) {
            for (const PageGeometry &g : {a4(), a4(600, {10, 10, 10, 10})}) {
                Pagination whole(*doc, g);
                QCOMPARE(count(*doc, g), whole.pageCount());
            }
        }
    }

    void hiddenTextIsNotPrinted()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat hidden;
        hidden.setProperty(TextProperty::Hidden, true);
        cursor.insertText(QStringLiteral("shown "));
        cursor.insertText(QStringLiteral("secret\fword "), hidden);
        cursor.insertText(QStringLiteral("al"), QTextCharFormat());
        cursor.insertText(QStringLiteral("\x2028 \t"), hidden); // breaks no line
        cursor.insertText(QStringLiteral("so\fnext"), QTextCharFormat());
        // "shown also\f" | "next": the hidden feed makes no page.
        Pagination pages(doc, a4());
        QCOMPARE(pages.pageStarts(), (QList<int>{0, 26}));
        QCOMPARE(doc.characterAt(26), QLatin1Char('n'));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("hidden.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        QCOMPARE(printDocument(doc, printer, PrintRequest{}).pages, (QList<int>{1, 2}));
        QCOMPARE(PdfText::words(pdf, 1), (QStringList{QStringLiteral("shown"), QStringLiteral("also")}));
        QCOMPARE(PdfText::words(pdf, 2), QStringList{QStringLiteral("next")});
    }

    void whollyHiddenParagraphsTakeNoLine()
    {
        // The same numbered lines twice, once with hidden paragraphs between
        // them and before them: read ones with text, an empty one, and one hidden in the
        // editor by a selection across its end. Hidden text whose paragraph
        // end is shown leaves an empty line.
        QByteArray shown = "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24 ";
        QByteArray withHidden = shown + "{\\v hidden first\\par}";
        for (int i = 1; i <= 90; ++i) {
            const QByteArray line = "L" + QByteArray::number(i) + " quick brown fox\\par ";
            shown += line;
            withHidden += line;
            if (i % 10 == 0)
                withHidden += "{\\v hidden note " + QByteArray::number(i) + "\\par}{\\v\\par}editor hidden\\par ";
            if (i % 25 == 3) {
                shown += "\\par ";
                withHidden += "{\\v end shown}\\par ";
            }
        }
        shown += "end}";
        withHidden += "end}";
        const auto read = [](const QByteArray &rtf) {
            auto doc = std::make_unique<QTextDocument>();
            QTextCursor cursor(doc.get());
            RtfReader().read(rtf, cursor);
            return doc;
        };
        auto plain = read(shown);
        auto hidden = read(withHidden);
        QTextCharFormat hiddenFormat;
        hiddenFormat.setProperty(TextProperty::Hidden, true);
        for (QTextBlock b = hidden->begin(); b.isValid(); b = b.next()) {
            if (b.text() != QLatin1String("editor hidden"))
                continue;
            QTextCursor selection(b);
            selection.setPosition(b.position() + b.length(), QTextCursor::KeepAnchor);
            selection.mergeCharFormat(hiddenFormat);
        }

        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        const auto print = [&](const QTextDocument &doc, const QString &name) {
            setUpPdf(printer, dir.filePath(name));
            return printDocument(doc, printer, PrintRequest{}).pages.size();
        };
        const int count = print(*plain, QStringLiteral("plain.pdf"));
        QVERIFY(count >= 2);
        QCOMPARE(print(*hidden, QStringLiteral("hidden.pdf")), count);
        for (int page = 1; page <= count; ++page) {
            const auto layoutText = [&](const QString &name) {
                return PdfText::run(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                     QStringLiteral("-l"), QString::number(page), dir.filePath(name), QStringLiteral("-")});
            };
            const QString text = layoutText(QStringLiteral("hidden.pdf"));
            QVERIFY(text.contains(QStringLiteral("quick brown fox")));
            // Blank lines in the layout text would show the room of a hidden paragraph.
            QCOMPARE(text, layoutText(QStringLiteral("plain.pdf")));
        }

        // The preview draws the same pages.
        const PageGeometry geometry = printerGeometry(printer, PageMargins{});
        TPrintPreview plainPreview, hiddenPreview;
        QCOMPARE(recordPages(plainPreview, Pagination(*plain, geometry), false), count);
        QCOMPARE(recordPages(hiddenPreview, Pagination(*hidden, geometry), false), count);
        for (int page = 0; page < count; ++page) {
            const auto draw = [](TPrintPreview &preview, int index) {
                QImage image(preview.pageExtent() / 4, QImage::Format_RGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.scale(0.25, 0.25);
                preview.pages().page(index).play(&painter);
                return image;
            };
            QCOMPARE(draw(hiddenPreview, page), draw(plainPreview, page));
        }
    }

    void pageStartsMatchThePrintedPages()
    {
        auto doc = numberedLines(150);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        const PrintResult result = printDocument(*doc, printer, PrintRequest{});
        QCOMPARE(result.status, PrintResult::Printed);
        const int count = PdfText::pageCount(pdf);
        QVERIFY(count >= 3);
        QCOMPARE(result.pages.size(), count);
        Pagination pages(*doc, printerGeometry(printer, PageMargins{}));
        const QList<int> starts = pages.pageStarts();
        QCOMPARE(starts.size(), count);
        for (int page = 1; page <= count; ++page) {
            const QString expected = doc->toPlainText().mid(starts.at(page - 1), 4);
            QCOMPARE(PdfText::words(pdf, page).value(0), expected);
        }
        // Nothing lost between pages: the last line is on the last page.
        QVERIFY(PdfText::words(pdf, count).contains(QStringLiteral("L150")));
    }

    void evenPagesWithNumbersAndMargins()
    {
        auto doc = numberedLines(230); // five pages
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("even.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        const PageMargins margins{30, 20, 40, 25};
        Pagination layout(*doc, printerGeometry(printer, margins));
        QCOMPARE(layout.pageCount(), 5);
        PrintRequest request;
        request.margins = margins;
        request.parity = 2;
        request.pageNumbers = true;
        request.title = QStringLiteral("even.txt");
        const PrintResult result = printDocument(*doc, printer, request);
        QCOMPARE(result.status, PrintResult::Printed);
        QCOMPARE(result.pages, (QList<int>{2, 4}));
        QCOMPARE(PdfText::pageCount(pdf), 2);
        const QList<int> starts = layout.pageStarts();
        for (int sheet = 1; sheet <= 2; ++sheet) {
            const int page = sheet * 2;
            const QList<PdfText::Word> words = PdfText::boxes(pdf, sheet);
            QVERIFY(!words.isEmpty());
            QCOMPARE(words.first().text, doc->toPlainText().mid(starts.at(page - 1), 4));
            // The number is the last word: centred, its top 15 mm above the bottom edge.
            const PdfText::Word number = words.last();
            QCOMPARE(number.text, QString::number(page));
            QVERIFY(qAbs(number.box.center().x() - 105 * PointsPerMm) < 3);
            QVERIFY(number.box.top() > (297 - 15) * PointsPerMm - 1);
            QVERIFY2(number.box.bottom() < (297 - 10) * PointsPerMm, qPrintable(QString::number(number.box.bottom() / PointsPerMm)));
            qreal left = 1e9, top = 1e9, bottom = 0;
            for (const auto &w : words.mid(0, words.size() - 1)) {
                left = qMin(left, w.box.left());
                top = qMin(top, w.box.top());
                bottom = qMax(bottom, w.box.bottom());
            }
            QVERIFY2(qAbs(left - 40 * PointsPerMm) < 2, qPrintable(QString::number(left)));
            QVERIFY2(top >= 30 * PointsPerMm - 0.5 && top < 30 * PointsPerMm + 6, qPrintable(QString::number(top)));
            QVERIFY2(bottom <= (297 - 20) * PointsPerMm, qPrintable(QString::number(bottom / PointsPerMm)));
        }
    }

    void rangeOfPagesAndAWrongParityPageStartsNoJob()
    {
        auto doc = numberedLines(230);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("range.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        PrintRequest request;
        request.first = 3;
        request.last = 4;
        request.pageNumbers = true;
        QCOMPARE(printDocument(*doc, printer, request).pages, (QList<int>{3, 4}));
        QCOMPARE(PdfText::pageCount(pdf), 2);
        QCOMPARE(PdfText::words(pdf, 1).last(), QStringLiteral("3"));
        QCOMPARE(PdfText::words(pdf, 2).last(), QStringLiteral("4"));

        QFile::remove(pdf);
        request.first = request.last = 3;
        request.parity = 2;
        QCOMPARE(printDocument(*doc, printer, request).status, PrintResult::NothingToPrint);
        request.first = 7;
        request.last = 9;
        request.parity = 0;
        QCOMPARE(printDocument(*doc, printer, request).status, PrintResult::NothingToPrint);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void selectionLeavesOutTrailingBlanks()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("first\nsecond line\n \t\n\nthird"));
        const int end = int(QStringLiteral("first\nsecond line\n \t\n\n").size());
        QCOMPARE(Pagination::trimmedSelection(doc, 6, end), qMakePair(6, 17));
        QCOMPARE(Pagination::trimmedSelection(doc, 17, end), qMakePair(17, 17));
        // Pages of a selection start where it starts, in the document's positions.
        QCOMPARE(Pagination(doc, a4(), 6, 17).pageStarts(), QList<int>{6});
        doc.setPlainText(QStringLiteral("xx\fab\fcd"));
        QCOMPARE(Pagination(doc, a4(), 1, 8).pageStarts(), (QList<int>{1, 3, 6}));
        doc.setPlainText(QStringLiteral("first\nsecond line\n \t\n\nthird"));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("selection.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        PrintRequest request;
        request.selection = true;
        request.selectionFrom = 6;
        request.selectionTo = end;
        request.pageNumbers = true; // not for a selection
        QCOMPARE(printDocument(doc, printer, request).status, PrintResult::Printed);
        QCOMPARE(PdfText::pageCount(pdf), 1);
        QCOMPARE(PdfText::words(pdf, 1), (QStringList{QStringLiteral("second"), QStringLiteral("line")}));

        // A selection ending in a form feed and blanks makes no blank page.
        doc.setPlainText(QStringLiteral("one\ftwo\f\n\n"));
        request.selectionFrom = 0;
        request.selectionTo = doc.characterCount() - 1;
        QCOMPARE(printDocument(doc, printer, request).pages, (QList<int>{1, 2}));

        request.selectionFrom = 3;
        request.selectionTo = 4; // the feed alone
        QCOMPARE(printDocument(doc, printer, request).status, PrintResult::NothingToPrint);
    }

    void failedOrCancelledJobKeepsTheOldFile()
    {
        auto doc = numberedLines(150);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("keep.pdf"));
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents");
        }
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, pdf);
        const PrintResult cancelled = printDocument(*doc, printer, PrintRequest{}, [](int sheet) { return sheet < 2; });
        QCOMPARE(cancelled.status, PrintResult::Cancelled);
        QVERIFY(cancelled.pages.isEmpty());
        QFile kept(pdf);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("old contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.pdf")});
        QCOMPARE(printer.outputFileName(), pdf);

        setUpPdf(printer, dir.filePath(QStringLiteral("missing/out.pdf")));
        const PrintResult failed = printDocument(*doc, printer, PrintRequest{});
        QCOMPARE(failed.status, PrintResult::Failed);
        QVERIFY(!failed.error.isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));

        // The same printer then prints normally, replacing the old file and
        // keeping its permissions.
        const QFileDevice::Permissions shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
        QVERIFY(QFile::setPermissions(pdf, shared));
        setUpPdf(printer, pdf);
        QCOMPARE(printDocument(*doc, printer, PrintRequest{}).status, PrintResult::Printed);
        QVERIFY(PdfText::pageCount(pdf) >= 3);
        const QFileDevice::Permissions everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                  | QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                                  | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFileInfo(pdf).permissions() & everyone, shared);
    }

    void noPrinterIsAFailureNotACrash()
    {
        auto doc = numberedLines(20);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(QStringLiteral("no-such-printer-here"));
        printer.setOutputFileName(QString());
        const PrintResult result = printDocument(*doc, printer, PrintRequest{});
        QCOMPARE(result.status, PrintResult::Failed);
        QVERIFY(result.pages.isEmpty());
    }

    void emptyDocumentIsOneBlankPage()
    {
        QTextDocument doc;
        Pagination pages(doc, a4());
        QCOMPARE(pages.pageCount(), 1);
        QCOMPARE(pages.pageStarts(), QList<int>{0});
        QImage image(a4(30).paperPixels, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        Pagination(doc, a4(30)).paintPage(painter, 0, 1);
    }

    void pictureTallerThanAPageSpansPages()
    {
        QTextDocument doc;
        QImage tall(200, 3000, QImage::Format_RGB32);
        tall.fill(Qt::darkGreen);
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("tall.png")), tall);
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("before\n"));
        QTextImageFormat image;
        image.setName(QStringLiteral("tall.png"));
        image.setWidth(200);
        image.setHeight(3000);
        cursor.insertImage(image);
        cursor.insertText(QStringLiteral("\nafter"));
        Pagination pages(doc, a4(100));
        QVERIFY(pages.pageCount() >= 3);
        QVERIFY(pages.pageCount() < 10);
        QCOMPARE(pages.pageStarts().size(), pages.pageCount());
        QPicture picture;
        QPainter painter(&picture);
        for (int i = 0; i < pages.pageCount(); ++i)
            pages.paintPage(painter, i, i + 1);
    }
};

QTEST_MAIN(TestPagination)
#include "tst_pagination.moc"
