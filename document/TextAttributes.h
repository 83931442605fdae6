#pragma once

#include "document/ParagraphFormat.h"
#include "document/TextProperties.h"

#include <QColor>
#include <QFlags>
#include <QString>
#include <QTextCharFormat>

#include <functional>

class DocumentCore;

enum class TSubscriptStyle { ssNone, ssSubscript, ssSuperscript };
enum class TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Character attributes of the selection (of the insertion point when nothing
// is selected). Each setter changes only its own attribute, so the other
// attributes of a mixed selection stay as they are.
class TTextAttributes
{
public:
    explicit TTextAttributes(DocumentCore *editor) : m_editor(editor) {}

    QString Name() const;
    void setName(const QString &name);       // at most 31 characters
    int Size() const;                        // points
    void setSize(int points);
    TFontStyles Style() const;
    void setStyle(TFontStyles style);
    QColor Color() const;                    // automatic colour: the window text colour
    bool isAutoColor() const;
    void setColor(const QColor &color);      // invalid: automatic colour
    QColor BackColor() const;
    void setBackColor(const QColor &color);  // invalid: no background
    bool Protected() const;
    void setProtected(bool on);
    bool Hidden() const;
    void setHidden(bool on);
    bool Disabled() const;
    void setDisabled(bool on);
    TSubscriptStyle SubscriptStyle() const;
    void setSubscriptStyle(TSubscriptStyle style);

private:
    QTextCharFormat current() const;
    void merge(const QTextCharFormat &format);
    DocumentCore *m_editor;
};

// Paragraph attributes of the selection, in points. Getters read the
// paragraph at the selection start; setters change every selected paragraph.
class TParaAttributes
{
public:
    explicit TParaAttributes(DocumentCore *editor) : m_editor(editor) {}

    TAlignment Alignment() const;
    void setAlignment(TAlignment alignment);
    int FirstIndent() const;
    void setFirstIndent(int points);
    int LeftIndent() const;
    void setLeftIndent(int points);
    int RightIndent() const;
    void setRightIndent(int points);
    NumberingKind Numbering() const;
    // None also sets LeftIndent to 0; any other kind raises a LeftIndent below 10 to 10.
    void setNumbering(NumberingKind kind);
    int NumberingStart() const;
    void setNumberingStart(int start);
    int NumberingStyle() const;
    void setNumberingStyle(int style);
    int SpaceBefore() const;
    void setSpaceBefore(int points);
    int SpaceAfter() const;
    void setSpaceAfter(int points);
    int LineSpacing() const;
    int LineSpacingRule() const;
    void setLineSpacing(int rule, int points);
    int TabCount() const;
    int Tab(int index) const;
    void setTabs(const QList<int> &points);

    ParagraphValues values() const;

private:
    bool mayChange(const QTextCursor &selection) const;
    // Applies change to the values of every paragraph of the selection.
    void change(const std::function<void(ParagraphValues &)> &change);
    DocumentCore *m_editor;
};
