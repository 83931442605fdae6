#pragma once

#include <QDialog>

// The information window of Help > Info: program, version, libraries, and
// where the program keeps its files.
class InfoForm : public QDialog
{
    Q_OBJECT

public:
    explicit InfoForm(const QString &programDir, QWidget *parent = nullptr);
};
