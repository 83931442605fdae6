#include "app/ApplicationButtons.h"
#include "platform/Settings.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestApplicationButtons : public QObject
{
    Q_OBJECT

private slots:
    void buttonsAndTheirSettingsLines()
    {
        const QList<int> lines{ApplicationButtons::settingsLine(1), ApplicationButtons::settingsLine(2),
                               ApplicationButtons::settingsLine(3), ApplicationButtons::settingsLine(4)};
        QCOMPARE(lines, QList<int>({21, 20, 19, 18}));
        for (int button = 1; button <= 4; ++button)
            QCOMPARE(ApplicationButtons::buttonOfLine(ApplicationButtons::settingsLine(button)), button);
        QCOMPARE(ApplicationButtons::settingsLine(0), -1);
        QCOMPARE(ApplicationButtons::settingsLine(5), -1);
        QCOMPARE(ApplicationButtons::buttonOfLine(17), 0);
        QCOMPARE(ApplicationButtons::buttonOfLine(22), 0);
    }

    void hints_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Windows program") << "C:\\Program Files\\Viewer\\viewer.exe" << "viewer";
        QTest::newRow("any folder") << "/opt/tools/viewer.exe" << "viewer";
        QTest::newRow("drive and name") << "D:viewer.com" << "viewer";
        QTest::newRow("dots in the name") << "C:\\x\\my.tool.bat" << "my.tool";
        QTest::newRow("Linux program") << "/usr/bin/gedit" << "gedit";
        QTest::newRow("version in the name") << "/usr/bin/python3.11" << "python3.11";
        QTest::newRow("short name") << "/bin/ls" << "ls";
        QTest::newRow("only an extension") << "/x/.exe" << ".exe";
        QTest::newRow("nothing assigned") << "" << "";
    }

    void hints()
    {
        QFETCH(QString, program);
        QFETCH(QString, hint);
        QCOMPARE(ApplicationButtons::hint(program), hint);
    }

    void documentNameIsOneQuotedParameter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "/home/u/a.txt";
        QTest::newRow("blanks") << "C:\\My Documents\\a b.rtf";
        QTest::newRow("quote in the name") << "/home/u/say \"hi\".txt";
        QTest::newRow("quote at the end") << "/home/u/x\"";
        QTest::newRow("empty") << "";
    }

    void documentNameIsOneQuotedParameter()
    {
        QFETCH(QString, path);
        const QString parameter = ApplicationButtons::quotedParameter(path);
        QVERIFY(parameter.startsWith(u'"') && parameter.endsWith(u'"'));
        if (!path.contains(u'"'))
            QCOMPARE(parameter, u'"' + path + u'"');
        // What a program receives after command-line splitting.
        if (!path.isEmpty())
            QCOMPARE(QProcess::splitCommand(parameter), QStringList{path});
    }

    void missingProgramsAreDropped()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath("viewer.exe");
        QFile f(program);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(QDir(dir.path()).mkdir("folder.exe"));

        Settings settings;
        settings.setLine(17, dir.filePath("missing.exe")); // a recent file, not a button
        settings.setLine(18, program);
        settings.setLine(19, dir.filePath("deleted.exe"));
        settings.setLine(20, dir.filePath("folder.exe"));
        settings.setLine(21, QString());
        settings.setLine(22, dir.filePath("missing.exe"));

        QCOMPARE(ApplicationButtons::dropMissingPrograms(settings), 2);
        QCOMPARE(settings.line(18), program);
        QCOMPARE(settings.line(19), QString());
        QCOMPARE(settings.line(20), QString());
        QCOMPARE(settings.line(21), QString());
        QCOMPARE(settings.line(17), dir.filePath("missing.exe"));
        QCOMPARE(settings.line(22), dir.filePath("missing.exe"));
    }
};

QTEST_GUILESS_MAIN(TestApplicationButtons)
#include "tst_applicationbuttons.moc"
