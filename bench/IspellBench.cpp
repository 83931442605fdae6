// ispell and ispell-gen: the ispell speller walked through a text as the
// spell-check driver walks it, and an English text with typos to walk.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "spell/ISpell.h"
#include "spell/ISpellInstallation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <cstdio>

namespace {

QString decodedText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xff\xfe"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xfe\xff"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? CodePages::toUnicode(CodePages::ansiCodePage(), bytes) : text;
}

int countWords(const QString &text)
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool delimiter = TISpeller::isDelimiter(c) || c == u'\n' || c == u'\r';
        words += !delimiter && !inWord;
        inWord = !delimiter;
    }
    return words;
}

} // namespace

int Bench::ispellCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usage("ispell FILE [--dictionary NAME]");
    const int d = int(args.indexOf(QStringLiteral("--dictionary")));
    const QString dictionary = d > 0 && d + 1 < args.size() ? args.at(d + 1) : QStringLiteral("american");
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.first()));
        return 1;
    }
    const QString text = decodedText(file.readAll());

    // The installation as the program keeps it beside itself.
    const QString programDir = QCoreApplication::applicationDirPath() + u'/';
    FileRegistry registry(programDir + QStringLiteral("Registry.txt"));
    ISpellInstallation::refresh(registry, programDir + QStringLiteral("ispell"),
                                ISpellInstallation::findDictionaries(ISpellInstallation::systemSources()));
    TSpellList list;
    ListISpellLanguages(list, TLangOption::loEnglish, registry);
    const auto item = std::find_if(list.cbegin(), list.cend(), [&](const TSpellListItem &i) {
        return i.obj.Flag == dictionary || i.text == dictionary;
    });
    if (item == list.cend()) {
        std::fprintf(stderr, "no ispell dictionary %s\n", qPrintable(dictionary));
        return 1;
    }
    TISpellerSetup setup;
    setup.registry = &registry;
    setup.dictName = item->text;
    QElapsedTimer timer;
    timer.start();
    TISpeller speller(item->obj.LangNo, DefaultSpellOptions, nullptr, setup);
    if (speller.Failed()) {
        std::fprintf(stderr, "%s\n", qPrintable(speller.FailureText()));
        return 1;
    }
    const double startSeconds = timer.nsecsElapsed() / 1e9;
    timer.restart();

    // Each paragraph is one segment; after an error the rest of it is the next.
    const int codePage = LanguageCodePage(item->obj.LangNo);
    int errors = 0;
    int words = 0;
    for (QStringView paragraph : QStringView(text).split(u'\n')) {
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        words += countWords(paragraph.toString());
        qsizetype pos = 0;
        while (pos < paragraph.size()) {
            const QByteArray buffer = CodePages::fromUnicode(codePage, paragraph.mid(pos));
            int errPos = 0, errLen = 0;
            const TSpellReturnCode r = pos == 0 ? speller.CheckBuffer(buffer, errPos, errLen)
                                                : speller.CheckBufferContinued(buffer, errPos, errLen);
            if (r == TSpellReturnCode::srNoErrors)
                break;
            ++errors;
            pos += errPos + qMax(1, errLen);
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (speller.Failed()) {
        std::fprintf(stderr, "%s\n", qPrintable(speller.FailureText()));
        return 1;
    }
    printJson({{QStringLiteral("op"), QStringLiteral("ispell")},
               {QStringLiteral("dictionary"), item->text},
               {QStringLiteral("words"), words},
               {QStringLiteral("errors"), errors},
               {QStringLiteral("seconds"), seconds},
               {QStringLiteral("start_seconds"), startSeconds},
               {QStringLiteral("words_per_second"), seconds > 0 ? qRound64(words / seconds) : 0}});
    return 0;
}

int Bench::ispellGenCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usage("ispell-gen OUT [--mb N] [--typos PERCENT] [--html]");
    const int m = int(args.indexOf(QStringLiteral("--mb")));
    const int t = int(args.indexOf(QStringLiteral("--typos")));
    const double mb = m > 0 && m + 1 < args.size() ? args.at(m + 1).toDouble() : 1.0;
    const double typos = t > 0 && t + 1 < args.size() ? args.at(t + 1).toDouble() : 2.0;
    // HTML: each paragraph a <p> with some words in inline tags and now and then a comment.
    const bool html = args.contains(QStringLiteral("--html"));
    static const char *const words[] = {
        "the", "editor", "opens", "files", "in", "every", "code", "page", "and", "saves", "them", "again",
        "paragraph", "document", "window", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "while",
        "spelling", "checker", "finds", "mistakes", "letters", "words", "sentence", "with", "many", "people",
        "writing", "their", "letters", "about", "weather", "garden", "morning", "evening", "friends", "house",
        "because", "through", "between", "important", "different", "language", "English", "German", "French",
        "printer", "preview", "margin", "ruler", "format", "search", "replace", "settings", "option", "should",
        "would", "could", "was", "were", "has", "have", "been", "being", "this", "that", "these", "those",
        "a", "an", "of", "to", "for", "on", "at", "by", "from", "into", "under", "after", "before", "don't",
        "it's", "well-known", "user's", "chapter", "number", "first", "second", "third", "last", "next"};
    constexpr int wordCount = int(sizeof words / sizeof *words);
    QRandomGenerator random(2026);
    const qsizetype target = qsizetype(mb * 1024 * 1024);
    QByteArray out;
    out.reserve(target + 1024);
    int typoCount = 0;
    int total = 0;
    if (html)
        out += "<html><head><title>Spelling</title></head><body>\r\n";
    while (out.size() < target) {
        if (html)
            out += random.bounded(10u) == 0 ? "<!-- a note > with a sign --><p class=\"text\">" : "<p>";
        const int sentences = 1 + int(random.bounded(8u));
        for (int s = 0; s < sentences; ++s) {
            const int length = 4 + int(random.bounded(16u));
            for (int w = 0; w < length; ++w) {
                QByteArray word = words[random.bounded(quint32(wordCount))];
                if (w == 0)
                    word[0] = char(QChar::toUpper(uint(word.at(0))));
                if (word.size() > 3 && random.generateDouble() * 100 < typos) {
                    const int i = 1 + int(random.bounded(quint32(word.size() - 2)));
                    std::swap(word[i], word[i + 1]);
                    ++typoCount;
                }
                const int tag = html ? int(random.bounded(20u)) : -1;
                if (tag == 0)
                    word = "<b>" + word + "</b>";
                else if (tag == 1)
                    word = "<a href=\"page.html\">" + word + "</a>";
                out += word;
                ++total;
                out += w + 1 < length ? (random.bounded(12u) == 0 ? ", " : " ") : ". ";
            }
        }
        out.chop(1);
        if (html)
            out += "</p>";
        out += "\r\n";
    }
    if (html)
        out += "</body></html>\r\n";
    QFile file(args.first());
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.first()));
        return 1;
    }
    printJson({{QStringLiteral("op"), QStringLiteral("ispell-gen")}, {QStringLiteral("file"), file.fileName()},
               {QStringLiteral("bytes"), out.size()}, {QStringLiteral("words"), total},
               {QStringLiteral("typos"), typoCount}});
    return 0;
}
