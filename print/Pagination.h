#pragma once

#include "print/PageGeometry.h"

#include <QList>

#include <memory>

class QPainter;
class QPaintDevice;
class QTextDocument;

// Which pages of a range come out.
enum class PageParity { All = 0, Odd = 1, Even = 2 };

// The pages (1-based) a print of pages first..last (last -1: to the end)
// draws, each on a sheet of its own and in order. With odd or even pages only
// that parity comes out, so no sheet stays blank; pages before first are never
// drawn. Empty when nothing qualifies: then no job is started at all.
// Parity values outside 0..2 count as all pages.
QList<int> pagesToPrint(int pageCount, int first, int last, int parity);

// The pages of a document laid out for a sheet and a device resolution, so
// that line and page breaks are those of the printed pages. Works on a copy of
// the document (the caller's stays untouched and may change afterwards).
// A form feed (U+000C) ends its page: the text after it starts a new one.
// Hidden text is not printed and takes no room; a paragraph hidden with its
// end takes no line.
class Pagination
{
public:
    // Lays out characters [from, to) of document (to -1: to the end).
    Pagination(const QTextDocument &document, const PageGeometry &geometry, int from = 0, int to = -1);
    ~Pagination();
    Pagination(const Pagination &) = delete;
    Pagination &operator=(const Pagination &) = delete;

    // The range of a selection to print: trailing spaces, tabs and line and
    // paragraph ends are left out, so they cannot cause a page of their own.
    // to is exclusive; the answer's second may equal its first (nothing to print).
    static QPair<int, int> trimmedSelection(const QTextDocument &document, int from, int to);

    const PageGeometry &geometry() const { return m_geometry; }
    // Lays out the whole document.
    int pageCount() const;
    // Whether text follows page index; lays out only as far as that page.
    bool hasPageAfter(int index) const;
    // The first character of each page, in the source document's positions.
    QList<int> pageStarts() const;

    // Paints page index (0-based) with the painter's origin at the paper's
    // top-left corner and one unit per device pixel; scale the painter for
    // other devices. pageNumber: the number drawn at the page number's place
    // (0: none).
    void paintPage(QPainter &painter, int index, int pageNumber = 0) const;
    void paintPageNumber(QPainter &painter, int pageNumber) const;

private:
    void splitAtFormFeeds();
    int sourcePosition(int position) const;

    PageGeometry m_geometry;
    std::unique_ptr<QPaintDevice> m_device;
    std::unique_ptr<QTextDocument> m_document;
    int m_offset = 0;
    // Positions in the copy where a paragraph end was added after a form feed.
    QList<int> m_insertedBreaks;
};
