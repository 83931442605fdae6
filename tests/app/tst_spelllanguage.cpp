// The frame's spelling language: office languages listed first, German of
// the office speller out of the box, each document's own choice restored
// when it becomes active, and the choice kept in the settings.
#include "FrameFixture.h"

#include "platform/Registry.h"

#include <QComboBox>
#include <QMdiArea>
#include <QtTest>

class TestSpellLanguage : public QObject
{
    Q_OBJECT

    // Two office languages and one ispell dictionary.
    static void fillRegistry(FileRegistry &registry, const QString &ispellFolder)
    {
        const QString spelling = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\");
        for (const char *lcid : {"1031", "1033"}) {
            registry.setValue(spelling + QLatin1String(lcid) + QStringLiteral("\\Normal"), QStringLiteral("Engine"), QStringLiteral("x.so"));
        }
        registry.setValue(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ispell.exe"),
                          QStringLiteral("Path"), ispellFolder);
    }

    static QStringList settingsLines(const FrameFixture &fx)
    {
        return QString::fromLatin1(fx.settingsFile()).split(QStringLiteral("\r\n"));
    }

private slots:
    void eachDocumentKeepsItsLanguage()
    {
        FileRegistry registry;
        FrameFixture fx;
        fillRegistry(registry, fx.path(QStringLiteral("ispell")));
        QDir(fx.dir.path()).mkpath(QStringLiteral("ispell/american"));
        fx.writeFile(QStringLiteral("ispell/american/ispell.ini"),
                     "[american]\r\nCmd=ispell -a -d american\r\nLangNo=1033\r\nCharset=iso-8859-1\r\n");
        fx.registry = &registry;
        fx.start();
        QComboBox *selector = fx.frame->spellLanguageComboBox();
        QVERIFY(selector->isEnabled());
        QCOMPARE(selector->count(), 3);
        QCOMPARE(selector->itemText(0), QStringLiteral("German (Germany)"));
        QCOMPARE(selector->itemText(1), QStringLiteral("English (United States)"));
        QCOMPARE(selector->currentIndex(), 0); // German of the office speller out of the box

        TEditForm *a = fx.frame->CreateDocumentWindow();
        TEditForm *b = fx.frame->CreateDocumentWindow();
        QTRY_COMPARE(fx.frame->activeDocument(), b);
        selector->setCurrentIndex(2);
        emit selector->activated(2);
        QCOMPARE(b->SpellLanguageIndex, 2);
        QCOMPARE(a->SpellLanguageIndex, 0);
        fx.frame->activateDocument(a);
        QTRY_COMPARE(selector->currentIndex(), 0);
        fx.frame->activateDocument(b);
        QTRY_COMPARE(selector->currentIndex(), 2);

        fx.discardChanges();
        // Closing a document activates another, whose language the selector then shows.
        a->close();
        QTRY_COMPARE(selector->currentIndex(), 2);
        fx.frame->close();
        const QStringList lines = settingsLines(fx);
        QCOMPARE(lines.value(6), selector->itemText(2));
        QCOMPARE(lines.value(26), QStringLiteral("sptISpell"));

        // The next start selects the kept entry.
        FrameFixture again;
        again.registry = &registry;
        again.writeSettings(lines);
        again.start();
        QCOMPARE(again.frame->spellLanguageComboBox()->currentIndex(), 2);
    }
};

QTEST_MAIN(TestSpellLanguage)
#include "tst_spelllanguage.moc"
