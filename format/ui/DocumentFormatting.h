#pragma once

#include "format/FormattingCommands.h"
#include "format/NumberingChoice.h"
#include "format/RulerGeometry.h"
#include "format/ui/Ruler.h"

#include <QObject>

class ColorPanel;
class DocumentHost;
class FormatMenu;
class FormatToolBar;
class TEditForm;
class TextSet;

// The formatting side of one document window: its tool bar controls, Format
// menu items and ruler, wired to the formatting commands on the window's
// document, and set from the formats at the caret on every selection change.
// A child of the window; created by the frame with each window.
class DocumentFormatting : public QObject
{
    Q_OBJECT

public:
    DocumentFormatting(TEditForm *form, DocumentHost *host, bool showRuler);
    static DocumentFormatting *of(const TEditForm *form);

    FormatToolBar *toolBar() const { return m_toolBar; }
    FormatMenu *menu() const { return m_menu; }
    Ruler *ruler() const { return m_ruler; }
    FormattingCommands &commands() { return m_commands; }
    const NumberingChoice &numbering() const { return m_numbering; }
    void setRulerVisible(bool on);
    // Captions and hints of the tool bar controls and the Format menu.
    void applyTexts(const TextSet &texts);

    // Tool bar, ruler and menu from the caret; cheap on any document size.
    void EditorSelectionChange();
    void Character1Click();

    void FormatFont1Click();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void Paragraph1Click();

private:
    void connectToolBar();
    void connectMenu();
    void styleClicked(TFontStyle style, bool down);
    void FontComboBox1Change();
    void FontSizeChange(int value);
    void chooseColor(bool background);
    void ToolButton14Click(QObject *clicked);
    void ToolButton22Click();
    void N15Click(int index);
    void NumberingStartEditChange(int value);
    void AlignClick();
    void toggleEffect(bool (FormattingCommands::*toggle)(), QAction *item);
    void rulerDropped(Ruler::Marker marker, int centreX);
    RulerGeometry rulerGeometry() const;
    void placeRulerMarkers(const ParagraphValues &p);
    void showNumbering();

    TEditForm *m_form;
    DocumentHost *m_host;
    DocumentCore *m_core;
    FormattingCommands m_commands;
    NumberingChoice m_numbering{&m_commands};
    FormatToolBar *m_toolBar;
    FormatMenu *m_menu;
    Ruler *m_ruler;
    QString m_shownFontName;
    // Raised while controls are set from the caret: their change handlers do nothing.
    bool m_updatingControls = false;
};
