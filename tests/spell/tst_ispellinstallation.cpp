#include "IspellFixture.h"

#include "spell/ISpell.h"

#include <QtTest>

using ISpellInstallation::Dictionary;

class TestISpellInstallation : public QObject
{
    Q_OBJECT

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void sectionsAsTheProfileFunctionsReadThem()
    {
        const QByteArray ini = "; comment\nLangNo=7\n"
                               "[First]\nlangno = 1033 \nCMD=\"ispell -a\"\nCmd=second wins not\nCharset=UTF-8\n"
                               "[]\nLangNo=12ab\nFlag=custom\nSurrogate=x\n"
                               "[Third\nLangNo=99999\n"
                               "[first]\nCharset=ignored\n";
        const QList<ISpellIni::Entry> e = ISpellIni::parse(ini, "folder");
        QCOMPARE(e.size(), 3);
        QCOMPARE(e[0].name, QStringLiteral("First"));
        QCOMPARE(e[0].langNo, TLanguage(1033));
        QCOMPARE(e[0].cmd, QStringLiteral("ispell -a"));
        QCOMPARE(e[0].charset, QStringLiteral("UTF-8"));
        QCOMPARE(e[0].surrogate, QStringLiteral("-"));
        QCOMPARE(e[0].flag, QStringLiteral("folder"));
        // An empty name stands for the folder; a value that is no number is 0.
        QCOMPARE(e[1].name, QStringLiteral("folder"));
        QCOMPARE(e[1].langNo, TLanguage(0));
        QCOMPARE(e[1].flag, QStringLiteral("custom"));
        QCOMPARE(e[1].surrogate, QStringLiteral("x"));
        QCOMPARE(e[1].cmd, QString());
        QCOMPARE(e[2].name, QStringLiteral("Third"));
        QCOMPARE(e[2].langNo, TLanguage(0));
    }

    void damagedFilesAreReadAsFarAsTheyGo()
    {
        QVERIFY(ISpellIni::parse(QByteArray(), "f").isEmpty());
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary += char((i * 7919) % 256);
        ISpellIni::parse(binary, "f"); // no crash is the point
        const QByteArray nul = QByteArray("[Nul]\nCmd=ispell") + '\0' + QByteArray("rest\n");
        QCOMPARE(ISpellIni::parse(nul, "f").value(0).cmd, QStringLiteral("ispell"));
        // Huge: sections past the limit are not read.
        QByteArray huge = "[Start]\nLangNo=1031\n";
        huge += QByteArray(ISpellIni::MaximumFileBytes, ';') + "\n[Late]\n";
        const auto e = ISpellIni::parse(huge, "f");
        QCOMPARE(e.size(), 1);
        QCOMPARE(e[0].langNo, TLanguage(1031));
    }

    void scanOrderAndPlaceholder()
    {
        IspellFixture f;
        QVERIFY(f.writeIni("b", "[B one]\nLangNo=1031\n[B two]\nLangNo=1031\n"));
        QVERIFY(f.writeIni("a", "[A]\nLangNo=1031\nCmd=%DirISpell%ispell/bin/ispell -d %DIRISPELL%ispell/a\n"));
        QVERIFY(QDir(f.dir.path()).mkpath("c-empty"));
        QVERIFY(QDir(f.dir.path()).mkpath("d/ispell.ini")); // cannot be read as a file
        QFile stray(f.dir.path() + "/plain-file");
        QVERIFY(stray.open(QIODevice::WriteOnly));
        const auto e = ISpellIni::scan(f.folder());
        QStringList names;
        for (const auto &entry : e)
            names << entry.name;
        QCOMPARE(names, QStringList({"A", "B one", "B two"}));
        QCOMPARE(ISpellIni::expandCommand(e[0].cmd, "/opt/is/"),
                 QStringLiteral("/opt/is/bin/ispell -d /opt/is/a"));
        // A folder whose name holds the placeholder is put in once.
        QCOMPARE(ISpellIni::expandCommand("%DirISpell%ispell/x", "/t/%DirISpell%ispell"),
                 QStringLiteral("/t/%DirISpell%ispell/x"));
        QVERIFY(ISpellIni::scan(f.dir.path() + "/missing/").isEmpty());
    }

    void refreshCreatesKeepsAndRemoves()
    {
        IspellFixture f;
        FileRegistry registry;
        const QString root = f.dir.path() + "/ispell";
        QList<Dictionary> dicts{{"american", 1033, "UTF-8", "/usr/bin/ispell -a -d american", "American English"},
                                {"ngerman", 1031, "UTF-8", "/usr/bin/ispell -a -d ngerman -Tutf8", QString()}};
        auto r = ISpellInstallation::refresh(registry, root, dicts);
        QVERIFY(r.registryChanged);
        QVERIFY(r.problems.isEmpty());
        QCOMPARE(ISpellIni::installationFolder(registry), std::optional<QString>(root + '/'));
        auto e = ISpellIni::scan(r.folder);
        QCOMPARE(e.size(), 2);
        QCOMPARE(e[0].name, QStringLiteral("american"));
        QCOMPARE(e[0].langNo, TLanguage(1033));
        QCOMPARE(e[1].cmd, QStringLiteral("/usr/bin/ispell -a -d ngerman -Tutf8"));

        // A user's own folder and a file whose marker the user removed stay;
        // a file of a dictionary that is gone is removed; a changed one is rewritten.
        QVERIFY(QDir(root).mkpath("mine"));
        QFile mine(root + "/mine/ispell.ini");
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("[Mine]\nLangNo=0\n");
        mine.close();
        QFile edited(root + "/american/ispell.ini");
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write("[american]\nLangNo=1033\nCmd=my own\n");
        edited.close();
        dicts[1].cmd = "/usr/local/bin/ispell -a -d ngerman";
        dicts.append({"gone", 0, QString(), "x", QString()});
        ISpellInstallation::refresh(registry, root, dicts);
        QVERIFY(QFileInfo::exists(root + "/gone/ispell.ini"));
        dicts.removeLast();
        r = ISpellInstallation::refresh(registry, "/elsewhere", dicts);
        QVERIFY(!r.registryChanged);
        QVERIFY(!QFileInfo::exists(root + "/gone/ispell.ini"));
        QCOMPARE(readAll(root + "/mine/ispell.ini"), QByteArray("[Mine]\nLangNo=0\n"));
        QCOMPARE(readAll(root + "/american/ispell.ini"), QByteArray("[american]\nLangNo=1033\nCmd=my own\n"));
        QVERIFY(readAll(root + "/ngerman/ispell.ini").contains("Cmd=/usr/local/bin/ispell -a -d ngerman\n"));
    }

    void refreshReportsWhatItCannotWrite()
    {
        IspellFixture f;
        QFile blocker(f.dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        FileRegistry registry;
        const auto r = ISpellInstallation::refresh(registry, f.dir.path() + "/file/ispell",
                                                   {{"american", 1033, "UTF-8", "x", QString()}});
        QCOMPARE(r.problems.size(), 1);
    }

    void dictionariesOfThisMachine()
    {
        const auto sources = ISpellInstallation::systemSources();
        QVERIFY2(!sources.ispellProgram.isEmpty(), "ispell is installed by scripts/install-deps.sh");
        QMap<QString, Dictionary> found;
        for (const Dictionary &d : ISpellInstallation::findDictionaries(sources))
            found.insert(d.name, d);
        const QList<QPair<QString, int>> expected{{"american", 1033}, {"british", 2057}, {"ngerman", 1031}, {"francais", 1036}};
        for (const auto &[name, langNo] : expected) {
            QVERIFY2(found.contains(name), qPrintable(name));
            QCOMPARE(found[name].langNo, TLanguage(langNo));
            QVERIFY(found[name].cmd.startsWith(sources.ispellProgram + " -a "));
            QVERIFY(found[name].cmd.contains("-d " + name));
        }
        QCOMPARE(found["ngerman"].charset, QStringLiteral("UTF-8"));
        QVERIFY(found["ngerman"].cmd.endsWith("-Tutf8"));
        QCOMPARE(found["francais"].charset, QStringLiteral("iso-8859-1"));
    }

    void listedLanguages()
    {
        IspellFixture f;
        QVERIFY(f.writeIni("a", "[American]\nLangNo=1033\nCmd=x\nCharset=UTF-8\n[Klingon]\nCmd=y\n"));
        QVERIFY(f.writeIni("b", "[German]\nLangNo=1031\nFlag=de\n"));
        TSpellList list;
        list.append(TSpellListItem{"office first", {}});
        QCOMPARE(ListISpellLanguages(list, TLangOption::loEnglish, f.registry), 4);
        QCOMPARE(list[1].text, QStringLiteral("English (United States)"));
        QCOMPARE(list[1].obj.Cmd, QStringLiteral("x"));
        QCOMPARE(list[1].obj.SpellerType, quint8(1));
        QCOMPARE(list[2].text, QStringLiteral("Klingon"));
        QCOMPARE(list[2].obj.LangNo, TLanguage(0));
        QCOMPARE(list[2].obj.Flag, QStringLiteral("a"));
        QCOMPARE(list[3].text, QStringLiteral("German (Germany)"));
        TSpellList native;
        ListISpellLanguages(native, TLangOption::loNative, f.registry);
        QCOMPARE(native[2].text, QStringLiteral("Deutsch (Deutschland)"));
    }
};

QTEST_GUILESS_MAIN(TestISpellInstallation)
#include "tst_ispellinstallation.moc"
