#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The entries of the character coding list: every installed code page, in
// the platform's order, each shown with the description the code page list
// file gives it ("Western European (Windows) (1252)") or as its bare number,
// and each carrying the code page number used to open and save files.
class CodePageList
{
public:
    struct Entry {
        QString text;
        int codePage = 0;
    };

    // Descriptions longer than this are cut.
    static constexpr int DescriptionLength = 45;
    // The number attached to an entry whose number cannot be read.
    static constexpr int UnreadableCodePage = 1252;
    // A real list is a few kilobytes; a larger file is read only this far.
    static constexpr qint64 MaximumFileBytes = 1024 * 1024;

    // installed: code pages in the platform's order; wanted: the code page
    // to select; listLines: the lines of the code page list file (empty when
    // there is none), each "number=description".
    CodePageList(const QList<int> &installed, int wanted, const QStringList &listLines);

    const QList<Entry> &entries() const { return m_entries; }
    // The entry of the wanted code page, -1 when it is not installed.
    int selectedIndex() const { return m_selected; }

    // The lines of a code page list file read in codePage; empty when the
    // file is missing or unreadable.
    static QStringList readFile(const QString &path, int codePage);

private:
    QList<Entry> m_entries;
    int m_selected = -1;
};
