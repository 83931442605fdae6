// TCSAPISpeller against the real proofing library with Debian's English and
// German dictionaries, and against misbehaving libraries.
#include "spell/CSAPISpeller.h"
#include "spell/OfficeLanguages.h"

#include "platform/Registry.h"
#include "platform/TextSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString Hunspell = QStringLiteral("/usr/share/hunspell");

QByteArray cp1252(QStringView s)
{
    QByteArray out;
    for (QChar c : s)
        out += char(c.unicode() < 256 ? c.unicode() : '?');
    return out;
}

void copyDictionary(const QString &name, const QString &folder)
{
    QVERIFY(QFile::copy(Hunspell + u'/' + name + ".dic", folder + u'/' + name + ".dic"));
    QVERIFY(QFile::copy(Hunspell + u'/' + name + ".aff", folder + u'/' + name + ".aff"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestCSAPISpeller : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FileRegistry m_registry;
    TCSAPISpellerContext m_context;

    std::unique_ptr<TCSAPISpeller> speller(TLanguage language, TSpellOptions options = DefaultSpellOptions)
    {
        return std::make_unique<TCSAPISpeller>(language, options, nullptr, m_context);
    }
    // A registry with one language whose engine and dictionary are given.
    void registerLanguage(TLanguage language, const QString &engine, const QString &dictionary)
    {
        m_registry.setValue(OfficeLanguages::languageKey(language), "Engine", engine);
        m_registry.setValue(OfficeLanguages::languageKey(language), "Dictionary", dictionary);
    }
    QString loadError(TLanguage language)
    {
        try {
            speller(language);
        } catch (const ESpellError &e) {
            return e.message();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(Hunspell + "/en_US.dic") || !QFile::exists(Hunspell + "/de_DE.dic"))
            QSKIP("hunspell-en-us and hunspell-de-de are not installed");
    }

    void init()
    {
        m_registry = FileRegistry();
        QVERIFY(OfficeLanguages::registerHunspellDictionaries(m_registry, QUILMAR_PROOFING_LIBRARY, {Hunspell}));
        m_context = TCSAPISpellerContext();
        m_context.registry = &m_registry;
        m_context.customDict = m_dir.filePath("CUSTOM.DIC");
        m_context.userDictionaryFolder = m_dir.filePath("user");
        QFile::remove(m_context.customDict);
    }

    void englishAndGermanWordsAndSuggestions()
    {
        auto en = speller(1033);
        QVERIFY(!en->Failed());
        int pos = -1, len = -1;
        QCOMPARE(en->CheckBuffer("This is a smple text.", pos, len), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(pos, 10);
        QCOMPARE(len, 5);
        QCOMPARE(en->GetErrorWord(), QStringLiteral("smple"));
        QStringList list;
        en->GetSuggestions("smple", list);
        QVERIFY(list.contains("simple"));
        QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), list.size());
        QCOMPARE(en->CheckBufferContinued(" and more text", pos, len), TSpellReturnCode::srNoErrors);

        auto de = speller(1031);
        const QByteArray text = cp1252(u"Die Straße ist schön, aber der Weg ist läng.");
        QCOMPARE(de->CheckBuffer(text, pos, len), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(de->GetErrorWord(), QStringLiteral(u"läng"));
        QCOMPARE(pos, 39);
        de->GetSuggestions(QStringLiteral(u"Strase"), list);
        QVERIFY(list.contains(QStringLiteral(u"Straße")));
    }

    void addPersistsAndChangeAllComesBack()
    {
        {
            auto en = speller(1033);
            int pos, len;
            QCOMPARE(en->CheckBuffer("Quilmarish text", pos, len), TSpellReturnCode::srUnknownInputWord);
            en->AddWord(en->GetErrorWord());
            QCOMPARE(en->CheckBufferContinued("Quilmarish text", pos, len), TSpellReturnCode::srNoErrors);
            en->ChangeAlways("teh", "the");
            QCOMPARE(en->CheckBuffer("Fix teh bug", pos, len), TSpellReturnCode::srReturningChangeAlways);
            QCOMPARE(en->GetChangeWord(), QStringLiteral("the"));
            QCOMPARE(pos, 4);
            QCOMPARE(len, 3);
            en->IgnoreAlways("qwzx");
            QCOMPARE(en->CheckBuffer("A qwzx here", pos, len), TSpellReturnCode::srNoErrors);
        }
        // A new speller reads the word back; the session lists are gone.
        auto again = speller(1033);
        int pos, len;
        QCOMPARE(again->CheckBuffer("Quilmarish text", pos, len), TSpellReturnCode::srNoErrors);
        QCOMPARE(again->CheckBuffer("A qwzx here", pos, len), TSpellReturnCode::srUnknownInputWord);
        QFile f(m_context.customDict);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("Quilmarish\n"));
    }

    void repeatedWordAndExtraSpaces()
    {
        auto en = speller(1033, DefaultSpellOptions | spoFindRepeatWord | spoFindExtraSpaces);
        int pos, len;
        QCOMPARE(en->CheckBuffer("It is is fine", pos, len), TSpellReturnCode::srRepeatWord);
        QCOMPARE(pos, 3);
        QCOMPARE(len, 2);
        // Delete takes the word and the space after it; the check goes on there.
        QCOMPARE(en->CheckBufferContinued("is fine", pos, len), TSpellReturnCode::srNoErrors);
        QCOMPARE(en->CheckBuffer("One   two", pos, len), TSpellReturnCode::srExtraSpaces);
        QCOMPARE(pos, 3);
        QCOMPARE(len, 4);
    }

    void longParagraphsAreCheckedInPieces()
    {
        auto en = speller(1033);
        // The misspelt word straddles the 16-bit length; it is found whole.
        QByteArray text;
        while (text.size() < 65530)
            text += "word ";
        const int at = int(text.size());
        text += "smple and more words to the end";
        int pos = -1, len = -1;
        QCOMPARE(en->CheckBuffer(text, pos, len), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(pos, at);
        QCOMPARE(len, 5);
        QCOMPARE(en->CheckBuffer(text.left(at) + "simple" + text.mid(at + 5), pos, len), TSpellReturnCode::srNoErrors);
        // One word longer than any piece: an error, no crash.
        QCOMPARE(en->CheckBuffer(QByteArray(100000, 'q'), pos, len), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(pos, 0);
        QCOMPARE(len, 65535);
    }

    void registryFallbacks()
    {
        // Austrian German has no key of its own: the German key serves.
        QVERIFY(!m_registry.keyExists(OfficeLanguages::languageKey(3079)));
        auto at = speller(3079);
        QVERIFY(!at->Failed());
        QCOMPARE(at->DictionaryPath(), Hunspell + "/de_DE.dic");
        // A language without any key fails quietly.
        auto none = speller(1049);
        QVERIFY(none->Failed());
        int pos, len;
        QCOMPARE(none->CheckBuffer("\xe4\xee\xec", pos, len), TSpellReturnCode::srNoErrors);
        QVERIFY(none->GetErrorWord().isEmpty());

        // With CustomDict the registered user dictionary is not read.
        m_registry.setValue(OfficeLanguages::customDictionariesKey(), "1", m_dir.filePath("registered.dic"));
        QCOMPARE(speller(1033)->UserDictionaryPath(), m_context.customDict);
        m_context.customDict.clear();
        QCOMPARE(speller(1033)->UserDictionaryPath(), m_dir.filePath("registered.dic"));
        // The host's choice wins over both.
        m_context.onGetDictionary = [this](TLanguage language, QString &dict) {
            if (language == 1031)
                dict = m_dir.filePath("german.dic");
        };
        QCOMPARE(speller(1031)->UserDictionaryPath(), m_dir.filePath("german.dic"));
    }

    void userDictionaryBesideTheMainOneOrPerUser()
    {
        m_context.customDict.clear();
        QTemporaryDir own;
        copyDictionary("en_US", own.path());
        registerLanguage(1033, QUILMAR_PROOFING_LIBRARY, own.filePath("en_US.dic"));
        // No custom dictionaries key: CUSTOM.DIC beside a writable main dictionary, registered.
        QCOMPARE(speller(1033)->UserDictionaryPath(), own.filePath("CUSTOM.DIC"));
        QCOMPARE(m_registry.value(OfficeLanguages::customDictionariesKey(), "1"), own.filePath("CUSTOM.DIC"));
        QVERIFY(QFile::exists(own.filePath("CUSTOM.DIC")));

        // A folder this user cannot write (a system folder): a per-user file
        // instead, registered, and words added there stay.
        m_registry.removeKey(OfficeLanguages::customDictionariesKey());
        QTemporaryDir system;
        copyDictionary("en_US", system.path());
        QVERIFY(QDir(system.path()).mkdir("CUSTOM.DIC")); // not writable as a file, even for root
        QVERIFY(QFile::setPermissions(system.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        registerLanguage(1033, QUILMAR_PROOFING_LIBRARY, system.filePath("en_US.dic"));
        const QString perUser = QDir(m_context.userDictionaryFolder).filePath("CUSTOM.DIC");
        {
            auto en = speller(1033);
            QCOMPARE(en->UserDictionaryPath(), perUser);
            en->AddWord("Quilmarish");
        }
        QCOMPARE(m_registry.value(OfficeLanguages::customDictionariesKey(), "1"), perUser);
        int pos, len;
        QCOMPARE(speller(1033)->CheckBuffer("Quilmarish", pos, len), TSpellReturnCode::srNoErrors);
        // A registered dictionary in such a folder (left by an earlier run) moves too.
        m_registry.setValue(OfficeLanguages::customDictionariesKey(), "1", system.filePath("CUSTOM.DIC"));
        QCOMPARE(speller(1033)->UserDictionaryPath(), perUser);
        QFile::setPermissions(system.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void badLibrariesAndDictionaries()
    {
        const QString missing = m_dir.filePath("nothing.so");
        registerLanguage(1033, missing, Hunspell + "/en_US.dic");
        QCOMPARE(loadError(1033), QStringLiteral("Error loading Spell DLL %1").arg(missing));
        const QString text = m_dir.filePath("text.so");
        writeFile(text, "not a library\n");
        registerLanguage(1033, text, Hunspell + "/en_US.dic");
        QCOMPARE(loadError(1033), QStringLiteral("Error loading Spell DLL %1").arg(text));
        registerLanguage(1033, QUILMAR_PARTIAL_SPELLER, Hunspell + "/en_US.dic");
        QCOMPARE(loadError(1033), QStringLiteral("Error loading Spell DLL %1").arg(QUILMAR_PARTIAL_SPELLER));
        m_context.setTexts(TextSet::german());
        QCOMPARE(loadError(1033), QStringLiteral("Fehler beim Laden der Spell DLL %1").arg(QUILMAR_PARTIAL_SPELLER));
        m_context.setTexts(TextSet::english());

        // Damaged main dictionaries: the library's code as a spelling error.
        for (const QByteArray &content : {QByteArray(), QByteArray("\x01\x02\x00\xff binary", 12)}) {
            writeFile(m_dir.filePath("bad.aff"), "SET UTF-8\n");
            writeFile(m_dir.filePath("bad.dic"), content);
            registerLanguage(1033, QUILMAR_PROOFING_LIBRARY, m_dir.filePath("bad.dic"));
            QCOMPARE(loadError(1033), QStringLiteral("Spelling error No %1").arg(secIOErrorMdr | secInvalidMainDict));
        }
        // A user dictionary that cannot be created.
        registerLanguage(1033, QUILMAR_PROOFING_LIBRARY, Hunspell + "/en_US.dic");
        m_context.customDict = "/nonexistent/folder/CUSTOM.DIC";
        QCOMPARE(loadError(1033), QStringLiteral("Spelling error No %1").arg(secIOErrorUdr | secFileCreateError));
    }

    void libraryErrorsBecomeSpellErrors()
    {
        registerLanguage(1033, QUILMAR_FAKE_SPELLER, Hunspell + "/en_US.dic");
        auto fake = speller(1033);
        QVERIFY(!fake->Failed());
        int pos, len;
        try {
            fake->CheckBuffer("fail here", pos, len);
            QFAIL("no error raised");
        } catch (const ESpellError &e) {
            QCOMPARE(e.message(), QStringLiteral("Spelling error No %1").arg(secModuleError | secInvalidSCC));
        }
        QVERIFY_THROWS_EXCEPTION(ESpellError, fake->AddWord("word"));
        // Positions outside the text are kept inside it.
        QCOMPARE(fake->CheckBuffer("wild", pos, len), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(pos, 2);
        QCOMPARE(len, 2);
        // A suggestion given twice is listed once; a library without end is left.
        QStringList list;
        fake->GetSuggestions("twice", list);
        QCOMPARE(list, QStringList{"same"});
        fake->GetSuggestions("forever", list);
        QCOMPARE(list, QStringList{"same"});
        // Closing the user dictionary reports 0x8102: accepted.
        fake->Close();
        QVERIFY(fake->Failed());
    }
};

QTEST_GUILESS_MAIN(TestCSAPISpeller)
#include "tst_csapispeller.moc"
