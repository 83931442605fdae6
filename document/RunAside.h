#pragma once

#include <QEventLoop>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <utility>

// Runs work on a worker thread and waits for its result in an event loop
// that takes no user input: the window repaints meanwhile, and nothing is
// typed into what the worker reads. tick, if given, runs every 20 ms of
// the wait (progress).
template <typename Work>
auto runAside(Work work, const std::function<void()> &tick = {})
{
    using Result = decltype(work());
    QFutureWatcher<Result> watcher;
    QEventLoop wait;
    QTimer ticker;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    if (tick) {
        QObject::connect(&ticker, &QTimer::timeout, tick);
        ticker.start(20);
    }
    watcher.setFuture(QtConcurrent::run(std::move(work)));
    if (!watcher.isFinished())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    return watcher.result();
}
