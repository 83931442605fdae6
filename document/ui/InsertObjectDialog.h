#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TextSet;
class UserInteraction;

// Insert Object: the file to embed, and whether a picture file shows as
// itself or, like any other file, as its icon and name. Browsing goes
// through the user interaction service.
class InsertObjectDialog : public QDialog
{
    Q_OBJECT

public:
    InsertObjectDialog(const TextSet &texts, UserInteraction &ui, const QString &initialDir,
                       QWidget *parent = nullptr);
    QString fileName() const;
    bool displayAsIcon() const;

private:
    void browse();

    UserInteraction &m_ui;
    QString m_initialDir;
    QLineEdit *m_fileName;
    QCheckBox *m_asIcon;
};
