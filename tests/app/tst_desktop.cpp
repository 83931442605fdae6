#include "FrameFixture.h"

#include "app/FramePlacement.h"
#include "app/MultiClipboardBar.h"
#include "app/RecoveryStore.h"
#include "app/WindowTiler.h"
#include "document/ui/MDIEdit.h"
#include "platform/ProgramFolders.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/ShortcutClashes.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {

// Actions whose keys work at once while a document has the focus.
QList<QAction *> liveActions(TFrameForm *frame)
{
    QList<QAction *> actions;
    for (QAction *a : frame->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        actions << a;
    for (QAction *a : frame->multiClipboard()->findChildren<QAction *>())
        actions << a;
    if (TEditForm *form = frame->activeDocument()) {
        actions << form->actions();
        actions << form->systemMenu()->actions();
    }
    return actions;
}

QString describe(const QMap<QKeySequence, QList<QAction *>> &clashes)
{
    QStringList lines;
    for (auto it = clashes.cbegin(); it != clashes.cend(); ++it) {
        QStringList names;
        for (QAction *a : it.value())
            names << (a->objectName().isEmpty() ? a->text() : a->objectName());
        lines << it.key().toString() + QLatin1String(": ") + names.join(QLatin1String(", "));
    }
    return lines.join(QLatin1String("; "));
}

// Opens every menu of the bar as the user would see it, then checks that
// each title and each visible item has an accelerator of its own.
void checkAccelerators(QMenuBar *bar, const QString &language)
{
    QSet<QChar> titles;
    for (QAction *title : bar->actions()) {
        const QChar key = Accelerators::keyOf(title->text());
        QVERIFY2(!key.isNull(), qPrintable(language + QLatin1String(": menu without key: ") + title->text()));
        QVERIFY2(!titles.contains(key), qPrintable(language + QLatin1String(": menu key twice: ") + title->text()));
        titles.insert(key);
        QMenu *menu = title->menu();
        emit menu->aboutToShow();
        QSet<QChar> items;
        for (QAction *item : menu->actions()) {
            if (item->isSeparator() || !item->isVisible() || item->text().isEmpty())
                continue;
            const QChar itemKey = Accelerators::keyOf(item->text());
            QVERIFY2(!itemKey.isNull(), qPrintable(language + QLatin1String(": item without key: ") + item->text()));
            QVERIFY2(!items.contains(itemKey), qPrintable(language + QLatin1String(": key twice in ")
                                                           + title->text() + QLatin1String(": ") + item->text()));
            items.insert(itemKey);
        }
    }
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void acceleratorsKeepTheirOwnAndTakeFreeLetters_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("word starts") << QStringList{"File", "Edit", "Format", "Options"}
                                     << QStringList{"&File", "&Edit", "Fo&rmat", "&Options"};
        QTest::newRow("own keys first") << QStringList{"Save", "Save as", "&Select all"}
                                        << QStringList{"Sa&ve", "Save &as", "&Select all"};
        QTest::newRow("ampersand shown") << QStringList{"Copy && paste", "Cut"} << QStringList{"&Copy && paste", "C&ut"};
        QTest::newRow("no letter left") << QStringList{"a", "A", "1"} << QStringList{"&a", "A", "&1"};
        QTest::newRow("non-latin") << QStringList{QString::fromUtf8("Файл"), QString::fromUtf8("Фильтр")}
                                   << QStringList{QString::fromUtf8("&Файл"), QString::fromUtf8("Ф&ильтр")};
    }

    void acceleratorsKeepTheirOwnAndTakeFreeLetters()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, expected);
        QCOMPARE(Accelerators::assign(captions), expected);
    }

    // English, German and the shipped French file: every menu and item of the
    // frame and of an active document gets a key of its own; Alt+F opens File.
    void everyMenuOfEveryLanguageHasKeys()
    {
        FrameFixture fx;
        QFile::copy(QStringLiteral(QUILMAR_SOURCE_DIR "/resources/Francais.lgtx"), fx.path(QStringLiteral("Francais.lgtx")));
        fx.start();
        checkAccelerators(fx.frame->menuBar(), QStringLiteral("English, no document"));
        TEditForm *form = fx.frame->CreateDocumentWindow();
        QTRY_COMPARE(fx.frame->activeDocument(), form);
        checkAccelerators(fx.frame->menuBar(), QStringLiteral("English"));
        fx.frame->applyTextSet(TextSet::german());
        checkAccelerators(fx.frame->menuBar(), QStringLiteral("German"));
        QVERIFY(fx.frame->loadLanguageFile(fx.path(QStringLiteral("Francais.lgtx"))));
        checkAccelerators(fx.frame->menuBar(), QStringLiteral("French"));
        // A language file's own key stays.
        QCOMPARE(fx.frame->action(FrameAction::other1)->text(), QString::fromUtf8("&Français"));

        fx.frame->applyTextSet(TextSet::english());
        fx.frame->activateWindow();
        form->Editor()->setFocus();
        QTest::keyClick(form->Editor(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(form->fileMenu()->isVisible());
        form->fileMenu()->close();
    }

    // File names are shown as they are, ampersands included.
    void ampersandsInFileNamesAreNoKeys()
    {
        FrameFixture fx;
        QStringList lines(49);
        lines[14] = fx.writeFile(QStringLiteral("R&D notes.txt"), "x");
        fx.writeSettings(lines);
        fx.start();
        emit fx.frame->menus().value(QStringLiteral("File1"))->aboutToShow();
        QAction *recent = fx.frame->recentAction(1);
        QVERIFY(recent->isVisible());
        QCOMPARE(recent->text(), QStringLiteral("&R&&D notes.txt"));
    }

    // Keys that two live commands share fire neither; Ctrl+W (word wrap) and
    // F1 (help) must reach their commands.
    void noKeyIsBoundTwice()
    {
        FrameFixture fx;
        fx.start();
        QString clashes = describe(ShortcutClashes::find(liveActions(fx.frame.get())));
        QVERIFY2(clashes.isEmpty(), qPrintable(QLatin1String("without a document: ") + clashes));
        TEditForm *first = fx.frame->CreateDocumentWindow();
        TEditForm *form = fx.frame->CreateDocumentWindow();
        QTRY_COMPARE(fx.frame->activeDocument(), form);
        clashes = describe(ShortcutClashes::find(liveActions(fx.frame.get())));
        QVERIFY2(clashes.isEmpty(), qPrintable(QLatin1String("with a document: ") + clashes));
        QVERIFY(first->systemMenu());

        fx.frame->activateWindow();
        form->Editor()->setFocus();
        QVERIFY(form->Editor()->WordWrap());
        QTest::keyClick(form->Editor(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!form->Editor()->WordWrap());
        QCOMPARE(fx.frame->documents().size(), 2);
        QTest::keyClick(form->Editor(), Qt::Key_F1);
        QCOMPARE(fx.help.requests.size(), 1);
        // The editor's own Ctrl+Insert (copy on X11) gives way to Insert > Image.
        QTest::keyClick(form->Editor(), Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(fx.ui.shown.size(), 1);
        QCOMPARE(fx.ui.shown.last().kind, ScriptedUserInteraction::Shown::Files);
        // Keys no command has stay the editor's.
        form->Editor()->selectAll();
        QTest::keyClick(form->Editor(), Qt::Key_Delete);
        QCOMPARE(form->Editor()->TextLength(), 0);
    }

    // Qt's own buttons follow the interface language.
    void standardButtonsSpeakTheInterfaceLanguage()
    {
        FrameFixture fx;
        QFile::copy(QStringLiteral(QUILMAR_SOURCE_DIR "/resources/Francais.lgtx"), fx.path(QStringLiteral("Francais.lgtx")));
        fx.start();
        const auto cancelText = [] {
            QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
            return box.button(QDialogButtonBox::Cancel)->text().remove(u'&') + u'/'
                   + box.button(QDialogButtonBox::Yes)->text().remove(u'&');
        };
        QCOMPARE(cancelText(), QStringLiteral("Cancel/Yes"));
        fx.frame->applyTextSet(TextSet::german());
        QCOMPARE(cancelText(), QStringLiteral("Abbrechen/Ja"));
        QVERIFY(fx.frame->loadLanguageFile(fx.path(QStringLiteral("Francais.lgtx"))));
        QCOMPARE(cancelText(), QStringLiteral("Annuler/Oui"));
        fx.frame->applyTextSet(TextSet::english());
        QCOMPARE(cancelText(), QStringLiteral("Cancel/Yes"));
        QCOMPARE(QtTranslations::languageNamed(QStringLiteral("&Deutsch")), QLocale::German);
        QCOMPARE(QtTranslations::languageNamed(QStringLiteral("Klingon-ish")), QLocale::AnyLanguage);
    }

    void titleNamesTheDocumentOnce()
    {
        FrameFixture fx;
        const QString file = fx.writeFile(QString::fromUtf8("ελληνικά.txt"), "text");
        fx.start({file});
        QCOMPARE(fx.frame->windowTitle(), QStringLiteral("Quilmar - [%1]").arg(file));
        // Qt appends a display name to every title when one is set.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    void geometryStaysOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        const QRect area(0, 0, 1280, 880);
        QTest::newRow("inside") << QPoint(30, 30) << QSize(600, 400) << QRect(30, 30, 600, 400);
        QTest::newRow("far off") << QPoint(-3000, 5000) << QSize(600, 400) << QRect(0, 480, 600, 400);
        QTest::newRow("too wide") << QPoint(100, 100) << QSize(99999999, 400) << QRect(0, 100, 1280, 400);
        QTest::newRow("extremes") << QPoint(INT_MAX, INT_MIN) << QSize(INT_MAX, INT_MAX) << area;
        QTest::newRow("below minimum") << QPoint(10, 10) << QSize(-5, 0) << QRect(10, 10, 500, 300);
        QTest::newRow("offset area") << QPoint(0, 0) << QSize(600, 400) << QRect(1280, 24, 600, 400);
    }

    void geometryStaysOnTheScreen()
    {
        QFETCH(QPoint, position);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        const QRect area = QByteArray(QTest::currentDataTag()) == "offset area" ? QRect(1280, 24, 1920, 1056)
                                                                                : QRect(0, 0, 1280, 880);
        QCOMPARE(FramePlacement::clampToArea(position, size, area, QSize(500, 300)), expected);
    }

    void savedGeometryOffTheScreenIsBroughtBack()
    {
        FrameFixture fx;
        QStringList lines(49);
        lines[1] = QStringLiteral("-3000");
        lines[2] = QStringLiteral("5000");
        lines[3] = QStringLiteral("99999999");
        lines[4] = QStringLiteral("12abc");
        lines[5] = QStringLiteral("wsNormal");
        fx.writeSettings(lines);
        fx.start();
        const QRect available = fx.frame->screen()->availableGeometry();
        const QRect outer = fx.frame->frameGeometry();
        QVERIFY2(available.contains(outer), qPrintable(QStringLiteral("%1,%2 %3x%4")
                     .arg(outer.x()).arg(outer.y()).arg(outer.width()).arg(outer.height())));
        QCOMPARE(outer.width(), available.width());
        QCOMPARE(fx.frame->height(), 400);
        // The tool bar shows whole: nothing hides behind its overflow button.
        const int decoration = outer.width() - fx.frame->width();
        QVERIFY(fx.frame->minimumWidth()
                >= qMin(available.width() - decoration, fx.frame->findChild<QToolBar *>()->sizeHint().width()));
        // Positions at the end of the int range, for a second instance too.
        FrameFixture second;
        second.instances = 2;
        lines[1] = QStringLiteral("2147483000");
        lines[2] = QStringLiteral("-2147483000");
        lines[3] = QStringLiteral("640");
        lines[4] = QStringLiteral("2147483647");
        second.writeSettings(lines);
        second.start();
        QVERIFY(available.contains(second.frame->frameGeometry()));

        const QComboBox *coding = fx.frame->codePageComboBox();
        const int western = coding->findText(QStringLiteral("Western European (Windows) (1252)"));
        if (western >= 0)
            QVERIFY(coding->width() >= coding->fontMetrics().horizontalAdvance(coding->itemText(western)) + 20);
    }

    void cascadeGivesUsableWindows()
    {
        const QList<QRect> rects = WindowTiler::cascade(QRect(0, 0, 1280, 880), 12, 24);
        QCOMPARE(rects.size(), 12);
        for (const QRect &r : rects) {
            QCOMPARE(r.size(), QSize(853, 586));
            QVERIFY(QRect(0, 0, 1280, 880).contains(r));
        }
        QCOMPARE(rects.at(1).topLeft(), QPoint(24, 24));
        QVERIFY(WindowTiler::cascade(QRect(), 3, 24).isEmpty());

        FrameFixture fx;
        fx.start();
        TEditForm *a = fx.frame->CreateDocumentWindow();
        TEditForm *b = fx.frame->CreateDocumentWindow();
        QTRY_COMPARE(fx.frame->activeDocument(), b);
        fx.frame->action(FrameAction::Cascade1)->trigger();
        const QSize area = fx.frame->mdiArea()->viewport()->size();
        for (TEditForm *f : {a, b}) {
            QVERIFY(!f->isMaximized());
            QVERIFY(f->width() >= area.width() * 2 / 3 - 1);
            QVERIFY(f->height() >= area.height() * 2 / 3 - 1);
        }
        QCOMPARE(fx.frame->activeDocument(), b);
        QVERIFY(b->pos().x() > a->pos().x());
    }

    // The help window goes with the frame, so the program ends.
    void helpWindowClosesWithTheFrame()
    {
        QTemporaryDir dir;
        QFile help(dir.filePath(QStringLiteral("QuilmarEn.hlp")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("<html><head><title>Help</title></head><body><h1 id=\"contents\">Contents</h1></body></html>");
        help.close();
        ScriptedUserInteraction ui;
        RecordingShell shell;
        HelpWindow window;
        FrameServices services;
        services.userInteraction = &ui;
        services.shell = &shell;
        services.help = &window;
        services.programDir = dir.path() + u'/';
        services.arguments = {QStringLiteral("/n")};
        TFrameForm frame(services);
        frame.show();
        frame.Help2Click();
        QVERIFY(window.window() && window.window()->isVisible());
        QVERIFY(frame.close());
        QVERIFY(!window.window()->isVisible());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + QLatin1String(" stays open")));
    }

    // Ending from outside asks nothing, keeps modified documents as copies
    // beside the settings and offers them at the next start.
    void terminationKeepsRecoveryCopies()
    {
        FrameFixture fx;
        fx.start();
        const QString named = fx.path(QString::fromUtf8("日本語.txt"));
        TEditForm *untitled = fx.frame->CreateDocumentWindow();
        untitled->Editor()->setSelText(QStringLiteral("first words"));
        const int untitledCoding = untitled->FileCoding();
        TEditForm *kept = fx.frame->CreateDocumentWindow();
        kept->setDocumentFileName(named);
        kept->setFileCoding(7);
        kept->Editor()->setSelText(QString::fromUtf8("Grüße, ελληνικά \U0001F600"));
        fx.frame->CreateDocumentWindow(); // unmodified: no copy
        fx.frame->closeForTermination();
        QVERIFY(!fx.frame->isVisible());
        QVERIFY(fx.ui.shown.isEmpty());
        const QString recovery = fx.frame->recoveryDir();
        QCOMPARE(recovery, fx.path(QStringLiteral("recovery")));
        QCOMPARE(RecoveryStore(recovery).copies().size(), 2);

        // The next start offers them; they come back modified, under their names.
        FrameFixture next;
        QDir().mkpath(next.path(QStringLiteral("recovery")));
        for (const QFileInfo &f : QDir(recovery).entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(f.filePath(), next.path(QStringLiteral("recovery/")) + f.fileName()));
        next.writeFile(QStringLiteral("recovery/broken.recovery"), "Quilmar recovery 1\nname=x\nsize=999\n\n{\\rtf1");
        next.ui.messageAnswers.enqueue(UserInteraction::Ok);  // the damaged copy
        next.ui.messageAnswers.enqueue(UserInteraction::Yes); // open the others
        next.start();
        const QStringList texts = next.ui.messageTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts.at(0).contains(QLatin1String("broken.recovery")));
        QVERIFY(RecoveryStore::parse("Quilmar recovery 1\nname=x\nsize=999\n\n{\\rtf1").error.contains(QLatin1String("truncated")));
        QVERIFY(texts.at(1).contains(QLatin1String("2 document")));
        QStringList names;
        for (TEditForm *f : next.frame->documents()) {
            QVERIFY(f->Editor()->Modified());
            names << QStringLiteral("%1=%2 (%3)").arg(QFileInfo(f->FileName()).fileName(), f->Editor()->Text())
                         .arg(f->FileCoding());
        }
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Untitled=first words (%1)").arg(untitledCoding),
                                     QString::fromUtf8("日本語.txt=Grüße, ελληνικά \U0001F600 (7)")}));
        QVERIFY(RecoveryStore(next.path(QStringLiteral("recovery"))).isEmpty());

        // A dialog open when the request comes is dismissed first; the frame
        // closes after the dialog's own event loop has returned.
        FrameFixture busy;
        busy.start();
        busy.frame->CreateDocumentWindow()->Editor()->setSelText(QStringLiteral("typed"));
        QTimer::singleShot(0, busy.frame.get(), &TFrameForm::closeForTermination);
        QDialog dialog(busy.frame.get());
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(busy.frame->isVisible());
        QTRY_VERIFY(!busy.frame->isVisible());
        QCOMPARE(RecoveryStore(busy.frame->recoveryDir()).copies().size(), 1);

        // Ended while the question is open: the copies stay for the next start.
        FrameFixture ended;
        RecoveryStore waiting(ended.path(QStringLiteral("recovery")));
        QVERIFY(waiting.write(QStringLiteral("x.txt"), 2, "{\\rtf1 x}"));
        ended.ui.onMessage = [&ended](const UserInteraction::Message &) { ended.frame->closeForTermination(); };
        ended.ui.messageAnswers.enqueue(UserInteraction::No);
        ended.start();
        QVERIFY(!ended.frame->isVisible());
        QCOMPARE(waiting.copies().size(), 1);

        // Answered No, the copies go.
        FrameFixture declined;
        RecoveryStore store(declined.path(QStringLiteral("recovery")));
        QVERIFY(store.write(QStringLiteral("x.txt"), 2, "{\\rtf1 x}"));
        declined.ui.messageAnswers.enqueue(UserInteraction::No);
        declined.start();
        QVERIFY(declined.frame->documents().isEmpty());
        QVERIFY(store.isEmpty());
    }

    void damagedRecoveryCopiesAreRecognised_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("whole") << RecoveryStore::serialize(QStringLiteral("a.txt"), 2, "{\\rtf1 x}") << false;
        QTest::newRow("empty document") << RecoveryStore::serialize(QString(), 1, QByteArray()) << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("other file") << QByteArray("{\\rtf1 x}") << true;
        QTest::newRow("header only") << QByteArray("Quilmar recovery 1\n") << true;
        QTest::newRow("no size") << QByteArray("Quilmar recovery 1\nname=a\n\n{\\rtf1 x}") << true;
        QTest::newRow("size not a number") << QByteArray("Quilmar recovery 1\nname=a\nsize=9x\n\n123456789") << true;
        QTest::newRow("longer than told") << QByteArray("Quilmar recovery 1\nname=a\nsize=2\n\nabc") << true;
        QTest::newRow("binary") << QByteArray(300, '\xff') << true;
    }

    void damagedRecoveryCopiesAreRecognised()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, damaged);
        const RecoveryStore::Copy copy = RecoveryStore::parse(bytes);
        QCOMPARE(copy.isDamaged(), damaged);
        if (!damaged)
            QCOMPARE(RecoveryStore::serialize(copy.fileName, copy.fileCoding, copy.rtf), bytes);
    }

    // Run from the build folder the program keeps its files beside itself;
    // installed, it writes per user, seeded from the shipped defaults.
    void programFoldersBesideOrPerUser()
    {
        QTemporaryDir root;
        const QString config = root.filePath(QStringLiteral("config"));
        QDir(root.path()).mkpath(QStringLiteral("build/bin"));
        QFile(root.filePath(QStringLiteral("build/bin/CodePageListEn.ini"))).open(QIODevice::WriteOnly);
        ProgramFolders build = ProgramFolders::locate(root.filePath(QStringLiteral("build/bin")), config);
        QCOMPARE(build.programDir, root.filePath(QStringLiteral("build/bin/")));
        QCOMPARE(build.userDir, build.programDir);
        QVERIFY(build.seed({QStringLiteral("insert.ini")}));
        QVERIFY(!QFileInfo::exists(config));

        QDir(root.path()).mkpath(QStringLiteral("usr/bin"));
        QDir(root.path()).mkpath(QStringLiteral("usr/share/quilmar"));
        QFile marker(root.filePath(QStringLiteral("usr/share/quilmar/CodePageListEn.ini")));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        QFile insert(root.filePath(QStringLiteral("usr/share/quilmar/insert.ini")));
        QVERIFY(insert.open(QIODevice::WriteOnly));
        insert.write("[HTML]\n");
        insert.close();
        insert.setPermissions(QFile::ReadOwner | QFile::ReadGroup);
        const ProgramFolders installed = ProgramFolders::locate(root.filePath(QStringLiteral("usr/bin")), config);
        QCOMPARE(installed.programDir, root.filePath(QStringLiteral("usr/share/quilmar/")));
        QCOMPARE(installed.userDir, config + QStringLiteral("/quilmar/"));
        QVERIFY(installed.seed({QStringLiteral("insert.ini"), QStringLiteral("Registry.txt")}));
        QFile seeded(installed.userDir + QStringLiteral("insert.ini"));
        QVERIFY(seeded.open(QIODevice::ReadWrite)); // writable, though the shipped one is not
        QCOMPARE(seeded.readAll(), QByteArray("[HTML]\n"));
        seeded.write("[mine]\n");
        seeded.close();
        QVERIFY(!QFileInfo::exists(installed.userDir + QStringLiteral("Registry.txt")));
        // A second start keeps the user's own copy.
        QVERIFY(installed.seed({QStringLiteral("insert.ini")}));
        QVERIFY(QFile(installed.userDir + QStringLiteral("insert.ini")).size() > 7);

        // A program folder it may not write sends the files per user as well.
        QFile::setPermissions(root.filePath(QStringLiteral("build/bin")), QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(root.filePath(QStringLiteral("build/bin"))).isWritable())
            QSKIP("running as a user who writes anywhere");
        QCOMPARE(ProgramFolders::locate(root.filePath(QStringLiteral("build/bin")), config).userDir,
                 config + QStringLiteral("/quilmar/"));
    }

    // The frame reads and writes its settings and insert list in the user folder.
    void settingsLiveInTheUserFolder()
    {
        QTemporaryDir user;
        FrameFixture fx;
        const QString greek = fx.writeFile(QString::fromUtf8("ελληνικά.txt"), "text");
        FrameServices services;
        services.userInteraction = &fx.ui;
        services.shell = &fx.shell;
        services.help = &fx.help;
        services.programDir = fx.programDir();
        services.userDir = user.path();
        services.arguments = {greek};
        {
            TFrameForm frame(services);
            frame.show();
            QTRY_COMPARE(frame.documents().size(), 1);
            QVERIFY(frame.close());
        }
        QVERIFY(!QFileInfo::exists(fx.path(QStringLiteral("Quilmar.ini"))));
        services.arguments = {QStringLiteral("/n")};
        TFrameForm again(services);
        QCOMPARE(again.settings().line(14), greek);
        QCOMPARE(again.recentFileNames().first(), QString::fromUtf8("ελληνικά.txt"));
        QCOMPARE(again.settings().line(11), fx.dir.path());
        QVERIFY(again.recoveryDir().startsWith(user.path()));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
