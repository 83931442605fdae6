#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The program as a user gets it: installed into a prefix of its own, started
// from there under X. It finds its shipped files under share/, writes its own
// per user, shows its icon and its title, and keeps an unsaved document when
// the session ends it.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_prefix;

    QStringList filesUnder(const QString &dir) const
    {
        QStringList files;
        QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        return files;
    }

    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess p;
        p.start(program, arguments);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QString();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        m_prefix = m_dir.filePath(QStringLiteral("prefix"));
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(QUILMAR_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(QUILMAR_BUILD_DIR), QStringLiteral("--prefix"), m_prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void installsProgramFilesAndDesktopEntry()
    {
        for (const char *file : {"bin/quilmar", "share/quilmar/CodePageListEn.ini", "share/quilmar/insert.ini",
                                 "share/quilmar/QuilmarEn.hlp", "share/quilmar/ReadMeDe.rtf",
                                 "share/quilmar/templates/Letter.rtf", "share/quilmar/Francais.lgtx",
                                 "share/icons/hicolor/scalable/apps/org.quilmar.Quilmar.svg",
                                 "share/metainfo/org.quilmar.Quilmar.metainfo.xml"})
            QVERIFY2(QFileInfo::exists(m_prefix + u'/' + QLatin1String(file)), file);
        for (int size : {16, 32, 48, 256}) {
            const QImage png(m_prefix + QStringLiteral("/share/icons/hicolor/%1x%1/apps/org.quilmar.Quilmar.png").arg(size));
            QCOMPARE(png.size(), QSize(size, size));
        }
        QFile desktop(m_prefix + QStringLiteral("/share/applications/org.quilmar.Quilmar.desktop"));
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QByteArray entry = desktop.readAll();
        QVERIFY(entry.contains("\nExec=quilmar %F\n"));
        QVERIFY(entry.contains("\nIcon=org.quilmar.Quilmar\n"));
        QVERIFY(entry.contains("\nCategories=Utility;TextEditor;"));
        QVERIFY(entry.contains("\nMimeType=text/plain;text/rtf;application/rtf;text/html;"));
    }

    void installedProgramRunsAndWritesPerUser()
    {
        const QString config = m_dir.filePath(QStringLiteral("config"));
        const QString work = m_dir.filePath(QString::fromUtf8("Dokumente ελληνικά"));
        QVERIFY(QDir().mkpath(work));
        const QString file = work + QString::fromUtf8("/日本語.txt");
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("first line\r\n");
        text.close();
        const QStringList before = filesUnder(m_prefix);
        const QString report = m_dir.filePath(QStringLiteral("state.json"));

        QProcess quilmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("QUILMAR_STATE_REPORT"), report);
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_prefix + QStringLiteral("/bin/quilmar"), {file});
        QVERIFY(quilmar.waitForStarted());
        // A failed check must not leave the program running.
        const auto stop = qScopeGuard([&quilmar] {
            if (quilmar.state() != QProcess::NotRunning) {
                quilmar.kill();
                quilmar.waitForFinished(5000);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 20000);

        // One title, no second program name; the window carries our icon.
        const QString window = run(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                    QString::number(quilmar.processId()), QStringLiteral("--name"), QStringLiteral("^Quilmar")})
                                   .section(u'\n', 0, 0);
        QVERIFY(!window.isEmpty());
        QCOMPARE(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window}),
                 QStringLiteral("Quilmar - [%1]").arg(file));
        const QString icon = run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_ICON")});
        QVERIFY2(icon.contains(QLatin1String("Icon (16 x 16)")) || icon.contains(QLatin1String("= 16, 16")),
                 qPrintable(icon.left(200)));

        QTest::qWait(500);
        const QString shot = QStringLiteral(QUILMAR_BUILD_DIR "/install-screenshot.png");
        QCOMPARE(QProcess::execute(QStringLiteral(QUILMAR_BUILD_DIR "/bin/quilmar-shot"), {shot}), 0);
        QVERIFY(!QImage(shot).isNull());

        // An edit nobody saves, then the session ends.
        run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                                        QStringLiteral("kept")});
        QTest::qWait(300);
        ::kill(quilmar.processId(), SIGTERM);
        QVERIFY(quilmar.waitForFinished(20000));
        QCOMPARE(quilmar.exitStatus(), QProcess::NormalExit);

        QCOMPARE(filesUnder(m_prefix), before);
        const QString user = config + QStringLiteral("/quilmar/");
        QFile ini(user + QStringLiteral("Quilmar.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray settings = ini.readAll();
        QVERIFY(settings.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(settings.mid(3)).split(QStringLiteral("\r\n")).value(14), file);
        QVERIFY(QFileInfo::exists(user + QStringLiteral("insert.ini")));
        const QStringList copies = QDir(user + QStringLiteral("recovery")).entryList(QDir::Files);
        QCOMPARE(copies.size(), 1);
        QFile copy(user + QStringLiteral("recovery/") + copies.first());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const QByteArray kept = copy.readAll();
        QVERIFY(kept.contains(file.toUtf8()));
        QVERIFY(kept.contains("kept"));
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
