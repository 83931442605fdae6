#pragma once

#include "print/PageGeometry.h"
#include "print/PreviewLayout.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class PageNumbering;
class QTextDocument;
class QToolButton;
class Settings;
class TextSet;
class TPrintPreview;

// The preview window, one for the whole program: the pages of the document
// that last asked for a preview, with page turning and zoom. It prints and
// sets up pages by asking that document (printRequested, pageSetupRequested);
// the document's window answers. When that window goes, so do its pages.
class TPreviewForm : public QWidget
{
    Q_OBJECT

public:
    // settings is the frame's and outlives the window; position and size
    // are read from it here. The pages get numbers while pageNumbers is on;
    // it outlives the window.
    TPreviewForm(Settings &settings, const TextSet &texts, const PageNumbering &pageNumbers,
                 QWidget *parent = nullptr);
    ~TPreviewForm() override;

    void applyTexts(const TextSet &texts);
    // Lines 29 to 32 when the window is in its normal state.
    void storeSettings();

    // Lays the document out as it prints on geometry and shows its pages.
    // source is the document's window; caption titles window and job.
    // Answers the pages shown.
    int showDocument(const QTextDocument &document, const PageGeometry &geometry, const QString &caption,
                     QObject *source);
    QObject *previewSource() const { return m_source; }
    // The source window goes: its pages and the buttons acting on it go too.
    void releaseSource() { sourceDestroyed(); }

    TPrintPreview *PrintPreview1() const { return m_preview; }
    QToolButton *ToolButton2() const { return m_print; }
    QToolButton *ToolButton4() const { return m_pageSetup; }
    QSpinBox *PageSpinEdit() const { return m_pageSpin; }
    QLabel *Panel1() const { return m_pagesPanel; }
    QToolButton *ToolButton7() const { return m_zoomIn; }
    QToolButton *ToolButton8() const { return m_zoomOut; }
    QComboBox *ComboBox1() const { return m_zoomBox; }
    QToolButton *ToolButton11() const { return m_fitWidth; }
    QToolButton *ToolButton12() const { return m_fitPage; }
    QPushButton *BitBtn1() const { return m_close; }

signals:
    void printRequested(QObject *source);
    // The source runs its page setup, then its preview again.
    void pageSetupRequested(QObject *source);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void zoomBy(int (*rule)(TZoomState, int));
    void zoomBoxActivated(const QString &text);
    void fit(TZoomState state);
    void writeZoomBox(const QString &text);
    void pageSpinChanged(int value);
    void previewChanged();
    void setSource(QObject *source);
    void sourceDestroyed();

    Settings &m_settings;
    const PageNumbering &m_pageNumbers;
    TPrintPreview *m_preview;
    QToolButton *m_print;
    QToolButton *m_pageSetup;
    QLabel *m_pageLabel;
    QSpinBox *m_pageSpin;
    QLabel *m_pagesPanel;
    QToolButton *m_zoomIn;
    QToolButton *m_zoomOut;
    QComboBox *m_zoomBox;
    QToolButton *m_fitWidth;
    QToolButton *m_fitPage;
    QPushButton *m_close;
    QPointer<QObject> m_source;
    QMetaObject::Connection m_sourceWatch;
    bool m_writingZoomBox = false;
};
