#pragma once

#include "HelpEngine.h"

#include <QPointer>

class QTextBrowser;

// Help requests shown in a browser window of our own.
class HelpWindow : public HelpEngine
{
public:
    ~HelpWindow() override;
    bool showContents(const QString &helpFile) override;

private:
    QPointer<QTextBrowser> m_browser;
};
