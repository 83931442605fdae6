// The spell-check driver on a document core, with a scripted speller and a
// recording dialog: segments, tags, boundaries, each result's presentation,
// changes of other lengths, Delete, Cancel and a document closed mid-check.
#include "ScriptedSpeller.h"

#include "document/DocumentCore.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

using R = TSpellReturnCode;

class TestSpellChecker : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedUserInteraction> m_ui;
    std::unique_ptr<TSpellChecker> m_checker;
    std::unique_ptr<DocumentCore> m_core;
    ScriptedSpeller *m_speller = nullptr;
    ScriptedDialog *m_dialog = nullptr;
    int m_spellersMade = 0;

    void start(const QString &text, int caret = 0, int length = 0)
    {
        m_core->document()->setPlainText(text);
        m_core->select(caret, length);
        m_checker->Check(m_core.get());
    }
    QString selected() const { return m_core->SelText(); }

private slots:
    void init()
    {
        m_ui = std::make_unique<ScriptedUserInteraction>();
        m_checker = std::make_unique<TSpellChecker>(nullptr, m_ui.get());
        m_checker->Language = 1033;
        m_checker->Caption = QStringLiteral("Language %s");
        m_checker->FinishMessage = QStringLiteral("Spell check is completed!");
        m_checker->ShowFinishMessage = true;
        m_core = std::make_unique<DocumentCore>();
        m_core->setPlainTextMode(true);
        m_spellersMade = 0;
        m_speller = nullptr;
        m_checker->setSpellerFactory([this](TLanguage language, TSpellerType, TSpellChecker *owner) {
            ++m_spellersMade;
            auto s = std::make_unique<ScriptedSpeller>(language, owner->Options, owner);
            s->codes.insert(QStringLiteral("wrld"), R::srUnknownInputWord);
            s->codes.insert(QStringLiteral("Ths"), R::srUnknownInputWord);
            s->codes.insert(QStringLiteral("bad"), R::srUnknownInputWord);
            s->suggestions.insert(QStringLiteral("wrld"), {QStringLiteral("world"), QStringLiteral("word")});
            s->suggestions.insert(QStringLiteral("bad"), {QStringLiteral("better")});
            m_speller = s.get();
            return s;
        });
        m_dialog = nullptr;
        m_checker->setDialogFactory([this](TSpellChecker *c) { return m_dialog = new ScriptedDialog(c); });
    }
    void cleanup()
    {
        delete m_dialog;
        m_checker.reset();
    }

    void segmentsEndAtParagraphsAndContinueAfterErrors()
    {
        start(QStringLiteral("Hello wrld, fine\nSecond line"));
        QVERIFY(m_dialog && m_dialog->shown);
        QCOMPARE(selected(), QStringLiteral("wrld"));
        QCOMPARE(m_dialog->caption, QStringLiteral("Language English (United States)"));
        QCOMPARE(m_dialog->variants, QStringList({"world", "word"}));
        m_checker->Skip();
        QCOMPARE(m_speller->calls.size(), 3);
        QCOMPARE(m_speller->calls[0].buffer, QByteArray("Hello wrld, fine"));
        QVERIFY(!m_speller->calls[0].continued);
        QCOMPARE(m_speller->calls[1].buffer, QByteArray(", fine"));
        QVERIFY(m_speller->calls[1].continued);
        QCOMPARE(m_speller->calls[2].buffer, QByteArray("Second line"));
        QVERIFY(!m_speller->calls[2].continued);
        QVERIFY(!m_checker->isChecking());
        QCOMPARE(m_ui->messageTexts(), QStringList{"Spell check is completed!"});
        QCOMPARE(m_spellersMade, 1);
    }

    void emptyRangesCallNoSpeller()
    {
        start(QString());
        QVERIFY(!m_dialog);
        start(QStringLiteral("\n\n\n"));
        QVERIFY(!m_speller || m_speller->calls.isEmpty());
        QCOMPARE(m_ui->messageTexts().size(), 1);
        // Caret at the end: finished at once, with the message.
        start(QStringLiteral("wrld "), 5);
        QVERIFY(!m_speller || m_speller->calls.isEmpty());
        QCOMPARE(m_ui->messageTexts().size(), 2);
    }

    void rangeStartsAtTheWordOfTheCaretAndEndsWithTheSelection()
    {
        start(QStringLiteral("bad wrld bad"), 6, 2); // "ld" of wrld
        QCOMPARE(selected(), QStringLiteral("wrld"));
        m_checker->Skip();
        QVERIFY(!m_checker->isChecking()); // the last "bad" lies outside the range
    }

    void tagsCommentsAndScriptsAreSkipped()
    {
        m_checker->HTMLSupport = true;
        start(QStringLiteral("<p class=\"x\">Ths</p> <!-- bad > bad --> <% bad > bad %> fine <b <i>bad</i>> ok bad"));
        QCOMPARE(selected(), QStringLiteral("Ths"));
        m_checker->Skip();
        // Everything else sits in tags, the comment, the script block or the nested tag.
        QCOMPARE(selected(), QStringLiteral("bad"));
        QCOMPARE(m_core->SelStart(), m_core->Text().lastIndexOf(QStringLiteral("bad")));
        m_checker->Skip();
        QVERIFY(!m_checker->isChecking());
        for (const auto &call : std::as_const(m_speller->calls))
            QVERIFY2(!call.buffer.contains('<') && !call.buffer.contains('>'), call.buffer.constData());
        // The text after a tag inside a paragraph continues its sentence.
        QVERIFY(m_speller->calls[1].continued);
    }

    void nextSegmentsAreAnnouncedInCheckOrder()
    {
        // A speller works ahead on announced segments only if they are exactly the ones checked next.
        m_checker->HTMLSupport = true;
        const QString text = QStringLiteral("fine <b>good</b> text\n<!-- x > y --><p class=\"a\">one two</p>\n\n"
                                            "three <i>four</i> 1 < 2 end\nlast line");
        start(text);
        QVERIFY(!m_checker->isChecking());
        QList<QByteArray> checked;
        for (const auto &call : std::as_const(m_speller->calls))
            checked << call.buffer;
        QCOMPARE(checked.size(), 8);
        QCOMPARE(m_speller->announced, checked.mid(1));
        // Nothing beyond the end of a selection.
        m_speller->calls.clear();
        m_speller->announced.clear();
        start(text, 0, int(text.indexOf(QStringLiteral("three"))));
        QCOMPARE(m_speller->announced.size(), m_speller->calls.size() - 1);
        QCOMPARE(m_speller->announced.last(), QByteArray("one two"));
    }

    void bareLessThanDoesNotHideTheRest()
    {
        m_checker->HTMLSupport = true;
        start(QStringLiteral("<script>if (a < b) x();</script>\n<p>wrld</p>"));
        QCOMPARE(selected(), QStringLiteral("wrld"));
    }

    void unterminatedTagHidesTheRest()
    {
        m_checker->HTMLSupport = true;
        start(QStringLiteral("fine <a href=bad bad\nbad"));
        QVERIFY(!m_checker->isChecking());
        QCOMPARE(m_ui->messageTexts().size(), 1);
    }

    void caretInsideTagStartsAfterIt()
    {
        m_checker->HTMLSupport = true;
        start(QStringLiteral("<a title=bad>wrld"), 4);
        QCOMPARE(selected(), QStringLiteral("wrld"));
    }

    void tagLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::newRow("tag") << "<b>x" << 3;
        QTest::newRow("nested") << "<a <b> c>x" << 9;
        QTest::newRow("comment with >") << "<!-- a > b -->x" << 14;
        QTest::newRow("script with < and >") << "<% a < b > c %>x" << 15;
        QTest::newRow("unterminated") << "<a b c" << 6;
        QTest::newRow("unterminated comment") << "<!-- a > b" << 10;
        QTest::newRow("nested unterminated") << "<a <b c" << 7;
        QTest::newRow("deep nesting") << QString(50000, u'<') << 50000;
        QTest::newRow("bare < in a tag is text") << "<b x=\"1 < 2\">y" << 13;
        QTest::newRow("nested closing tag") << "<b </i>>y" << 8;
    }
    void tagLength()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QCOMPARE(TSpellChecker::TagLength(text, 0, text.size()), length);
    }

    void eachResultHasItsPresentation_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("variants");
        QTest::newRow("unknown") << 1 << "wrld" << "variants" << "Unknown word" << QStringList{"world", "word"};
        QTest::newRow("change once") << 3 << "wrld" << "variants" << "Unknown word" << QStringList{"would", "world", "word"};
        QTest::newRow("hyphenation") << 4 << "wrld" << "variants" << "Illegal hyphenations" << QStringList{"world", "word"};
        QTest::newRow("capitalization") << 5 << "wrld" << "variants" << "Capitalization error" << QStringList{"Wrld"};
        QTest::newRow("abbreviation") << 6 << "wrld" << "variants" << "Possible abbreviation" << QStringList{};
        QTest::newRow("sentence cap") << 10 << "wrld" << "variants" << "Sentence capitalization error" << QStringList{"Wrld"};
        QTest::newRow("missing space") << 13 << "wrld" << "novariants" << "Missing space" << QStringList{};
        QTest::newRow("initial numeral") << 14 << "wrld" << "novariants" << "Numerals in start of word" << QStringList{};
        QTest::newRow("no more info") << 9 << "wrld" << "novariants" << "Unknown word" << QStringList{};
    }
    void eachResultHasItsPresentation()
    {
        QFETCH(int, code);
        QFETCH(QString, word);
        m_checker->Check(nullptr);
        m_core->document()->setPlainText(QStringLiteral("a ") + word + QStringLiteral(" b"));
        m_checker->GetSpeller(1033, TSpellerType::sptMSOffice);
        m_speller->codes.insert(word, R(code));
        m_speller->changeWords.insert(word, QStringLiteral("would"));
        m_core->select(0, 0);
        m_checker->Check(m_core.get());
        QTEST(m_dialog->kind, "kind");
        QTEST(m_dialog->message, "message");
        QTEST(m_dialog->variants, "variants");
        QCOMPARE(selected(), word);
    }

    void changeAlwaysReplacesWithoutDialog()
    {
        start(QStringLiteral("x"));
        m_speller->codes.insert(QStringLiteral("teh"), R::srReturningChangeAlways);
        m_speller->changeWords.insert(QStringLiteral("teh"), QStringLiteral("the"));
        QSignalSpy changes(m_checker.get(), &TSpellChecker::OnChangeText);
        start(QStringLiteral("teh cat and teh wrld"));
        QCOMPARE(m_core->Text(), QStringLiteral("the cat and the wrld"));
        QCOMPARE(selected(), QStringLiteral("wrld"));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[1], QVariantList({12, 3, QStringLiteral("the")}));
    }

    void changesOfOtherLengthsKeepTheRange()
    {
        // The range ends before the last "bad"; a longer word moves its end.
        start(QStringLiteral("bad x bad y bad"), 0, 11);
        m_checker->Change(QStringLiteral("better"), false);
        QCOMPARE(m_speller->changedOnce, QStringList{"bad>better"});
        QCOMPARE(selected(), QStringLiteral("bad"));
        QCOMPARE(m_core->SelStart(), 9);
        m_checker->Change(QStringLiteral("b"), true); // an edited word: no ChangeOnce
        QCOMPARE(m_speller->changedOnce.size(), 1);
        QVERIFY(!m_checker->isChecking());
        QCOMPARE(m_core->Text(), QStringLiteral("better x b y bad"));
        // One undo step per change.
        m_core->Undo();
        QCOMPARE(m_core->Text(), QStringLiteral("better x bad y bad"));
    }

    void changeAllTellsTheSpellerAndLaterOccurrencesFollow()
    {
        start(QStringLiteral("bad one bad two"));
        m_checker->ChangeAll(QStringLiteral("good"));
        QCOMPARE(m_core->Text(), QStringLiteral("good one good two"));
        QCOMPARE(m_speller->changedAlways, QStringList{"bad>good"});
        QVERIFY(!m_checker->isChecking());
    }

    void addAndSkipAllAcceptTheWord()
    {
        start(QStringLiteral("bad wrld bad wrld"));
        m_checker->Add();
        QCOMPARE(m_speller->added, QStringList{"bad"});
        QCOMPARE(selected(), QStringLiteral("wrld"));
        m_checker->SkipAll();
        QCOMPARE(m_speller->ignored, QStringList{"wrld"});
        QVERIFY(!m_checker->isChecking());
    }

    void deleteRemovesRepeatedWordAndItsSpace()
    {
        start(QStringLiteral("x"));
        m_speller->findRepeats = true;
        start(QStringLiteral("in the the end the the"));
        QCOMPARE(m_dialog->kind, QStringLiteral("repeated"));
        QCOMPARE(m_core->SelStart(), 7);
        m_checker->Delete();
        QCOMPARE(m_core->Text(), QStringLiteral("in the end the the"));
        QCOMPARE(m_dialog->kind, QStringLiteral("repeated"));
        // The last word has no character after it: only the word goes... and the space before stays.
        m_checker->Delete();
        QCOMPARE(m_core->Text(), QStringLiteral("in the end the "));
        QVERIFY(!m_checker->isChecking());
    }

    void extraSpacesSelectTheSpacesAndResumeAtTheChange()
    {
        start(QStringLiteral("x"));
        m_speller->codes.insert(QStringLiteral("  "), R::srExtraSpaces);
        start(QStringLiteral("one   two"));
        QCOMPARE(m_dialog->message, QStringLiteral("Extra spaces"));
        QCOMPARE(selected(), QStringLiteral("   "));
        QCOMPARE(m_dialog->variants, QStringList{" "});
        m_checker->Change(QStringLiteral(" "), false);
        QCOMPARE(m_core->Text(), QStringLiteral("one two"));
        QVERIFY(!m_checker->isChecking());
    }

    void changeOutsideTheAnsiCodePageArrivesIntact_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("spellerType");
        QTest::addColumn<QString>("charset");
        QTest::newRow("Russian") << 1049 << int(TSpellerType::sptMSOffice) << QString();
        QTest::newRow("ispell dictionary in koi8-r") << 0 << int(TSpellerType::sptISpell) << QStringLiteral("koi8-r");
    }
    void changeOutsideTheAnsiCodePageArrivesIntact()
    {
        QFETCH(int, language);
        QFETCH(int, spellerType);
        QFETCH(QString, charset);
        m_checker->Language = TLanguage(language);
        m_checker->SpellerType = TSpellerType(spellerType);
        m_checker->DictCharset = charset;
        m_core->setPlainTextMode(false);
        m_core->document()->setPlainText(QStringLiteral("one wrld two\nbad end"));
        m_core->select(4, 4);
        m_core->SelAttributes().setStyle(TFontStyle::fsBold);
        m_core->select(9, 3);
        m_core->SelAttributes().setStyle(TFontStyle::fsItalic);
        m_core->select(0, 0);
        m_checker->Check(m_core.get());
        QCOMPARE(selected(), QStringLiteral("wrld"));
        // A line end in the replacement splits the paragraph; the check still finds the next error.
        const QString replacement = QStringLiteral("мир\nκόσμος");
        m_checker->Change(replacement, true);
        QCOMPARE(m_core->Text(), QStringLiteral("one мир\nκόσμος two\nbad end"));
        QCOMPARE(selected(), QStringLiteral("bad"));
        auto styleAt = [this](int position) {
            m_core->select(position, 1);
            return m_core->SelAttributes().Style();
        };
        QCOMPARE(styleAt(2), TFontStyles());
        QCOMPARE(styleAt(5), TFontStyles(TFontStyle::fsBold));
        QCOMPARE(styleAt(10), TFontStyles(TFontStyle::fsBold));
        QCOMPARE(styleAt(16), TFontStyles(TFontStyle::fsItalic));
        m_core->Undo();
        QCOMPARE(m_core->Text(), QStringLiteral("one wrld two\nbad end"));
    }

    void cancelFiresCancelThenFinishedAndShowsTheMessage()
    {
        start(QStringLiteral("bad bad"));
        QStringList order;
        connect(m_checker.get(), &TSpellChecker::OnCancel, this, [&] { order << "cancel"; });
        connect(m_checker.get(), &TSpellChecker::OnFinished, this, [&] { order << "finished"; });
        m_checker->Cancel();
        QCOMPARE(order, QStringList({"cancel", "finished"}));
        QVERIFY(!m_dialog->shown);
        QCOMPARE(m_ui->messageTexts(), QStringList{"Spell check is completed!"});
    }

    void documentClosedMidCheckEndsQuietly()
    {
        start(QStringLiteral("bad bad"));
        QSignalSpy finished(m_checker.get(), &TSpellChecker::OnFinished);
        m_core.reset();
        m_checker->Skip();
        m_checker->Change(QStringLiteral("x"), false);
        m_checker->Delete();
        m_checker->Cancel();
        QCOMPARE(finished.size(), 1);
        QVERIFY(!m_dialog->shown);
        QVERIFY(!m_checker->isChecking());
        m_core = std::make_unique<DocumentCore>();
    }

    void userEditBetweenStepsRestartsAfterTheError()
    {
        start(QStringLiteral("bad one wrld"));
        m_core->select(0, 0);
        m_core->setSelText(QStringLiteral("new text "));
        m_checker->Skip();
        // From the caret after the typed text.
        QCOMPARE(selected(), QStringLiteral("bad"));
        m_checker->Skip();
        QCOMPARE(selected(), QStringLiteral("wrld"));
        m_checker->Change(QStringLiteral("world"), false);
        QCOMPARE(m_core->Text(), QStringLiteral("new text bad one world"));
    }

    void protectedErrorIsNotChanged()
    {
        start(QStringLiteral("x"));
        m_core->document()->setPlainText(QStringLiteral("bad wrld"));
        m_core->setLoading(true);
        m_core->select(0, 3);
        m_core->SelAttributes().setProtected(true);
        m_core->setLoading(false);
        m_core->select(0, 0);
        m_checker->Check(m_core.get());
        m_checker->Change(QStringLiteral("better"), false);
        QCOMPARE(m_core->Text(), QStringLiteral("bad wrld"));
        QCOMPARE(selected(), QStringLiteral("wrld"));
    }

    void failedSpellerGivesOneMessageAndNoFinishMessage()
    {
        start(QStringLiteral("x"));
        m_speller->fail(QStringLiteral("ispell did not answer"));
        start(QStringLiteral("bad bad"));
        start(QStringLiteral("bad bad"));
        QCOMPARE(m_ui->messageTexts().count(QStringLiteral("ispell did not answer")), 1);
        QCOMPARE(m_ui->messageTexts().count(QStringLiteral("Spell check is completed!")), 1); // the first run only
    }

    void spellerErrorLeavesTheCheckWhereItWas()
    {
        m_checker->setSpellerFactory([](TLanguage, TSpellerType, TSpellChecker *) -> std::unique_ptr<TAbstractSpeller> {
            throw ESpellError(QStringLiteral("Error loading Spell DLL x"));
        });
        start(QStringLiteral("bad"));
        QCOMPARE(m_ui->messageTexts(), QStringList{"Error loading Spell DLL x"});
        QVERIFY(!m_checker->isChecking());
    }

    void optionsAfterTheFirstCheckDoNotRebuildTheSpeller()
    {
        start(QStringLiteral("bad"));
        m_checker->Cancel();
        m_checker->Options = 0;
        start(QStringLiteral("bad"));
        QCOMPARE(m_spellersMade, 1);
        QCOMPARE(m_speller->Options(), DefaultSpellOptions);
    }
};

QTEST_MAIN(TestSpellChecker)
#include "tst_spellchecker.moc"
