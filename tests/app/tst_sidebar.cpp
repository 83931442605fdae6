#include "FrameFixture.h"
#include "app/InsertListEditor.h"
#include "app/InsertSidebar.h"
#include "app/MultiClipboardBar.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

// The sidebar of the frame: sections of insert.ini, inserting pieces into
// the active document, sorting, the edit view with saving, the settings
// lines of the sidebar and its texts.
class TestSidebar : public QObject
{
    Q_OBJECT

    static QByteArray sampleIni()
    {
        return "; pieces\r\n"
               "[HTML]\r\n"
               "Bold=<b></b>\r\n"
               "Link=<a href=\"a=b\"></a>\r\n"
               "Anchor=<a id=\"\"></a>\r\n"
               "[Letters]\r\n"
               "Closing=Yours sincerely,\r\n"
               "Greeting=Dear Sir or Madam,\r\n"
               "[Empty]\r\n";
    }

    static QStringList values(const InsertSidebar *sidebar)
    {
        QStringList texts;
        QTreeWidget *list = sidebar->pieceList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(0);
        return texts;
    }

    static QStringList settingsLines(const FrameFixture &fx)
    {
        return QString::fromLatin1(fx.settingsFile()).split(QStringLiteral("\r\n"));
    }

    static void clickPiece(InsertSidebar *sidebar, int row)
    {
        QTreeWidget *list = sidebar->pieceList();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static void startWith(FrameFixture &fx, const QByteArray &ini, const QString &section, const QString &width,
                          const QStringList &arguments = {QStringLiteral("/n")})
    {
        if (!ini.isNull())
            fx.writeFile(QStringLiteral("insert.ini"), ini);
        QStringList lines(49);
        lines[3] = QStringLiteral("700");
        lines[4] = QStringLiteral("500");
        lines[5] = QStringLiteral("wsNormal");
        lines[38] = width;
        lines[39] = section;
        fx.writeSettings(lines);
        fx.start(arguments);
    }

private slots:
    void sectionsAndTheSettingsLines()
    {
        FrameFixture fx;
        startWith(fx, sampleIni(), QStringLiteral("Letters"), QStringLiteral("150"));
        InsertSidebar *sidebar = fx.frame->sidebar();
        QVERIFY(sidebar->isVisible());
        QCOMPARE(sidebar->parentWidget()->objectName(), QStringLiteral("Splitter1"));
        QCOMPARE(sidebar->width(), 150);
        QComboBox *box = sidebar->sectionBox();
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QStringLiteral("HTML"));
        QCOMPARE(box->itemText(2), QStringLiteral("Empty"));
        QCOMPARE(box->currentText(), QStringLiteral("Letters"));
        QCOMPARE(values(sidebar), (QStringList{"Yours sincerely,", "Dear Sir or Madam,"}));
        QCOMPARE(sidebar->pieceList()->headerItem()->text(0), QStringLiteral("Letters"));
        QVERIFY(sidebar->pieceList()->topLevelItem(1)->toolTip(0).contains(QLatin1String("Greeting")));
        // The section box takes the width of its panel less 29.
        QCOMPARE(box->width(), box->parentWidget()->width() - 29);

        box->setCurrentIndex(0);
        // The description ends at the first "=".
        QCOMPARE(values(sidebar), (QStringList{"<b></b>", "<a href=\"a=b\"></a>", "<a id=\"\"></a>"}));
        QVERIFY(sidebar->pieceList()->topLevelItem(1)->toolTip(0).contains(QLatin1String("Link")));
        box->setCurrentIndex(2);
        QCOMPARE(sidebar->pieceList()->topLevelItemCount(), 0);

        QList<int> sizes = fx.frame->findChild<QSplitter *>(QStringLiteral("Splitter1"))->sizes();
        sizes[1] += sizes[0] - 120;
        sizes[0] = 120;
        fx.frame->findChild<QSplitter *>(QStringLiteral("Splitter1"))->setSizes(sizes);
        QVERIFY(fx.frame->close());
        const QStringList written = settingsLines(fx);
        QCOMPARE(written.at(38), QStringLiteral("120"));
        QCOMPARE(written.at(39), QStringLiteral("Empty"));
        QCOMPARE(written.at(43), QStringLiteral("Show SideBar"));
    }

    void unknownSectionShowsTheFirstAndAMissingFileNothing()
    {
        FrameFixture fx;
        startWith(fx, sampleIni(), QStringLiteral("letters"), QStringLiteral("junk"));
        QCOMPARE(fx.frame->sidebar()->currentSection(), QStringLiteral("HTML"));
        QCOMPARE(fx.frame->sidebar()->sidebarWidth(), 100);
        QCOMPARE(values(fx.frame->sidebar()).size(), 3);

        FrameFixture bare;
        startWith(bare, QByteArray(), QStringLiteral("HTML"), QString());
        QCOMPARE(bare.frame->sidebar()->sectionBox()->count(), 0);
        QCOMPARE(bare.frame->sidebar()->pieceList()->topLevelItemCount(), 0);
        QVERIFY(bare.frame->close());
        QCOMPARE(settingsLines(bare).at(39), QString());
    }

    void hiddenSidebarKeepsItsWidth()
    {
        FrameFixture fx;
        fx.writeFile(QStringLiteral("insert.ini"), sampleIni());
        QStringList lines(49);
        lines[5] = QStringLiteral("wsNormal");
        lines[38] = QStringLiteral("170");
        lines[43] = QStringLiteral("Hide SideBar");
        fx.writeSettings(lines);
        fx.start();
        InsertSidebar *sidebar = fx.frame->sidebar();
        QAction *show = fx.frame->action(FrameAction::ShowSidebar1);
        QVERIFY(!show->isChecked());
        QVERIFY(!sidebar->isVisible());
        show->trigger();
        QVERIFY(sidebar->isVisible());
        QTRY_COMPARE(sidebar->width(), 170);
        show->trigger();
        QVERIFY(!sidebar->isVisible());
        QVERIFY(fx.frame->close());
        const QStringList written = settingsLines(fx);
        QCOMPARE(written.at(38), QStringLiteral("170"));
        QCOMPARE(written.at(43), QStringLiteral("Hide SideBar"));
    }

    void clickingAPieceInsertsIt()
    {
        FrameFixture fx;
        startWith(fx, sampleIni(), QStringLiteral("HTML"), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        // Without a document nothing happens, and the piece is free again.
        clickPiece(sidebar, 0);
        QVERIFY(sidebar->pieceList()->selectedItems().isEmpty());

        TEditForm *form = fx.frame->CreateDocumentWindow();
        TRichTextEdit *editor = form->Editor();
        editor->setSelText(QStringLiteral("one two three"));
        editor->select(4, 3);
        clickPiece(sidebar, 0);
        QCOMPARE(editor->Text(), QStringLiteral("one <b></b> three"));
        QCOMPARE(editor->SelStart(), 11);
        QCOMPARE(editor->SelLength(), 0);
        QVERIFY(sidebar->pieceList()->selectedItems().isEmpty());
        // The same piece again, at once.
        clickPiece(sidebar, 0);
        QCOMPARE(editor->Text(), QStringLiteral("one <b></b><b></b> three"));
        // The release of the mouse gives the document the keyboard back.
        QVERIFY(editor->hasFocus() || !fx.frame->isActiveWindow());
        QCOMPARE(fx.frame->statusPanel(0), QStringLiteral("Line:   1  Col:  19"));
        // Each insertion is one step of undo.
        editor->Undo();
        QCOMPARE(editor->Text(), QStringLiteral("one <b></b> three"));
        editor->Undo();
        QCOMPARE(editor->Text(), QStringLiteral("one two three"));

        // A read-only document takes nothing.
        fx.writeFile(QStringLiteral("ReadMeEn.rtf"), "read only");
        fx.frame->ReadMe1Click();
        TEditForm *readMe = fx.frame->activeDocument();
        QVERIFY(readMe != form);
        clickPiece(sidebar, 1);
        QCOMPARE(readMe->Editor()->Text(), QStringLiteral("read only"));
        QCOMPARE(editor->Text(), QStringLiteral("one two three"));
    }

    void headerClickSortsAndShowingAgainRestoresFileOrder()
    {
        FrameFixture fx;
        startWith(fx, "[Mixed]\r\nz=zebra\r\nA=Apple\r\nm=mango\r\nb=banana\r\n", QString(), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        QCOMPARE(values(sidebar), (QStringList{"zebra", "Apple", "mango", "banana"}));
        QHeaderView *header = sidebar->pieceList()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionSize(0) / 2, header->height() / 2));
        QCOMPARE(values(sidebar), (QStringList{"Apple", "banana", "mango", "zebra"}));
        // Sorted items keep their descriptions.
        QVERIFY(sidebar->pieceList()->topLevelItem(0)->toolTip(0).contains(u'A'));
        sidebar->showSection(QStringLiteral("Mixed"));
        QCOMPARE(values(sidebar), (QStringList{"zebra", "Apple", "mango", "banana"}));
    }

    void editViewSavesANewSection()
    {
        FrameFixture fx;
        startWith(fx, sampleIni(), QStringLiteral("Letters"), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        sidebar->showSection(QStringLiteral("HTML"));
        InsertListEditor *editView = sidebar->editor();
        QVERIFY(!editView->isVisible());
        sidebar->editButton()->click();
        QVERIFY(editView->isVisible());
        QVERIFY(!sidebar->pieceList()->isVisible());
        QTableWidget *table = editView->table();
        QCOMPARE(table->rowCount(), 9);
        QCOMPARE(table->item(3, 0)->text(), QStringLiteral("Link"));
        QCOMPARE(table->item(3, 1)->text(), QStringLiteral("<a href=\"a=b\"></a>"));
        QCOMPARE(table->item(1, 0)->text(), QString());
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("[HTML]"));

        // Keys: Down on the last row appends one, Insert adds one, Ctrl+Delete removes one.
        table->setFocus();
        table->setCurrentCell(8, 0);
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(table->rowCount(), 10);
        table->item(9, 1)->setText(QStringLiteral("[Notes]"));
        QTest::keyClick(table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 11);
        table->item(10, 0)->setText(QStringLiteral("Remember"));
        table->item(10, 1)->setText(QStringLiteral("milk = 2 l"));
        table->setCurrentCell(4, 0);
        QTest::keyClick(table, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(table->rowCount(), 10);
        // Line ends in a cell would split the line.
        table->item(6, 1)->setText(QStringLiteral("Yours\nsincerely,"));

        sidebar->editButton()->click();
        QVERIFY(sidebar->pieceList()->isVisible());
        sidebar->editButton()->click();
        QCOMPARE(table->rowCount(), 10); // the edits stay while the view is away

        editView->saveAction()->trigger();
        QCOMPARE(fx.ui.messageTexts(), QStringList());
        QFile file(fx.path(QStringLiteral("insert.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("; pieces\r\n[HTML]\r\nBold=<b></b>\r\nLink=<a href=\"a=b\"></a>\r\n"
                                            "[Letters]\r\nClosing=Yours sincerely,\r\nGreeting=Yours sincerely,\r\n"
                                            "[Empty]\r\n[Notes]\r\nRemember=milk = 2 l\r\n"));
        // The new section is listed, and the one shown is the remembered one.
        QCOMPARE(sidebar->sectionBox()->count(), 4);
        QCOMPARE(sidebar->sectionBox()->itemText(3), QStringLiteral("Notes"));
        QCOMPARE(sidebar->currentSection(), QStringLiteral("Letters"));
        sidebar->showSection(QStringLiteral("Notes"));
        QCOMPARE(values(sidebar), QStringList{"milk = 2 l"});

        // Reload takes the file again in place of the edits.
        table->setRowCount(1);
        editView->reloadAction()->trigger();
        QCOMPARE(table->rowCount(), 10);
    }

    void missingFileIsCreatedBySave()
    {
        FrameFixture fx;
        startWith(fx, QByteArray(), QString(), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        sidebar->editButton()->click();
        QTableWidget *table = sidebar->editor()->table();
        QCOMPARE(table->rowCount(), 0);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Insert);
        table->item(0, 1)->setText(QStringLiteral("[First]"));
        QTest::keyClick(table, Qt::Key_Insert);
        table->item(1, 0)->setText(QStringLiteral("Euro"));
        table->item(1, 1)->setText(QStringLiteral("\u20AC"));
        sidebar->editor()->saveAction()->trigger();
        QFile file(fx.path(QStringLiteral("insert.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[First]\r\nEuro=\x80\r\n"));
        QCOMPARE(sidebar->currentSection(), QStringLiteral("First"));
        QCOMPARE(values(sidebar), QStringList{QStringLiteral("\u20AC")});
    }

    void failedOrPartialSavesKeepTheOldFile()
    {
        // A damaged file: saving what could be read asks first.
        FrameFixture fx;
        static const char bytes[] = "[A]\r\nx=1\r\n\0\x01\x02[B]\r\ny=2\r\n";
        const QByteArray damaged(bytes, sizeof(bytes) - 1);
        startWith(fx, damaged, QString(), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        QCOMPARE(sidebar->sectionBox()->count(), 1);
        sidebar->editButton()->click();
        QCOMPARE(sidebar->editor()->table()->rowCount(), 2);
        fx.ui.messageAnswers.enqueue(UserInteraction::No);
        QVERIFY(!sidebar->editor()->saveFile());
        QCOMPARE(fx.ui.messageTexts().size(), 1);
        QFile file(fx.path(QStringLiteral("insert.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), damaged);
        file.close();
        fx.ui.messageAnswers.enqueue(UserInteraction::Yes);
        QVERIFY(sidebar->editor()->saveFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[A]\r\nx=1\r\n"));
        file.close();

        // A file that cannot be replaced: a message, and the old one stays.
        QVERIFY(file.remove());
        QVERIFY(QDir(fx.dir.path()).mkdir(QStringLiteral("insert.ini")));
        fx.ui.clear();
        QVERIFY(!sidebar->editor()->saveFile());
        QCOMPARE(fx.ui.messageTexts().size(), 1);
        QVERIFY(fx.ui.messageTexts().first().contains(QLatin1String("could not be saved")));
        QVERIFY(QFileInfo(fx.path(QStringLiteral("insert.ini"))).isDir());
        QCOMPARE(sidebar->sectionBox()->count(), 1);
    }

    void textsFollowTheLanguage()
    {
        FrameFixture fx;
        startWith(fx, sampleIni(), QString(), QString());
        InsertSidebar *sidebar = fx.frame->sidebar();
        QCOMPARE(sidebar->pieceList()->toolTip(), QStringLiteral("Click to insert"));
        QCOMPARE(sidebar->editButton()->toolTip(), QStringLiteral("Edit insert.ini"));
        QCOMPARE(sidebar->editButton()->statusTip(), QStringLiteral("Push button down to edit insert.ini"));
        QCOMPARE(sidebar->editor()->reloadAction()->toolTip(), QStringLiteral("Reload insert.ini"));
        QCOMPARE(sidebar->editor()->table()->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));

        QStringList lines = TextSet::english().lines();
        for (int line = TextSet::InsertListClickHint; line <= TextSet::MultiClipboardCaption; ++line)
            lines[line] = QStringLiteral("T%1|long %1").arg(line);
        fx.frame->applyTextSet(TextSet::fromLanguageFile(lines));
        QCOMPARE(sidebar->pieceList()->toolTip(), QStringLiteral("T80"));
        QCOMPARE(sidebar->sectionBox()->toolTip(), QStringLiteral("T81"));
        QCOMPARE(sidebar->sectionBox()->statusTip(), QStringLiteral("long 81"));
        QCOMPARE(sidebar->editor()->table()->horizontalHeaderItem(0)->text(), QStringLiteral("T82|long 82"));
        QCOMPARE(sidebar->editButton()->toolTip(), QStringLiteral("T84"));
        QCOMPARE(sidebar->editor()->reloadAction()->toolTip(), QStringLiteral("T85"));
        QCOMPARE(sidebar->editor()->saveAction()->toolTip(), QStringLiteral("T86"));
        QCOMPARE(fx.frame->action(FrameAction::ShowSidebar1)->text(), QStringLiteral("T87|long 87"));
        QCOMPARE(fx.frame->multiClipboard()->caption(), QStringLiteral("T89|long 89"));
    }
};

QTEST_MAIN(TestSidebar)
#include "tst_sidebar.moc"
