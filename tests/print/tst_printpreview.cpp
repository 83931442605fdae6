#include "print/ui/Preview.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Records count pages in 0.1 mm; page n has a black square at (100 + 100 n, 100).
void record(TPrintPreview &preview, int count)
{
    QVERIFY(preview.BeginDoc());
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            QVERIFY(preview.NewPage());
        QVERIFY(preview.Canvas());
        preview.Canvas()->fillRect(QRect(100 + 100 * page, 100, 100, 100), Qt::black);
    }
    QVERIFY(preview.EndDoc());
}

void sendWheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

    std::unique_ptr<TPrintPreview> preview;

private slots:
    void init()
    {
        preview = std::make_unique<TPrintPreview>();
        preview->setUnits(mmLoMetric);
        preview->resize(700, 500);
        preview->show();
        QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    }

    void cleanup() { preview.reset(); }

    void firstPageShowsTheSheetAndClearHidesIt()
    {
        QCOMPARE(preview->CurrentPage(), 0);
        QVERIFY(!preview->sheet()->isVisible());
        QSignalSpy changed(preview.get(), &TPrintPreview::changed);
        record(*preview, 3);
        QCOMPARE(preview->TotalPages(), 3);
        QCOMPARE(preview->CurrentPage(), 1);
        QVERIFY(preview->sheet()->isVisible());
        QVERIFY(changed.size() >= 3);
        // Paper settings are ignored while recording.
        preview->BeginDoc();
        preview->setPaperType(pA3);
        QCOMPARE(preview->paperType(), pA4);
        preview->EndDoc();
        preview->Clear();
        QCOMPARE(preview->CurrentPage(), 0);
        QVERIFY(!preview->sheet()->isVisible());
    }

    void recordedPageIsDrawnOnTheSheet()
    {
        preview->setZoom(100);
        record(*preview, 2);
        preview->setCurrentPage(2);
        const QImage shot = preview->sheet()->grab().toImage();
        const QRect page = preview->sheet()->pageRect();
        // 10 mm at 100 % on a 96 dpi screen is about 38 pixels.
        const auto at = [&](double mmX, double mmY) {
            return shot.pixelColor(page.left() + int(mmX * 96 / 25.4), page.top() + int(mmY * 96 / 25.4));
        };
        QCOMPARE(at(25, 15), QColor(Qt::black)); // page 2's square spans 20..30 mm
        QCOMPARE(at(15, 15), QColor(Qt::white));
        QCOMPARE(at(35, 15), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::black)); // border
    }

    void paperSizeAndType()
    {
        preview->setPaperWidth(2100);
        preview->setPaperHeight(2980);
        QCOMPARE(preview->paperType(), pCustom);
        preview->setPaperHeight(2970);
        QCOMPARE(preview->paperType(), pA4);
        preview->setPaperHeight(99999);
        QCOMPARE(preview->paperHeight(), 32767);
        preview->setPaperType(pA5);
        QCOMPARE(preview->pageExtent(), QSize(1480, 2100));
        preview->setOrientation(TPrintPreview::Orientation::Landscape);
        QCOMPARE(preview->pageExtent(), QSize(2100, 1480));
        QCOMPARE(preview->paperType(), pA5);
        preview->setUnits(mmHiMetric);
        QCOMPARE(preview->pageExtent(), QSize(21000, 14800));
    }

    void zoomIsClampedAndFitFollowsTheView()
    {
        record(*preview, 1);
        preview->setZoom(5);
        QCOMPARE(preview->zoom(), 10);
        QCOMPARE(preview->zoomState(), zsZoomOther);
        preview->setZoom(800);
        QCOMPARE(preview->zoom(), 500);
        QVERIFY(preview->horzOverflow() && preview->vertOverflow());
        QVERIFY(preview->horizontalScrollBar()->maximum() > 0);

        preview->setZoomState(zsZoomToFit);
        QVERIFY(!preview->horzOverflow() && !preview->vertOverflow());
        const int available = preview->viewport()->height() - 2 * preview->scrollMargin().height();
        QCOMPARE(preview->sheet()->height(), available);
        const int expected = qRound((available - 5) * 100.0 / preview->pageExtentPixels().height());
        QCOMPARE(preview->zoom(), expected);
    }

    void keysTurnPagesScrollAndZoom()
    {
        record(*preview, 4);
        QTest::keyClick(preview.get(), Qt::Key_PageDown);
        QCOMPARE(preview->CurrentPage(), 2);
        QTest::keyClick(preview.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(preview->CurrentPage(), 4);
        QTest::keyClick(preview.get(), Qt::Key_PageDown);
        QCOMPARE(preview->CurrentPage(), 4);
        QTest::keyClick(preview.get(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(preview->CurrentPage(), 1);
        QTest::keyClick(preview.get(), Qt::Key_PageUp, Qt::ShiftModifier); // no such combination
        QCOMPARE(preview->CurrentPage(), 1);

        preview->setZoom(200);
        QScrollBar *v = preview->verticalScrollBar();
        QTest::keyClick(preview.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(v->value(), v->maximum());
        QTest::keyClick(preview.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(v->value(), v->maximum() - 1);
        QTest::keyClick(preview.get(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(v->value(), 0);
        QTest::keyClick(preview.get(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(preview->zoom(), 210);
        QTest::keyClick(preview.get(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(preview->zoom(), 200);
    }

    void wheelStepsEvery120()
    {
        record(*preview, 3);
        preview->setZoom(200);
        QScrollBar *v = preview->verticalScrollBar();
        QSignalSpy moved(v, &QScrollBar::valueChanged);
        sendWheel(preview->sheet(), -60);
        QCOMPARE(v->value(), 0);
        sendWheel(preview->sheet(), -60);
        QCOMPARE(v->value(), v->singleStep());
        sendWheel(preview->sheet(), -240);
        QCOMPARE(v->value(), 3 * v->singleStep());
        sendWheel(preview->sheet(), -120, Qt::ShiftModifier);
        QCOMPARE(preview->CurrentPage(), 2);
        sendWheel(preview->sheet(), 120, Qt::ControlModifier);
        QCOMPARE(preview->zoom(), 210);
        sendWheel(preview->sheet(), 120, Qt::AltModifier); // not ours: nothing happens
        QCOMPARE(preview->zoom(), 210);
        QCOMPARE(preview->CurrentPage(), 2);
    }

    void draggingTheSheetScrollsByTheMoveSincePress()
    {
        record(*preview, 1);
        preview->setZoom(300);
        QWidget *sheet = preview->sheet();
        QCOMPARE(sheet->cursor().shape(), Qt::OpenHandCursor);
        QScrollBar *h = preview->horizontalScrollBar();
        QScrollBar *v = preview->verticalScrollBar();
        h->setValue(200);
        v->setValue(200);
        const QPoint press(300, 300);
        const QPoint pressGlobal = sheet->mapToGlobal(press);
        QTest::mousePress(sheet, Qt::LeftButton, Qt::NoModifier, press);
        QCOMPARE(sheet->cursor().shape(), Qt::ClosedHandCursor);
        // The pointer moves on the screen while the sheet moves under it.
        for (int step = 1; step <= 3; ++step) {
            const QPoint global = pressGlobal + QPoint(10 * step, 5 * step);
            QMouseEvent move(QEvent::MouseMove, sheet->mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(sheet, &move);
        }
        // Dragging right and down by (30, 15) brings the left and top in view.
        QCOMPARE(h->value(), 170);
        QCOMPARE(v->value(), 185);
        QTest::mouseRelease(sheet, Qt::LeftButton, Qt::NoModifier, press + QPoint(30, 15));
        QCOMPARE(sheet->cursor().shape(), Qt::OpenHandCursor);

        preview->setZoomState(zsZoomToFit);
        QCOMPARE(sheet->cursor().shape(), Qt::ArrowCursor);
    }

    void zoomKeepsTheRelativePositionAndAbortDropsEverything()
    {
        record(*preview, 2);
        preview->setZoom(200);
        QScrollBar *v = preview->verticalScrollBar();
        v->setValue(v->maximum() / 2);
        preview->setZoom(400);
        QVERIFY(qAbs(v->value() - v->maximum() / 2) <= v->maximum() / 100 + 1);
        preview->setZoomSavePos(false);
        preview->setZoom(300);
        QCOMPARE(v->value(), 0);

        QVERIFY(preview->BeginDoc());
        QCOMPARE(preview->TotalPages(), 0); // a new document replaces the pages
        preview->NewPage();
        QCOMPARE(preview->TotalPages(), 1);
        preview->Abort();
        QVERIFY(preview->isAborted());
        QCOMPARE(preview->TotalPages(), 0);
        QCOMPARE(preview->Canvas(), nullptr);
        QVERIFY(!preview->NewPage());
        QVERIFY(preview->BeginDoc()); // idle again
        QVERIFY(preview->EndDoc());
        QCOMPARE(preview->TotalPages(), 1);
    }

    void borderAndShadowKeepThePaperSize()
    {
        record(*preview, 1);
        preview->setZoom(50);
        const QSize paper = preview->sheet()->paperSize();
        preview->paperView()->setBorderWidth(4);
        preview->paperView()->setShadowWidth(8);
        QCOMPARE(preview->sheet()->paperSize(), paper);
        QCOMPARE(preview->sheet()->size(), paper + QSize(16, 16));
        QCOMPARE(preview->sheet()->pageRect(), QRect(QPoint(4, 4), paper));
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
