#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <memory>
#include <optional>

class QProcess;

// One ispell program in pipe mode, spoken to line by line on the calling
// thread. Every answer ends with an empty line; each is read to that line,
// however long, while its lines keep coming within the time-out. Lines may
// be sent ahead of reading their answers (post, then take in the same
// order), so the program works while the caller does something else. A
// program that cannot start, sends no greeting, dies or stops answering
// leaves the process failed: it is stopped and every later call fails.
class IspellProcess
{
public:
    struct Options {
        QString command;          // program and arguments, quoted as a shell would
        QString workingDirectory;
        QString home;             // HOME of the child only (its personal dictionaries)
        int timeoutMs = 5000;     // for the greeting and between the lines of an answer
    };

    IspellProcess();
    // Ends the input so ispell saves its personal dictionary, then stops it.
    ~IspellProcess();
    IspellProcess(const IspellProcess &) = delete;
    IspellProcess &operator=(const IspellProcess &) = delete;

    // Starts the program, reads its greeting and switches to terse mode, in
    // which correct words get no answer line.
    bool start(const Options &options);
    // Writes one line (without its line end) whose answer take() reads later.
    bool post(const QByteArray &line);
    // The answer to the oldest posted line not taken yet: its lines up to the
    // empty one that ends it. Answers of commands in between are passed over.
    std::optional<QList<QByteArray>> take();
    // post, then take: nothing may be pending.
    std::optional<QList<QByteArray>> request(const QByteArray &line);
    // A line that has no answer of its own ("*word", "@word"); an empty text
    // line after it keeps the two sides in step. Its answer is not waited for.
    bool command(const QByteArray &line);
    // Lines posted whose answers have not been taken.
    int pending() const { return m_wanted; }

    bool hasFailed() const { return m_failed; }
    // Why it failed, in the words of the program's error output or of the
    // system; may be empty.
    QString errorText() const { return m_errorText; }

    // Answers larger than this are taken for a runaway program.
    static constexpr qint64 MaximumAnswerBytes = 64 * 1024 * 1024;

private:
    bool readAnswer(QList<QByteArray> *lines, bool greeting);
    bool write(const QByteArray &bytes, bool wanted);
    void fail(const QString &reason);
    void keepErrorOutput();

    std::unique_ptr<QProcess> m_process;
    QByteArray m_errorOutput; // the end of the program's error output
    QString m_errorText;
    int m_timeoutMs = 5000;
    bool m_failed = false;
    std::deque<bool> m_answers; // for each line sent and not yet read: is its answer wanted
    int m_wanted = 0;
};
