#include "app/GoToPanel.h"

#include "platform/ui/Icons.h"

#include <QHBoxLayout>
#include <QSpinBox>
#include <QToolButton>

namespace {
constexpr int InitialWidth = 152;
constexpr int WidthStep = 44;
constexpr int NarrowBookmark = 36;
constexpr int WideBookmark = 44;
} // namespace

GoToPanel::GoToPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GoToPanel"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(2);
    m_lineNo = new QSpinBox(this);
    m_lineNo->setObjectName(QStringLiteral("LineNoEdit"));
    m_lineNo->setRange(1, 2147483647);
    m_lineNo->setValue(1);
    m_lineNo->setAlignment(Qt::AlignRight);
    m_lineNo->setFixedWidth(78);
    layout->addWidget(m_lineNo);
    m_go = new QToolButton(this);
    m_go->setObjectName(QStringLiteral("GOTOSpeedButton"));
    m_go->setIcon(Icons::get(QStringLiteral("go-jump")));
    m_go->setAutoRaise(true);
    layout->addWidget(m_go);
    connect(m_go, &QToolButton::clicked, this, [this] { emit goToLineRequested(m_lineNo->value() - 1); });
    connect(m_lineNo, &QSpinBox::editingFinished, this, [this] {
        if (m_lineNo->hasFocus())
            emit goToLineRequested(m_lineNo->value() - 1);
    });
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(5 + i));
        b->setText(QStringLiteral("\u2691"));
        b->setAutoRaise(true);
        b->setFixedWidth(NarrowBookmark);
        b->setProperty("glyphCount", 1);
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        b->setVisible(i == 0);
        connect(b, &QToolButton::clicked, this, [this, i] { bookmarkClicked(i); });
        connect(b, &QWidget::customContextMenuRequested, this, [this, i] {
            const int line = caretLine ? caretLine() : -1;
            if (line >= 0)
                setBookmark(i, line);
        });
        layout->addWidget(b);
        m_bookmarks << b;
    }
    layout->addStretch();
    setFixedWidth(InitialWidth);
}

void GoToPanel::setGoHint(const QString &hint)
{
    m_goHint = hint;
    m_go->setToolTip(hint);
    m_lineNo->setToolTip(hint + QStringLiteral(":"));
}

int GoToPanel::glyphCount(int index) const
{
    return m_bookmarks.value(index) ? m_bookmarks.at(index)->property("glyphCount").toInt() : 0;
}

void GoToPanel::setBookmark(int index, int zeroBasedLine)
{
    QToolButton *b = m_bookmarks.value(index);
    if (!b)
        return;
    b->setText(QString::number(zeroBasedLine + 1));
    b->setToolTip(b->text() + u' ' + m_goHint);
    // Four-digit line numbers need the wide rendering.
    const int glyphs = zeroBasedLine >= 1000 ? 3 : 1;
    b->setProperty("glyphCount", glyphs);
    b->setFixedWidth(glyphs == 3 ? WideBookmark : NarrowBookmark);
    const int grownWidth = InitialWidth + WidthStep * (index + 1);
    if (index < 3 && width() < grownWidth) {
        setFixedWidth(grownWidth);
        m_bookmarks.at(index + 1)->setVisible(true);
    }
}

void GoToPanel::bookmarkClicked(int index)
{
    bool ok = false;
    const int line = m_bookmarks.at(index)->text().toInt(&ok);
    emit goToLineRequested((ok ? line : 1) - 1);
}
