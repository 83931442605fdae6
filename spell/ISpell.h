#pragma once

#include "spell/AbstractSpeller.h"
#include "spell/ConvTable.h"
#include "spell/Langs.h"
#include "spell/SpellListObj.h"
#include "spell/SpellerTexts.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

class IspellProcess;
class Registry;

// What an ispell speller needs of its driver and of the program.
struct TISpellerSetup {
    const Registry *registry = nullptr; // names the installation folder
    QString dictName;                   // the selected dictionary, for language 0
    TLangOption langOption = TLangOption::loLocalized;
    SpellerTexts texts;                 // for the failure message
    int timeoutMs = 5000;               // for the greeting and each answer line
    // Processes that check ahead of the driver, the first one included (no
    // more than the machine has cores); a second one is started on the
    // first look-ahead and runs on its own core.
    int processes = 2;
};

// The speller of one ispell dictionary: an ispell process in pipe mode,
// started for the first section of the installation that matches the
// language (or, for language 0, the dictionary name), kept for the
// speller's life. A buffer is checked with one request for all its words;
// the answers are kept, so the following calls for the rest of the same
// text (one error each) ask nothing. Buffers announced with CheckAhead are
// asked about before they are checked, spread over a second process, so
// both work while the driver shows an error; answers are kept by the exact
// text. When a process cannot start, dies or stops answering the speller is
// Failed with a message for the user.
class TISpeller : public TAbstractSpeller
{
public:
    TISpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner, const TISpellerSetup &setup);
    ~TISpeller() override;

    TSpellReturnCode CheckBuffer(const QByteArray &buffer, int &errPos, int &errLen) override;
    TSpellReturnCode CheckBufferContinued(const QByteArray &buffer, int &errPos, int &errLen) override;
    void CheckAhead(const QByteArray &buffer) override;
    void ChangeOnce(const QString &oldWord, const QString &newWord) override;
    void ChangeAlways(const QString &oldWord, const QString &newWord) override;
    void AddWord(const QString &word) override;
    void IgnoreAlways(const QString &word) override;
    void GetSuggestions(const QString &word, QStringList &list) override;
    QString GetChangeWord() const override { return m_changeWord; }
    QString GetErrorWord() const override { return m_errorWord; }

    QString Cmd() const { return m_cmd; }
    QString Charset() const { return m_charset; }
    QString Surrogate() const { return m_surrogate; }
    QString Flag() const { return m_flag; }

    // The same text as the 32 characters that separate words.
    static bool isDelimiter(QChar c);
    // A run of word characters longer than this is no word of any
    // dictionary; it passes unchecked (ispell would cut it up).
    static constexpr int MaximumWordBytes = 100;
    // Requests are cut at word ends to stay below this many bytes.
    static constexpr int MaximumRequestBytes = 2000;

private:
    struct Word {
        int start;
        int length;
        QByteArray answer; // the first answer line about it; empty: correct
    };
    // Words of one request line.
    struct Chunk {
        int firstWord;
        int endWord;
        int bytes; // about as many in a request line
        int worker = -1; // that asked about it; -1: not asked yet
        bool answered = false;
    };
    // A text checked or to be checked, its words and the answers so far.
    struct Segment {
        quint64 id;
        QString text;
        QList<Word> words;
        QList<Chunk> chunks;
    };
    // An answer a process owes: to which chunks (short segments share a
    // line), and where their words start in the line.
    struct Owed {
        struct Part {
            quint64 segment;
            int chunk;
            int firstStart; // index of the chunk's first word in starts
        };
        QList<Part> parts;
        QList<int> starts;
    };
    struct Worker {
        std::unique_ptr<IspellProcess> process;
        std::deque<Owed> owed;
    };

    TSpellReturnCode check(const QByteArray &buffer, int &errPos, int &errLen);
    bool findDictionary(TLanguage language, const TISpellerSetup &setup, QString *folder);
    std::unique_ptr<IspellProcess> startProcess();
    void failWith(SpellerTexts::Text text, const QString &argument, const QString &reason = QString());
    Segment makeSegment(const QString &text);
    Segment *segmentById(quint64 id);
    // Sends waiting chunks, in check order, while the processes have room.
    bool dispatch();
    // Asks one process about the chunk and the waiting ones after it, one line's worth.
    bool askFrom(size_t segment, int chunk, int worker);
    int leastBusyWorker() const;
    // Reads answers until the chunk's has come.
    bool awaitChunk(quint64 segment, int chunk);
    bool takeAnswer(int worker);
    bool sendToAll(const QByteArray &line);
    QByteArray toProcess(const QString &text) const;
    QString fromProcess(const QByteArray &bytes) const;
    void forgetAnswers();
    void renewAnswers();

    QString m_cmd;
    QString m_charset;
    QString m_surrogate;
    QString m_flag;
    QString m_command; // m_cmd with the installation folder put in
    QString m_folder;
    int m_timeoutMs = 5000;
    int m_maxWorkers = 1;
    SpellerTexts m_texts;
    std::vector<Worker> m_workers;
    QList<QByteArray> m_sessionWords; // "*word" and "@word" sent, for a process started later
    bool m_utf8Pipe = false;
    int m_pipeCodePage = 0;
    int m_bufferCodePage = 0;
    QByteArray m_lastAnswer;
    QString m_changeWord;
    QString m_errorWord;
    QStringList m_changeAlways; // old word at even indexes, its replacement after it
    TConvTable m_convTable;

    // The text being checked first, then those announced, in check order.
    std::deque<Segment> m_segments;
    bool m_hasCurrent = false; // the first segment is the one last checked
    quint64 m_nextSegmentId = 1;
};

// Fills list with one line per dictionary of the installation (section order
// as TISpeller searches them), the language name standing for the section
// name when the section has a language; answers the number of lines.
int ListISpellLanguages(TSpellList &list, TLangOption option, const Registry &registry);
