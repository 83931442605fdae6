#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QMimeData;

// Paste with options: the forms the clipboard's content can be pasted in,
// with a line telling what each gives.
class PasteSpecialDialog : public QDialog
{
    Q_OBJECT

public:
    enum Form { RichText, RichTextWithoutObjects, UnformattedText, Bitmap, Html };

    explicit PasteSpecialDialog(const QMimeData *clipboard, QWidget *parent = nullptr);

    // The forms offered, in the list's order.
    QList<Form> forms() const { return m_forms; }
    void selectForm(Form form);
    Form selectedForm() const;

    static QString formName(Form form);

private:
    void showDescription();

    QList<Form> m_forms;
    QListWidget *m_list;
    QLabel *m_description;
};
