#pragma once

#include "format/FormattingCommands.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QSpinBox;
class TextSet;

// The paragraph dialog: indents, alignment and spacing of the selection's
// paragraphs. Shows the settings it is given and hands back the edited ones;
// the caller writes them, and only on OK.
class TParaFormatDlg : public QDialog
{
    Q_OBJECT

public:
    TParaFormatDlg(const TextSet &texts, QWidget *parent = nullptr);

    void setSettings(const FormattingCommands::ParagraphSettings &settings);
    FormattingCommands::ParagraphSettings settings() const;

    QSpinBox *LeftIndent;
    QSpinBox *RightIndent;
    QSpinBox *FirstIndent;
    QButtonGroup *Alignment;
    QSpinBox *SpaceBefore;
    QSpinBox *SpaceAfter;
    QSpinBox *LineSpacing;
};
