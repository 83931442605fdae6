#include "spell/ISpell.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "spell/ISpellIni.h"
#include "spell/IspellProcess.h"

#include <QDir>

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
    startProcess(folder, setup);
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

void TISpeller::startProcess(const QString &folder, const TISpellerSetup &setup)
{
    IspellProcess::Options options;
    options.command = m_command = ISpellIni::expandCommand(m_cmd, folder);
    options.workingDirectory = folder;
    options.home = folder; // the personal dictionaries live with the installation
    options.timeoutMs = setup.timeoutMs;
    m_process = std::make_unique<IspellProcess>();
    if (!m_process->start(options))
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command.trimmed().isEmpty() ? Name() : m_command,
                 m_process->errorText());
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

void TISpeller::forgetAnswers()
{
    m_hasText = false;
    m_text.clear();
    m_words.clear();
    m_answered = 0;
}

void TISpeller::splitWords(const QString &text)
{
    forgetAnswers();
    m_text = text;
    for (qsizetype i = 0; i < text.size();) {
        while (i < text.size() && isDelimiter(text.at(i)))
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !isDelimiter(text.at(i)))
            ++i;
        if (i > start)
            m_words.append({int(start), int(i - start), {}});
    }
    m_hasText = true;
}

bool TISpeller::askFrom(int firstWord)
{
    // As many words as fit one request line; later ones are asked about
    // only when the check gets there, so one step never waits for a whole
    // long paragraph.
    int end = firstWord;
    int bytes = 0;
    while (end < m_words.size() && (end == firstWord || bytes < MaximumRequestBytes))
        bytes += m_words.at(end++).length * (m_utf8Pipe ? 3 : 2) + 1;
    if (!askChunk(m_text, firstWord, end))
        return false;
    m_answered = end;
    return true;
}

bool TISpeller::askChunk(const QString &text, int firstWord, int endWord)
{
    // Words joined by single blanks after "^ "; starts[i] is the byte offset
    // ispell reports for the beginning of word firstWord + i.
    QByteArray line = "^ ";
    QList<int> starts;
    starts.reserve(endWord - firstWord);
    for (int w = firstWord; w < endWord; ++w) {
        const Word &word = m_words.at(w);
        QString piece = ConvertText(withoutControls(QStringView(text).mid(word.start, word.length)), m_convTable);
        blankLongRuns(piece, MaximumWordBytes);
        starts.append(int(line.size()));
        line += m_utf8Pipe ? piece.toLatin1() : CodePages::fromUnicode(m_pipeCodePage, piece);
        line += ' ';
    }
    const std::optional<QList<QByteArray>> answer = m_process->request(line);
    if (!answer) {
        forgetAnswers();
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command,
                 m_process->errorText());
        return false;
    }
    for (const QByteArray &a : *answer) {
        if (!reportsError(a))
            continue;
        const int offset = answerOffset(a);
        const auto it = std::upper_bound(starts.cbegin(), starts.cend(), offset);
        if (offset < 0 || it == starts.cbegin())
            continue;
        Word &word = m_words[firstWord + int(it - starts.cbegin()) - 1];
        if (word.answer.isEmpty())
            word.answer = a;
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
    // for a tail of the last text still hold, unless it starts inside a word.
    auto byStart = [](const Word &w, int pos) { return w.start < pos; };
    int offset = 0;
    bool cached = m_hasText && m_text.size() >= text.size() && m_text.endsWith(text);
    if (cached) {
        offset = int(m_text.size() - text.size());
        const auto it = std::lower_bound(m_words.cbegin(), m_words.cend(), offset, byStart);
        if (it != m_words.cbegin() && (it - 1)->start + (it - 1)->length > offset)
            cached = false;
    }
    if (!cached) {
        offset = 0;
        splitWords(text);
    }

    const TSpellOptions options = Options();
    auto it = std::lower_bound(m_words.cbegin(), m_words.cend(), offset, byStart);
    for (int w = int(it - m_words.cbegin()); w < m_words.size(); ++w) {
        if (w >= m_answered && !askFrom(w))
            return TSpellReturnCode::srNoErrors;
        const Word &word = m_words.at(w);
        if (word.answer.isEmpty())
            continue;
        const QString wordText = m_text.mid(word.start, word.length);
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
    return TSpellReturnCode::srNoErrors;
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
    // Kept answers may call the word wrong.
    forgetAnswers();
    QByteArray line = toProcess(withoutControls(word).trimmed());
    if (line.isEmpty() || line.contains(' '))
        return;
    if (!m_process->command('*' + line))
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command,
                 m_process->errorText());
}

void TISpeller::IgnoreAlways(const QString &word)
{
    if (Failed())
        return;
    forgetAnswers();
    QByteArray line = toProcess(withoutControls(word).trimmed());
    if (line.isEmpty() || line.contains(' '))
        return;
    if (!m_process->command('@' + line))
        failWith(SpellerTexts::ErrorLoadingSpeller, m_command,
                 m_process->errorText());
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
