#include "app/DocumentTabStrip.h"

#include "platform/ui/Icons.h"
#include "document/ui/MDIEdit.h"

#include <QMouseEvent>

DocumentTabStrip::DocumentTabStrip(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("HeaderControl1"));
    setExpanding(false);
    setElideMode(Qt::ElideMiddle);
    setUsesScrollButtons(true);
    setDocumentMode(true);
    setDrawBase(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void DocumentTabStrip::addSection(TEditForm *form, const QString &text)
{
    const int index = addTab(text);
    setTabData(index, QVariant::fromValue(static_cast<QObject *>(form)));
}

int DocumentTabStrip::sectionOf(TEditForm *form) const
{
    for (int i = 0; i < count(); ++i)
        if (formAt(i) == form)
            return i;
    return -1;
}

TEditForm *DocumentTabStrip::formAt(int index) const
{
    return qobject_cast<TEditForm *>(tabData(index).value<QObject *>());
}

void DocumentTabStrip::setSectionText(TEditForm *form, const QString &text)
{
    const int index = sectionOf(form);
    if (index >= 0)
        setTabText(index, text);
}

void DocumentTabStrip::setSectionActive(TEditForm *form, bool active)
{
    const int index = sectionOf(form);
    if (index < 0)
        return;
    setTabIcon(index, active ? Icons::get(QStringLiteral("document-edit")) : QIcon());
    if (active) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
}

void DocumentTabStrip::removeSection(TEditForm *form)
{
    const int index = sectionOf(form);
    if (index >= 0) {
        const QSignalBlocker blocker(this);
        removeTab(index);
    }
}

void DocumentTabStrip::setMaximumSectionWidth(int width)
{
    m_maxWidth = qMax(20, width);
    // Re-lays out the sections.
    setElideMode(elideMode());
    updateGeometry();
    update();
}

QSize DocumentTabStrip::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(qMin(size.width(), m_maxWidth));
    return size;
}

QString DocumentTabStrip::hintAt(int x) const
{
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        if (r.left() < x && x < r.left() + r.width())
            return tabText(i);
    }
    return QString();
}

void DocumentTabStrip::mouseMoveEvent(QMouseEvent *event)
{
    setToolTip(hintAt(int(event->position().x())));
    QTabBar::mouseMoveEvent(event);
}

void DocumentTabStrip::mousePressEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    QTabBar::mousePressEvent(event);
    if (index >= 0 && event->button() == Qt::LeftButton)
        if (TEditForm *form = formAt(index))
            emit sectionClicked(form);
}
