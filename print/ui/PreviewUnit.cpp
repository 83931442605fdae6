#include "print/ui/PreviewUnit.h"

#include "print/PageNumbering.h"
#include "print/Pagination.h"
#include "print/ui/Preview.h"
#include "print/ui/PreviewRendering.h"
#include "platform/Settings.h"
#include "platform/SettingsLines.h"
#include "platform/TextSet.h"
#include "platform/ui/Icons.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *toolButton(QToolBar *bar, const char *name, const QString &icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setIcon(Icons::get(icon));
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

// Hints are "short|long": the tool tip shows the short part, the status bar the long one.
void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint.section(u'|', 0, 0));
    widget->setStatusTip(hint.contains(u'|') ? hint.section(u'|', 1) : hint);
}

} // namespace

TPreviewForm::TPreviewForm(Settings &settings, const TextSet &texts, const PageNumbering &pageNumbers,
                           QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_settings(settings), m_pageNumbers(pageNumbers)
{
    setObjectName(QStringLiteral("PreviewForm"));
    resize(593, 450);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    layout->addWidget(bar);

    m_print = toolButton(bar, "ToolButton2", QStringLiteral("document-print"));
    m_pageSetup = toolButton(bar, "ToolButton4", QStringLiteral("document-page-setup"));
    bar->addSeparator();
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pageLabel->setFixedWidth(60);
    bar->addWidget(m_pageLabel);
    m_pageSpin = new QSpinBox(bar);
    m_pageSpin->setObjectName(QStringLiteral("PageSpinEdit"));
    m_pageSpin->setRange(0, 99999);
    m_pageSpin->setValue(1);
    bar->addWidget(m_pageSpin);
    m_pagesPanel = new QLabel(bar);
    m_pagesPanel->setObjectName(QStringLiteral("Panel1"));
    m_pagesPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pagesPanel->setAutoFillBackground(true);
    m_pagesPanel->setBackgroundRole(QPalette::Midlight);
    m_pagesPanel->setText(QStringLiteral(" / 0"));
    bar->addWidget(m_pagesPanel);
    bar->addSeparator();
    m_zoomIn = toolButton(bar, "ToolButton7", QStringLiteral("zoom-in"));
    m_zoomOut = toolButton(bar, "ToolButton8", QStringLiteral("zoom-out"));
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("ComboBox1"));
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    m_zoomBox->setFixedWidth(80);
    m_zoomBox->lineEdit()->setMaxLength(5);
    m_zoomBox->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"), QStringLiteral("100%"),
                         QStringLiteral("150%"), QStringLiteral("200%")});
    m_zoomBox->setCurrentIndex(-1);
    bar->addWidget(m_zoomBox);
    m_fitWidth = toolButton(bar, "ToolButton11", QStringLiteral("zoom-fit-width"));
    m_fitPage = toolButton(bar, "ToolButton12", QStringLiteral("zoom-fit-best"));
    bar->addSeparator();
    m_close = new QPushButton(bar);
    m_close->setObjectName(QStringLiteral("BitBtn1"));
    m_close->setDefault(true);
    m_close->setFixedWidth(100);
    bar->addWidget(m_close);

    m_preview = new TPrintPreview(this);
    m_preview->setObjectName(QStringLiteral("PrintPreview1"));
    m_preview->setFont(QFont(QStringLiteral("Arial")));
    m_preview->setUnits(mmLoMetric);
    layout->addWidget(m_preview, 1);

    connect(m_print, &QToolButton::clicked, this, [this] {
        if (m_source)
            emit printRequested(m_source);
    });
    connect(m_pageSetup, &QToolButton::clicked, this, [this] {
        if (!m_source)
            return;
        emit pageSetupRequested(m_source);
        m_preview->setFocus();
    });
    connect(m_pageSpin, &QSpinBox::valueChanged, this, &TPreviewForm::pageSpinChanged);
    connect(m_zoomIn, &QToolButton::clicked, this, [this] { zoomBy(PreviewLayout::zoomIn); });
    connect(m_zoomOut, &QToolButton::clicked, this, [this] { zoomBy(PreviewLayout::zoomOut); });
    // Taken when the user confirms (Enter or a list entry), not at every
    // keystroke, so that "120%" can be typed.
    connect(m_zoomBox, &QComboBox::textActivated, this, &TPreviewForm::zoomBoxActivated);
    connect(m_zoomBox->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { zoomBoxActivated(m_zoomBox->lineEdit()->text()); });
    connect(m_fitWidth, &QToolButton::clicked, this, [this] { fit(zsZoomToWidth); });
    connect(m_fitPage, &QToolButton::clicked, this, [this] { fit(zsZoomToFit); });
    connect(m_close, &QPushButton::clicked, this, [this] {
        hide();
        setSource(nullptr);
    });
    connect(m_preview, &TPrintPreview::changed, this, &TPreviewForm::previewChanged);
    connect(m_preview, &TPrintPreview::beginDoc, this, [] { QApplication::setOverrideCursor(Qt::WaitCursor); });
    connect(m_preview, &TPrintPreview::endDoc, this, [this] {
        m_pagesPanel->setText(QStringLiteral(" / %1").arg(m_preview->TotalPages()));
        QApplication::restoreOverrideCursor();
    });
    m_pageSpin->installEventFilter(this);
    m_zoomBox->installEventFilter(this);
    m_zoomBox->lineEdit()->installEventFilter(this);

    applyTexts(texts);
    const int left = settings.number(SettingsLine::PreviewLeft, 50);
    const int top = settings.number(SettingsLine::PreviewTop, 40);
    const int width = settings.number(SettingsLine::PreviewWidth, 600);
    const int height = settings.number(SettingsLine::PreviewHeight, 400);
    // A size no one could see or grab gives the default size.
    const bool usable = width >= 100 && height >= 100 && width <= 32767 && height <= 32767;
    move(left, top);
    resize(usable ? width : 600, usable ? height : 400);
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::applyTexts(const TextSet &texts)
{
    setHint(m_print, texts.entry(Txt::Print));
    setHint(m_pageSetup, texts.entry(Txt::PageSetup));
    m_pageLabel->setText(texts.entry(Txt::PageNo) + u' ');
    setHint(m_pageSpin, texts.entry(Txt::PageNo));
    setHint(m_pagesPanel, texts.line(TextSet::OfPagesHint));
    setHint(m_zoomIn, texts.line(TextSet::ZoomInHint));
    setHint(m_zoomOut, texts.line(TextSet::ZoomOutHint));
    setHint(m_zoomBox, texts.line(TextSet::ZoomFactorHint));
    setHint(m_fitWidth, texts.line(TextSet::ZoomPageWidthHint));
    setHint(m_fitPage, texts.line(TextSet::ZoomOnePageHint));
    m_close->setText(texts.entry(Txt::Close));
}

void TPreviewForm::storeSettings()
{
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QRect frame = geometry();
        m_settings.setLine(SettingsLine::PreviewLeft, QString::number(frame.left()));
        m_settings.setLine(SettingsLine::PreviewTop, QString::number(frame.top()));
        m_settings.setLine(SettingsLine::PreviewWidth, QString::number(frame.width()));
        m_settings.setLine(SettingsLine::PreviewHeight, QString::number(frame.height()));
    }
}

int TPreviewForm::showDocument(const QTextDocument &document, const PageGeometry &geometry, const QString &caption,
                               QObject *source)
{
    setSource(source);
    setWindowTitle(caption);
    m_preview->setPrintJobTitle(caption);
    show();
    raise();
    const Pagination pages(document, geometry);
    return recordPages(*m_preview, pages, m_pageNumbers.isOn());
}

void TPreviewForm::setSource(QObject *source)
{
    if (m_source == source && m_sourceWatch)
        return;
    disconnect(m_sourceWatch);
    m_sourceWatch = source ? connect(source, &QObject::destroyed, this, &TPreviewForm::sourceDestroyed)
                           : QMetaObject::Connection();
    m_source = source;
}

void TPreviewForm::sourceDestroyed()
{
    // The pages and buttons must not outlive the document they show.
    setSource(nullptr);
    m_preview->Clear();
    m_pagesPanel->setText(QStringLiteral(" / 0"));
}

void TPreviewForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_preview->setFocus();
}

void TPreviewForm::hideEvent(QHideEvent *event)
{
    m_preview->Clear();
    QWidget::hideEvent(event);
}

void TPreviewForm::previewChanged()
{
    const QSignalBlocker block(m_pageSpin);
    m_pageSpin->setValue(m_preview->CurrentPage());
}

void TPreviewForm::pageSpinChanged(int value)
{
    m_preview->setCurrentPage(value);
    const QSignalBlocker block(m_pageSpin);
    m_pageSpin->setValue(m_preview->CurrentPage());
}

void TPreviewForm::writeZoomBox(const QString &text)
{
    m_writingZoomBox = true;
    m_zoomBox->setEditText(text);
    m_writingZoomBox = false;
}

void TPreviewForm::zoomBy(int (*rule)(TZoomState, int))
{
    m_preview->setZoom(rule(m_preview->zoomState(), m_preview->zoom()));
    writeZoomBox(QString::number(m_preview->zoom()) + u'%');
    m_preview->setFocus();
}

void TPreviewForm::zoomBoxActivated(const QString &text)
{
    if (m_writingZoomBox)
        return;
    m_preview->setZoom(PreviewLayout::zoomFromText(text));
    writeZoomBox(QString::number(m_preview->zoom()) + u'%');
    m_preview->setFocus();
}

void TPreviewForm::fit(TZoomState state)
{
    m_preview->setZoomState(state);
    writeZoomBox(QString());
}

bool TPreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && (watched == m_pageSpin || watched == m_zoomBox || watched == m_zoomBox->lineEdit())) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_PageUp: m_preview->setCurrentPage(m_preview->CurrentPage() - 1); return true;
        case Qt::Key_PageDown: m_preview->setCurrentPage(m_preview->CurrentPage() + 1); return true;
        case Qt::Key_Home: m_preview->setCurrentPage(1); return true;
        case Qt::Key_End: m_preview->setCurrentPage(m_preview->TotalPages()); return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
