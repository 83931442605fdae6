#include "app/CodePageList.h"
#include "platform/CodePages.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCodePageList : public QObject
{
    Q_OBJECT

    static QStringList texts(const CodePageList &list)
    {
        QStringList result;
        for (const CodePageList::Entry &e : list.entries())
            result << e.text;
        return result;
    }
    static QList<int> codePages(const CodePageList &list)
    {
        QList<int> result;
        for (const CodePageList::Entry &e : list.entries())
            result << e.codePage;
        return result;
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void fillsEntriesFromTheListLines_data()
    {
        QTest::addColumn<QList<int>>("installed");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("expectedTexts");
        QTest::addColumn<int>("expectedSelected");

        const QList<int> installed{850, 1252, 20866, 932};
        QTest::newRow("no list: bare numbers")
            << installed << 1252 << QStringList()
            << QStringList{"850", "1252", "20866", "932"} << 1;
        QTest::newRow("platform order, not the file's")
            << installed << 932
            << QStringList{"932=Japanese (Shift-JIS)", "20866=Cyrillic (KOI8-R)",
                           "1252=Western European (Windows)"}
            << QStringList{"850", "Western European (Windows) (1252)", "Cyrillic (KOI8-R) (20866)",
                           "Japanese (Shift-JIS) (932)"}
            << 3;
        QTest::newRow("wanted not installed: no selection")
            << installed << 1251 << QStringList{"1251=Cyrillic (Windows)"}
            << QStringList{"850", "1252", "20866", "932"} << -1;
        QTest::newRow("lines without = or number, not installed or too large are ignored")
            << installed << 850
            << QStringList{"1252 Western", "=Nothing", "", "1251=Cyrillic (Windows)",
                           "99999999999999999999=Huge", "-1=Negative", "=", "1252"}
            << QStringList{"850", "1252", "20866", "932"} << 0;
        QTest::newRow("the number must be written as the platform writes it")
            << installed << 850 << QStringList{" 1252=Padded", "01252=Zero", "+1252=Sign", "1252 =Blank"}
            << QStringList{"850", "1252", "20866", "932"} << 0;
        QTest::newRow("duplicate numbers: the first line wins")
            << installed << 850 << QStringList{"1252=First", "1252=Second"}
            << QStringList{"850", "First (1252)", "20866", "932"} << 0;
        QTest::newRow("a line naming an entry's description matches nothing")
            << installed << 850
            << QStringList{"932=Japanese", "Japanese (932)=Other", "1252=Western"}
            << QStringList{"850", "Western (1252)", "20866", "Japanese (932)"} << 0;
        QTest::newRow("description up to the end, = included, may be empty")
            << installed << 850 << QStringList{"1252=a=b", "850="}
            << QStringList{" (850)", "a=b (1252)", "20866", "932"} << 0;
        QTest::newRow("descriptions are cut to 45 characters")
            << installed << 850
            << QStringList{"1252=" + QString(1000, u'x'), "850=" + QString(45, u'y'), "932=" + QString(46, u'z')}
            << QStringList{QString(45, u'y') + " (850)", QString(45, u'x') + " (1252)", "20866",
                           QString(45, u'z') + " (932)"}
            << 0;
        QTest::newRow("a cut never splits a surrogate pair")
            << QList<int>{1252} << 1252 << QStringList{"1252=" + QString(44, u'a') + QString::fromUtf8("😀b")}
            << QStringList{QString(44, u'a') + " (1252)"} << 0;
        QTest::newRow("nothing installed")
            << QList<int>() << 1252 << QStringList{"1252=Western"} << QStringList() << -1;
    }

    void fillsEntriesFromTheListLines()
    {
        QFETCH(QList<int>, installed);
        QFETCH(int, wanted);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, expectedTexts);
        QFETCH(int, expectedSelected);

        const CodePageList list(installed, wanted, lines);
        QCOMPARE(texts(list), expectedTexts);
        // Every entry carries its own code page, described or not.
        QCOMPARE(codePages(list), installed);
        QCOMPARE(list.selectedIndex(), expectedSelected);
    }

    void fileIsReadInTheGivenCodePage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.ini");
        write(path, "1252=Western \xe9\r\n1251=Cyrillic \xe9\r\n");
        const QStringList western = CodePageList::readFile(path, 1252);
        QCOMPARE(western, QStringList({QString::fromUtf8("1252=Western é"), QString::fromUtf8("1251=Cyrillic é")}));
        const QStringList cyrillic = CodePageList::readFile(path, 1251);
        QCOMPARE(cyrillic.at(1), QString::fromUtf8("1251=Cyrillic й"));
        QCOMPARE(CodePageList::readFile(dir.filePath("missing.ini"), 1252), QStringList());
        QCOMPARE(CodePageList::readFile(dir.path(), 1252), QStringList());
    }

    void binaryJunkNeverBreaksTheList()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("junk.ini");
        QByteArray junk(64 * 1024, '\0');
        QRandomGenerator generator(4711);
        for (char &c : junk)
            c = char(generator.bounded(256));
        junk += "\n1252=Still read\n";
        write(path, junk);
        const CodePageList list({850, 1252}, 1252, CodePageList::readFile(path, 1252));
        QCOMPARE(list.entries().size(), 2);
        QCOMPARE(list.entries().at(1).text, QStringLiteral("Still read (1252)"));
        QCOMPARE(codePages(list), QList<int>({850, 1252}));
        QCOMPARE(list.selectedIndex(), 1);
    }

    void hugeFileIsReadOnlyToItsLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("huge.ini");
        QByteArray bytes = "1252=Western European (Windows)\r\n";
        const QByteArray filler = "# " + QByteArray(98, 'f') + "\r\n";
        while (bytes.size() + filler.size() < CodePageList::MaximumFileBytes - 10)
            bytes += filler;
        // This line straddles the limit and must not be read half.
        bytes += "850=" + QByteArray(200, 'd') + "\r\n";
        while (bytes.size() < 3 * CodePageList::MaximumFileBytes)
            bytes += filler;
        bytes += "932=Beyond the limit\r\n";
        write(path, bytes);

        const QStringList lines = CodePageList::readFile(path, 1252);
        QVERIFY(!lines.isEmpty());
        QVERIFY(!lines.last().startsWith(QLatin1String("850=")));
        const CodePageList list({850, 1252, 932}, 1252, lines);
        QCOMPARE(texts(list), QStringList({"850", "Western European (Windows) (1252)", "932"}));
    }

    void shippedListDescribesEveryInstalledCodePage()
    {
        const QString path = QStringLiteral(QUILMAR_PROGRAM_DIR "/CodePageListEn.ini");
        const QStringList lines = CodePageList::readFile(path, 1252);
        QVERIFY2(!lines.isEmpty(), qPrintable(path));

        QHash<QString, QString> described;
        for (const QString &line : lines) {
            const qsizetype eq = line.indexOf(u'=');
            QVERIFY2(eq > 0, qPrintable(line));
            QVERIFY2(!described.contains(line.left(eq)), qPrintable("twice: " + line));
            const QString description = line.mid(eq + 1);
            QVERIFY2(!description.isEmpty() && description.size() <= CodePageList::DescriptionLength,
                     qPrintable(line));
            described.insert(line.left(eq), description);
        }

        const QList<int> installed = CodePages::installedCodePages();
        QVERIFY(installed.contains(1252));
        const CodePageList list(installed, 1252, lines);
        for (qsizetype i = 0; i < installed.size(); ++i) {
            const QString number = QString::number(installed.at(i));
            QVERIFY2(described.contains(number), qPrintable("no description for " + number));
            QCOMPARE(list.entries().at(i).text, described.value(number) + " (" + number + ")");
        }
        QCOMPARE(list.entries().at(list.selectedIndex()).text, QStringLiteral("Western European (Windows) (1252)"));
        QCOMPARE(described.value("20866"), QStringLiteral("Cyrillic (KOI8-R)"));
        QCOMPARE(described.value("932"), QStringLiteral("Japanese (Shift-JIS)"));
    }
};

QTEST_GUILESS_MAIN(TestCodePageList)
#include "tst_codepagelist.moc"
