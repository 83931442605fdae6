#pragma once

#include "document/PlainText.h"
#include "document/TextAttributes.h"

#include <QFlags>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTextCursor>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QImage;
class QTextDocument;
class DocumentCore;

enum class TStreamFormat { sfDefault, sfRichText, sfPlainText };
enum class TStreamModeFlag { smSelection = 0x1, smPlainRtf = 0x2, smNoObjects = 0x4, smUnicode = 0x8 };
Q_DECLARE_FLAGS(TStreamMode, TStreamModeFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TStreamMode)

enum class TSearchType { stWholeWord = 0x1, stMatchCase = 0x2, stBackward = 0x4, stSetSelection = 0x8 };
Q_DECLARE_FLAGS(TSearchTypes, TSearchType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchTypes)

// What a selection holds: text, one object (picture or embedded object),
// several characters, several objects. Empty for an empty selection.
enum class TSelectionTypeFlag { stText = 0x1, stObject = 0x2, stMultiChar = 0x4, stMultiObject = 0x8 };
Q_DECLARE_FLAGS(TSelectionType, TSelectionTypeFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSelectionType)

namespace EmbeddedObject {
struct Package;
}

// What loading a document gave. Not loaded leaves the document as it was.
struct LoadResult {
    enum class Error { None, NotRtf, ReadFailed, FileChanged, OutOfMemory, Cancelled, LineTooLong };
    Error error = Error::None;
    QString ioError;        // the system's text for ReadFailed, when it gave one
    int damagedParts = 0;   // RTF damage read past (warnings of the reader)
    bool loaded() const { return error == Error::None; }
};

Q_DECLARE_METATYPE(LoadResult)

// The stream operations that carry all file input and output of the editor.
class TRichLines
{
public:
    explicit TRichLines(DocumentCore *core) : m_core(core) {}

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
    // Damage the last rich text load read past.
    int lastDamagedParts() const { return m_damagedParts; }

private:
    friend class DocumentCore;
    DocumentCore *m_core;
    QString m_error;
    int m_damagedParts = 0;
};

// The document of one editor without any widget: owns the QTextDocument and
// the selection, and keeps the control's rules — protected text refused
// unless loading, the length limit, stream modes, attributes of the
// selection, find — so engines and tests work on it without a window. A
// view shows the document and mirrors the selection both ways.
// Positions count one character per paragraph end.
class DocumentCore : public QObject
{
    Q_OBJECT

public:
    // Thresholds are parameters so tests can lower them for one core only.
    struct Limits {
        // Documents above this many characters are built off the calling thread.
        qsizetype backgroundLoad = 4 * 1024 * 1024;
        // Documents without tables above this many characters lay out only what is shown.
        qsizetype lazyLayout = 1024 * 1024;
        // Bytes of plain text shown read-only while a background build runs
        // (rich text: four times as many, its markup being longer).
        qsizetype preview = 64 * 1024;
        // Longest line of plain text loaded. Qt's text layout holds some 30
        // bytes for every character of a paragraph it lays out, and lays a
        // paragraph out as a whole: a longer line could not be shown.
        qsizetype longestLine = 16 * 1024 * 1024;
    };

    explicit DocumentCore(QObject *parent = nullptr);
    ~DocumentCore() override;

    QTextDocument *document() const { return m_document; }
    // For a core no view will show (a work copy): its documents are never
    // laid out, which spares the text shaping that cursor moves would cost.
    void setNeverShown();
    const Limits &limits() const { return m_limits; }
    // Width the text wraps at in the view (0: no wrap); streams in use it to
    // guess the rows of a lazily laid out document.
    void setWrapWidthHint(qreal width) { m_wrapWidthHint = width; }
    void setLimits(const Limits &limits) { m_limits = limits; }

    // An edit touches protected text in [start, end); answer whether it may.
    std::function<bool(int start, int end)> OnProtectChange;

    TRichLines &Lines() { return m_lines; }
    TTextAttributes &SelAttributes() { return m_selAttributes; }
    TParaAttributes &Paragraph() { return m_paragraph; }

    // Whole text, paragraphs joined by "\n"; its length is TextLength().
    QString Text() const;
    int TextLength() const;

    bool isPlainText() const { return m_plainText; }
    void setPlainTextMode(bool on) { m_plainText = on; }
    TStreamFormat StreamFormat() const { return m_streamFormat; }
    void setStreamFormat(TStreamFormat format) { m_streamFormat = format; }
    TStreamMode StreamMode() const { return m_streamMode; }
    void setStreamMode(TStreamMode mode) { m_streamMode = mode; }
    bool useRichText() const;

    bool Modified() const;
    void setModified(bool on);
    int UndoLimit() const { return m_undoLimit; }
    void setUndoLimit(int limit);
    // 0: no limit of ours. Applies to typing and pasting, never to loading.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = qMax(0, length); }
    // While set, edits of protected text are allowed (loading, protection changes).
    bool Loading() const { return m_loading; }
    void setLoading(bool on) { m_loading = on; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }

    // The selection; its char format is the insertion format when empty.
    QTextCursor cursor() const { return m_cursor; }
    // Takes a cursor of this document as the selection (the view's caret);
    // true when that changed the selection or its format.
    bool setCursor(const QTextCursor &cursor);
    int SelStart() const { return m_cursor.selectionStart(); }
    int SelLength() const { return m_cursor.selectionEnd() - m_cursor.selectionStart(); }
    void select(int start, int length);
    QString SelText() const;                 // paragraphs end with CR
    QString SelTextW() const;                // paragraphs end with CR LF
    QPoint CaretPos() const;                 // x column, y line (0-based)
    void setCaretPos(const QPoint &pos);
    QTextCharFormat insertionFormat() const { return m_cursor.charFormat(); }
    void mergeInsertionFormat(const QTextCharFormat &format);

    // Guarded edits: protection and the length limit apply.
    void setSelText(const QString &text);
    // Replaces the selection with plain text; empty text deletes it.
    bool ReplaceSelectionW(const QString &text);
    void ClearSelection();
    void Clear();                            // empties the whole document
    // Inserts a picture at the caret; bytes and type keep the original file.
    void InsertPicture(const QImage &image, const QByteArray &bytes = {}, const QString &type = {});
    // Inserts an embedded file at the caret, shown by a picture (bytes and
    // type keep a picture file's own data).
    void InsertObject(const EmbeddedObject::Package &package, const QImage &shown, const QByteArray &bytes = {},
                      const QString &type = {});
    TSelectionType SelectionType() const;
    // Rich text (RTF) in place of the selection; false when data is no RTF.
    bool insertRtf(const QByteArray &rtf, bool withoutObjects = false);

    // Puts a new document in place of the current one as one undo step:
    // Undo brings back the current document, its own history and all, and
    // Redo the new one. For results of the whole document (Sort), which Qt
    // would otherwise hold as the removal and insertion of every paragraph.
    // fill writes the new text through a cursor of a document that has the
    // current default font and root frame format (the document's kept RTF),
    // its undo history off, reports how far it is, and returns false to
    // leave the document as it is (as a lack of memory for it does). A result of more than the lazy layout's
    // size is built off this thread while this one waits, repainting but
    // taking no input, and progress hears the last report every few
    // milliseconds; nothing edits the current document then, so fill may
    // read it. Otherwise progress hears each report.
    using Report = std::function<void(qint64 done)>;
    using Fill = std::function<bool(QTextCursor &cursor, const Report &report)>;
    bool replaceDocument(const Fill &fill, qint64 size, const Report &progress = {});

    // Edits between begin and end are one undo step.
    void beginEditGroup();
    void endEditGroup();
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    void EmptyUndoBuffer();

    // Finds text in [start, start + length] (backward: [start - length, start]);
    // a length below 1 searches to the end (backward: to the beginning).
    int FindTextW(const QString &text, int start, int length, TSearchTypes options);
    // As FindTextW, never selecting.
    int findText(const QString &text, int start, int length, TSearchTypes options) const;

    int LineFromChar(int position) const;    // -1 for a position beyond the text
    int LineIndex(int line) const;           // -1 for a line beyond the text
    int LineCount() const;

    // True when an edit of [start, end) may proceed (never in a preview; protection, asking OnProtectChange).
    bool mayEdit(int start, int end);
    // True when some character format of the document is protected.
    bool hasProtectedFormat() const;
    bool wouldExceedMaxLength(int removed, int added) const;

    // Line end used when the whole document is written as plain text: the
    // first one of the last plain text loaded, CR LF otherwise.
    PlainText::LineEnd PlainLineEnd() const { return m_lineEnd; }
    void setPlainLineEnd(PlainText::LineEnd lineEnd) { m_lineEnd = lineEnd; }

    // Replaces the whole document with plain text decoded from bytes or a
    // file, on this thread. A failed read leaves the document as it was.
    LoadResult loadEncoded(const PlainText::EncodedText &source, qreal wrapWidth = 0);
    // The same off this thread when the text is large (otherwise at once):
    // loadFinished reports the result; loadProgress the percentage meanwhile.
    void startLoadEncoded(const PlainText::EncodedText &source, qreal wrapWidth = 0);
    // The same for rich text bytes.
    LoadResult loadRtf(const QByteArray &data);
    void startLoadRtf(const QByteArray &data);
    // The same for the rich text of a file, read on the worker when large.
    void startLoadRtfFile(const QString &path);
    bool isLoadingInBackground() const { return m_worker != nullptr; }
    // While a background build runs, document() is a read-only preview of
    // the file's first piece; the document before the load is kept until
    // the build succeeds, and put back when it fails.
    bool isShowingPreview() const { return m_beforeLoad != nullptr; }

    // Streams data in as rich or plain text; false when it is not that format.
    bool streamIn(const QByteArray &data, bool rich, TStreamMode mode);
    QByteArray streamOut(bool rich, TStreamMode mode) const;
    QString plainTextOut(TStreamMode mode) const;

signals:
    void changed();
    void selectionChanged();
    void loadProgress(int percent);
    void loadFinished(const LoadResult &result);
    // A load put a new document in place; views show it.
    void documentReplaced(QTextDocument *document);
    // Text changed at [position, position + added) (removed characters gone).
    void contentsChanged(int position, int removed, int added);

private:
    struct Built;
    using Builder = std::function<Built()>;
    // False when a build runs already (the new one is reported cancelled).
    bool startBuild(Builder build, qint64 total, std::shared_ptr<std::atomic<qint64>> progress);
    LoadResult finishBuild(Built built);
    Builder plainBuilder(const PlainText::EncodedText &source, qreal wrapWidth,
                         std::shared_ptr<std::atomic<qint64>> progress) const;
    Builder rtfBuilder(const QByteArray &data, bool background, std::shared_ptr<std::atomic<qint64>> progress) const;
    Builder rtfFileBuilder(const QString &path, qint64 size, std::shared_ptr<std::atomic<qint64>> progress) const;
    void showPreview(QTextDocument *preview);
    void restoreBeforeLoad();
    void adoptDocument(QTextDocument *document);
    // Shows another document without deleting the current one.
    void switchTo(QTextDocument *document, const QTextCursor &cursor);
    // A document put in place by replaceDocument, with the selection it had.
    struct KeptDocument {
        QTextDocument *document;
        QTextCursor cursor;
    };
    // Undo (back) or Redo.
    void step(bool back);
    // Moves the current document onto to and shows the last of from.
    void stepDocument(std::vector<KeptDocument> &from, std::vector<KeptDocument> &to);
    static void dropDocuments(std::vector<KeptDocument> &documents, size_t keep = 0);
    // Connects the current document and hands it to the views.
    void showDocument();
    void connectDocument();
    static PlainText::EncodedText plainSource(const QByteArray &data, TStreamMode mode);

    QTextDocument *m_document = nullptr;
    QTextCursor m_cursor;
    Limits m_limits;
    TRichLines m_lines{this};
    TTextAttributes m_selAttributes{this};
    TParaAttributes m_paragraph{this};
    bool m_plainText = false;
    TStreamFormat m_streamFormat = TStreamFormat::sfDefault;
    TStreamMode m_streamMode;
    PlainText::LineEnd m_lineEnd = PlainText::LineEnd::CrLf;
    int m_undoLimit = 100;
    int m_maxLength = 0;
    bool m_loading = false;
    bool m_readOnly = false;
    bool m_neverShown = false;
    int m_editDepth = 0;
    qreal m_wrapWidthHint = 0;
    QFutureWatcher<Built> *m_worker = nullptr;
    // The document and selection before a load that shows a preview.
    QTextDocument *m_beforeLoad = nullptr;
    QTextCursor m_cursorBeforeLoad;
    // Documents replaced as a whole, oldest first: the undo steps before the
    // current document's own history, and the redo steps after it.
    std::vector<KeptDocument> m_documentsBefore;
    std::vector<KeptDocument> m_documentsAfter;
    // The document last loaded or saved: another one shown is modified.
    QPointer<QTextDocument> m_savedDocument;
    bool m_stepping = false; // an undo or redo runs: its edits keep the redo steps
};
