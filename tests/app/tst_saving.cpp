#include "platform/CodePages.h"
#include "FrameFixture.h"

#include <QComboBox>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// Save, Save as and Save selected item in every coding, with backups, the
// loss warning and failures that must leave the old file alone.
class TestSaving : public QObject
{
    Q_OBJECT

    FrameFixture *fx = nullptr;

    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    void selectCodePage(int cp)
    {
        QComboBox *box = fx->frame->codePageComboBox();
        box->setCurrentIndex(box->findData(cp));
        QCOMPARE(fx->frame->selectedCodePage(), cp);
    }

    TEditForm *newDocument(const QString &text)
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->Editor()->setSelText(text);
        return form;
    }

    void saveAs(TEditForm *form, const QString &path, int coding)
    {
        fx->ui.fileAnswers.enqueue({true, {path}, coding});
        form->Saveas1Click();
    }

private slots:
    void init()
    {
        fx = new FrameFixture;
        fx->start();
    }

    void cleanup()
    {
        delete fx;
    }

    void writtenForms_data()
    {
        QTest::addColumn<int>("coding");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("A\u00e9\r\nz");
        QTest::newRow("utf-8") << 7 << "u.txt" << QByteArray("\xEF\xBB\xBF" "A\xC3\xA9\r\nz");
        QTest::newRow("utf-16 le") << 8 << "l.txt" << QByteArray("\xFF\xFE" "A\0\xE9\0\r\0\n\0z\0", 12);
        QTest::newRow("utf-16 be") << 9 << "b.dat" << QByteArray("\xFE\xFF\0A\0\xE9\0\r\0\n\0z", 12);
        QTest::newRow("ansi") << 2 << "a.txt" << QByteArray("A\xE9\r\nz");
        QTest::newRow("html") << 4 << "p.html" << QByteArray("A\xE9\r\nz");
        QTest::newRow("rich text named .txt is plain") << 1 << "r.txt" << QByteArray("A\xE9\r\nz");
        QTest::newRow("all files named .rtf is rich") << 3 << "x.rtf" << QByteArray("{\\rtf1");
    }

    void writtenForms()
    {
        QFETCH(int, coding);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        TEditForm *form = newDocument(QStringLiteral("A\u00e9\r\nz"));
        const QString path = fx->path(name);
        saveAs(form, path, coding);
        const QByteArray written = read(path);
        if (bytes.startsWith("{\\rtf1"))
            QVERIFY(written.startsWith(bytes));
        else
            QCOMPARE(written, bytes);
        QCOMPARE(form->FileName(), path);
        QCOMPARE(form->FileCoding(), coding);
        QVERIFY(!form->Editor()->Modified());
        QVERIFY(!form->isSaveEnabled());
        QVERIFY(!form->Editor()->CanUndo());
        QCOMPARE(fx->frame->settings().line(14), path);
        QVERIFY(fx->ui.messageTexts().isEmpty());
    }

    void rtfNameInCapitalsIsPlainUnlessRichText()
    {
        TEditForm *form = newDocument(QStringLiteral("notes"));
        saveAs(form, fx->path(QStringLiteral("notes.RTF")), 2);
        QCOMPARE(read(fx->path(QStringLiteral("notes.RTF"))), QByteArray("notes"));
        saveAs(form, fx->path(QStringLiteral("rich.RTF")), 1);
        QVERIFY(read(fx->path(QStringLiteral("rich.RTF"))).startsWith("{\\rtf"));
    }

    void roundTripsThroughEveryCodingAndCodePage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::newRow("1250") << 1250 << QStringLiteral("Příliš žluťoučký kůň");
        QTest::newRow("1251") << 1251 << QStringLiteral("Съешь же ещё этих булок");
        QTest::newRow("1252") << 1252 << QStringLiteral("Voilà l'été, Straße €");
        QTest::newRow("1253") << 1253 << QStringLiteral("Ξεσκεπάζω την ψυχοφθόρα");
        QTest::newRow("437") << 437 << QStringLiteral("ÇüéâäàåçêëèïîìÄÅ ░▒▓│");
        QTest::newRow("850") << 850 << QStringLiteral("ÀÁÂÃÄÅÆ ßðÞ µ");
        QTest::newRow("866") << 866 << QStringLiteral("Привет, мир ░▒▓");
        QTest::newRow("koi8-r") << 20866 << QStringLiteral("Широкая электрификация");
        QTest::newRow("932") << 932 << QStringLiteral("日本語のテキスト、カナ");
    }

    void roundTripsThroughEveryCodingAndCodePage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, text);
        selectCodePage(codePage);
        const QString body = text + QStringLiteral("\r\n") + text.left(5) + QStringLiteral("\r\n");
        const QByteArray expected8 = CodePages::fromUnicode(codePage, body);
        for (int coding = 1; coding <= 9; ++coding) {
            TEditForm *form = newDocument(body);
            const QString path = fx->path(QStringLiteral("rt-%1-%2.%3").arg(codePage).arg(coding)
                                              .arg(coding == 1 ? QStringLiteral("rtf") : QStringLiteral("dat")));
            saveAs(form, path, coding);
            const QByteArray written = read(path);
            if (coding >= 2 && coding <= 6)
                QCOMPARE(written, expected8);
            else if (coding == 7)
                QCOMPARE(written, QByteArray("\xEF\xBB\xBF") + body.toUtf8());
            TEditForm *back = fx->frame->CreateDocumentWindow();
            back->setFileCoding(coding);
            QVERIFY(back->LoadDocument(path, false));
            QCOMPARE(back->Editor()->Text(), QString(body).replace(QLatin1String("\r\n"), QLatin1String("\n")));
            if (coding >= 7)
                QCOMPARE(back->FileCoding(), coding);
            back->Editor()->setModified(false);
            back->close();
            form->Editor()->setModified(false);
            form->close();
        }
        QVERIFY(fx->ui.messageTexts().isEmpty());
    }

    void zeroCharactersDoNotEndTheText()
    {
        selectCodePage(1251);
        TEditForm *form = newDocument(QStringLiteral("До") + QChar(0) + QStringLiteral("после"));
        saveAs(form, fx->path(QStringLiteral("zero.txt")), 2);
        QCOMPARE(read(fx->path(QStringLiteral("zero.txt"))), QByteArray("\xC4\xEE\0\xEF\xEE\xF1\xEB\xE5", 8));
    }

    void unicodeLossIsAskedFirst()
    {
        TEditForm *form = newDocument(QStringLiteral("only latin é"));
        saveAs(form, fx->path(QStringLiteral("fine.txt")), 2);
        QVERIFY(fx->ui.messageTexts().isEmpty());

        const QString path = fx->writeFile(QStringLiteral("old.txt"), "old content");
        TEditForm *pi = newDocument(QStringLiteral("π = 3.14"));
        fx->ui.messageAnswers.enqueue(UserInteraction::No);
        saveAs(pi, path, 2);
        QCOMPARE(read(path), QByteArray("old content"));
        QVERIFY(pi->Editor()->Modified());
        const auto shown = fx->ui.shown.last().message;
        QCOMPARE(shown.icon, UserInteraction::Icon::Warning);
        QCOMPARE(shown.buttons, UserInteraction::Yes | UserInteraction::No);
        const QStringList lines = shown.text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines.at(2), QStringLiteral("\"UTF8 (Unicode) text (*.txt)\""));
        QCOMPARE(lines.at(4), QStringLiteral("  or"));
        QCOMPARE(lines.at(7), QStringLiteral("Do you want to continue anyway?"));
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Question);
        fx->ui.messageAnswers.enqueue(UserInteraction::Yes);
        pi->Save1Click();
        QCOMPARE(read(path), QByteArray("? = 3.14"));
        QVERIFY(!pi->Editor()->Modified());
    }

    void backupsAreMadeOnlyWhenTheWriteGoesAhead()
    {
        fx->frame->action(FrameAction::createbackupfiles1)->setChecked(true);
        const QString path = fx->writeFile(QStringLiteral("report.txt"), "version 1");
        fx->writeFile(QStringLiteral("report.~txt"), "ancient");
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QVERIFY(form->LoadDocument(path, false));
        form->Editor()->selectAll();
        form->Editor()->setSelText(QStringLiteral("version 2"));
        form->Save1Click();
        QCOMPARE(read(path), QByteArray("version 2"));
        QCOMPARE(read(fx->path(QStringLiteral("report.~txt"))), QByteArray("version 1"));
        // Declined: neither the file nor its backup changes.
        form->Editor()->selectAll();
        form->Editor()->setSelText(QStringLiteral("version π"));
        fx->ui.messageAnswers.enqueue(UserInteraction::No);
        form->Save1Click();
        QCOMPARE(read(path), QByteArray("version 2"));
        QCOMPARE(read(fx->path(QStringLiteral("report.~txt"))), QByteArray("version 1"));
        // No extension: ".~".
        const QString bare = fx->writeFile(QStringLiteral("README"), "a");
        TEditForm *readme = fx->frame->CreateDocumentWindow();
        readme->LoadDocument(bare, false);
        readme->Editor()->setSelText(QStringLiteral("b"));
        readme->Save1Click();
        QCOMPARE(read(fx->path(QStringLiteral("README.~"))), QByteArray("a"));
        QCOMPARE(read(bare), QByteArray("ba"));
    }

    void selectionSavedAlone()
    {
        TEditForm *form = newDocument(QStringLiteral("keep SEL keep"));
        form->Editor()->select(5, 3);
        fx->ui.fileAnswers.enqueue({true, {fx->path(QStringLiteral("sel.txt"))}, 8});
        form->Saveselecteditem1Click();
        QCOMPARE(read(fx->path(QStringLiteral("sel.txt"))), QByteArray("\xFF\xFES\0E\0L\0", 8));
        QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        QCOMPARE(form->FileCoding(), 8);
        QVERIFY(form->isSaveEnabled());
        QCOMPARE(fx->frame->settings().line(14), QString());
    }

    void cancelledSaveAsKeepsUntitledAndEmptiesUndo()
    {
        TEditForm *form = newDocument(QStringLiteral("draft"));
        QVERIFY(form->Editor()->CanUndo());
        form->Save1Click();
        QCOMPARE(fx->ui.fileRequests().last().filter.count(u'|'), 17);
        QCOMPARE(fx->ui.fileRequests().last().defaultExt, QStringLiteral("txt"));
        QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        QVERIFY(form->Editor()->Modified());
        QVERIFY(!form->Editor()->CanUndo());
    }

    void failedWritesLeaveTheOldFileAndTheDocumentModified()
    {
        const QString readOnly = fx->writeFile(QStringLiteral("ro.txt"), "protected");
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        TEditForm *form = newDocument(QStringLiteral("new text"));
        saveAs(form, readOnly, 2);
        QCOMPARE(read(readOnly), QByteArray("protected"));
        QVERIFY(form->Editor()->Modified());
        QVERIFY(fx->ui.messageTexts().last().contains(QLatin1String("read-only")));

        saveAs(form, fx->path(QStringLiteral("no/such/dir/x.txt")), 2);
        QVERIFY(form->Editor()->Modified());
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Error);

        QDir(fx->dir.path()).mkdir(QStringLiteral("folder.txt"));
        fx->ui.clear();
        saveAs(form, fx->path(QStringLiteral("folder.txt")), 2);
        QVERIFY(form->Editor()->Modified());
        QCOMPARE(fx->ui.messageTexts().size(), 1);

        // Selected code page not available here.
        fx->frame->codePageComboBox()->addItem(QStringLiteral("bogus"), 4711);
        fx->frame->codePageComboBox()->setCurrentIndex(fx->frame->codePageComboBox()->count() - 1);
        const QString existing = fx->writeFile(QStringLiteral("cp.txt"), "before");
        saveAs(form, existing, 2);
        QCOMPARE(read(existing), QByteArray("before"));
        QVERIFY(form->Editor()->Modified());
        QVERIFY(fx->ui.messageTexts().last().contains(QLatin1String("4711")));
    }

    void fullDiskLeavesTheOldFile()
    {
        // A file size limit makes writes fail part way, as a full disk does.
        const QString path = fx->writeFile(QStringLiteral("big.txt"), "small original");
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("a line of text that fills the file beyond its limit %1\r\n").arg(i);
        TEditForm *form = newDocument(text);
        struct rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = old;
        limited.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &limited);
        saveAs(form, path, 2);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(read(path), QByteArray("small original"));
        QVERIFY(form->Editor()->Modified());
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Error);
        // Nothing of the failed attempt is left beside it.
        QCOMPARE(QDir(fx->dir.path()).entryList({QStringLiteral("big.txt*")}, QDir::Files).size(), 1);
    }

    void permissionsSurviveASave()
    {
        const QString path = fx->writeFile(QStringLiteral("perm.txt"), "x");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                        | QFileDevice::ReadGroup);
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->LoadDocument(path, false);
        form->Editor()->setSelText(QStringLiteral("y"));
        form->Save1Click();
        QCOMPARE(read(path), QByteArray("yx"));
        QVERIFY(QFile::permissions(path).testFlag(QFileDevice::ExeOwner));
        QVERIFY(!QFile::permissions(path).testFlag(QFileDevice::ReadOther));
    }

    void lineEndsOfTheFileAreKept()
    {
        const QString path = fx->writeFile(QStringLiteral("unix.txt"), "one\ntwo\n");
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->LoadDocument(path, false);
        form->Editor()->setSelText(QStringLiteral("zero\n"));
        form->Save1Click();
        QCOMPARE(read(path), QByteArray("zero\none\ntwo\n"));
    }

    // What a file holds comes back byte for byte when it is opened and saved.
    void plainFilesRoundTripByteForByte_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        // The first line end lies beyond the first piece the loader reads.
        const QByteArray longLine(1536 * 1024, 'x');
        QByteArray utf16;
        for (const char c : longLine + "\ny\n")
            utf16 += QByteArray(1, c) + '\0';
        QTest::newRow("utf-8, LF after a long first line")
            << "long8.txt" << QByteArray("\xEF\xBB\xBF") + longLine + "\nb\nc\n";
        QTest::newRow("utf-16, LF after a long first line") << "long16.txt" << QByteArray("\xFF\xFE") + utf16;
        QTest::newRow("utf-8, CR after a long first line")
            << "longcr.txt" << QByteArray("\xEF\xBB\xBF") + longLine + "\rb";
        QTest::newRow("utf-8 mark twice") << "bom8.txt" << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "X");
        QTest::newRow("utf-16 le mark twice") << "bom16le.txt" << QByteArray("\xFF\xFE\xFF\xFE" "X\0", 6);
        QTest::newRow("utf-16 be mark twice") << "bom16be.txt" << QByteArray("\xFE\xFF\xFE\xFF\0X", 6);
        QTest::newRow("utf-8 paragraph and line separators")
            << "sep8.txt" << QByteArray("\xEF\xBB\xBF" "a\xE2\x80\xA9" "b\xE2\x80\xA8" "c\r\nd\xE2\x80\xA9");
        QTest::newRow("utf-16 be paragraph separator")
            << "sep16.txt" << QByteArray("\xFE\xFF\0a\x20\x29\0\n\0b", 10);
    }

    void plainFilesRoundTripByteForByte()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = fx->writeFile(name, bytes);
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QVERIFY(form->LoadDocument(path, false));
        form->Save1Click();
        const QByteArray written = read(path);
        QCOMPARE(written.size(), bytes.size());
        QVERIFY(written == bytes);
        QVERIFY(fx->ui.messageTexts().isEmpty());
    }

    // A soft line break (Shift+Enter, RTF \line) is the file's line end in
    // every coding, and no numeric reference.
    void softLineBreaksAreWrittenAsTheLineEnd_data()
    {
        QTest::addColumn<int>("coding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ansi") << 2 << QByteArray("a\nb\nc");
        QTest::newRow("utf-8") << 7 << QByteArray("\xEF\xBB\xBF" "a\nb\nc");
        QTest::newRow("utf-16 le") << 8 << QByteArray("\xFF\xFE" "a\0\n\0b\0\n\0c\0", 12);
        QTest::newRow("utf-16 be") << 9 << QByteArray("\xFE\xFF\0a\0\n\0b\0\n\0c", 12);
    }

    void softLineBreaksAreWrittenAsTheLineEnd()
    {
        QFETCH(int, coding);
        QFETCH(QByteArray, bytes);
        const QString path = fx->writeFile(QStringLiteral("soft.txt"), "ab\nc");
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QVERIFY(form->LoadDocument(path, false));
        form->Editor()->setSelStart(1);
        form->Editor()->setSelText(QString(QChar::LineSeparator));
        saveAs(form, path, coding);
        QVERIFY(read(path) == bytes);

        form->convertToNumeric(256);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("a\nb\nc"));
    }

    void saveAllSavesEveryModifiedDocument()
    {
        const QString a = fx->writeFile(QStringLiteral("sa1.txt"), "1");
        const QString b = fx->writeFile(QStringLiteral("sa2.txt"), "2");
        TEditForm *fa = fx->frame->CreateDocumentWindow();
        fa->LoadDocument(a, false);
        TEditForm *fb = fx->frame->CreateDocumentWindow();
        fb->LoadDocument(b, false);
        fa->Editor()->setSelText(QStringLiteral("A"));
        fb->Editor()->setSelText(QStringLiteral("B"));
        QVERIFY(fx->frame->action(FrameAction::ToolButton11)->isEnabled());
        fx->frame->ToolButton11Click();
        QCOMPARE(read(a), QByteArray("A1"));
        QCOMPARE(read(b), QByteArray("B2"));
        QVERIFY(!fx->frame->action(FrameAction::ToolButton11)->isEnabled());
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
