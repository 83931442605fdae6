// The office speller library through its C entry points, loaded as a caller
// would load it.
#include "proofing/SpellApi.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

namespace {

const char *const kEnglish = "/usr/share/hunspell/en_US.dic";
const char *const kGerman = "/usr/share/hunspell/de_DE.dic";

struct Api {
    void *handle = nullptr;
#define ENTRY(name) decltype(&::name) name = nullptr;
    ENTRY(SpellVer) ENTRY(SpellInit) ENTRY(SpellOptions) ENTRY(SpellCheck) ENTRY(SpellTerminate)
    ENTRY(SpellVerifyMdr) ENTRY(SpellOpenMdr) ENTRY(SpellOpenUdr) ENTRY(SpellAddUdr)
    ENTRY(SpellAddChangeUdr) ENTRY(SpellDelUdr) ENTRY(SpellClearUdr) ENTRY(SpellGetSizeUdr)
    ENTRY(SpellGetListUdr) ENTRY(SpellCloseMdr) ENTRY(SpellCloseUdr)
#undef ENTRY
    int resolved = 0;

    bool load()
    {
        handle = dlopen(QUILMAR_PROOFING_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return false;
#define RESOLVE(name) name = reinterpret_cast<decltype(name)>(dlsym(handle, #name)); resolved += name ? 1 : 0;
        RESOLVE(SpellVer) RESOLVE(SpellInit) RESOLVE(SpellOptions) RESOLVE(SpellCheck) RESOLVE(SpellTerminate)
        RESOLVE(SpellVerifyMdr) RESOLVE(SpellOpenMdr) RESOLVE(SpellOpenUdr) RESOLVE(SpellAddUdr)
        RESOLVE(SpellAddChangeUdr) RESOLVE(SpellDelUdr) RESOLVE(SpellClearUdr) RESOLVE(SpellGetSizeUdr)
        RESOLVE(SpellGetListUdr) RESOLVE(SpellCloseMdr) RESOLVE(SpellCloseUdr)
#undef RESOLVE
        return resolved == 16;
    }
};

Api g_api;

struct Result {
    SC_SEC sec = 0;
    int status = -1, pos = -1, len = -1;
    QByteArray first; // first string of the return buffer
};

// One open session with a main dictionary and, when given, a user dictionary.
struct Speller {
    SC_SPLID id = 0;
    SC_MDRS mdrs = {};
    SC_UDR udr = 0;
    bool hasUdr = false;

    Speller(const char *dic, SC_LID lid, int options, const QByteArray &udrPath = QByteArray())
    {
        SC_WSC wsc = {0, 45, 31, 30, 151, 150, 133, {11, 10}, {13, 10}};
        if (g_api.SpellInit(&id, &wsc) || g_api.SpellOptions(id, options)
            || g_api.SpellOpenMdr(id, const_cast<char *>(dic), nullptr, 0, 1, lid, &mdrs))
            id = 0;
        if (id && !udrPath.isEmpty()) {
            SC_BOOL ro = 0;
            hasUdr = g_api.SpellOpenUdr(id, const_cast<char *>(udrPath.constData()), 1, udrIgnoreAlways, &udr, &ro) == 0;
        }
    }
    ~Speller()
    {
        if (!id)
            return;
        g_api.SpellCloseMdr(id, &mdrs);
        if (hasUdr)
            g_api.SpellCloseUdr(id, udr, 1);
        g_api.SpellTerminate(id, 1);
    }

    Result check(const QByteArray &text, SC_CC command = sccVerifyBuffer, uint16_t state = fssStartsSentence,
                 int cch = -1)
    {
        SC_SIB sib = {uint16_t(cch < 0 ? text.size() : cch), 1, uint16_t(hasUdr ? 1 : 0), state,
                      const_cast<char *>(text.constData()), &mdrs.mdr, &udr};
        char buf[1024] = {};
        SC_BYTE rating[255] = {};
        SC_SRB srb = {};
        srb.cch = sizeof buf;
        srb.lrgsz = buf;
        srb.lrgbRating = rating;
        srb.cbRate = sizeof rating;
        Result r;
        r.sec = g_api.SpellCheck(id, command, &sib, &srb);
        r.status = srb.scrs;
        r.pos = srb.ichError;
        r.len = srb.cchError;
        r.first = QByteArray(buf);
        return r;
    }

    // Suggest, then suggest more until the library says there are no more.
    QList<QByteArray> suggestions(const QByteArray &word, int bufferSize = 2047, int *calls = nullptr)
    {
        QList<QByteArray> out;
        SC_SIB sib = {uint16_t(word.size()), 1, uint16_t(hasUdr ? 1 : 0), 0, const_cast<char *>(word.constData()),
                      &mdrs.mdr, &udr};
        QByteArray buf(bufferSize + 1, '\0');
        SC_BYTE rating[255] = {};
        SC_SRB srb = {};
        srb.cch = uint16_t(bufferSize);
        srb.lrgsz = buf.data();
        srb.lrgbRating = rating;
        srb.cbRate = sizeof rating;
        SC_CC command = sccSuggest;
        for (int n = 1; n < 200; ++n) {
            if (g_api.SpellCheck(id, command, &sib, &srb) != 0)
                return {"<error>"};
            if (calls)
                *calls = n;
            if (srb.scrs == scrsNoMoreSuggestions)
                break;
            for (const char *p = buf.constData(); *p; p += qstrlen(p) + 1)
                out << QByteArray(p);
            command = sccSuggestMore;
        }
        return out;
    }
};

QByteArray cp1252(QStringView s)
{
    QByteArray out;
    for (QChar c : s)
        out += char(c.unicode() < 256 ? c.unicode() : '?');
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestProofingLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(g_api.load(), dlerror());
        if (!QFile::exists(kEnglish) || !QFile::exists(kGerman))
            QSKIP("hunspell-en-us and hunspell-de-de are not installed");
    }

    void verifiesAndLocatesTheFirstError()
    {
        Speller en(kEnglish, 1033, soIgnoreAllCaps);
        QVERIFY(en.id);
        QCOMPARE(en.mdrs.sclid, SC_LID(1033));
        QCOMPARE(en.check("This is a simple text, isn't it?").status, scrsNoErrors);
        const Result r = en.check("This is a smple text with anothr error.");
        QCOMPARE(r.sec, SC_SEC(0));
        QCOMPARE(r.status, scrsUnknownInputWord);
        QCOMPARE(r.pos, 10);
        QCOMPARE(r.len, 5);
        // A zero inside the stated length ends the text.
        QCOMPARE(en.check(QByteArray("fine\0smple", 10)).status, scrsNoErrors);
        // Proper names want their capital.
        QCOMPARE(en.check("We flew to london.").status, scrsErrorCapitalization);

        Speller de(kGerman, 1031, soIgnoreAllCaps);
        QVERIFY(de.id);
        QCOMPARE(de.check(cp1252(u"Grüße aus München, die Straße ist schön.")).status, scrsNoErrors);
        const Result g = de.check(cp1252(u"Das Wetter ist schön, aber die Strase ist naß."));
        QCOMPARE(g.status, scrsUnknownInputWord);
        QCOMPARE(g.pos, 31);
        QCOMPARE(g.len, 6);
    }

    void suggestsInBatchesUntilNoMore()
    {
        Speller en(kEnglish, 1033, 0);
        int calls = 0;
        const QList<QByteArray> list = en.suggestions("smple", 2047, &calls);
        QVERIFY2(list.contains("simple"), list.join(',').constData());
        QCOMPARE(QSet<QByteArray>(list.begin(), list.end()).size(), list.size());
        QVERIFY(calls >= 2); // the last call says srNoMoreSuggestions
        // A buffer that holds one suggestion at a time still ends.
        const QList<QByteArray> small = en.suggestions("smple", 9, &calls);
        QVERIFY(small.contains("simple"));
        QVERIFY(calls <= list.size() + 1);
        // German suggestions come back in the code page.
        Speller de(kGerman, 1031, 0);
        QVERIFY(de.suggestions(cp1252(u"Strase")).contains(cp1252(u"Straße")));
        QVERIFY(en.suggestions(QByteArray(300, 'x')).isEmpty());
    }

    void optionsDecideWhatIsAnError_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("len");
        const int none = 0;
        QTest::newRow("all caps flagged") << none << QByteArray("The QWXZ unit") << scrsUnknownInputWord << 4 << 4;
        QTest::newRow("all caps ignored") << int(soIgnoreAllCaps) << QByteArray("The QWXZ unit") << scrsNoErrors << -1 << -1;
        QTest::newRow("digits flagged") << none << QByteArray("Take abc123 now") << scrsUnknownInputWord << 5 << 6;
        QTest::newRow("digits ignored") << int(soIgnoreMixedDigits) << QByteArray("Take abc123 now") << scrsNoErrors << -1 << -1;
        QTest::newRow("roman flagged") << none << QByteArray("Chapter xlvii ends") << scrsUnknownInputWord << 8 << 5;
        QTest::newRow("roman ignored") << int(soIgnoreRomanNumerals) << QByteArray("Chapter xlvii ends") << scrsNoErrors << -1 << -1;
        QTest::newRow("not a numeral") << int(soIgnoreRomanNumerals) << QByteArray("Chapter xvx ends") << scrsUnknownInputWord << 8 << 3;
        QTest::newRow("repeat") << int(soFindRepeatWord) << QByteArray("It was the the end") << scrsRepeatWord << 7 << 3;
        QTest::newRow("repeat across case") << int(soFindRepeatWord) << QByteArray("The the end") << scrsRepeatWord << 0 << 3;
        QTest::newRow("no repeat over comma") << int(soFindRepeatWord) << QByteArray("Yes, yes and no") << scrsNoErrors << -1 << -1;
        QTest::newRow("repeat off") << none << QByteArray("It was the the end") << scrsNoErrors << -1 << -1;
        QTest::newRow("extra spaces") << int(soFindExtraSpaces) << QByteArray("One   two") << scrsExtraSpaces << 3 << 4;
        QTest::newRow("two after a sentence") << int(soFindExtraSpaces) << QByteArray("One.  Two") << scrsNoErrors << -1 << -1;
        QTest::newRow("three after a sentence") << int(soFindExtraSpaces) << QByteArray("One.   Two") << scrsExtraSpaces << 4 << 4;
        QTest::newRow("indent is no error") << int(soFindExtraSpaces) << QByteArray("   One two") << scrsNoErrors << -1 << -1;
        QTest::newRow("missing space") << int(soFindMissingSpaces) << QByteArray("It ends.Then more") << scrsMissingSpace << 7 << 1;
        QTest::newRow("missing after comma") << int(soFindMissingSpaces) << QByteArray("Red,green") << scrsMissingSpace << 3 << 1;
        QTest::newRow("abbreviation is no sentence") << int(soFindMissingSpaces | soFindUncappedSentences) << QByteArray("Use e.g. this") << scrsNoErrors << -1 << -1;
        QTest::newRow("numbers keep their commas") << int(soFindMissingSpaces) << QByteArray("It costs 1,000.50 now") << scrsNoErrors << -1 << -1;
        QTest::newRow("uncapped start") << int(soFindUncappedSentences) << QByteArray("the end") << scrsNoSentenceStartCap << 0 << 3;
        QTest::newRow("uncapped after stop") << int(soFindUncappedSentences) << QByteArray("It ends. then more") << scrsNoSentenceStartCap << 9 << 4;
        QTest::newRow("initial numeral") << int(soFindInitialNumerals | soIgnoreMixedDigits) << QByteArray("The 3rd time") << scrsInitialNumeral << 4 << 3;
        QTest::newRow("numeral off") << int(soIgnoreMixedDigits) << QByteArray("The 3rd time") << scrsNoErrors << -1 << -1;
        QTest::newRow("space before stop") << int(soFindSpacesBeforePunc) << QByteArray("It ends .") << scrsExtraSpaces << 7 << 2;
        QTest::newRow("space after paren") << int(soFindSpacesAfterPunc) << QByteArray("It ( really) ends") << scrsExtraSpaces << 4 << 2;
    }
    void optionsDecideWhatIsAnError()
    {
        QFETCH(int, options);
        QFETCH(QByteArray, text);
        QFETCH(int, status);
        Speller en(kEnglish, 1033, options);
        const Result r = en.check(text);
        QCOMPARE(r.sec, SC_SEC(0));
        QCOMPARE(r.status, status);
        if (status != scrsNoErrors) {
            QTEST(r.pos, "pos");
            QTEST(r.len, "len");
        }
    }

    void continuedTextKeepsItsContext()
    {
        Speller en(kEnglish, 1033, soFindRepeatWord | soFindUncappedSentences | soFindExtraSpaces);
        QCOMPARE(en.check("It was the").status, scrsNoErrors);
        // A continuation sees the word before it; a new sentence start does not.
        QCOMPARE(en.check(" the end", sccVerifyBuffer, fssIsContinued).status, scrsRepeatWord);
        QCOMPARE(en.check("It was the").status, scrsNoErrors);
        QCOMPARE(en.check("The end", sccVerifyBuffer, fssStartsSentence).status, scrsNoErrors);
        // After an unknown word is added the check restarts at it and does not
        // take it for its own repetition.
        const Result r = en.check("Say qwzx now");
        QCOMPARE(r.status, scrsUnknownInputWord);
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, const_cast<char *>("qwzx")), SC_SEC(0));
        QCOMPARE(en.check("qwzx now", sccVerifyBuffer, fssIsContinued).status, scrsNoErrors);
        // Skipping a repeated word goes on behind it without a second report.
        const Result rep = en.check("It is is so");
        QCOMPARE(rep.status, scrsRepeatWord);
        QCOMPARE(en.check(" is so", sccVerifyBuffer, fssIsContinued).status, scrsNoErrors);
    }

    void wordListsChangeAndIgnore()
    {
        Speller en(kEnglish, 1033, 0);
        QCOMPARE(g_api.SpellAddChangeUdr(en.id, udrChangeAlways, const_cast<char *>("teh"), const_cast<char *>("the")), SC_SEC(0));
        QCOMPARE(g_api.SpellAddChangeUdr(en.id, udrChangeOnce, const_cast<char *>("adn"), const_cast<char *>("and")), SC_SEC(0));
        Result r = en.check("Fix teh word");
        QCOMPARE(r.status, scrsReturningChangeAlways);
        QCOMPARE(r.first, QByteArray("the"));
        QCOMPARE(r.pos, 4);
        QCOMPARE(r.len, 3);
        r = en.check("This adn that");
        QCOMPARE(r.status, scrsReturningChangeOnce);
        QCOMPARE(r.first, QByteArray("and"));
        QCOMPARE(en.suggestions("adn").value(0), QByteArray("and"));
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, const_cast<char *>("Quilmarish")), SC_SEC(0));
        QCOMPARE(en.check("Quilmarish words").status, scrsNoErrors);
        int32_t count = 0;
        QCOMPARE(g_api.SpellGetSizeUdr(en.id, udrChangeAlways, &count), SC_SEC(0));
        QCOMPARE(count, 1);
        // Listing into a buffer too small for all: as much as fits, and the rest from there.
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, const_cast<char *>("Zyxwv")), SC_SEC(0));
        char small[16] = {};
        SC_SRB srb = {};
        srb.lrgsz = small;
        srb.cch = 14;
        QCOMPARE(g_api.SpellGetListUdr(en.id, udrIgnoreAlways, 0, &srb), SC_SEC(0));
        QCOMPARE(srb.scrs, SC_SCRS(scrsMoreInfoThanBufferCouldHold));
        QCOMPARE(QByteArray(small), QByteArray("Quilmarish"));
        QCOMPARE(g_api.SpellGetListUdr(en.id, udrIgnoreAlways, 1, &srb), SC_SEC(0));
        QCOMPARE(srb.scrs, SC_SCRS(scrsNoErrors));
        QCOMPARE(QByteArray(small), QByteArray("Zyxwv"));
        QCOMPARE(g_api.SpellClearUdr(en.id, udrIgnoreAlways), SC_SEC(0));
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, const_cast<char *>("Quilmarish")), SC_SEC(0));
        QCOMPARE(g_api.SpellDelUdr(en.id, udrIgnoreAlways, const_cast<char *>("Quilmarish")), SC_SEC(0));
        QCOMPARE(en.check("Quilmarish words").status, scrsUnknownInputWord);
        // The lists take no file words, and a file dictionary no change pairs.
        QCOMPARE(g_api.SpellAddUdr(en.id, udrChangeAlways, const_cast<char *>("x")), SC_SEC(secModuleError | secOperNotMatchedUserDict));
    }

    void userDictionaryPersistsAcrossOpens()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("sub.dic"));
        {
            Speller en(kEnglish, 1033, soSuggestFromUserDict, path);
            QVERIFY(en.hasUdr);
            QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));
            QCOMPARE(en.check("Quilmarize it").status, scrsUnknownInputWord);
            QCOMPARE(g_api.SpellAddUdr(en.id, en.udr, const_cast<char *>("Quilmarize")), SC_SEC(0));
            QCOMPARE(g_api.SpellAddUdr(en.id, en.udr, cp1252(u"Grüßli").data()), SC_SEC(0));
            QCOMPARE(en.check("Quilmarize it").status, scrsNoErrors);
            QVERIFY(en.suggestions("Quilmarise").contains("Quilmarize"));
            // Another process sees the word while this session is still open.
            const QStringList args = {QUILMAR_PROOFING_LIBRARY, kEnglish, QString::fromLocal8Bit(path)};
            QCOMPARE(QProcess::execute(QUILMAR_PROOFING_HELPER, args + QStringList{"Quilmarize"}), 0);
            QCOMPARE(QProcess::execute(QUILMAR_PROOFING_HELPER, args + QStringList{"Quilmarized"}), 1);
        }
        Speller again(kEnglish, 1033, 0, path);
        QVERIFY(again.hasUdr);
        QCOMPARE(again.check("Quilmarize it").status, scrsNoErrors);
        QCOMPARE(again.check(cp1252(u"Grüßli it")).status, scrsNoErrors);
        QFile f(QString::fromLocal8Bit(path));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QStringView(u"Quilmarize\nGrüßli\n").toUtf8());
        // Deleting rewrites the file.
        QCOMPARE(g_api.SpellDelUdr(again.id, again.udr, const_cast<char *>("Quilmarize")), SC_SEC(0));
        Speller third(kEnglish, 1033, 0, path);
        QCOMPARE(third.check("Quilmarize it").status, scrsUnknownInputWord);
    }

    void badInputGivesCodesNotCrashes()
    {
        Speller en(kEnglish, 1033, 0);
        SC_SRB srb = {};
        SC_SIB sib = {};
        const SC_SEC moduleError = secModuleError;
        QCOMPARE(g_api.SpellCheck(en.id, sccVerifyBuffer, nullptr, nullptr), moduleError);
        QCOMPARE(g_api.SpellCheck(en.id, sccVerifyBuffer, &sib, &srb), moduleError); // no return buffer
        char buf[16];
        srb.lrgsz = buf;
        srb.cch = sizeof buf;
        sib.cch = 5; // text pointer missing
        QCOMPARE(g_api.SpellCheck(en.id, sccVerifyBuffer, &sib, &srb), moduleError);
        QCOMPARE(g_api.SpellCheck(en.id, 99, &sib, &srb), SC_SEC(secModuleError | secInvalidSCC));
        QCOMPARE(g_api.SpellCheck(12345, sccVerifyBuffer, &sib, &srb), SC_SEC(secModuleError | secInvalidID));
        SC_MDR bogus = 777;
        sib = {4, 1, 0, 0, const_cast<char *>("word"), &bogus, nullptr};
        QCOMPARE(g_api.SpellCheck(en.id, sccVerifyBuffer, &sib, &srb), SC_SEC(secModuleError | secInvalidMdr));
        QCOMPARE(g_api.SpellInit(nullptr, nullptr), SC_SEC(secModuleError | secInvalidWsc));
        QCOMPARE(g_api.SpellOptions(0, 0), SC_SEC(secModuleError | secInvalidID));
        QCOMPARE(g_api.SpellTerminate(4242, 1), SC_SEC(secModuleError | secInvalidID));
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, nullptr), moduleError);
        // A path or word without a terminating zero in reach is refused.
        QByteArray unterminated(5000, 'a');
        SC_MDRS m = {};
        QCOMPARE(g_api.SpellOpenMdr(en.id, unterminated.data(), nullptr, 0, 0, 1033, &m), moduleError);
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, unterminated.data()), SC_SEC(secModuleError | secUdrEntryTooLong));
        QCOMPARE(g_api.SpellAddUdr(en.id, udrIgnoreAlways, const_cast<char *>("two\nlines")), SC_SEC(secModuleError | secInvalidUdrEntry));
        // A user dictionary that cannot be created.
        SC_UDR udr = 0;
        QCOMPARE(g_api.SpellOpenUdr(en.id, const_cast<char *>("/nonexistent/dir/x.dic"), 1, udrIgnoreAlways, &udr, nullptr),
                 SC_SEC(secIOErrorUdr | secFileCreateError));
        // The longest text a buffer can hold, one word: unknown, no suggestions.
        const QByteArray huge(65535, 'q');
        const Result r = en.check(huge);
        QCOMPARE(r.status, scrsUnknownInputWord);
        QCOMPARE(r.len, 65535);
        QVERIFY(en.suggestions(huge).isEmpty());
        // A session with open dictionaries ends only when forced.
        QCOMPARE(g_api.SpellTerminate(en.id, 0), SC_SEC(secModuleError | secModuleNotTerminated));
    }

    void randomTextNeverBreaksTheChecker()
    {
        // Every option on, both spell states, bytes of every value including
        // zeros and the special characters; each answer must lie inside the text.
        Speller en(kEnglish, 1033, 0xfff);
        QRandomGenerator random(14);
        const QByteArray alphabet = QByteArray("aeiou tnsrl.,;:!?()[]{}$'-\x1e\x1f\x85\x96\x97\r\n\t0123456789ABCXIV", 61)
                                    + QByteArray(1, '\0') + "\xe4\xf6\xfc\xdf";
        for (int round = 0; round < 2000; ++round) {
            QByteArray text(random.bounded(200), '\0');
            for (char &c : text)
                c = random.bounded(4) ? alphabet.at(random.bounded(int(alphabet.size())))
                                      : char(random.bounded(256));
            const uint16_t state = uint16_t(random.bounded(4));
            const Result r = en.check(text, sccVerifyBuffer, state);
            QCOMPARE(r.sec, SC_SEC(0));
            if (r.status != scrsNoErrors) {
                QVERIFY2(r.pos + r.len <= text.size() && r.len > 0, text.toHex().constData());
            }
            if (round % 100 == 0)
                en.suggestions(text.left(20));
        }
    }

    void damagedDictionariesAreRefused()
    {
        QTemporaryDir dir;
        QFile aff("/usr/share/hunspell/en_US.aff");
        QVERIFY(aff.open(QIODevice::ReadOnly));
        const QByteArray affBytes = aff.readAll();
        QFile dic(kEnglish);
        QVERIFY(dic.open(QIODevice::ReadOnly));
        const QByteArray dicBytes = dic.readAll();
        auto open = [&](const QString &name, const QByteArray &d) {
            writeFile(dir.filePath(name + ".aff"), affBytes);
            writeFile(dir.filePath(name + ".dic"), d);
            SC_SPLID id = 0;
            SC_WSC wsc = {};
            g_api.SpellInit(&id, &wsc);
            SC_MDRS m = {};
            const QByteArray path = QFile::encodeName(dir.filePath(name + ".dic"));
            const SC_SEC sec = g_api.SpellOpenMdr(id, const_cast<char *>(path.constData()), nullptr, 0, 1, 1033, &m);
            SC_LID lid = 0;
            const SC_SEC verified = g_api.SpellVerifyMdr(const_cast<char *>(path.constData()), 1033, &lid);
            g_api.SpellTerminate(id, 1);
            return sec == verified ? sec : SC_SEC(0xffff);
        };
        QCOMPARE(open("empty", QByteArray()), SC_SEC(secIOErrorMdr | secInvalidMainDict));
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QCOMPARE(open("binary", binary), SC_SEC(secIOErrorMdr | secInvalidMainDict));
        // A count hunspell would size its table by, far beyond the file.
        QCOMPARE(open("count", "999999999\nword\n"), SC_SEC(secIOErrorMdr | secInvalidMainDict));
        writeFile(dir.filePath("noaff.dic"), dicBytes);
        SC_LID lid = 0;
        const QByteArray noAff = QFile::encodeName(dir.filePath("noaff.dic"));
        QCOMPARE(g_api.SpellVerifyMdr(const_cast<char *>(noAff.constData()), 1033, &lid), SC_SEC(secIOErrorMdr | secFileOpenError));
        // A truncated list is read as far as it goes.
        QCOMPARE(open("truncated", dicBytes.left(dicBytes.size() / 3 + 7)), SC_SEC(0));
    }

    void textTheDictionaryCannotHold()
    {
        // A Latin-1 dictionary fed Cyrillic text and Western text.
        QTemporaryDir dir;
        writeFile(dir.filePath("xx_XX.aff"), "SET ISO8859-1\nTRY abc\n");
        writeFile(dir.filePath("xx_XX.dic"), QByteArray("2\nhello\nw\xf6rld\n"));
        const QByteArray path = QFile::encodeName(dir.filePath("xx_XX.dic"));
        Speller western(path.constData(), 1031, 0);
        QVERIFY(western.id);
        QCOMPARE(western.check("hello w\xf6rld").status, scrsNoErrors);
        Speller russian(path.constData(), 1049, 0); // code page 1251
        QVERIFY(russian.id);
        const Result r = russian.check("hello \xe4\xee\xec");
        QCOMPARE(r.status, scrsUnknownInputWord);
        QCOMPARE(r.pos, 6);
        QVERIFY(russian.suggestions("\xe4\xee\xec").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProofingLibrary)
#include "tst_proofinglibrary.moc"
