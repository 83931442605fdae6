#pragma once

#include <QString>

#include <memory>

// The registry of running instances, shared by every process started from
// the same program file: a 1032-byte block (maximum count and count, 16 bits
// each, then up to 257 process ids of 32 bits) under a named lock. Entries of
// processes that no longer exist are dropped whenever the block is used.
class InstanceRegistry
{
public:
    static constexpr int BlockSize = 1032;
    static constexpr int MaxIds = 257;

    explicit InstanceRegistry(const QString &programPath);
    ~InstanceRegistry(); // unregisters when registered

    // The name stem: the program path upper-cased, separators made underscores.
    static QString baseName(const QString &programPath);

    // Registers this process; true when the count was below the maximum
    // (set to limit by the first process). Notifies the others.
    bool registerInstance(int limit);
    void unregisterInstance();
    // Number of registered, living instances (0 when the block is unavailable).
    int count() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
