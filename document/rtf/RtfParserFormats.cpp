// How the reader's states become QTextDocument formats, pictures and fields.
#include "document/rtf/RtfParser.h"

#include "document/ParagraphFormat.h"
#include "document/rtf/RtfCharsets.h"
#include "platform/CodePages.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <cmath>

namespace Rtf {
namespace {

QTextCharFormat::UnderlineStyle qtUnderline(int kind)
{
    switch (kind) {
    case 4: return QTextCharFormat::DotLine;
    case 5: return QTextCharFormat::DashUnderline;
    case 6: return QTextCharFormat::DashDotLine;
    case 7: return QTextCharFormat::DashDotDotLine;
    case 8: return QTextCharFormat::WaveUnderline;
    default: return QTextCharFormat::SingleUnderline;
    }
}

NumberingKind kindForNfc(int nfc)
{
    switch (nfc) {
    case 1: return NumberingKind::UpperRoman;
    case 2: return NumberingKind::LowerRoman;
    case 3: return NumberingKind::UpperLetter;
    case 4: return NumberingKind::LowerLetter;
    case 23: return NumberingKind::Bullet;
    case 255: return NumberingKind::None;
    default: return NumberingKind::Arabic;
    }
}

// RichEdit's numbering style from the text around the number.
int numberingStyle(char16_t before, char16_t after)
{
    if (before == '(' && after == ')')
        return 0x100;
    if (after == ')')
        return 0x000;
    if (after == '.')
        return 0x200;
    return 0x300;
}

// \leveltext holds a length byte, then the text with bytes 0..8 standing
// for the numbers of the levels.
int levelTextStyle(const QByteArray &text, int level)
{
    if (text.size() < 2)
        return 0x300;
    const int length = std::min<int>(uchar(text.at(0)), int(text.size()) - 1);
    const QByteArray body = text.mid(1, length);
    const int at = body.indexOf(char(level));
    if (at < 0)
        return 0x300;
    const char16_t before = at > 0 ? char16_t(uchar(body.at(at - 1))) : 0;
    const char16_t after = at + 1 < body.size() ? char16_t(uchar(body.at(at + 1))) : 0;
    return numberingStyle(before, after);
}

// True when the level text shows some level's number at all.
bool levelTextHasNumber(const QByteArray &text)
{
    const int length = text.isEmpty() ? 0 : std::min<int>(uchar(text.at(0)), int(text.size()) - 1);
    for (int i = 1; i <= length; ++i)
        if (uchar(text.at(i)) < 9)
            return true;
    return false;
}

// HYPERLINK "target" [\l "bookmark"], with doubled backslashes in quotes.
QString hyperlinkTarget(const QString &instruction)
{
    static const QRegularExpression arg(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\"|(\\\\[a-zA-Z])|(\\S+)"));
    QString target, bookmark;
    bool nextIsBookmark = false;
    auto it = arg.globalMatch(instruction, instruction.indexOf(QLatin1String("HYPERLINK"), 0, Qt::CaseInsensitive) + 9);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(2).isEmpty()) {
            nextIsBookmark = m.captured(2).compare(QLatin1String("\\l"), Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value = m.captured(1).isNull() ? m.captured(3) : m.captured(1);
        value.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        if (nextIsBookmark) {
            bookmark = value;
            nextIsBookmark = false;
        } else if (target.isEmpty()) {
            target = value;
        }
    }
    if (!bookmark.isEmpty())
        target += QLatin1Char('#') + bookmark;
    return target;
}

} // namespace

QTextCharFormat Parser::makeCharFormat(const CharState &c) const
{
    QTextCharFormat f;
    auto font = m_fonts.find(c.font >= 0 ? c.font : m_defaultFont);
    if (font != m_fonts.end() && !font->second.name.isEmpty()) {
        f.setFontFamilies(QStringList{font->second.name});
        f.setProperty(TextProperty::FontCharset, std::max(font->second.charset, 0));
    } else {
        // Text in no known font is in the document's default font, as the
        // writer names it.
        f.setFontFamilies(QStringList{m_defaultFamily});
        f.setProperty(TextProperty::FontCharset, RtfCharsets::charsetForCodePage(m_documentCodePage));
    }
    f.setFontPointSize(c.halfPoints / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline == 1) {
        f.setFontUnderline(true);
    } else if (c.underline > 1) {
        f.setUnderlineStyle(qtUnderline(c.underline));
        f.setProperty(TextProperty::UnderlineKind, int(c.underline));
    }
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.color >= 0 && size_t(c.color) < m_colors.size() && m_colors[size_t(c.color)].isValid())
        f.setForeground(m_colors[size_t(c.color)]);
    if (c.background >= 0 && size_t(c.background) < m_colors.size() && m_colors[size_t(c.background)].isValid())
        f.setBackground(m_colors[size_t(c.background)]);
    if (c.valign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.valign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.raise != 0 && c.valign != 0)
        f.setProperty(TextProperty::RaiseHalfPoints, int(c.raise));
    if (c.hidden)
        f.setProperty(TextProperty::Hidden, true);
    if (c.protect)
        f.setProperty(TextProperty::Protected, true);
    if (c.disabled)
        f.setProperty(TextProperty::Disabled, true);
    if (c.lang > 0)
        f.setProperty(TextProperty::Language, c.lang);
    if (c.caps == 1)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.caps == 2)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.field >= 0 && size_t(c.field) < m_fields.size()) {
        const Field &field = m_fields[size_t(c.field)];
        if (!field.href.isEmpty()) {
            f.setAnchor(true);
            f.setAnchorHref(field.href);
        } else if (!field.instruction.isEmpty()) {
            f.setProperty(TextProperty::FieldInstruction, field.instruction);
            f.setProperty(TextProperty::FieldId, field.id);
        }
    }
    if (c.object >= 0 && size_t(c.object) < m_objects.size()) {
        f.setProperty(TextProperty::ObjectData, m_objects[size_t(c.object)].raw);
        f.setProperty(TextProperty::ObjectId, m_objects[size_t(c.object)].id);
    }
    return f;
}

BlockSpec Parser::makeBlockSpec(const ParaState &p) const
{
    BlockSpec spec;
    // An \ls the list tables do not define numbers nothing, as in Word;
    // the old-style numbering of the same paragraph, if any, stands.
    auto override = p.ls > 0 ? m_listOverrides.find(p.ls) : m_listOverrides.end();
    auto list = m_lists.find(override != m_listOverrides.end() ? override->second : -1);
    if (list != m_lists.end()) {
        const ListLevel &level = list->second[size_t(p.ilvl)];
        spec.numbering = kindForNfc(level.nfc);
        // A level text without a number is a bullet, whatever the number format says.
        if (spec.numbering != NumberingKind::None && level.text.size() > 1 && !levelTextHasNumber(level.text))
            spec.numbering = NumberingKind::Bullet;
        spec.start = level.start;
        spec.style = spec.numbering == NumberingKind::Bullet ? 0 : levelTextStyle(level.text, p.ilvl);
        spec.listKey = p.ls * 16 + p.ilvl;
        if (m_keepsDocumentGroups)
            spec.keptOverride = p.ls == kListOverrideZero ? 0 : p.ls;
        if (spec.numbering == NumberingKind::Bullet)
            bulletOfLevel(level, &spec);
    } else if (p.pnKind != 0) {
        spec.numbering = NumberingKind(p.pnKind);
        spec.start = p.pnStart;
        spec.style = spec.numbering == NumberingKind::Bullet ? 0 : numberingStyle(p.pnBefore, p.pnAfter);
    }
    const bool numbered = spec.numbering != NumberingKind::None;
    if (spec.numbering == NumberingKind::Bullet)
        spec.start = 1; // bullets count nothing

    QTextBlockFormat &bf = spec.format;
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                                   Qt::AlignJustify};
    bf.setAlignment(alignments[p.align & 3]);
    // RTF: \li is where the lines after the first start, \fi the first line's
    // offset from there.
    ParagraphFormat::setIndents(bf, p.li + p.fi, -p.fi, p.ri, numbered);
    bf.setTopMargin(DocUnits::twipsToPx(p.sb));
    bf.setBottomMargin(DocUnits::twipsToPx(p.sa));
    int rule = 0, spacing = 0;
    if (p.sl != 0) {
        if (p.slmult) {
            const int sl = std::abs(p.sl);
            if (sl == 360)
                rule = 1;
            else if (sl == 480)
                rule = 2;
            else {
                rule = 5;
                spacing = std::max(1, int(std::lround(sl / 12.0)));
            }
        } else if (p.sl > 0) {
            rule = 3;
            spacing = p.sl;
        } else {
            rule = 4;
            spacing = -p.sl;
        }
    }
    ParagraphFormat::setLineSpacing(bf, rule, spacing);
    if (p.tabs > 0)
        ParagraphFormat::setTabs(bf, m_tabLists[size_t(p.tabs)]);
    if (p.pageBreak)
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (p.frame > 0)
        bf.setProperty(TextProperty::FrameWords, m_frameWords[size_t(p.frame)]);
    return spec;
}

// The bullet a level text shows (its length, then its characters), in the
// level's font. Word draws most bullets from Symbol or Wingdings, "o" from
// Courier New; the default "•" of a text font needs nothing kept.
void Parser::bulletOfLevel(const ListLevel &level, BlockSpec *spec) const
{
    if (level.chars.isEmpty())
        return;
    const char16_t first = level.chars.at(0).unicode();
    const int length = first >= 0xF700 && first <= 0xF7FF ? first - 0xF700 : 0;
    const int cp = fontCodePage(level.font >= 0 ? level.font : m_defaultFont);
    QString bullet;
    for (QChar c : QStringView(level.chars).mid(1, std::min<qsizetype>(length, level.chars.size() - 1))) {
        const char16_t u = c.unicode();
        if (u < 0xF700 || u > 0xF7FF) {
            bullet += c;
            continue;
        }
        const uchar b = uchar(u - 0xF700);
        if (b < 9)
            return; // a number after all
        if (cp == RtfCharsets::SymbolCodePage)
            bullet += QChar(char16_t(0xF000 + b));
        else
            bullet += CodePages::toUnicode(cp, QByteArray(1, char(b)));
    }
    auto font = m_fonts.find(level.font);
    const bool symbolFont = cp == RtfCharsets::SymbolCodePage;
    const bool bulletFormat = level.nfc == 23 || level.nfc == 255;
    if (bullet.isEmpty() || (bullet == QStringLiteral("\u2022") && !symbolFont && bulletFormat))
        return;
    spec->bullet = bullet;
    spec->bulletNfc = std::clamp(level.nfc, 0, 255);
    if (font != m_fonts.end()) {
        spec->bulletFont = font->second.name;
        spec->bulletCharset = font->second.charset;
    }
}

void Parser::finishPicture()
{
    DecodedPicture picture;
    const Dest dest = top().dest;
    if (dest != Dest::Text || !decodePicture(m_pict, &picture)) {
        m_pict = PictureData();
        return;
    }
    m_pict = PictureData();
    if (!m_pictureNames.contains(picture.name)) {
        m_pictureNames.insert(picture.name);
        m_builder.addImage(picture.name, picture.image);
    }
    QTextImageFormat image;
    image.merge(makeCharFormat(top().chr));
    image.setName(picture.name);
    image.setWidth(picture.width);
    image.setHeight(picture.height);
    if (!picture.keptBytes.isEmpty()) {
        image.setProperty(TextProperty::PictureBytes, picture.keptBytes);
        image.setProperty(TextProperty::PictureType, picture.keptType);
    }
    m_para.append(QChar(QChar::ObjectReplacementCharacter), m_builder.addCharFormat(image));
}

void Parser::startField(Dest outer)
{
    Field field;
    field.outerDest = outer;
    field.id = int(m_fields.size()) + 1;
    field.start = top().start;
    field.marks = m_marks;
    field.textSize = m_para.text.size();
    m_fields.push_back(field);
    m_fieldStack.push_back(int(m_fields.size()) - 1);
}

void Parser::finishFieldInstruction()
{
    if (m_fieldStack.empty())
        return;
    Field &field = m_fields[size_t(m_fieldStack.back())];
    field.instruction = field.instruction.trimmed();
    if (!field.instruction.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return;
    field.href = hyperlinkTarget(field.instruction);
    if (field.href.isEmpty())
        return;
    auto it = m_linkFields.constFind(field.href);
    if (it != m_linkFields.cend())
        field.sameAs = *it;
    else
        m_linkFields.insert(field.href, m_fieldStack.back());
}

} // namespace Rtf

namespace Rtf {

// A SYMBOL field that came without its result shows its character; any
// other field without one (Word fills it in when it updates fields) is kept
// whole at its place.
void Parser::finishField(int index, const char *end)
{
    Field &field = m_fields[size_t(index)];
    if (field.outerDest != Dest::Text || top().dest != Dest::Text)
        return;
    // Pictures, kept groups and marks are results too. One with neither
    // instruction nor result holds nothing to keep.
    const bool shown = field.hasResult || m_marks != field.marks || m_para.text.size() != field.textSize;
    if (!shown && !showSymbol(index) && !field.instruction.isEmpty())
        keepFieldWithoutResult(field, end);
}

bool Parser::showSymbol(int index)
{
    Field &field = m_fields[size_t(index)];
    if (!field.instruction.startsWith(QLatin1String("SYMBOL"), Qt::CaseInsensitive))
        return false;
    const QString number = field.instruction.mid(6).trimmed().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const uint code = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? number.mid(2).toUInt(&ok, 16)
                                                                                : number.toUInt(&ok);
    if (!ok || code == 0 || code > 0xFFFF || QChar::isSurrogate(char32_t(code)))
        return false;
    CharState c = top().chr;
    c.field = index;
    QTextCharFormat format = makeCharFormat(c);
    format.setProperty(TextProperty::FieldResultMadeUp, true);
    m_para.append(QChar(char16_t(code)), m_builder.addCharFormat(format));
    field.hasResult = true;
    return true;
}

} // namespace Rtf
