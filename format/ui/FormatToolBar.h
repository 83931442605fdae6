#pragma once

#include <QObject>

class ColorPanel;
class QFontComboBox;
class QSpinBox;
class QToolBar;
class QToolButton;
class TextSet;

// The formatting controls of a document window's tool bar, added after its
// file and edit buttons. Holds the controls only; DocumentFormatting routes
// their input to the commands and sets them from the caret.
class FormatToolBar : public QObject
{
    Q_OBJECT

public:
    explicit FormatToolBar(QToolBar *bar);

    void applyTexts(const TextSet &texts);

    QToolButton *ToolButton26;   // bold
    QToolButton *ToolButton27;   // italic
    QToolButton *ToolButton28;   // underline
    QFontComboBox *FontComboBox1;
    QSpinBox *FontSize;
    QToolButton *ToolButton21;   // text colour dialog
    ColorPanel *Panel3;          // last chosen text colour
    ColorPanel *Panel5;          // black
    QToolButton *ToolButton34;   // background colour dialog
    ColorPanel *Panel4;          // last chosen background colour
    ColorPanel *Panel6;          // window colour: no background
    QToolButton *ToolButton18;   // left
    QToolButton *ToolButton20;   // centre
    QToolButton *ToolButton19;   // right
    QToolButton *ToolButton32;   // increase indent
    QToolButton *ToolButton33;   // decrease indent
    QToolButton *ToolButton10;   // superscript
    QToolButton *ToolButton14;   // subscript
    QToolButton *ToolButton22;   // numbering
    QSpinBox *NumberingStartEdit;

private:
    QToolButton *addButton(const char *name, const char *icon, const QString &glyph, bool checkable);
    QToolBar *m_bar;
};
