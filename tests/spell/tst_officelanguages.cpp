// Registration of the installed hunspell dictionaries as office languages.
#include "spell/OfficeLanguages.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestOfficeLanguages : public QObject
{
    Q_OBJECT

    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1\nword\n");
    }
    static QString engineOf(const Registry &r, TLanguage language)
    {
        return r.value(OfficeLanguages::languageKey(language), "Engine").value_or(QString());
    }
    static QString dictionaryOf(const Registry &r, TLanguage language)
    {
        return r.value(OfficeLanguages::languageKey(language), "Dictionary").value_or(QString());
    }

private slots:
    void localesMapToLanguageIdentifiers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("language");
        QTest::newRow("German") << "/x/de_DE.dic" << 1031;
        QTest::newRow("US English") << "en_US.dic" << 1033;
        QTest::newRow("British English") << "/usr/share/hunspell/en_GB.dic" << 2057;
        QTest::newRow("bare French") << "fr.dic" << 1036;
        QTest::newRow("Swiss French") << "fr_CH.dic" << 4108;
        QTest::newRow("no such locale") << "xx_YY.dic" << 0;
        QTest::newRow("no name") << ".dic" << 0;
    }
    void localesMapToLanguageIdentifiers()
    {
        QFETCH(QString, file);
        QFETCH(int, language);
        QCOMPARE(int(OfficeLanguages::languageOfDictionary(file)), language);
    }

    void registersWhatIsInstalledAndOnlyThat()
    {
        QTemporaryDir dir;
        for (const char *name : {"de_BE", "de_DE", "fr", "fr_FR", "xx_YY"}) {
            touch(dir.filePath(QString::fromLatin1(name) + ".dic"));
            touch(dir.filePath(QString::fromLatin1(name) + ".aff"));
        }
        touch(dir.filePath("en_US.dic")); // without its .aff: not usable
        const QString engine = "/opt/quilmar/libquilmarproof.so";
        FileRegistry r;
        // Another engine whose files exist keeps its key.
        r.setValue(OfficeLanguages::languageKey(1031), "Engine", dir.filePath("de_DE.aff"));
        r.setValue(OfficeLanguages::languageKey(1031), "Dictionary", dir.filePath("de_DE.dic"));
        // Ours, for a dictionary that has gone, is removed.
        r.setValue(OfficeLanguages::languageKey(1049), "Engine", "/old/place/libquilmarproof.so");
        r.setValue(OfficeLanguages::languageKey(1049), "Dictionary", "/gone/ru_RU.dic");

        QVERIFY(OfficeLanguages::registerHunspellDictionaries(r, engine, {dir.path(), "/nonexistent"}));
        QCOMPARE(engineOf(r, 1036), engine);
        QCOMPARE(dictionaryOf(r, 1036), dir.filePath("fr_FR.dic"));
        QCOMPARE(engineOf(r, 1031), dir.filePath("de_DE.aff"));
        FileRegistry fresh;
        QVERIFY(OfficeLanguages::registerHunspellDictionaries(fresh, engine, {dir.path()}));
        QCOMPARE(dictionaryOf(fresh, 1031), dir.filePath("de_DE.dic"));
        QVERIFY(!r.keyExists(OfficeLanguages::languageKey(1033)));
        QVERIFY(!r.keyExists(OfficeLanguages::spellingKey() + "\\1049"));
        QCOMPARE(r.subKeys(OfficeLanguages::spellingKey()), QStringList({"1031", "1036"}));
        // Nothing to do a second time.
        QVERIFY(!OfficeLanguages::registerHunspellDictionaries(r, engine, {dir.path()}));
        // The program moved: our keys follow it.
        QVERIFY(OfficeLanguages::registerHunspellDictionaries(r, "/new/libquilmarproof.so", {dir.path()}));
        QCOMPARE(engineOf(r, 1036), QStringLiteral("/new/libquilmarproof.so"));
    }
};

QTEST_GUILESS_MAIN(TestOfficeLanguages)
#include "tst_officelanguages.moc"
