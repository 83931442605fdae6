#include "platform/CodePages.h"
#include "FrameFixture.h"
#include "document/EmbeddedObject.h"
#include "document/ui/InsertObjectDialog.h"
#include "document/ui/ObjectCommands.h"
#include "document/ui/PasteSpecialDialog.h"
#include "document/ui/PicturePropertiesDialog.h"

#include <QSpinBox>
#include "document/TextProperties.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

// The document window driven through the frame, with scripted dialogs.
class TestEditForm : public QObject
{
    Q_OBJECT

    FrameFixture *fx = nullptr;

    TEditForm *open(const QString &path)
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->LoadDocument(path, false);
        return form;
    }

    void selectCodePage(int cp)
    {
        QComboBox *box = fx->frame->codePageComboBox();
        box->setCurrentIndex(box->findData(cp));
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
        fx = nullptr;
    }

    void codingComesFromExtensionAndMark_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("coding");
        QTest::addColumn<QString>("text");
        QTest::newRow("txt") << "a.txt" << QByteArray("caf\xE9") << 2 << QString::fromUtf8("café");
        QTest::newRow("txt with UTF-16 LE mark") << "b.txt" << QByteArray("\xFF\xFE\xC0\x03", 4) << 8
                                                 << QString::fromUtf8("π");
        QTest::newRow("UTF-16 BE mark") << "c.html" << QByteArray("\xFE\xFF\x03\xC0", 4) << 9 << QString::fromUtf8("π");
        QTest::newRow("rtf with UTF-8 mark") << "d.rtf" << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << 7
                                             << QStringLiteral("{\\rtf1 x}");
        QTest::newRow("php") << "e.php" << QByteArray("<?php ?>") << 5 << QStringLiteral("<?php ?>");
        QTest::newRow("perl module") << "f.pm" << QByteArray("1;") << 6 << QStringLiteral("1;");
        QTest::newRow("empty") << "g.txt" << QByteArray() << 2 << QString();
        QTest::newRow("one byte") << "h.txt" << QByteArray("\xFF") << 2 << QString::fromUtf8("ÿ");
        QTest::newRow("two bytes not a mark") << "i.txt" << QByteArray("\xEF\xBB") << 2 << QString::fromUtf8("ï»");
        QTest::newRow("odd UTF-16") << "j.txt" << QByteArray("\xFF\xFEh\0i", 5) << 8 << QStringLiteral("h");
        QTest::newRow("unknown extension takes the open filter") << "k.ini" << QByteArray("x=1") << 2
                                                                 << QStringLiteral("x=1");
    }

    void codingComesFromExtensionAndMark()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, coding);
        QFETCH(QString, text);
        TEditForm *form = open(fx->writeFile(name, bytes));
        QCOMPARE(form->FileCoding(), coding);
        QCOMPARE(form->Editor()->Text(), text);
        QCOMPARE(form->FileName(), fx->path(name));
        QCOMPARE(form->windowTitle(), fx->path(name));
        QVERIFY(!form->Editor()->Modified());
        QVERIFY(!form->isSaveEnabled());
        QVERIFY(fx->ui.messageTexts().isEmpty());
    }

    void languageFilesLoadUnwrapped()
    {
        TEditForm *form = open(fx->writeFile(QStringLiteral("readme.LGTX"), "x"));
        QCOMPARE(form->FileCoding(), 3);
        QVERIFY(!form->Editor()->WordWrap());
        QVERIFY(!form->action(EditAction::Wordwrap1)->isChecked());
        TEditForm *other = open(fx->writeFile(QStringLiteral("x.lgtxt"), "x"));
        QVERIFY(other->Editor()->WordWrap());
    }

    void missingFilesAndFoldersAreReportedAndChangeNothing()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        for (const QString &name : {fx->path(QStringLiteral("missing.txt")), fx->dir.path()}) {
            fx->ui.clear();
            QVERIFY(!form->LoadDocument(name, false));
            QCOMPARE(fx->ui.beeps, QList<UserInteraction::Beep>{UserInteraction::Beep::Error});
            QCOMPARE(fx->ui.messageTexts(), QStringList{QStringLiteral("Could not find the file:\r\n") + name});
            QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        }
    }

    void unreadableFilesAreReportedAndChangeNothing()
    {
        // Reading this one fails although it opens, as a damaged disk would.
        const QString unreadable = QStringLiteral("/proc/self/mem");
        if (!QFileInfo(unreadable).isFile())
            QSKIP("no /proc here");
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->Editor()->setSelText(QStringLiteral("keep me"));
        fx->ui.clear();
        QVERIFY(!form->LoadDocument(unreadable, false));
        QCOMPARE(fx->ui.beeps, QList<UserInteraction::Beep>{UserInteraction::Beep::Error});
        QVERIFY(fx->ui.messageTexts().first().startsWith(unreadable));
        QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        QCOMPARE(form->Editor()->Text(), QStringLiteral("keep me"));
    }

    void aLargeFileShowsItsStartWhileCommandsWait()
    {
        QByteArray bytes;
        for (int i = 0; bytes.size() < 400000; ++i)
            bytes += "line " + QByteArray::number(i) + " caf\xE9\r\n";
        const QString path = fx->writeFile(QStringLiteral("large.txt"), bytes);
        TEditForm *form = fx->frame->CreateDocumentWindow();
        TRichTextEdit *e = form->Editor();
        e->core()->setLimits({100000, 200000, 4096});
        QSignalSpy loaded(form, &TEditForm::documentLoaded);
        fx->ui.clear();
        QVERIFY(form->LoadDocument(path, false));
        QVERIFY(form->Loading());
        // The first lines at once, read-only, with the scroll bar waiting.
        QVERIFY(e->TextLength() > 0 && e->TextLength() < 4096);
        QVERIFY(e->Text().startsWith(QString::fromUtf8("line 0 café\nline 1 café\n")));
        QVERIFY(e->ReadOnly());
        QVERIFY(!e->verticalScrollBar()->isEnabled());
        QTest::keyClick(e->viewport(), Qt::Key_X);
        e->select(0, 4);
        QVERIFY(!e->ReplaceSelectionW(QStringLiteral("x")));
        form->Save1Click();
        fx->frame->GoToLine(20);
        QCOMPARE(e->SelStart(), 0);
        QVERIFY(fx->ui.fileRequests().isEmpty());
        QVERIFY(!e->Text().contains(u'x'));
        // Neither printed nor reformatted: both would act on the first lines only.
        form->Print1Click();
        QVERIFY(fx->ui.printRequests().isEmpty());
        e->select(0, 0);
        e->core()->Paragraph().setAlignment(TAlignment::taCenter);
        QCOMPARE(e->core()->Paragraph().Alignment(), TAlignment::taLeftJustify);

        QVERIFY(loaded.wait(60000));
        QCOMPARE(loaded.first().first().toBool(), true);
        QVERIFY(!form->Loading());
        QVERIFY(!e->ReadOnly());
        QVERIFY(e->verticalScrollBar()->isEnabled());
        QCOMPARE(e->SelStart(), 0);
        QCOMPARE(form->FileName(), QFileInfo(path).absoluteFilePath());
        fx->frame->GoToLine(20);
        QCOMPARE(e->CaretPos().y(), 20);
        // Saved again byte for byte.
        e->setModified(true);
        QVERIFY(QFile::remove(path));
        form->Save1Click();
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), bytes);
    }

    void aFileThatCannotBeShownKeepsTheWindowAsItWas()
    {
        // One line longer than the layout can take: a clear message, nothing else changes.
        TEditForm *form = fx->frame->CreateDocumentWindow();
        TRichTextEdit *e = form->Editor();
        e->core()->setLimits({100000, 200000, 4096, 150000});
        e->setSelText(QStringLiteral("keep me"));
        e->setModified(false);
        const QString path = fx->writeFile(QStringLiteral("wide.txt"), "head\r\n" + QByteArray(300000, 'w'));
        QSignalSpy loaded(form, &TEditForm::documentLoaded);
        fx->ui.clear();
        QVERIFY(form->LoadDocument(path, false));
        QVERIFY(loaded.wait(60000));
        QCOMPARE(loaded.first().first().toBool(), false);
        QCOMPARE(fx->ui.messageTexts(),
                 QStringList{path + QStringLiteral("\r\nThe file has a line of more than 150000 characters, which "
                                                   "cannot be shown; it was not loaded.")});
        QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        QCOMPARE(e->Text(), QStringLiteral("keep me"));
        QVERIFY(!e->ReadOnly());
        QVERIFY(e->verticalScrollBar()->isEnabled());
    }

    void templatesKeepUntitled()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QVERIFY(form->LoadDocument(fx->writeFile(QStringLiteral("t.txt"), "Dear"), true));
        QCOMPARE(form->FileName(), QStringLiteral("Untitled"));
        QCOMPARE(form->Editor()->Text(), QStringLiteral("Dear"));
    }

    void foreignCodePageConvertsWholeFile()
    {
        selectCodePage(1251);
        QCOMPARE(fx->frame->selectedCodePage(), 1251);
        TEditForm *form = open(fx->writeFile(QStringLiteral("ru.txt"), QByteArray("\xCF\xF0\xE8\0\xE2\xE5\xF2", 7)));
        QCOMPARE(form->Editor()->Text(), QString::fromUtf8("При") + QChar(0) + QString::fromUtf8("вет"));
        // Rich text is never converted.
        TEditForm *rtf = open(fx->writeFile(QStringLiteral("x.rtf"), "plain \xE9"));
        QCOMPARE(rtf->Editor()->Text(), QString::fromUtf8("plain é"));
    }

    void editsMakeTheDocumentModified()
    {
        TEditForm *form = open(fx->writeFile(QStringLiteral("m.txt"), "abc\r\ndef"));
        QVERIFY(!fx->frame->action(FrameAction::ToolButton11)->isEnabled());
        QCOMPARE(fx->frame->statusPanel(1), QStringLiteral("7 Characters"));
        form->Editor()->setSelStart(5);
        QCOMPARE(fx->frame->statusPanel(0), QStringLiteral("Line:   2  Col:   2"));
        QTest::keyClicks(form->Editor()->viewport(), QStringLiteral("XY"));
        QVERIFY(form->Editor()->Modified());
        QVERIFY(form->isSaveEnabled());
        QVERIFY(fx->frame->action(FrameAction::ToolButton11)->isEnabled());
        QVERIFY(form->action(EditAction::Undo1)->isEnabled());
        QCOMPARE(fx->frame->statusPanel(1), QStringLiteral("9 Characters"));
        QCOMPARE(fx->frame->statusPanel(0), QStringLiteral("Line:   2  Col:   4"));
        form->Editor()->select(0, 2);
        QVERIFY(form->action(EditAction::Copy1)->isEnabled());
        QVERIFY(form->action(EditAction::Saveselecteditem1)->isEnabled());
        form->Editor()->select(0, 0);
        QVERIFY(!form->action(EditAction::Copy1)->isEnabled());
    }

    void saveQuestionAnswers()
    {
        TEditForm *form = open(fx->writeFile(QStringLiteral("q.txt"), "abc"));
        form->Editor()->setSelText(QStringLiteral("x"));
        fx->ui.messageAnswers.enqueue(UserInteraction::Cancel);
        QVERIFY(!form->close());
        QCOMPARE(fx->ui.messageTexts().last(), QStringLiteral("Save changes to %1?").arg(fx->path(QStringLiteral("q.txt"))));
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Question);
        QCOMPARE(fx->frame->documents().size(), 1);
        fx->ui.messageAnswers.enqueue(UserInteraction::No);
        QPointer<TEditForm> guard(form);
        QVERIFY(form->close());
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(fx->frame->documents().size(), 0);
        QVERIFY(!fx->frame->action(FrameAction::Minimize1)->isVisible());
        QVERIFY(!fx->frame->action(FrameAction::StandardFont1)->isEnabled());
        QCOMPARE(fx->frame->statusPanel(0), QString());
        QCOMPARE(fx->frame->statusPanel(1), QString());
    }

    void yesWhoseSaveIsCancelledKeepsTheWindow()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->Editor()->setSelText(QStringLiteral("unsaved"));
        fx->ui.messageAnswers.enqueue(UserInteraction::Yes);
        // The Save As dialog of an untitled document is cancelled: nothing is lost.
        QVERIFY(!form->close());
        QCOMPARE(fx->ui.fileRequests().size(), 1);
        QCOMPARE(fx->ui.fileRequests().first().mode, UserInteraction::FileRequest::Save);
        QCOMPARE(fx->frame->documents().size(), 1);
    }

    void wordWrapCommand()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QVERIFY(form->Editor()->WordWrap());
        form->Wordwrap1Click();
        QVERIFY(!form->Editor()->WordWrap());
        QCOMPARE(form->Editor()->ScrollBars(), TScrollStyle::ssBoth);
        QVERIFY(!form->action(EditAction::Wordwrap1)->isChecked());
    }

    void fileLinksWalkUpFromTheSaveFolder()
    {
        TEditForm *form = open(fx->writeFile(QStringLiteral("links.txt"), "x"));
        fx->shell.opened.clear();
        fx->shell.onOpen = [](const QString &target) {
            return target.startsWith(QLatin1String("file:/")) ? Shell::Result{Shell::FileNotFound, {}}
                                                                : Shell::Result{Shell::PathNotFound, {}};
        };
        // The base folder is the save dialog's initial directory: a/b/c here.
        form->setSaveInitialDir(fx->path(QStringLiteral("a/b/c")));
        form->EditorURLClick(QStringLiteral("file:..\\..\\doc.rtf"), Qt::LeftButton);
        QCOMPARE(fx->shell.opened.size(), 2);
        QCOMPARE(fx->shell.opened.at(1), QStringLiteral("file:") + fx->path(QStringLiteral("a/doc.rtf")));
        QCOMPARE(fx->ui.messageTexts().last(), QStringLiteral("Could not find the file:\r\nfile:") + fx->path(QStringLiteral("a/doc.rtf")));
        form->EditorURLClick(QStringLiteral("file:../x.txt"), Qt::LeftButton);
        QCOMPARE(fx->shell.opened.last(), QStringLiteral("file:") + fx->path(QStringLiteral("a/b/x.txt")));
        // The right button does nothing.
        const int before = int(fx->shell.opened.size());
        form->EditorURLClick(QStringLiteral("http://example.org"), Qt::RightButton);
        QCOMPARE(fx->shell.opened.size(), before);
    }

    void picturesAreInsertedThroughTheClipboard()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QString png = fx->path(QStringLiteral("p.png"));
        QVERIFY(image.save(png));
        fx->ui.fileAnswers.enqueue({true, {png}, 1});
        form->IPicture1Click();
        QCOMPARE(form->Editor()->TextLength(), 1);
        QTextCursor c(form->Editor()->document());
        c.setPosition(1);
        QVERIFY(c.charFormat().isImageFormat());
        QCOMPARE(c.charFormat().toImageFormat().width(), 8.0);
        QVERIFY(QApplication::clipboard()->mimeData()->hasImage());

        // Its shown size is one of its object properties.
        form->Editor()->select(0, 1);
        QVERIFY(form->action(EditAction::Objectproperties1)->isEnabled());
        fx->ui.onDialog = [](QDialog *dialog) {
            auto *properties = qobject_cast<PicturePropertiesDialog *>(dialog);
            properties->findChild<QSpinBox *>(QStringLiteral("Width"))->setValue(16);
            return int(QDialog::Accepted);
        };
        form->Objectproperties1Click();
        c.setPosition(1);
        QCOMPARE(c.charFormat().toImageFormat().width(), 16.0);
        QCOMPARE(c.charFormat().toImageFormat().height(), 12.0);
        fx->ui.onDialog = nullptr;

        // A file that is no picture changes nothing and says so.
        fx->ui.fileAnswers.enqueue({true, {fx->writeFile(QStringLiteral("bad.jpg"), "not a jpeg at all")}, 1});
        form->IPicture1Click();
        QCOMPARE(form->Editor()->TextLength(), 1);
        QVERIFY(fx->ui.messageTexts().last().contains(QLatin1String("bad.jpg")));
        QCOMPARE(fx->ui.beeps.last(), UserInteraction::Beep::Error);
    }

    void objectsAreEmbeddedAndOpenedFromACopy()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QByteArray bytes("a file of any kind\0with a zero", 30);
        const QString path = fx->writeFile(QStringLiteral("notes.xyz"), bytes);
        fx->ui.onDialog = [&](QDialog *dialog) {
            auto *insert = qobject_cast<InsertObjectDialog *>(dialog);
            if (!insert)
                return int(QDialog::Rejected);
            // Browsing goes through the file dialog service.
            fx->ui.fileAnswers.enqueue({true, {path}, 1});
            insert->findChild<QPushButton *>(QStringLiteral("Browse"))->click();
            return int(QDialog::Accepted);
        };
        form->IObject1Click();
        fx->ui.onDialog = nullptr;
        QCOMPARE(form->Editor()->TextLength(), 1);
        form->Editor()->select(0, 1);
        QVERIFY(form->action(EditAction::Objectproperties1)->isEnabled());
        // The object opens with its standard application from a copy.
        form->Objectproperties1Click();
        QCOMPARE(fx->shell.opened.size(), 1);
        QCOMPARE(QFileInfo(fx->shell.opened.last()).fileName(), QStringLiteral("notes.xyz"));
        QVERIFY(fx->shell.opened.last() != path);
        QFile copy(fx->shell.opened.last());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), bytes);

        // A double click on it does the same.
        const QRect at = form->Editor()->cursorRect(form->Editor()->textCursor());
        form->Editor()->setSelStart(1);
        QTest::mouseDClick(form->Editor()->viewport(), Qt::LeftButton, {}, QPoint(at.left() - 4, at.center().y()));
        QCOMPARE(fx->shell.opened.size(), 2);

        // A file beyond the limit is refused and says so.
        QFile big(fx->path(QStringLiteral("big.bin")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(EmbeddedObject::MaxFileSize + 1));
        big.close();
        QCOMPARE(form->findChild<ObjectCommands *>()->embedFile(big.fileName(), false), false);
        QVERIFY(fx->ui.messageTexts().last().contains(QLatin1String("too large")));
        QVERIFY(fx->ui.messageTexts().last().contains(QLatin1String("big.bin")));
        QCOMPARE(form->Editor()->TextLength(), 1);
        QVERIFY(!form->findChild<ObjectCommands *>()->embedFile(fx->path(QStringLiteral("gone.txt")), false));
        QVERIFY(fx->ui.messageTexts().last().startsWith(QLatin1String("The file cannot be read:")));
        QCOMPARE(form->Editor()->TextLength(), 1);
    }

    void pasteWithOptionsOffersTheClipboardsForms()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        auto *mime = new QMimeData;
        mime->setHtml(QStringLiteral("<b>bold</b> words"));
        mime->setText(QStringLiteral("plain words"));
        QApplication::clipboard()->setMimeData(mime);
        QStringList offered;
        fx->ui.onDialog = [&offered](QDialog *dialog) {
            auto *paste = qobject_cast<PasteSpecialDialog *>(dialog);
            for (PasteSpecialDialog::Form f : paste->forms())
                offered << PasteSpecialDialog::formName(f);
            paste->selectForm(PasteSpecialDialog::UnformattedText);
            return int(QDialog::Accepted);
        };
        form->Pastewithoptions1Click();
        QCOMPARE(offered, (QStringList{QStringLiteral("HTML Format"), QStringLiteral("Unformatted text")}));
        QCOMPARE(form->Editor()->Text(), QStringLiteral("plain words"));
        fx->ui.onDialog = [](QDialog *dialog) {
            qobject_cast<PasteSpecialDialog *>(dialog)->selectForm(PasteSpecialDialog::Html);
            return int(QDialog::Accepted);
        };
        form->Editor()->selectAll();
        form->Pastewithoptions1Click();
        QCOMPARE(form->Editor()->Text(), QStringLiteral("bold words"));
        form->Editor()->select(0, 1);
        QVERIFY(form->Editor()->SelAttributes().Style().testFlag(TFontStyle::fsBold));
        // Cancelled: nothing changes.
        fx->ui.onDialog = [](QDialog *) { return int(QDialog::Rejected); };
        form->Pastewithoptions1Click();
        QCOMPARE(form->Editor()->Text(), QStringLiteral("bold words"));
    }

    void menusAreTheDocumentsWhileItIsActive()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        QTRY_COMPARE(fx->frame->menuBar()->actions().first()->menu(), form->fileMenu());
        QCOMPARE(fx->frame->menuBar()->actions().size(), 7);
        QCOMPARE(fx->frame->menuBar()->actions().at(1)->text(), QStringLiteral("&Edit"));
        form->Editor()->setModified(false);
        QPointer<TEditForm> guard(form);
        form->close();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(fx->frame->menuBar()->actions().size(), 4);
        QCOMPARE(fx->frame->menuBar()->actions().first()->objectName(), QString());
        QCOMPARE(fx->frame->menuBar()->actions().first()->menu()->objectName(), QStringLiteral("File1"));
    }

    void numericReferencesBothWays()
    {
        TEditForm *form = fx->frame->CreateDocumentWindow();
        form->Editor()->setSelText(QString::fromUtf8("a\u03C0b \u00E9 ") + QString::fromUtf8("😀"));
        form->convertToNumeric(256);
        QCOMPARE(form->Editor()->Text(), QString::fromUtf8("a&#960;b \u00E9 &#55357;&#56832;"));
        QVERIFY(form->Editor()->Modified());
        form->convertToNumeric(128);
        QCOMPARE(form->Editor()->Text(), QString::fromUtf8("a&#960;b &#233; &#55357;&#56832;"));
        form->convertFromNumeric();
        QCOMPARE(form->Editor()->Text(), QString::fromUtf8("a\u03C0b \u00E9 😀"));
        form->Editor()->Clear();
        form->Editor()->setSelText(QStringLiteral("ab\r\n"));
        form->convertToNumeric(0);
        QCOMPARE(form->Editor()->Text(), QStringLiteral("&#97;&#98;&#13;&#10;"));
        // Formatting is gone afterwards: the text is plain in the default font.
        QCOMPARE(form->action(EditAction::AllNumeric1)->toolTip(),
                 QStringLiteral("Translates all characters into numeric values for use in HTML files."));
        QCOMPARE(form->action(EditAction::UnicodeNumeric1)->text(), QStringLiteral("Unicode --> Numeric"));
        QCOMPARE(form->action(EditAction::NumericUnicode1)->text(), QStringLiteral("Numeric --> Unicode"));
        QCOMPARE(form->action(EditAction::ANSINumeric1)->toolTip(),
                 QStringLiteral("Translates all \"not ASCII\" - characters into numeric values for use in HTML files."));
    }
};

QTEST_MAIN(TestEditForm)
#include "tst_editform.moc"
