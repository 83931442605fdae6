#include "FrameFixture.h"
#include "format/ui/DocumentFormatting.h"
#include "format/ui/FormatMenu.h"
#include "format/ui/FormatToolBar.h"
#include "platform/TextSet.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

// Interface languages, the coding list and the application buttons of the frame.
class TestFrameTexts : public QObject
{
    Q_OBJECT

    static QByteArray languageFile(const QString &caption, const QString &lineCol)
    {
        QStringList lines = TextSet::english().lines();
        lines[TextSet::MenuCaption] = caption;
        lines[93] = lineCol;
        lines[TextSet::OptionsMenu] = QStringLiteral("Optionen-X");
        lines[130] = QStringLiteral("Keep %s?");
        for (QString &l : lines)
            l.replace(QLatin1String("\r\n"), QLatin1String(" "));
        return lines.join(QLatin1String("\r\n")).toLatin1() + "\r\n";
    }

private slots:
    void germanFromTheSettings()
    {
        FrameFixture fx;
        fx.writeSettings({QStringLiteral("Deutsch")});
        fx.start({});
        QVERIFY(fx.frame->action(FrameAction::Deutsch1)->isChecked());
        QCOMPARE(fx.frame->statusPanel(0), QStringLiteral("Zeile:   1  Spalte:   1"));
        QCOMPARE(fx.frame->action(FrameAction::Closeall1)->text(), QStringLiteral("Alle schließen"));
        QCOMPARE(fx.frame->textSet().readMeFile(), QStringLiteral("ReadMeDe.rtf"));
        QVERIFY(fx.frame->close());
        QCOMPARE(QString::fromLatin1(fx.settingsFile()).section(QStringLiteral("\r\n"), 0, 0), QStringLiteral("Deutsch"));
    }

    void languageFileFromTheSettingsAndAgainFromMemory()
    {
        FrameFixture fx;
        const QString path = fx.writeFile(QStringLiteral("Test.lgtx"), languageFile(QStringLiteral("&Testish"),
                                                                                     QStringLiteral("L %3d C %3d")));
        fx.writeSettings({path});
        fx.start();
        QAction *other = fx.frame->action(FrameAction::other1);
        QVERIFY(other->isVisible());
        QVERIFY(other->isChecked());
        QCOMPARE(other->text(), QStringLiteral("&Testish"));
        QCOMPARE(fx.frame->settings().line(0), path);
        fx.frame->applyTextSet(TextSet::english());
        QCOMPARE(fx.frame->settings().line(0), QStringLiteral("English"));
        // The file is gone: choosing the item again takes the texts from memory.
        QFile::remove(path);
        other->trigger();
        QVERIFY(other->isChecked());
        QCOMPARE(fx.frame->textSet().entry(Txt::LineCol), QStringLiteral("L %3d C %3d"));
        QVERIFY(fx.ui.messageTexts().isEmpty());
    }

    void missingAndInvalidLanguageFiles()
    {
        FrameFixture fx;
        const QString gone = fx.path(QStringLiteral("gone.lgtx"));
        fx.writeSettings({gone});
        fx.start();
        QCOMPARE(fx.ui.messageTexts(), QStringList{QStringLiteral("Could not find the file:\r\n") + gone});
        QCOMPARE(fx.ui.beeps, QList<UserInteraction::Beep>{UserInteraction::Beep::Error});
        QVERIFY(fx.frame->action(FrameAction::English1)->isChecked());
        // Line 0 keeps the path, so the next start says the same.
        QVERIFY(fx.frame->close());
        QCOMPARE(QString::fromLatin1(fx.settingsFile()).section(QStringLiteral("\r\n"), 0, 0), gone);

        FrameFixture invalid;
        QByteArray shortFile = languageFile(QStringLiteral("x"), QStringLiteral("y"));
        shortFile.chop(shortFile.size() - shortFile.lastIndexOf("\r\n", shortFile.size() - 3) - 2);
        const QString path = invalid.writeFile(QStringLiteral("short.lgtx"), shortFile);
        invalid.start();
        invalid.ui.fileAnswers.enqueue({true, {path}, 1});
        invalid.frame->Language1Click();
        QCOMPARE(invalid.ui.fileRequests().last().filter, QStringLiteral("interface language file|*.lgtx"));
        QCOMPARE(invalid.ui.messageTexts().last(),
                 QStringLiteral("This is no valid language file for this version of Quilmar!"));
        QVERIFY(!invalid.frame->action(FrameAction::other1)->isVisible());
        QVERIFY(invalid.frame->action(FrameAction::English1)->isChecked());
    }

    void openDocumentsKeepTheirCaptionsWhileMessagesFollow()
    {
        FrameFixture fx;
        fx.start();
        TEditForm *form = fx.frame->CreateDocumentWindow();
        fx.frame->applyTextSet(TextSet::german());
        QCOMPARE(fx.frame->menuBar()->actions().first()->text(), QStringLiteral("&File"));
        QCOMPARE(fx.frame->menus().value(QStringLiteral("Window1"))->title(), QStringLiteral("Fe&nster"));
        form->Editor()->setSelText(QStringLiteral("x"));
        QCOMPARE(fx.frame->statusPanel(0), QStringLiteral("Zeile:   1  Spalte:   2"));
        fx.ui.messageAnswers.enqueue(UserInteraction::Cancel);
        form->close();
        QCOMPARE(fx.ui.messageTexts().last(), QStringLiteral("Änderungen an Untitled speichern?"));
        // A window made now takes the German captions.
        TEditForm *later = fx.frame->CreateDocumentWindow();
        QCOMPARE(later->fileMenu()->title(), QStringLiteral("&Datei"));
    }

    void formattingControlsFollowTheLanguage()
    {
        FrameFixture fx;
        fx.start();
        TEditForm *form = fx.frame->CreateDocumentWindow();
        DocumentFormatting *formatting = DocumentFormatting::of(form);
        const TextSet german = TextSet::german();
        fx.frame->applyTextSet(german);
        QCOMPARE(formatting->toolBar()->ToolButton26->toolTip(), german.entry(Txt::Bold));
        QCOMPARE(formatting->toolBar()->NumberingStartEdit->toolTip(), german.entry(Txt::StartNumbering));
        QCOMPARE(formatting->menu()->FProtected1->text(), german.entry(Txt::Protected));
        QCOMPARE(formatting->menu()->BulletFormat1->title(),
                 german.entry(Txt::Bullet) + u' ' + german.entry(Txt::Format));
        fx.frame->applyTextSet(TextSet::english());
        QCOMPARE(formatting->toolBar()->ToolButton26->toolTip(), QStringLiteral("Bold"));
        QCOMPARE(formatting->menu()->FProtected1->text(), QStringLiteral("Protected"));
    }

    void codingListDescribesItsEntries()
    {
        FrameFixture fx;
        fx.writeFile(QStringLiteral("CodePageListEn.ini"),
                     "1252=Western European (Windows)\r\n866=" + QByteArray(100, 'D') + "\r\n4711=Nothing\r\n");
        QStringList lines(49);
        lines[27] = QStringLiteral("866");
        fx.writeSettings(lines);
        fx.start();
        QComboBox *box = fx.frame->codePageComboBox();
        QCOMPARE(box->currentData().toInt(), 866);
        QCOMPARE(box->currentText(), QString(45, u'D') + QStringLiteral(" (866)"));
        QCOMPARE(box->itemText(box->findData(1252)), QStringLiteral("Western European (Windows) (1252)"));
        QCOMPARE(box->itemText(box->findData(437)), QStringLiteral("437"));
        QCOMPARE(fx.frame->selectedCodePage(), 866);

        FrameFixture none;
        QStringList other(49);
        other[27] = QStringLiteral("4711");
        none.writeSettings(other);
        none.start();
        QCOMPARE(none.frame->codePageComboBox()->currentIndex(), -1);
    }

    void applicationButtonsRunTheirProgramWithTheDocument()
    {
        FrameFixture fx;
        const QString program = fx.writeFile(QStringLiteral("viewer.exe"), "MZ");
        const QString deleted = fx.path(QStringLiteral("deleted.exe"));
        QStringList lines(49);
        lines[18] = deleted;
        lines[21] = program;
        fx.writeSettings(lines);
        fx.start();
        QCOMPARE(fx.frame->settings().line(18), QString());
        QCOMPARE(fx.frame->applicationButton(1)->toolTip(), QStringLiteral("viewer"));
        // Without a document nothing runs.
        fx.frame->runApplication(1);
        QVERIFY(fx.shell.runs.isEmpty());
        TEditForm *form = fx.frame->CreateDocumentWindow();
        const QString doc = fx.writeFile(QStringLiteral("my doc.txt"), "text");
        form->LoadDocument(doc, false);
        form->Editor()->setSelText(QStringLiteral("changed "));
        fx.ui.messageAnswers.enqueue(UserInteraction::Cancel);
        fx.frame->runApplication(1);
        QVERIFY(fx.shell.runs.isEmpty());
        fx.ui.messageAnswers.enqueue(UserInteraction::No);
        fx.frame->runApplication(1);
        QCOMPARE(fx.shell.runs, QStringList{program + QStringLiteral(" \"") + doc + u'"'});

        // Assigning by right-click; a program that fails is reported.
        const QString other = fx.path(QStringLiteral("missing-now.exe"));
        fx.ui.fileAnswers.enqueue({true, {other}, 1});
        fx.frame->assignApplication(4);
        QCOMPARE(fx.frame->settings().line(18), other);
        QCOMPARE(fx.frame->applicationButton(4)->toolTip(), QStringLiteral("missing-now"));
        form->Editor()->setModified(false);
        fx.ui.clear();
        fx.frame->runApplication(4);
        QCOMPARE(fx.ui.beeps, QList<UserInteraction::Beep>{UserInteraction::Beep::Error});
        QCOMPARE(fx.ui.messageTexts(), QStringList{QStringLiteral("No such file")});
        form->Editor()->setModified(false);
    }
};

QTEST_MAIN(TestFrameTexts)
#include "tst_frametexts.moc"
