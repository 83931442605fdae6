#include "HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

HelpWindow::~HelpWindow()
{
    delete m_browser;
}

bool HelpWindow::showContents(const QString &helpFile)
{
    if (!QFileInfo(helpFile).isReadable())
        return false;
    if (!m_browser)
        m_browser = new QTextBrowser;
    m_browser->setSource(QUrl::fromLocalFile(helpFile));
    m_browser->show();
    return true;
}
