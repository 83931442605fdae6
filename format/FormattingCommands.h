#pragma once

#include "document/ParagraphFormat.h"
#include "document/TextAttributes.h"

#include <QColor>
#include <QFont>
#include <QString>

class DocumentCore;

// Character and paragraph commands of a document window, on the document
// core. Character commands act on the formatting target: the selection, or
// with nothing selected the whole word that holds the caret (and the
// insertion format, so typing goes on in the new format). Each command is one
// undo step; paragraph commands act on every paragraph the selection touches.
class FormattingCommands
{
public:
    // Largest size applied: what RTF producers write. Qt's layout hangs on
    // the sizes a spin box up to 2^31 - 1 would allow.
    static constexpr int MaxFontSize = 1638;
    // One indent button step, in points.
    static constexpr int IndentStep = 20;

    // The formats tool bar, ruler and menu show at the caret.
    struct TargetFormat {
        QString name;
        int size = 0;
        TFontStyles style;
        TSubscriptStyle subscript = TSubscriptStyle::ssNone;
        bool isProtected = false;
        bool isHidden = false;
        bool isDisabled = false;
        ParagraphValues paragraph;
    };

    // What the paragraph dialog shows and writes, in points. alignment: 0 left,
    // 1 right, 2 centre (justified shows as centre: a three-item choice).
    struct ParagraphSettings {
        int leftIndent = 0;
        int rightIndent = 0;
        int firstIndent = 0;
        int alignment = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;
        int lineSpacing = 0; // below 1: single spacing, else at least this much
    };

    explicit FormattingCommands(DocumentCore *core) : m_core(core) {}

    // Reads the format at the selection start: cheap on any document size.
    TargetFormat read() const;
    // [start, end) the character commands change; empty at the caret when
    // there is neither a selection nor a word at the caret.
    std::pair<int, int> targetRange() const;

    void setStyle(TFontStyle style, bool on);
    // Names no installed font knows are applied as they are (RTF keeps them);
    // empty names are not.
    void setFontName(const QString &name);
    // False (nothing applied) outside 1..MaxFontSize.
    bool setFontSize(int points);
    // Everything of a font dialog's font: name, size, styles, and colour.
    void setFont(const QFont &font, const QColor &color);
    // The window text colour (or an invalid colour) becomes automatic colour.
    void setTextColor(const QColor &color);
    // The window colour (or an invalid colour) clears the background.
    void setBackColor(const QColor &color);
    void setSubscriptStyle(TSubscriptStyle style);
    // Each flips the target's effect and returns the value read back.
    // Protection may change protected text; the others may not.
    bool toggleProtected();
    bool toggleDisabled();
    bool toggleHidden();
    // With nothing selected, selects the character after the caret (the font
    // box's target while it has the focus).
    void selectCharacterAfterCaret();

    void setAlignment(TAlignment alignment);
    // First indent moved by delta points; no lower bound (the view decides
    // how negative indents show).
    void shiftFirstIndent(int deltaPoints);
    void setIndents(int firstPoints, int leftPoints, int rightPoints);
    // None removes numbering and the hanging indent; other kinds raise a
    // hanging indent below 10 points to 10. start applies to numbered kinds.
    void setNumbering(NumberingKind kind, int start = 1);
    ParagraphSettings paragraphSettings() const;
    // Writes every value to all paragraphs of the selection, as one step.
    void setParagraphSettings(const ParagraphSettings &settings);
    // Clamped to 1..32767, the range RTF's \pnstart and the box show.
    void setNumberingStart(int start);

private:
    template <typename Apply> void onTarget(Apply apply);
    template <typename Apply> void asOneStep(Apply apply);
    bool toggle(bool (TTextAttributes::*get)() const, void (TTextAttributes::*set)(bool));

    DocumentCore *m_core;
};
