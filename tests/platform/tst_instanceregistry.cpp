#include "platform/InstanceRegistry.h"

#include <QProcess>
#include <QSharedMemory>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <vector>

// Every test uses its own program path, so a stale block of an aborted run
// or of another test cannot leak in; each starts by removing what is left.
class TestInstanceRegistry : public QObject
{
    Q_OBJECT

    QString programPath(const char *name) const
    {
        return QCoreApplication::applicationDirPath() + QLatin1String("/quilmar-") + QLatin1String(name);
    }
    QString helperPath() const
    {
        return QCoreApplication::applicationDirPath() + QLatin1String("/instance_helper");
    }

    // Removes a block nobody is attached to (Qt removes it on the last detach).
    static void removeStaleBlock(const QString &program)
    {
        QSharedMemory stale(InstanceRegistry::blockKey(program));
        if (stale.attach())
            stale.detach();
    }

    struct Helper {
        std::unique_ptr<QProcess> process;
        QByteArray output;
        quint32 pid() const { return quint32(process->processId()); }
        bool waitForLine(const QByteArray &prefix, QByteArray *line = nullptr, int ms = 10000)
        {
            QDeadlineTimer deadline(ms);
            for (;;) {
                output += process->readAllStandardOutput();
                const QList<QByteArray> lines = output.split('\n');
                for (const QByteArray &l : lines) {
                    if (l.startsWith(prefix)) {
                        if (line)
                            *line = l;
                        return true;
                    }
                }
                if (deadline.hasExpired() || process->state() == QProcess::NotRunning)
                    return false;
                process->waitForReadyRead(50);
            }
        }
    };

    std::unique_ptr<Helper> startHelper(const QStringList &args)
    {
        auto h = std::make_unique<Helper>();
        h->process = std::make_unique<QProcess>();
        h->process->setProcessChannelMode(QProcess::SeparateChannels);
        h->process->start(helperPath(), args);
        return h;
    }

    static void stop(Helper &h)
    {
        if (h.process->state() == QProcess::NotRunning)
            return;
        h.process->write("quit\n");
        if (!h.process->waitForFinished(5000)) {
            h.process->kill();
            h.process->waitForFinished(5000);
        }
    }

private slots:
    void baseNameUpperCasesAndReplacesSeparators_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows") << "C:\\Programme\\Quilmar\\Quilmar.exe" << "C:_PROGRAMME_QUILMAR_QUILMAR.EXE";
        QTest::newRow("unix") << "/opt/quilmar/bin/quilmar" << "_OPT_QUILMAR_BIN_QUILMAR";
        QTest::newRow("mixed") << "D:/Tools\\quilmar.exe" << "D:_TOOLS_QUILMAR.EXE";
        QTest::newRow("umlaut") << QString::fromUtf8("/home/jörg/q") << QString::fromUtf8("_HOME_JÖRG_Q");
    }
    void baseNameUpperCasesAndReplacesSeparators()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(InstanceRegistry::baseName(path), expected);
        QCOMPARE(InstanceRegistry::blockKey(path), expected + "_Map");
        QCOMPARE(InstanceRegistry::lockKey(path), expected + "_Otx");
        QCOMPARE(InstanceRegistry::listenerName(path, 42), expected + "_Msg42");
    }

    void listenerNamesOfDeepFoldersStayShort()
    {
        const QString deep = "/" + QString(300, u'a') + "/quilmar";
        const QString a = InstanceRegistry::listenerName(deep, 4711);
        QVERIFY(a.size() < 60);
        QVERIFY(a.endsWith("_Msg4711"));
        QCOMPARE(InstanceRegistry::listenerName(deep, 4711), a);
        QVERIFY(InstanceRegistry::listenerName(deep + "x", 4711) != a);
    }

    void limitIsSetByTheFirstAndCountsEveryRegistration()
    {
        const QString program = programPath("limit");
        removeStaleBlock(program);
        InstanceRegistry a(program), b(program), c(program);
        QCOMPARE(a.count(), 0);
        QVERIFY(a.registerInstance(2));
        QCOMPARE(a.count(), 1);
        QVERIFY(b.registerInstance(5)); // the maximum stays 2
        QVERIFY(!c.registerInstance(5));
        QVERIFY(c.isRegistered()); // appended all the same
        QCOMPARE(a.count(), 3);
        b.unregisterInstance();
        QCOMPARE(a.count(), 2);
        b.unregisterInstance(); // twice is harmless
        QCOMPARE(a.count(), 2);

        QSharedMemory view(InstanceRegistry::blockKey(program));
        QVERIFY(view.attach(QSharedMemory::ReadOnly));
        const auto *block = static_cast<const uchar *>(view.constData());
        QCOMPARE(qFromUnaligned<quint16>(block), quint16(2));
        QCOMPARE(qFromUnaligned<quint16>(block + 2), quint16(2));
        QCOMPARE(qFromUnaligned<quint32>(block + 4), quint32(QCoreApplication::applicationPid()));
        QCOMPARE(qFromUnaligned<quint32>(block + 12), quint32(0)); // the freed slot
    }

    void deadAndImpossibleIdsAreDropped()
    {
        const QString program = programPath("dead");
        removeStaleBlock(program);
        QSharedMemory block(InstanceRegistry::blockKey(program));
        QVERIFY(block.create(InstanceRegistry::BlockSize));
        auto *p = static_cast<uchar *>(block.data());
        const quint32 self = quint32(QCoreApplication::applicationPid());
        // 0, a pid far above any pid_max, and one that would be a negative
        // pid (a process group to kill()) must all count as gone.
        const quint32 ids[] = {0, self, 0x7ffffff0u, 0xffffffffu, 0x80000001u};
        qToUnaligned<quint16>(3, p);
        qToUnaligned<quint16>(5, p + 2);
        for (int i = 0; i < 5; ++i)
            qToUnaligned(ids[i], p + 4 + 4 * i);

        InstanceRegistry r(program);
        QCOMPARE(r.count(), 1);
        QCOMPARE(qFromUnaligned<quint32>(p + 4), self);
        QVERIFY(r.registerInstance(10));
        QCOMPARE(qFromUnaligned<quint16>(p), quint16(3)); // kept, not reset to 10
        QCOMPARE(r.count(), 2);
    }

    void aFullOrDamagedBlockIsNeverWrittenBeyond_data()
    {
        QTest::addColumn<int>("storedCount");
        QTest::newRow("257 ids") << 257;
        QTest::newRow("count damaged") << 0xffff;
    }
    void aFullOrDamagedBlockIsNeverWrittenBeyond()
    {
        QFETCH(int, storedCount);
        const QString program = programPath("full");
        removeStaleBlock(program);
        // A block larger than needed, with a guard area behind the 1032 bytes.
        constexpr int Guard = 256;
        QSharedMemory block(InstanceRegistry::blockKey(program));
        QVERIFY(block.create(InstanceRegistry::BlockSize + Guard));
        auto *p = static_cast<uchar *>(block.data());
        std::memset(p + InstanceRegistry::BlockSize, 0xAA, Guard);
        const quint32 self = quint32(QCoreApplication::applicationPid());
        qToUnaligned<quint16>(10, p);
        qToUnaligned<quint16>(quint16(storedCount), p + 2);
        for (int i = 0; i < InstanceRegistry::MaxIds; ++i)
            qToUnaligned(self, p + 4 + 4 * i);

        InstanceRegistry r(program);
        QVERIFY(!r.registerInstance(10));
        QVERIFY(!r.isRegistered());
        QCOMPARE(r.count(), InstanceRegistry::MaxIds);
        QCOMPARE(qFromUnaligned<quint16>(p + 2), quint16(InstanceRegistry::MaxIds));
        for (int i = 0; i < Guard; ++i)
            QCOMPARE(p[InstanceRegistry::BlockSize + i], uchar(0xAA));
    }

    void processesRegisterAreNotifiedAndCrashedOnesDrop()
    {
        const QString program = programPath("processes");
        removeStaleBlock(program);

        InstanceRegistry self(program);
        QList<QPair<int, quint32>> received;
        self.setNotificationHandler([&](int kind, quint32 pid) { received.append({kind, pid}); });
        QVERIFY(self.registerInstance(10));
        QTRY_VERIFY(received.contains(qMakePair(1, quint32(QCoreApplication::applicationPid()))));

        std::vector<std::unique_ptr<Helper>> helpers;
        for (int i = 0; i < 3; ++i) {
            helpers.push_back(startHelper({program, "10"}));
            QByteArray line;
            QVERIFY2(helpers.back()->waitForLine("registered", &line), helpers.back()->output.constData());
            QCOMPARE(line, QByteArray("registered 1 ") + QByteArray::number(i + 2));
        }
        QCOMPARE(self.count(), 4);
        // The first helper heard of the later ones, and so did this process.
        for (int i = 1; i < 3; ++i) {
            const QByteArray note = "notified 1 " + QByteArray::number(helpers[i]->pid());
            QVERIFY2(helpers[0]->waitForLine(note), helpers[0]->output.constData());
            QTRY_VERIFY(received.contains(qMakePair(1, helpers[i]->pid())));
        }

        // A crash leaves its id behind; the next look at the block drops it.
        const quint32 crashed = helpers[1]->pid();
        helpers[1]->process->kill(); // SIGKILL: no clean-up runs
        QVERIFY(helpers[1]->process->waitForFinished(5000));
        QCOMPARE(self.count(), 3);
        QVERIFY(!received.contains(qMakePair(2, crashed)));

        // A clean end unregisters and tells the others.
        const quint32 leaving = helpers[2]->pid();
        stop(*helpers[2]);
        QCOMPARE(helpers[2]->process->exitCode(), 0);
        QCOMPARE(self.count(), 2);
        QTRY_VERIFY(received.contains(qMakePair(2, leaving)));
        QVERIFY(helpers[0]->waitForLine("notified 2 " + QByteArray::number(leaving)));

        helpers[0]->process->write("count\n");
        QVERIFY(helpers[0]->waitForLine("count 2"));
        stop(*helpers[0]);
        QCOMPARE(self.count(), 1);
    }

    void aHolderKilledInsideTheLockDoesNotBlockOthers()
    {
        const QString program = programPath("lock");
        removeStaleBlock(program);
        auto holder = startHelper({"--hold-lock", program});
        QVERIFY2(holder->waitForLine("locked"), holder->output.constData());
        holder->process->kill();
        QVERIFY(holder->process->waitForFinished(5000));

        // Ask from another process, so a lock left held fails the test
        // instead of hanging it.
        auto counter = startHelper({"--count", program});
        const bool answered = counter->waitForLine("count 0", nullptr, 10000);
        if (!answered)
            counter->process->kill();
        counter->process->waitForFinished(5000);
        QVERIFY2(answered, "the lock stayed held after its holder was killed");
        InstanceRegistry r(program);
        QVERIFY(r.registerInstance(10));
        QCOMPARE(r.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestInstanceRegistry)
#include "tst_instanceregistry.moc"
