#pragma once

#include <QFrame>
#include <QList>
#include <QTimer>

class MultiClipboard;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QMenu;
class QToolButton;

// The strip of multi-clipboard slot buttons right of the status bar: one
// button per slot (exactly one down, the slot clipboard changes go to), a
// number pop-up shown while the mouse is over the strip, and the hidden menu
// whose items select slots 1 to 10 with Ctrl+1 … Ctrl+0.
class MultiClipboardBar : public QFrame
{
    Q_OBJECT

public:
    static constexpr int ButtonWidth = 20;
    static constexpr int ButtonHeight = 20;
    static constexpr int FirstButtonLeft = 2;
    static constexpr int MenuItems = 10;

    // The pop-up floats on popupHost (the frame), above popupAnchor's top.
    MultiClipboardBar(QWidget *popupHost, QWidget *parent = nullptr);

    MultiClipboard *clipboard() const { return m_clipboard; }
    QToolButton *button(int slot) const { return m_buttons.value(slot); }
    QLabel *label(int slot) const { return m_labels.value(slot); }
    QFrame *popup() const { return m_popup; }
    QTimer *popupTimer() { return &m_popupTimer; }
    // The hidden menu; its actions are live on the frame.
    QMenu *slotMenu() const { return m_menu; }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    void setPopupAnchor(QWidget *anchor) { m_popupAnchor = anchor; }

    // Left edge of a slot's button: one pixel between buttons and eight
    // more after every five slots.
    static int buttonLeft(int slot);

    // Slot button click: the slot's content goes to the clipboard.
    void SpeedButton10Click(int slot);
    // Menu item of slot (0 to 9).
    void N11Click(int slot);
    // Hides the pop-up once the mouse has left the strip.
    void Timer2Timer();
    void showPopup();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void addButton(int slot);
    void updateWidth();

    MultiClipboard *m_clipboard;
    QButtonGroup *m_group;
    QList<QToolButton *> m_buttons;
    QList<QLabel *> m_labels;
    QFrame *m_popup;
    QWidget *m_popupAnchor = nullptr;
    QTimer m_popupTimer;
    QMenu *m_menu;
    QString m_caption;
    // The title goes for good once the strip grows over it.
    bool m_captionDropped = false;
};
