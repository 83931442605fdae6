#include "app/DocumentTabStrip.h"
#include "FrameFixture.h"
#include "app/GoToPanel.h"
#include "search/ui/WideFindReplaceDialog.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMimeData>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

// The frame: start-up and command line, settings, window commands, the
// tab strip and the go-to panel, with scripted dialogs.
class TestFrame : public QObject
{
    Q_OBJECT

    static QStringList settingsLines(const FrameFixture &fx)
    {
        return QString::fromLatin1(fx.settingsFile()).split(QStringLiteral("\r\n"));
    }

private slots:
    void startWithoutArgumentsGivesOneMaximizedDocument()
    {
        FrameFixture fx;
        fx.start({});
        const QList<TEditForm *> docs = fx.frame->documents();
        QCOMPARE(docs.size(), 1);
        QCOMPARE(docs.first()->FileName(), QStringLiteral("Untitled"));
        QVERIFY(docs.first()->isMaximized());
        QCOMPARE(fx.frame->windowTitle(), QStringLiteral("Quilmar - [Untitled]"));
        // A first start creates the settings file and maximizes the frame.
        QVERIFY(QFileInfo::exists(fx.path(QStringLiteral("Quilmar.ini"))));
        QVERIFY(fx.frame->isMaximized());
        QCOMPARE(fx.frame->tabStrip()->count(), 1);
        QVERIFY(fx.frame->action(FrameAction::Minimize1)->isVisible());
        QVERIFY(fx.frame->action(FrameAction::StandardFont1)->isEnabled());
        fx.discardChanges();
    }

    void slashNStartsWithoutDocument()
    {
        FrameFixture fx;
        fx.start({QStringLiteral("/N")});
        QVERIFY(fx.frame->documents().isEmpty());
        QCOMPARE(fx.frame->windowTitle(), QStringLiteral("Quilmar"));
        QVERIFY(!fx.frame->action(FrameAction::Minimize1)->isVisible());
    }

    void twoFilesOpenBothAndJoinTheRecentList()
    {
        FrameFixture fx;
        const QString a = fx.writeFile(QStringLiteral("a.txt"), "first");
        const QString b = fx.writeFile(QStringLiteral("b.rtf"), "second");
        fx.start({a, b});
        const QList<TEditForm *> docs = fx.frame->documents();
        QCOMPARE(docs.size(), 2);
        QCOMPARE(docs.first()->FileName(), b);
        QCOMPARE(docs.last()->FileName(), a);
        QCOMPARE(fx.frame->settings().line(14), b);
        QCOMPARE(fx.frame->settings().line(15), a);
        QCOMPARE(fx.frame->recentFileNames().first(), QStringLiteral("b.rtf"));
        QCOMPARE(fx.frame->openDialogInitialDir(), fx.dir.path());
        QCOMPARE(fx.frame->tabStrip()->tabText(0), QStringLiteral("a.txt"));
        QCOMPARE(fx.frame->tabStrip()->tabText(1), QStringLiteral("b.rtf"));
        // A window created afterwards shows the recent list in its File menu.
        TEditForm *later = fx.frame->CreateDocumentWindow();
        QVERIFY(later->recentAction(1)->isVisible());
        QCOMPARE(later->recentAction(1)->text(), QStringLiteral("b.rtf"));
        QCOMPARE(later->recentAction(1)->toolTip(), b);
        QVERIFY(!later->recentAction(3)->isVisible());
        fx.discardChanges();
    }

    void replaceSwitchActsOnTheNextLoad()
    {
        FrameFixture fx;
        const QString a = fx.writeFile(QStringLiteral("a.txt"), "first");
        fx.start({QStringLiteral("/rs"), a});
        QVERIFY(fx.frame->searchController()->isReplaceDialogVisible());
        QVERIFY(!fx.frame->ReplaceAfterLoad());
        fx.discardChanges();

        FrameFixture after;
        const QString b = after.writeFile(QStringLiteral("b.txt"), "second");
        after.start({b, QStringLiteral("/RS")});
        QVERIFY(!after.frame->searchController()->isReplaceDialogVisible());
        QVERIFY(after.frame->ReplaceAfterLoad());
        // A load that fails leaves the request pending.
        TEditForm *form = after.frame->CreateDocumentWindow();
        form->LoadDocument(after.path(QStringLiteral("nothing.txt")), false);
        QVERIFY(after.frame->ReplaceAfterLoad());
        form->LoadDocument(b, false);
        QVERIFY(after.frame->searchController()->isReplaceDialogVisible());
        after.discardChanges();
    }

    void oddArgumentsCreateNothingOrANamedDocument()
    {
        FrameFixture fx;
        const QString longName = fx.path(QString(300, u'n') + QStringLiteral(".txt"));
        fx.start({QStringLiteral("abc"), QStringLiteral("/zz"), QStringLiteral("/s"), longName});
        QVERIFY(!fx.frame->showFinishMessage());
        const QList<TEditForm *> docs = fx.frame->documents();
        QCOMPARE(docs.size(), 1);
        QCOMPARE(docs.first()->FileName(), longName);
        // The new name went to the Save As dialog, which the script cancelled.
        const auto requests = fx.ui.fileRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().fileName, longName);
        QCOMPARE(requests.first().mode, UserInteraction::FileRequest::Save);
        fx.discardChanges();
    }

    void settingsAreReadAndWrittenBack()
    {
        FrameFixture fx;
        QStringList lines(60);
        lines[1] = QStringLiteral("40");
        lines[2] = QStringLiteral("50");
        lines[3] = QStringLiteral("640");
        lines[4] = QStringLiteral("480");
        lines[5] = QStringLiteral("wsNormal");
        lines[9] = QStringLiteral("Create backup files");
        lines[12] = QStringLiteral("4");
        lines[28] = QStringLiteral("Hide Coding");
        lines[46] = QStringLiteral("No URL detection");
        lines[35] = QStringLiteral("reserved stays");
        lines[59] = QStringLiteral("extra line");
        fx.writeSettings(lines);
        fx.start();
        // Narrower than the whole tool bar needs: the frame's minimum width wins.
        QCOMPARE(fx.frame->size(), QSize(qMax(640, fx.frame->minimumWidth()), 480));
        QVERIFY(!fx.frame->isMaximized());
        QVERIFY(fx.frame->createBackupFiles());
        QVERIFY(!fx.frame->autoUrlDetection());
        QVERIFY(!fx.frame->action(FrameAction::Show1)->isChecked());
        QCOMPARE(fx.frame->openDialogFilterIndex(), 4);
        QCOMPARE(fx.frame->settings().line(7), QStringLiteral("Courier New"));
        QCOMPARE(fx.frame->settings().line(8), QStringLiteral("11"));
        fx.frame->action(FrameAction::SearchFiles1)->trigger();
        fx.frame->action(FrameAction::Show1)->trigger();
        const int width = fx.frame->minimumWidth() + 1;
        fx.frame->resize(width, 500);
        QVERIFY(fx.frame->close());
        const QStringList written = settingsLines(fx);
        QCOMPARE(written.size(), 61); // 60 lines and the end after the last
        QCOMPARE(written.at(3), QString::number(width));
        QCOMPARE(written.at(4), QStringLiteral("500"));
        QCOMPARE(written.at(5), QStringLiteral("wsNormal"));
        QCOMPARE(written.at(9), QStringLiteral("Create backup files"));
        QCOMPARE(written.at(10), QStringLiteral("Search files"));
        QCOMPARE(written.at(12), QStringLiteral("4"));
        QCOMPARE(written.at(28), QStringLiteral("Show Coding"));
        QCOMPARE(written.at(35), QStringLiteral("reserved stays"));
        QCOMPARE(written.at(42), QStringLiteral("Show Ruler"));
        QCOMPARE(written.at(46), QStringLiteral("No URL detection"));
        QCOMPARE(written.at(59), QStringLiteral("extra line"));
    }

    void maximizedCloseKeepsTheNormalGeometry()
    {
        FrameFixture fx;
        QStringList lines(49);
        lines[1] = QStringLiteral("11");
        lines[2] = QStringLiteral("12");
        lines[3] = QStringLiteral("613");
        lines[4] = QStringLiteral("414");
        fx.writeSettings(lines);
        fx.start();
        QVERIFY(fx.frame->isMaximized());
        QVERIFY(fx.frame->close());
        const QStringList written = settingsLines(fx);
        QCOMPARE(written.at(5), QStringLiteral("wsMaximized"));
        QCOMPARE(written.mid(1, 4), (QStringList{"11", "12", "613", "414"}));
        QCOMPARE(written.size(), 50);
    }

    void damagedSettingsGiveDefaults()
    {
        FrameFixture fx;
        QByteArray junk(3000, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 37) % 251);
        fx.writeFile(QStringLiteral("Quilmar.ini"), junk);
        fx.start();
        QCOMPARE(fx.frame->openDialogFilterIndex(), 2);
        QVERIFY(fx.frame->autoUrlDetection());
        QVERIFY(fx.frame->close());
    }

    void cancelledSaveQuestionStopsTheFrameClosing()
    {
        FrameFixture fx;
        fx.start({});
        TEditForm *form = fx.frame->documents().first();
        form->Editor()->setSelText(QStringLiteral("precious"));
        const QByteArray before = fx.settingsFile();
        fx.ui.messageAnswers.enqueue(UserInteraction::Cancel);
        QVERIFY(!fx.frame->close());
        QCOMPARE(fx.frame->documents().size(), 1);
        QCOMPARE(fx.settingsFile(), before);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("precious"));
        fx.discardChanges();
    }

    void unwritableSettingsAreReportedOnce()
    {
        FrameFixture fx;
        QDir(fx.dir.path()).mkdir(QStringLiteral("Quilmar.ini"));
        fx.start();
        QVERIFY(fx.frame->close());
        QCOMPARE(fx.ui.messageTexts().size(), 1);
        QVERIFY(fx.ui.messageTexts().first().startsWith(QLatin1String("The settings could not be saved")));
        fx.frame->show();
        QVERIFY(fx.frame->close());
        QCOMPARE(fx.ui.messageTexts().size(), 1);
    }

    void secondInstancePlacesItselfInTheOtherHalf()
    {
        FrameFixture fx;
        fx.instances = 2;
        QStringList lines(49);
        lines[1] = QStringLiteral("30");
        lines[2] = QStringLiteral("30");
        lines[3] = QStringLiteral("300");
        lines[4] = QStringLiteral("200");
        lines[5] = QStringLiteral("wsNormal");
        fx.writeSettings(lines);
        fx.start();
        // The frame is never narrower than its tool bar: on this screen it
        // fits only the lower half, and stays on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(fx.frame->width() > screen.width() / 2);
        QCOMPARE(fx.frame->pos().y(), qRound(screen.height() / 2.0));
        QVERIFY(screen.contains(fx.frame->frameGeometry()));

        FrameFixture third;
        third.instances = 3;
        third.writeSettings(lines);
        third.start();
        QCOMPARE(third.frame->pos().y(), 30);
        QVERIFY(screen.contains(third.frame->frameGeometry()));
    }

    void windowMenuCommands()
    {
        FrameFixture fx;
        fx.start();
        for (int i = 0; i < 3; ++i)
            fx.frame->CreateDocumentWindow()->showNormal();
        fx.frame->tileHorizontally();
        const QRect area = fx.frame->mdiArea()->viewport()->rect();
        for (TEditForm *f : fx.frame->documents()) {
            QCOMPARE(f->width(), area.width());
            QVERIFY(f->height() <= area.height() / 3 + 1);
        }
        fx.frame->tileVertically();
        for (TEditForm *f : fx.frame->documents())
            QCOMPARE(f->height(), area.height());
        fx.frame->activeDocument()->setFocus();
        fx.frame->action(FrameAction::Maximize1)->trigger();
        QVERIFY(fx.frame->activeDocument()->isMaximized());
        fx.frame->action(FrameAction::Normal1)->trigger();
        QVERIFY(!fx.frame->activeDocument()->isMaximized());
        fx.discardChanges();
        fx.frame->Closeall1Click();
        QTRY_VERIFY(fx.frame->documents().isEmpty());
        QVERIFY(!fx.frame->action(FrameAction::Closeall1)->isVisible());
        QVERIFY(!fx.frame->action(FrameAction::ToolButton11)->isEnabled());
    }

    void tabStripFollowsTheDocuments()
    {
        FrameFixture fx;
        fx.start();
        TEditForm *a = fx.frame->CreateDocumentWindow();
        a->LoadDocument(fx.writeFile(QStringLiteral("alpha.txt"), "a"), false);
        TEditForm *b = fx.frame->CreateDocumentWindow();
        b->LoadDocument(fx.writeFile(QStringLiteral("beta.txt"), "b"), false);
        DocumentTabStrip *strip = fx.frame->tabStrip();
        QCOMPARE(strip->count(), 2);
        QCOMPARE(strip->maximumSectionWidth(), fx.frame->width() / 4);
        fx.frame->resize(800, 600);
        QCOMPARE(strip->maximumSectionWidth(), 200);
        QVERIFY(!strip->tabIcon(strip->sectionOf(b)).isNull());
        QVERIFY(strip->tabIcon(strip->sectionOf(a)).isNull());
        const QRect first = strip->tabRect(0);
        QCOMPARE(strip->hintAt(first.center().x()), QStringLiteral("alpha.txt"));
        QCOMPARE(strip->hintAt(first.left()), QString());
        QTest::mouseClick(strip, Qt::LeftButton, {}, first.center());
        QTRY_COMPARE(fx.frame->activeDocument(), a);
        QVERIFY(!strip->tabIcon(strip->sectionOf(a)).isNull());
        QVERIFY(strip->tabIcon(strip->sectionOf(b)).isNull());
        fx.discardChanges();
        b->close();
        QTRY_COMPARE(strip->count(), 1);
    }

    void bookmarksAndGoToLine()
    {
        FrameFixture fx;
        fx.start();
        TEditForm *form = fx.frame->CreateDocumentWindow();
        QByteArray text;
        for (int i = 1; i <= 1200; ++i)
            text += "line " + QByteArray::number(i) + "\r\n";
        form->LoadDocument(fx.writeFile(QStringLiteral("lines.txt"), text), false);
        GoToPanel *panel = fx.frame->goToPanel();
        QCOMPARE(panel->width(), 152);
        fx.frame->GoToLine(999);
        QCOMPARE(form->Editor()->CaretPos(), QPoint(0, 999));
        QCOMPARE(fx.frame->statusPanel(0), QStringLiteral("Line: 1000  Col:   1"));
        emit panel->bookmark(0)->customContextMenuRequested(QPoint());
        QCOMPARE(panel->bookmark(0)->text(), QStringLiteral("1000"));
        QCOMPARE(panel->glyphCount(0), 1);
        QCOMPARE(panel->width(), 196);
        QVERIFY(panel->bookmark(1)->isVisibleTo(panel));
        fx.frame->GoToLine(1000);
        emit panel->bookmark(1)->customContextMenuRequested(QPoint());
        QCOMPARE(panel->bookmark(1)->text(), QStringLiteral("1001"));
        QCOMPARE(panel->glyphCount(1), 3);
        QCOMPARE(panel->width(), 240);
        QCOMPARE(panel->bookmark(1)->toolTip(), QStringLiteral("1001 Go To Line"));
        fx.frame->GoToLine(0);
        QTest::mouseClick(panel->bookmark(0), Qt::LeftButton);
        QCOMPARE(form->Editor()->CaretPos().y(), 999);
        panel->lineNoEdit()->setValue(5);
        QTest::mouseClick(panel->goButton(), Qt::LeftButton);
        QCOMPARE(form->Editor()->CaretPos().y(), 4);
        QCOMPARE(panel->lineNoEdit()->toolTip(), QStringLiteral("Go To Line:"));
        fx.discardChanges();
    }

    void standardFontStoresTheDocumentsFont()
    {
        FrameFixture fx;
        fx.start();
        TEditForm *form = fx.frame->CreateDocumentWindow();
        form->Editor()->setSelText(QStringLiteral("bold text"));
        form->Editor()->selectAll();
        form->Editor()->SelAttributes().setStyle(TFontStyle::fsBold);
        form->Editor()->SelAttributes().setSize(14);
        form->Editor()->SelAttributes().setName(QStringLiteral("Liberation Serif"));
        form->Editor()->setSelStart(2);
        form->Wordwrap1Click();
        QComboBox *codings = fx.frame->codePageComboBox();
        codings->setCurrentIndex(codings->findData(1250));
        fx.frame->StandardFont1Click();
        Settings &s = fx.frame->settings();
        QCOMPARE(s.line(7), QStringLiteral("Liberation Serif"));
        QCOMPARE(s.line(8), QStringLiteral("14"));
        QCOMPARE(s.line(13), QStringLiteral("NotWordWrap"));
        QCOMPARE(s.line(27), QStringLiteral("1250"));
        QCOMPARE(s.line(44), QStringLiteral("-16777208"));
        QCOMPARE(s.line(45), QStringLiteral("bold"));
        form->Editor()->selectAll();
        form->Editor()->SelAttributes().setStyle({});
        form->Editor()->SelAttributes().setColor(QColor(0x11, 0x22, 0x33));
        form->Editor()->setSelStart(2);
        fx.frame->StandardFont1Click();
        QCOMPARE(s.line(45), QString());
        QCOMPARE(s.line(44), QString::number(0x332211));
        // New windows start unwrapped now.
        QVERIFY(!fx.frame->CreateDocumentWindow()->Editor()->WordWrap());
        fx.discardChanges();
    }

    void helpReadMeAndInfo()
    {
        FrameFixture fx;
        fx.writeFile(QStringLiteral("ReadMeEn.rtf"), "Read me first");
        fx.start();
        fx.frame->Help2Click();
        QCOMPARE(fx.help.requests, QStringList{fx.programDir() + QStringLiteral("QuilmarEn.hlp")});
        fx.frame->ReadMe1Click();
        TEditForm *readMe = fx.frame->activeDocument();
        QVERIFY(readMe->Editor()->ReadOnly());
        QCOMPARE(readMe->Editor()->Text(), QStringLiteral("Read me first"));
        fx.frame->Info1Click();
        QCOMPARE(fx.ui.shown.last().kind, ScriptedUserInteraction::Shown::Dialog);
        QCOMPARE(fx.ui.shown.last().dialogName, QStringLiteral("InfoForm"));
        fx.frame->applyTextSet(TextSet::german());
        fx.frame->Help2Click();
        QCOMPARE(fx.help.requests.last(), fx.programDir() + QStringLiteral("QuilmarDe.hlp"));
        fx.discardChanges();
    }

    void openDialogOpensEverySelectedFile()
    {
        FrameFixture fx;
        fx.start();
        const QString a = fx.writeFile(QStringLiteral("one.txt"), "1");
        const QString b = fx.writeFile(QStringLiteral("two.txt"), "2");
        const QString c = fx.writeFile(QStringLiteral("three.txt"), "3");
        fx.ui.fileAnswers.enqueue({true, {a, b, c}, 5});
        fx.frame->Open1Click();
        const auto request = fx.ui.fileRequests().last();
        QCOMPARE(request.mode, UserInteraction::FileRequest::OpenMany);
        QCOMPARE(request.filterIndex, 2);
        QCOMPARE(request.defaultExt, QStringLiteral("rtf;txt"));
        QCOMPARE(fx.frame->documents().size(), 3);
        QCOMPARE(fx.frame->activeDocument()->FileName(), c);
        QCOMPARE(fx.frame->settings().line(14), c);
        QCOMPARE(fx.frame->settings().line(16), a);
        QCOMPARE(fx.frame->openDialogFilterIndex(), 5);
        QVERIFY(fx.frame->activeDocument()->isMaximized());
        // The first recent entry opened again changes nothing; the second moves up twice over.
        fx.ui.fileAnswers.enqueue({true, {c}, 5});
        fx.frame->Open1Click();
        QCOMPARE(fx.frame->settings().line(15), b);
        fx.ui.fileAnswers.enqueue({true, {b}, 5});
        fx.frame->Open1Click();
        QCOMPARE(fx.frame->settings().line(14), b);
        QCOMPARE(fx.frame->settings().line(16), b);
        // Opening from the recent list does not move the entry.
        fx.frame->OpenDocumentFile(a);
        QCOMPARE(fx.frame->settings().line(14), b);
        const int count = int(fx.frame->documents().size());
        fx.frame->OpenDocumentFile(fx.path(QStringLiteral("gone.txt")));
        QCOMPARE(fx.frame->documents().size(), count);
        fx.discardChanges();
    }

    void droppedFilesOpenWithoutTouchingTheRecentList()
    {
        FrameFixture fx;
        fx.start({});
        const QString a = fx.writeFile(QStringLiteral("d1.txt"), "1");
        const QString b = fx.writeFile(QStringLiteral("d2.txt"), "2");
        fx.frame->dropFiles({a, b});
        QCOMPARE(fx.frame->documents().size(), 3);
        QCOMPARE(fx.frame->activeDocument()->FileName(), b);
        QVERIFY(fx.frame->activeDocument()->isMaximized());
        QCOMPARE(fx.frame->settings().line(14), QString());
        fx.discardChanges();
    }

    void minimizedFirstDocumentGivesNormalNewWindows()
    {
        FrameFixture fx;
        fx.start({});
        fx.frame->activeDocument()->showMinimized();
        fx.frame->ToolButton2Click();
        TEditForm *created = fx.frame->activeDocument();
        QVERIFY(!created->isMaximized());
        QVERIFY(!created->isMinimized());
        QVERIFY(!created->Editor()->Modified());
        fx.discardChanges();
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
