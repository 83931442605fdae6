#pragma once

#include <QFile>
#include <QImage>
#include <QSet>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include <initializer_list>

// The built program started under X by end-to-end tests, and xdotool to
// find and drive its windows. No window manager runs under Xvfb.
namespace ProgramUnderX {

// Copies the program and the named shipped files into folder, so each test
// has settings of its own; the copied program's path, or empty.
inline QString copyProgram(const QString &folder, std::initializer_list<const char *> shipped = {})
{
    const QString program = folder + QStringLiteral("/quilmar");
    if (!QFile::copy(QStringLiteral(QUILMAR_PROGRAM_DIR "/quilmar"), program))
        return QString();
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char *name : shipped)
        QFile::copy(QStringLiteral(QUILMAR_PROGRAM_DIR "/") + QLatin1String(name), folder + u'/' + QLatin1String(name));
    return program;
}

// Runs xdotool; ok tells whether it ended with 0. Its standard output.
inline QString xdotool(const QStringList &args, bool *ok = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    const bool ended = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = ended;
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The visible windows whose title matches the pattern, oldest first.
inline QStringList visibleWindows(const QString &namePattern)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern})
        .split(u'\n', Qt::SkipEmptyParts);
}

// Waits for a visible window with a matching title; its id, or empty. When
// the program has ended meanwhile, its output is printed to tell why.
inline QString waitForWindow(const QString &namePattern, QProcess *program = nullptr, int timeoutMs = 20000)
{
    QString id;
    (void)QTest::qWaitFor([&] {
        id = visibleWindows(namePattern).value(0).trimmed();
        return !id.isEmpty() || (program && program->state() == QProcess::NotRunning);
    }, timeoutMs);
    if (id.isEmpty() && program)
        qWarning("no window \"%s\"; program %s: %s", qPrintable(namePattern),
                 program->state() == QProcess::NotRunning ? "ended" : "still running",
                 (program->readAllStandardOutput() + program->readAllStandardError()).constData());
    return id;
}

// Focuses the window, then sends the key.
inline bool pressIn(const QString &window, const QString &key)
{
    bool focused = false, pressed = false;
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, &focused);
    xdotool({QStringLiteral("key"), key}, &pressed);
    return focused && pressed;
}

// Photographs the display (or one window) into path with quilmar-shot; the
// picture, null when it could not be taken.
inline QImage screenshot(const QString &path, const QString &window = QString())
{
    QProcess grab;
    QStringList args{path};
    if (!window.isEmpty())
        args << window;
    grab.start(QStringLiteral(QUILMAR_PROGRAM_DIR "/quilmar-shot"), args);
    if (!grab.waitForFinished(10000) || grab.exitCode() != 0)
        return QImage();
    return QImage(path);
}

// Distinct colours on a grid of the picture: a handful means it is nearly blank.
inline int colourCount(const QImage &image, int step = 5)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += step)
        for (int x = 0; x < image.width(); x += step)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

} // namespace ProgramUnderX
