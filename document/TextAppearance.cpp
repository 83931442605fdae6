#include "document/TextAppearance.h"

#include "document/TextProperties.h"

#include <QTextBlock>
#include <QTextDocument>

namespace TextAppearance {

QList<QTextLayout::FormatRange> rangesFor(const QTextBlock &block, const QColor &disabledColor)
{
    QList<QTextLayout::FormatRange> ranges;
    const int base = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat f = frag.charFormat();
        if (f.boolProperty(TextProperty::Hidden)) {
            // Qt has no hidden text: a tiny font pulled together by negative
            // spacing takes no measurable room and draws nothing.
            QTextCharFormat hidden;
            hidden.setFontPointSize(0.5);
            hidden.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            hidden.setFontLetterSpacing(-1);
            hidden.setForeground(Qt::transparent);
            hidden.setBackground(Qt::transparent);
            ranges.append({frag.position() - base, frag.length(), hidden});
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
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.boolProperty(TextProperty::Hidden) || f.boolProperty(TextProperty::Disabled))
                return true;
        }
    return false;
}

QTextDocument *cloneForLayout(const QTextDocument &document, const QColor &disabledColor)
{
    QTextDocument *copy = document.clone();
    if (!hasSpecialText(*copy))
        return copy;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
        const QList<QTextLayout::FormatRange> ranges = rangesFor(b, disabledColor);
        if (!ranges.isEmpty() && b.layout())
            b.layout()->setFormats(ranges);
    }
    copy->markContentsDirty(0, copy->characterCount());
    return copy;
}

} // namespace TextAppearance
