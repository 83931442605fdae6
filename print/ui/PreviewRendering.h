#pragma once

class Pagination;
class TPrintPreview;

// Records the pages of a pagination into a preview, each drawn as the printer
// draws it (same line and page breaks) and scaled to the preview's units.
// The preview's paper size is set from the pagination. pageNumbers draws each
// page's number where printing puts it. Answers the pages recorded; a page the
// preview could not keep ends the recording with the pages made so far.
int recordPages(TPrintPreview &preview, const Pagination &pages, bool pageNumbers);
