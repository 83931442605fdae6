// A program for the instance registry tests, one process per instance.
//   instance_helper PROGRAM LIMIT   registers, prints "registered R COUNT" and
//                                   every notification ("notified KIND PID");
//                                   answers "count" on standard input with
//                                   "count N"; ends on "quit" or end of input.
//   instance_helper --hold-lock PROGRAM   takes the registry lock, prints
//                                   "locked" and waits to be killed.
//   instance_helper --count PROGRAM  prints "count N" and ends.
#include "platform/InstanceRegistry.h"

#include <QCoreApplication>
#include <QSystemSemaphore>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

static void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--hold-lock")) {
        QSystemSemaphore lock(InstanceRegistry::lockKey(args.at(2)), 1, QSystemSemaphore::Open);
        if (!lock.acquire())
            return 2;
        say("locked");
        for (;;)
            QThread::sleep(60);
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--count")) {
        InstanceRegistry registry(args.at(2));
        say("count " + QByteArray::number(registry.count()));
        return 0;
    }
    if (args.size() != 3)
        return 2;

    InstanceRegistry registry(args.at(1));
    registry.setNotificationHandler([](int kind, quint32 pid) {
        say("notified " + QByteArray::number(kind) + ' ' + QByteArray::number(pid));
    });
    const bool result = registry.registerInstance(args.at(2).toInt());
    say("registered " + QByteArray::number(int(result)) + ' '
        + QByteArray::number(registry.count()));

    std::thread reader([&registry] {
        std::string line;
        while (std::getline(std::cin, line) && line != "quit") {
            if (line == "count") {
                QMetaObject::invokeMethod(qApp, [&registry] {
                    say("count " + QByteArray::number(registry.count()));
                });
            }
        }
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    const int rc = app.exec();
    reader.join();
    return rc;
}
