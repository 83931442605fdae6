#include "app/MultiClipboardBar.h"

#include "app/MultiClipboard.h"

#include <QAction>
#include <QButtonGroup>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int PopupHeight = 20;
constexpr int LabelHeight = 15;

QPixmap boardPixmap(bool filled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x60, 0x48, 0x20));
    p.setBrush(QColor(0xC8, 0xA0, 0x60));
    p.drawRect(2, 2, 11, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 4, 7, 9);
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    p.drawRect(5, 0, 5, 3);
    if (filled) {
        p.setPen(QColor(0x20, 0x40, 0x90));
        for (int y = 6; y <= 11; y += 2)
            p.drawLine(5, y, 9, y);
    }
    return pixmap;
}

// An empty board while up, a written one while down; Qt derives the
// disabled and pressed looks.
QIcon slotIcon()
{
    static const QIcon icon = [] {
        QIcon i;
        i.addPixmap(boardPixmap(false), QIcon::Normal, QIcon::Off);
        i.addPixmap(boardPixmap(true), QIcon::Normal, QIcon::On);
        return i;
    }();
    return icon;
}

} // namespace

MultiClipboardBar::MultiClipboardBar(QWidget *popupHost, QWidget *parent)
    : QFrame(parent), m_clipboard(new MultiClipboard(this, this)), m_group(new QButtonGroup(this)),
      m_popup(new QFrame(popupHost ? popupHost : this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("Panel8"));
    setFixedHeight(ButtonHeight + 2);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &MultiClipboardBar::SpeedButton10Click);

    m_popup->setObjectName(QStringLiteral("Panel10"));
    m_popup->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_popup->setLineWidth(1);
    m_popup->setMidLineWidth(0);
    m_popup->setAutoFillBackground(true);
    QPalette palette = m_popup->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xCC));
    m_popup->setPalette(palette);
    m_popup->setFixedHeight(PopupHeight);
    m_popup->hide();
    m_popupTimer.setObjectName(QStringLiteral("Timer2"));
    m_popupTimer.setInterval(1000);
    connect(&m_popupTimer, &QTimer::timeout, this, &MultiClipboardBar::Timer2Timer);

    m_menu->setObjectName(QStringLiteral("MCB1"));
    for (int item = 0; item < MenuItems; ++item) {
        QAction *action = m_menu->addAction(QString::number(item + 1));
        action->setObjectName(QStringLiteral("N%1").arg(item + 1) + u'1');
        connect(action, &QAction::triggered, this, [this, item] { N11Click(item); });
    }
    // The menu is never shown; its shortcuts work from anywhere in the frame.
    addActions(m_menu->actions());

    installEventFilter(this);
    for (int slot = 0; slot < m_clipboard->count(); ++slot)
        addButton(slot);
    connect(m_clipboard, &MultiClipboard::slotAdded, this, [this](int slot) {
        addButton(slot);
        // Slots beyond the first three cover the strip's title.
        if (slot > 2) {
            m_captionDropped = true;
            m_caption.clear();
        }
        updateWidth();
    });
    connect(m_clipboard, &MultiClipboard::hintChanged, this, [this](int slot, const QString &hint) {
        if (QToolButton *b = button(slot))
            b->setToolTip(hint.isEmpty() ? QString() : Qt::convertFromPlainText(hint, Qt::WhiteSpaceNormal));
    });
    m_clipboard->addSlot();
    m_clipboard->addSlot();
    m_buttons.first()->setChecked(true);
    updateWidth();
}

int MultiClipboardBar::buttonLeft(int slot)
{
    return FirstButtonLeft + slot * (ButtonWidth + 1) + (slot / 5) * 8;
}

void MultiClipboardBar::addButton(int slot)
{
    auto *b = new QToolButton(this);
    b->setObjectName(slot == 0 ? QStringLiteral("SpeedButton10") : QStringLiteral("ClipSlotButton%1").arg(slot));
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(slotIcon());
    b->setIconSize(QSize(16, 16));
    b->setGeometry(buttonLeft(slot), 1, ButtonWidth, ButtonHeight);
    b->installEventFilter(this);
    b->show();
    m_group->addButton(b, slot);
    m_buttons << b;

    auto *label = new QLabel(QString::number(slot + 1), m_popup);
    label->setObjectName(slot == 0 ? QStringLiteral("Label1") : QStringLiteral("ClipSlotLabel%1").arg(slot));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(buttonLeft(slot) - 3, (PopupHeight - LabelHeight - 2) / 2, ButtonWidth, LabelHeight);
    label->show();
    m_labels << label;

    if (slot < MenuItems)
        m_menu->actions().at(slot)->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_0 + (slot + 1) % 10)));
}

void MultiClipboardBar::setCaption(const QString &caption)
{
    if (m_captionDropped)
        return;
    m_caption = caption;
    updateWidth();
    update();
}

void MultiClipboardBar::updateWidth()
{
    int w = buttonLeft(m_clipboard->last()) + 24;
    if (!m_caption.isEmpty())
        w = buttonLeft(m_clipboard->last()) + ButtonWidth + 4 + fontMetrics().horizontalAdvance(m_caption) + 4;
    setFixedWidth(w);
    m_popup->setFixedWidth(w - 3);
}

void MultiClipboardBar::SpeedButton10Click(int slot)
{
    if (slot < 0 || slot > m_clipboard->last())
        slot = 0;
    m_clipboard->activate(slot);
    m_buttons.at(slot)->setChecked(true);
}

void MultiClipboardBar::N11Click(int slot)
{
    if (slot > m_clipboard->last())
        return;
    m_buttons.at(slot)->click();
}

void MultiClipboardBar::showPopup()
{
    if (m_popup->isVisible())
        return;
    QWidget *host = m_popup->parentWidget();
    if (!host || !host->isAncestorOf(this))
        return;
    const QPoint topLeft = mapTo(host, QPoint(0, 0));
    const int bottom = (m_popupAnchor && host->isAncestorOf(m_popupAnchor))
                           ? m_popupAnchor->mapTo(host, QPoint(0, 0)).y() - 2
                           : topLeft.y() - 2;
    m_popup->move(topLeft.x(), bottom - m_popup->height());
    m_popup->raise();
    m_popup->show();
    m_popupTimer.start();
}

void MultiClipboardBar::Timer2Timer()
{
    const QPoint mouse = QCursor::pos();
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    if (mouse.x() > corner.x() && mouse.x() < corner.x() + width() && mouse.y() > corner.y()
        && mouse.y() < corner.y() + height())
        return;
    m_popup->hide();
    m_popupTimer.stop();
}

bool MultiClipboardBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
        showPopup();
    return QFrame::eventFilter(watched, event);
}

void MultiClipboardBar::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    const int left = buttonLeft(m_clipboard->last()) + ButtonWidth + 4;
    p.drawText(QRect(left, 0, width() - left, height()), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}
