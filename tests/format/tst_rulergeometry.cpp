#include "format/RulerGeometry.h"

#include <QTest>

class TestRulerGeometry : public QObject
{
    Q_OBJECT

private slots:
    void indentsMapBothWays_data();
    void indentsMapBothWays();
    void dropsAreClamped();
    void dragStaysOnTheRuler_data();
    void dragStaysOnTheRuler();
};

void TestRulerGeometry::indentsMapBothWays_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("right");
    QTest::newRow("zero left") << 0 << false;
    QTest::newRow("72 left") << 72 << false;
    QTest::newRow("72 right") << 72 << true;
    QTest::newRow("negative first line") << -40 << false;
    QTest::newRow("odd") << 7 << true;
}

void TestRulerGeometry::indentsMapBothWays()
{
    QFETCH(int, points);
    QFETCH(bool, right);
    const RulerGeometry g(9, 609);
    const auto side = right ? RulerGeometry::Side::Right : RulerGeometry::Side::Left;
    const int x = g.indentToX(points, side);
    QCOMPARE(x, right ? 609 - int(points * 4.0 / 3.0) : 9 + int(points * 4.0 / 3.0));
    // Pixels are coarser than points: a point may be lost, never gained.
    const int back = g.xToIndent(x, side);
    QVERIFY2(qAbs(back - points) <= 1, qPrintable(QString::number(back)));
}

void TestRulerGeometry::dropsAreClamped()
{
    const RulerGeometry g(9, 609);
    // Left of the text area: first indent 0.
    QCOMPARE(g.droppedFirstIndent(-500), 0);
    QCOMPARE(g.droppedFirstIndent(9 + 96), 72);
    // The left indent is relative to the first and never goes left of the margin.
    QCOMPARE(g.droppedLeftIndent(9 + 96, 36), 36);
    QCOMPARE(g.droppedLeftIndent(-1000, 36), -36);
    // Beyond the right end, and far beyond int range of points: 0 and no overflow.
    QCOMPARE(g.droppedRightIndent(5000), 0);
    QCOMPARE(g.droppedRightIndent(609 - 48), 36);
    QVERIFY(g.xToIndent(-2147483647, RulerGeometry::Side::Left) < 0);
    QVERIFY(g.indentToX(2147483647, RulerGeometry::Side::Left) > 9);
}

void TestRulerGeometry::dragStaysOnTheRuler_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 100 << 100;
    QTest::newRow("before the start") << -40 << 0;
    QTest::newRow("beyond the end") << 900 << 600 - 12;
}

void TestRulerGeometry::dragStaysOnTheRuler()
{
    QFETCH(int, left);
    QFETCH(int, expected);
    QCOMPARE(RulerGeometry::dragPosition(left, 600, 6), expected);
}

QTEST_GUILESS_MAIN(TestRulerGeometry)
#include "tst_rulergeometry.moc"
