#include "app/FileIconLookup.h"

#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace {

const QString ClassesRoot = QStringLiteral("HKEY_CLASSES_ROOT\\");

// First occurrence of a program or library extension that ends a file name
// (followed by the end, a quote, a comma or a blank), ignoring case, so that
// "C:\\my.exe.d\\tool.exe" and "NOTEPAD.EXE" are read right; -1 when none.
qsizetype findExtension(const QString &text, QLatin1String extension)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = text.indexOf(extension, from, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        const qsizetype end = at + extension.size();
        if (end == text.size())
            return at;
        const QChar next = text.at(end);
        if (next == u'"' || next == u',' || next.isSpace())
            return at;
        from = at + 1;
    }
}

int readNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

QString expand(QString text, const FileIconLookup::Environment &environment)
{
    // References to variables are case-insensitive, as on Windows.
    text.replace(QLatin1String("%SystemRoot%"), environment(QStringLiteral("SystemRoot")), Qt::CaseInsensitive);
    if (text.contains(QLatin1String("%ProgramFiles%"), Qt::CaseInsensitive)) {
        // ProgramFilesDir is the registry's name for the folder; the
        // environment normally calls it ProgramFiles.
        QString programFiles = environment(QStringLiteral("ProgramFilesDir"));
        if (programFiles.isEmpty())
            programFiles = environment(QStringLiteral("ProgramFiles"));
        text.replace(QLatin1String("%ProgramFiles%"), programFiles, Qt::CaseInsensitive);
    }
#ifndef Q_OS_WIN
    text.replace(u'\\', u'/');
#endif
    return text;
}

QString unquoted(QString text)
{
    text.remove(u'"');
    return text.trimmed();
}

} // namespace

FileIconLookup::FileIconLookup(Shell &shell, const Registry &registry, Environment environment,
                               TypeIcon typeIcon)
    : m_shell(shell),
      m_registry(registry),
      m_environment(std::move(environment)),
      m_typeIcon(std::move(typeIcon))
{
}

QImage FileIconLookup::iconBitmap(const QString &path) const
{
    if (path.isEmpty())
        return QImage();
    QImage icon = m_shell.iconOfFile(path, 0);
    if (icon.isNull())
        icon = registeredIcon(path);
    if (icon.isNull() && m_typeIcon)
        icon = m_typeIcon(path);
    if (icon.isNull())
        return QImage();
    QImage bitmap(icon.size(), QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, icon);
    return bitmap;
}

QImage FileIconLookup::registeredIcon(const QString &path) const
{
    const QString extension = extensionOf(path);
    if (extension.isEmpty() || !m_registry.keyExists(ClassesRoot + extension))
        return QImage();
    const QString type = m_registry.value(ClassesRoot + extension).value_or(QString());
    if (type.trimmed().isEmpty())
        return QImage();

    QImage icon;
    const QString iconKey = ClassesRoot + type + QStringLiteral("\\DefaultIcon");
    const QString iconValue = m_registry.value(iconKey).value_or(QString());
    if (!iconValue.isEmpty()) {
        const IconLocation location = parseDefaultIcon(iconValue, m_environment);
        if (!location.path.isEmpty())
            icon = m_shell.iconOfFile(location.path, location.index);
    }
    if (!icon.isNull())
        return icon;

    const QString commandKey = ClassesRoot + type + QStringLiteral("\\shell\\Open\\command");
    const QString program = programOfCommand(m_registry.value(commandKey).value_or(QString()), m_environment);
    return program.isEmpty() ? QImage() : m_shell.iconOfFile(program, 0);
}

FileIconLookup::IconLocation FileIconLookup::parseDefaultIcon(const QString &value, const Environment &environment)
{
    IconLocation location;
    qsizetype at = findExtension(value, QLatin1String(".exe"));
    if (at < 0)
        at = findExtension(value, QLatin1String(".dll"));
    if (at >= 0) {
        // "path.dll,3" or "\"path.exe\",3": the index follows the one
        // character after the name (and its closing quote).
        const qsizetype end = at + 4;
        QString rest = value.mid(end);
        if (rest.startsWith(u'"'))
            rest.remove(0, 1);
        location.path = value.left(end);
        location.index = readNumber(rest.mid(1), 0);
    } else {
        // Icon files and other resources: "path,index" or a bare path.
        const qsizetype comma = value.lastIndexOf(u',');
        bool ok = false;
        const int index = comma >= 0 ? value.mid(comma + 1).trimmed().toInt(&ok) : 0;
        location.path = ok ? value.left(comma) : value;
        location.index = ok ? index : 0;
    }
    location.path = expand(unquoted(location.path), environment);
    return location;
}

QString FileIconLookup::programOfCommand(const QString &command, const Environment &environment)
{
    QString program = command;
    // The parameters after the program ("%1", switches) are no part of its name.
    const qsizetype at = findExtension(program, QLatin1String(".exe"));
    if (at >= 0)
        program.truncate(at + 4);
    return expand(unquoted(program), environment);
}

QString FileIconLookup::extensionOf(const QString &path)
{
    qsizetype nameStart = 0;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == u'/' || c == u'\\' || c == u':') {
            nameStart = i + 1;
            break;
        }
    }
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= nameStart ? path.mid(dot) : QString();
}

QString FileIconLookup::systemEnvironment(const QString &name)
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QImage FileIconLookup::mimeTypeIcon(const QString &path)
{
    // Themed icons need the GUI; without it there is simply no type icon.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QImage();
    // An unknown type has only the icon of any binary data: no glyph is better.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (!type.isValid() || type.isDefault())
        return QImage();
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        return QImage();
    return icon.pixmap(QSize(48, 48), 1.0).toImage();
}
