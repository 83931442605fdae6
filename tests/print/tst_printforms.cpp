#include "print/Pagination.h"
#include "print/PageNumbering.h"
#include "print/PageSetup.h"
#include "print/ui/PageSetupUnit.h"
#include "print/ui/Preview.h"
#include "print/ui/PreviewUnit.h"
#include "platform/Settings.h"
#include "platform/SettingsLines.h"
#include "platform/TextSet.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextDocument>
#include <QToolButton>
#include <QPushButton>
#include <QtTest>

namespace {

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

PageGeometry a4()
{
    return PageGeometry::fromMillimetres(QSizeF(210, 297), 300, 300, PageMargins{});
}

// Dark pixels of the sheet's page in a box given in millimetres of the paper.
int darkPixels(TPrintPreview *preview, QRectF mm)
{
    const QImage shot = preview->sheet()->grab().toImage();
    const QRect page = preview->sheet()->pageRect();
    const qreal sx = page.width() / 210.0, sy = page.height() / 297.0;
    const QRect box(QPoint(page.left() + int(mm.left() * sx), page.top() + int(mm.top() * sy)),
                    QPoint(page.left() + int(mm.right() * sx), page.top() + int(mm.bottom() * sy)));
    int dark = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            dark += qGray(shot.pixel(x, y)) < 128;
    return dark;
}

void typeInto(QWidget *widget, const QString &text)
{
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
}

} // namespace

class TestPrintForms : public QObject
{
    Q_OBJECT

    const PageNumbering m_noNumbers;

private slots:
    void marginsFromSettings_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("margins");
        QTest::newRow("fresh installation") << QStringList{} << QList<int>{25, 20, 25, 25};
        QTest::newRow("stored") << QStringList{QStringLiteral("30"), QStringLiteral(" 15"), QStringLiteral("10"),
                                               QStringLiteral("12")}
                                << QList<int>{30, 15, 10, 12};
        QTest::newRow("bad values") << QStringList{QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("-4"),
                                                   QStringLiteral("12mm")}
                                    << QList<int>{25, 20, 25, 25};
        QTest::newRow("larger than the paper") << QStringList{QStringLiteral("297"), QStringLiteral("296"),
                                                              QStringLiteral("210"), QStringLiteral("99999999999")}
                                               << QList<int>{25, 296, 25, 25};
    }

    void marginsFromSettings()
    {
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, margins);
        Settings settings;
        for (int i = 0; i < lines.size(); ++i)
            settings.setLine(SettingsLine::MarginTop + i, lines.at(i));
        const PageMargins m = PageSetup::read(settings);
        QCOMPARE((QList<int>{m.top, m.bottom, m.left, m.right}), margins);
        TPageSetupForm form(settings, TextSet::english());
        QCOMPARE(form.margins(), m);
    }

    void everyHideStoresWhatWasTyped()
    {
        Settings settings;
        TPageSetupForm form(settings, TextSet::german());
        QCOMPARE(form.windowTitle(), TextSet::german().entry(Txt::PageSetup));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        typeInto(form.MarginSpinEdit1(), QStringLiteral("11"));
        typeInto(form.MarginSpinEdit4(), QStringLiteral("14"));
        // The close box, not OK, and the typed text was never confirmed.
        form.close();
        QCOMPARE(settings.line(SettingsLine::MarginTop), QStringLiteral("11"));
        QCOMPARE(settings.line(SettingsLine::MarginBottom), QStringLiteral("20"));
        QCOMPARE(settings.line(SettingsLine::MarginRight), QStringLiteral("14"));
        QCOMPARE(form.margins(), (PageMargins{11, 20, 25, 14}));

        form.show();
        form.MarginSpinEdit3()->setValue(40);
        QTest::keyClick(form.MarginSpinEdit3(), Qt::Key_Return); // OK is the default button
        QVERIFY(!form.isVisible());
        QCOMPARE(settings.line(SettingsLine::MarginLeft), QStringLiteral("40"));
    }

    void previewWindowSettings()
    {
        Settings settings;
        settings.setLine(SettingsLine::PreviewLeft, QStringLiteral("70"));
        settings.setLine(SettingsLine::PreviewTop, QStringLiteral("60"));
        settings.setLine(SettingsLine::PreviewWidth, QStringLiteral("640"));
        settings.setLine(SettingsLine::PreviewHeight, QStringLiteral("480"));
        settings.setLine(SettingsLine::PageNumbers, QStringLiteral("PageNoPrint"));
        PageNumbering numbers;
        numbers.restore(settings);
        QVERIFY(numbers.isOn());
        TPreviewForm form(settings, TextSet::english(), numbers);
        QCOMPARE(form.size(), QSize(640, 480));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        form.resize(700, 500);
        form.storeSettings();
        QCOMPARE(settings.line(SettingsLine::PreviewWidth), QStringLiteral("700"));
        // The switch is written by its owner alone.
        QCOMPARE(settings.line(SettingsLine::PageNumbers), QStringLiteral("PageNoPrint"));
        numbers.setOn(false);
        numbers.store(settings);
        QCOMPARE(settings.line(SettingsLine::PageNumbers), QStringLiteral("No PageNo"));

        Settings bad;
        bad.setLine(SettingsLine::PreviewWidth, QStringLiteral("abc"));
        bad.setLine(SettingsLine::PreviewHeight, QStringLiteral("-3"));
        bad.setLine(SettingsLine::PageNumbers, QStringLiteral("pagenoprint"));
        TPreviewForm defaults(bad, TextSet::english(), numbers);
        QCOMPARE(defaults.size(), QSize(600, 400));
        numbers.setOn(true);
        numbers.restore(bad);
        QVERIFY(!numbers.isOn());
    }

    void pagesTurnFromTheToolBar()
    {
        Settings settings;
        TPreviewForm form(settings, TextSet::english(), m_noNumbers);
        auto doc = numberedLines(150);
        QObject source;
        const int count = form.showDocument(*doc, a4(), QStringLiteral("lines.txt"), &source);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(count, Pagination(*doc, a4()).pageCount());
        QCOMPARE(form.Panel1()->text(), QStringLiteral(" / %1").arg(count));
        QCOMPARE(form.windowTitle(), QStringLiteral("lines.txt"));
        QCOMPARE(form.PageSpinEdit()->value(), 1);
        QTest::keyClick(form.PageSpinEdit(), Qt::Key_PageDown);
        QCOMPARE(form.PrintPreview1()->CurrentPage(), 2);
        QCOMPARE(form.PageSpinEdit()->value(), 2);
        QTest::keyClick(form.ComboBox1()->lineEdit(), Qt::Key_End);
        QCOMPARE(form.PageSpinEdit()->value(), count);
        form.PageSpinEdit()->setValue(999);
        QCOMPARE(form.PageSpinEdit()->value(), count);
        form.PageSpinEdit()->setValue(0);
        QCOMPARE(form.PrintPreview1()->CurrentPage(), 1);

        auto one = numberedLines(3);
        QCOMPARE(form.showDocument(*one, a4(), QStringLiteral("one.txt"), &source), 1);
        QCOMPARE(form.Panel1()->text(), QStringLiteral(" / 1"));
        QCOMPARE(form.PageSpinEdit()->value(), 1);
        const QTextDocument empty;
        QCOMPARE(form.showDocument(empty, a4(), QStringLiteral("empty.txt"), &source), 1);
        QCOMPARE(form.Panel1()->text(), QStringLiteral(" / 1"));
    }

    void zoomButtonsAndZoomBox()
    {
        Settings settings;
        TPreviewForm form(settings, TextSet::english(), m_noNumbers);
        auto doc = numberedLines(10);
        QObject source;
        form.showDocument(*doc, a4(), QStringLiteral("z.txt"), &source);
        TPrintPreview *preview = form.PrintPreview1();

        form.ToolButton11()->click();
        QCOMPARE(preview->zoomState(), zsZoomToWidth);
        form.ToolButton7()->click();
        QCOMPARE(preview->zoom(), 112);
        QCOMPARE(form.ComboBox1()->currentText(), QStringLiteral("112%"));
        form.ToolButton12()->click();
        QCOMPARE(form.ComboBox1()->currentText(), QString());
        form.ToolButton8()->click();
        QCOMPARE(preview->zoom(), 30);
        preview->setZoom(338);
        form.ToolButton7()->click();
        QCOMPARE(preview->zoom(), 500);
        preview->setZoom(13);
        form.ToolButton8()->click();
        QCOMPARE(preview->zoom(), 10);

        QLineEdit *edit = form.ComboBox1()->lineEdit();
        typeInto(edit, QStringLiteral("120%"));
        QCOMPARE(preview->zoom(), 10); // not before it is confirmed
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(preview->zoom(), 120);
        QCOMPARE(form.ComboBox1()->currentText(), QStringLiteral("120%"));
        typeInto(edit, QStringLiteral("abc"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(preview->zoom(), 50);
        QCOMPARE(form.ComboBox1()->currentText(), QStringLiteral("50%"));
        typeInto(edit, QStringLiteral("123456"));
        QCOMPARE(edit->text(), QStringLiteral("12345")); // at most five characters
    }

    void pageNumbersWhereTheyPrint()
    {
        Settings settings;
        PageNumbering numbers;
        TPreviewForm form(settings, TextSet::english(), numbers);
        form.resize(700, 900);
        auto doc = numberedLines(150);
        QObject source;
        const QRectF numberBox(95, 297 - 15.5, 20, 5); // centred, 15 mm above the bottom edge
        numbers.setOn(true);
        form.showDocument(*doc, a4(), QStringLiteral("n.txt"), &source);
        form.PrintPreview1()->setZoom(100);
        form.PrintPreview1()->setCurrentPage(2);
        QVERIFY(darkPixels(form.PrintPreview1(), numberBox) > 10);
        QVERIFY(darkPixels(form.PrintPreview1(), QRectF(20, 297 - 15.5, 60, 5)) == 0);
        numbers.setOn(false);
        form.showDocument(*doc, a4(), QStringLiteral("n.txt"), &source);
        form.PrintPreview1()->setZoom(100);
        form.PrintPreview1()->setCurrentPage(2);
        QCOMPARE(darkPixels(form.PrintPreview1(), numberBox), 0);
        QVERIFY(darkPixels(form.PrintPreview1(), QRectF(25, 25, 30, 10)) > 10); // the text is there
    }

    void buttonsActOnTheSourceOnlyWhileItExists()
    {
        Settings settings;
        TPreviewForm form(settings, TextSet::english(), m_noNumbers);
        QSignalSpy printing(&form, &TPreviewForm::printRequested);
        QSignalSpy setup(&form, &TPreviewForm::pageSetupRequested);
        auto doc = numberedLines(80);
        auto source = std::make_unique<QObject>();
        form.showDocument(*doc, a4(), QStringLiteral("a.txt"), source.get());
        form.ToolButton2()->click();
        form.ToolButton4()->click();
        QCOMPARE(printing.size(), 1);
        QCOMPARE(printing.first().first().value<QObject *>(), source.get());
        QCOMPARE(setup.size(), 1);

        // The document's window closes while its pages are shown.
        source.reset();
        QCOMPARE(form.previewSource(), nullptr);
        QCOMPARE(form.PrintPreview1()->TotalPages(), 0);
        form.ToolButton2()->click();
        form.ToolButton4()->click();
        QCOMPARE(printing.size(), 1);
        QCOMPARE(setup.size(), 1);

        auto other = std::make_unique<QObject>();
        form.showDocument(*doc, a4(), QStringLiteral("b.txt"), other.get());
        QVERIFY(form.PrintPreview1()->TotalPages() > 0);
        form.BitBtn1()->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.previewSource(), nullptr);
        QCOMPARE(form.PrintPreview1()->TotalPages(), 0);
        form.ToolButton2()->click();
        QCOMPARE(printing.size(), 1);

        // A window closed after another took the preview leaves its pages alone.
        QObject third;
        form.showDocument(*doc, a4(), QStringLiteral("c.txt"), &third);
        const int pages = form.PrintPreview1()->TotalPages();
        other.reset();
        QCOMPARE(form.PrintPreview1()->TotalPages(), pages);
        QCOMPARE(form.previewSource(), &third);
    }
};

QTEST_MAIN(TestPrintForms)
#include "tst_printforms.moc"
