// The spell-check driver with the real office speller (our proofing library
// over Debian's hunspell dictionaries): German and English documents, Add,
// Change All, a repeated word deleted, extra spaces collapsed.
#include "ScriptedSpeller.h"

#include "document/DocumentCore.h"
#include "platform/Registry.h"
#include "spell/OfficeLanguages.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

class TestSpellCheckerOffice : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FileRegistry m_registry;
    std::unique_ptr<ScriptedUserInteraction> m_ui;
    std::unique_ptr<TSpellChecker> m_checker;
    std::unique_ptr<DocumentCore> m_core;
    ScriptedDialog *m_dialog = nullptr;

    void start(const QString &text)
    {
        m_core->document()->setPlainText(text);
        m_core->select(0, 0);
        m_checker->Check(m_core.get());
    }
    QString selected() const { return m_core->SelText(); }

private slots:
    void initTestCase()
    {
        if (!QFile::exists("/usr/share/hunspell/en_US.dic") || !QFile::exists("/usr/share/hunspell/de_DE.dic"))
            QSKIP("hunspell-en-us and hunspell-de-de are not installed");
        QVERIFY(OfficeLanguages::registerHunspellDictionaries(m_registry, QUILMAR_PROOFING_LIBRARY,
                                                              {QStringLiteral("/usr/share/hunspell")}));
    }
    void init()
    {
        m_ui = std::make_unique<ScriptedUserInteraction>();
        m_checker = std::make_unique<TSpellChecker>(&m_registry, m_ui.get());
        m_checker->UserDictionaryFolder = m_dir.path();
        m_checker->CustomDict = m_dir.filePath(QStringLiteral("user-%1.dic").arg(QTest::currentTestFunction()));
        m_checker->FinishMessage = QStringLiteral("done");
        m_checker->ShowFinishMessage = true;
        m_checker->setDialogFactory([this](TSpellChecker *c) { return m_dialog = new ScriptedDialog(c); });
        m_core = std::make_unique<DocumentCore>();
        m_core->setPlainTextMode(true);
    }
    void cleanup()
    {
        delete m_dialog;
        m_dialog = nullptr;
        m_checker.reset();
    }

    void germanDocumentOutOfTheBox()
    {
        m_checker->Language = 1031;
        start(QStringLiteral("Das ist ein Tesst für Größe und Straße.\nZweiter Absatz ohne Fehlerr."));
        QVERIFY2(m_ui->messageTexts().isEmpty(), qPrintable(m_ui->messageTexts().join('\n')));
        QCOMPARE(selected(), QStringLiteral("Tesst"));
        QCOMPARE(m_dialog->message, QStringLiteral("Unknown word"));
        QVERIFY2(m_dialog->variants.contains(QStringLiteral("Test")), qPrintable(m_dialog->variants.join(',')));
        m_checker->Change(QStringLiteral("Test"), false);
        QCOMPARE(selected(), QStringLiteral("Fehlerr"));
        m_checker->Add();
        QVERIFY(!m_checker->isChecking());
        QCOMPARE(m_core->Text(), QStringLiteral("Das ist ein Test für Größe und Straße.\nZweiter Absatz ohne Fehlerr."));
        QCOMPARE(m_ui->messageTexts(), QStringList{"done"});
        // The added word passes the next check.
        start(QStringLiteral("Fehlerr"));
        QCOMPARE(m_ui->messageTexts().size(), 2);
    }

    void englishChangeAllReplacesLaterOccurrences()
    {
        m_checker->Language = 1033;
        start(QStringLiteral("A mispelled word, another mispelled word and a wrongg one."));
        QCOMPARE(selected(), QStringLiteral("mispelled"));
        QVERIFY(m_dialog->variants.contains(QStringLiteral("misspelled")));
        m_checker->ChangeAll(QStringLiteral("misspelled"));
        QCOMPARE(selected(), QStringLiteral("wrongg"));
        QCOMPARE(m_core->Text(), QStringLiteral("A misspelled word, another misspelled word and a wrongg one."));
    }

    void repeatedWordIsDeleted()
    {
        m_checker->Language = 1033;
        m_checker->Options |= spoFindRepeatWord;
        start(QStringLiteral("This is the the end."));
        QCOMPARE(m_dialog->kind, QStringLiteral("repeated"));
        QCOMPARE(selected(), QStringLiteral("the"));
        QCOMPARE(m_core->SelStart(), 8); // the library names the first of the two
        m_checker->Delete();
        QCOMPARE(m_core->Text(), QStringLiteral("This is the end."));
        QVERIFY(!m_checker->isChecking());
    }

    void extraSpacesCollapse()
    {
        m_checker->Language = 1033;
        m_checker->Options |= spoFindExtraSpaces;
        start(QStringLiteral("One   two."));
        QCOMPARE(m_dialog->message, QStringLiteral("Extra spaces"));
        QCOMPARE(m_dialog->variants.size(), 1);
        m_checker->Change(m_dialog->variants.first(), false);
        QCOMPARE(m_core->Text(), QStringLiteral("One two."));
        QVERIFY(!m_checker->isChecking());
    }

    void languageWithoutDictionaryRunsThroughWithoutFinishMessage()
    {
        m_checker->Language = 1041; // Japanese: no key
        start(QStringLiteral("Anything at all"));
        QVERIFY(!m_checker->isChecking());
        QVERIFY(!m_ui->messageTexts().contains(QStringLiteral("done")));
        QCOMPARE(m_ui->messageTexts(), QStringList{"Language Japanese (Japan) not installed"});
    }
};

QTEST_MAIN(TestSpellCheckerOffice)
#include "tst_spellchecker_office.moc"
