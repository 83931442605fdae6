// The office speller on generated text: every paragraph walked as the check
// does it, skipping each error and going on behind it.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "spell/CSAPISpeller.h"
#include "spell/OfficeLanguages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

namespace {

// Words of the dictionary itself, so the typos are the only errors expected.
QStringList dictionaryWords(const QString &dicPath)
{
    QFile f(dicPath);
    QStringList words;
    if (!f.open(QIODevice::ReadOnly))
        return words;
    f.readLine();
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        const QString word = line.section(u'/', 0, 0);
        if (word.size() >= 2 && word.size() <= 12
            && std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); }))
            words << word;
    }
    return words;
}

// About `bytes` of sentences in paragraphs of some 80 words; `typoPercent` of
// the words have two letters swapped.
QList<QByteArray> generatedParagraphs(const QStringList &words, int codePage, qint64 bytes, int typoPercent, int *wordCount)
{
    QRandomGenerator random(1);
    QList<QByteArray> paragraphs;
    qint64 total = 0;
    *wordCount = 0;
    while (total < bytes && !words.isEmpty()) {
        QString paragraph;
        for (int w = 0; w < 80; ++w) {
            QString word = words.at(random.bounded(int(words.size())));
            if (random.bounded(100) < typoPercent && word.size() > 3) {
                const int i = 1 + random.bounded(int(word.size()) - 2);
                std::swap(word[i], word[i + 1]);
            }
            const bool starts = w % 12 == 0;
            if (starts)
                word[0] = word[0].toUpper();
            paragraph += word + (w % 12 == 11 || w == 79 ? QStringLiteral(". ") : QStringLiteral(" "));
            ++*wordCount;
        }
        paragraphs << CodePages::fromUnicode(codePage, paragraph);
        total += paragraphs.last().size() + 1;
    }
    return paragraphs;
}

} // namespace

namespace Bench {

int proofingCommand(const QStringList &args)
{
    TLanguage language = 1033;
    double megabytes = 1;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--language"))
            language = TLanguage(args[i + 1].toUInt());
        else if (args[i] == QLatin1String("--mb"))
            megabytes = args[i + 1].toDouble();
        else
            return usage("proofing [--language N] [--mb MB]");
    }
    FileRegistry registry;
    const QString engine = QCoreApplication::applicationDirPath() + QStringLiteral("/" QUILMAR_PROOFING_LIBRARY_NAME);
    OfficeLanguages::registerHunspellDictionaries(registry, engine, OfficeLanguages::hunspellDirectories());
    const QString dic = registry.value(OfficeLanguages::languageKey(language), QStringLiteral("Dictionary")).value_or(QString());
    const int codePage = 1252; // the western languages this bench is run with
    TCSAPISpellerContext context;
    context.registry = &registry;
    context.customDict = QStringLiteral("/tmp/quilmar-bench-CUSTOM.DIC");
    QElapsedTimer timer;
    timer.start();
    try {
        TCSAPISpeller speller(language, DefaultSpellOptions, nullptr, context);
        const qint64 setupMs = timer.restart();
        if (speller.Failed()) {
            std::fprintf(stderr, "no office speller for language %u\n", language);
            return 1;
        }
        // Stems that need an affix or a compound are no words of their own.
        QStringList words;
        QRandomGenerator random(2);
        const QStringList stems = dictionaryWords(dic);
        for (int i = 0; i < 20000 && words.size() < 5000 && !stems.isEmpty(); ++i) {
            const QString &w = stems.at(random.bounded(int(stems.size())));
            int pos, len;
            if (speller.CheckBuffer(CodePages::fromUnicode(codePage, w), pos, len) == TSpellReturnCode::srNoErrors
                && speller.CheckBuffer(CodePages::fromUnicode(codePage, QString(w).replace(0, 1, w[0].toUpper())), pos, len)
                       == TSpellReturnCode::srNoErrors)
                words << w;
        }
        int wordCount = 0;
        const QList<QByteArray> paragraphs =
            generatedParagraphs(words, codePage, qint64(megabytes * 1024 * 1024), 2, &wordCount);
        timer.restart();
        qint64 slowestNs = 0, bytes = 0;
        int errors = 0, calls = 0;
        QElapsedTimer step;
        for (const QByteArray &p : paragraphs) {
            bytes += p.size() + 1;
            int from = 0;
            bool first = true;
            while (from < p.size()) {
                int pos = 0, len = 0;
                step.start();
                const QByteArray piece = p.mid(from);
                const TSpellReturnCode r = first ? speller.CheckBuffer(piece, pos, len)
                                                 : speller.CheckBufferContinued(piece, pos, len);
                slowestNs = qMax(slowestNs, step.nsecsElapsed());
                ++calls;
                first = false;
                if (r == TSpellReturnCode::srNoErrors)
                    break;
                ++errors;
                from += pos + qMax(len, 1);
            }
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("{\"command\":\"proofing\",\"language\":%u,\"bytes\":%lld,\"words\":%d,\"errors\":%d,"
                    "\"calls\":%d,\"setup_ms\":%lld,\"seconds\":%.3f,\"words_per_second\":%.0f,"
                    "\"slowest_step_ms\":%.2f}\n",
                    language, bytes, wordCount, errors, calls, setupMs, seconds, wordCount / seconds,
                    slowestNs / 1e6);
    } catch (const ESpellError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    QFile::remove(context.customDict);
    return 0;
}

} // namespace Bench
