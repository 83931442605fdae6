#include "document/ParagraphFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

bool ParagraphValues::operator==(const ParagraphValues &o) const
{
    return alignment == o.alignment && firstIndent == o.firstIndent && leftIndent == o.leftIndent
           && rightIndent == o.rightIndent && numbering == o.numbering
           && numberingStart == o.numberingStart && numberingStyle == o.numberingStyle
           && spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter
           && lineSpacingRule == o.lineSpacingRule && lineSpacing == o.lineSpacing && tabs == o.tabs;
}

namespace ParagraphFormat {
namespace {

int toTwips(qreal px)
{
    return int(std::lround(DocUnits::pxToTwips(px)));
}

QString suffixFor(int style)
{
    switch (style & 0xF00) {
    case 0x000: return QStringLiteral(")");
    case 0x100: return QStringLiteral(")");
    case 0x200: return QStringLiteral(".");
    default: return QString();
    }
}

} // namespace


void setIndents(QTextBlockFormat &format, int firstTwips, int leftTwips, int rightTwips, bool numbered)
{
    format.setLeftMargin(DocUnits::twipsToPx(firstTwips + leftTwips));
    format.setRightMargin(DocUnits::twipsToPx(rightTwips));
    if (numbered) {
        // Qt draws the number left of the text; the text of every line starts
        // at first + left, and the hanging part is remembered for writing.
        format.setTextIndent(0);
        format.setProperty(TextProperty::NumberingOffset, DocUnits::twipsToPx(leftTwips));
    } else {
        format.setTextIndent(DocUnits::twipsToPx(-leftTwips));
        format.clearProperty(TextProperty::NumberingOffset);
    }
}

int leftIndentTwips(const QTextBlockFormat &format, bool numbered)
{
    if (numbered)
        return toTwips(format.doubleProperty(TextProperty::NumberingOffset));
    return -toTwips(format.textIndent());
}

int firstIndentTwips(const QTextBlockFormat &format, bool numbered)
{
    return toTwips(format.leftMargin()) - leftIndentTwips(format, numbered);
}

int rightIndentTwips(const QTextBlockFormat &format)
{
    return toTwips(format.rightMargin());
}

void setLineSpacing(QTextBlockFormat &format, int rule, int twips)
{
    format.setProperty(TextProperty::LineSpacingRule, rule);
    format.setProperty(TextProperty::LineSpacingTwips, twips);
    switch (rule) {
    case 1: format.setLineHeight(150, QTextBlockFormat::ProportionalHeight); break;
    case 2: format.setLineHeight(200, QTextBlockFormat::ProportionalHeight); break;
    case 3: format.setLineHeight(DocUnits::twipsToPx(twips), QTextBlockFormat::MinimumHeight); break;
    case 4: format.setLineHeight(DocUnits::twipsToPx(twips), QTextBlockFormat::FixedHeight); break;
    case 5: format.setLineHeight(twips * 100.0 / 20.0, QTextBlockFormat::ProportionalHeight); break;
    default:
        format.setLineHeight(0, QTextBlockFormat::SingleHeight);
        format.clearProperty(TextProperty::LineSpacingRule);
        format.clearProperty(TextProperty::LineSpacingTwips);
        break;
    }
}

void setTabs(QTextBlockFormat &format, const QList<int> &twips)
{
    QList<QTextOption::Tab> tabs;
    for (int t : twips)
        tabs.append(QTextOption::Tab(DocUnits::twipsToPx(t), QTextOption::LeftTab));
    format.setTabPositions(tabs);
}

QTextListFormat::Style listStyle(NumberingKind kind)
{
    switch (kind) {
    case NumberingKind::Bullet: return QTextListFormat::ListDisc;
    case NumberingKind::Arabic: return QTextListFormat::ListDecimal;
    case NumberingKind::LowerLetter: return QTextListFormat::ListLowerAlpha;
    case NumberingKind::UpperLetter: return QTextListFormat::ListUpperAlpha;
    case NumberingKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case NumberingKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    case NumberingKind::None: break;
    }
    return QTextListFormat::ListStyleUndefined;
}

NumberingKind numberingKind(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare: return NumberingKind::Bullet;
    case QTextListFormat::ListDecimal: return NumberingKind::Arabic;
    case QTextListFormat::ListLowerAlpha: return NumberingKind::LowerLetter;
    case QTextListFormat::ListUpperAlpha: return NumberingKind::UpperLetter;
    case QTextListFormat::ListLowerRoman: return NumberingKind::LowerRoman;
    case QTextListFormat::ListUpperRoman: return NumberingKind::UpperRoman;
    default: return NumberingKind::None;
    }
}

QTextListFormat listFormat(NumberingKind kind, int start, int style)
{
    QTextListFormat format;
    format.setStyle(listStyle(kind));
    format.setIndent(0);
    format.setProperty(TextProperty::NumberingStart, start);
    format.setProperty(TextProperty::NumberingStyle, style);
    if (kind != NumberingKind::Bullet) {
        format.setNumberSuffix(suffixFor(style));
        if ((style & 0xF00) == 0x100)
            format.setNumberPrefix(QStringLiteral("("));
    }
    return format;
}

ParagraphValues read(const QTextBlock &block)
{
    ParagraphValues v;
    const QTextBlockFormat f = block.blockFormat();
    const QTextList *list = block.textList();
    const bool numbered = list != nullptr;
    v.alignment = f.alignment() & Qt::AlignHorizontal_Mask;
    v.firstIndent = firstIndentTwips(f, numbered);
    v.leftIndent = leftIndentTwips(f, numbered);
    v.rightIndent = rightIndentTwips(f);
    if (list) {
        const QTextListFormat lf = list->format();
        v.numbering = numberingKind(lf.style());
        v.numberingStart = lf.hasProperty(TextProperty::NumberingStart)
                               ? lf.intProperty(TextProperty::NumberingStart) : 1;
        v.numberingStyle = lf.intProperty(TextProperty::NumberingStyle);
    }
    v.spaceBefore = toTwips(f.topMargin());
    v.spaceAfter = toTwips(f.bottomMargin());
    if (f.hasProperty(TextProperty::LineSpacingRule)) {
        v.lineSpacingRule = f.intProperty(TextProperty::LineSpacingRule);
        v.lineSpacing = f.intProperty(TextProperty::LineSpacingTwips);
    }
    for (const QTextOption::Tab &tab : f.tabPositions())
        v.tabs.append(toTwips(tab.position));
    return v;
}

void applyNumbering(QTextCursor &cursor, NumberingKind kind, int start, int style)
{
    QTextDocument *doc = cursor.document();
    const int first = doc->findBlock(cursor.selectionStart()).blockNumber();
    const int last = doc->findBlock(cursor.selectionEnd()).blockNumber();
    QTextCursor c(doc);
    c.beginEditBlock();
    QTextList *target = nullptr;
    if (kind != NumberingKind::None) {
        // Continue the list just above when it has the same kind.
        const QTextBlock above = doc->findBlockByNumber(first).previous();
        if (above.isValid() && above.textList()
            && numberingKind(above.textList()->format().style()) == kind)
            target = above.textList();
    }
    for (QTextBlock b = doc->findBlockByNumber(first); b.isValid() && b.blockNumber() <= last; b = b.next()) {
        QTextBlockFormat bf = b.blockFormat();
        const bool wasNumbered = b.textList() != nullptr;
        const int firstTw = firstIndentTwips(bf, wasNumbered);
        const int leftTw = leftIndentTwips(bf, wasNumbered);
        if (QTextList *old = b.textList())
            old->remove(b);
        c.setPosition(b.position());
        if (kind == NumberingKind::None) {
            bf.setObjectIndex(-1);
            setIndents(bf, firstTw, leftTw, rightIndentTwips(bf), false);
            c.setBlockFormat(bf);
            continue;
        }
        setIndents(bf, firstTw, leftTw, rightIndentTwips(bf), true);
        c.setBlockFormat(bf);
        if (!target)
            target = c.createList(listFormat(kind, start, style));
        else
            target->add(c.block());
    }
    c.endEditBlock();
}

void apply(QTextCursor &cursor, const ParagraphValues &v)
{
    const bool numbered = v.numbering != NumberingKind::None;
    QTextBlockFormat bf = cursor.blockFormat();
    bf.setAlignment(v.alignment);
    setIndents(bf, v.firstIndent, v.leftIndent, v.rightIndent, numbered);
    bf.setTopMargin(DocUnits::twipsToPx(v.spaceBefore));
    bf.setBottomMargin(DocUnits::twipsToPx(v.spaceAfter));
    setLineSpacing(bf, v.lineSpacingRule, v.lineSpacing);
    setTabs(bf, v.tabs);
    cursor.setBlockFormat(bf);
}

} // namespace ParagraphFormat
