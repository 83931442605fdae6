#include "IspellFixture.h"

#include "platform/CodePages.h"
#include "spell/ISpell.h"

#include <QtTest>

#include <memory>

class TestISpeller : public QObject
{
    Q_OBJECT

    IspellFixture m_system;

    std::unique_ptr<TISpeller> speller(TLanguage language, TSpellOptions options = 0, int timeoutMs = 10000)
    {
        TISpellerSetup setup;
        setup.registry = &m_system.registry;
        setup.timeoutMs = timeoutMs;
        setup.langOption = TLangOption::loEnglish;
        return std::make_unique<TISpeller>(language, options, nullptr, setup);
    }

    // Walks a text as the driver does: after each error the rest of the text.
    static QStringList errorsOf(TISpeller &s, const QString &text, int codePage = 1252)
    {
        QStringList found;
        int pos = 0;
        for (int guard = 0; guard < 1000; ++guard) {
            int errPos = -1, errLen = -1;
            const QByteArray buffer = CodePages::fromUnicode(codePage, QStringView(text).mid(pos));
            const TSpellReturnCode r = pos == 0 ? s.CheckBuffer(buffer, errPos, errLen)
                                                : s.CheckBufferContinued(buffer, errPos, errLen);
            if (r == TSpellReturnCode::srNoErrors)
                break;
            found << QStringLiteral("%1@%2").arg(text.mid(pos + errPos, errLen)).arg(pos + errPos);
            pos += errPos + errLen;
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_system.dir.isValid());
        m_system.installSystemDictionaries();
    }

    void suggestionsForAMisspelling()
    {
        auto s = speller(1033);
        QVERIFY2(!s->Failed(), qPrintable(s->FailureText()));
        QCOMPARE(s->Name(), QStringLiteral("English (United States)"));
        int errPos = -1, errLen = -1;
        QCOMPARE(s->CheckBuffer("This is a tset of it.", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(errPos, 10);
        QCOMPARE(errLen, 4);
        QCOMPARE(s->GetErrorWord(), QStringLiteral("tset"));
        QStringList list{"stale"};
        s->GetSuggestions(s->GetErrorWord(), list);
        QVERIFY2(list.contains("test") && list.contains("set"), qPrintable(list.join(',')));
        QCOMPARE(s->CheckBufferContinued(" of it.", errPos, errLen), TSpellReturnCode::srNoErrors);
    }

    void errorsOneAtATimeAndWordRules()
    {
        auto s = speller(1033);
        // An apostrophe belongs to the word, a hyphen and the 32 delimiters split.
        QCOMPARE(errorsOf(*s, "Helo wrld, don't well-knwn <b>txet</b>(frst)\tend"),
                 QStringList({"Helo@0", "wrld@5", "knwn@22", "txet@30", "frst@39"}));
        // A text that is not the rest of the last one is asked about anew.
        QCOMPARE(errorsOf(*s, "another sentance"), QStringList({"sentance@8"}));
        QCOMPARE(errorsOf(*s, "clean text only"), QStringList());
        // Many words in one paragraph, longer than one request line.
        QString many;
        for (int i = 0; i < 3000; ++i)
            many += i % 1000 == 999 ? QStringLiteral("mistakke ") : QStringLiteral("word ");
        QCOMPARE(errorsOf(*s, many), QStringList({"mistakke@4995", "mistakke@9999", "mistakke@15003"}));
    }

    void addThenRecheckPassesAndKeepsHome()
    {
        const QByteArray home = qgetenv("HOME");
        {
            auto s = speller(1033);
            int errPos = -1, errLen = -1;
            QCOMPARE(s->CheckBuffer("a zorkle and a blorf", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
            s->AddWord(s->GetErrorWord());
            // The driver checks the added word again.
            QCOMPARE(s->CheckBufferContinued("zorkle and a blorf", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
            QCOMPARE(s->GetErrorWord(), QStringLiteral("blorf"));
            s->IgnoreAlways("blorf");
            QCOMPARE(errorsOf(*s, "blorf zorkle"), QStringList());
            QVERIFY(!s->Failed());
        }
        QCOMPARE(qgetenv("HOME"), home);
        // Added words go to the personal dictionary in the installation, skipped ones do not.
        QFile personal(m_system.folder() + ".ispell_american");
        QVERIFY(personal.open(QIODevice::ReadOnly));
        const QByteArray words = personal.readAll();
        QVERIFY(words.contains("zorkle"));
        QVERIFY(!words.contains("blorf"));
    }

    void textsCheckedAheadFollowAddAndSkipAll()
    {
        auto s = speller(1033);
        int errPos = -1, errLen = -1;
        QCOMPARE(s->CheckBuffer("a grimbex here", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        // Added before the second process starts: it must learn the word too.
        s->AddWord(s->GetErrorWord());
        const QList<QByteArray> ahead = {"one grimbex", "two grimbex", "three blorf", "four grimbex blorf", "five qwzx"};
        for (const QByteArray &text : ahead)
            s->CheckAhead(text);
        QCOMPARE(s->CheckBufferContinued("grimbex here", errPos, errLen), TSpellReturnCode::srNoErrors);
        QCOMPARE(s->CheckBuffer("one grimbex", errPos, errLen), TSpellReturnCode::srNoErrors);
        QCOMPARE(s->CheckBuffer("two grimbex", errPos, errLen), TSpellReturnCode::srNoErrors);
        QCOMPARE(s->CheckBuffer("three blorf", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        s->IgnoreAlways(s->GetErrorWord());
        // Answered ahead before the word was skipped: asked again.
        QCOMPARE(s->CheckBuffer("four grimbex blorf", errPos, errLen), TSpellReturnCode::srNoErrors);
        QCOMPARE(s->CheckBuffer("five qwzx", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(errPos, 5);
        const QList<QByteArray> more = {"six blorf", "seven blorf grimbex", "eight blorf", "nine wrld blorf"};
        for (const QByteArray &text : more)
            s->CheckAhead(text);
        QCOMPARE(errorsOf(*s, "six blorf"), QStringList());
        QCOMPARE(errorsOf(*s, "seven blorf grimbex"), QStringList());
        QCOMPARE(errorsOf(*s, "eight blorf"), QStringList());
        // A text announced but never checked is simply passed.
        QCOMPARE(errorsOf(*s, "nine wrld blorf"), QStringList({"wrld@5"}));
        QVERIFY(!s->Failed());
    }

    void changeAllReturnsChangeAlways()
    {
        auto s = speller(1033);
        int errPos = -1, errLen = -1;
        QCOMPARE(s->CheckBuffer("wrld one, wrld two", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        s->ChangeAlways(s->GetErrorWord(), "world");
        QCOMPARE(s->CheckBufferContinued(" one, wrld two", errPos, errLen), TSpellReturnCode::srReturningChangeAlways);
        QCOMPARE(errPos, 6);
        QCOMPARE(errLen, 4);
        QCOMPARE(s->GetChangeWord(), QStringLiteral("world"));
        QCOMPARE(s->CheckBuffer("Wrld", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        QCOMPARE(s->GetChangeWord(), QString());
    }

    void capsAndDigitOptions_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<QStringList>("errors");
        const QString text = "NASAA wrld2 abc123def Wrld";
        QTest::newRow("none") << 0 << QStringList({"NASAA@0", "wrld2@6", "abc123def@12", "Wrld@22"});
        QTest::newRow("all caps") << int(spoIgnoreAllCaps) << QStringList({"wrld2@6", "abc123def@12", "Wrld@22"});
        QTest::newRow("digits") << int(spoIgnoreMixedDigits) << QStringList({"NASAA@0", "Wrld@22"});
        QTest::newRow("both") << int(DefaultSpellOptions) << QStringList({"Wrld@22"});
    }
    void capsAndDigitOptions()
    {
        QFETCH(int, options);
        QFETCH(QStringList, errors);
        auto s = speller(1033, TSpellOptions(options));
        QCOMPARE(errorsOf(*s, "NASAA wrld2 abc123def Wrld"), errors);
    }

    void germanUmlautsThroughTheCodePage()
    {
        auto s = speller(1031);
        QVERIFY2(!s->Failed(), qPrintable(s->FailureText()));
        const QString text = QString::fromUtf8("Die Stra\u00dfe, die K\u00fcche und die K\u00fccke gr\u00fc\u00dfen.");
        QCOMPARE(errorsOf(*s, text), QStringList({QString::fromUtf8("K\u00fccke@30")}));
        int errPos = -1, errLen = -1;
        QCOMPARE(s->CheckBuffer(CodePages::fromUnicode(1252, QString::fromUtf8("K\u00fccke")), errPos, errLen),
                 TSpellReturnCode::srUnknownInputWord);
        QStringList list;
        s->GetSuggestions(s->GetErrorWord(), list);
        QVERIFY2(list.contains(QString::fromUtf8("K\u00fcche")), qPrintable(list.join(',')));
    }

    void badTextNeitherCrashesNorDesynchronises()
    {
        auto s = speller(1033);
        // NUL, line ends and other controls are word characters that ispell never sees.
        const QString nulWord = QStringLiteral("xqz") + QChar(0) + QStringLiteral("here");
        QCOMPARE(errorsOf(*s, nulWord + QStringLiteral(" wrld line\nend\r\x01\x7f ")),
                 QStringList({nulWord + "@0", "wrld@9"}));
        // A 100,000-character word is no word; it passes unchecked.
        QCOMPARE(errorsOf(*s, QString(100000, u'x') + " wrld"), QStringList({"wrld@100001"}));
        // Characters the code page cannot hold arrive as '?', a delimiter.
        QCOMPARE(errorsOf(*s, QString::fromUtf8("\u03b1\u03b2\u03b3 wrld \u4e2d\u6587")), QStringList({"wrld@4"}));
        // Operation chars at a word start, empty buffers.
        int errPos = -1, errLen = -1;
        QCOMPARE(s->CheckBuffer("", errPos, errLen), TSpellReturnCode::srNoErrors);
        QCOMPARE(errorsOf(*s, "*+- ** !!! ^^ @@"), QStringList());
        s->AddWord("two words");
        s->AddWord(QString());
        QCOMPARE(errorsOf(*s, "still in step wrld"), QStringList({"wrld@14"}));
        QVERIFY(!s->Failed());
    }

    void missingInstallationOrDictionary()
    {
        TISpellerSetup setup;
        FileRegistry empty;
        setup.registry = &empty;
        TISpeller none(1033, 0, nullptr, setup);
        QVERIFY(none.Failed());
        QVERIFY2(none.FailureText().contains("not installed"), qPrintable(none.FailureText()));
        int errPos = -1, errLen = -1;
        QCOMPARE(none.CheckBuffer("wrld", errPos, errLen), TSpellReturnCode::srNoErrors);
        QStringList list{"x"};
        none.GetSuggestions("wrld", list);
        QVERIFY(list.isEmpty());
        none.AddWord("wrld");

        setup.registry = &m_system.registry;
        TISpeller unknown(1049, 0, nullptr, setup);
        QVERIFY(unknown.Failed());
    }

    void dictionaryWithoutLanguageIsFoundByName()
    {
        IspellFixture f;
        QVERIFY(f.writeIni("mine", "[My English]\nCmd=" + systemCommand("american").toUtf8() + "\nCharset=UTF-8\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        setup.dictName = "My English";
        TISpeller s(0, 0, nullptr, setup);
        QVERIFY2(!s.Failed(), qPrintable(s.FailureText()));
        QCOMPARE(s.Name(), QStringLiteral("My English"));
        QCOMPARE(errorsOf(s, "good wrds"), QStringList({"wrds@5"}));
    }

    void fakeIspellThatFails_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("failsAtStart");
        const QByteArray greet = "echo '@(#) fake ispell'\nread a\nread b\necho\n";
        QTest::newRow("exits at once") << QByteArray("exit 0\n") << true;
        QTest::newRow("no greeting") << QByteArray("exec sleep 20\n") << true;
        QTest::newRow("greets, then exits") << QByteArray("echo '@(#) fake'\nexit 0\n") << true;
        QTest::newRow("dies at a request") << greet + "read c\nexit 3\n" << false;
        QTest::newRow("hangs at a request") << greet + "read c\nexec sleep 20\n" << false;
        QTest::newRow("answer without end") << greet + "read c\necho '& wrld 1 3: world'\nexec sleep 20\n" << false;
    }
    void fakeIspellThatFails()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, failsAtStart);
        IspellFixture f;
        const QString program = f.writeScript("fake.sh", script);
        QVERIFY(f.writeIni("fake", "[Fake]\nLangNo=1033\nCmd=\"" + program.toUtf8() + "\" -a\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        setup.timeoutMs = 300;
        TISpeller s(1033, 0, nullptr, setup);
        QCOMPARE(s.Failed(), failsAtStart);
        int errPos = -1, errLen = -1;
        QCOMPARE(s.CheckBuffer("a wrld", errPos, errLen), TSpellReturnCode::srNoErrors);
        QVERIFY(s.Failed());
        QVERIFY2(s.FailureText().startsWith("Error loading Spell DLL \"" + program + "\" -a")
                     || s.FailureText().startsWith("Error loading Spell DLL " + program),
                 qPrintable(s.FailureText()));
        // Failed stays failed and quiet.
        QCOMPARE(s.CheckBuffer("a wrld", errPos, errLen), TSpellReturnCode::srNoErrors);
    }

    void missingProgramIsOneClearMessage()
    {
        IspellFixture f;
        QVERIFY(f.writeIni("gone", "[Gone]\nLangNo=1033\nCmd=%DirISpell%ispell/no-such-ispell -a\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        setup.texts = SpellerTexts::german();
        TISpeller s(1033, 0, nullptr, setup);
        QVERIFY(s.Failed());
        QVERIFY2(s.FailureText().startsWith("Fehler beim Laden der Spell DLL " + f.dir.path() + "/no-such-ispell -a"),
                 qPrintable(s.FailureText()));
    }

    void firstSectionOfALanguageWins()
    {
        IspellFixture f;
        const QByteArray real = systemCommand("american").toUtf8();
        QVERIFY(f.writeIni("a", "[Broken]\nLangNo=1033\nCmd=%DirISpell%ispell/missing -a\n"));
        QVERIFY(f.writeIni("b", "[Working]\nLangNo=1033\nCmd=" + real + "\nCharset=UTF-8\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        TISpeller first(1033, 0, nullptr, setup);
        QVERIFY(first.Failed());
        QFile::remove(f.dir.path() + "/a/ispell.ini");
        TISpeller second(1033, 0, nullptr, setup);
        QVERIFY2(!second.Failed(), qPrintable(second.FailureText()));
    }

    void sectionWithoutCommandNamesTheDictionary()
    {
        IspellFixture f;
        QVERIFY(f.writeIni("empty", "[Empty one]\nLangNo=0\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        setup.dictName = "Empty one";
        TISpeller s(0, 0, nullptr, setup);
        QVERIFY(s.Failed());
        QCOMPARE(s.FailureText(), QStringLiteral("Error loading Spell DLL Empty one"));
    }

    void answersOfAnyLengthStayInStep()
    {
        IspellFixture f;
        // Answers a first request with one long line, every later one with a short one.
        QByteArray longLine = "& wrld 300 3:";
        for (int i = 0; i < 300; ++i)
            longLine += " suggestion" + QByteArray::number(i) + (i < 299 ? "," : "");
        const QString program = f.writeScript("long.sh",
            "echo '@(#) fake'\nread a\nread b\necho\nread c\necho '" + longLine + "'\necho\n"
            "while read d; do echo '& helo 1 3: hello'; echo; done\n");
        QVERIFY(f.writeIni("long", "[Long]\nLangNo=1033\nCmd=" + program.toUtf8() + "\n"));
        TISpellerSetup setup;
        setup.registry = &f.registry;
        TISpeller s(1033, 0, nullptr, setup);
        int errPos = -1, errLen = -1;
        QCOMPARE(s.CheckBuffer("wrld", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        QStringList list;
        s.GetSuggestions(s.GetErrorWord(), list);
        QCOMPARE(list.size(), 300);
        QCOMPARE(list.last(), QStringLiteral("suggestion299"));
        QCOMPARE(s.CheckBuffer("helo", errPos, errLen), TSpellReturnCode::srUnknownInputWord);
        s.GetSuggestions(s.GetErrorWord(), list);
        QCOMPARE(list, QStringList({"hello"}));
    }

private:
    QString systemCommand(const QString &dictionary)
    {
        for (const auto &d : ISpellInstallation::findDictionaries(ISpellInstallation::systemSources()))
            if (d.name == dictionary)
                return d.cmd;
        return {};
    }
};

QTEST_GUILESS_MAIN(TestISpeller)
#include "tst_ispeller.moc"
