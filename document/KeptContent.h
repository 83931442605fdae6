#pragma once

#include "document/TextProperties.h"

#include <QByteArray>
#include <QString>
#include <QTextCharFormat>
#include <QTextListFormat>

class QTextDocument;

// Content the editor keeps without showing it as text: characters a plain
// text file held that a QTextDocument cannot hold as text (U+2028, U+2029
// are its own line and paragraph breaks), and RTF groups the editor does not
// read (footnotes, comments, shapes, bookmarks, …). Each is one object
// character (U+FFFC) whose format carries it, drawn as a small marker;
// deleting the marker deletes what it keeps. The writers put it back where
// it stood.
namespace KeptContent {

constexpr int ObjectType = QTextFormat::UserObject + 1;

enum class Kind {
    Character,   // a character of a plain text file
    Inline,      // an RTF group of the body (footnote, comment, bookmark, …)
    Frame,       // an RTF shape or drawing object: a text box's text is its text
};

QTextCharFormat character(QChar c, const QTextCharFormat &base = QTextCharFormat());
// rtf: the whole group, braces included, as it was read. text: what the
// group stands for in the text (a footnote's number, a text box's text);
// caption: its readable content for the tooltip.
QTextCharFormat rtfGroup(const QByteArray &rtf, const QString &text, const QString &caption,
                         const QTextCharFormat &base = QTextCharFormat(), Kind kind = Kind::Inline);
Kind kind(const QTextFormat &format);

bool isKept(const QTextFormat &format);
// The plain text the object stands for: the kept character, a footnote's
// number, a text box's text; empty for groups without text of their own.
QString text(const QTextFormat &format);
QByteArray rtf(const QTextFormat &format);
QString caption(const QTextFormat &format);

// True when the document holds any kept object.
bool hasKept(const QTextDocument &document);

// Groups of the RTF header the editor does not use (headers, footers,
// \info, the style sheet, …), kept with the document and written back in
// the header of a whole-document write.
QByteArray documentGroups(const QTextDocument &document);
void setDocumentGroups(QTextDocument &document, const QByteArray &rtf);

// The document's Word list tables as read (\listtable, \listoverridetable),
// written back in place of new ones while its lists are unchanged: Word's
// levels can show other levels' numbers and lists can run through tables,
// which the editor's lists do not hold.
struct ListTables {
    struct Font {
        int number;
        QString family;
        int charset;
    };
    QByteArray table;
    QByteArray overrides;
    int maxOverride = 0;       // new lists are numbered after this \ls
    QList<int> listIds;        // \listid values in use
    QList<Font> fonts;         // the font table the tables' \f words refer to
};
ListTables listTables(const QTextDocument &document);
void setListTables(QTextDocument &document, const ListTables &tables);

// The \ls a list had in the kept tables, or -1 when it has none or has been
// changed since (its numbering, start, style, level or bullet).
void setListOverride(QTextListFormat &format, int ls);
int listOverride(const QTextListFormat &format);

} // namespace KeptContent
