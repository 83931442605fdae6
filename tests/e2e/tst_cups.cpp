#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ProgramUnderX.h"

// The built program prints through a real CUPS queue: a cupsd of the test's
// own with a private configuration, a cups-pdf queue as the default printer,
// File > Print from the keyboard and the print dialog confirmed; the PDF the
// queue writes must hold the document's words, on one page, at the margins.
class TestCupsPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    QString m_program;

    static QString run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
    {
        QProcess p;
        if (!env.isEmpty())
            p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(30000))
            return QStringLiteral("(timed out)");
        return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    }

    QProcessEnvironment cupsEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), m_socket);
        return env;
    }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Where cups-pdf puts a job of this user: its home's PDF folder or the spool.
    static QStringList outputFolders()
    {
        return {QDir::homePath() + QStringLiteral("/PDF"), QStringLiteral("/root/PDF"),
                QStringLiteral("/var/spool/cups-pdf")};
    }

    static QString findOutput(const QString &marker)
    {
        for (const QString &folder : outputFolders()) {
            QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                if (file.contains(marker))
                    return file;
            }
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (the test runs under xvfb-run)");
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
        const QString lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin")});
        if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
            QSKIP("cupsd, lpadmin or the cups-pdf backend is not installed (scripts/install-deps.sh installs them)");
        // Filters run as cupsd's unprivileged user and must reach the spool.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        for (const char *folder : {"spool", "spool/tmp", "cache", "state", "log", "ppd"})
            QVERIFY(QDir(m_dir.path()).mkpath(QLatin1String(folder)));
        m_socket = m_dir.filePath(QStringLiteral("cups.sock"));
        const QByteArray root = m_dir.path().toLocal8Bit();
        writeFile(QStringLiteral("cupsd.conf"), "Listen " + m_socket.toLocal8Bit() + "\n"
                  "LogLevel warn\nBrowsing Off\nWebInterface No\nDefaultAuthType None\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
        writeFile(QStringLiteral("cups-files.conf"), "ServerRoot " + root + "\nRequestRoot " + root + "/spool\n"
                  "TempDir " + root + "/spool/tmp\nCacheDir " + root + "/cache\nStateDir " + root + "/state\n"
                  "AccessLog " + root + "/log/access_log\nErrorLog " + root + "/log/error_log\n"
                  "PageLog " + root + "/log/page_log\nSystemGroup root\n");
        m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), m_dir.filePath(QStringLiteral("cupsd.conf")),
                              QStringLiteral("-s"), m_dir.filePath(QStringLiteral("cups-files.conf"))});
        if (!m_cupsd.waitForStarted(10000) || !QTest::qWaitFor([this] { return QFile::exists(m_socket); }, 15000)) {
            QFile errors(m_dir.filePath(QStringLiteral("log/error_log")));
            const QString log = QString::fromLocal8Bit(m_cupsd.readAllStandardError())
                                + (errors.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(errors.readAll()) : QString());
            m_cupsd.kill();
            QSKIP(qPrintable(QStringLiteral("cupsd could not start here: ") + log));
        }
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        QStringList args{QStringLiteral("-h"), m_socket, QStringLiteral("-p"), QStringLiteral("QuilmarPDF"),
                         QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/")};
        if (QFile::exists(ppd))
            args << QStringLiteral("-P") << ppd;
        else
            args << QStringLiteral("-m") << QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd");
        // The queue's PostScript step: Ghostscript's ps2write turns the PDF's
        // CID TrueType fonts into Type 3 fonts with glyph names a1, a2 and on, so
        // the queue's PDF would map its text to dingbats. Cairo keeps the
        // Unicode names of the glyphs.
        args << QStringLiteral("-o") << QStringLiteral("pdftops-renderer-default=pdftocairo");
        const QString added = run(lpadmin, args);
        const QString byDefault = run(lpadmin, {QStringLiteral("-h"), m_socket, QStringLiteral("-d"), QStringLiteral("QuilmarPDF")});
        const QString state = run(QStringLiteral("lpstat"), {QStringLiteral("-h"), m_socket, QStringLiteral("-p"), QStringLiteral("-d")});
        QVERIFY2(state.contains(QStringLiteral("QuilmarPDF")), qPrintable(added + byDefault + state));

        m_program = ProgramUnderX::copyProgram(m_dir.path());
        QVERIFY(!m_program.isEmpty());
    }

    void cleanupTestCase()
    {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(10000))
                m_cupsd.kill();
        }
    }

    void printsFromFilePrint()
    {
        // A name no earlier job had, so the queue's file is told apart.
        const QString marker = QStringLiteral("quilmarcups%1").arg(QCoreApplication::applicationPid());
        const QString document = m_dir.filePath(marker + QStringLiteral(".txt"));
        {
            QFile f(document);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Printed through CUPS by Quilmar.\r\nSecond line of the job.\r\n");
        }
        QProcess quilmar;
        QProcessEnvironment env = cupsEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        quilmar.setProcessEnvironment(env);
        quilmar.start(m_program, {document});
        QVERIFY(quilmar.waitForStarted());
        const QString frame = ProgramUnderX::waitForWindow(QStringLiteral("^Quilmar - \\["), &quilmar);
        QVERIFY(!frame.isEmpty());
        QTest::qWait(1000);
        QVERIFY(ProgramUnderX::pressIn(frame, QStringLiteral("ctrl+p")));
        const QString dialog = ProgramUnderX::waitForWindow(QStringLiteral("^Print"), &quilmar);
        QVERIFY(!dialog.isEmpty());
        QTest::qWait(1500);
        QVERIFY(ProgramUnderX::pressIn(dialog, QStringLiteral("Return")));

        QString pdf;
        const bool written = QTest::qWaitFor([&] { return !(pdf = findOutput(marker)).isEmpty(); }, 60000);
        ::kill(quilmar.processId(), SIGTERM);
        quilmar.waitForFinished(20000);
        QVERIFY2(written, qPrintable(QStringLiteral("no PDF from the queue; jobs: ")
                                     + run(QStringLiteral("lpstat"), {QStringLiteral("-h"), m_socket, QStringLiteral("-W"),
                                                                      QStringLiteral("all"), QStringLiteral("-o")})));
        // The queue may still be writing the file.
        QTest::qWait(1000);
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
        QVERIFY2(info.contains(marker), qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("\\S")));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).simplified(), QStringLiteral("Printed through CUPS by Quilmar."));
        QCOMPARE(lines.at(1).simplified(), QStringLiteral("Second line of the job."));
        // The text starts at the default margins: 25 mm from the left and the top.
        const QString png = m_dir.filePath(QStringLiteral("page"));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
                                         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, png});
        QFile::remove(pdf);
        const QImage page(png + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        int left = page.width(), top = page.height();
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128) {
                    left = qMin(left, x);
                    top = qMin(top, y);
                }
        const double mm = 25.4 / 100;
        QVERIFY2(qAbs(left * mm - 25) < 2, qPrintable(QString::number(left * mm)));
        QVERIFY2(top * mm > 23 && top * mm < 30, qPrintable(QString::number(top * mm)));
    }
};

QTEST_GUILESS_MAIN(TestCupsPrint)
#include "tst_cups.moc"
