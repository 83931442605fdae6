#include "FrameFixture.h"
#include "PdfText.h"

#include "document/TextProperties.h"
#include "platform/SettingsLines.h"
#include "platform/ui/PrintDialogEx.h"
#include "print/Pagination.h"
#include "print/ui/PageSetupUnit.h"
#include "print/ui/Preview.h"
#include "print/ui/PreviewUnit.h"
#include "print/ui/PrintCommands.h"
#include "print/ui/PrintJob.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QPrinter>
#include <QSpinBox>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

using Request = UserInteraction::PrintDialogRequest;
using Answer = UserInteraction::PrintDialogAnswer;

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("L%1 quick brown fox").arg(i, 3, 10, QLatin1Char('0'));
    return lines.join(QStringLiteral("\r"));
}

} // namespace

// The print commands of the document windows, run through the frame with
// scripted dialogs and a PDF printer.
class TestPrintWiring : public QObject
{
    Q_OBJECT

    FrameFixture m_fixture;
    TFrameForm *m_frame = nullptr;

    TEditForm *newDocument(const QString &text)
    {
        TEditForm *form = m_frame->CreateDocumentWindow();
        form->show();
        m_frame->mdiArea()->setActiveSubWindow(form);
        form->Editor()->setSelText(text);
        return form;
    }

    // The print dialog answers with a PDF file and the given choices.
    void answerPrintDialog(const QString &pdf, Request::Range range, int oddEven, int from = 1, int to = 1)
    {
        m_fixture.ui.onPrintDialog = [=](const Request &request) {
            request.printer->setOutputFormat(QPrinter::PdfFormat);
            request.printer->setOutputFileName(pdf);
            request.printer->setPageSize(QPageSize(QPageSize::A4));
            Answer answer;
            answer.accepted = true;
            answer.range = range;
            answer.fromPage = from;
            answer.toPage = to;
            answer.oddEvenIndex = oddEven;
            return answer;
        };
    }

    QStringList firstWords(const QString &pdf)
    {
        QStringList first;
        for (int page = 1; page <= PdfText::pageCount(pdf); ++page)
            first << PdfText::words(pdf, page).value(0);
        return first;
    }

private slots:
    void initTestCase()
    {
        m_fixture.writeSettings({});
        m_frame = m_fixture.start();
        QVERIFY(m_frame->printCommands());
    }

    void cleanup()
    {
        m_fixture.discardChanges();
        for (TEditForm *f : m_frame->documents())
            delete f;
        m_fixture.ui.clear();
        m_fixture.ui.onPrintDialog = {};
        m_fixture.ui.onDialog = {};
        m_frame->printCommands()->setPageNoPrint(false);
    }

    void printsToPdfThroughTheCommand()
    {
        TEditForm *form = newDocument(numberedLines(120));
        const QString pdf = m_fixture.path(QStringLiteral("all.pdf"));
        answerPrintDialog(pdf, Request::AllPages, 0);
        m_frame->printCommands()->setPageNoPrint(true);
        // The formatting tool bar's print button runs the command.
        auto *button = form->toolBar()->findChild<QToolButton *>(QStringLiteral("ToolButton4"));
        QVERIFY(button);
        QCOMPARE(form->action(EditAction::Print1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        button->click();
        QCOMPARE(m_fixture.ui.printRequests().size(), 1);
        const Request asked = m_fixture.ui.printRequests().first();
        QCOMPARE(asked.oddEvenItems, (QStringList{QStringLiteral("All Pages"), QStringLiteral("Odd Pages"),
                                                  QStringLiteral("Even Pages")}));
        const int pages = PdfText::pageCount(pdf);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(PdfText::words(pdf, 1).value(0), QStringLiteral("L001"));
        // The page number sits 15 mm above the paper's bottom edge.
        const QList<PdfText::Word> words = PdfText::boxes(pdf, 2);
        QVERIFY(!words.isEmpty());
        const PdfText::Word number = words.last();
        QCOMPARE(number.text, QStringLiteral("2"));
        const double mmFromBottom = (842 - number.box.top()) * 25.4 / 72;
        QVERIFY2(qAbs(mmFromBottom - 15) < 1.5, qPrintable(QString::number(mmFromBottom)));
        QVERIFY(m_fixture.ui.messageTexts().isEmpty());

        // Cancelled: nothing is printed.
        QVERIFY(QFile::remove(pdf));
        m_fixture.ui.onPrintDialog = {};
        form->Print1Click();
        QVERIFY(!QFile::exists(pdf));
    }

    void oddEvenAndRangesThroughTheDialog()
    {
        TEditForm *form = newDocument(numberedLines(200));
        const QString pdf = m_fixture.path(QStringLiteral("even.pdf"));
        answerPrintDialog(pdf, Request::AllPages, 2);
        form->Print1Click();
        const int pages = PdfText::pageCount(pdf);
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        // Even pages only, one per sheet: the second sheet starts where the
        // document's fourth page does.
        const Pagination layout(*form->Editor()->document(),
                                printerGeometry(m_frame->printCommands()->printer(), PageMargins{}));
        const QList<int> starts = layout.pageStarts();
        const QString text = form->Editor()->document()->toPlainText();
        QCOMPARE(PdfText::words(pdf, 1).value(0), text.mid(starts.at(1), 4));
        QCOMPARE(pages, layout.pageCount() / 2);

        // The list's choice stays with this window, not with others.
        m_fixture.ui.onPrintDialog = {};
        form->Print1Click();
        QCOMPARE(m_fixture.ui.printRequests().last().oddEvenIndex, 2);
        TEditForm *other = newDocument(QStringLiteral("other"));
        other->Print1Click();
        QCOMPARE(m_fixture.ui.printRequests().last().oddEvenIndex, 0);

        // Pages 3 to 3 with even pages prints nothing; with odd pages page 3.
        m_frame->mdiArea()->setActiveSubWindow(form);
        const QString range = m_fixture.path(QStringLiteral("range.pdf"));
        answerPrintDialog(range, Request::PageRange, 2, 3, 3);
        form->Print1Click();
        QVERIFY(!QFile::exists(range));
        answerPrintDialog(range, Request::PageRange, 1, 3, 3);
        form->Print1Click();
        QCOMPARE(PdfText::pageCount(range), 1);
        QCOMPARE(PdfText::words(range, 1).value(0), text.mid(starts.at(2), 4));
        QCOMPARE(m_fixture.ui.printRequests().last().range, Request::PageRange);

        // A selection ending in blanks prints its text only.
        form->Editor()->select(0, 40);
        const QString selection = m_fixture.path(QStringLiteral("selection.pdf"));
        answerPrintDialog(selection, Request::Selection, 2);
        form->Print1Click();
        QCOMPARE(PdfText::pageCount(selection), 1);
        QCOMPARE(PdfText::words(selection, 1).value(0), QStringLiteral("L001"));
    }

    void dialogListSitsInThePrintDialog()
    {
        QPrinter printer;
        // A file that does not exist yet: the dialog asks nothing more.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_fixture.path(QStringLiteral("dialog.pdf")));
        TPrintDialogEx dialog(&printer);
        dialog.setComboBoxItems({QStringLiteral("A"), QStringLiteral("O"), QStringLiteral("E")});
        dialog.setComboBoxItemIndex(1);
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        dialog.setFromTo(2, 3);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QComboBox *list = dialog.comboBox();
        QVERIFY(dialog.isAncestorOf(list));
        QVERIFY(!list->isHidden());
        QCOMPARE(list->currentText(), QStringLiteral("O"));
        list->setCurrentIndex(2);
        QCOMPARE(dialog.comboBoxItemIndex(), 2);
        // A range chosen in the dialog comes back and the printer prints every sheet it gets.
        dialog.accept();
        QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
        int from = 0, to = 0;
        dialog.takeRange(range, from, to);
        QCOMPARE(range, QAbstractPrintDialog::PageRange);
        QCOMPARE(from, 2);
        QCOMPARE(to, 3);
        QCOMPARE(printer.printRange(), QPrinter::AllPages);
    }

    void pageSetupMarginsTakeEffect()
    {
        TEditForm *form = newDocument(numberedLines(10));
        m_fixture.ui.onDialog = [](QDialog *dialog) {
            auto *setup = qobject_cast<TPageSetupForm *>(dialog);
            if (!setup)
                return 0;
            setup->show();
            setup->setMargins({40, 20, 60, 25});
            setup->close();
            return 1;
        };
        // WYSIWYG wraps the editor at the printed width, re-wrapped at once by the page setup.
        QAction *wysiwyg = form->action(EditAction::WYSIWYG1);
        form->Wordwrap1Click(); // off: WYSIWYG turns it on again
        QVERIFY(!form->Editor()->WordWrap());
        wysiwyg->trigger();
        QVERIFY(form->isWysiwyg());
        QVERIFY(form->Editor()->WordWrap());
        const int before = form->Editor()->fixedWrapWidth();
        QCOMPARE(before, m_frame->printCommands()->printedLineWidth(form->Editor()->logicalDpiX()));
        form->Pagesetup1Click();
        const int after = form->Editor()->fixedWrapWidth();
        // 35 mm less text width.
        QVERIFY2(qAbs((before - after) - 35 / 25.4 * form->Editor()->logicalDpiX()) < 2,
                 qPrintable(QStringLiteral("%1 %2").arg(before).arg(after)));
        QCOMPARE(m_fixture.frame->settings().line(SettingsLine::MarginLeft), QStringLiteral("60"));

        const QString pdf = m_fixture.path(QStringLiteral("margins.pdf"));
        answerPrintDialog(pdf, Request::AllPages, 0);
        form->Print1Click();
        const QList<PdfText::Word> words = PdfText::boxes(pdf, 1);
        QVERIFY(!words.isEmpty());
        QVERIFY2(qAbs(words.first().box.left() * 25.4 / 72 - 60) < 1, qPrintable(QString::number(words.first().box.left())));
        QVERIFY2(qAbs(words.first().box.top() * 25.4 / 72 - 40) < 3, qPrintable(QString::number(words.first().box.top())));

        // Word wrap off ends WYSIWYG; the editor no longer wraps at the printed width.
        form->Wordwrap1Click();
        QVERIFY(!form->isWysiwyg());
        form->Wordwrap1Click();
        QCOMPARE(form->Editor()->fixedWrapWidth(), 0);
        m_frame->printCommands()->pageSetupForm()->setMargins(PageMargins{});
    }

    void previewsHiddenTextAndLetsGoOfAClosedDocument()
    {
        TEditForm *form = newDocument(QStringLiteral("Shown at the top.\r"));
        // A paragraph of pages of hidden words takes no room on the pages.
        const int start = form->Editor()->TextLength();
        form->Editor()->setSelText(QStringLiteral("hidden words here ").repeated(2000));
        form->Editor()->select(start, form->Editor()->TextLength() - start);
        form->Editor()->SelAttributes().setHidden(true);
        form->Editor()->select(0, 0);
        m_frame->printCommands()->setPageNoPrint(true);
        form->Preview2Click();
        TPreviewForm *preview = m_frame->printCommands()->previewForm();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->previewSource(), static_cast<QObject *>(form));
        QCOMPARE(preview->PrintPreview1()->TotalPages(), 1);
        QCOMPARE(preview->Panel1()->text(), QStringLiteral(" / 1"));
        QCOMPARE(preview->windowTitle(), form->caption());

        // The preview's print button prints its document.
        const QString pdf = m_fixture.path(QStringLiteral("frompreview.pdf"));
        answerPrintDialog(pdf, Request::AllPages, 0);
        preview->ToolButton2()->click();
        QCOMPARE(PdfText::pageCount(pdf), 1);
        QCOMPARE(PdfText::words(pdf, 1).value(0), QStringLiteral("Shown"));

        // The document closes: the preview keeps nothing of it.
        m_fixture.discardChanges();
        form->close();
        QTRY_VERIFY(m_frame->documents().isEmpty());
        QTRY_VERIFY(!preview->previewSource());
        QCOMPARE(preview->PrintPreview1()->TotalPages(), 0);
        m_fixture.ui.clear();
        preview->ToolButton2()->click();
        preview->ToolButton4()->click();
        QVERIFY(m_fixture.ui.shown.isEmpty());
        preview->hide();
    }

    void previewPlaceIsStoredOnTheScreen()
    {
        TPreviewForm *preview = m_frame->printCommands()->previewForm();
        preview->move(-5000, -5000);
        preview->resize(100000 / 10, 300);
        m_frame->printCommands()->storeSettings();
        const Settings &settings = m_frame->settings();
        const QRect area = preview->screen()->availableGeometry();
        const QRect stored(settings.number(SettingsLine::PreviewLeft, 0), settings.number(SettingsLine::PreviewTop, 0),
                           settings.number(SettingsLine::PreviewWidth, 0), settings.number(SettingsLine::PreviewHeight, 0));
        QVERIFY2(area.contains(stored.topLeft()), qPrintable(QStringLiteral("%1,%2").arg(stored.x()).arg(stored.y())));
        QVERIFY(stored.width() <= area.width());
        QCOMPARE(settings.line(SettingsLine::PageNumbers), QStringLiteral("No PageNo"));
    }
};

QTEST_MAIN(TestPrintWiring)
#include "tst_printwiring.moc"
