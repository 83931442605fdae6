#include "app/MultiClipboard.h"
#include "document/ui/TRichTextEdit.h"

#include <QClipboard>
#include <QProcess>
#include <QtTest>

#include <csignal>

// The X11 clipboard for real: text copied by another program (xclip) goes
// into the selected slot, and when that program dies the slot keeps it and
// offers it on the clipboard again.
class TestClipboardOwner : public QObject
{
    Q_OBJECT

    // The clipboard as another program reads it.
    static QString readWithXclip()
    {
        QProcess reader;
        reader.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                               QStringLiteral("clipboard")});
        // The answer comes from this process's event loop: wait while it runs.
        if (!QTest::qWaitFor([&reader] { return reader.state() == QProcess::NotRunning; }, 10000))
            reader.kill();
        return QString::fromUtf8(reader.readAllStandardOutput());
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            QSKIP("xclip is not installed");
    }

    void slotSurvivesTheOwnerOfTheClipboard()
    {
        QWidget host;
        MultiClipboard clip(&host);
        QProcess owner;
        // -quiet keeps xclip in the foreground: its pid is the owner's.
        owner.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                              QStringLiteral("clipboard")});
        QVERIFY(owner.waitForStarted());
        owner.write("copied in a terminal");
        owner.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(clip.buffer(0)->Text(), QStringLiteral("copied in a terminal"), 10000);

        QVERIFY(::kill(pid_t(owner.processId()), SIGKILL) == 0);
        QVERIFY(owner.waitForFinished(5000));
        // Give the X server's owner change time to arrive and be handled.
        QTRY_COMPARE_WITH_TIMEOUT(readWithXclip(), QStringLiteral("copied in a terminal"), 10000);
        QCOMPARE(clip.buffer(0)->Text(), QStringLiteral("copied in a terminal"));
        QCOMPARE(clip.hint(0), QStringLiteral("copied in a terminal"));
    }
};

QTEST_MAIN(TestClipboardOwner)
#include "tst_clipboardowner.moc"
