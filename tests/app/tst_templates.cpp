#include <QDir>
#include <QtTest>

// The templates File > New offers, as they are copied beside the program.
class TestTemplates : public QObject
{
    Q_OBJECT

    static QString folder() { return QStringLiteral(QUILMAR_PROGRAM_DIR "/templates"); }

    static QByteArray readAll(const QString &name)
    {
        QFile f(folder() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void folderHoldsEveryTemplate()
    {
        const QStringList names = QDir(folder()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(names, QStringList({"Letter.rtf", "Note.txt", "Page.html", "ReadMe.txt"}));
    }

    void letterIsWellFormedRichText()
    {
        const QByteArray data = readAll("Letter.rtf");
        QVERIFY(data.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        // Groups are balanced and the outer group closes at the very end.
        int depth = 0;
        qsizetype closedAt = -1;
        for (qsizetype i = 0; i < data.size(); ++i) {
            const char c = data.at(i);
            if (c == '\\') {
                ++i; // an escaped brace or backslash is text
            } else if (c == '{') {
                QVERIFY2(closedAt < 0, "text after the outer group");
                ++depth;
            } else if (c == '}') {
                QVERIFY2(depth > 0, "a group closes that was never opened");
                if (--depth == 0)
                    closedAt = i;
            } else if (uchar(c) >= 0x80) {
                QFAIL("8-bit characters belong in \\'hh escapes");
            }
        }
        QCOMPARE(depth, 0);
        QCOMPARE(data.mid(closedAt + 1).trimmed(), QByteArray());
        QVERIFY(data.contains("Dear Sir or Madam,\\par"));
    }

    void plainTemplatesAreAnsiText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("note") << "Note.txt";
        QTest::newRow("page") << "Page.html";
    }

    void plainTemplatesAreAnsiText()
    {
        QFETCH(QString, name);
        const QByteArray data = readAll(name);
        QVERIFY(!data.isEmpty());
        // No mark and no byte beyond ASCII: they read the same in any ANSI code page.
        for (char c : data)
            QVERIFY2(uchar(c) < 0x80, qPrintable(name));
    }

    void readMeIsUtf8WithMark()
    {
        const QByteArray data = readAll("ReadMe.txt");
        QVERIFY(data.startsWith("\xef\xbb\xbf"));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(data);
        QVERIFY(!decoder.hasError());
        QVERIFY(text.contains(QString::fromUtf8("ж 中文")));
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
