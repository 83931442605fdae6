#pragma once

#include "app/InsertIni.h"

#include <QWidget>

#include <functional>

class InsertListEditor;
class QComboBox;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class TEditForm;
class TextSet;
class UserInteraction;

// The sidebar: the sections of the insert list "insert.ini" in a combo box,
// the pieces of the chosen section in a list where one click inserts a piece
// into the active document, and an edit view of the file.
class InsertSidebar : public QWidget
{
    Q_OBJECT

public:
    InsertSidebar(UserInteraction &ui, QWidget *parent = nullptr);

    // The document pieces go into; null when none is open.
    std::function<TEditForm *()> activeDocument;
    // The section to show after saving the file.
    std::function<QString()> rememberedSection;

    QComboBox *sectionBox() const { return m_comboBox; }
    QTreeWidget *pieceList() const { return m_list; }
    QToolButton *editButton() const { return m_editButton; }
    InsertListEditor *editor() const { return m_editor; }

    // Reads the file's sections into the section box.
    void open(const QString &path);
    // Shows the section of that name, or the first when there is none.
    void showSection(const QString &name);
    QString currentSection() const;
    // Width to keep in the settings, also while the sidebar is hidden.
    int sidebarWidth() const { return m_width; }
    void setSidebarWidth(int width);
    void applyTexts(const TextSet &set);

    // Event handlers.
    void InsertComboBoxChange();
    void ListView1SelectItem();
    void ListView1ColumnClick();
    void ListView1MouseUp();
    void SpeedButton9Click(bool down);
    void afterSave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fillSectionBox();

    InsertIni m_ini;
    QString m_path;
    QToolButton *m_editButton;
    QComboBox *m_comboBox;
    QStackedWidget *m_stack;
    QTreeWidget *m_list;
    InsertListEditor *m_editor;
    int m_width = 100;
    bool m_inserting = false;
};
