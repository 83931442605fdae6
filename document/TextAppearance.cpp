#include "document/TextAppearance.h"

#include "document/TextProperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace TextAppearance {

namespace {

bool isHidden(const QTextCharFormat &f)
{
    return f.boolProperty(TextProperty::Hidden);
}

// True for a paragraph without shown characters (an empty one too).
bool hasOnlyHiddenText(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (!isHidden(it.fragment().charFormat()))
            return false;
    return true;
}

QTextCharFormat hiddenFormat()
{
    // Qt has no hidden text: a tiny font whose letters advance by -1/64 % of
    // their width takes no room at any resolution and draws nothing (Qt cuts
    // the shortened advance to 64ths of a pixel; a spacing just below zero
    // leaves none). A negative absolute spacing would grow with the device's
    // resolution and pull the text after it back over the text before.
    QTextCharFormat hidden;
    hidden.setFontPointSize(0.5);
    hidden.setFontLetterSpacingType(QFont::PercentageSpacing);
    hidden.setFontLetterSpacing(-1.0 / 64);
    hidden.setForeground(Qt::transparent);
    hidden.setBackground(Qt::transparent);
    return hidden;
}

// Hidden characters become zero-width non-joiners: Qt gives them no width
// and never draws them, so a printer or PDF gets none of the hidden text
// (transparent glyphs would still be there to copy); they allow no line
// break where there was none, and the common fonts have them, so a line of
// them is as high as the text's font. A hidden line break, tab or picture
// goes with them.
void blankHiddenText(QTextDocument &document)
{
    struct Run { int position; int length; QTextCharFormat format; };
    QList<Run> runs;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!isHidden(frag.charFormat()))
                continue;
            QTextCharFormat format = frag.charFormat();
            format.clearProperty(QTextFormat::ObjectType);
            format.clearProperty(QTextFormat::ObjectIndex);
            runs.append({frag.position(), frag.length(), format});
        }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Run &run : runs) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.insertText(QString(run.length, QChar(0x200C)), run.format);
    }
    cursor.endEditBlock();
}

} // namespace

QList<QTextLayout::FormatRange> rangesFor(const QTextBlock &block, const QColor &disabledColor)
{
    QList<QTextLayout::FormatRange> ranges;
    const int base = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat f = frag.charFormat();
        if (isHidden(f)) {
            ranges.append({frag.position() - base, frag.length(), hiddenFormat()});
        } else if (f.boolProperty(TextProperty::Disabled)) {
            QTextCharFormat grey;
            grey.setForeground(disabledColor);
            ranges.append({frag.position() - base, frag.length(), grey});
        }
    }
    return ranges;
}

bool hasSpecialText(const QTextDocument &document)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (isHidden(b.charFormat()))
            return true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (isHidden(f) || f.boolProperty(TextProperty::Disabled))
                return true;
        }
    }
    return false;
}

bool isWhollyHidden(const QTextBlock &block)
{
    if (!hasOnlyHiddenText(block))
        return false;
    const bool hasText = block.length() > 1;
    if (isHidden(block.charFormat()))
        return true;
    // The character after the text is the next paragraph's start; Qt keeps
    // its format as the next block's.
    return hasText && block.next().isValid() && isHidden(block.next().charFormat());
}

void applyForLayout(QTextDocument &document, const QColor &disabledColor)
{
    if (!hasSpecialText(document))
        return;
    blankHiddenText(document);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (isWhollyHidden(b)) {
            b.setVisible(false);
            continue;
        }
        QList<QTextLayout::FormatRange> ranges = rangesFor(b, disabledColor);
        // Hidden text alone with a shown end leaves an empty line as high as
        // the text's own font, not as the tiny one.
        if (b.length() > 1 && hasOnlyHiddenText(b))
            for (QTextLayout::FormatRange &range : ranges)
                range.format.clearProperty(QTextFormat::FontPointSize);
        if (!ranges.isEmpty() && b.layout())
            b.layout()->setFormats(ranges);
    }
    document.markContentsDirty(0, document.characterCount());
}

QTextDocument *cloneForLayout(const QTextDocument &document, const QColor &disabledColor)
{
    QTextDocument *copy = document.clone();
    copy->setUndoRedoEnabled(false);
    applyForLayout(*copy, disabledColor);
    return copy;
}

} // namespace TextAppearance
