#pragma once

#include "document/DocumentCore.h"

#include <QFlags>
#include <QWidget>

#include <functional>

class QMimeData;
class QScrollBar;
class QTextDocument;
class OverlayFormatter;
class EditorView;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TClipboardForm { RichText, RichTextWithoutObjects, UnformattedText, Bitmap, Html };
enum class TLangOption { rlAutoKeyboard = 0x1, rlAutoFont = 0x2, rlImeCancelComplete = 0x4, rlImeAlwaysSendNotify = 0x8 };
Q_DECLARE_FLAGS(TLangOptions, TLangOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLangOptions)

// The rich text control of every document: a view of its DocumentCore with
// the RichEdit-like properties and operations the forms rely on. Every edit
// from outside goes through the core's guarded operations; the text widget
// inside is not reachable, so its unguarded editing is not either.
// Positions count one character per paragraph end.
class TRichTextEdit : public QWidget
{
    Q_OBJECT

public:
    explicit TRichTextEdit(QWidget *parent = nullptr);
    ~TRichTextEdit() override;

    DocumentCore *core() const { return m_core; }
    QTextDocument *document() const { return m_core->document(); }

    // An edit touches protected text in [start, end); answer whether it may.
    std::function<bool(TRichTextEdit *, int start, int end)> OnProtectChange;

    TRichLines &Lines() { return m_core->Lines(); }
    TTextAttributes &SelAttributes() { return m_core->SelAttributes(); }
    TParaAttributes &Paragraph() { return m_core->Paragraph(); }

    QString Text() const { return m_core->Text(); }
    int TextLength() const { return m_core->TextLength(); }

    bool PlainText() const { return m_core->isPlainText(); }
    void setPlainText(bool on) { m_core->setPlainTextMode(on); }
    TStreamFormat StreamFormat() const { return m_core->StreamFormat(); }
    void setStreamFormat(TStreamFormat format) { m_core->setStreamFormat(format); }
    TStreamMode StreamMode() const { return m_core->StreamMode(); }
    void setStreamMode(TStreamMode mode) { m_core->setStreamMode(mode); }
    bool useRichText() const { return m_core->useRichText(); }

    bool WordWrap() const;
    void setWordWrap(bool on);
    // Wraps lines at a fixed width in screen pixels, the text's own width
    // without the document margin, as a printed line of that width wraps;
    // 0 wraps at the window's edge again. Only with word wrap on.
    void setFixedWrapWidth(int pixels);
    int fixedWrapWidth() const;
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle style);
    bool Modified() const { return m_core->Modified(); }
    void setModified(bool on) { m_core->setModified(on); }
    bool ReadOnly() const { return m_core->isReadOnly(); }
    void setReadOnly(bool on);
    int UndoLimit() const { return m_core->UndoLimit(); }
    void setUndoLimit(int limit) { m_core->setUndoLimit(limit); }
    int MaxLength() const { return m_core->MaxLength(); }
    void setMaxLength(int length) { m_core->setMaxLength(length); }
    bool AutoURLDetect() const { return m_autoUrlDetect; }
    void setAutoURLDetect(bool on);
    TLangOptions LangOptions() const { return m_langOptions; }
    void setLangOptions(TLangOptions options) { m_langOptions = options; }
    bool Loading() const { return m_core->Loading(); }
    void setLoading(bool on) { m_core->setLoading(on); }

    int SelStart() const { return m_core->SelStart(); }
    void setSelStart(int position);          // collapses, does not scroll
    int SelLength() const { return m_core->SelLength(); }
    void setSelLength(int length);           // keeps the start, scrolls the caret into view
    void select(int start, int length);
    void selectAll() { select(0, TextLength()); }
    QString SelText() const { return m_core->SelText(); }
    void setSelText(const QString &text) { m_core->setSelText(text); }
    QString SelTextW() const { return m_core->SelTextW(); }
    bool ReplaceSelectionW(const QString &text) { return m_core->ReplaceSelectionW(text); }
    QPoint CaretPos() const { return m_core->CaretPos(); }
    void setCaretPos(const QPoint &pos) { m_core->setCaretPos(pos); }
    // The selection as a cursor, for reading formats and positions.
    QTextCursor textCursor() const { return m_core->cursor(); }

    bool CanUndo() const { return m_core->CanUndo(); }
    bool CanRedo() const { return m_core->CanRedo(); }
    bool CanPaste() const;
    // Held (see runHeld()): they can bring back a paragraph of megabytes.
    void Undo();
    void Redo();
    void EmptyUndoBuffer() { m_core->EmptyUndoBuffer(); }
    void ClearSelection() { m_core->ClearSelection(); }
    void Clear() { m_core->Clear(); }
    void Copy();
    void Cut();
    void Paste();
    void PasteUnformatted();
    void PasteSpecial(TClipboardForm form);
    void InsertPicture(const QImage &image, const QByteArray &bytes = {}, const QString &type = {})
    {
        m_core->InsertPicture(image, bytes, type);
    }

    void InsertObject(const EmbeddedObject::Package &package, const QImage &shown, const QByteArray &bytes = {},
                      const QString &type = {})
    {
        m_core->InsertObject(package, shown, bytes, type);
    }
    TSelectionType SelectionType() const { return m_core->SelectionType(); }

    int FindText(const QByteArray &ansiText, int start, int length, TSearchTypes options);
    int FindTextW(const QString &text, int start, int length, TSearchTypes options)
    {
        return m_core->FindTextW(text, start, length, options);
    }

    int LineFromChar(int position) const { return m_core->LineFromChar(position); }
    int LineIndex(int line) const { return m_core->LineIndex(line); }
    int LineCount() const { return m_core->LineCount(); }
    QPoint PosFromChar(int position) const;

    PlainText::LineEnd PlainLineEnd() const { return m_core->PlainLineEnd(); }
    void setPlainLineEnd(PlainText::LineEnd lineEnd) { m_core->setPlainLineEnd(lineEnd); }

    // Width text wraps at now (0 without word wrap), for loaders' row estimates.
    qreal wrapWidth() const;
    bool isLoadingInBackground() const { return m_core->isLoadingInBackground(); }

    bool mayEdit(int start, int end) { return m_core->mayEdit(start, end); }
    QString linkAt(const QPoint &viewportPos) const;

    // Runs a command that edits the document in pieces while the caret
    // does not blink (each blink measures the caret's line, which in a
    // paragraph being made means Qt classifying every character of it
    // again). A paragraph of megabytes the command made is then classified
    // off this thread, the event loop running meanwhile with user input
    // held off, so that showing it does not hold the window.
    void runHeld(const std::function<void()> &command);
    bool isHeld() const { return m_held; }

    // The view's parts that forms and tests place things by.
    QWidget *viewport() const;
    QScrollBar *verticalScrollBar() const;
    QScrollBar *horizontalScrollBar() const;
    QRect cursorRect() const;
    QRect cursorRect(const QTextCursor &cursor) const;
    QTextCursor cursorForPosition(const QPoint &viewportPos) const;
    void ensureCursorVisible();
    // Margin around the text in the view (the ruler's gutter).
    qreal documentMargin() const;

signals:
    void changed();
    void selectionChanged();
    void loadProgress(int percent);
    void urlClicked(const QString &link, Qt::MouseButton button);
    // A double click on the picture or object at position.
    void objectDoubleClicked(int position);

private:
    friend class EditorView;

    void showDocument(QTextDocument *document);
    bool syncFromView();
    void syncToView();
    void handleContentsChange(int position, int removed, int added);
    void refreshOverlay();
    bool insertMime(const QMimeData *source);

    DocumentCore *m_core;
    EditorView *m_view;
    // Classifies the huge paragraphs of a lazily laid out document that no
    // layout has begun, off this thread.
    void classifyHugeParagraphs();
    bool m_held = false;        // within runHeld()
    bool m_syncPending = false; // the caret to show when it is over
    // Shows a caret held back now: what the view does next starts from it.
    void showHeldCaret();
    OverlayFormatter *m_overlay;
    bool m_overlayPending = false;
    TScrollStyle m_scrollBars = TScrollStyle::ssVertical;
    TLangOptions m_langOptions = TLangOption::rlAutoFont;
    bool m_autoUrlDetect = false;
    bool m_syncing = false;
};
