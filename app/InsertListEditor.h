#pragma once

#include <QStringList>
#include <QWidget>

class QAction;
class QTableWidget;
class QToolBar;
class TextSet;
class UserInteraction;

// The edit view of the insert list: "insert.ini" as a two-column table, one
// row per file line. A description=value line fills both columns; any other
// line (section headers, comments, blank lines) stands in the value column
// with an empty description, and is written back alone. Insert adds a row,
// Ctrl+Delete removes one, Down on the last row appends one.
class InsertListEditor : public QWidget
{
    Q_OBJECT

public:
    InsertListEditor(UserInteraction &ui, QWidget *parent = nullptr);

    void setFilePath(const QString &path) { m_path = path; }
    QString filePath() const { return m_path; }
    QTableWidget *table() const { return m_table; }
    QAction *reloadAction() const { return m_reload; }
    QAction *saveAction() const { return m_save; }
    bool hasLines() const;

    // The file's lines in place of the table's; a missing file empties it.
    void loadFile();
    // Writes the table to the file; false (with a message) when it was not
    // written, and then the old file stays.
    bool saveFile();

    QStringList lines() const;
    void setLines(const QStringList &lines);
    void applyTexts(const TextSet &set);

signals:
    // The file was written; readers of it should read it again.
    void saved();

private:
    UserInteraction &m_ui;
    QString m_path;
    QToolBar *m_toolBar;
    QAction *m_reload;
    QAction *m_save;
    QTableWidget *m_table;
    // False after a load that could not read the whole file: saving would
    // drop the rest, so it asks first.
    bool m_complete = true;
};
