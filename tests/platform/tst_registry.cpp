#include "platform/Registry.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestRegistry : public QObject
{
    Q_OBJECT

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void keysAndNamesIgnoreCaseAndStrayBackslashes()
    {
        FileRegistry r;
        r.setValue("HKEY_CLASSES_ROOT\\.txt", QString(), "txtfile");
        r.setValue("HKEY_CLASSES_ROOT\\txtfile\\DefaultIcon", "", "%SystemRoot%\\system32\\shell32.dll,3");
        r.setValue("hkey_classes_root\\TXTFILE\\shell\\Open\\command", "", "notepad.exe \"%1\"");
        r.setValue("HKEY_CLASSES_ROOT\\.txt", "Content Type", "text/plain");

        QCOMPARE(r.value("\\HKEY_CLASSES_ROOT\\.TXT\\"), std::optional<QString>("txtfile"));
        QCOMPARE(r.value("HKEY_CLASSES_ROOT\\\\.txt", "content type"), std::optional<QString>("text/plain"));
        QCOMPARE(r.value("HKEY_CLASSES_ROOT\\.txt", "Missing"), std::nullopt);
        QCOMPARE(r.value("HKEY_CLASSES_ROOT\\.rtf"), std::nullopt);
        // The key above stored keys exists, though it holds no values.
        QVERIFY(r.keyExists("HKEY_CLASSES_ROOT"));
        QVERIFY(r.keyExists("hkey_classes_root\\txtfile\\shell"));
        QVERIFY(!r.keyExists("HKEY_CLASSES_ROOT\\txtfil"));
        QVERIFY(!r.keyExists(""));
        QCOMPARE(r.value("HKEY_CLASSES_ROOT\\txtfile\\shell"), std::nullopt);

        // The first spelling stays.
        QCOMPARE(r.subKeys("HKEY_CLASSES_ROOT"), QStringList({".txt", "txtfile"}));
        QCOMPARE(r.subKeys("HKEY_CLASSES_ROOT\\TxtFile"), QStringList({"DefaultIcon", "shell"}));
        QCOMPARE(r.subKeys(""), QStringList({"HKEY_CLASSES_ROOT"}));
        QCOMPARE(r.valueNames("HKEY_CLASSES_ROOT\\.txt"), QStringList({"", "Content Type"}));

        r.setValue("HKEY_CLASSES_ROOT\\.TXT", "CONTENT TYPE", "text/x-plain");
        QCOMPARE(r.valueNames("HKEY_CLASSES_ROOT\\.txt"), QStringList({"", "Content Type"}));
        QCOMPARE(r.value("HKEY_CLASSES_ROOT\\.txt", "Content Type"), std::optional<QString>("text/x-plain"));
    }

    void removeKeyTakesTheSubtreeButNotItsNeighbours()
    {
        FileRegistry r;
        r.setValue("Root\\ab", "", "1");
        r.setValue("Root\\ab\\c", "", "2");
        r.setValue("Root\\ab c", "", "3");
        r.setValue("Root\\abc", "", "4");
        QCOMPARE(r.subKeys("root"), QStringList({"ab", "ab c", "abc"}));
        r.removeKey("ROOT\\AB");
        QVERIFY(!r.keyExists("Root\\ab"));
        QVERIFY(!r.keyExists("Root\\ab\\c"));
        QCOMPARE(r.value("Root\\ab c"), std::optional<QString>("3"));
        QCOMPARE(r.value("Root\\abc"), std::optional<QString>("4"));
    }

    void everyStringSurvivesSaveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("registry.txt");
        const QString tricky = QString::fromUtf8("a\\b \"q\" ; = ] [x] %41 \\u0041 ü € 😀")
                               + QChar(0) + QChar(1) + u'\t' + u'\r' + u'\n' + QChar(0x7f)
                               + QChar(0xd800) + u'x' + QChar(0xdc00) + u' ';
        const QStringList keys = {
            "HKEY_CLASSES_ROOT\\.txt",
            QString::fromUtf8("HKEY_CURRENT_USER\\Software\\Jörg's [tools] 100%"),
            QString("Odd\\") + QChar(0x0a) + "line" + QChar(0xdfff) + "\\  spaced  ",
        };
        FileRegistry r(path);
        for (const QString &k : keys) {
            r.setValue(k, "", tricky);
            r.setValue(k, tricky, "named");
            r.setValue(k, "empty", "");
        }
        QVERIFY(r.save());

        const QByteArray bytes = readAll(path);
        QVERIFY(bytes.contains("\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n"));
        QVERIFY(bytes.contains("\r\n\"empty\"=\"\"\r\n"));
        QVERIFY(QString::fromUtf8(bytes).toUtf8() == bytes); // valid UTF-8 throughout

        FileRegistry back;
        QVERIFY(back.load(path));
        QCOMPARE(back.skippedLines(), 0);
        QCOMPARE(back.subKeys(""), r.subKeys(""));
        for (const QString &k : keys) {
            QVERIFY2(back.keyExists(k), qPrintable(k));
            QCOMPARE(back.value(k), std::optional<QString>(tricky));
            QCOMPARE(back.value(k, tricky), std::optional<QString>("named"));
            QCOMPARE(back.value(k, "empty"), std::optional<QString>(""));
        }
        QCOMPARE(back.serialize(), bytes);
    }

    void damagedFilesAreReadAsFarAsTheyMakeSense_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // null: no such value
        QTest::addColumn<int>("skipped");

        QTest::newRow("value before any key") << QByteArray("@=\"lost\"\n[K]\n@=\"kept\"\n") << "K" << "" << "kept" << 1;
        QTest::newRow("unterminated quote") << QByteArray("[K]\n\"n\"=\"open to the end\n") << "K" << "n" << "open to the end" << 0;
        QTest::newRow("unquoted value") << QByteArray("[K]\n@= txtfile  \r\n") << "K" << "" << "txtfile" << 0;
        QTest::newRow("unquoted name") << QByteArray("[K]\nPath=C:\\ispell\n") << "K" << "path" << "C:\\ispell" << 0;
        QTest::newRow("unknown and short escapes") << QByteArray("[K]\n@=\"\\q\\u12\\\"\n") << "K" << "" << "qu12\"" << 0;
        QTest::newRow("line without =") << QByteArray("[K]\nnonsense\n@=\"v\"\n") << "K" << "" << "v" << 1;
        QTest::newRow("empty key") << QByteArray("[]\n@=\"x\"\n[K]\n@=\"v\"\n") << "K" << "" << "v" << 2;
        QTest::newRow("unclosed key") << QByteArray("[K\n@=\"v\"\n") << "K" << "" << "v" << 0;
        QTest::newRow("bom and comments") << QByteArray("\xEF\xBB\xBF; c\n# c\nREGEDIT4\n[K]\n@=\"v\"\n") << "K" << "" << "v" << 0;
        QTest::newRow("truncated") << QByteArray("[K]\n@=\"v\"\n[L]\n\"na") << "K" << "" << "v" << 1;
        QTest::newRow("bad utf-8") << QByteArray("[K]\n@=\"a\xff\xfe" "b\"\n") << "K" << "" << QString::fromUtf8("a\uFFFD\uFFFDb") << 0;
        QTest::newRow("nul bytes") << QByteArray("[K]\n@=\"a\0b\"\n", 12) << "K" << "" << QString("a") + QChar(0) + "b" << 0;
        QTest::newRow("later value wins") << QByteArray("[K]\n@=\"1\"\n[k]\n@=\"2\"\n") << "K" << "" << "2" << 0;
    }
    void damagedFilesAreReadAsFarAsTheyMakeSense()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(int, skipped);
        FileRegistry r;
        r.parse(content);
        QCOMPARE(r.value(key, name), expected.isNull() ? std::nullopt : std::optional<QString>(expected));
        QCOMPARE(r.skippedLines(), skipped);
    }

    void binaryAndHugeFilesLoadWithoutTrouble()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("registry.txt");
        QByteArray noise(256 * 1024, '\0');
        QRandomGenerator rng(7);
        for (char &c : noise)
            c = char(rng.bounded(256));
        write(path, noise);
        FileRegistry r;
        QVERIFY(r.load(path));
        QVERIFY(r.skippedLines() > 0);

        // Beyond the size limit only the beginning is read.
        QByteArray huge = "[K]\n@=\"first\"\n";
        huge += QByteArray(17 * 1024 * 1024, ' ');
        huge += "\n[L]\n@=\"never\"\n";
        write(path, huge);
        QVERIFY(r.load(path));
        QCOMPARE(r.value("K"), std::optional<QString>("first"));
        QVERIFY(!r.keyExists("L"));
        QCOMPARE(r.skippedLines(), 1);
    }

    void missingFilesAndFailedSaves()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("registry.txt");
        FileRegistry r;
        r.setValue("K", "", "old contents");
        QString error;
        QVERIFY(!r.load(path, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!r.keyExists("K")); // a failed load leaves nothing behind
        QCOMPARE(r.path(), path);
        r.setValue("K", "", "v");
        QVERIFY(r.save(&error));
        QCOMPARE(FileRegistry(path).value("K"), std::optional<QString>("v"));

        // A shorter store replaces the file whole.
        r.removeKey("K");
        QVERIFY(r.save());
        QVERIFY(!readAll(path).contains("[K]"));

        FileRegistry nowhere(dir.filePath("no such folder/registry.txt"));
        nowhere.setValue("K", "", "v");
        error.clear();
        QVERIFY(!nowhere.save(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!FileRegistry().save(&error));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
