#include "platform/CodePages.h"

#include <QtTest>

class TestCodePages : public QObject
{
    Q_OBJECT

private slots:
    void installedListIsAscendingAndComplete()
    {
        const QList<int> list = CodePages::installedCodePages();
        QVERIFY(std::is_sorted(list.begin(), list.end()));
        QCOMPARE(std::adjacent_find(list.begin(), list.end()), list.end());
        for (int cp : {437, 850, 866, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255,
                       1256, 1257, 1258, 874, 10000, 20866, 28591, 28605, 54936, 65000, 65001})
            QVERIFY2(list.contains(cp), qPrintable(QString::number(cp)));
        QCOMPARE(list.last(), 65001);
        QVERIFY(!CodePages::isInstalled(12345));
    }

    void singleBytePagesRoundTripEveryByte()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        for (int cp : CodePages::installedCodePages()) {
            if (cp == 65000 || cp == 65001 || cp >= 50000 || cp == 932 || cp == 936 || cp == 949
                || cp == 950 || cp == 20932 || cp == 20936)
                continue;
            const QString text = CodePages::toUnicode(cp, all);
            if (text.size() != 256)
                continue; // a multi-byte page not excluded above
            bool lossy = true;
            const QByteArray back = CodePages::fromUnicode(cp, text, &lossy);
            QCOMPARE(back.size(), 256);
            // Bytes that decode to a character another byte also decodes to
            // (a few EBCDIC pages) cannot come back; all others must.
            for (int i = 0; i < 256; ++i)
                if (back.at(i) != all.at(i) && text.count(text.at(i)) == 1)
                    QFAIL(qPrintable(QStringLiteral("code page %1, byte %2 -> U+%3 -> %4")
                                         .arg(cp).arg(i, 2, 16).arg(text.at(i).unicode(), 4, 16)
                                         .arg(uchar(i < back.size() ? back.at(i) : 0), 2, 16)));
        }
    }

    void knownMappings_data()
    {
        QTest::addColumn<int>("cp");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("1252") << 1252 << QString::fromUtf8("é€ü") << QByteArray("\xE9\x80\xFC");
        QTest::newRow("1251") << 1251 << QString::fromUtf8("Жё") << QByteArray("\xC6\xB8");
        QTest::newRow("1253") << 1253 << QString::fromUtf8("π") << QByteArray("\xF0");
        QTest::newRow("437") << 437 << QString::fromUtf8("é░") << QByteArray("\x82\xB0");
        QTest::newRow("850") << 850 << QString::fromUtf8("ß") << QByteArray("\xE1");
        QTest::newRow("866") << 866 << QString::fromUtf8("Я") << QByteArray("\x9F");
        QTest::newRow("koi8-r") << 20866 << QString::fromUtf8("Привет")
                                << QByteArray("\xF0\xD2\xC9\xD7\xC5\xD4");
        QTest::newRow("932") << 932 << QString::fromUtf8("日本") << QByteArray("\x93\xFA\x96\x7B");
        QTest::newRow("utf-8") << 65001 << QString::fromUtf8("π") << QByteArray("\xCF\x80");
    }

    void knownMappings()
    {
        QFETCH(int, cp);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        bool lossy = true;
        QCOMPARE(CodePages::fromUnicode(cp, text, &lossy), bytes);
        QVERIFY(!lossy);
        QCOMPARE(CodePages::toUnicode(cp, bytes), text);
    }

    void unmappableCharactersBecomeQuestionMarks()
    {
        bool lossy = false;
        QCOMPARE(CodePages::fromUnicode(1252, u"a\u03C0b", &lossy), QByteArray("a?b"));
        QVERIFY(lossy);
        // A character beyond 16 bits is one default character, not two.
        QCOMPARE(CodePages::fromUnicode(1252, QString::fromUtf8("x😀y"), &lossy), QByteArray("x?y"));
        QCOMPARE(CodePages::fromUnicode(932, QString::fromUtf8("x😀y"), &lossy), QByteArray("x?y"));
        QVERIFY(lossy);
        QVERIFY(!CodePages::canEncode(1251, u"\u00E9"));
        QVERIFY(CodePages::canEncode(1250, u"\u010D"));
    }

    void zeroBytesDoNotStopConversion()
    {
        const QByteArray bytes("a\0b\0c", 5);
        QCOMPARE(CodePages::toUnicode(1251, bytes).size(), 5);
        QCOMPARE(CodePages::toUnicode(932, bytes).size(), 5);
        QCOMPARE(CodePages::fromUnicode(1251, QString::fromLatin1(bytes)), bytes);
    }

    void ansiCodePageFollowsEnvironmentAndOverride()
    {
        QCOMPARE(CodePages::ansiCodePage(), 1252); // QUILMAR_ACP from the test environment
        CodePages::setAnsiCodePageOverride(1251);
        QCOMPARE(CodePages::ansiCodePage(), 1251);
        CodePages::setAnsiCodePageOverride(0);
        QCOMPARE(CodePages::ansiCodePage(), 1252);
    }

    void unknownCodePageFallsBackToAnsi()
    {
        QCOMPARE(CodePages::toUnicode(4711, QByteArray("\xE9")), QString(QChar(0xE9)));
    }
};

QTEST_GUILESS_MAIN(TestCodePages)
#include "tst_codepages.moc"
