#include "format/FormattingCommands.h"

#include "document/DocumentCore.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

FormattingCommands::TargetFormat FormattingCommands::read() const
{
    TTextAttributes &a = m_core->SelAttributes();
    TargetFormat t;
    t.name = a.Name();
    t.size = a.Size();
    t.style = a.Style();
    t.subscript = a.SubscriptStyle();
    t.isProtected = a.Protected();
    t.isHidden = a.Hidden();
    t.isDisabled = a.Disabled();
    t.paragraph = m_core->Paragraph().values();
    return t;
}

std::pair<int, int> FormattingCommands::targetRange() const
{
    const QTextCursor cursor = m_core->cursor();
    if (cursor.hasSelection())
        return {cursor.selectionStart(), cursor.selectionEnd()};
    QTextCursor word = cursor;
    word.select(QTextCursor::WordUnderCursor);
    // A word that ends at the caret counts; Qt also offers the word before
    // a run of spaces, which does not.
    if (word.hasSelection() && word.selectionStart() <= cursor.position()
        && cursor.position() <= word.selectionEnd() && !word.selectedText().trimmed().isEmpty())
        return {word.selectionStart(), word.selectionEnd()};
    return {cursor.position(), cursor.position()};
}

template <typename Apply> void FormattingCommands::asOneStep(Apply apply)
{
    m_core->beginEditGroup();
    apply();
    m_core->endEditGroup();
}

template <typename Apply> void FormattingCommands::onTarget(Apply apply)
{
    const QTextCursor saved = m_core->cursor();
    const auto [start, end] = targetRange();
    const bool word = !saved.hasSelection() && end > start;
    asOneStep([&] {
        if (word)
            m_core->select(start, end - start);
        apply(m_core->SelAttributes());
        if (word) {
            m_core->select(saved.position(), 0);
            // Typing at the caret goes on in the word's new format.
            apply(m_core->SelAttributes());
        }
    });
}

void FormattingCommands::setStyle(TFontStyle style, bool on)
{
    onTarget([style, on](TTextAttributes &a) {
        TFontStyles styles = a.Style();
        styles.setFlag(style, on);
        a.setStyle(styles);
    });
}

void FormattingCommands::setFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return;
    onTarget([&name](TTextAttributes &a) { a.setName(name); });
}

bool FormattingCommands::setFontSize(int points)
{
    if (points < 1 || points > MaxFontSize)
        return false;
    onTarget([points](TTextAttributes &a) { a.setSize(points); });
    return true;
}

void FormattingCommands::setFont(const QFont &font, const QColor &color)
{
    TFontStyles styles;
    styles.setFlag(TFontStyle::fsBold, font.bold());
    styles.setFlag(TFontStyle::fsItalic, font.italic());
    styles.setFlag(TFontStyle::fsUnderline, font.underline());
    styles.setFlag(TFontStyle::fsStrikeOut, font.strikeOut());
    const int size = font.pointSize();
    asOneStep([&] {
        onTarget([&](TTextAttributes &a) {
            if (!font.family().isEmpty())
                a.setName(font.family());
            if (size >= 1 && size <= MaxFontSize)
                a.setSize(size);
            a.setStyle(styles);
        });
        setTextColor(color);
    });
}

void FormattingCommands::setTextColor(const QColor &color)
{
    const bool automatic = !color.isValid() || color == QGuiApplication::palette().color(QPalette::Text);
    onTarget([&](TTextAttributes &a) { a.setColor(automatic ? QColor() : color); });
}

void FormattingCommands::setBackColor(const QColor &color)
{
    const bool automatic = !color.isValid() || color == QGuiApplication::palette().color(QPalette::Base);
    onTarget([&](TTextAttributes &a) { a.setBackColor(automatic ? QColor() : color); });
}

void FormattingCommands::setSubscriptStyle(TSubscriptStyle style)
{
    onTarget([style](TTextAttributes &a) { a.setSubscriptStyle(style); });
}

bool FormattingCommands::toggle(bool (TTextAttributes::*get)() const, void (TTextAttributes::*set)(bool))
{
    const bool value = !(m_core->SelAttributes().*get)();
    onTarget([&](TTextAttributes &a) { (a.*set)(value); });
    return (m_core->SelAttributes().*get)();
}

bool FormattingCommands::toggleProtected()
{
    const bool wasLoading = m_core->Loading();
    m_core->setLoading(true);
    const bool on = toggle(&TTextAttributes::Protected, &TTextAttributes::setProtected);
    m_core->setLoading(wasLoading);
    return on;
}

bool FormattingCommands::toggleDisabled()
{
    return toggle(&TTextAttributes::Disabled, &TTextAttributes::setDisabled);
}

bool FormattingCommands::toggleHidden()
{
    return toggle(&TTextAttributes::Hidden, &TTextAttributes::setHidden);
}

void FormattingCommands::selectCharacterAfterCaret()
{
    if (m_core->SelLength() == 0 && m_core->SelStart() < m_core->TextLength())
        m_core->select(m_core->SelStart(), 1);
}

void FormattingCommands::setAlignment(TAlignment alignment)
{
    asOneStep([&] { m_core->Paragraph().setAlignment(alignment); });
}

void FormattingCommands::shiftFirstIndent(int deltaPoints)
{
    TParaAttributes &p = m_core->Paragraph();
    const qint64 first = qint64(p.FirstIndent()) + deltaPoints;
    // Twips must stay an int: the largest indent any page holds is far below.
    const int bounded = int(qBound(qint64(-100000), first, qint64(100000)));
    asOneStep([&] { p.setFirstIndent(bounded); });
}

void FormattingCommands::setIndents(int firstPoints, int leftPoints, int rightPoints)
{
    TParaAttributes &p = m_core->Paragraph();
    asOneStep([&] {
        p.setFirstIndent(firstPoints);
        p.setLeftIndent(leftPoints);
        p.setRightIndent(rightPoints);
    });
}

void FormattingCommands::setNumbering(NumberingKind kind, int start)
{
    TParaAttributes &p = m_core->Paragraph();
    asOneStep([&] {
        p.setNumbering(kind);
        if (kind != NumberingKind::None && kind != NumberingKind::Bullet)
            p.setNumberingStart(qBound(1, start, 32767));
    });
}

void FormattingCommands::setNumberingStart(int start)
{
    asOneStep([&] { m_core->Paragraph().setNumberingStart(qBound(1, start, 32767)); });
}

FormattingCommands::ParagraphSettings FormattingCommands::paragraphSettings() const
{
    const ParagraphValues v = m_core->Paragraph().values();
    ParagraphSettings s;
    s.leftIndent = v.leftIndent / 20;
    s.rightIndent = v.rightIndent / 20;
    s.firstIndent = v.firstIndent / 20;
    s.alignment = (v.alignment & Qt::AlignRight) ? 1 : (v.alignment & (Qt::AlignHCenter | Qt::AlignJustify)) ? 2 : 0;
    s.spaceBefore = v.spaceBefore / 20;
    s.spaceAfter = v.spaceAfter / 20;
    s.lineSpacing = v.lineSpacingRule == 0 ? 0 : v.lineSpacing / 20;
    return s;
}

void FormattingCommands::setParagraphSettings(const ParagraphSettings &settings)
{
    // Twips must stay an int; no page is a hundred thousand points wide.
    const auto bounded = [](int points, int low) { return qBound(low, points, 100000); };
    TParaAttributes &p = m_core->Paragraph();
    asOneStep([&] {
        p.setLeftIndent(bounded(settings.leftIndent, -100000));
        p.setRightIndent(bounded(settings.rightIndent, -100000));
        p.setFirstIndent(bounded(settings.firstIndent, -100000));
        p.setAlignment(settings.alignment == 1   ? TAlignment::taRightJustify
                       : settings.alignment == 2 ? TAlignment::taCenter
                                                 : TAlignment::taLeftJustify);
        p.setSpaceBefore(bounded(settings.spaceBefore, 0));
        p.setSpaceAfter(bounded(settings.spaceAfter, 0));
        const int line = bounded(settings.lineSpacing, 0);
        p.setLineSpacing(line < 1 ? 0 : 3, line);
    });
}
