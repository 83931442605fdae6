#pragma once

#include "document/ParagraphFormat.h"
#include "document/PlainText.h"
#include "document/ui/TextAttributes.h"

#include <QFlags>
#include <QTextEdit>

#include <functional>

class QIODevice;
class OverlayFormatter;
class TRichTextEdit;

enum class TStreamFormat { sfDefault, sfRichText, sfPlainText };
enum class TStreamModeFlag { smSelection = 0x1, smPlainRtf = 0x2, smNoObjects = 0x4, smUnicode = 0x8 };
Q_DECLARE_FLAGS(TStreamMode, TStreamModeFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TStreamMode)

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TSearchType { stWholeWord = 0x1, stMatchCase = 0x2, stBackward = 0x4, stSetSelection = 0x8 };
Q_DECLARE_FLAGS(TSearchTypes, TSearchType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchTypes)
enum class TClipboardForm { RichText, RichTextWithoutObjects, UnformattedText, Bitmap, Html };
enum class TLangOption { rlAutoKeyboard = 0x1, rlAutoFont = 0x2, rlImeCancelComplete = 0x4, rlImeAlwaysSendNotify = 0x8 };
Q_DECLARE_FLAGS(TLangOptions, TLangOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLangOptions)

// The stream operations that carry all file input and output of the editor.
class TRichLines
{
public:
    explicit TRichLines(TRichTextEdit *editor) : m_editor(editor) {}

    // Reads the rest of the stream; rich text or plain text as the stream
    // format says, retrying in the other format when the first fails.
    bool loadFromStream(QIODevice &stream);
    bool loadFromBuffer(const QByteArray &data);
    bool saveToStream(QIODevice &stream);
    bool saveToFile(const QString &fileName);
    // The bytes saveToStream would write.
    QByteArray saveToBuffer();
    // What a plain-text stream with smUnicode gives, as text (no byte copy).
    QString saveToText();
    // "Failed to Load Stream" / "Failed to Save Stream", or an I/O error text.
    QString lastError() const { return m_error; }

private:
    TRichTextEdit *m_editor;
    QString m_error;
};

// The rich text control of every document: a QTextEdit with the RichEdit-like
// properties, operations, events and stream modes the program relies on.
// Positions count one character per paragraph end.
class TRichTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TRichTextEdit(QWidget *parent = nullptr);
    ~TRichTextEdit() override;

    // Events: method pointers with the sender first.
    std::function<void(TRichTextEdit *)> OnChange;
    std::function<void(TRichTextEdit *)> OnSelectionChange;
    // An edit touches protected text in [start, end); answer whether it may.
    std::function<bool(TRichTextEdit *, int start, int end)> OnProtectChange;
    std::function<void(TRichTextEdit *, const QString &link, Qt::MouseButton button)> OnURLClick;

    TRichLines &Lines() { return m_lines; }
    TTextAttributes &SelAttributes() { return m_selAttributes; }
    TParaAttributes &Paragraph() { return m_paragraph; }

    // Whole text, paragraphs joined by "\n"; its length is TextLength().
    QString Text() const;
    int TextLength() const;

    bool PlainText() const { return m_plainText; }
    void setPlainText(bool on) { m_plainText = on; }
    TStreamFormat StreamFormat() const { return m_streamFormat; }
    void setStreamFormat(TStreamFormat format) { m_streamFormat = format; }
    TStreamMode StreamMode() const { return m_streamMode; }
    void setStreamMode(TStreamMode mode) { m_streamMode = mode; }

    bool WordWrap() const;
    void setWordWrap(bool on);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle style);
    bool Modified() const;
    void setModified(bool on);
    bool ReadOnly() const { return isReadOnly(); }
    void setReadOnly(bool on) { QTextEdit::setReadOnly(on); }
    int UndoLimit() const { return m_undoLimit; }
    void setUndoLimit(int limit);
    // 0: no limit of ours. Applies to typing and pasting, never to loading.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = qMax(0, length); }
    bool AutoURLDetect() const { return m_autoUrlDetect; }
    void setAutoURLDetect(bool on);
    TLangOptions LangOptions() const { return m_langOptions; }
    void setLangOptions(TLangOptions options) { m_langOptions = options; }
    // While set, edits of protected text are allowed (loading, protection changes).
    bool Loading() const { return m_loading; }
    void setLoading(bool on) { m_loading = on; }

    int SelStart() const;
    void setSelStart(int position);          // collapses, does not scroll
    int SelLength() const;
    void setSelLength(int length);           // keeps the start, scrolls the caret into view
    void select(int start, int length);
    QString SelText() const;
    void setSelText(const QString &text);    // replaces the selection (protection applies)
    QPoint CaretPos() const;                 // x column, y line (0-based)
    void setCaretPos(const QPoint &pos);

    bool CanUndo() const;
    bool CanRedo() const;
    bool CanPaste() const;
    void Undo() { undo(); }
    void Redo() { redo(); }
    void EmptyUndoBuffer();
    void ClearSelection();                   // deletes the selection
    void Clear();                            // empties the whole document
    void PasteUnformatted();
    // Pastes the clipboard's content in one of the forms it holds.
    void PasteSpecial(TClipboardForm form);
    // Inserts a picture at the caret; bytes and type keep the original file
    // (PNG or JPEG) for writing it back unchanged.
    void InsertPicture(const QImage &image, const QByteArray &bytes = {}, const QString &type = {});
    void Cut();
    void Paste();

    // Finds text in [start, start + length] (backward: [start - length, start]);
    // a length below 1 searches to the end (backward: to the beginning).
    int FindText(const QByteArray &ansiText, int start, int length, TSearchTypes options);
    int FindTextW(const QString &text, int start, int length, TSearchTypes options);
    QString SelTextW() const;
    // Replaces the selection with text as plain text; empty text deletes it.
    bool ReplaceSelectionW(const QString &text);

    int LineFromChar(int position) const;    // -1 for a position beyond the text
    int LineIndex(int line) const;           // -1 for a line beyond the text
    int LineCount() const;
    QPoint PosFromChar(int position) const;

    // Line end used when the whole document is written as plain text: the
    // first one of the last plain text loaded, CR LF otherwise.
    PlainText::LineEnd PlainLineEnd() const { return m_lineEnd; }
    void setPlainLineEnd(PlainText::LineEnd lineEnd) { m_lineEnd = lineEnd; }

    // Documents above this many characters are built off the interface thread.
    static constexpr qsizetype BackgroundLoadThreshold = 4 * 1024 * 1024;
    // Plain documents above this many characters lay out only what is shown.
    static qsizetype lazyLayoutThreshold;

    // Replaces the whole document with plain text decoded from bytes, as a
    // plain-text stream would, without another copy of the text.
    bool loadEncoded(const PlainText::EncodedText &source);
    // True while a large document is being built off the interface thread.
    bool isLoadingInBackground() const { return m_backgroundLoad; }

    // True when an edit of [start, end) may proceed (protection, asking OnProtectChange).
    bool mayEdit(int start, int end);
    // Ranges of detected links in a paragraph (auto URL detection).
    QString linkAt(const QPoint &viewportPos) const;

signals:
    void loadProgress(int percent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TRichLines;
    friend class TTextAttributes;
    friend class TParaAttributes;

    bool useRichText() const;
    // Streams data in as rich or plain text; false when it is not that format.
    bool streamIn(const QByteArray &data, bool rich, TStreamMode mode);
    QByteArray streamOut(bool rich, TStreamMode mode) const;
    QString plainTextOut(TStreamMode mode) const;
    void adoptDocument(QTextDocument *document);
    static PlainText::EncodedText plainSource(const QByteArray &data, TStreamMode mode);
    QTextDocument *buildInBackground(const std::function<QTextDocument *()> &build,
                                     std::atomic<qint64> *progress, qint64 total);
    void finishLoad(QTextDocument *document);
    void connectDocument();
    void handleContentsChange(int position, int removed, int added);
    bool wouldExceedMaxLength(int removed, int added) const;
    void refreshOverlay();

    TRichLines m_lines{this};
    TTextAttributes m_selAttributes{this};
    TParaAttributes m_paragraph{this};
    OverlayFormatter *m_overlay = nullptr;
    bool m_plainText = false;
    TStreamFormat m_streamFormat = TStreamFormat::sfDefault;
    TStreamMode m_streamMode;
    TScrollStyle m_scrollBars = TScrollStyle::ssVertical;
    TLangOptions m_langOptions = TLangOption::rlAutoFont;
    PlainText::LineEnd m_lineEnd = PlainText::LineEnd::CrLf;
    int m_undoLimit = 100;
    int m_maxLength = 0;
    bool m_autoUrlDetect = false;
    bool m_loading = false;
    bool m_backgroundLoad = false;
    QPoint m_pressPos;
    bool m_pressOnLink = false;
};
