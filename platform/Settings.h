#pragma once

#include <QString>
#include <QStringList>

// The settings file: a list of lines, each setting addressed by its line
// number. CR, LF or CR LF end a line; lines are written with CR LF through a
// temporary file so a failed write keeps the old file. The file is in the
// ANSI code page while every line fits it, otherwise UTF-8 behind a mark; a
// file starting with the mark is read as UTF-8.
class Settings
{
public:
    static constexpr int MinimumLines = 49;
    // Larger files are read only this far; no real settings file comes close.
    static constexpr qint64 MaximumBytes = 4 * 1024 * 1024;

    Settings();

    // Replaces the lines with the file's, then pads to MinimumLines.
    bool load(const QString &path, QString *error = nullptr);
    bool save(const QString &path, QString *error = nullptr) const;
    // Parses file bytes as load() does.
    void setContent(const QByteArray &bytes);
    // The file bytes save() writes.
    QByteArray content() const;
    // Lines of a text: CR, LF or CR LF end a line; a last line end adds no empty line.
    static QStringList splitLines(const QString &text);

    int count() const { return int(m_lines.size()); }
    QString line(int index) const;
    void setLine(int index, const QString &text);
    const QStringList &lines() const { return m_lines; }

    // The line read as a decimal number (leading blanks and a sign allowed),
    // or fallback when it is not one.
    int number(int index, int fallback) const;
    // True when the line is exactly word: two-state settings test one word only.
    bool is(int index, const QString &word) const { return line(index) == word; }

private:
    void pad();

    QStringList m_lines;
};
