#include "platform/InstanceRegistry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QMutex>
#include <QSharedMemory>
#include <QSystemSemaphore>
#include <QtEndian>

#include <climits>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <signal.h>
#include <sys/types.h>
#endif

Q_LOGGING_CATEGORY(lcInstances, "quilmar.platform.instances")

namespace {

constexpr int MaximumOffset = 0;
constexpr int CountOffset = 2;
constexpr int IdsOffset = 4;
static_assert(IdsOffset + 4 * InstanceRegistry::MaxIds == InstanceRegistry::BlockSize,
              "the ids fill the block");

// A notification must not hold up the sender, who is inside the lock.
constexpr int NotifyTimeoutMs = 50;

quint32 ownPid()
{
    return quint32(QCoreApplication::applicationPid());
}

bool isProcessAlive(quint32 pid)
{
    if (pid == 0)
        return false;
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED; // exists, belongs to someone else
    DWORD exitCode = 0;
    const bool alive = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return alive;
#else
    // Ids above INT_MAX would turn into negative pids, which kill() takes
    // as process groups; no real process has them.
    if (pid > quint32(INT_MAX))
        return false;
    return kill(pid_t(pid), 0) == 0 || errno != ESRCH;
#endif
}

// The named lock around the block. A process that dies while holding it must
// not block the others for good.
class NamedLock
{
public:
    explicit NamedLock(const QString &key)
    {
#ifdef Q_OS_WIN
        // A mutex, unlike a semaphore, is released by Windows when its owner dies.
        m_mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(key.utf16()));
#else
        // System V semaphores taken with SEM_UNDO (as QSystemSemaphore does)
        // are given back by the kernel when the holder dies. Qt removes a
        // semaphore when the object that created it is destroyed, even while
        // other processes use it; a process that then releases it recreates it
        // with one count too many, and the lock no longer excludes. So the
        // semaphore of each key lives as long as the process and is never
        // destroyed: it outlives the program in the kernel, ready for the next.
        static QMutex guard;
        static QHash<QString, QSystemSemaphore *> semaphores;
        QMutexLocker locker(&guard);
        QSystemSemaphore *&s = semaphores[key];
        if (!s)
            s = new QSystemSemaphore(key, 1, QSystemSemaphore::Open);
        m_semaphore = s;
#endif
    }
    ~NamedLock()
    {
#ifdef Q_OS_WIN
        if (m_mutex)
            CloseHandle(m_mutex);
#endif
    }
    NamedLock(const NamedLock &) = delete;
    NamedLock &operator=(const NamedLock &) = delete;

    bool acquire()
    {
#ifdef Q_OS_WIN
        if (!m_mutex)
            return false;
        const DWORD r = WaitForSingleObject(m_mutex, INFINITE);
        return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
#else
        if (m_semaphore->acquire())
            return true;
        qCWarning(lcInstances) << "lock unavailable:" << m_semaphore->errorString();
        return false;
#endif
    }
    void release()
    {
#ifdef Q_OS_WIN
        ReleaseMutex(m_mutex);
#else
        m_semaphore->release();
#endif
    }

private:
#ifdef Q_OS_WIN
    HANDLE m_mutex = nullptr;
#else
    QSystemSemaphore *m_semaphore = nullptr;
#endif
};

class LockHolder
{
public:
    explicit LockHolder(NamedLock &lock) : m_lock(lock), m_held(lock.acquire()) {}
    ~LockHolder()
    {
        if (m_held)
            m_lock.release();
    }
    explicit operator bool() const { return m_held; }

private:
    NamedLock &m_lock;
    bool m_held;
};

void sendNotification(const QString &listener, quint32 kind, quint32 pid)
{
    QLocalSocket socket;
    socket.connectToServer(listener, QIODevice::WriteOnly);
    if (!socket.waitForConnected(NotifyTimeoutMs))
        return;
    char message[8];
    qToLittleEndian<quint32>(kind, message);
    qToLittleEndian<quint32>(pid, message + 4);
    socket.write(message, sizeof message);
    socket.waitForBytesWritten(NotifyTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(NotifyTimeoutMs);
}

} // namespace

struct InstanceRegistry::Private {
    QString programPath;
    QSharedMemory memory;
    NamedLock lock;
    QLocalServer *listener = nullptr; // owned
    std::function<void(int, quint32)> handler;
    bool registered = false;

    Private(const QString &path)
        : programPath(path), memory(InstanceRegistry::blockKey(path)),
          lock(InstanceRegistry::lockKey(path))
    {
    }
    ~Private() { delete listener; }

    uchar *block() { return static_cast<uchar *>(memory.data()); }
    quint16 word(int offset) { return qFromUnaligned<quint16>(block() + offset); }
    void setWord(int offset, quint16 v) { qToUnaligned(v, block() + offset); }
    quint32 id(int i) { return qFromUnaligned<quint32>(block() + IdsOffset + 4 * i); }
    void setId(int i, quint32 v) { qToUnaligned(v, block() + IdsOffset + 4 * i); }
    // A damaged count never leads past the block.
    int storedCount() { return qMin<int>(word(CountOffset), MaxIds); }

    bool attach();
    void dropDeadEntries();
    void notify(quint32 kind, quint32 pid, bool includeSelf);
    void listen();
    void readMessages(QLocalSocket *socket);
};

bool InstanceRegistry::Private::attach()
{
    if (!memory.isAttached()) {
        if (memory.create(BlockSize)) {
            std::memset(memory.data(), 0, BlockSize);
        } else if (memory.error() != QSharedMemory::AlreadyExists || !memory.attach()) {
            qCWarning(lcInstances) << "shared block unavailable:" << memory.errorString();
            return false;
        }
    }
    if (memory.size() < BlockSize) {
        qCWarning(lcInstances) << "shared block too small:" << memory.size();
        memory.detach();
        return false;
    }
    return true;
}

void InstanceRegistry::Private::dropDeadEntries()
{
    const int count = storedCount();
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const quint32 pid = id(i);
        if (!isProcessAlive(pid))
            continue;
        if (kept != i)
            setId(kept, pid);
        ++kept;
    }
    for (int i = kept; i < count; ++i)
        setId(i, 0);
    setWord(CountOffset, quint16(kept));
}

void InstanceRegistry::Private::notify(quint32 kind, quint32 pid, bool includeSelf)
{
    const quint32 self = ownPid();
    const int count = storedCount();
    for (int i = 0; i < count; ++i) {
        const quint32 target = id(i);
        if (target == self && !includeSelf)
            continue;
        sendNotification(InstanceRegistry::listenerName(programPath, target), kind, pid);
    }
}

void InstanceRegistry::Private::listen()
{
    if (listener)
        return;
    listener = new QLocalServer;
    listener->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = InstanceRegistry::listenerName(programPath, ownPid());
    // The name carries our pid, so a socket left under it is a dead process's.
    QLocalServer::removeServer(name);
    if (!listener->listen(name)) {
        qCWarning(lcInstances) << "cannot listen for notifications:" << listener->errorString();
        return;
    }
    QObject::connect(listener, &QLocalServer::newConnection, listener, [this] {
        while (QLocalSocket *socket = listener->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [this, socket] { readMessages(socket); });
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             [this, socket] {
                                 readMessages(socket);
                                 socket->deleteLater();
                             });
            readMessages(socket);
        }
    });
}

void InstanceRegistry::Private::readMessages(QLocalSocket *socket)
{
    while (socket->bytesAvailable() >= 8) {
        char message[8];
        if (socket->read(message, sizeof message) != sizeof message)
            return;
        const quint32 kind = qFromLittleEndian<quint32>(message);
        const quint32 pid = qFromLittleEndian<quint32>(message + 4);
        if (handler)
            handler(int(kind), pid);
    }
}

InstanceRegistry::InstanceRegistry(const QString &programPath)
    : d(new Private(QDir::isRelativePath(programPath)
                        ? QFileInfo(programPath).absoluteFilePath()
                        : programPath))
{
}

InstanceRegistry::~InstanceRegistry()
{
    unregisterInstance();
    if (d->memory.isAttached())
        d->memory.detach();
}

QString InstanceRegistry::baseName(const QString &programPath)
{
    QString name = programPath.toUpper();
    name.replace(u'\\', u'_');
    name.replace(u'/', u'_');
    return name;
}

QString InstanceRegistry::blockKey(const QString &programPath)
{
    return baseName(programPath) + QLatin1String("_Map");
}

QString InstanceRegistry::lockKey(const QString &programPath)
{
    return baseName(programPath) + QLatin1String("_Otx");
}

QString InstanceRegistry::listenerName(const QString &programPath, quint32 pid)
{
    const QString name = baseName(programPath) + QLatin1String("_Msg") + QString::number(pid);
    // Local socket paths are short (108 bytes on Linux); deep program folders
    // get a digest of the name instead.
    const QString socketPath = QDir::tempPath() + u'/' + name;
    if (socketPath.toUtf8().size() < 100)
        return name;
    const QByteArray digest =
        QCryptographicHash::hash(baseName(programPath).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QLatin1String("Quilmar_") + QString::fromLatin1(digest.left(20)) + QLatin1String("_Msg")
           + QString::number(pid);
}

bool InstanceRegistry::registerInstance(int limit)
{
    if (d->registered)
        return false;
    d->listen();
    LockHolder locked(d->lock);
    if (!locked || !d->attach())
        return false;
    d->dropDeadEntries();
    quint16 maximum = d->word(MaximumOffset);
    if (maximum == 0) {
        maximum = quint16(qBound(0, limit, 0xFFFF));
        d->setWord(MaximumOffset, maximum);
    }
    const int count = d->storedCount();
    if (count >= MaxIds)
        return false;
    const bool result = count < maximum;
    const quint32 pid = ownPid();
    d->setId(count, pid);
    d->setWord(CountOffset, quint16(count + 1));
    d->registered = true;
    if (result)
        d->notify(Registered, pid, true);
    return result;
}

void InstanceRegistry::unregisterInstance()
{
    if (!d->registered)
        return;
    d->registered = false;
    LockHolder locked(d->lock);
    if (!locked || !d->attach())
        return;
    d->dropDeadEntries();
    const quint32 pid = ownPid();
    const int count = d->storedCount();
    int i = 0;
    while (i < count && d->id(i) != pid)
        ++i;
    if (i == count)
        return;
    for (; i + 1 < count; ++i)
        d->setId(i, d->id(i + 1));
    d->setId(count - 1, 0);
    d->setWord(CountOffset, quint16(count - 1));
    d->notify(Unregistered, pid, false);
}

bool InstanceRegistry::isRegistered() const
{
    return d->registered;
}

int InstanceRegistry::count() const
{
    LockHolder locked(d->lock);
    if (!locked || !d->attach())
        return 0;
    d->dropDeadEntries();
    return d->storedCount();
}

void InstanceRegistry::setNotificationHandler(std::function<void(int, quint32)> handler)
{
    d->handler = std::move(handler);
}
