#pragma once

#include <QPrintDialog>
#include <QStringList>

class QComboBox;
class QWidget;

// The standard print dialog with a list choosing all, odd or even pages,
// placed inside the dialog's print-range group (beside it as an options tab
// where the platform's dialog has no such group).
class TPrintDialogEx : public QPrintDialog
{
    Q_OBJECT

public:
    explicit TPrintDialogEx(QPrinter *printer, QWidget *parent = nullptr);

    void setComboBoxItems(const QStringList &items);
    void setComboBoxVisible(bool on);
    void setComboBoxEnabled(bool on);
    int comboBoxItemIndex() const { return m_itemIndex; }
    void setComboBoxItemIndex(int index);
    QComboBox *comboBox() const { return m_comboBox; }

    // Takes the range the user chose and leaves the printer printing every
    // sheet it gets: the program picks the pages itself, so a range or page
    // set handed on to the print system would drop sheets a second time.
    void takeRange(PrintRange &range, int &from, int &to);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void placePanel();

    QWidget *m_panel;
    QComboBox *m_comboBox;
    int m_itemIndex = 0;
    bool m_placed = false;
};
