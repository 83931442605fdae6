#include "print/MetafileList.h"
#include "print/PaperTypes.h"
#include "print/PreviewLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A page whose data grows with lines.
QPicture pageWith(int lines, const QString &word)
{
    QPicture picture;
    QPainter painter(&picture);
    for (int i = 0; i < lines; ++i)
        painter.drawText(10, 20 + 12 * i, QStringLiteral("%1 %2").arg(word).arg(i));
    painter.end();
    return picture;
}

QByteArray bytes(const QPicture &picture)
{
    return QByteArray(picture.data(), int(picture.size()));
}

} // namespace

class TestPreviewModel : public QObject
{
    Q_OBJECT

private slots:
    void conversions()
    {
        using namespace PaperTypes;
        QCOMPARE(mulDiv(5, 1, 2), 3);
        QCOMPARE(mulDiv(-5, 1, 2), -3);
        QCOMPARE(mulDiv(7, 3, 0), -1);
        QCOMPARE(mulDiv(2000000000, 3, 4), 1500000000); // no overflow in between
        QCOMPARE(convert(2970, mmLoMetric, mmHiMetric, 96, 96), 29700);
        QCOMPARE(convert(29709, mmHiMetric, mmLoMetric, 96, 96), 2970); // divides, truncating
        QCOMPARE(convert(30, mmTWIPS, mmPoints, 96, 96), 1);
        QCOMPARE(convert(2970, mmLoMetric, mmPixel, 96, 96), 1123); // 1122.5 rounds up
        QCOMPARE(convert(100, mmPixel, mmPixel, 192, 96), 200);
        QCOMPARE(convert(8500, mmHiEnglish, mmLoMetric, 96, 96), 2159);
    }

    void paperTypeOfAnExtent()
    {
        using namespace PaperTypes;
        QCOMPARE(find(QSize(2100, 2970), mmLoMetric, false, 96), pA4);
        QCOMPARE(find(QSize(2100, 2980), mmLoMetric, false, 96), pCustom);
        QCOMPARE(find(QSize(2970, 2100), mmLoMetric, true, 96), pA4);
        QCOMPARE(find(QSize(2970, 2100), mmLoMetric, false, 96), pCustom);
        QCOMPARE(find(QSize(21000, 29700), mmHiMetric, false, 96), pA4);
        // Letter in 0.1 mm, converted back into its own unit.
        QCOMPARE(find(extent(pLetter, mmLoMetric, 96), mmLoMetric, false, 96), pLetter);
        QCOMPARE(size(pA2).code, 66);
        QCOMPARE(size(pCustom).code, 256);
        QCOMPARE(extent(pCustom, mmLoMetric, 96), QSize());
        // Every named size is found again from its own extent, as itself or an
        // earlier row of the same size.
        for (int i = 0; i < pCustom; ++i) {
            const TPaperType found = find(extent(TPaperType(i), mmHiMetric, 96), mmHiMetric, false, 96);
            QVERIFY(found <= i);
            QCOMPARE(extent(found, mmHiMetric, 96), extent(TPaperType(i), mmHiMetric, 96));
        }
    }

    void sheetSizes()
    {
        using namespace PreviewLayout;
        const QSize a4(794, 1123);
        const Frame frame{1, 3};
        // Fit in a wide view fits the height.
        QSize sheet = sheetSize(zsZoomToFit, 100, a4, QSize(1000, 500), frame);
        QCOMPARE(sheet.height(), 500);
        QCOMPARE(zoomOfSheet(sheet, a4, frame), 44); // Round(495 × 100 / 1123)
        // …and in a tall view the width.
        sheet = sheetSize(zsZoomToFit, 100, a4, QSize(300, 2000), frame);
        QCOMPARE(sheet.width(), 300);
        QCOMPARE(sheet.height(), frame.frame(PaperTypes::mulDiv(295, 1123, 794)));
        QCOMPARE(sheetSize(zsZoomOther, 50, a4, QSize(10, 10), frame), QSize(397 + 5, 562 + 5));
    }

    void layoutOverflowAndCentring()
    {
        using namespace PreviewLayout;
        Input in;
        in.client = QSize(600, 400);
        in.margin = QSize(4, 4);
        in.vBarWidth = in.hBarHeight = 16;
        in.page = QSize(794, 1123);
        in.state = zsZoomOther;
        in.zoom = 25; // 199 × 281 plus frame: fits
        Result r = layout(in);
        QVERIFY(!r.horzOverflow && !r.vertOverflow);
        QCOMPARE(r.sheet.center().x(), 300 - 1);
        QCOMPARE(r.hMaximum(), 0);

        in.zoom = 50; // 402 × 567: only taller than the view; the bar narrows it
        r = layout(in);
        QVERIFY(!r.horzOverflow && r.vertOverflow);
        QCOMPARE(r.available, QSize(592 - 16, 392));
        QCOMPARE(r.sheet.top(), 4);
        QCOMPARE(r.vMaximum(), 567 - 392);

        in.zoom = 150; // wider and taller
        r = layout(in);
        QVERIFY(r.horzOverflow && r.vertOverflow);
        QCOMPARE(r.sheet.topLeft(), QPoint(4, 4));
        QCOMPARE(r.available, QSize(576, 376));

        // Bars now shown do not count against the room.
        in.zoom = 25;
        in.client = QSize(584, 384);
        in.hBarShown = in.vBarShown = true;
        r = layout(in);
        QVERIFY(!r.horzOverflow && !r.vertOverflow);
        QCOMPARE(r.available, QSize(592, 392));

        QCOMPARE(positionPercent(50, 200), 25);
        QCOMPARE(positionFromPercent(25, 400), 100);
        QCOMPARE(positionPercent(10, 0), 0);
    }

    void wheelTurnsAddUp()
    {
        PreviewLayout::WheelAccumulator wheel;
        QCOMPARE(wheel.add(60), 0);
        QCOMPARE(wheel.add(60), 1);
        QCOMPARE(wheel.add(240), 2);
        QCOMPARE(wheel.add(-100), 0);
        QCOMPARE(wheel.add(-140), -2);
        QCOMPARE(wheel.pending(), 0);
    }

    void zoomButtonsAndZoomBox()
    {
        using namespace PreviewLayout;
        QCOMPARE(zoomIn(zsZoomToWidth, 33), 112);
        QCOMPARE(zoomIn(zsZoomToFit, 33), 68);
        QCOMPARE(zoomOut(zsZoomToWidth, 33), 50);
        QCOMPARE(zoomOut(zsZoomToFit, 33), 30);
        QCOMPARE(zoomIn(zsZoomOther, 338), 507);  // the preview clamps to 500
        QCOMPARE(zoomOut(zsZoomOther, 13), 9);    // …and to 10
        QCOMPARE(zoomFromText(QStringLiteral("120%")), 120);
        QCOMPARE(zoomFromText(QStringLiteral("abc")), 50);
        QCOMPARE(zoomFromText(QStringLiteral("%%80")), 50);
        QCOMPARE(zoomFromText(QString()), 50);
    }

    void pagesKeepTheirDataAndRewriteMovesTheRest_data()
    {
        QTest::addColumn<bool>("tempFile");
        QTest::newRow("memory") << false;
        QTest::newRow("temporary file") << true;
    }

    void pagesKeepTheirDataAndRewriteMovesTheRest()
    {
        QFETCH(bool, tempFile);
        TMetafileList list;
        QVERIFY(list.setUseTempFile(tempFile));
        QSignalSpy changed(&list, &TMetafileList::changed);
        QSignalSpy rewritten(&list, &TMetafileList::pageRewritten);
        QList<QByteArray> expected;
        for (int i = 0; i < 5; ++i) {
            const QPicture page = pageWith(3 + i, QStringLiteral("page%1").arg(i));
            QVERIFY(list.append(page));
            expected << bytes(page);
        }
        QCOMPARE(changed.size(), 5);
        QCOMPARE(list.count(), 5);
        if (tempFile) {
            QVERIFY(QFileInfo(list.tempFileName()).fileName().startsWith(QLatin1String("PP")));
            QCOMPARE(QFileInfo(list.tempFileName()).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
            QVERIFY(QFile::exists(list.tempFileName()));
        }
        QCOMPARE(bytes(list.page(3)), expected.at(3)); // page 4 cached: must be read again after the move

        const qint64 before = list.streamSize();
        const QPicture larger = pageWith(40, QStringLiteral("rewritten"));
        QVERIFY(list.rewrite(1, larger));
        expected[1] = bytes(larger);
        QCOMPARE(rewritten.size(), 1);
        QCOMPARE(list.streamSize(), before + expected.at(1).size() - bytes(pageWith(4, QStringLiteral("page1"))).size());
        for (int i = 4; i >= 0; --i)
            QCOMPARE(bytes(list.page(i)), expected.at(i));

        const QPicture smaller = pageWith(1, QStringLiteral("s"));
        QVERIFY(list.rewrite(1, smaller));
        expected[1] = bytes(smaller);
        qint64 total = 0;
        for (const QByteArray &b : expected)
            total += b.size();
        QCOMPARE(list.streamSize(), total); // shrunk, no stale tail
        for (int i = 0; i < 5; ++i)
            QCOMPARE(bytes(list.page(i)), expected.at(i));
        QVERIFY(list.rewrite(4, larger)); // the last page just grows the stream
        QCOMPARE(bytes(list.page(4)), bytes(larger));
        QCOMPARE(bytes(list.page(3)), expected.at(3));

        // A recorded page plays back as drawn.
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawPicture(0, 0, list.page(0));
        painter.end();
        QVERIFY(image != QImage(200, 200, QImage::Format_RGB32));

        const QString file = list.tempFileName();
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.streamSize(), 0);
        QVERIFY(list.page(0).isNull());
        if (tempFile)
            QVERIFY(!QFile::exists(file));
    }

    void switchingStorageKeepsThePages()
    {
        TMetafileList list;
        const QPicture a = pageWith(2, QStringLiteral("a")), b = pageWith(5, QStringLiteral("b"));
        list.append(a);
        list.append(b);
        QVERIFY(list.setUseTempFile(true));
        const QString file = list.tempFileName();
        QVERIFY(QFile::exists(file));
        QCOMPARE(bytes(list.page(1)), bytes(b));
        QVERIFY(list.setUseTempFile(false));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(bytes(list.page(0)), bytes(a));
        QCOMPARE(bytes(list.page(1)), bytes(b));
        QVERIFY(!list.rewrite(2, a));
        QVERIFY(list.page(-1).isNull());
    }
};

QTEST_MAIN(TestPreviewModel)
#include "tst_previewmodel.moc"
