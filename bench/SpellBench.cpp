// spell: the spell-check driver walked through a file with a dialog that
// answers Skip at every error, with the ispell or the office speller.
#include "bench/BenchCommands.h"
#include "bench/BenchSupport.h"

#include "document/DocumentCore.h"
#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "spell/ISpell.h"
#include "spell/ISpellInstallation.h"
#include "spell/OfficeLanguages.h"
#include "spell/Spellers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTextDocument>

#include <cstdio>

namespace {

// Notes each error the driver shows; the bench loop answers it.
class SkippingDialog : public TSpellDialogView
{
public:
    int shown = 0;
    bool pending = false;
    void setCaption(const QString &) override {}
    void ShowErrorWithVariants(const QString &) override { note(); }
    void ShowErrorNoVariants(const QString &) override { note(); }
    void ShowRepeatedWord() override { note(); }
    void putChangeWordFirst(const QString &) override {}
    bool isShown() const override { return true; }
    void showDialog(bool) override {}
    void closeDialog() override {}

private:
    void note()
    {
        ++shown;
        pending = true;
    }
};

QString argument(const QStringList &args, const QString &name)
{
    const int i = int(args.indexOf(name));
    return i > 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

int countWords(const QString &text)
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool letter = c.isLetterOrNumber();
        words += letter && !inWord;
        inWord = letter;
    }
    return words;
}

} // namespace

int Bench::spellCommand(const QStringList &args)
{
    const QString speller = argument(args, QStringLiteral("--speller"));
    if (args.isEmpty() || (speller != QLatin1String("ispell") && speller != QLatin1String("office")))
        return usage("spell FILE --speller ispell|office [--language N | --dictionary NAME] [--html]");
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.first()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = CodePages::toUnicode(CodePages::ansiCodePage(), bytes);
    text.remove(u'\r');

    const QString programDir = QCoreApplication::applicationDirPath() + u'/';
    FileRegistry registry;
    TSpellChecker checker(&registry, nullptr);
    checker.HTMLSupport = args.contains(QStringLiteral("--html"));
    const QString language = argument(args, QStringLiteral("--language"));
    if (speller == QLatin1String("office")) {
        OfficeLanguages::registerHunspellDictionaries(
            registry, programDir + QStringLiteral(QUILMAR_PROOFING_LIBRARY_NAME), OfficeLanguages::hunspellDirectories());
        checker.SpellerType = TSpellerType::sptMSOffice;
        checker.Language = TLanguage(language.isEmpty() ? 1033 : language.toUInt());
    } else {
        ISpellInstallation::refresh(registry, programDir + QStringLiteral("ispell"),
                                    ISpellInstallation::findDictionaries(ISpellInstallation::systemSources()));
        TSpellList list;
        ListISpellLanguages(list, TLangOption::loEnglish, registry);
        const QString dictionary = argument(args, QStringLiteral("--dictionary"));
        const auto item = std::find_if(list.cbegin(), list.cend(), [&](const TSpellListItem &i) {
            if (!language.isEmpty())
                return i.obj.LangNo == language.toUInt();
            return dictionary.isEmpty() ? i.obj.LangNo == 1033 : (i.obj.Flag == dictionary || i.text == dictionary);
        });
        if (item == list.cend()) {
            std::fprintf(stderr, "no such ispell dictionary\n");
            return 1;
        }
        checker.SpellerType = TSpellerType::sptISpell;
        checker.Language = item->obj.LangNo;
        checker.DictName = item->text;
        checker.DictCharset = item->obj.Charset;
    }
    SkippingDialog dialog;
    checker.setDialogFactory([&dialog](TSpellChecker *) { return &dialog; });

    // An RTF file is checked as rich text, whose work copy is built from RTF.
    DocumentCore core;
    const bool rich = args.first().endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
    core.setPlainTextMode(!rich);
    if (rich)
        core.loadRtf(bytes);
    else
        core.document()->setPlainText(text);
    core.select(0, 0);

    QElapsedTimer timer;
    timer.start();
    checker.Check(&core);
    const double firstError = timer.nsecsElapsed() / 1e9;
    qint64 maxStep = 0;
    while (checker.isChecking() && dialog.pending) {
        dialog.pending = false;
        QElapsedTimer step;
        step.start();
        checker.Skip();
        maxStep = qMax(maxStep, step.nsecsElapsed());
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (checker.currentSpeller() && checker.currentSpeller()->Failed()) {
        std::fprintf(stderr, "%s\n", qPrintable(checker.currentSpeller()->FailureText()));
        return 1;
    }
    printJson({{QStringLiteral("op"), QStringLiteral("spell")},
               {QStringLiteral("speller"), speller},
               {QStringLiteral("language"), int(checker.Language)},
               {QStringLiteral("words"), countWords(rich ? core.Text() : text)},
               {QStringLiteral("errors"), dialog.shown},
               {QStringLiteral("seconds"), seconds},
               {QStringLiteral("first_error_seconds"), dialog.shown ? firstError : seconds},
               {QStringLiteral("max_step_ms"), maxStep / 1e6}});
    return 0;
}
