#include "app/MultiClipboard.h"

#include "document/ui/TRichTextEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

MultiClipboard::MultiClipboard(QWidget *bufferParent, QObject *parent)
    : QObject(parent), m_bufferParent(bufferParent), m_font(QStringLiteral("Courier New"))
{
    m_font.setPixelSize(15);
    addSlot();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &MultiClipboard::capture);
}

void MultiClipboard::setSelected(int slot)
{
    if (slot >= 0 && slot < count())
        m_selected = slot;
}

void MultiClipboard::setFont(const QFont &font)
{
    m_font = font;
    for (TRichTextEdit *buffer : std::as_const(m_buffers))
        buffer->setFont(font);
}

int MultiClipboard::addSlot()
{
    auto *buffer = new TRichTextEdit(m_bufferParent);
    buffer->setObjectName(m_buffers.isEmpty() ? QStringLiteral("ClipRichEdit")
                                              : QStringLiteral("ClipRichEdit%1").arg(m_buffers.size()));
    buffer->hide();
    buffer->setWordWrap(false);
    buffer->setUndoLimit(0);
    buffer->setFont(m_font);
    m_buffers << buffer;
    m_hints << QString();
    emit slotAdded(last());
    return last();
}

bool MultiClipboard::isPlainText(const QMimeData *data)
{
    if (!data || !data->hasText())
        return false;
    if (data->hasHtml() || data->hasImage())
        return false;
    for (const QString &format : data->formats())
        if (format.contains(QLatin1String("rtf"), Qt::CaseInsensitive))
            return false;
    return true;
}

void MultiClipboard::capture()
{
    if (m_pasting)
        return;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (data && data == m_placed)
        return;
    TRichTextEdit *buffer = m_buffers.value(m_selected, m_buffers.first());
    const int slot = int(m_buffers.indexOf(buffer));
    if (!data || data->formats().isEmpty()) {
        // Nothing to take: on X11 the owner of the clipboard went away (a
        // closed terminal). The slot keeps what it collected, and there we
        // offer it again so it can still be pasted.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            putOnClipboard(slot);
        return;
    }
    buffer->Clear();
    const bool plain = isPlainText(data);
    buffer->setPlainText(plain);
    buffer->selectAll();
    if (plain)
        buffer->PasteUnformatted();
    else
        buffer->Paste();
    m_hints[slot] = buffer->Text().left(HintLength);
    emit hintChanged(slot, m_hints.at(slot));
}

bool MultiClipboard::activate(int slot)
{
    if (slot < 0 || slot > last())
        return false;
    const bool add = slot == last();
    if (add)
        addSlot();
    setSelected(slot);
    putOnClipboard(slot);
    return add;
}

void MultiClipboard::putOnClipboard(int slot)
{
    TRichTextEdit *buffer = m_buffers.at(slot);
    // An empty slot leaves the clipboard as it is.
    if (buffer->TextLength() == 0)
        return;
    m_pasting = true;
    // Selecting the whole document leaves out the closing paragraph mark,
    // which the pasted content never had.
    buffer->selectAll();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (buffer->PlainText()) {
        // Plain text goes back as plain text, so it takes the format of the
        // place it is pasted into.
        auto *data = new QMimeData;
        data->setText(buffer->Text());
        clipboard->setMimeData(data);
    } else {
        buffer->Copy();
    }
    m_placed = clipboard->mimeData();
    m_pasting = false;
}
