#include "spell/Spellers.h"

#include "document/DocumentCore.h"
#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "platform/UserInteraction.h"
#include "spell/CSAPISpeller.h"
#include "spell/ConvTable.h"
#include "spell/ISpell.h"
#include "spell/OfficeLanguages.h"

#include <QLocale>

namespace {

SpellerTexts &globalTexts()
{
    static SpellerTexts texts;
    return texts;
}

// The document's paragraph end as our text copy holds it.
constexpr QChar ParagraphEnd = u'\n';

// A "<" opens a tag only before a name, "/", "!", "?" or "%"; a bare one
// ("1 < 2") is text, or it would hide the whole rest of the document.
bool isTagStart(const QString &text, int p, int end)
{
    if (p >= end || text.at(p) != u'<')
        return false;
    if (p + 1 >= end)
        return true;
    const QChar next = text.at(p + 1);
    return next.isLetter() || next == u'/' || next == u'!' || next == u'?' || next == u'%';
}

int nextTagStart(const QString &text, int from, int end)
{
    for (int p = text.indexOf(u'<', from); p >= 0 && p < end; p = text.indexOf(u'<', p + 1))
        if (isTagStart(text, p, end))
            return p;
    return -1;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'\'' || c == u'_' || c.isMark();
}

} // namespace

TSpellChecker::TSpellChecker(Registry *registry, UserInteraction *ui, QObject *parent)
    : QObject(parent), m_registry(registry), m_ui(ui)
{
    Language = TLanguage(QLocale::system().language() == QLocale::German ? 1031 : 1033);
}

TSpellChecker::~TSpellChecker()
{
    if (m_dialog)
        m_dialog->closeDialog();
    // In reverse order of creation.
    while (!m_spellers.empty())
        m_spellers.pop_back();
}

const SpellerTexts &TSpellChecker::Texts()
{
    return globalTexts();
}

void TSpellChecker::setUserLanguage(TUserLanguage language, const SpellerTexts &otherTexts)
{
    m_userLanguage = language;
    globalTexts() = SpellerTexts::forUserLanguage(language, otherTexts);
}

void TSpellChecker::dialogDestroyed(TSpellDialogView *dialog)
{
    if (m_dialog == dialog)
        m_dialog = nullptr;
}

void TSpellChecker::Check(DocumentCore *control)
{
    if (!Active || !control || control->TextLength() == 0)
        return;
    m_control = control;
    if (!m_dialog && m_dialogFactory)
        m_dialog = m_dialogFactory(this);
    runStep([this] {
        PrepareCheck();
        ContinueCheck();
    });
}

void TSpellChecker::PrepareCheck()
{
    m_cancelled = false;
    m_checking = true;
    copyContent();
    m_rangeStart = m_control->SelStart();
    m_rangeEnd = m_control->SelLength() > 0 ? m_rangeStart + m_control->SelLength() : int(m_text.size());
    m_rangeStart = wordStart(m_text, m_rangeStart);
    if (HTMLSupport) {
        // A caret inside a tag starts the check after it.
        const int size = int(m_text.size());
        for (int p = nextTagStart(m_text, 0, size); p >= 0 && p <= m_rangeStart; p = nextTagStart(m_text, p, size)) {
            const int end = p + TagLength(m_text, p, m_text.size());
            if (end > m_rangeStart) {
                m_rangeStart = qMin(end, m_rangeEnd);
                break;
            }
            p = end;
        }
    }
    m_errorPos = m_rangeStart;
    m_errorLen = 0;
    m_nextParagraphEnd = m_nextTagStart = m_nextLanguageChange = 0;
    m_atParagraphStart = true;
    m_aheadTo = 0;
}

void TSpellChecker::copyContent()
{
    // The work copy takes the probing, so the visible editor only moves to show an error.
    m_workCopy = std::make_unique<DocumentCore>();
    m_workCopy->setNeverShown();
    const bool rich = !m_control->isPlainText();
    m_workCopy->setPlainTextMode(!rich);
    m_workCopy->setLoading(true);
    m_text = m_control->Text();
    m_revision = m_control->document()->revision();
    if (rich)
        m_workCopy->loadRtf(m_control->streamOut(true, {}));
    // A copy that does not match position for position would misplace every error.
    if (!rich || m_workCopy->TextLength() != m_text.size())
        m_workCopy->document()->setPlainText(m_text);
}

int TSpellChecker::wordStart(const QString &text, int position)
{
    position = qBound(0, position, int(text.size()));
    while (position > 0 && isWordChar(text.at(position - 1)))
        --position;
    return position;
}

int TSpellChecker::TagLength(const QString &text, int p, int end)
{
    end = qMin(end, int(text.size()));
    if (p >= end || text.at(p) != u'<')
        return 0;
    // Nesting is followed iteratively so a long run of "<" cannot exhaust the stack.
    struct Frame { int start; QString terminator; };
    auto kindAt = [&](int at) -> Frame {
        const QStringView rest = QStringView(text).mid(at, end - at);
        if (rest.startsWith(u"<!--"))
            return {at, QStringLiteral("-->")};
        if (rest.startsWith(u"<%"))
            return {at, QStringLiteral("%>")};
        return {at, QStringLiteral(">")};
    };
    std::vector<Frame> stack{kindAt(p)};
    int q = p + (stack.back().terminator == QLatin1String("-->") ? 4 : stack.back().terminator.size() == 2 ? 2 : 1);
    while (!stack.empty()) {
        const Frame &top = stack.back();
        const int stop = text.indexOf(top.terminator, q);
        const int terminatorAt = (stop < 0 || stop + top.terminator.size() > end) ? -1 : stop;
        const bool nests = top.terminator != QLatin1String("%>");
        const int nested = nests ? nextTagStart(text, q, end) : -1;
        if (nested >= 0 && nested < end && (terminatorAt < 0 || nested < terminatorAt)) {
            stack.push_back(kindAt(nested));
            const QString &t = stack.back().terminator;
            q = nested + (t == QLatin1String("-->") ? 4 : t.size() == 2 ? 2 : 1);
            continue;
        }
        if (terminatorAt < 0)
            return end - p;
        q = terminatorAt + top.terminator.size();
        stack.pop_back();
    }
    return q - p;
}

bool TSpellChecker::FindSegment(int from, int *segStart, int *segEnd)
{
    int p = from;
    while (p < m_rangeEnd) {
        const QChar c = m_text.at(p);
        if (HTMLSupport && c == u'<' && isTagStart(m_text, p, m_rangeEnd))
            p += TagLength(m_text, p, m_rangeEnd) - 1;
        else if (c == ParagraphEnd)
            m_atParagraphStart = true;
        else if (c != u'\r' && c != u'\v' && c != QChar::LineSeparator)
            break;
        ++p;
    }
    if (p >= m_rangeEnd) {
        *segStart = *segEnd = m_rangeEnd;
        return false;
    }
    if (p >= m_nextParagraphEnd) {
        const int found = m_text.indexOf(ParagraphEnd, p);
        m_nextParagraphEnd = (found < 0 || found > m_rangeEnd) ? m_rangeEnd : found;
    }
    if (!HTMLSupport) {
        m_nextTagStart = m_rangeEnd;
    } else if (p >= m_nextTagStart) {
        const int found = nextTagStart(m_text, p, m_rangeEnd);
        m_nextTagStart = (found < 0 || found > m_rangeEnd) ? m_rangeEnd : found;
    }
    // This editor's text carries no language of its own.
    m_nextLanguageChange = m_rangeEnd;
    *segStart = p;
    *segEnd = qMin(m_nextParagraphEnd, qMin(m_nextTagStart, m_nextLanguageChange));
    m_atParagraphStart = p == 0 || m_text.at(p - 1) == ParagraphEnd;
    return true;
}

bool TSpellChecker::peekSegment(int from, int *segStart, int *segEnd) const
{
    // FindSegment without its caches and flags.
    int p = from;
    while (p < m_rangeEnd) {
        const QChar c = m_text.at(p);
        if (HTMLSupport && c == u'<' && isTagStart(m_text, p, m_rangeEnd))
            p += TagLength(m_text, p, m_rangeEnd) - 1;
        else if (c != ParagraphEnd && c != u'\r' && c != u'\v' && c != QChar::LineSeparator)
            break;
        ++p;
    }
    if (p >= m_rangeEnd)
        return false;
    int end = int(m_text.indexOf(ParagraphEnd, p));
    if (end < 0 || end > m_rangeEnd)
        end = m_rangeEnd;
    if (HTMLSupport) {
        const QStringView paragraph = QStringView(m_text).left(end);
        for (qsizetype t = paragraph.indexOf(u'<', p); t >= 0; t = paragraph.indexOf(u'<', t + 1)) {
            if (isTagStart(m_text, int(t), m_rangeEnd)) {
                end = int(t);
                break;
            }
        }
    }
    *segStart = p;
    *segEnd = end;
    return true;
}

void TSpellChecker::checkAhead(int from)
{
    // The speller may work on the next segments while the user looks at an
    // error; each is announced once, a few thousand characters ahead.
    constexpr int AheadSegments = 16;
    constexpr int AheadCharacters = 6144;
    const int codePage = LanguageCodePage(m_speller->Language());
    int p = qMax(from, m_aheadTo);
    for (int n = 0; n < AheadSegments && p - from < AheadCharacters; ++n) {
        int s = 0;
        int e = 0;
        if (!peekSegment(p, &s, &e))
            break;
        m_speller->CheckAhead(segmentBytes(s, e, codePage));
        p = e;
    }
    m_aheadTo = qMax(m_aheadTo, p);
}

QByteArray TSpellChecker::segmentBytes(int start, int end, int codePage) const
{
    // Exactly one byte per character, so speller positions are text positions.
    QString piece = m_text.mid(start, end - start);
    for (QChar &c : piece) {
        if (c.isSurrogate() || c == QChar::LineSeparator || c == QChar::ObjectReplacementCharacter
            || c == QChar::Null)
            c = u' ';
    }
    QByteArray bytes = CodePages::fromUnicode(codePage, piece);
    if (bytes.size() != piece.size()) {
        bytes.clear();
        for (QChar c : piece) {
            const QByteArray one = CodePages::fromUnicode(codePage, QStringView(&c, 1));
            bytes += one.size() == 1 ? one.at(0) : '?';
        }
    }
    return bytes;
}

void TSpellChecker::ContinueCheck()
{
    if (controlGone())
        return;
    if (m_control->document()->revision() != m_revision) {
        // The user changed the text between steps: start afresh from the caret.
        PrepareCheck();
    }
    m_lastResult = TSpellReturnCode::srNoErrors;
    for (;;) {
        int s = 0;
        int e = 0;
        if (!FindSegment(m_errorPos + m_errorLen, &s, &e)) {
            FinishCheck();
            return;
        }
        m_speller = GetSpeller(Language, SpellerType);
        if (!m_speller) {
            // The speller could not be built (the user was told): as a failed one, no finish message.
            FinishCheck(false);
            return;
        }
        if (m_speller->Failed()) {
            reportFailure(m_speller);
            FinishCheck();
            return;
        }
        const QByteArray buffer = segmentBytes(s, e, LanguageCodePage(m_speller->Language()));
        int errPos = 0;
        int errLen = 0;
        m_lastResult = m_atParagraphStart ? m_speller->CheckBuffer(buffer, errPos, errLen)
                                          : m_speller->CheckBufferContinued(buffer, errPos, errLen);
        if (m_speller->Failed()) {
            // The process died or stopped answering during this check.
            reportFailure(m_speller);
            FinishCheck();
            return;
        }
        checkAhead(e);
        if (m_lastResult == TSpellReturnCode::srNoErrors) {
            m_errorPos = e;
            m_errorLen = 0;
            continue;
        }
        errPos = qBound(0, errPos, e - s);
        errLen = qBound(0, errLen, e - s - errPos);
        m_errorPos = s + errPos;
        m_errorLen = errLen - (m_lastResult == TSpellReturnCode::srExtraSpaces ? 1 : 0);
        m_errorLen = qMax(0, m_errorLen);
        m_workCopy->select(m_errorPos, m_errorLen);
        m_control->select(m_errorPos, m_errorLen);
        m_errorWord = m_speller->GetErrorWord();
        if (m_lastResult == TSpellReturnCode::srReturningChangeAlways) {
            ReplaceErrorText(m_speller->GetChangeWord());
            continue;
        }
        if (m_errorLen == 0) {
            // An error of no characters cannot be shown or changed; go past it.
            m_errorLen = 1;
            continue;
        }
        break;
    }
    presentError();
}

void TSpellChecker::presentError()
{
    if (!m_dialog)
        return;
    const QString name = m_speller->Language() != 0 ? GetLanguageName(m_speller->Language(), LangOption)
                                                    : m_speller->Name();
    m_dialog->setCaption(Caption.contains(QLatin1String("%s")) ? QString(Caption).replace(QLatin1String("%s"), name)
                                                               : Caption);
    const SpellerTexts &t = Texts();
    using R = TSpellReturnCode;
    switch (m_lastResult) {
    case R::srUnknownInputWord:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::UnknownWord));
        break;
    case R::srReturningChangeOnce:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::UnknownWord));
        m_dialog->putChangeWordFirst(m_speller->GetChangeWord());
        break;
    case R::srInvalidHyphenation:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::IllegalHyphenations));
        break;
    case R::srErrorCapitalization:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::CapitalizationError));
        break;
    case R::srWordConsideredAbbreviation:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::PossibleAbbreviation));
        break;
    case R::srNoSentenceStartCap:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::SentenceCapitalizationError));
        break;
    case R::srExtraSpaces:
        m_dialog->ShowErrorWithVariants(t.text(SpellerTexts::ExtraSpaces));
        break;
    case R::srMissingSpace:
        m_dialog->ShowErrorNoVariants(t.text(SpellerTexts::MissingSpace));
        break;
    case R::srInitialNumeral:
        m_dialog->ShowErrorNoVariants(t.text(SpellerTexts::NumeralsInStartOfWord));
        break;
    case R::srRepeatWord:
        m_dialog->ShowRepeatedWord();
        break;
    default:
        // Results without a text of their own: shown as an unknown word without suggestions.
        m_dialog->ShowErrorNoVariants(t.text(SpellerTexts::UnknownWord));
        break;
    }
    if (!m_dialog->isShown() && !m_cancelled)
        m_dialog->showDialog(ModalDialog);
}

QStringList TSpellChecker::Variants()
{
    QStringList list;
    if (!m_speller)
        return list;
    using R = TSpellReturnCode;
    switch (m_lastResult) {
    case R::srUnknownInputWord:
    case R::srReturningChangeOnce:
    case R::srInvalidHyphenation:
        if (TAbstractSpeller *speller = GetSpeller(m_speller->Language(), SpellerType)) {
            try {
                speller->GetSuggestions(m_errorWord, list);
            } catch (const ESpellError &e) {
                reportError(e.message());
            }
        }
        break;
    case R::srErrorCapitalization:
    case R::srNoSentenceStartCap:
        if (!m_errorWord.isEmpty()) {
            const QLocale locale(GetLanguageName(m_speller->Language(), TLangOption::loEnglish));
            list << locale.toUpper(m_errorWord.left(1)) + m_errorWord.mid(1);
        }
        break;
    case R::srExtraSpaces: {
        // The reported error without its last character, a run of spaces collapsed to one.
        const QString t = m_errorWord.left(m_errorWord.size() - 1);
        if (t.isEmpty())
            break;
        int k = t.size() - 2;
        while (k >= 0 && t.at(k) == u' ')
            --k;
        list << t.left(k + 1) + t.back();
        break;
    }
    default:
        break;
    }
    return list;
}

TAbstractSpeller *TSpellChecker::GetSpeller(TLanguage language, TSpellerType type)
{
    for (const auto &speller : m_spellers)
        if (speller->Language() == language && speller->SpellerType() == type)
            return speller.get();
    std::unique_ptr<TAbstractSpeller> speller;
    try {
        speller = m_spellerFactory ? m_spellerFactory(language, type, this) : createSpeller(language, type);
    } catch (const ESpellError &e) {
        reportError(e.message());
        return nullptr;
    }
    if (!speller)
        return nullptr;
    m_spellers.push_back(std::move(speller));
    return m_spellers.back().get();
}

std::unique_ptr<TAbstractSpeller> TSpellChecker::createSpeller(TLanguage language, TSpellerType type)
{
    if (type == TSpellerType::sptISpell) {
        TISpellerSetup setup;
        setup.registry = m_registry;
        setup.dictName = DictName;
        setup.langOption = LangOption;
        setup.texts = Texts();
        return std::make_unique<TISpeller>(language, Options, this, setup);
    }
    TCSAPISpellerContext context;
    context.registry = m_registry;
    context.customDict = CustomDict;
    context.onGetDictionary = OnGetDictionary;
    context.userDictionaryFolder = UserDictionaryFolder;
    context.spellingError = Texts().text(SpellerTexts::SpellingErrorNo);
    context.loadingError = Texts().text(SpellerTexts::ErrorLoadingSpeller);
    context.unloadingError = Texts().text(SpellerTexts::ErrorUnloadingSpeller);
    return std::make_unique<TCSAPISpeller>(language, Options, this, context);
}

bool TSpellChecker::replaceIn(DocumentCore *core, int start, int length, const QString &text)
{
    core->select(start, length);
    core->beginEditGroup();
    const bool done = core->ReplaceSelectionW(text);
    core->endEditGroup();
    return done;
}

bool TSpellChecker::streamInto(DocumentCore *core, int start, int length, const QByteArray &utf8)
{
    core->select(start, length);
    const int revision = core->document()->revision();
    core->beginEditGroup();
    core->streamIn(utf8, false, TStreamModeFlag::smSelection);
    core->endEditGroup();
    // Protected text refuses the stream without an error.
    return core->document()->revision() != revision;
}

int TSpellChecker::spellerCodePage() const
{
    if (!m_speller)
        return CodePages::ansiCodePage();
    if (m_speller->Language() == 0 && SpellerType == TSpellerType::sptISpell)
        return CodePageOfName(DictCharset);
    return LanguageCodePage(m_speller->Language());
}

void TSpellChecker::ReplaceErrorText(const QString &newText)
{
    if (controlGone())
        return;
    // Words of a speller outside the ANSI code page go in as a UTF-8 stream,
    // whose line ends the stream turns into paragraph ends; a CR that ends
    // the stream is dropped.
    const bool streamed = spellerCodePage() != CodePages::ansiCodePage();
    QByteArray utf8;
    if (streamed) {
        QString text = newText;
        if (text.endsWith(u'\r'))
            text.chop(1);
        utf8 = "\xEF\xBB\xBF" + text.toUtf8();
    }
    const int lengthBefore = m_control->TextLength();
    const bool done = streamed ? streamInto(m_control, m_errorPos, m_errorLen, utf8)
                               : replaceIn(m_control, m_errorPos, m_errorLen, newText);
    m_revision = m_control->document()->revision();
    if (!done)
        return; // protected text stays; the check goes on after it
    // The length the new text has in the document (a line end is one character there).
    const int oldLength = m_errorLen;
    const int newLength = m_control->TextLength() - lengthBefore + oldLength;
    if (streamed)
        streamInto(m_workCopy.get(), m_errorPos, m_errorLen, utf8);
    else
        replaceIn(m_workCopy.get(), m_errorPos, m_errorLen, newText);
    m_text.replace(m_errorPos, m_errorLen, streamed ? m_control->Text().mid(m_errorPos, newLength) : newText);
    emit OnChangeText(m_errorPos, oldLength, newText);
    const int d = newLength - oldLength;
    if (d != 0) {
        m_rangeEnd += d;
        m_errorLen += d;
        m_nextParagraphEnd += d;
        m_nextTagStart += d;
        m_nextLanguageChange += d;
        m_aheadTo += d;
    }
    if (m_lastResult == TSpellReturnCode::srExtraSpaces)
        m_errorLen = 0;
    if (streamed && m_nextParagraphEnd < m_rangeEnd) {
        // The stream may have split the paragraph: take the text afresh and
        // go on after the new text, up to the same range end.
        copyContent();
        m_errorPos += m_errorLen;
        m_errorLen = 0;
        m_nextParagraphEnd = m_nextTagStart = m_nextLanguageChange = 0;
    }
}

void TSpellChecker::DeleteErrorText()
{
    if (controlGone())
        return;
    const int length = qMin(m_errorLen + 1, int(m_text.size()) - m_errorPos);
    const bool done = replaceIn(m_control, m_errorPos, length, QString());
    m_revision = m_control->document()->revision();
    if (!done)
        return;
    replaceIn(m_workCopy.get(), m_errorPos, length, QString());
    m_text.remove(m_errorPos, length);
    emit OnChangeText(m_errorPos, length, QString());
    m_rangeEnd -= length;
    m_nextParagraphEnd -= length;
    m_nextTagStart -= length;
    m_nextLanguageChange -= length;
    m_aheadTo -= length;
    m_errorLen = 0;
}

QString TSpellChecker::GetErrorLine(int *lineStart) const
{
    int start = qBound(0, m_errorPos, int(m_text.size()));
    while (start > 0 && m_text.at(start - 1) != ParagraphEnd && m_text.at(start - 1) != u'\r')
        --start;
    int end = qBound(0, m_errorPos, int(m_text.size()));
    while (end < m_text.size() && m_text.at(end) != ParagraphEnd && m_text.at(end) != u'\r'
           && m_text.at(end) != QChar::Null)
        ++end;
    if (lineStart)
        *lineStart = start;
    return m_text.mid(start, end - start);
}

void TSpellChecker::FinishCheck(bool mayShowMessage)
{
    const bool wasChecking = m_checking;
    m_checking = false;
    if (m_dialog)
        m_dialog->closeDialog();
    m_workCopy.reset();
    m_text.clear();
    if (!wasChecking)
        return;
    emit OnFinished();
    const bool spellerOk = !m_speller || !m_speller->Failed();
    if (mayShowMessage && ShowFinishMessage && !FinishMessage.isEmpty() && spellerOk && m_ui) {
        UserInteraction::Message box;
        box.title = Texts().text(SpellerTexts::MessageTitle);
        box.text = FinishMessage;
        box.icon = UserInteraction::Icon::Information;
        m_ui->message(box);
    }
}

bool TSpellChecker::controlGone()
{
    if (m_control && m_workCopy)
        return false;
    // The document window closed mid-check: end without touching it.
    if (m_checking) {
        m_checking = false;
        if (m_dialog)
            m_dialog->closeDialog();
        m_workCopy.reset();
        m_text.clear();
        emit OnFinished();
    }
    return true;
}

void TSpellChecker::reportFailure(TAbstractSpeller *speller)
{
    if (m_reportedFailures.contains(speller))
        return;
    m_reportedFailures.insert(speller);
    QString text = speller->FailureText();
    if (text.isEmpty()) {
        const QString name = speller->Language() ? GetLanguageName(speller->Language(), LangOption) : speller->Name();
        text = QString(Texts().text(SpellerTexts::LanguageNotInstalled)).replace(QLatin1String("%s"), name);
    }
    reportError(text);
}

void TSpellChecker::reportError(const QString &text)
{
    if (m_ui)
        m_ui->showError(text, Texts().text(SpellerTexts::MessageTitle));
}

void TSpellChecker::runStep(const std::function<void()> &step)
{
    // A speller error leaves the check where it was; the user may try again or cancel.
    try {
        step();
    } catch (const ESpellError &e) {
        reportError(e.message());
    }
}

void TSpellChecker::Skip()
{
    runStep([this] { ContinueCheck(); });
}

void TSpellChecker::SkipAll()
{
    runStep([this] {
        if (m_speller)
            m_speller->IgnoreAlways(m_errorWord);
        ContinueCheck();
    });
}

void TSpellChecker::Add()
{
    runStep([this] {
        if (m_speller)
            m_speller->AddWord(m_errorWord);
        m_errorLen = 0;
        ContinueCheck();
    });
}

void TSpellChecker::Change(const QString &newText, bool edited)
{
    runStep([&] {
        if (!edited && m_speller && m_lastResult == TSpellReturnCode::srUnknownInputWord)
            m_speller->ChangeOnce(m_errorWord, newText);
        ReplaceErrorText(newText);
        ContinueCheck();
    });
}

void TSpellChecker::ChangeAll(const QString &newText)
{
    runStep([&] {
        if (m_speller)
            m_speller->ChangeAlways(m_errorWord, newText);
        ReplaceErrorText(newText);
        ContinueCheck();
    });
}

void TSpellChecker::Delete()
{
    runStep([this] {
        DeleteErrorText();
        ContinueCheck();
    });
}

void TSpellChecker::Cancel()
{
    m_cancelled = true;
    emit OnCancel();
    if (!controlGone())
        FinishCheck();
}

int ListOfficeLanguages(TSpellList &list, TLangOption option, const Registry &registry)
{
    const QStringList keys = registry.subKeys(OfficeLanguages::spellingKey());
    int count = 0;
    for (const QString &key : keys) {
        bool isNumber = false;
        const uint language = key.toUInt(&isNumber);
        if (!isNumber || language == 0 || language > 0xFFFF)
            continue;
        TSpellListItem item;
        item.text = GetLanguageName(TLanguage(language), option);
        if (item.text.isEmpty())
            item.text = key;
        item.obj.LangNo = TLanguage(language);
        item.obj.SpellerType = 0;
        list.append(item);
        ++count;
    }
    return count;
}
