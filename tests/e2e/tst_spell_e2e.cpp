#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ProgramUnderX.h"

using ProgramUnderX::pressIn;

// The built program under X, out of the box: F7 in a German document opens
// the spelling dialog of the office speller on the misspelt word; Return
// changes it to the first suggestion; the finish message follows.
class TestSpellEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    // The newest visible window with a matching title.
    static QString windowId(const QString &namePattern)
    {
        const QStringList ids = ProgramUnderX::visibleWindows(namePattern);
        return ids.isEmpty() ? QString() : ids.last().trimmed();
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        if (!QFile::exists(QStringLiteral("/usr/share/hunspell/de_DE.dic")))
            QSKIP("hunspell-de-de is not installed");
        m_program = ProgramUnderX::copyProgram(m_dir.path(), {"ReadMeEn.rtf", "QuilmarEn.hlp", "CodePageListEn.ini"});
        QVERIFY(!m_program.isEmpty());
        QVERIFY(QFile::copy(QStringLiteral(QUILMAR_PROOFING_LIBRARY),
                            m_dir.filePath(QStringLiteral(QUILMAR_PROOFING_LIBRARY_NAME))));
    }

    void f7ChecksGermanWithTheOfficeSpeller()
    {
        const QString file = m_dir.filePath(QStringLiteral("brief.txt"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Das ist ein Tesst mit dem Haus.\r\n");
        }
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("HOME"), m_dir.path()); // the user dictionary stays in the test folder
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {file});
        QVERIFY(quilmar.waitForStarted());
        // A failed step must not leave the program holding the display.
        auto stop = qScopeGuard([&quilmar] {
            if (quilmar.state() != QProcess::NotRunning) {
                quilmar.kill();
                quilmar.waitForFinished(5000);
            }
        });
        const QString frame = ProgramUnderX::waitForWindow(QStringLiteral("^Quilmar - \\["), &quilmar);
        QVERIFY(!frame.isEmpty());
        QTest::qWait(500);
        QVERIFY(pressIn(frame, QStringLiteral("ctrl+Home")));
        QVERIFY(pressIn(frame, QStringLiteral("F7")));

        QString dialog;
        QTRY_VERIFY_WITH_TIMEOUT(!(dialog = windowId(QStringLiteral("^Language German"))).isEmpty(), 15000);
        QTest::qWait(800);
        const QImage image = ProgramUnderX::screenshot(QStringLiteral(QUILMAR_BUILD_DIR "/e2e-spell-screenshot.png"));
        QVERIFY(!image.isNull());
        QVERIFY2(ProgramUnderX::colourCount(image, 5) > 20, "the screenshot is nearly blank");

        // Change (the default button) with the first suggestion; then the finish message.
        QVERIFY(pressIn(dialog, QStringLiteral("Return")));
        QString message;
        QTRY_VERIFY_WITH_TIMEOUT(!(message = windowId(QStringLiteral("^Message$"))).isEmpty(), 15000);
        QVERIFY(pressIn(message, QStringLiteral("Return")));
        QTRY_VERIFY_WITH_TIMEOUT(windowId(QStringLiteral("^Message$")).isEmpty(), 10000);

        QVERIFY(pressIn(frame, QStringLiteral("ctrl+s")));
        QByteArray saved;
        QTRY_VERIFY_WITH_TIMEOUT((saved = [&] {
                                     QFile f(file);
                                     return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                                 }()).startsWith("Das ist ein Test"),
                                 10000);
        QVERIFY2(!saved.contains("Tesst") && saved.contains(" mit dem Haus."), saved.constData());

        ::kill(quilmar.processId(), SIGTERM);
        QVERIFY(quilmar.waitForFinished(20000));
        QCOMPARE(quilmar.exitStatus(), QProcess::NormalExit);
    }
};

QTEST_GUILESS_MAIN(TestSpellEndToEnd)
#include "tst_spell_e2e.moc"
