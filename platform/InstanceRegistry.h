#pragma once

#include <QString>

#include <functional>
#include <memory>

// The registry of running instances, shared by every process started from
// the same program file: a 1032-byte block (maximum count and count, 16 bits
// each, then up to 257 process ids of 32 bits) under a named lock. Entries of
// processes that no longer exist are dropped whenever the block is used.
// Registered instances are told of every registration (kind 1) and
// de-registration (kind 2) over a local socket; a message is 8 bytes, the
// kind and the process id as 32-bit little-endian numbers.
class InstanceRegistry
{
public:
    static constexpr int BlockSize = 1032;
    static constexpr int MaxIds = 257;
    enum Notification { Registered = 1, Unregistered = 2 };

    // programPath is made absolute when it is relative.
    explicit InstanceRegistry(const QString &programPath);
    ~InstanceRegistry(); // unregisters when registered

    // The name stem: the program path upper-cased, separators made underscores.
    static QString baseName(const QString &programPath);
    // Names of the shared block, its lock and the listener of process pid.
    static QString blockKey(const QString &programPath);
    static QString lockKey(const QString &programPath);
    static QString listenerName(const QString &programPath, quint32 pid);

    // Registers this process; true when the count was below the maximum
    // (set to limit by the first process). Notifies every registered
    // instance, this one included, when the result is true. With the block
    // full (257 ids) nothing is appended and the result is false.
    bool registerInstance(int limit);
    void unregisterInstance();
    bool isRegistered() const;
    // Number of registered, living instances (0 when the block is unavailable).
    int count() const;

    // Called on this process's event loop for each notification received
    // (kind, process id). The program itself acts on none.
    void setNotificationHandler(std::function<void(int kind, quint32 pid)> handler);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
