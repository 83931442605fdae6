#include "document/ui/ObjectCommands.h"

#include "document/EmbeddedObject.h"
#include "document/TextProperties.h"
#include "document/ui/DocumentHost.h"
#include "document/ui/InsertObjectDialog.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/Shell.h"
#include "platform/TextFormat.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTextCursor>

namespace {

QTextCharFormat formatAt(const TRichTextEdit *editor, int position)
{
    QTextCursor c(editor->document());
    if (position < 0 || position >= editor->document()->characterCount() - 1)
        return {};
    c.setPosition(position + 1);
    return c.charFormat();
}

// The desktop's icon for the file, or its type's theme icon.
QImage fileIcon(Shell &shell, const QString &path)
{
    QImage icon = shell.iconOfFile(path);
    if (!icon.isNull())
        return icon;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QIcon themed = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    return themed.isNull() ? QImage() : themed.pixmap(32, 32).toImage();
}

} // namespace

ObjectCommands::ObjectCommands(TRichTextEdit *editor, DocumentHost *host, QWidget *dialogParent)
    : QObject(editor), m_editor(editor), m_host(host), m_dialogParent(dialogParent)
{
    setObjectName(QStringLiteral("ObjectCommands"));
}

ObjectCommands::~ObjectCommands() = default;

void ObjectCommands::showError(const QString &text)
{
    m_host->userInteraction().showError(text);
}

void ObjectCommands::insertObject(const QString &initialDir)
{
    if (m_editor->ReadOnly())
        return;
    InsertObjectDialog dialog(m_host->textSet(), m_host->userInteraction(), initialDir, m_dialogParent);
    if (m_host->userInteraction().runDialog(&dialog) != QDialog::Accepted || dialog.fileName().isEmpty())
        return;
    embedFile(dialog.fileName(), dialog.displayAsIcon());
}

bool ObjectCommands::embedFile(const QString &path, bool displayAsIcon)
{
    if (m_editor->ReadOnly())
        return false;
    const TextSet &texts = m_host->textSet();
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    const auto tooLarge = [&] {
        showError(formatText(texts.extra(TextSet::Extra::ObjectTooLarge),
                             {shownPath, int(EmbeddedObject::MaxFileSize / (1024 * 1024))}));
        return false;
    };
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        showError(formatText(texts.extra(TextSet::Extra::ObjectUnreadable), {shownPath})
                  + (QFileInfo(path).isDir() ? QString() : QStringLiteral("\r\n") + file.errorString()));
        return false;
    }
    if (file.size() > EmbeddedObject::MaxFileSize)
        return tooLarge();
    // A device or a file still growing may hold more than its size said.
    const QByteArray bytes = file.read(EmbeddedObject::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        showError(formatText(texts.extra(TextSet::Extra::ObjectUnreadable), {shownPath}) + QStringLiteral("\r\n")
                  + file.errorString());
        return false;
    }
    if (bytes.size() > EmbeddedObject::MaxFileSize)
        return tooLarge();
    if (!m_editor->mayEdit(m_editor->SelStart(), m_editor->SelStart() + m_editor->SelLength()))
        return false;

    EmbeddedObject::Package package;
    package.label = QFileInfo(path).fileName();
    package.sourcePath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    package.bytes = bytes;
    if (!displayAsIcon) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format();
        const QImage image = reader.read();
        if (!image.isNull()) {
            const bool kept = format == "jpeg" || format == "png";
            m_editor->InsertObject(package, image, kept ? bytes : QByteArray(), QString::fromLatin1(format));
            return true;
        }
    }
    m_editor->InsertObject(package, EmbeddedObject::iconPicture(fileIcon(m_host->shell(), path), package.label));
    return true;
}

bool ObjectCommands::isObjectAt(int position) const
{
    return EmbeddedObject::isObject(formatAt(m_editor, position));
}

QString ObjectCommands::openObject(int position)
{
    const QTextCharFormat format = formatAt(m_editor, position);
    if (!EmbeddedObject::isObject(format))
        return {};
    const auto package = EmbeddedObject::openableFile(format);
    if (!package) {
        QString kind = EmbeddedObject::className(
            EmbeddedObject::objectData(format.property(TextProperty::ObjectData).toByteArray()));
        if (kind.isEmpty())
            kind = QStringLiteral("?");
        showError(formatText(m_host->textSet().extra(TextSet::Extra::ObjectNotOpenable), {kind}));
        return {};
    }
    if (!m_tempDir)
        m_tempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quilmar-objects-XXXXXX"));
    // Each opening gets a folder of its own: an application may still hold
    // an earlier copy open.
    const QString folder = m_tempDir->path() + QStringLiteral("/%1").arg(++m_opened);
    const QString path = folder + u'/' + EmbeddedObject::safeFileName(package->label);
    QFile copy(path);
    if (!m_tempDir->isValid() || !QDir().mkpath(folder) || !copy.open(QIODevice::WriteOnly)
        || copy.write(package->bytes) != package->bytes.size() || !copy.flush()) {
        showError(QDir::toNativeSeparators(path) + QStringLiteral("\r\n")
                  + (m_tempDir->isValid() ? copy.errorString() : m_tempDir->errorString()));
        return {};
    }
    copy.close();
    const Shell::Result result = m_host->shell().open(path);
    if (!result.ok()) {
        showError(result.errorText.isEmpty() ? m_host->textSet().entry(Txt::CouldNotFindFile) + path
                                             : result.errorText);
        return {};
    }
    return path;
}
