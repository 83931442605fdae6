#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QClipboard;
class QMimeData;
class QWidget;
class TRichTextEdit;

// The slots of the multi-clipboard. Each slot keeps one clipboard content in
// a hidden rich text buffer; every change of the system clipboard goes into
// the selected slot, and activating a slot puts its content back on the
// clipboard, where any program can paste it. The last slot is always empty:
// activating it opens a new one behind it. Slots live for the run.
class MultiClipboard : public QObject
{
    Q_OBJECT

public:
    // The longest hint kept for a slot.
    static constexpr int HintLength = 255;

    // The buffers are hidden children of bufferParent; it starts with one slot.
    explicit MultiClipboard(QWidget *bufferParent, QObject *parent = nullptr);

    int count() const { return int(m_buffers.size()); }
    int last() const { return count() - 1; }
    int selected() const { return m_selected; }
    void setSelected(int slot);
    TRichTextEdit *buffer(int slot) const { return m_buffers.value(slot); }
    // The first HintLength characters of the slot's text.
    QString hint(int slot) const { return m_hints.value(slot); }
    // Font of the buffers, taken by plain text copied into them.
    void setFont(const QFont &font);

    int addSlot();
    // Copies the clipboard into the selected slot, unless the clipboard holds
    // what this object put there itself or nothing at all (the slot stays).
    void capture();
    // Puts the slot's content on the clipboard and selects the slot; the last
    // slot first gets a new one behind it. True when a slot was added.
    bool activate(int slot);

    // Plain text when the clipboard holds text and nothing richer.
    static bool isPlainText(const QMimeData *data);

signals:
    void slotAdded(int slot);
    void hintChanged(int slot, const QString &hint);

private:
    void putOnClipboard(int slot);

    QWidget *m_bufferParent;
    QList<TRichTextEdit *> m_buffers;
    QStringList m_hints;
    QFont m_font;
    int m_selected = 0;
    // Set while a slot goes onto the clipboard: that change is not captured.
    bool m_pasting = false;
    // What we put on the clipboard; platforms may report the change late.
    QPointer<const QMimeData> m_placed;
};
