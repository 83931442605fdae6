#include "document/DocumentCore.h"
#include "document/rtf/DocumentDump.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"
#include "format/FormattingCommands.h"
#include "format/NumberingChoice.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace {

QTextCharFormat formatAt(DocumentCore &core, int position)
{
    QTextCursor c(core.document());
    c.setPosition(position + 1);
    return c.charFormat();
}

bool boldAt(DocumentCore &core, int position)
{
    return formatAt(core, position).fontWeight() >= QFont::DemiBold;
}

void readRtf(const QByteArray &rtf, QTextDocument &into)
{
    QTextCursor cursor(&into);
    RtfReader().read(rtf, cursor);
}

// Dumps of the document written and read once, and twice: the writer makes
// defaults explicit, so the first read is the one to compare with.
std::pair<QString, QString> roundTrip(const QTextDocument &document)
{
    QTextDocument once;
    readRtf(RtfWriter().write(document), once);
    QTextDocument twice;
    readRtf(RtfWriter().write(once), twice);
    return {DocumentDump::dump(once), DocumentDump::dump(twice)};
}

} // namespace

class TestFormattingCommands : public QObject
{
    Q_OBJECT

private slots:
    void boldWithoutSelectionTakesTheWord();
    void fontSizeOutsideRangeIsNotApplied_data();
    void fontSizeOutsideRangeIsNotApplied();
    void automaticColours();
    void protectionToggles();
    void numberingSetsTheHangingIndent();
    void numberingKindsKeepOrResetTheStart();
    void numberingStartIsBounded_data();
    void numberingStartIsBounded();
    void indentButtonsGoNegative();
    void mixedSelectionDoesNotCrash();
    void everyFormatSurvivesRtf();
    void numberingKindsSurviveRtf_data();
    void numberingKindsSurviveRtf();
};

void TestFormattingCommands::boldWithoutSelectionTakesTheWord()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("hello world"));
    core.select(2, 0);
    FormattingCommands commands(&core);
    commands.setStyle(TFontStyle::fsBold, true);
    for (int i = 0; i < 5; ++i)
        QVERIFY2(boldAt(core, i), qPrintable(QString::number(i)));
    QVERIFY(!boldAt(core, 5));
    QVERIFY(!boldAt(core, 7));
    QCOMPARE(core.SelStart(), 2);
    QCOMPARE(core.SelLength(), 0);
    QVERIFY(commands.read().style.testFlag(TFontStyle::fsBold));

    // One undo step takes the whole word back.
    core.Undo();
    for (int i = 0; i < 5; ++i)
        QVERIFY(!boldAt(core, i));

    // Between spaces only the insertion format changes.
    DocumentCore spaces;
    spaces.setSelText(QStringLiteral("a   b"));
    spaces.select(2, 0);
    FormattingCommands(&spaces).setStyle(TFontStyle::fsItalic, true);
    QVERIFY(!formatAt(spaces, 0).fontItalic());
    QVERIFY(!formatAt(spaces, 4).fontItalic());
    QVERIFY(spaces.insertionFormat().fontItalic());
}

void TestFormattingCommands::fontSizeOutsideRangeIsNotApplied_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("applied");
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("negative") << -12 << false;
    QTest::newRow("one") << 1 << true;
    QTest::newRow("largest") << 1638 << true;
    QTest::newRow("one more") << 1639 << false;
    QTest::newRow("int max") << 2147483647 << false;
}

void TestFormattingCommands::fontSizeOutsideRangeIsNotApplied()
{
    QFETCH(int, size);
    QFETCH(bool, applied);
    DocumentCore core;
    core.setSelText(QStringLiteral("size"));
    core.select(0, 4);
    FormattingCommands commands(&core);
    QVERIFY(commands.setFontSize(20));
    QCOMPARE(commands.setFontSize(size), applied);
    QCOMPARE(commands.read().size, applied ? size : 20);
    // Layout of the result finishes.
    QVERIFY(core.document()->documentLayout()->documentSize().height() > 0);
}

void TestFormattingCommands::automaticColours()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("colour"));
    core.select(0, 6);
    FormattingCommands commands(&core);
    commands.setTextColor(Qt::red);
    commands.setBackColor(Qt::yellow);
    QCOMPARE(core.SelAttributes().Color(), QColor(Qt::red));
    QCOMPARE(formatAt(core, 0).background().color(), QColor(Qt::yellow));

    commands.setTextColor(QGuiApplication::palette().color(QPalette::Text));
    commands.setBackColor(QGuiApplication::palette().color(QPalette::Base));
    QVERIFY(core.SelAttributes().isAutoColor());
    QCOMPARE(formatAt(core, 0).background().style(), Qt::NoBrush);
}

void TestFormattingCommands::protectionToggles()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("keep this"));
    core.select(0, 4);
    FormattingCommands commands(&core);
    QVERIFY(commands.toggleProtected());
    QVERIFY(!core.Loading());

    // Protected text refuses typing and the other effects.
    core.select(1, 0);
    core.setSelText(QStringLiteral("x"));
    QCOMPARE(core.Text(), QStringLiteral("keep this"));
    core.select(0, 4);
    QVERIFY(!commands.toggleHidden());
    QVERIFY(!formatAt(core, 0).boolProperty(TextProperty::Hidden));

    QVERIFY(!commands.toggleProtected());
    core.select(1, 0);
    core.setSelText(QStringLiteral("x"));
    QCOMPARE(core.Text(), QStringLiteral("kxeep this"));
    core.select(0, 5);
    QVERIFY(commands.toggleHidden());
    QVERIFY(commands.toggleDisabled());
    QVERIFY(!commands.toggleDisabled());
}

void TestFormattingCommands::numberingSetsTheHangingIndent()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("item"));
    FormattingCommands commands(&core);
    core.Paragraph().setLeftIndent(4);
    commands.setNumbering(NumberingKind::Arabic, 1);
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::Arabic);
    QCOMPARE(core.Paragraph().LeftIndent(), 10);

    core.Paragraph().setLeftIndent(30);
    commands.setNumbering(NumberingKind::Bullet);
    QCOMPARE(core.Paragraph().LeftIndent(), 30);

    commands.setNumbering(NumberingKind::None);
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::None);
    QCOMPARE(core.Paragraph().LeftIndent(), 0);
    // Removing was one step: undo brings back the bullet and its indent.
    core.Undo();
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::Bullet);
    QCOMPARE(core.Paragraph().LeftIndent(), 30);
}

void TestFormattingCommands::numberingKindsKeepOrResetTheStart()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("one"));
    FormattingCommands commands(&core);
    NumberingChoice choice(&commands);
    QCOMPARE(choice.kind(), NumberingKind::Bullet);

    // Choosing a kind for an unnumbered paragraph changes only the choice.
    choice.chooseKind(NumberingKind::LowerLetter, core.Paragraph().values());
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::None);
    choice.setButtonDown(true);
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::LowerLetter);
    QCOMPARE(core.Paragraph().NumberingStart(), 1);
    QVERIFY(choice.isStartShown());

    choice.setStart(5);
    QCOMPARE(core.Paragraph().NumberingStart(), 5);
    choice.chooseKind(NumberingKind::UpperRoman, core.Paragraph().values());
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::UpperRoman);
    QCOMPARE(choice.start(), 5);
    QCOMPARE(core.Paragraph().NumberingStart(), 5);

    choice.chooseKind(NumberingKind::Bullet, core.Paragraph().values());
    QVERIFY(!choice.isStartShown());
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::Bullet);
    choice.chooseKind(NumberingKind::Arabic, core.Paragraph().values());
    QVERIFY(choice.isStartShown());
    QCOMPARE(choice.start(), 1);
    QCOMPARE(core.Paragraph().NumberingStart(), 1);

    choice.setButtonDown(false);
    QCOMPARE(core.Paragraph().Numbering(), NumberingKind::None);
    QVERIFY(!choice.isStartShown());
    choice.sync(core.Paragraph().values());
    QVERIFY(!choice.isButtonDown());
}

void TestFormattingCommands::numberingStartIsBounded_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -3 << 1;
    QTest::newRow("int max") << 2147483647 << 32767;
    QTest::newRow("ordinary") << 12 << 12;
}

void TestFormattingCommands::numberingStartIsBounded()
{
    QFETCH(int, start);
    QFETCH(int, expected);
    DocumentCore core;
    core.setSelText(QStringLiteral("n"));
    FormattingCommands commands(&core);
    commands.setNumbering(NumberingKind::Arabic, start);
    QCOMPARE(core.Paragraph().NumberingStart(), expected);
    commands.setNumberingStart(start);
    QCOMPARE(core.Paragraph().NumberingStart(), expected);
    const auto [before, after] = roundTrip(*core.document());
    QCOMPARE(after, before);
}

void TestFormattingCommands::indentButtonsGoNegative()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("para"));
    FormattingCommands commands(&core);
    commands.shiftFirstIndent(-FormattingCommands::IndentStep);
    QCOMPARE(core.Paragraph().FirstIndent(), -20);
    commands.shiftFirstIndent(-FormattingCommands::IndentStep);
    QCOMPARE(core.Paragraph().FirstIndent(), -40);
    commands.shiftFirstIndent(3 * FormattingCommands::IndentStep);
    QCOMPARE(core.Paragraph().FirstIndent(), 20);
}

void TestFormattingCommands::mixedSelectionDoesNotCrash()
{
    DocumentCore core;
    core.setSelText(QStringLiteral("before "));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    core.InsertPicture(picture);
    QTextCursor c = core.cursor();
    QTextTable *table = c.insertTable(2, 2);
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("cell"));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral(" after"));
    core.select(0, 0);
    core.select(0, 3);
    FormattingCommands commands(&core);
    commands.toggleProtected();
    const QString text = core.Text();

    core.select(0, core.TextLength());
    commands.setStyle(TFontStyle::fsBold, true);
    commands.setFontName(QStringLiteral("No Such Font Family 42"));
    commands.setFontSize(2147483647);
    commands.setSubscriptStyle(TSubscriptStyle::ssSuperscript);
    commands.setAlignment(TAlignment::taCenter);
    commands.setNumbering(NumberingKind::UpperRoman, 2147483647);
    commands.setNumbering(NumberingKind::None);
    commands.toggleHidden();
    QCOMPARE(core.Text(), text);
    // The protected part refuses the whole change, as the control does.
    QVERIFY(!boldAt(core, 0));
    QVERIFY(!boldAt(core, core.TextLength() - 2));

    commands.toggleProtected();
    commands.setStyle(TFontStyle::fsBold, true);
    QVERIFY(boldAt(core, core.TextLength() - 2));
    QCOMPARE(core.Text(), text);
    const auto [before, after] = roundTrip(*core.document());
    QCOMPARE(after, before);
}

void TestFormattingCommands::everyFormatSurvivesRtf()
{
    DocumentCore core;
    FormattingCommands commands(&core);
    const QStringList words{"bold", "italic", "underline", "strike", "font", "size", "red", "yellow",
                            "super", "sub", "protected", "hidden", "disabled"};
    core.setSelText(words.join(QLatin1Char(' ')) + QStringLiteral("\nsecond paragraph\nthird"));
    auto word = [&](int i) {
        int start = 0;
        for (int k = 0; k < i; ++k)
            start += words.at(k).size() + 1;
        core.select(start, words.at(i).size());
    };
    word(0), commands.setStyle(TFontStyle::fsBold, true);
    word(1), commands.setStyle(TFontStyle::fsItalic, true);
    word(2), commands.setStyle(TFontStyle::fsUnderline, true);
    word(3), commands.setStyle(TFontStyle::fsStrikeOut, true);
    word(4), commands.setFontName(QStringLiteral("Not Installed Anywhere"));
    word(5), commands.setFontSize(1638);
    word(6), commands.setTextColor(QColor(200, 10, 20));
    word(7), commands.setBackColor(QColor(250, 240, 10));
    word(8), commands.setSubscriptStyle(TSubscriptStyle::ssSuperscript);
    word(9), commands.setSubscriptStyle(TSubscriptStyle::ssSubscript);
    word(10), commands.toggleProtected();
    word(11), commands.toggleHidden();
    word(12), commands.toggleDisabled();

    core.select(core.Text().indexOf(QStringLiteral("second")), 0);
    commands.setAlignment(TAlignment::taRightJustify);
    commands.setIndents(36, 18, 24);
    core.Paragraph().setSpaceBefore(6);
    core.Paragraph().setSpaceAfter(12);
    core.Paragraph().setLineSpacing(3, 16);
    core.select(core.Text().indexOf(QStringLiteral("third")), 0);
    commands.setAlignment(TAlignment::taCenter);
    commands.shiftFirstIndent(-20);

    const auto [before, after] = roundTrip(*core.document());
    QCOMPARE(after, before);

    // What was set is what a reader of the file sees.
    DocumentCore back;
    QVERIFY(back.loadRtf(RtfWriter().write(*core.document())).loaded());
    FormattingCommands read(&back);
    auto at = [&](int i) {
        int start = 0;
        for (int k = 0; k < i; ++k)
            start += words.at(k).size() + 1;
        back.select(start, words.at(i).size());
        return read.read();
    };
    QCOMPARE(at(0).style, TFontStyles(TFontStyle::fsBold));
    QCOMPARE(at(1).style, TFontStyles(TFontStyle::fsItalic));
    QCOMPARE(at(2).style, TFontStyles(TFontStyle::fsUnderline));
    QCOMPARE(at(3).style, TFontStyles(TFontStyle::fsStrikeOut));
    QCOMPARE(at(4).name, QStringLiteral("Not Installed Anywhere"));
    QCOMPARE(at(5).size, 1638);
    at(6);
    QCOMPARE(back.SelAttributes().Color(), QColor(200, 10, 20));
    at(7);
    QCOMPARE(back.SelAttributes().BackColor(), QColor(250, 240, 10));
    QCOMPARE(at(8).subscript, TSubscriptStyle::ssSuperscript);
    QCOMPARE(at(9).subscript, TSubscriptStyle::ssSubscript);
    QVERIFY(at(10).isProtected);
    QVERIFY(at(11).isHidden);
    QVERIFY(at(12).isDisabled);
    back.select(back.Text().indexOf(QStringLiteral("second")), 0);
    ParagraphValues p = back.Paragraph().values();
    QCOMPARE(back.Paragraph().Alignment(), TAlignment::taRightJustify);
    QCOMPARE(QList<int>({p.firstIndent, p.leftIndent, p.rightIndent, p.spaceBefore, p.spaceAfter}),
             QList<int>({720, 360, 480, 120, 240}));
    QCOMPARE(p.lineSpacingRule, 3);
    QCOMPARE(p.lineSpacing, 320);
    back.select(back.Text().indexOf(QStringLiteral("third")), 0);
    QCOMPARE(back.Paragraph().Alignment(), TAlignment::taCenter);
    QCOMPARE(back.Paragraph().FirstIndent(), -20);
}

void TestFormattingCommands::numberingKindsSurviveRtf_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(NumberingChoice::kinds().size()); ++i)
        QTest::newRow(NumberingChoice::kinds().at(i).caption) << i;
}

void TestFormattingCommands::numberingKindsSurviveRtf()
{
    QFETCH(int, index);
    const NumberingKindEntry &entry = NumberingChoice::kinds().at(index);
    DocumentCore core;
    core.setSelText(QStringLiteral("first\nsecond\nthird"));
    core.select(0, core.TextLength());
    FormattingCommands commands(&core);
    NumberingChoice choice(&commands);
    choice.chooseKind(entry.kind, core.Paragraph().values());
    choice.setButtonDown(true);
    if (entry.kind != NumberingKind::Bullet)
        choice.setStart(7);
    QCOMPARE(core.Paragraph().Numbering(), entry.kind);
    const auto [before, after] = roundTrip(*core.document());
    QCOMPARE(after, before);

    QTextDocument back;
    QTextCursor cursor(&back);
    RtfReader().read(RtfWriter().write(*core.document()), cursor);
    const ParagraphValues v = ParagraphFormat::read(back.lastBlock());
    QCOMPARE(v.numbering, entry.kind);
    if (entry.kind != NumberingKind::Bullet)
        QCOMPARE(v.numberingStart, 7);
}

QTEST_MAIN(TestFormattingCommands)
#include "tst_formattingcommands.moc"
