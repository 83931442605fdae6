#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;
class QTextEdit;

// Draws the objects that keep what the editor does not show (KeptContent:
// footnotes, shapes, bookmarks, a plain text file's U+2029, …) as small
// markers, and shows what one keeps as the tooltip over it. One handler
// serves every document of the interface thread.
class KeptObjectMarker : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // Lets the document's layout draw kept objects; call again after the
    // document or its layout is replaced.
    static void registerWith(QTextDocument *document);
    // Shows the tooltips over the edit's viewport; the filter is a child of edit.
    static void showTooltips(QTextEdit *edit);

    QSizeF intrinsicSize(QTextDocument *document, int posInDocument, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int posInDocument,
                    const QTextFormat &format) override;

private:
    KeptObjectMarker() = default;
};
