#include "platform/ui/HelpWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QString HelpScheme = QStringLiteral("help");

QUrl topicUrl(const QString &id)
{
    QUrl url;
    url.setScheme(HelpScheme);
    url.setPath(id);
    return url;
}

} // namespace

// Serves the topics of the help document as "help:<id>" pages, and pictures
// or style sheets from the help file's folder. Nothing is fetched from
// elsewhere.
class HelpBrowser : public QTextBrowser
{
public:
    const HelpDocument *helpDocument = nullptr;
    QString folder;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::HtmlResource && name.scheme() == HelpScheme)
            return helpDocument ? helpDocument->page(name.path()) : QString();
        if (name.scheme() == HelpScheme || name.isRelative()) {
            const QString path = QFileInfo(folder + u'/' + name.path()).absoluteFilePath();
            if (!path.startsWith(folder + u'/'))
                return QVariant();
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? QVariant(file.readAll()) : QVariant();
        }
        return QVariant();
    }
};

HelpWindow::HelpWindow() = default;

HelpWindow::~HelpWindow()
{
    delete m_window;
}

bool HelpWindow::showContents(const QString &helpFile)
{
    return showTopic(helpFile, QString());
}

bool HelpWindow::showTopic(const QString &helpFile, const QString &topic)
{
    HelpDocument document;
    if (!document.load(helpFile))
        return false;
    m_document = document;
    m_file = helpFile;
    createWindow();
    applyDocument();

    const QUrl target = topicUrl(m_document.hasTopic(topic) ? topic : m_document.contentsId());
    if (m_browser->source() == target)
        m_browser->reload(); // same topic name, new document
    else
        m_browser->setSource(target);
    m_browser->clearHistory();
    updateTitle(currentTopic());

    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return true;
}

void HelpWindow::closeWindow()
{
    if (m_window)
        m_window->close();
}

QWidget *HelpWindow::window() const
{
    return m_window;
}

QTextBrowser *HelpWindow::browser() const
{
    return m_browser;
}

QString HelpWindow::currentTopic() const
{
    return m_browser ? m_browser->source().path() : QString();
}

QAction *HelpWindow::action(Command command) const
{
    return m_actions[command];
}

void HelpWindow::createWindow()
{
    if (m_window)
        return;
    m_window = new QWidget(nullptr, Qt::Window);
    m_window->setObjectName(QStringLiteral("HelpWindow"));
    m_window->resize(720, 560);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *toolBar = new QToolBar(m_window);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    layout->addWidget(toolBar);
    m_browser = new HelpBrowser;
    m_browser->setOpenLinks(false);
    layout->addWidget(m_browser);

    const struct {
        const char *icon;
        QKeySequence key;
    } commands[] = {{"go-previous", QKeySequence::Back},
                    {"go-next", QKeySequence::Forward},
                    {"go-home", QKeySequence(Qt::ALT | Qt::Key_Home)}};
    for (int i = 0; i < 3; ++i) {
        m_actions[i] = toolBar->addAction(QIcon::fromTheme(QLatin1String(commands[i].icon)), QString());
        m_actions[i]->setShortcut(commands[i].key);
    }
    m_actions[Back]->setEnabled(false);
    m_actions[Forward]->setEnabled(false);
    QObject::connect(m_actions[Back], &QAction::triggered, m_browser, &QTextBrowser::backward);
    QObject::connect(m_actions[Forward], &QAction::triggered, m_browser, &QTextBrowser::forward);
    QObject::connect(m_actions[Contents], &QAction::triggered, m_browser,
                     [this] { m_browser->setSource(topicUrl(m_document.contentsId())); });
    QObject::connect(m_browser, &QTextBrowser::backwardAvailable, m_actions[Back], &QAction::setEnabled);
    QObject::connect(m_browser, &QTextBrowser::forwardAvailable, m_actions[Forward], &QAction::setEnabled);
    // source() follows only after this signal, so the title takes the url given.
    QObject::connect(m_browser, &QTextBrowser::sourceChanged, m_browser,
                     [this](const QUrl &url) { updateTitle(url.path()); });

    QObject::connect(m_browser, &QTextBrowser::anchorClicked, m_browser, [this](const QUrl &url) {
        if (url.scheme() == HelpScheme || url.isRelative()) {
            const QString id = url.hasFragment() ? url.fragment() : url.path();
            if (m_document.hasTopic(id))
                m_browser->setSource(topicUrl(id));
            else if (url.hasFragment())
                m_browser->scrollToAnchor(url.fragment());
            return;
        }
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto"))
            QDesktopServices::openUrl(url);
    });
}

void HelpWindow::applyDocument()
{
    m_browser->helpDocument = &m_document;
    m_browser->folder = QFileInfo(m_file).absolutePath();
    // The document names the commands in its own language.
    m_actions[Back]->setText(m_document.meta(QStringLiteral("help-back"), QStringLiteral("Back")));
    m_actions[Forward]->setText(m_document.meta(QStringLiteral("help-forward"), QStringLiteral("Forward")));
    m_actions[Contents]->setText(m_document.meta(QStringLiteral("help-contents"), QStringLiteral("Contents")));
}

void HelpWindow::updateTitle(const QString &topic)
{
    if (!m_window)
        return;
    QString title = m_document.title();
    if (title.isEmpty())
        title = QFileInfo(m_file).completeBaseName();
    if (topic != m_document.contentsId() && !m_document.topicTitle(topic).isEmpty())
        title += QLatin1String(" - ") + m_document.topicTitle(topic);
    m_window->setWindowTitle(title);
}
