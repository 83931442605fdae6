#include "platform/Settings.h"

#include "platform/CodePages.h"

#include <QFile>
#include <QSaveFile>

Settings::Settings()
{
    pad();
}

bool Settings::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        m_lines.clear();
        pad();
        return false;
    }
    setContent(file.read(MaximumBytes));
    return true;
}

namespace {
const QByteArray Utf8Mark("\xEF\xBB\xBF");
}

void Settings::setContent(const QByteArray &bytes)
{
    // Invalid sequences after the mark become replacement characters rather
    // than a reason to drop the file.
    const QString text = bytes.startsWith(Utf8Mark)
                             ? QString::fromUtf8(QByteArrayView(bytes).sliced(Utf8Mark.size()))
                             : CodePages::toUnicode(CodePages::ansiCodePage(), bytes);
    m_lines = splitLines(text);
    pad();
}

QByteArray Settings::content() const
{
    QString text;
    for (const QString &l : m_lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    // File names in UTF-8 would turn into '?' in the ANSI code page; such a
    // file is written as UTF-8 with a mark, every other one as before.
    const int acp = CodePages::ansiCodePage();
    if (CodePages::canEncode(acp, text))
        return CodePages::fromUnicode(acp, text);
    return Utf8Mark + text.toUtf8();
}

QStringList Settings::splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

bool Settings::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = content();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString Settings::line(int index) const
{
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : QString();
}

void Settings::setLine(int index, const QString &text)
{
    if (index < 0)
        return;
    while (m_lines.size() <= index)
        m_lines << QString();
    m_lines[index] = text;
}

int Settings::number(int index, int fallback) const
{
    QStringView s = line(index);
    while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
        s = s.mid(1);
    bool ok = false;
    const int value = s.toInt(&ok, 10);
    return ok ? value : fallback;
}

void Settings::pad()
{
    while (m_lines.size() < MinimumLines)
        m_lines << QString();
}
