#include "document/DocumentCore.h"
#include "document/TextAppearance.h"
#include "document/TextProperties.h"

#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <new>

// The document core without any widget: the rules of the control, its
// streams and its loading.
class TestDocumentCore : public QObject
{
    Q_OBJECT

    static QByteArray lines(qsizetype bytes)
    {
        QByteArray data;
        data.reserve(bytes + 64);
        for (int i = 0; data.size() < bytes; ++i)
            data += "line " + QByteArray::number(i) + " of a file that is cut while it loads\r\n";
        return data;
    }

private slots:
    void protectedTextIsRefusedUnlessTheVerdictAllows()
    {
        DocumentCore core;
        core.Lines().loadFromBuffer("open SHUT open");
        core.select(5, 4);
        core.SelAttributes().setProtected(true);
        QList<QPair<int, int>> asked;
        bool allow = false;
        core.OnProtectChange = [&](int start, int end) {
            asked.append({start, end});
            return allow;
        };
        core.select(4, 3);
        core.setSelText(QStringLiteral("x"));
        QCOMPARE(core.Text(), QStringLiteral("open SHUT open"));
        QCOMPARE(asked, (QList<QPair<int, int>>{{4, 7}}));
        QVERIFY(!core.ReplaceSelectionW(QStringLiteral("y")));
        allow = true;
        QVERIFY(core.ReplaceSelectionW(QStringLiteral("y")));
        QCOMPARE(core.Text(), QStringLiteral("openyUT open"));
        // A long range is refused for a protected word deep inside it too.
        core.Lines().loadFromBuffer(QByteArray(10000, 'a') + " SHUT " + QByteArray(10000, 'b'));
        core.select(10001, 4);
        core.SelAttributes().setProtected(true);
        allow = false;
        core.select(0, core.TextLength());
        QVERIFY(!core.ReplaceSelectionW(QStringLiteral("y")));
        QCOMPARE(core.TextLength(), 20006);
        // Loading may change anything without asking.
        asked.clear();
        core.setLoading(true);
        core.select(0, core.TextLength());
        core.setSelText(QStringLiteral("new"));
        QVERIFY(asked.isEmpty());
        QCOMPARE(core.Text(), QStringLiteral("new"));
    }

    void editsAndSelectionAreSignalled()
    {
        DocumentCore core;
        QSignalSpy changed(&core, &DocumentCore::changed);
        QSignalSpy selection(&core, &DocumentCore::selectionChanged);
        core.setSelText(QStringLiteral("abc def"));
        QVERIFY(changed.count() >= 1);
        const int before = selection.count();
        core.select(4, 3);
        QCOMPARE(selection.count(), before + 1);
        QCOMPARE(core.SelText(), QStringLiteral("def"));
        core.select(4, 3); // the same selection again is no change
        QCOMPARE(selection.count(), before + 1);
        core.setMaxLength(8);
        core.select(7, 0);
        QVERIFY(core.wouldExceedMaxLength(0, 2));
        QVERIFY(!core.wouldExceedMaxLength(0, 1));
    }

    void attributesChangeTheSelectionAsOneUndoStep()
    {
        DocumentCore core;
        core.Lines().loadFromBuffer("first\r\nsecond");
        core.select(0, 5);
        core.beginEditGroup();
        core.SelAttributes().setStyle(TFontStyle::fsBold);
        core.Paragraph().setLeftIndent(20);
        core.endEditGroup();
        QVERIFY(core.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QCOMPARE(core.Paragraph().LeftIndent(), 20);
        core.select(7, 3);
        QVERIFY(!core.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QCOMPARE(core.Paragraph().LeftIndent(), 0);
        core.Undo();
        core.select(0, 5);
        QVERIFY(!core.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QCOMPARE(core.Paragraph().LeftIndent(), 0);
        QVERIFY(!core.CanUndo());
    }

    void findFollowsItsOptions()
    {
        DocumentCore core;
        core.Lines().loadFromBuffer("The cat, the catalogue\r\nTHE end");
        QCOMPARE(core.FindTextW(QStringLiteral("the"), 1, -1, {}), 9);
        QCOMPARE(core.FindTextW(QStringLiteral("THE"), 0, -1, TSearchType::stMatchCase), 23);
        QCOMPARE(core.FindTextW(QStringLiteral("cat"), 6, -1, TSearchType::stWholeWord), -1);
        QCOMPARE(core.FindTextW(QStringLiteral("cat"), 22, -1, TSearchType::stBackward), 13);
        QCOMPARE(core.FindTextW(QStringLiteral("end"), 0, 10, {}), -1);
        QCOMPARE(core.FindTextW(QStringLiteral("end"), 0, -1, TSearchType::stSetSelection), 27);
        QCOMPARE(core.SelText(), QStringLiteral("end"));
    }

    void richTextRoundTripsThroughTheStreams()
    {
        DocumentCore core;
        QVERIFY(core.Lines().loadFromBuffer("{\\rtf1\\ansi plain {\\b bold}\\par next}"));
        QCOMPARE(core.Text(), QStringLiteral("plain bold\nnext"));
        const QByteArray rtf = core.Lines().saveToBuffer();
        DocumentCore again;
        QVERIFY(again.Lines().loadFromBuffer(rtf));
        again.select(6, 4);
        QVERIFY(again.SelAttributes().Style().testFlag(TFontStyle::fsBold));
        QCOMPARE(again.Text(), core.Text());
        // Damage read past is counted, not hidden.
        QVERIFY(core.Lines().loadFromBuffer("{\\rtf1 a{\\b b}}}}} c"));
        QVERIFY(core.Lines().lastDamagedParts() >= 0);
    }

    void aFileCutWhileItLoadsIsNotTakenAsLoaded_data()
    {
        QTest::addColumn<bool>("background");
        QTest::newRow("on this thread") << false;
        QTest::newRow("in the background") << true;
    }

    void aFileCutWhileItLoadsIsNotTakenAsLoaded()
    {
        QFETCH(bool, background);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.txt"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lines(10 * 1024 * 1024));
        }
        DocumentCore core;
        core.setLimits({1024, 4 * 1024 * 1024});
        core.Lines().loadFromBuffer("kept");
        PlainText::EncodedText source;
        source.filePath = path;
        source.codePage = 1252;
        int pieces = 0;
        source.pieceRead = [&pieces, path](qint64) {
            if (++pieces == 1)
                QFile::resize(path, 1024 * 1024);
        };
        LoadResult result;
        if (background) {
            QSignalSpy finished(&core, &DocumentCore::loadFinished);
            core.startLoadEncoded(source);
            QVERIFY(core.isLoadingInBackground());
            QVERIFY(finished.wait(60000));
            result = finished.first().first().value<LoadResult>();
        } else {
            result = core.loadEncoded(source);
        }
        QVERIFY(!result.loaded());
        QCOMPARE(result.error, LoadResult::Error::FileChanged);
        QCOMPARE(core.Text(), QStringLiteral("kept"));
        QVERIFY(!core.isLoadingInBackground());
    }

    void aLogThatGrowsWhileItLoadsGivesWhatItHeld()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grows.log"));
        const QByteArray held = lines(3 * 1024 * 1024);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(held);
        }
        DocumentCore core;
        core.setLimits({1024, 4 * 1024 * 1024, 1024});
        PlainText::EncodedText source;
        source.filePath = path;
        source.codePage = 1252;
        source.pieceRead = [path](qint64) {
            QFile log(path);
            if (log.open(QIODevice::Append))
                log.write("a line written meanwhile\r\n");
        };
        QSignalSpy finished(&core, &DocumentCore::loadFinished);
        core.startLoadEncoded(source);
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.first().first().value<LoadResult>().loaded());
        QCOMPARE(PlainText::encode(PlainText::rawText(*core.document(), 0, -1), source.encoding, 1252,
                                   QStringLiteral("\r\n")),
                 held);
    }

    void aFileThatCannotBeOpenedIsAReadFailure()
    {
        DocumentCore core;
        core.Lines().loadFromBuffer("kept");
        PlainText::EncodedText source;
        source.filePath = QStringLiteral("/nonexistent/quilmar/file.txt");
        const LoadResult result = core.loadEncoded(source);
        QCOMPARE(result.error, LoadResult::Error::ReadFailed);
        QCOMPARE(core.Text(), QStringLiteral("kept"));
    }

    void aLargeLoadShowsItsFirstLinesUntilTheWholeTextIsThere_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("rich");
        QByteArray text = lines(300000);
        QTest::newRow("code page") << "a.txt" << text << false;
        QTest::newRow("UTF-16 LE") << "b.txt"
                                   << QByteArray(reinterpret_cast<const char *>(QString::fromLatin1(text).utf16()),
                                                 text.size() * 2)
                                   << false;
        QTest::newRow("rich text") << "c.rtf" << "{\\rtf1\\ansi " + text.replace("\r\n", "\\par\r\n") + "}"
                                   << true;
    }

    void aLargeLoadShowsItsFirstLinesUntilTheWholeTextIsThere()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, rich);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        DocumentCore core;
        core.setLimits({1024, 4 * 1024 * 1024, 2048});
        core.Lines().loadFromBuffer("before");
        QSignalSpy finished(&core, &DocumentCore::loadFinished);
        QSignalSpy replaced(&core, &DocumentCore::documentReplaced);
        PlainText::EncodedText source;
        source.filePath = path;
        source.codePage = 1252;
        source.encoding = name == QLatin1String("b.txt") ? PlainText::EncodedText::Utf16LE
                                                          : PlainText::EncodedText::CodePage;
        if (rich)
            core.startLoadRtfFile(path);
        else
            core.startLoadEncoded(source);
        QVERIFY(core.isLoadingInBackground());
        QVERIFY(core.isShowingPreview());
        QCOMPARE(replaced.size(), 1);
        // Whole lines from the start of the file, no more than the piece holds.
        const QStringList shown = core.Text().split(u'\n');
        QVERIFY(shown.size() > 3);
        QVERIFY(core.TextLength() < 4 * 2048);
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown.at(i), QStringLiteral("line %1 of a file that is cut while it loads").arg(i));
        QVERIFY(!core.CanUndo());
        // Nothing takes the preview's place but the file.
        const auto fill = [](QTextCursor &c, const DocumentCore::Report &) {
            c.insertText(QStringLiteral("result"));
            return true;
        };
        QVERIFY(!core.replaceDocument(fill, 6));

        QVERIFY(finished.wait(60000));
        QVERIFY(finished.first().first().value<LoadResult>().loaded());
        QVERIFY(!core.isShowingPreview());
        QCOMPARE(replaced.size(), 2);
        QVERIFY(!core.Modified());
        QVERIFY(!core.CanUndo());
        if (rich) {
            QCOMPARE(core.LineCount(), int(bytes.count("\\par")));
        } else {
            QCOMPARE(PlainText::encode(PlainText::rawText(*core.document(), 0, -1), source.encoding, 1252,
                                       QStringLiteral("\r\n")),
                     bytes);
        }
    }

    // A result that fails, or finds no memory, leaves the document as it was.
    void aFailedWholeDocumentResultChangesNothing()
    {
        DocumentCore core;
        core.setLimits({4 * 1024 * 1024, 4});
        core.Lines().loadFromBuffer("kept");
        for (const qint64 size : {qint64(2), qint64(100)}) { // on this thread and on a worker
            QVERIFY(!core.replaceDocument([](QTextCursor &c, const DocumentCore::Report &) {
                c.insertText(QStringLiteral("half"));
                return false;
            }, size));
            QVERIFY(!core.replaceDocument([](QTextCursor &c, const DocumentCore::Report &) -> bool {
                c.insertText(QStringLiteral("half"));
                throw std::bad_alloc();
            }, size));
            QCOMPARE(core.Text(), QStringLiteral("kept"));
            QVERIFY(!core.CanUndo());
            QVERIFY(!core.Modified());
        }
    }

    void aLineTooLongToShowIsRefused_data()
    {
        QTest::addColumn<bool>("background");
        QTest::addColumn<int>("limit");
        QTest::newRow("at once") << false << 5000;
        QTest::newRow("in the background") << true << 5000;
        // Lines across the pieces the file is read in.
        QTest::newRow("longer than a piece") << true << 1500000;
    }

    void aLineTooLongToShowIsRefused()
    {
        QFETCH(bool, background);
        QFETCH(int, limit);
        DocumentCore core;
        core.setLimits({background ? 1024 : 4 * 1024 * 1024, 4 * 1024 * 1024, 1024, limit});
        core.Lines().loadFromBuffer("kept");
        const auto load = [&](const QByteArray &bytes) {
            PlainText::EncodedText source;
            source.bytes = bytes;
            source.codePage = 1252;
            QSignalSpy finished(&core, &DocumentCore::loadFinished);
            core.startLoadEncoded(source);
            if (finished.isEmpty() && !finished.wait(60000))
                return LoadResult();
            return finished.first().first().value<LoadResult>();
        };
        // Lines up to the limit, the last one after a CR as well as after a LF.
        const QByteArray fits = lines(4000) + QByteArray(limit, 'a') + "\r" + QByteArray(limit, 'b');
        QVERIFY(load(fits).loaded());
        QCOMPARE(core.TextLength(), int(fits.size() - fits.count("\r\n")));
        core.Lines().loadFromBuffer("kept");
        const QByteArray tooLong = lines(4000) + QByteArray(limit + 1, 'c') + "\r\nend\r\n";
        QCOMPARE(load(tooLong).error, LoadResult::Error::LineTooLong);
        QCOMPARE(core.Text(), QStringLiteral("kept"));
        QVERIFY(!core.isLoadingInBackground());
    }

    void aWholeFileLoadsAndKeepsItsLineEnds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("whole.txt"));
        const QByteArray bytes = QByteArray(3 * 1024 * 1024, 'x') + "\nlast\n";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        DocumentCore core;
        PlainText::EncodedText source;
        source.filePath = path;
        QVERIFY(core.loadEncoded(source).loaded());
        QCOMPARE(core.TextLength(), int(bytes.size()));
        QCOMPARE(core.PlainLineEnd(), PlainText::LineEnd::Lf);
        core.setPlainTextMode(true);
        QCOMPARE(core.Lines().saveToBuffer(), bytes);
    }

    void hiddenTextTakesNoRoomInAPageLayout()
    {
        QTextDocument visible;
        visible.setDefaultFont(QFont(QStringLiteral("Liberation Serif"), 12));
        QTextCursor(&visible).insertText(QStringLiteral("shown text shown text"));
        QTextDocument withHidden;
        withHidden.setDefaultFont(visible.defaultFont());
        QTextCursor c(&withHidden);
        c.insertText(QStringLiteral("shown text "));
        QTextCharFormat hidden;
        hidden.setProperty(TextProperty::Hidden, true);
        c.insertText(QStringLiteral("hidden words ").repeated(40), hidden);
        c.insertText(QStringLiteral("shown text"), QTextCharFormat());

        // A page 2 inches wide, as a printer layout would use.
        const qreal pageWidth = 192;
        std::unique_ptr<QTextDocument> page(TextAppearance::cloneForLayout(withHidden));
        page->setTextWidth(pageWidth);
        visible.setTextWidth(pageWidth);
        QVERIFY(visible.size().height() > 0 && page->size().height() > 0); // laid out now
        QVERIFY(visible.firstBlock().layout()->lineCount() >= 1);
        QCOMPARE(page->firstBlock().layout()->lineCount(), visible.firstBlock().layout()->lineCount());
        QVERIFY(qAbs(page->size().height() - visible.size().height()) < 1.0);
        QVERIFY(page->idealWidth() <= visible.idealWidth() + 2.0);
        // The text after the hidden words ends where it ends without them, in
        // the page copy and on screen, where the ranges are laid on the
        // document's own layout; it is not pulled back over the text before.
        const auto endX = [](const QTextDocument &doc) {
            const QTextLayout *layout = doc.firstBlock().layout();
            return layout->lineForTextPosition(doc.firstBlock().length() - 1).cursorToX(doc.firstBlock().length() - 1);
        };
        QVERIFY(qAbs(endX(*page) - endX(visible)) < 1.0);
        withHidden.setTextWidth(pageWidth);
        withHidden.firstBlock().layout()->setFormats(TextAppearance::rangesFor(withHidden.firstBlock(), Qt::gray));
        withHidden.markContentsDirty(0, withHidden.characterCount());
        withHidden.setTextWidth(pageWidth + 1);
        QVERIFY(withHidden.size().height() > 0); // laid out again
        QCOMPARE(withHidden.firstBlock().layout()->lineCount(), visible.firstBlock().layout()->lineCount());
        QVERIFY(qAbs(endX(withHidden) - endX(visible)) < 1.0);
        // The document itself keeps its hidden text.
        QCOMPARE(page->characterCount(), withHidden.characterCount());
        // Without the hidden property applied, the same text would wrap to many lines.
        QTextDocument plainCopy;
        plainCopy.setDefaultFont(visible.defaultFont());
        QTextCursor(&plainCopy).insertText(withHidden.toPlainText());
        plainCopy.setTextWidth(pageWidth);
        QVERIFY(plainCopy.size().height() > visible.size().height());
        QVERIFY(plainCopy.firstBlock().layout()->lineCount() > visible.firstBlock().layout()->lineCount());
    }
};

QTEST_MAIN(TestDocumentCore)
#include "tst_documentcore.moc"
