#include "document/TextAttributes.h"

#include "document/DocumentCore.h"
#include "document/TextProperties.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace {

int toPoints(int twips)
{
    return int(std::lround(twips / 20.0));
}

} // namespace

// ---------------------------------------------------------------------------
// TTextAttributes

QTextCharFormat TTextAttributes::current() const
{
    const QTextCursor cursor = m_editor->cursor();
    if (!cursor.hasSelection())
        return m_editor->insertionFormat();
    // The format of the first selected character, as RichEdit reports a mixed selection.
    QTextCursor first(m_editor->document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
}

void TTextAttributes::merge(const QTextCharFormat &format)
{
    QTextCursor cursor = m_editor->cursor();
    if (!cursor.hasSelection()) {
        m_editor->mergeInsertionFormat(format);
        return;
    }
    if (!m_editor->mayEdit(cursor.selectionStart(), cursor.selectionEnd()))
        return;
    cursor.mergeCharFormat(format);
}

QString TTextAttributes::Name() const
{
    const QTextCharFormat f = current();
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? m_editor->document()->defaultFont().family() : families.first();
}

void TTextAttributes::setName(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies({name.left(31)});
    merge(f);
}

int TTextAttributes::Size() const
{
    const qreal size = current().fontPointSize();
    if (size > 0)
        return int(std::lround(size));
    return m_editor->document()->defaultFont().pointSize();
}

void TTextAttributes::setSize(int points)
{
    if (points <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    merge(f);
}

TFontStyles TTextAttributes::Style() const
{
    const QTextCharFormat f = current();
    const QFont defaults = m_editor->document()->defaultFont();
    TFontStyles style;
    const int weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : defaults.weight();
    if (weight >= QFont::DemiBold)
        style |= TFontStyle::fsBold;
    if (f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaults.italic())
        style |= TFontStyle::fsItalic;
    if (f.fontUnderline())
        style |= TFontStyle::fsUnderline;
    if (f.fontStrikeOut())
        style |= TFontStyle::fsStrikeOut;
    return style;
}

void TTextAttributes::setStyle(TFontStyles style)
{
    QTextCharFormat f;
    f.setFontWeight(style.testFlag(TFontStyle::fsBold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(style.testFlag(TFontStyle::fsItalic));
    f.setFontUnderline(style.testFlag(TFontStyle::fsUnderline));
    f.setFontStrikeOut(style.testFlag(TFontStyle::fsStrikeOut));
    merge(f);
}

bool TTextAttributes::isAutoColor() const
{
    return current().foreground().style() == Qt::NoBrush;
}

QColor TTextAttributes::Color() const
{
    const QBrush brush = current().foreground();
    if (brush.style() == Qt::NoBrush)
        return QGuiApplication::palette().color(QPalette::Text);
    return brush.color();
}

void TTextAttributes::setColor(const QColor &color)
{
    QTextCharFormat f;
    // An invalid colour is the automatic colour: no brush of our own.
    f.setForeground(color.isValid() ? QBrush(color) : QBrush());
    merge(f);
}

QColor TTextAttributes::BackColor() const
{
    const QBrush brush = current().background();
    if (brush.style() == Qt::NoBrush)
        return QGuiApplication::palette().color(QPalette::Base);
    return brush.color();
}

void TTextAttributes::setBackColor(const QColor &color)
{
    QTextCharFormat f;
    f.setBackground(color.isValid() ? QBrush(color) : QBrush());
    merge(f);
}

bool TTextAttributes::Protected() const { return current().boolProperty(TextProperty::Protected); }
bool TTextAttributes::Hidden() const { return current().boolProperty(TextProperty::Hidden); }
bool TTextAttributes::Disabled() const { return current().boolProperty(TextProperty::Disabled); }

void TTextAttributes::setProtected(bool on)
{
    QTextCharFormat f;
    f.setProperty(TextProperty::Protected, on);
    merge(f);
}

void TTextAttributes::setHidden(bool on)
{
    QTextCharFormat f;
    f.setProperty(TextProperty::Hidden, on);
    merge(f);
}

void TTextAttributes::setDisabled(bool on)
{
    QTextCharFormat f;
    f.setProperty(TextProperty::Disabled, on);
    merge(f);
}

TSubscriptStyle TTextAttributes::SubscriptStyle() const
{
    switch (current().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript: return TSubscriptStyle::ssSubscript;
    case QTextCharFormat::AlignSuperScript: return TSubscriptStyle::ssSuperscript;
    default: return TSubscriptStyle::ssNone;
    }
}

void TTextAttributes::setSubscriptStyle(TSubscriptStyle style)
{
    QTextCharFormat f;
    f.setVerticalAlignment(style == TSubscriptStyle::ssSubscript ? QTextCharFormat::AlignSubScript
                           : style == TSubscriptStyle::ssSuperscript ? QTextCharFormat::AlignSuperScript
                                                                     : QTextCharFormat::AlignNormal);
    merge(f);
}

// ---------------------------------------------------------------------------
// TParaAttributes

ParagraphValues TParaAttributes::values() const
{
    return ParagraphFormat::read(m_editor->document()->findBlock(m_editor->SelStart()));
}

bool TParaAttributes::mayChange(const QTextCursor &selection) const
{
    // A preview's paragraphs go when its load is done, with any change to them.
    if (m_editor->isShowingPreview())
        return false;
    return !selection.hasSelection() || m_editor->mayEdit(selection.selectionStart(), selection.selectionEnd());
}

void TParaAttributes::change(const std::function<void(ParagraphValues &)> &change)
{
    const QTextCursor selection = m_editor->cursor();
    if (!mayChange(selection))
        return;
    QTextDocument *doc = m_editor->document();
    const QTextBlock last = doc->findBlock(selection.selectionEnd());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (QTextBlock b = doc->findBlock(selection.selectionStart()); b.isValid(); b = b.next()) {
        ParagraphValues v = ParagraphFormat::read(b);
        change(v);
        cursor.setPosition(b.position());
        ParagraphFormat::apply(cursor, v);
        if (b == last)
            break;
    }
    cursor.endEditBlock();
}

TAlignment TParaAttributes::Alignment() const
{
    const Qt::Alignment a = values().alignment;
    if (a & Qt::AlignRight)
        return TAlignment::taRightJustify;
    if (a & Qt::AlignHCenter)
        return TAlignment::taCenter;
    return TAlignment::taLeftJustify;
}

void TParaAttributes::setAlignment(TAlignment alignment)
{
    const Qt::Alignment a = alignment == TAlignment::taRightJustify ? Qt::AlignRight
                            : alignment == TAlignment::taCenter     ? Qt::AlignHCenter
                                                                    : Qt::AlignLeft;
    change([a](ParagraphValues &v) { v.alignment = a; });
}

int TParaAttributes::FirstIndent() const { return toPoints(values().firstIndent); }
int TParaAttributes::LeftIndent() const { return toPoints(values().leftIndent); }
int TParaAttributes::RightIndent() const { return toPoints(values().rightIndent); }
int TParaAttributes::SpaceBefore() const { return toPoints(values().spaceBefore); }
int TParaAttributes::SpaceAfter() const { return toPoints(values().spaceAfter); }
int TParaAttributes::LineSpacing() const { return toPoints(values().lineSpacing); }
int TParaAttributes::LineSpacingRule() const { return values().lineSpacingRule; }
NumberingKind TParaAttributes::Numbering() const { return values().numbering; }
int TParaAttributes::NumberingStart() const { return values().numberingStart; }
int TParaAttributes::NumberingStyle() const { return values().numberingStyle; }
int TParaAttributes::TabCount() const { return int(values().tabs.size()); }

int TParaAttributes::Tab(int index) const
{
    const ParagraphValues v = values();
    return index >= 0 && index < v.tabs.size() ? toPoints(v.tabs.at(index)) : 0;
}

void TParaAttributes::setFirstIndent(int points)
{
    change([points](ParagraphValues &v) { v.firstIndent = points * 20; });
}

void TParaAttributes::setLeftIndent(int points)
{
    change([points](ParagraphValues &v) { v.leftIndent = points * 20; });
}

void TParaAttributes::setRightIndent(int points)
{
    change([points](ParagraphValues &v) { v.rightIndent = points * 20; });
}

void TParaAttributes::setSpaceBefore(int points)
{
    change([points](ParagraphValues &v) { v.spaceBefore = points * 20; });
}

void TParaAttributes::setSpaceAfter(int points)
{
    change([points](ParagraphValues &v) { v.spaceAfter = points * 20; });
}

void TParaAttributes::setLineSpacing(int rule, int points)
{
    change([rule, points](ParagraphValues &v) {
        v.lineSpacingRule = rule;
        v.lineSpacing = points * 20;
    });
}

void TParaAttributes::setTabs(const QList<int> &points)
{
    QList<int> twips;
    for (int p : points)
        twips << p * 20;
    change([twips](ParagraphValues &v) { v.tabs = twips; });
}

void TParaAttributes::setNumbering(NumberingKind kind)
{
    QTextCursor selection = m_editor->cursor();
    if (!mayChange(selection))
        return;
    const ParagraphValues before = values();
    selection.beginEditBlock();
    ParagraphFormat::applyNumbering(selection, kind, before.numberingStart, before.numberingStyle);
    selection.endEditBlock();
    if (kind == NumberingKind::None)
        change([](ParagraphValues &v) { v.leftIndent = 0; });
    else
        change([](ParagraphValues &v) { v.leftIndent = qMax(v.leftIndent, 10 * 20); });
}

void TParaAttributes::setNumberingStart(int start)
{
    const QTextBlock block = m_editor->document()->findBlock(m_editor->SelStart());
    if (QTextList *list = block.textList()) {
        QTextListFormat f = list->format();
        f.setProperty(TextProperty::NumberingStart, start);
        list->setFormat(f);
    }
}

void TParaAttributes::setNumberingStyle(int style)
{
    const QTextBlock block = m_editor->document()->findBlock(m_editor->SelStart());
    if (QTextList *list = block.textList()) {
        const ParagraphValues v = values();
        list->setFormat(ParagraphFormat::listFormat(v.numbering, v.numberingStart, style));
    }
}
