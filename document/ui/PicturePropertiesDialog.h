#pragma once

#include <QDialog>
#include <QSize>

class QCheckBox;
class QSpinBox;

// Object properties of a picture in a document: its shown size, in pixels,
// with its own proportions kept unless the user unties them.
class PicturePropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    PicturePropertiesDialog(const QSize &shown, const QSize &natural, QWidget *parent = nullptr);
    QSize shownSize() const;
    void setShownSize(const QSize &size);

private:
    void widthChanged(int width);
    void heightChanged(int height);

    QSize m_natural;
    QSpinBox *m_width;
    QSpinBox *m_height;
    QCheckBox *m_keepRatio;
    bool m_updating = false;
};
