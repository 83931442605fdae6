#include "document/ui/KeptObjectMarker.h"

#include "document/KeptContent.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>

namespace {

// What the marker shows: a kept break character as its sign, a short text
// (a footnote's number) as itself, anything else as one symbol.
QString label(const QTextFormat &format)
{
    const QString text = KeptContent::text(format);
    if (text == QString(QChar::ParagraphSeparator))
        return QStringLiteral("\u00B6");
    if (text == QString(QChar::LineSeparator))
        return QStringLiteral("\u21B5");
    if (!text.isEmpty() && text.size() <= 4 && KeptContent::rtf(format).startsWith("\\chftn"))
        return text;
    return QStringLiteral("\u203B");
}

QFont markerFont(const QTextFormat &format)
{
    QFont font = format.toCharFormat().font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 0.8);
    return font;
}

class TooltipFilter : public QObject
{
public:
    explicit TooltipFilter(QTextEdit *edit) : QObject(edit), m_edit(edit) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        const int pos = m_edit->cursorForPosition(help->pos()).position();
        QTextDocument *doc = m_edit->document();
        // The cursor lands on either side of the marker under the mouse.
        for (const int p : {pos, pos - 1}) {
            if (p < 0 || doc->characterAt(p) != QChar::ObjectReplacementCharacter)
                continue;
            QTextCursor c(doc);
            c.setPosition(p + 1);
            const QTextCharFormat f = c.charFormat();
            if (!KeptContent::isKept(f))
                continue;
            QString caption = KeptContent::caption(f);
            if (caption.size() > 600)
                caption = caption.left(600) + QChar(0x2026);
            QToolTip::showText(help->globalPos(), caption, static_cast<QWidget *>(watched));
            return true;
        }
        return false;
    }

private:
    QTextEdit *m_edit;
};

} // namespace

void KeptObjectMarker::registerWith(QTextDocument *document)
{
    static KeptObjectMarker *marker = new KeptObjectMarker;
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    if (layout->handlerForObject(KeptContent::ObjectType) != marker)
        layout->registerHandler(KeptContent::ObjectType, marker);
}

void KeptObjectMarker::showTooltips(QTextEdit *edit)
{
    edit->viewport()->installEventFilter(new TooltipFilter(edit));
}

QSizeF KeptObjectMarker::intrinsicSize(QTextDocument *document, int, const QTextFormat &format)
{
    const QFontMetricsF metrics(markerFont(format), document->documentLayout()->paintDevice());
    return QSizeF(metrics.horizontalAdvance(label(format)) + 4, metrics.ascent());
}

void KeptObjectMarker::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                                  const QTextFormat &format)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QColor(0x80, 0x80, 0xA0));
    painter->setBrush(QColor(0xE8, 0xEC, 0xF8));
    painter->drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter->setFont(markerFont(format));
    painter->setPen(QColor(0x30, 0x30, 0x60));
    painter->drawText(rect, Qt::AlignCenter, label(format));
    painter->restore();
}
