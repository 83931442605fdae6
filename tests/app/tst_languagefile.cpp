#include "platform/CodePages.h"
#include "app/LanguageFile.h"
#include "platform/TextSet.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestLanguageFile : public QObject
{
    Q_OBJECT

    static QString frenchPath() { return QStringLiteral(QUILMAR_PROGRAM_DIR "/Francais.lgtx"); }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Lines the program takes a text from.
    static bool isRead(int line)
    {
        return line >= TextSet::MenuCaption && line != 14 && line != 72 && line != 73
               && (line < 90 || line > 92) && (line < 184 || line > 187);
    }

    static QStringList placeholders(const QString &text)
    {
        static const QRegularExpression format(QStringLiteral("%[-+ 0#]*\\d*(?:\\.\\d+)?[sdxXuc]"));
        QStringList found;
        for (auto it = format.globalMatch(text); it.hasNext();)
            found << it.next().captured();
        return found;
    }

    static QByteArray languageFile(int lines, const QByteArray &header, const QByteArray &lineEnd)
    {
        QByteArray bytes = header + lineEnd;
        for (int i = 1; i < lines; ++i)
            bytes += "text " + QByteArray::number(i) + lineEnd;
        return bytes;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(CodePages::ansiCodePage(), 1252);
    }

    void frenchFileLoadsAndMapsToTheTextTable()
    {
        const LanguageFile::Result result = LanguageFile::read(frenchPath());
        QCOMPARE(result.status, LanguageFile::Status::Ok);
        QCOMPARE(result.lines.size(), TextSet::LanguageFileLines);

        const TextSet set = TextSet::fromLanguageFile(result.lines);
        QCOMPARE(set.kind(), TextSet::Kind::LanguageFile);
        QCOMPARE(set.line(TextSet::MenuCaption), QString::fromUtf8("&Français"));
        QCOMPARE(set.helpFile(), QStringLiteral("QuilmarEn.hlp"));
        QCOMPARE(set.codePageListFile(), QStringLiteral("CodePageListEn.ini"));
        QCOMPARE(set.readMeFile(), QStringLiteral("ReadMeEn.rtf"));

        // First and last of each run of lines, and the one line read twice.
        QCOMPARE(set.entry(Txt::LineCol), QStringLiteral("Ligne : %3d  Col : %3d"));
        QCOMPARE(set.entry(Txt::Paste), QStringLiteral("Coller"));
        QCOMPARE(set.entry(Txt::Delete), QStringLiteral("&Supprimer"));
        QCOMPARE(set.entry(Txt::SelectAll), QString::fromUtf8("Tout sélectionner"));
        QCOMPARE(set.entry(Txt::InitialCapsHint),
                 QString::fromUtf8("Met en majuscule l'initiale de chaque mot du texte sélectionné"));
        QCOMPARE(set.entry(Txt::Edit), QString::fromUtf8("Édition"));
        QCOMPARE(set.entry(Txt::SaveChanges), QStringLiteral("Enregistrer les modifications de %s ?"));
        QCOMPARE(set.entry(Txt::NotFoundStart) + "x" + set.entry(Txt::NotFoundEnd),
                 QString::fromUtf8("Impossible de trouver \"x\" dans l'éditeur."));
        QCOMPARE(set.entry(Txt::GoTo), QString::fromUtf8("Aller à"));
        QCOMPARE(set.line(TextSet::SpellLanguageCaption), QStringLiteral("Langue %s"));
        QCOMPARE(set.line(TextSet::MultiClipboardCaption), QStringLiteral("Presse-papiers multiple "));

        // The go-to hint is cut from the position text at ": %3d".
        QVERIFY(set.entry(Txt::LineCol).indexOf(QLatin1String(": %3d")) > 0);
        // The help and code page list files it names are shipped.
        QVERIFY(QFileInfo::exists(QStringLiteral(QUILMAR_PROGRAM_DIR "/") + set.helpFile()));
        QVERIFY(QFileInfo::exists(QStringLiteral(QUILMAR_PROGRAM_DIR "/") + set.codePageListFile()));
    }

    void frenchFileIsWrittenInCodePage1252()
    {
        const QByteArray bytes = readAll(frenchPath());
        QVERIFY(bytes.contains("Fran\xe7" "ais"));
        QVERIFY(!bytes.contains("\xc3\xa7")); // not UTF-8
        QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
        // Every character has its byte: the file decodes and encodes back unchanged.
        bool lossy = true;
        QCOMPARE(CodePages::fromUnicode(1252, CodePages::toUnicode(1252, bytes), &lossy), bytes);
        QVERIFY(!lossy);
    }

    void frenchTextsTranslateEveryEnglishText()
    {
        const QStringList french = LanguageFile::read(frenchPath()).lines;
        const TextSet english = TextSet::english();
        QCOMPARE(french.size(), TextSet::LanguageFileLines);
        int differing = 0;
        for (int i = TextSet::MenuCaption; i < TextSet::LanguageFileLines; ++i) {
            if (!isRead(i))
                continue;
            const QString en = english.line(i);
            const QString fr = french.at(i);
            const QByteArray where = "line " + QByteArray::number(i) + ": " + fr.toUtf8();
            QVERIFY2(en.isEmpty() == fr.isEmpty(), where.constData());
            QVERIFY2(placeholders(fr) == placeholders(en), where.constData());
            QVERIFY2(fr.count(u'|') == en.count(u'|'), where.constData());
            // Leading and trailing blanks are part of texts that are joined.
            QVERIFY2(fr.startsWith(u' ') == en.startsWith(u' '), where.constData());
            QVERIFY2(fr.endsWith(u' ') == en.endsWith(u' ') || en.endsWith(u'\n'), where.constData());
            if (fr != en)
                ++differing;
        }
        // A handful of words are the same in both languages (Format, Options, Image).
        QVERIFY2(differing > 170, QByteArray::number(differing).constData());
    }

    void filesThatAreNoLanguageFileAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");

        const QByteArray header = TextSet::LanguageFileHeader.toLatin1();
        const int ok = int(LanguageFile::Status::Ok);
        const int invalid = int(LanguageFile::Status::Invalid);
        QTest::newRow("217 lines, CR LF") << languageFile(217, header, "\r\n") << ok;
        QTest::newRow("217 lines, LF only") << languageFile(217, header, "\n") << ok;
        QTest::newRow("217 lines, CR only") << languageFile(217, header, "\r") << ok;
        QTest::newRow("no end after the last line") << languageFile(217, header, "\r\n").chopped(2) << ok;
        QTest::newRow("216 lines") << languageFile(216, header, "\r\n") << invalid;
        QTest::newRow("218 lines") << languageFile(218, header, "\r\n") << invalid;
        QTest::newRow("an empty line after the last") << languageFile(217, header, "\r\n") + "\r\n" << invalid;
        QTest::newRow("header with a trailing blank") << languageFile(217, header + ' ', "\r\n") << invalid;
        QTest::newRow("header in other case") << languageFile(217, header.toLower(), "\r\n") << invalid;
        QTest::newRow("header after a byte-order mark")
            << "\xef\xbb\xbf" + languageFile(217, header, "\r\n") << invalid;
        QTest::newRow("empty") << QByteArray() << invalid;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 37 + 11) % 256);
        QTest::newRow("binary") << binary << invalid;
        QByteArray overlong = languageFile(217, header, "\r\n");
        overlong.insert(header.size() + 2, QByteArray(2 * 1024 * 1024, 'x'));
        QTest::newRow("overlong line") << overlong << invalid;
    }

    void filesThatAreNoLanguageFileAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = dir.filePath("test.lgtx");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const LanguageFile::Result result = LanguageFile::read(path);
        QCOMPARE(int(result.status), status);
        if (result.status == LanguageFile::Status::Ok)
            QCOMPARE(TextSet::fromLanguageFile(result.lines).entry(Txt::LineCol), QStringLiteral("text 93"));
    }

    void missingFileAndFolderAreMissing()
    {
        QTemporaryDir dir;
        QCOMPARE(LanguageFile::read(dir.filePath("none.lgtx")).status, LanguageFile::Status::Missing);
        QCOMPARE(LanguageFile::read(dir.path()).status, LanguageFile::Status::Missing);
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
