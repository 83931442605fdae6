#include "search/FindStep.h"

#include "document/DocumentCore.h"
#include "document/PlainText.h"

std::optional<TextRange> FindStep::run(const DocumentCore &core, std::optional<TextRange> *passedOver) const
{
    // Paragraph ends in the document are single carriage returns.
    QString pattern = text;
    pattern.remove(u'\n');
    if (pattern.isEmpty())
        return std::nullopt;
    TSearchTypes flags;
    if (!down)
        flags |= TSearchType::stBackward;
    if (options.wholeWord)
        flags |= TSearchType::stWholeWord;
    if (options.matchCase)
        flags |= TSearchType::stMatchCase;
    const int total = core.TextLength();
    int from = down ? (fromSelectionStart ? core.SelStart() : core.SelStart() + core.SelLength()) : core.SelStart();
    for (;;) {
        const int length = down ? total - from + 1 : from + 1;
        const int found = core.findText(pattern, from, length, flags);
        if (found < 0)
            return std::nullopt;
        const TextRange match{found, int(pattern.size())};
        if (!options.caseMismatch
            || PlainText::extract(*core.document(), match.start, match.end(), QStringLiteral("\r\n"), true) != text)
            return match;
        if (passedOver)
            *passedOver = match;
        from = down ? match.end() : match.start;
    }
}
