#include "platform/CodePages.h"
#include "platform/TextSet.h"
#include "spell/ConvTable.h"
#include "spell/Langs.h"
#include "spell/SpellerTexts.h"

#include <QtTest>

#include <stdexcept>

class TestSpellSupport : public QObject
{
    Q_OBJECT

private slots:
    void builtInSpellerTexts()
    {
        const SpellerTexts en = SpellerTexts::english();
        QCOMPARE(en.texts().size(), SpellerTexts::Count);
        QCOMPARE(en.text(SpellerTexts::Variants), QStringLiteral("&Variants"));
        QCOMPARE(en.text(SpellerTexts::Add), QStringLiteral("&Add"));
        QCOMPARE(en.text(SpellerTexts::Cancel), QStringLiteral("Ca&ncel"));
        QCOMPARE(en.text(SpellerTexts::UndoEdit), QStringLiteral("&Undo Edit"));
        QCOMPARE(en.text(SpellerTexts::RepeatedWord), QStringLiteral("Repeated word"));
        QCOMPARE(en.text(SpellerTexts::MessageTitle), QStringLiteral("Message"));
        QCOMPARE(en.text(SpellerTexts::Start), QStringLiteral("Start"));
        const SpellerTexts de = SpellerTexts::german();
        QCOMPARE(de.text(SpellerTexts::Delete), QString::fromUtf8("&L\u00f6schen"));
        QCOMPARE(de.text(SpellerTexts::Cancel), QStringLiteral("&Abbrechen"));
        QCOMPARE(de.text(SpellerTexts::UndoEdit), QString::fromUtf8("&R\u00fcckg\u00e4ngig"));
        QCOMPARE(de.text(SpellerTexts::MissingSpace), QString::fromUtf8("Fehlende Zwischenr\u00e4ume"));
        QCOMPARE(de.text(SpellerTexts::LanguageNotInstalled), QStringLiteral("Sprache %s ist nicht installiert"));
    }

    void languageFileOrder()
    {
        QStringList lines;
        for (int i = 0; i < TextSet::LanguageFileLines; ++i)
            lines << QStringLiteral("L%1").arg(i);
        const SpellerTexts other = SpellerTexts::fromLanguageLines(lines);
        QStringList expected;
        for (int i = 18; i <= 24; ++i)
            expected << QStringLiteral("L%1").arg(i);
        expected << "L62";
        for (int i = 26; i <= 43; ++i)
            expected << QStringLiteral("L%1").arg(i);
        QCOMPARE(other.texts(), expected);
        // A cut-off list keeps the English texts it does not reach.
        const SpellerTexts cut = SpellerTexts::fromLanguageLines(lines.mid(0, 30));
        QCOMPARE(cut.text(SpellerTexts::UnknownWord), QStringLiteral("L27"));
        QCOMPARE(cut.text(SpellerTexts::Start), QStringLiteral("Start"));
        QCOMPARE(cut.text(SpellerTexts::Cancel), QStringLiteral("Ca&ncel"));

        QCOMPARE(SpellerTexts::forUserLanguage(TUserLanguage::ulOther, other).texts(), expected);
        QCOMPARE(SpellerTexts::forUserLanguage(TUserLanguage::ulOwn, other).texts(), SpellerTexts::german().texts());
        QCOMPARE(SpellerTexts::forUserLanguage(TUserLanguage::ulEnglish, other).texts(), SpellerTexts().texts());
    }

    void tableListKeepsKeysSorted()
    {
        TTableList list;
        list.Add("b", "2");
        list.Add("a", "1");
        list.Add("c", "3");
        QCOMPARE(list.Add("b", "again"), 1);
        QCOMPARE(list.Count(), 3);
        QCOMPARE(list.Value(1), QStringLiteral("2"));
        int index = -1;
        QVERIFY(list.Find("c", index));
        QCOMPARE(index, 2);
        QVERIFY(!list.Find("bb", index));
        QCOMPARE(index, 2);
        QVERIFY(!list.Find("z", index));
        QCOMPARE(index, 3);
        list.SetDuplicates(true);
        QCOMPARE(list.Add("b", "second"), 2);
        QVERIFY(list.Find("b", index));
        QCOMPARE(index, 1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.Key(4));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.Value(-1));

        TTableList unsorted;
        unsorted.SetSorted(false);
        unsorted.Add("z", "");
        unsorted.Add("a", "");
        QCOMPARE(unsorted.Key(0), QStringLiteral("z"));
        unsorted.SetSorted(true);
        QCOMPARE(unsorted.Key(0), QStringLiteral("a"));
    }

    void convertText()
    {
        TConvTable table;
        QCOMPARE(ConvertText("unchanged \u00e4", table), QStringLiteral("unchanged \u00e4"));
        table.ToProcess.Add("a", "A");
        table.ToProcess.Add("ab", "[ab]");
        table.ToProcess.Add("abc", "<abc>");
        table.ToProcess.Add("x", "xa"); // the inserted value is not converted again
        QCOMPARE(ConvertText("abcd abd xa", table), QStringLiteral("<abc>d [ab]d xaA"));
        TConvTable utf8;
        utf8.Name = "utf-8";
        const QString encoded = ConvertText(QString::fromUtf8("a\u00e4\u20ac"), utf8);
        QCOMPARE(encoded.toLatin1(), QByteArray("a\xc3\xa4\xe2\x82\xac"));
    }

    void charsetNames()
    {
        QCOMPARE(CharsetOfName("KOI8-R"), 204);
        QCOMPARE(CodePageOfName("koi8-r"), 1251);
        QCOMPARE(CodePageOfName("iso-8859-2"), 1250);
        QCOMPARE(CharsetOfName("UTF-8"), 1);
        QCOMPARE(CodePageOfName("UTF-8"), 1200);
        QCOMPARE(CodePageOfName("macroman"), 2);
        QCOMPARE(CharsetOfName("iso-8859-15"), 1);
        QCOMPARE(CodePageOfName("iso-8859-15"), CodePages::ansiCodePage());
    }

    void languages()
    {
        QCOMPARE(GetLanguageName(1031, TLangOption::loEnglish), QStringLiteral("German (Germany)"));
        QCOMPARE(GetLanguageName(1031, TLangOption::loNative), QStringLiteral("Deutsch (Deutschland)"));
        QCOMPARE(GetLanguageName(2057, TLangOption::loAbbrev), QStringLiteral("ENG"));
        QCOMPARE(GetLanguageName(0, TLangOption::loEnglish), QString());
        QCOMPARE(LanguageCodePage(1033), 1252);
        QCOMPARE(LanguageCodePage(1049), 1251);
        QCOMPARE(LanguageCodePage(1045), 1250);
        QCOMPARE(LanguageCodePage(0x081a), 1250); // Serbian, Latin
        QCOMPARE(LanguageCodePage(0x0c1a), 1251); // Serbian, Cyrillic
        QCOMPARE(LanguageCodePage(2052), 936);
        QCOMPARE(LanguageCodePage(0), CodePages::ansiCodePage());
        QCOMPARE(LanguageCharset(1049), 204);
        QCOMPARE(LanguageOfLocaleName("de_DE.UTF-8"), TLanguage(1031));
        QCOMPARE(LanguageOfLocaleName("en-GB"), TLanguage(2057));
        QCOMPARE(LanguageOfLocaleName(""), TLanguage(0));
    }
};

QTEST_GUILESS_MAIN(TestSpellSupport)
#include "tst_spellsupport.moc"
