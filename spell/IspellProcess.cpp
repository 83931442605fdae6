#include "spell/IspellProcess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

// Enough of the error output for a message; ispell repeats itself.
constexpr qsizetype ErrorOutputBytes = 2048;

} // namespace

IspellProcess::IspellProcess() = default;

IspellProcess::~IspellProcess()
{
    if (!m_process)
        return;
    if (m_process->state() == QProcess::Running && !m_failed) {
        m_process->closeWriteChannel();
        if (m_process->waitForFinished(qMin(m_timeoutMs, 2000)))
            return;
    }
    m_process->kill();
    m_process->waitForFinished(1000);
}

bool IspellProcess::start(const Options &options)
{
    m_timeoutMs = qMax(1, options.timeoutMs);
    QStringList args = QProcess::splitCommand(options.command);
    if (args.isEmpty()) {
        fail(QString());
        return false;
    }
    const QString program = args.takeFirst();
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!options.home.isEmpty())
        env.insert(QStringLiteral("HOME"), options.home);
    m_process->setProcessEnvironment(env);
    if (!options.workingDirectory.isEmpty())
        m_process->setWorkingDirectory(options.workingDirectory);
    m_process->setReadChannel(QProcess::StandardOutput);
    m_process->start(program, args);
    if (!m_process->waitForStarted(m_timeoutMs)) {
        fail(m_process->errorString());
        return false;
    }
    QList<QByteArray> greeting;
    if (!readAnswer(&greeting, true))
        return false;
    // Terse mode, and its answer read, so a program that takes no input fails here.
    if (!command("!"))
        return false;
    QList<QByteArray> stray;
    for (; !m_answers.empty(); m_answers.pop_front())
        if (!readAnswer(&stray, false))
            return false;
    return true;
}

void IspellProcess::fail(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    if (m_process) {
        keepErrorOutput();
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
    }
    // The program's own words say more than the system's.
    const QString own = QString::fromLocal8Bit(m_errorOutput).trimmed();
    m_errorText = own.isEmpty() ? reason : own;
}

void IspellProcess::keepErrorOutput()
{
    m_errorOutput += m_process->readAllStandardError();
    if (m_errorOutput.size() > ErrorOutputBytes)
        m_errorOutput = m_errorOutput.right(ErrorOutputBytes);
}

bool IspellProcess::readAnswer(QList<QByteArray> *lines, bool greeting)
{
    // The time-out counts from the last line: a long answer that keeps
    // coming is work, silence is a hang.
    QDeadlineTimer deadline(m_timeoutMs);
    qint64 bytes = 0;
    for (;;) {
        while (m_process->canReadLine()) {
            QByteArray line = m_process->readLine();
            bytes += line.size();
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            if (greeting) {
                lines->append(line);
                return true;
            }
            if (line.isEmpty()) {
                keepErrorOutput();
                return true;
            }
            if (bytes > MaximumAnswerBytes) {
                fail(QString());
                return false;
            }
            lines->append(line);
            deadline.setRemainingTime(m_timeoutMs);
        }
        if (m_process->state() != QProcess::Running) {
            fail(m_process->exitStatus() == QProcess::CrashExit ? m_process->errorString() : QString());
            return false;
        }
        if (deadline.hasExpired()) {
            fail(QProcess::tr("Process operation timed out"));
            return false;
        }
        if (!m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))
            && m_process->state() == QProcess::Running && deadline.hasExpired()) {
            fail(QProcess::tr("Process operation timed out"));
            return false;
        }
    }
}

bool IspellProcess::write(const QByteArray &bytes, bool wanted)
{
    if (m_failed || !m_process)
        return false;
    m_process->write(bytes);
    m_answers.push_back(wanted);
    m_wanted += wanted;
    // QProcess hands data to the pipe only from its event processing; this
    // sends it now, so the program starts on it while the caller goes on.
    while (m_process->bytesToWrite() > 0) {
        if (!m_process->waitForBytesWritten(m_timeoutMs)) {
            fail(m_process->state() == QProcess::Running ? QProcess::tr("Process operation timed out") : QString());
            return false;
        }
    }
    return true;
}

bool IspellProcess::post(const QByteArray &line)
{
    return write(line + '\n', true);
}

std::optional<QList<QByteArray>> IspellProcess::take()
{
    QList<QByteArray> lines;
    while (!m_failed && !m_answers.empty()) {
        const bool wanted = m_answers.front();
        lines.clear();
        if (!readAnswer(&lines, false))
            break;
        m_answers.pop_front();
        if (wanted) {
            --m_wanted;
            return lines;
        }
    }
    return std::nullopt;
}

std::optional<QList<QByteArray>> IspellProcess::request(const QByteArray &line)
{
    if (!post(line))
        return std::nullopt;
    return take();
}

bool IspellProcess::command(const QByteArray &line)
{
    return write(line + "\n^\n", false);
}
