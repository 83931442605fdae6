#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ProgramUnderX.h"

// The built program under X: started with two files and "/rs", it must show
// both documents, open the Replace dialog after the first load, list both
// files as recent and write them to its settings file when it ends.
class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        // A program folder of its own, so the build's settings stay untouched.
        m_program = ProgramUnderX::copyProgram(m_dir.path(), {"ReadMeEn.rtf", "QuilmarEn.hlp", "CodePageListEn.ini"});
        QVERIFY(!m_program.isEmpty());
    }

    void startsWithTwoFilesAndReplace()
    {
        const QString a = writeFile(QStringLiteral("first.txt"), "The first document.\r\nSecond line.\r\n");
        const QString b = writeFile(QStringLiteral("second.rtf"), "Plain text in an .rtf name.");
        const QString report = m_dir.filePath(QStringLiteral("state.json"));
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("QUILMAR_STATE_REPORT"), report);
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {QStringLiteral("/rs"), a, b});
        QVERIFY(quilmar.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 20000);

        QFile reportFile(report);
        QVERIFY(reportFile.open(QIODevice::ReadOnly));
        const QJsonObject state = QJsonDocument::fromJson(reportFile.readAll()).object();
        const QJsonArray docs = state.value(QStringLiteral("documents")).toArray();
        QCOMPARE(docs.size(), 2);
        QCOMPARE(docs.at(0).toObject().value(QStringLiteral("file")).toString(), b);
        QCOMPARE(docs.at(1).toObject().value(QStringLiteral("file")).toString(), a);
        QCOMPARE(docs.at(0).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("maximized"));
        QCOMPARE(docs.at(1).toObject().value(QStringLiteral("characters")).toInt(), 33);
        QCOMPARE(state.value(QStringLiteral("tabs")).toInt(), 2);
        QVERIFY(state.value(QStringLiteral("replaceDialogVisible")).toBool());
        const QJsonArray recent = state.value(QStringLiteral("recent")).toArray();
        QCOMPARE(recent.at(0).toString(), b);
        QCOMPARE(recent.at(1).toString(), a);
        QCOMPARE(state.value(QStringLiteral("title")).toString(), QStringLiteral("Quilmar - [%1]").arg(b));

        // The X server has the frame under its title.
        QVERIFY2(!ProgramUnderX::visibleWindows(QStringLiteral("^Quilmar - \\[")).isEmpty(), "no frame window on the display");

        // A real screenshot of the display; it must show something.
        QTest::qWait(1000);
        const QImage image = ProgramUnderX::screenshot(QStringLiteral(QUILMAR_BUILD_DIR "/e2e-screenshot.png"));
        QVERIFY(!image.isNull());
        QVERIFY2(ProgramUnderX::colourCount(image, 7) > 20, "the screenshot is nearly blank");

        // Ending the session closes the frame the normal way.
        ::kill(quilmar.processId(), SIGTERM);
        QVERIFY(quilmar.waitForFinished(20000));
        QCOMPARE(quilmar.exitStatus(), QProcess::NormalExit);
        QFile ini(m_dir.filePath(QStringLiteral("Quilmar.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = ini.readAll().split('\n');
        QVERIFY(lines.size() >= 49);
        QCOMPARE(lines.at(14).trimmed(), b.toLocal8Bit());
        QCOMPARE(lines.at(15).trimmed(), a.toLocal8Bit());
    }

    // File > Page preview > Page preview from the menus; the preview window is
    // photographed (build/e2e-preview.png) and must show a page with text.
    void previewShowsThePages()
    {
        QByteArray text;
        for (int i = 1; i <= 90; ++i)
            text += "Line " + QByteArray::number(i) + " of the previewed document, long enough to be seen.\r\n";
        const QString file = writeFile(QStringLiteral("previewed.txt"), text);
        // Fresh settings: no recent files between Exit and the preview submenu.
        QFile::remove(m_dir.filePath(QStringLiteral("Quilmar.ini")));
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {file});
        QVERIFY(quilmar.waitForStarted());
        const QString frame = ProgramUnderX::waitForWindow(QStringLiteral("^Quilmar - \\["), &quilmar);
        QVERIFY(!frame.isEmpty());
        QTest::qWait(1500);
        // From the File menu's first item up past Exit and Close to the
        // preview submenu, then its second item.
        QVERIFY(ProgramUnderX::pressIn(frame, QStringLiteral("alt+f")));
        QTest::qWait(700);
        for (const char *key : {"Up", "Up", "Up", "Right", "Down", "Return"}) {
            ProgramUnderX::xdotool({QStringLiteral("key"), QLatin1String(key)});
            QTest::qWait(300);
        }
        const QString preview = ProgramUnderX::waitForWindow(QStringLiteral("^") + QRegularExpression::escape(file) + u'$', &quilmar);
        QVERIFY(!preview.isEmpty());
        QTest::qWait(1500);
        const QImage image = ProgramUnderX::screenshot(QStringLiteral(QUILMAR_BUILD_DIR "/e2e-preview.png"), preview);
        QVERIFY(!image.isNull());
        // The white page with dark text in it.
        int white = 0, dark = 0;
        for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
            for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
                const int gray = qGray(image.pixel(x, y));
                white += gray > 240;
                dark += gray < 120;
            }
        QVERIFY2(white > 1000 && dark > 50, qPrintable(QStringLiteral("white %1 dark %2").arg(white).arg(dark)));
        ::kill(quilmar.processId(), SIGTERM);
        QVERIFY(quilmar.waitForFinished(20000));
    }

    void startsEmptyAndReportsItsStartup()
    {
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("QUILMAR_EXIT_WHEN_STARTED"), QStringLiteral("1"));
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {});
        QVERIFY(quilmar.waitForFinished(20000));
        QCOMPARE(quilmar.exitCode(), 0);
        QVERIFY(quilmar.readAllStandardOutput().contains("started"));
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
