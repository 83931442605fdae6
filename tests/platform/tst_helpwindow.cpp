#include "platform/HelpDocument.h"
#include "platform/ui/HelpWindow.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

class TestHelpWindow : public QObject
{
    Q_OBJECT

    // The copies beside the program, where the program looks for them.
    static QString programFile(const char *name)
    {
        return QStringLiteral(QUILMAR_PROGRAM_DIR "/") + QLatin1String(name);
    }

    // Clicks the first link to href in the browser, as a user would.
    static bool clickLink(QTextBrowser *browser, const QString &href)
    {
        for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.charFormat().anchorHref() != href)
                    continue;
                QTextCursor cursor(browser->document());
                cursor.setPosition(f.position() + f.length() / 2);
                browser->setTextCursor(cursor);
                browser->ensureCursorVisible();
                const QPoint at = browser->cursorRect(cursor).center();
                QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
                return true;
            }
        }
        return false;
    }

private slots:
    void helpDocumentsAreCompleteAndLinked_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("English") << programFile("QuilmarEn.hlp");
        QTest::newRow("German") << programFile("QuilmarDe.hlp");
    }
    void helpDocumentsAreCompleteAndLinked()
    {
        QFETCH(QString, file);
        HelpDocument doc;
        QString error;
        QVERIFY2(doc.load(file, &error), qPrintable(error));
        QCOMPARE(doc.contentsId(), QStringLiteral("contents"));
        const QStringList ids = doc.topicIds();
        for (const char *needed : {"commandline", "menus", "files", "codings", "codepages", "find", "format",
                                   "tools", "print", "spelling", "clipboard", "insertlist", "languages",
                                   "settings", "keys"})
            QVERIFY2(ids.contains(QLatin1String(needed)), needed);

        // Every topic has a title, links only to topics that exist, and is
        // reachable from the contents page.
        const QStringList fromContents = doc.links(doc.contentsId());
        for (const QString &id : ids) {
            QVERIFY2(!doc.topicTitle(id).isEmpty(), qPrintable(id));
            for (const QString &link : doc.links(id)) {
                QVERIFY2(link.startsWith(u'#'), qPrintable(id + ": " + link));
                QVERIFY2(doc.hasTopic(link.mid(1)), qPrintable(id + ": " + link));
            }
            if (id != doc.contentsId())
                QVERIFY2(fromContents.contains(u'#' + id), qPrintable(id));
        }
        const QString commandLine = doc.page(QStringLiteral("commandline"));
        for (const char *sw : {"/s", "/n", "/rs"})
            QVERIFY(commandLine.contains(QLatin1String("<code>") + QLatin1String(sw) + QLatin1String("</code>")));
    }

    void bothLanguagesHaveTheSameTopics()
    {
        HelpDocument en, de;
        QVERIFY(en.load(programFile("QuilmarEn.hlp")));
        QVERIFY(de.load(programFile("QuilmarDe.hlp")));
        QCOMPARE(de.topicIds(), en.topicIds());
        QCOMPARE(en.title(), QStringLiteral("Quilmar Help"));
        QCOMPARE(de.title(), QStringLiteral("Quilmar-Hilfe"));
        QCOMPARE(de.meta(QStringLiteral("help-back")), QString::fromUtf8("Zurück"));
        QCOMPARE(de.topicTitle(QStringLiteral("find")), QStringLiteral("Suchen und Ersetzen"));
    }

    void documentsOfOtherShapes()
    {
        HelpDocument doc;
        // An unclosed section ends where the next begins; a repeated id keeps
        // the first; the title falls back to the first topic's heading.
        QVERIFY(doc.setContent("<html><body><section id='a'><h1>First &amp; best</h1>one"
                               "<section id=b><h2>Second</h2>two</section>"
                               "<section id=\"a\"><h1>Again</h1></section></body></html>"));
        QCOMPARE(doc.topicIds(), QStringList({"a", "b"}));
        QCOMPARE(doc.title(), QStringLiteral("First & best"));
        QVERIFY(doc.page("a").contains("one"));
        QVERIFY(!doc.page("a").contains("two"));
        QVERIFY(doc.page("missing").isEmpty());

        // No sections: one page.
        QVERIFY(doc.setContent("<html><head><title>T</title></head><body><p>only page</p></body></html>"));
        QCOMPARE(doc.topicIds(), QStringList({"contents"}));
        QVERIFY(doc.page("contents").contains("<p>only page</p>"));

        // Plain text is shown as text, markup characters and all.
        QVERIFY(doc.setContent("Line one\nif a < b then c\n"));
        QVERIFY2(doc.page("contents").contains("a &lt; b"), qPrintable(doc.page("contents")));

        // Text in the ANSI code page rather than UTF-8.
        QVERIFY(doc.setContent("<title>Gr\xfc\xdf" "e</title><section id=x><h1>x</h1></section>"));
        QCOMPARE(doc.title(), QString::fromUtf8("Grüße"));

        // Binary (an old compiled help file) and empty files are refused.
        QString error;
        QVERIFY(!doc.setContent(QByteArray("?_\x03\0\x10\0\0\0", 8), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!doc.setContent("  \r\n"));
        QVERIFY(doc.isEmpty());
    }

    void windowShowsContentsAndFollowsLinks()
    {
        HelpWindow help;
        QVERIFY(help.showContents(programFile("QuilmarEn.hlp")));
        QVERIFY(help.window()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(help.window()));
        QCOMPARE(help.currentTopic(), QStringLiteral("contents"));
        QCOMPARE(help.window()->windowTitle(), QStringLiteral("Quilmar Help"));
        QVERIFY(help.browser()->toPlainText().contains("Contents"));
        QVERIFY(!help.action(HelpWindow::Back)->isEnabled());

        QVERIFY(clickLink(help.browser(), "#find"));
        QTRY_COMPARE(help.currentTopic(), QStringLiteral("find"));
        QCOMPARE(help.window()->windowTitle(), QStringLiteral("Quilmar Help - Find and replace"));
        QVERIFY(help.browser()->toPlainText().contains("Search for case mismatch"));
        QVERIFY(!help.browser()->toPlainText().contains("Ctrl+Alt+Space")); // one topic a page

        QVERIFY(clickLink(help.browser(), "#format"));
        QTRY_COMPARE(help.currentTopic(), QStringLiteral("format"));
        QVERIFY(help.action(HelpWindow::Back)->isEnabled());
        help.action(HelpWindow::Back)->trigger();
        QCOMPARE(help.currentTopic(), QStringLiteral("find"));
        help.action(HelpWindow::Back)->trigger();
        QCOMPARE(help.currentTopic(), QStringLiteral("contents"));
        QVERIFY(help.action(HelpWindow::Forward)->isEnabled());
        help.action(HelpWindow::Forward)->trigger();
        QCOMPARE(help.currentTopic(), QStringLiteral("find"));
        help.action(HelpWindow::Contents)->trigger();
        QCOMPARE(help.currentTopic(), QStringLiteral("contents"));
        QCOMPARE(help.window()->windowTitle(), QStringLiteral("Quilmar Help"));
    }

    void theWindowIsReusedForTheOtherLanguage()
    {
        HelpWindow help;
        QVERIFY(help.showTopic(programFile("QuilmarEn.hlp"), "find"));
        QCOMPARE(help.currentTopic(), QStringLiteral("find"));
        QWidget *window = help.window();
        QVERIFY(help.showTopic(programFile("QuilmarDe.hlp"), "find"));
        QCOMPARE(help.window(), window);
        // Same topic name, new document: the page is the German one.
        QVERIFY(help.browser()->toPlainText().contains("Weitersuchen"));
        QVERIFY(help.showContents(programFile("QuilmarDe.hlp")));
        QCOMPARE(help.window()->windowTitle(), QStringLiteral("Quilmar-Hilfe"));
        QVERIFY(help.browser()->toPlainText().contains("Inhalt"));
        QCOMPARE(help.action(HelpWindow::Back)->text(), QString::fromUtf8("Zurück"));
        QVERIFY(!help.action(HelpWindow::Back)->isEnabled()); // no way back into the English pages
    }

    void missingOrUnsuitableFilesAreRefused()
    {
        QTemporaryDir dir;
        HelpWindow help;
        QVERIFY(!help.showContents(dir.filePath("QuilmarXx.hlp")));
        QVERIFY(!help.window()); // nothing was shown
        QFile binary(dir.filePath("Old.hlp"));
        QVERIFY(binary.open(QIODevice::WriteOnly));
        binary.write(QByteArray("?_\x03\0\x10\0\0\0\xff\xff", 10));
        binary.close();
        QVERIFY(!help.showContents(binary.fileName()));

        QVERIFY(help.showContents(programFile("QuilmarEn.hlp")));
        QVERIFY(!help.showContents(binary.fileName()));
        QCOMPARE(help.window()->windowTitle(), QStringLiteral("Quilmar Help")); // still the last good one
        QVERIFY(clickLink(help.browser(), "#keys"));
        QTRY_COMPARE(help.currentTopic(), QStringLiteral("keys"));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
