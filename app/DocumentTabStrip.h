#pragma once

#include <QTabBar>

class TEditForm;

// The document tab strip at the bottom of the frame: one section per
// document window, at most a quarter of the frame wide, hot-tracking, the
// hint of the section under the mouse, a marker on the active document's
// section. A click asks for its document to be shown.
class DocumentTabStrip : public QTabBar
{
    Q_OBJECT

public:
    explicit DocumentTabStrip(QWidget *parent = nullptr);

    void addSection(TEditForm *form, const QString &text);
    void setSectionText(TEditForm *form, const QString &text);
    void setSectionActive(TEditForm *form, bool active);
    void removeSection(TEditForm *form);
    int sectionOf(TEditForm *form) const;
    TEditForm *formAt(int index) const;
    // Each section is at most this wide.
    void setMaximumSectionWidth(int width);
    int maximumSectionWidth() const { return m_maxWidth; }
    // Text of the section strictly containing x, empty when none does.
    QString hintAt(int x) const;

signals:
    void sectionClicked(TEditForm *form);

protected:
    QSize tabSizeHint(int index) const override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int m_maxWidth = 150;
};
