#pragma once

#include "platform/HelpDocument.h"
#include "platform/HelpEngine.h"

#include <QPointer>

class HelpBrowser;
class QAction;
class QTextBrowser;
class QWidget;

// Help requests shown in a top-level window of our own: a browser over the
// topics of a help document with Back, Forward and Contents. The window is
// created on the first request and reused; the engine owns it.
class HelpWindow : public HelpEngine
{
public:
    HelpWindow();
    ~HelpWindow() override;
    bool showContents(const QString &helpFile) override;
    void closeWindow() override;
    // Shows one topic of helpFile (its contents page when topic is empty or
    // unknown); false when the file cannot be read as a help document.
    bool showTopic(const QString &helpFile, const QString &topic);

    QWidget *window() const;
    QTextBrowser *browser() const;
    QString currentTopic() const;
    enum Command { Back, Forward, Contents };
    QAction *action(Command command) const;

private:
    void createWindow();
    void applyDocument();
    void updateTitle(const QString &topic);

    HelpDocument m_document;
    QString m_file;
    QPointer<QWidget> m_window;
    QPointer<HelpBrowser> m_browser;
    QAction *m_actions[3] = {};
};
