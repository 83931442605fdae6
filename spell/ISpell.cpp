#include "spell/ISpell.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "spell/ISpellIni.h"
#include "spell/IspellProcess.h"

#include <QDir>
#include <QThread>

#include <algorithm>

// ispell's pipe mode: a line starting with "^" is text whatever follows, and
// the answer has one line per misspelled word ("& word count offset: a, b",
// "? …" for guesses, "# word offset" without any), offsets counting bytes of
// the line including the "^", then an empty line. In terse mode ("!")
// correct words get no line. "*word" adds to the personal dictionary, which
// ispell saves when its input ends; "@word" accepts for the session.

namespace {

bool isDelimiterCode(ushort u)
{
    switch (u) {
    case 32: case 60: case 62: case 33: case 46: case 44: case 59: case 58:
    case 47: case 92: case 124: case 34: case 91: case 93: case 123: case 125:
    case 40: case 41: case 43: case 95: case 61: case 96: case 126: case 64:
    case 38: case 36: case 37: case 94: case 42: case 63: case 35: case 45:
        return true;
    default:
        return false;
    }
}

// Control characters would end or bend the request line; tabs, NULs and line
// ends inside a word are blanks to ispell anyway.
QString withoutControls(QStringView word)
{
    QString out = word.toString();
    for (QChar &c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    return out;
}

// Runs longer than any dictionary word become blanks.
void blankLongRuns(QString &piece, int maximum)
{
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= piece.size(); ++i) {
        if (i < piece.size() && piece.at(i) != u' ')
            continue;
        if (i - runStart > maximum)
            std::fill(piece.begin() + runStart, piece.begin() + i, QChar(u' '));
        runStart = i + 1;
    }
}

// The offset field of an answer line: the last number before the ":".
int answerOffset(const QByteArray &line)
{
    const qsizetype colon = line.indexOf(':');
    const QList<QByteArray> fields = (colon < 0 ? line : line.left(colon)).simplified().split(' ');
    bool ok = false;
    const int offset = fields.size() >= 3 ? fields.last().toInt(&ok) : -1;
    return ok ? offset : -1;
}

bool reportsError(const QByteArray &line)
{
    return !line.isEmpty() && line.at(0) != '*' && line.at(0) != '+' && line.at(0) != '-';
}

} // namespace

bool TISpeller::isDelimiter(QChar c)
{
    return isDelimiterCode(c.unicode());
}

TISpeller::TISpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner,
                     const TISpellerSetup &setup)
    : TAbstractSpeller(language, options, owner), m_texts(setup.texts)
{
    setSpellerType(TSpellerType::sptISpell);
    setName(language != 0 ? GetLanguageName(language, setup.langOption) : setup.dictName);
    QString folder;
    if (!findDictionary(language, setup, &folder))
        return;
    if (language != 0) {
        const QString languageName = GetLanguageName(language, setup.langOption);
        if (!languageName.isEmpty())
            setName(languageName);
    }
    // The table carries the dictionary's character set, so words for a UTF-8
    // dictionary leave ConvertText as UTF-8 bytes.
    m_convTable.Name = m_charset;
    m_utf8Pipe = m_charset.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
    m_pipeCodePage = CodePageOfName(m_charset);
    m_bufferCodePage = LanguageCodePage(language);
    m_folder = folder;
    m_command = ISpellIni::expandCommand(m_cmd, folder);
    m_timeoutMs = setup.timeoutMs;
    // A second process pays only with a second core.
    m_maxWorkers = qBound(1, setup.processes, qMax(1, QThread::idealThreadCount()));
    Worker first;
    first.process = startProcess();
    if (!first.process)
        return;
    m_workers.push_back(std::move(first));
}

TISpeller::~TISpeller() = default;

void TISpeller::failWith(SpellerTexts::Text text, const QString &argument, const QString &reason)
{
    QString message = m_texts.text(text);
    message.replace(QLatin1String("%s"), argument);
    if (!reason.isEmpty())
        message += QLatin1String("\n\n") + reason;
    setFailed(message);
}

bool TISpeller::findDictionary(TLanguage language, const TISpellerSetup &setup, QString *folder)
{
    const QString wanted = language == 0 ? setup.dictName
                           : Name().isEmpty() ? QString::number(language) : Name();
    const std::optional<QString> installation =
        setup.registry ? ISpellIni::installationFolder(*setup.registry) : std::nullopt;
    if (!installation) {
        failWith(SpellerTexts::LanguageNotInstalled, wanted);
        return false;
    }
    const QList<ISpellIni::Entry> entries = ISpellIni::scan(*installation);
    for (const ISpellIni::Entry &e : entries) {
        if (language != 0 ? e.langNo != language : e.name != setup.dictName)
            continue;
        setName(e.name);
        m_cmd = e.cmd;
        m_charset = e.charset;
        m_surrogate = e.surrogate;
        m_flag = e.flag;
        *folder = installation->isEmpty() ? QDir::currentPath() + u'/' : *installation;
        return true;
    }
    failWith(SpellerTexts::LanguageNotInstalled, wanted);
    return false;
}

std::unique_ptr<IspellProcess> TISpeller::startProcess()
{
    IspellProcess::Options options;
    options.command = m_command;
    options.workingDirectory = m_folder;
    options.home = m_folder; // the personal dictionaries live with the installation
    options.timeoutMs = m_timeoutMs;
    auto process = std::make_unique<IspellProcess>();
    if (!process->start(options)) {
        if (m_workers.empty())
            failWith(SpellerTexts::ErrorLoadingSpeller, m_command.trimmed().isEmpty() ? Name() : m_command,
                     process->errorText());
        return nullptr;
    }
    // A process started later learns what the user added and skipped so far.
    for (const QByteArray &line : std::as_const(m_sessionWords))
        process->command(line);
    return process;
}

QByteArray TISpeller::toProcess(const QString &text) const
{
    const QString converted = ConvertText(text, m_convTable);
    return m_utf8Pipe ? converted.toLatin1() : CodePages::fromUnicode(m_pipeCodePage, converted);
}

QString TISpeller::fromProcess(const QByteArray &bytes) const
{
    return m_utf8Pipe ? QString::fromUtf8(bytes) : CodePages::toUnicode(m_pipeCodePage, bytes);
}

void TISpeller::renewAnswers()
{
    // The texts stay announced and are asked about again; answers still
    // owed from before arrive for no segment (new ids) and are dropped.
    for (Segment &segment : m_segments) {
        segment.id = m_nextSegmentId++;
        for (Word &word : segment.words)
            word.answer.clear();
        for (Chunk &chunk : segment.chunks) {
            chunk.worker = -1;
            chunk.answered = false;
        }
    }
}

void TISpeller::forgetAnswers()
{
    // Answers still owed arrive for no segment and are dropped.
    m_segments.clear();
    m_hasCurrent = false;
}

TISpeller::Segment TISpeller::makeSegment(const QString &text)
{
    Segment segment;
    segment.id = m_nextSegmentId++;
    segment.text = text;
    for (qsizetype i = 0; i < text.size();) {
        while (i < text.size() && isDelimiter(text.at(i)))
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !isDelimiter(text.at(i)))
            ++i;
        if (i > start)
            segment.words.append({int(start), int(i - start), {}});
    }
    // As many words as fit one request line each, so a step in a long
    // paragraph waits for one line's answer, never for the whole paragraph.
    for (int first = 0; first < segment.words.size();) {
        int end = first;
        int bytes = 0;
        while (end < segment.words.size() && (end == first || bytes < MaximumRequestBytes))
            bytes += segment.words.at(end++).length * (m_utf8Pipe ? 3 : 2) + 1;
        segment.chunks.append({first, end, bytes});
        first = end;
    }
    return segment;
}

TISpeller::Segment *TISpeller::segmentById(quint64 id)
{
    for (Segment &segment : m_segments)
        if (segment.id == id)
            return &segment;
    return nullptr;
}

int TISpeller::leastBusyWorker() const
{
    int best = 0;
    for (int w = 1; w < int(m_workers.size()); ++w)
        if (m_workers[w].owed.size() < m_workers[best].owed.size())
            best = w;
    return best;
}

bool TISpeller::askFrom(size_t first, int firstChunk, int worker)
{
    // Words joined by single blanks after "^ "; starts[i] is the byte offset
    // ispell reports for the beginning of word i of the line. Short segments
    // (text between tags) share a line: a line each would cost a round trip each.
    QByteArray line = "^ ";
    Owed owed;
    int bytes = 0;
    bool full = false;
    for (size_t si = first; si < m_segments.size() && !full; ++si) {
        Segment &segment = m_segments[si];
        for (int ci = si == first ? firstChunk : 0; ci < segment.chunks.size(); ++ci) {
            Chunk &c = segment.chunks[ci];
            if (c.worker >= 0)
                continue;
            full = bytes > 0 && bytes + c.bytes > MaximumRequestBytes;
            if (full)
                break;
            owed.parts.append({segment.id, ci, int(owed.starts.size())});
            for (int w = c.firstWord; w < c.endWord; ++w) {
                const Word &word = segment.words.at(w);
                QString piece = ConvertText(withoutControls(QStringView(segment.text).mid(word.start, word.length)),
                                            m_convTable);
                blankLongRuns(piece, MaximumWordBytes);
                owed.starts.append(int(line.size()));
                line += m_utf8Pipe ? piece.toLatin1() : CodePages::fromUnicode(m_pipeCodePage, piece);
                line += ' ';
            }
            c.worker = worker;
            bytes += c.bytes;
        }
    }
    Worker &w = m_workers[worker];
    if (!w.process->post(line)) {
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command, w.process->errorText());
        forgetAnswers();
        return false;
    }
    w.owed.push_back(std::move(owed));
    return true;
}

bool TISpeller::dispatch()
{
    // Two lines a process: one it works on, one waiting, and little for a step to wait behind.
    constexpr size_t Room = 2;
    size_t si = 0;
    int ci = 0;
    for (;;) {
        const int best = leastBusyWorker();
        if (m_workers[best].owed.size() >= Room)
            return true;
        for (; si < m_segments.size(); ++si, ci = 0) {
            const QList<Chunk> &chunks = m_segments[si].chunks;
            while (ci < chunks.size() && chunks.at(ci).worker >= 0)
                ++ci;
            if (ci < chunks.size())
                break;
        }
        if (si >= m_segments.size())
            return true;
        // Look-ahead waits until a line is worth sending; a chunk needed now does not.
        int waiting = 0;
        for (size_t sj = si; sj < m_segments.size() && waiting < MaximumRequestBytes / 2; ++sj)
            for (const Chunk &c : m_segments[sj].chunks)
                waiting += c.worker < 0 ? c.bytes : 0;
        if (waiting < MaximumRequestBytes / 2)
            return true;
        if (!askFrom(si, ci, best))
            return false;
    }
}

bool TISpeller::takeAnswer(int worker)
{
    Worker &w = m_workers[worker];
    const std::optional<QList<QByteArray>> answer = w.process->take();
    if (!answer) {
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command, w.process->errorText());
        forgetAnswers();
        return false;
    }
    const Owed owed = std::move(w.owed.front());
    w.owed.pop_front();
    for (const QByteArray &a : *answer) {
        if (!reportsError(a))
            continue;
        const int offset = answerOffset(a);
        const auto it = std::upper_bound(owed.starts.cbegin(), owed.starts.cend(), offset);
        if (offset < 0 || it == owed.starts.cbegin())
            continue;
        const int index = int(it - owed.starts.cbegin()) - 1;
        const auto part = std::upper_bound(owed.parts.cbegin(), owed.parts.cend(), index,
                                           [](int i, const Owed::Part &p) { return i < p.firstStart; }) - 1;
        Segment *segment = segmentById(part->segment);
        if (!segment)
            continue;
        Word &word = segment->words[segment->chunks.at(part->chunk).firstWord + index - part->firstStart];
        if (word.answer.isEmpty())
            word.answer = a;
    }
    for (const Owed::Part &part : owed.parts)
        if (Segment *segment = segmentById(part.segment))
            segment->chunks[part.chunk].answered = true;
    return true;
}

bool TISpeller::awaitChunk(quint64 segmentId, int chunk)
{
    for (;;) {
        Segment *segment = segmentById(segmentId);
        if (!segment)
            return false;
        const Chunk &c = segment->chunks.at(chunk);
        if (c.answered)
            return true;
        if (c.worker < 0) {
            // Needed now: asked at once, whatever the look-ahead holds.
            size_t index = 0;
            while (m_segments[index].id != segmentId)
                ++index;
            if (!askFrom(index, chunk, leastBusyWorker()))
                return false;
            continue;
        }
        // Keep the other processes busy while this one answers.
        const int worker = c.worker;
        if (!dispatch() || !takeAnswer(worker))
            return false;
    }
}

bool TISpeller::sendToAll(const QByteArray &line)
{
    m_sessionWords.append(line);
    for (Worker &w : m_workers) {
        if (!w.process->command(line)) {
            failWith(SpellerTexts::ErrorLoadingSpeller, m_command, w.process->errorText());
            forgetAnswers();
            return false;
        }
    }
    return true;
}

TSpellReturnCode TISpeller::check(const QByteArray &buffer, int &errPos, int &errLen)
{
    m_changeWord.clear();
    if (Failed())
        return TSpellReturnCode::srNoErrors;
    const QString text = CodePages::toUnicode(m_bufferCodePage, buffer);
    if (text.isEmpty())
        return TSpellReturnCode::srNoErrors;

    // The driver hands over the rest of the text after each error: answers
    // for a tail of the current text still hold, unless it starts inside a
    // word. Otherwise the text may have been announced; those before it are passed.
    auto byStart = [](const Word &w, int pos) { return w.start < pos; };
    int offset = -1;
    if (m_hasCurrent) {
        const Segment &current = m_segments.front();
        if (current.text.size() >= text.size() && current.text.endsWith(text)) {
            offset = int(current.text.size() - text.size());
            const auto it = std::lower_bound(current.words.cbegin(), current.words.cend(), offset, byStart);
            if (it != current.words.cbegin() && (it - 1)->start + (it - 1)->length > offset)
                offset = -1;
        }
    }
    if (offset < 0) {
        offset = 0;
        const auto announced = std::find_if(m_segments.begin(), m_segments.end(),
                                            [&](const Segment &s) { return s.text == text; });
        if (announced != m_segments.end()) {
            m_segments.erase(m_segments.begin(), announced);
        } else {
            // The driver has left the current text: nothing more is asked about it.
            if (m_hasCurrent)
                m_segments.pop_front();
            m_segments.push_front(makeSegment(text));
        }
        m_hasCurrent = true;
    }

    const TSpellOptions options = Options();
    const quint64 id = m_segments.front().id;
    {
        const Segment &segment = m_segments.front();
        const auto it = std::lower_bound(segment.words.cbegin(), segment.words.cend(), offset, byStart);
        const int firstWord = int(it - segment.words.cbegin());
        int chunk = 0;
        while (chunk < segment.chunks.size() && segment.chunks.at(chunk).endWord <= firstWord)
            ++chunk;
        for (int w = firstWord; w < segment.words.size(); ++w) {
            while (segment.chunks.at(chunk).endWord <= w)
                ++chunk;
            if (!segment.chunks.at(chunk).answered && !awaitChunk(id, chunk))
                return TSpellReturnCode::srNoErrors;
            const Word &word = segment.words.at(w);
            if (word.answer.isEmpty())
                continue;
            const QString wordText = segment.text.mid(word.start, word.length);
            if ((options & spoIgnoreAllCaps) && wordText.toUpper() == wordText)
                continue;
            if ((options & spoIgnoreMixedDigits) && std::any_of(wordText.cbegin(), wordText.cend(), [](QChar c) {
                    return c >= u'0' && c <= u'9';
                }))
                continue;
            errPos = word.start - offset;
            errLen = word.length;
            m_errorWord = wordText;
            m_lastAnswer = word.answer;
            for (qsizetype i = 0; i + 1 < m_changeAlways.size(); i += 2) {
                if (m_changeAlways.at(i) == wordText) {
                    m_changeWord = m_changeAlways.at(i + 1);
                    return TSpellReturnCode::srReturningChangeAlways;
                }
            }
            return TSpellReturnCode::srUnknownInputWord;
        }
    }
    return TSpellReturnCode::srNoErrors;
}

void TISpeller::CheckAhead(const QByteArray &buffer)
{
    if (Failed())
        return;
    const QString text = CodePages::toUnicode(m_bufferCodePage, buffer);
    if (text.isEmpty())
        return;
    // Announcements that are never checked (the user edited) must not pile up.
    constexpr size_t MaximumAhead = 1024;
    while (m_segments.size() >= MaximumAhead)
        m_segments.pop_back();
    m_segments.push_back(makeSegment(text));
    if (int(m_workers.size()) < m_maxWorkers) {
        Worker more;
        more.process = startProcess();
        if (more.process)
            m_workers.push_back(std::move(more));
        else
            m_maxWorkers = int(m_workers.size()); // one process it is
    }
    dispatch();
}

TSpellReturnCode TISpeller::CheckBuffer(const QByteArray &buffer, int &errPos, int &errLen)
{
    return check(buffer, errPos, errLen);
}

TSpellReturnCode TISpeller::CheckBufferContinued(const QByteArray &buffer, int &errPos, int &errLen)
{
    return check(buffer, errPos, errLen);
}

void TISpeller::ChangeOnce(const QString &, const QString &)
{
}

void TISpeller::ChangeAlways(const QString &oldWord, const QString &newWord)
{
    m_changeAlways << oldWord << newWord;
}

void TISpeller::AddWord(const QString &word)
{
    if (Failed())
        return;
    QByteArray line = toProcess(withoutControls(word).trimmed());
    if (line.isEmpty() || line.contains(' '))
        return;
    // Kept answers may call the word wrong.
    renewAnswers();
    if (sendToAll('*' + line))
        dispatch();
}

void TISpeller::IgnoreAlways(const QString &word)
{
    if (Failed())
        return;
    QByteArray line = toProcess(withoutControls(word).trimmed());
    if (line.isEmpty() || line.contains(' '))
        return;
    renewAnswers();
    if (sendToAll('@' + line))
        dispatch();
}

void TISpeller::GetSuggestions(const QString &, QStringList &list)
{
    m_changeWord.clear();
    list.clear();
    if (Failed() || !(m_lastAnswer.startsWith('&') || m_lastAnswer.startsWith('?')))
        return;
    const qsizetype colon = m_lastAnswer.indexOf(':');
    if (colon < 0)
        return;
    for (const QByteArray &s : m_lastAnswer.mid(colon + 1).split(',')) {
        const QByteArray suggestion = s.trimmed();
        if (!suggestion.isEmpty())
            list << fromProcess(suggestion);
    }
}

int ListISpellLanguages(TSpellList &list, TLangOption option, const Registry &registry)
{
    // Without the registry value the current folder is searched.
    const QString folder = ISpellIni::installationFolder(registry).value_or(QString());
    for (const ISpellIni::Entry &e : ISpellIni::scan(folder)) {
        TSpellListItem item;
        item.obj.Cmd = e.cmd;
        item.obj.Charset = e.charset;
        item.obj.Surrogate = e.surrogate;
        item.obj.Flag = e.flag;
        item.obj.LangNo = e.langNo;
        item.obj.SpellerType = 1;
        item.text = e.name;
        if (e.langNo != 0) {
            const QString name = GetLanguageName(e.langNo, option);
            if (!name.isEmpty())
                item.text = name;
        }
        list.append(item);
    }
    return int(list.size());
}
