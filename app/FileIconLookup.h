#pragma once

#include <QImage>
#include <QString>

#include <functional>

class Registry;
class Shell;

// The icon of a file for the application buttons: the icon the file holds
// (or the desktop gives the program), else the icon registered for the
// file's type under HKEY_CLASSES_ROOT (its DefaultIcon, then the program of
// its open command), else the icon the MIME database names for the type.
// Holds references to shell and registry, which must outlive it.
class FileIconLookup
{
public:
    // Value of an environment variable, empty when unset.
    using Environment = std::function<QString(const QString &name)>;
    // Icon of a file's type; a null image when there is none.
    using TypeIcon = std::function<QImage(const QString &path)>;

    struct IconLocation {
        QString path;
        int index = 0;
        bool operator==(const IconLocation &o) const { return path == o.path && index == o.index; }
    };

    explicit FileIconLookup(Shell &shell, const Registry &registry,
                            Environment environment = systemEnvironment,
                            TypeIcon typeIcon = mimeTypeIcon);

    // The icon drawn into an image of its size (32-bit with alpha); a null
    // image when none was found.
    QImage iconBitmap(const QString &path) const;

    // An icon location as a DefaultIcon value gives it ("path,index"), with
    // %SystemRoot% and %ProgramFiles% expanded.
    static IconLocation parseDefaultIcon(const QString &value, const Environment &environment);
    // The program file an open command starts, expanded as above.
    static QString programOfCommand(const QString &command, const Environment &environment);
    // The text after the last dot of the file name, with the dot; empty when none.
    static QString extensionOf(const QString &path);

    static QString systemEnvironment(const QString &name);
    // The themed icon of the file's MIME type (needs a GUI application).
    static QImage mimeTypeIcon(const QString &path);

private:
    QImage registeredIcon(const QString &path) const;

    Shell &m_shell;
    const Registry &m_registry;
    Environment m_environment;
    TypeIcon m_typeIcon;
};
