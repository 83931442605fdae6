#pragma once

#include "print/PageGeometry.h"

#include <QDialog>

class QLabel;
class QSpinBox;
class Settings;
class TextSet;

// The page margins dialog, one for the whole program. Printing, the preview
// and the printed line width read the margins from it when they need them.
// There is no cancel: whatever was typed stays, and every hide stores the
// margins in the settings.
class TPageSetupForm : public QDialog
{
    Q_OBJECT

public:
    // settings is the frame's and outlives the dialog.
    TPageSetupForm(Settings &settings, const TextSet &texts, QWidget *parent = nullptr);

    // The margins from the settings (defaults for bad values).
    void readSettings();
    void applyTexts(const TextSet &texts);
    PageMargins margins() const;
    void setMargins(const PageMargins &margins);

    QSpinBox *MarginSpinEdit1() const { return m_spin[0]; }
    QSpinBox *MarginSpinEdit2() const { return m_spin[1]; }
    QSpinBox *MarginSpinEdit3() const { return m_spin[2]; }
    QSpinBox *MarginSpinEdit4() const { return m_spin[3]; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    Settings &m_settings;
    QLabel *m_title;
    QLabel *m_labels[4];
    QSpinBox *m_spin[4];
};
