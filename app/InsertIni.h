#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The insert list "insert.ini": [section] headers followed by
// description=value lines. Read in the ANSI code page (UTF-8 and UTF-16 when
// the file starts with a byte-order mark), written the same way through a
// temporary file. Blank lines and ";" comments carry no pieces. A damaged
// file is read as far as it makes sense: up to its first NUL byte and at most
// MaximumBytes; the result then says it is incomplete.
class InsertIni
{
public:
    // A real insert list is a few kilobytes; this leaves room for large ones.
    static constexpr qint64 MaximumBytes = 1024 * 1024;

    struct Piece {
        QString description;
        QString value;
        bool operator==(const Piece &other) const
        {
            return description == other.description && value == other.value;
        }
    };

    // The lines of a file as they stand, for editing.
    struct FileLines {
        QStringList lines;
        bool exists = false;
        bool complete = true;   // false: cut at a NUL byte or at MaximumBytes
        QString error;          // a file that exists but cannot be read
    };

    InsertIni() = default;

    // Reads the file; a missing or unreadable file gives no sections.
    void load(const QString &path);
    // Parses lines as load() does.
    void setLines(const QStringList &lines);

    // Section names in file order; a name repeated later (in any letter
    // case) is listed once and its pieces join the first.
    QStringList sections() const;
    // The section's pieces in file order; section names match in any letter case.
    QList<Piece> pieces(const QString &section) const;

    // The description ends at the first "="; a line without one is all value.
    static Piece splitLine(const QString &line);

    static FileLines readLines(const QString &path);
    static FileLines decode(QByteArray bytes, bool cut);
    // Writes lines with CR LF in the ANSI code page, or as UTF-8 with a
    // byte-order mark when that code page cannot hold them. The old file
    // stays when writing fails.
    static bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);
    static QByteArray encode(const QStringList &lines);

private:
    struct Section {
        QString name;
        QList<Piece> pieces;
    };
    QList<Section> m_sections;
};
