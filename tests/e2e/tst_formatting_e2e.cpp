#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ProgramUnderX.h"

// The built program under X, driven with the mouse and keyboard: text is
// made bold, centred and red from the tool bar and indented with the ruler,
// then saved; the file holds those formats and a screenshot shows them.
class TestFormattingEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    static bool xdotool(const QStringList &args)
    {
        bool ok = false;
        ProgramUnderX::xdotool(args, &ok);
        QTest::qWait(300); // the program takes each step before the next
        return ok;
    }

    static bool click(const QJsonObject &controls, const char *name)
    {
        const QJsonArray at = controls.value(QLatin1String(name)).toArray();
        if (at.size() != 2)
            return false;
        return xdotool({QStringLiteral("mousemove"), QString::number(at.at(0).toInt()), QString::number(at.at(1).toInt()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        m_program = ProgramUnderX::copyProgram(m_dir.path(), {"ReadMeEn.rtf", "QuilmarEn.hlp", "CodePageListEn.ini"});
        QVERIFY(!m_program.isEmpty());
    }

    void formatsWithToolBarAndRuler()
    {
        const QString file = m_dir.filePath(QStringLiteral("styled.rtf"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs32 Formatted from the tool bar.\\par "
                    "A second paragraph that the ruler indents.\\par}");
        }
        const QString report = m_dir.filePath(QStringLiteral("state.json"));
        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("QUILMAR_STATE_REPORT"), report);
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {file});
        QVERIFY(quilmar.waitForStarted());
        const auto stop = qScopeGuard([&quilmar] {
            if (quilmar.state() != QProcess::NotRunning) {
                ::kill(quilmar.processId(), SIGTERM);
                quilmar.waitForFinished(20000);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 20000);
        // The report is written again once the frame has its final layout.
        QTest::qWait(2500);
        QFile reportFile(report);
        QVERIFY(reportFile.open(QIODevice::ReadOnly));
        const QJsonObject controls =
            QJsonDocument::fromJson(reportFile.readAll()).object().value(QStringLiteral("controls")).toObject();
        QVERIFY2(controls.contains(QStringLiteral("ToolButton26")), qPrintable(QJsonDocument(controls).toJson()));
        QVERIFY(controls.contains(QStringLiteral("FirstInd")));

        // Select all from the keyboard, then bold, centre and red from the tool bar.
        QVERIFY(click(controls, "Editor"));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")}));
        QVERIFY(click(controls, "ToolButton26"));
        QVERIFY(click(controls, "ToolButton20"));
        QVERIFY(click(controls, "Panel3"));
        // The first-line marker dragged 60 pixels to the right.
        const QJsonArray first = controls.value(QStringLiteral("FirstInd")).toArray();
        const QString x = QString::number(first.at(0).toInt());
        const QString y = QString::number(first.at(1).toInt());
        QVERIFY(xdotool({QStringLiteral("mousemove"), x, y, QStringLiteral("mousedown"), QStringLiteral("1")}));
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(first.at(0).toInt() + 30), y}));
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(first.at(0).toInt() + 60), y}));
        QVERIFY(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
        // A click in the text ends the selection, so the colour shows.
        QVERIFY(click(controls, "Editor"));
        QTest::qWait(500);

        const QImage image = ProgramUnderX::screenshot(QStringLiteral(QUILMAR_BUILD_DIR "/e2e-formatting.png"));
        QVERIFY(!image.isNull());
        int reddish = 0;
        for (int py = 0; py < image.height(); ++py)
            for (int px = 0; px < image.width(); ++px) {
                const QColor c = image.pixelColor(px, py);
                if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                    ++reddish;
            }
        QVERIFY2(reddish > 200, "no red text on the screen");

        // Saved, the file holds the formats.
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile(file).size() > 0 && [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("\\qc");
        }(), 10000);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray rtf = saved.readAll();
        QVERIFY(rtf.contains("\\b"));
        QVERIFY(rtf.contains("\\cf1") || rtf.contains("\\cf2"));
        QVERIFY2(rtf.contains("\\fi") || rtf.contains("\\li"), rtf.constData());

    }
};

QTEST_GUILESS_MAIN(TestFormattingEndToEnd)
#include "tst_formatting_e2e.moc"
