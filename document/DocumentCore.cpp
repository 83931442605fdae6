#include "document/DocumentCore.h"

#include "document/EmbeddedObject.h"
#include "document/LazyDocumentLayout.h"
#include "document/RunAside.h"
#include "document/TextFinder.h"
#include "document/TextProperties.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"
#include "platform/CodePages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextOption>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>
#include <new>

namespace {

// The layout of a document no view shows: it measures nothing, so moving a
// cursor (which asks for the line under it) shapes no text.
class UnshownLayout : public QAbstractTextDocumentLayout
{
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    void draw(QPainter *, const PaintContext &) override {}
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

// Paragraphs this long lay out slowly in Qt's own layout when they cannot
// be broken at words; such documents take the lazy layout, which handles them.
bool hasHugeParagraph(const QTextDocument *doc)
{
    constexpr int Huge = 20000;
    if (doc->characterCount() < Huge)
        return false;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        if (b.length() > Huge)
            return true;
    return false;
}

// Whether a document built off the interface thread takes the lazy layout:
// large or with a huge paragraph, and nothing that layout cannot show. If
// so, the rows each paragraph will take are guessed now (one each without
// wrapping), so that the scroll range starts out about right, and huge
// paragraphs are made ready to lay out without holding the window.
bool prepareLazyLayout(QTextDocument *doc, const QFont &font, qreal wrapWidth, qsizetype lazyLimit)
{
    if (!LazyDocumentLayout::suits(doc) || (doc->characterCount() <= lazyLimit && !hasHugeParagraph(doc)))
        return false;
    LazyDocumentLayout::estimateRows(doc, QFontMetricsF(font).averageCharWidth(), wrapWidth);
    LazyDocumentLayout::prepareHugeParagraphs(doc);
    return true;
}

} // namespace

// A document built for a load, with what the build found.
struct DocumentCore::Built {
    QTextDocument *document = nullptr;
    LoadResult result;
    PlainText::LineEnd lineEnd = PlainText::LineEnd::CrLf;
    bool plain = false;
    bool lazy = false;
};

// ---------------------------------------------------------------------------
// TRichLines

bool TRichLines::loadFromStream(QIODevice &stream)
{
    const qint64 position = stream.pos();
    const QByteArray data = stream.readAll();
    m_error.clear();
    m_damagedParts = 0;
    const bool rich = m_core->useRichText();
    if (m_core->streamIn(data, rich, m_core->StreamMode()))
        return true;
    // Like the platform control: back to where the stream was, other format, no modifiers.
    stream.seek(position);
    const QByteArray again = stream.readAll();
    if (m_core->streamIn(again, !rich, TStreamMode()))
        return true;
    m_error = QStringLiteral("Failed to Load Stream");
    return false;
}

bool TRichLines::loadFromBuffer(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    const bool ok = loadFromStream(buffer);
    return ok;
}

QString TRichLines::saveToText()
{
    return m_core->plainTextOut(m_core->StreamMode());
}

QByteArray TRichLines::saveToBuffer()
{
    return m_core->streamOut(m_core->useRichText(), m_core->StreamMode());
}

bool TRichLines::saveToStream(QIODevice &stream)
{
    m_error.clear();
    const QByteArray bytes = saveToBuffer();
    if (stream.write(bytes) != bytes.size()) {
        m_error = QStringLiteral("Failed to Save Stream");
        return false;
    }
    return true;
}

bool TRichLines::saveToFile(const QString &fileName)
{
    m_error.clear();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    if (!saveToStream(file))
        return false;
    if (!file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// DocumentCore

DocumentCore::DocumentCore(QObject *parent) : QObject(parent), m_document(new QTextDocument(this))
{
    m_document->setUndoRedoEnabled(m_undoLimit > 0);
    m_cursor = QTextCursor(m_document);
    m_savedDocument = m_document;
    connectDocument();
}

void DocumentCore::setNeverShown()
{
    if (m_neverShown)
        return;
    m_neverShown = true;
    m_document->setDocumentLayout(new UnshownLayout(m_document));
}

DocumentCore::~DocumentCore()
{
    if (m_worker) {
        // The worker's document is dropped with it; nothing waits on the result.
        m_worker->disconnect(this);
        m_worker->waitForFinished();
        Built built = m_worker->result();
        delete built.document;
        delete m_worker;
    }
}

void DocumentCore::connectDocument()
{
    // A document reports what changed where only once it has a layout.
    if (m_neverShown)
        m_document->setDocumentLayout(new UnshownLayout(m_document));
    else
        m_document->documentLayout();
    connect(m_document, &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        // A new edit of a document that was undone to: what was redone from it is gone.
        if (!m_stepping && !m_documentsAfter.empty())
            dropDocuments(m_documentsAfter);
        emit contentsChanged(position, removed, added);
        if (!m_loading)
            emit changed();
    });
}

QString DocumentCore::Text() const
{
    return PlainText::extract(*m_document, 0, -1, QStringLiteral("\n"), true);
}

int DocumentCore::TextLength() const
{
    return m_document->characterCount() - 1;
}

bool DocumentCore::useRichText() const
{
    return m_streamFormat == TStreamFormat::sfRichText
           || (m_streamFormat == TStreamFormat::sfDefault && !m_plainText);
}

bool DocumentCore::Modified() const
{
    return m_document->isModified();
}

void DocumentCore::setModified(bool on)
{
    m_document->setModified(on);
    if (!on)
        m_savedDocument = m_document;
}

void DocumentCore::setUndoLimit(int limit)
{
    m_undoLimit = qMax(0, limit);
    m_document->setUndoRedoEnabled(m_undoLimit > 0);
    if (m_undoLimit == 0) {
        dropDocuments(m_documentsBefore);
        dropDocuments(m_documentsAfter);
    }
}

// ---------------------------------------------------------------------------
// Selection

bool DocumentCore::setCursor(const QTextCursor &cursor)
{
    if (cursor.document() != m_document)
        return false;
    const bool same = cursor.position() == m_cursor.position() && cursor.anchor() == m_cursor.anchor()
                      && cursor.charFormat() == m_cursor.charFormat();
    m_cursor = cursor;
    if (!same)
        emit selectionChanged();
    return !same;
}

void DocumentCore::select(int start, int length)
{
    const int last = TextLength();
    start = qBound(0, start, last);
    QTextCursor c(m_document);
    c.setPosition(start);
    c.setPosition(qBound(0, start + length, last), QTextCursor::KeepAnchor);
    setCursor(c);
}

QString DocumentCore::SelText() const
{
    return PlainText::extract(*m_document, m_cursor.selectionStart(), m_cursor.selectionEnd(),
                              QStringLiteral("\r"), true);
}

QString DocumentCore::SelTextW() const
{
    return PlainText::extract(*m_document, m_cursor.selectionStart(), m_cursor.selectionEnd(),
                              QStringLiteral("\r\n"), true);
}

QPoint DocumentCore::CaretPos() const
{
    const int start = SelStart();
    const QTextBlock block = m_document->findBlock(start);
    return QPoint(start - block.position(), block.blockNumber());
}

void DocumentCore::setCaretPos(const QPoint &pos)
{
    const QTextBlock block = m_document->findBlockByNumber(qMax(0, pos.y()));
    if (!block.isValid())
        return;
    const int column = qBound(0, pos.x(), block.length() - 1);
    QTextCursor c(m_document);
    c.setPosition(block.position() + column);
    setCursor(c);
}

void DocumentCore::mergeInsertionFormat(const QTextCharFormat &format)
{
    QTextCursor c = m_cursor;
    if (c.hasSelection()) {
        c.mergeCharFormat(format);
    } else {
        QTextCharFormat merged = c.charFormat();
        merged.merge(format);
        c.setCharFormat(merged);
    }
    setCursor(c);
}

// ---------------------------------------------------------------------------
// Guarded edits

void DocumentCore::setSelText(const QString &text)
{
    QTextCursor c = m_cursor;
    if (m_readOnly || !mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    PlainText::insert(c, text);
    setCursor(c);
}

bool DocumentCore::ReplaceSelectionW(const QString &text)
{
    QTextCursor c = m_cursor;
    if (!mayEdit(c.selectionStart(), c.selectionEnd()))
        return false;
    if (text.isEmpty())
        c.removeSelectedText();
    else
        PlainText::insert(c, text);
    setCursor(c);
    return true;
}

void DocumentCore::ClearSelection()
{
    QTextCursor c = m_cursor;
    if (!c.hasSelection() || m_readOnly || !mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    c.removeSelectedText();
    setCursor(c);
}

void DocumentCore::Clear()
{
    QTextCursor c(m_document);
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setCharFormat(QTextCharFormat());
    setCursor(c);
}

namespace {

QTextImageFormat pictureFormat(QTextDocument *document, const QImage &image, const QByteArray &bytes,
                               const QString &type)
{
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("quilmar-picture:%1").arg(++serial);
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    if (!bytes.isEmpty()) {
        format.setProperty(TextProperty::PictureBytes, bytes);
        format.setProperty(TextProperty::PictureType, type);
    }
    return format;
}

} // namespace

void DocumentCore::InsertPicture(const QImage &image, const QByteArray &bytes, const QString &type)
{
    QTextCursor c = m_cursor;
    c.insertImage(pictureFormat(m_document, image, bytes, type));
    setCursor(c);
}

void DocumentCore::InsertObject(const EmbeddedObject::Package &package, const QImage &shown,
                                const QByteArray &bytes, const QString &type)
{
    QTextImageFormat format = pictureFormat(m_document, shown, bytes, type);
    // Adjacent objects are told apart by their ids.
    int id = 0;
    const QList<QTextFormat> formats = m_document->allFormats();
    for (const QTextFormat &f : formats)
        id = std::max(id, f.intProperty(TextProperty::ObjectId));
    format.setProperty(TextProperty::ObjectData,
                       EmbeddedObject::objectGroup(EmbeddedObject::packageStream(package),
                                                   QSizeF(format.width(), format.height())));
    format.setProperty(TextProperty::ObjectId, id + 1);
    QTextCursor c = m_cursor;
    c.insertImage(format);
    setCursor(c);
}

TSelectionType DocumentCore::SelectionType() const
{
    TSelectionType type;
    const int start = m_cursor.selectionStart();
    const int end = m_cursor.selectionEnd();
    int characters = 0, objects = 0;
    for (QTextBlock b = m_document->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = std::max(start, f.position());
            const int to = std::min(end, f.position() + f.length());
            if (to <= from)
                continue;
            (f.charFormat().isImageFormat() ? objects : characters) += to - from;
        }
        // The paragraph mark is a character of the selection.
        if (b.position() + b.length() - 1 >= start && b.position() + b.length() - 1 < end)
            ++characters;
        if (characters > 1 && objects > 1)
            break;
    }
    if (characters > 0)
        type |= TSelectionTypeFlag::stText;
    if (characters > 1)
        type |= TSelectionTypeFlag::stMultiChar;
    if (objects > 0)
        type |= TSelectionTypeFlag::stObject;
    if (objects > 1)
        type |= TSelectionTypeFlag::stMultiObject;
    return type;
}

bool DocumentCore::insertRtf(const QByteArray &rtf, bool withoutObjects)
{
    if (!RtfReader::looksLikeRtf(rtf))
        return false;
    QTextCursor c = m_cursor;
    RtfReadOptions options;
    options.ansiCodePage = CodePages::ansiCodePage();
    c.beginEditBlock();
    if (!withoutObjects) {
        c.removeSelectedText();
        RtfReader().read(rtf, c, options);
    } else {
        // Read apart, then pictures and objects out, from the back so the
        // positions stay valid.
        QTextDocument scratch;
        scratch.setDefaultFont(m_document->defaultFont());
        QTextCursor into(&scratch);
        RtfReader().read(rtf, into, options);
        QList<int> objects;
        for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    for (int k = 0; k < it.fragment().length(); ++k)
                        objects.prepend(it.fragment().position() + k);
        for (int position : std::as_const(objects)) {
            QTextCursor remove(&scratch);
            remove.setPosition(position);
            remove.setPosition(position + 1, QTextCursor::KeepAnchor);
            remove.removeSelectedText();
        }
        c.insertFragment(QTextDocumentFragment(&scratch));
    }
    c.endEditBlock();
    setCursor(c);
    return true;
}

void DocumentCore::beginEditGroup()
{
    if (m_editDepth++ == 0)
        m_cursor.beginEditBlock();
}

void DocumentCore::endEditGroup()
{
    if (m_editDepth > 0 && --m_editDepth == 0)
        m_cursor.endEditBlock();
}

bool DocumentCore::CanUndo() const
{
    return !isShowingPreview() && (m_document->isUndoAvailable() || !m_documentsBefore.empty());
}

bool DocumentCore::CanRedo() const
{
    return !isShowingPreview() && (m_document->isRedoAvailable() || !m_documentsAfter.empty());
}

void DocumentCore::Undo()
{
    step(true);
}

void DocumentCore::Redo()
{
    step(false);
}

void DocumentCore::step(bool back)
{
    if (isShowingPreview())
        return;
    // The document's own history first, then the documents it replaced or was replaced by.
    if (!(back ? m_document->isUndoAvailable() : m_document->isRedoAvailable())) {
        std::vector<KeptDocument> &from = back ? m_documentsBefore : m_documentsAfter;
        if (!from.empty())
            stepDocument(from, back ? m_documentsAfter : m_documentsBefore);
        return;
    }
    QTextCursor c = m_cursor;
    const bool stepping = std::exchange(m_stepping, true);
    if (back)
        m_document->undo(&c);
    else
        m_document->redo(&c);
    m_stepping = stepping;
    setCursor(c);
}

void DocumentCore::EmptyUndoBuffer()
{
    m_document->clearUndoRedoStacks();
    dropDocuments(m_documentsBefore);
    dropDocuments(m_documentsAfter);
}

// ---------------------------------------------------------------------------
// Whole documents as undo steps

namespace {

// Each holds a whole document: a few are undone to, not a hundred.
constexpr size_t KeptDocumentSteps = 8;

// How a document is shown, taken over by the one that replaces it. Only
// what differs is set: each setting lays the whole document out anew.
void takePresentation(QTextDocument *doc, const QTextDocument *old)
{
    if (doc->defaultFont() != old->defaultFont())
        doc->setDefaultFont(old->defaultFont());
    const QTextOption option = old->defaultTextOption();
    const QTextOption current = doc->defaultTextOption();
    if (current.wrapMode() != option.wrapMode() || current.alignment() != option.alignment()
        || current.flags() != option.flags() || current.tabStopDistance() != option.tabStopDistance()
        || current.textDirection() != option.textDirection() || current.tabs() != option.tabs())
        doc->setDefaultTextOption(option);
    if (doc->documentMargin() != old->documentMargin())
        doc->setDocumentMargin(old->documentMargin());
    // The width the view lays out at: without it the first layout, done as
    // the view takes the document, would be unwrapped, and a long paragraph
    // one line shaped as a whole.
    if (doc->pageSize() != old->pageSize())
        doc->setPageSize(old->pageSize());
}

} // namespace

bool DocumentCore::replaceDocument(const Fill &fill, qint64 size, const Report &progress)
{
    // A preview goes when its load is done: a result put in its place would be lost.
    if (isShowingPreview())
        return false;
    while (m_editDepth > 0)
        endEditGroup();
    const QFont font = m_document->defaultFont();
    const QTextFrameFormat frame = m_document->rootFrame()->frameFormat();
    const bool background = size > m_limits.lazyLayout;
    const bool shown = !m_neverShown;
    const qreal wrapWidth = m_wrapWidthHint;
    const qsizetype lazyLimit = m_limits.lazyLayout;
    std::atomic<qint64> done{0};
    Report report = progress ? progress : Report([](qint64) {});
    if (background)
        report = [&done](qint64 d) { done.store(d); };
    QThread *home = thread();
    // Without the memory for it the document stays as it is.
    const auto build = [&]() -> std::pair<QTextDocument *, bool> {
        try {
            auto doc = std::make_unique<QTextDocument>();
            doc->setUndoRedoEnabled(false);
            doc->setDefaultFont(font);
            doc->rootFrame()->setFrameFormat(frame);
            QTextCursor c(doc.get());
            c.beginEditBlock();
            const bool filled = fill(c, report);
            c.endEditBlock();
            if (!filled)
                return {nullptr, false};
            const bool lazy = shown && prepareLazyLayout(doc.get(), font, wrapWidth, lazyLimit);
            doc->moveToThread(home);
            return {doc.release(), lazy};
        } catch (const std::bad_alloc &) {
            return {nullptr, false};
        }
    };
    // The cursor and layout of a document are of the thread that uses it:
    // the worker's document has neither until it is here.
    std::function<void()> tick;
    if (progress)
        tick = [&] { progress(done.load()); };
    const std::pair<QTextDocument *, bool> built = background ? runAside(build, tick) : build();
    QTextDocument *doc = built.first;
    if (!doc)
        return false;
    if (built.second)
        doc->setDocumentLayout(new LazyDocumentLayout(doc));
    takePresentation(doc, m_document);
    doc->setParent(this);
    const bool undoable = m_undoLimit > 0;
    doc->setUndoRedoEnabled(undoable);
    doc->setModified(true);
    dropDocuments(m_documentsAfter);
    QTextDocument *old = m_document;
    if (undoable) {
        // What was undone in the old document is no longer redone: the new
        // document follows what it shows now.
        old->clearUndoRedoStacks(QTextDocument::RedoStack);
        m_documentsBefore.push_back({old, m_cursor});
        dropDocuments(m_documentsBefore, KeptDocumentSteps);
    }
    switchTo(doc, QTextCursor(doc));
    if (!undoable)
        delete old;
    emit changed();
    emit selectionChanged();
    return true;
}

void DocumentCore::switchTo(QTextDocument *document, const QTextCursor &cursor)
{
    disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    m_cursor = cursor;
    showDocument();
}

void DocumentCore::stepDocument(std::vector<KeptDocument> &from, std::vector<KeptDocument> &to)
{
    to.push_back({m_document, m_cursor});
    const KeptDocument next = from.back();
    from.pop_back();
    // A document shows what was saved only if it is the one saved and
    // unchanged since; Qt knows the second, we the first.
    if (next.document != m_savedDocument)
        next.document->setModified(true);
    // How the text is shown (the font of plain text, say) is no edit to undo.
    takePresentation(next.document, m_document);
    switchTo(next.document, next.cursor);
    emit changed();
    emit selectionChanged();
}

void DocumentCore::dropDocuments(std::vector<KeptDocument> &documents, size_t keep)
{
    // The oldest go first.
    const size_t drop = documents.size() > keep ? documents.size() - keep : 0;
    for (size_t i = 0; i < drop; ++i)
        delete documents[i].document;
    documents.erase(documents.begin(), documents.begin() + qsizetype(drop));
}

// ---------------------------------------------------------------------------
// Find and lines

int DocumentCore::FindTextW(const QString &text, int start, int length, TSearchTypes options)
{
    const int found = findText(text, start, length, options);
    if (found >= 0 && options.testFlag(TSearchType::stSetSelection))
        select(found, int(text.size()));
    return found;
}

int DocumentCore::findText(const QString &text, int start, int length, TSearchTypes options) const
{
    if (text.isEmpty())
        return -1;
    const int last = TextLength();
    const bool backward = options.testFlag(TSearchType::stBackward);
    int lo;
    int hi;
    if (!backward) {
        lo = start;
        hi = length < 1 ? last : start + length;
    } else {
        hi = start;
        lo = length < 1 ? 0 : start - length;
    }
    lo = qBound(0, lo, last);
    hi = qBound(0, hi, last);
    const Qt::CaseSensitivity cs = options.testFlag(TSearchType::stMatchCase) ? Qt::CaseSensitive
                                                                                : Qt::CaseInsensitive;
    return TextFinder::find(*m_document, text, lo, hi, backward, cs, options.testFlag(TSearchType::stWholeWord));
}

int DocumentCore::LineFromChar(int position) const
{
    if (position < 0)
        position = SelStart();
    if (position > TextLength())
        return -1;
    return m_document->findBlock(position).blockNumber();
}

int DocumentCore::LineIndex(int line) const
{
    if (line < 0)
        line = CaretPos().y();
    const QTextBlock block = m_document->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int DocumentCore::LineCount() const
{
    return m_document->blockCount();
}

// ---------------------------------------------------------------------------
// Protection and length limit

bool DocumentCore::hasProtectedFormat() const
{
    // A document has few formats but may have millions of fragments: without
    // a protected format no fragment needs a look.
    const QList<QTextFormat> formats = m_document->allFormats();
    return std::any_of(formats.begin(), formats.end(), [](const QTextFormat &f) {
        return f.isCharFormat() && f.boolProperty(TextProperty::Protected);
    });
}

bool DocumentCore::mayEdit(int start, int end)
{
    // A preview goes when its load is done: an edit of it would be lost.
    if (isShowingPreview())
        return false;
    if (m_loading)
        return true;
    bool touched = false;
    if (start == end) {
        // An insertion point inside a protected run is protected.
        QTextCursor before(m_document);
        before.setPosition(start);
        QTextCursor after(m_document);
        after.setPosition(qMin(start + 1, TextLength()));
        touched = start > 0 && start < TextLength()
                  && before.charFormat().boolProperty(TextProperty::Protected)
                  && after.charFormat().boolProperty(TextProperty::Protected);
    } else if (end - start < 4096 || hasProtectedFormat()) {
        // A short range is quicker walked than the document's formats listed.
        for (QTextBlock b = m_document->findBlock(start); b.isValid() && b.position() < end && !touched; b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.position() < end && f.position() + f.length() > start
                    && f.charFormat().boolProperty(TextProperty::Protected)) {
                    touched = true;
                    break;
                }
            }
    }
    if (!touched)
        return true;
    return OnProtectChange ? OnProtectChange(start, end) : false;
}

bool DocumentCore::wouldExceedMaxLength(int removed, int added) const
{
    return m_maxLength > 0 && added > removed && TextLength() - removed + added > m_maxLength;
}

// ---------------------------------------------------------------------------
// Streams and loading

bool DocumentCore::streamIn(const QByteArray &data, bool rich, TStreamMode mode)
{
    if (rich && !RtfReader::looksLikeRtf(data))
        return false;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        QTextCursor c = m_cursor;
        if (!mayEdit(c.selectionStart(), c.selectionEnd()))
            return true; // refused, as the control refuses: not a stream error
        // Plain text takes the format of the text it replaces, as typing over a selection does.
        const QTextCharFormat format = c.charFormat();
        c.beginEditBlock();
        c.removeSelectedText();
        if (rich) {
            RtfReadOptions options;
            options.ansiCodePage = CodePages::ansiCodePage();
            RtfReader().read(data, c, options);
        } else {
            PlainText::insert(c, PlainText::decode(plainSource(data, mode)), format);
        }
        c.endEditBlock();
        setCursor(c);
        return true;
    }
    const LoadResult result = rich ? loadRtf(data) : loadEncoded(plainSource(data, mode), m_wrapWidthHint);
    m_lines.m_damagedParts = result.damagedParts;
    return result.loaded();
}

PlainText::EncodedText DocumentCore::plainSource(const QByteArray &data, TStreamMode mode)
{
    PlainText::EncodedText source;
    source.bytes = data;
    if (mode.testFlag(TStreamModeFlag::smUnicode)) {
        source.encoding = PlainText::EncodedText::Utf16LE;
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        source.encoding = PlainText::EncodedText::Utf8;
        source.offset = 3;
    } else {
        source.encoding = PlainText::EncodedText::CodePage;
        source.codePage = CodePages::ansiCodePage();
    }
    return source;
}

DocumentCore::Builder DocumentCore::plainBuilder(const PlainText::EncodedText &source, qreal wrapWidth,
                                                 std::shared_ptr<std::atomic<qint64>> progress) const
{
    const QFont font = m_document->defaultFont();
    const qsizetype lazyLimit = m_limits.lazyLayout;
    PlainText::EncodedText limited = source;
    limited.lineLimit = m_limits.longestLine;
    return [source = std::move(limited), font, progress, wrapWidth, lazyLimit]() {
        Built built;
        built.plain = true;
        PlainText::BuildError error;
        built.document = PlainText::buildDocument(source, font, progress.get(), &built.lineEnd, &error);
        if (!built.document) {
            built.result.error = error.lineTooLong ? LoadResult::Error::LineTooLong
                                 : error.changed   ? LoadResult::Error::FileChanged
                                                   : LoadResult::Error::ReadFailed;
            built.result.ioError = error.text;
            return built;
        }
        built.lazy = prepareLazyLayout(built.document, font, wrapWidth, lazyLimit);
        return built;
    };
}

namespace {

// A new document holding rich text, built with the undo history off.
QTextDocument *readRtfDocument(QByteArrayView data, const QFont &font, int ansiCodePage, int *damagedParts,
                               std::atomic<qint64> *progress = nullptr, qsizetype stopAfter = 0)
{
    auto *d = new QTextDocument;
    d->setUndoRedoEnabled(false);
    d->setDefaultFont(font);
    QTextCursor c(d);
    RtfReadOptions options;
    options.ansiCodePage = ansiCodePage;
    options.progress = progress;
    options.stopAfter = stopAfter;
    const RtfReadResult read = RtfReader().read(data, c, options);
    d->setUndoRedoEnabled(true);
    d->setModified(false);
    if (damagedParts)
        *damagedParts = int(read.warnings.size());
    return d;
}

// The first screen of a large rich text file: its first piece read as a
// (truncated) file of its own.
QTextDocument *rtfPreview(QByteArrayView first, bool cut, const QFont &font, qsizetype previewBytes)
{
    // Read no further than the preview holds: a file of one group per
    // character would otherwise cost a quarter of a second here.
    const int characters = int(previewBytes / 4);
    QTextDocument *doc = readRtfDocument(first, font, CodePages::ansiCodePage(), nullptr, nullptr, characters);
    PlainText::trimPreview(doc, cut, characters);
    return doc;
}

} // namespace

DocumentCore::Builder DocumentCore::rtfBuilder(const QByteArray &data, bool background,
                                               std::shared_ptr<std::atomic<qint64>> progress) const
{
    const QFont font = m_document->defaultFont();
    const int acp = CodePages::ansiCodePage();
    const qreal wrapWidth = m_wrapWidthHint;
    // Rich text read at once keeps Qt's own layout, exact for every format;
    // what is too large for that is read in the background.
    const qsizetype lazyLimit = background ? m_limits.lazyLayout : -1;
    return [data, font, acp, wrapWidth, lazyLimit, progress]() {
        Built built;
        built.document = readRtfDocument(data, font, acp, &built.result.damagedParts, progress.get());
        built.lazy = lazyLimit >= 0 && prepareLazyLayout(built.document, font, wrapWidth, lazyLimit);
        return built;
    };
}

DocumentCore::Builder DocumentCore::rtfFileBuilder(const QString &path, qint64 size,
                                                   std::shared_ptr<std::atomic<qint64>> progress) const
{
    const QFont font = m_document->defaultFont();
    const int acp = CodePages::ansiCodePage();
    const qreal wrapWidth = m_wrapWidthHint;
    const qsizetype lazyLimit = m_limits.lazyLayout;
    return [path, size, font, acp, wrapWidth, lazyLimit, progress]() {
        Built built;
        QFile file(path);
        QByteArray data;
        if (file.open(QIODevice::ReadOnly))
            data = file.read(size);
        if (file.error() != QFileDevice::NoError || !file.isOpen()) {
            built.result.error = LoadResult::Error::ReadFailed;
            built.result.ioError = file.errorString();
            return built;
        }
        // Shorter than when the load began: the file was cut or replaced meanwhile.
        if (data.size() < size) {
            built.result.error = LoadResult::Error::FileChanged;
            return built;
        }
        file.close();
        built.document = readRtfDocument(data, font, acp, &built.result.damagedParts, progress.get());
        built.lazy = prepareLazyLayout(built.document, font, wrapWidth, lazyLimit);
        return built;
    };
}

namespace {

// A builder run where exceptions cannot cross into the event loop.
template <typename Built, typename Builder>
Built runGuarded(const Builder &build)
{
    try {
        return build();
    } catch (const std::bad_alloc &) {
        Built failed;
        failed.result.error = LoadResult::Error::OutOfMemory;
        return failed;
    } catch (const std::exception &e) {
        Built failed;
        failed.result.error = LoadResult::Error::ReadFailed;
        failed.result.ioError = QString::fromLocal8Bit(e.what());
        return failed;
    }
}

} // namespace

LoadResult DocumentCore::loadEncoded(const PlainText::EncodedText &source, qreal wrapWidth)
{
    return finishBuild(runGuarded<Built>(plainBuilder(source, wrapWidth, nullptr)));
}

LoadResult DocumentCore::loadRtf(const QByteArray &data)
{
    if (!RtfReader::looksLikeRtf(data)) {
        LoadResult result;
        result.error = LoadResult::Error::NotRtf;
        return result;
    }
    return finishBuild(runGuarded<Built>(rtfBuilder(data, false, nullptr)));
}

void DocumentCore::startLoadEncoded(const PlainText::EncodedText &source, qreal wrapWidth)
{
    const qsizetype size = (source.filePath.isEmpty() ? source.bytes.size() : QFileInfo(source.filePath).size())
                           - source.offset;
    auto progress = std::make_shared<std::atomic<qint64>>(0);
    if (size <= m_limits.backgroundLoad) {
        emit loadFinished(loadEncoded(source, wrapWidth));
        return;
    }
    if (startBuild(plainBuilder(source, wrapWidth, progress), size, progress))
        showPreview(PlainText::buildPreview(source, m_document->defaultFont(), m_limits.preview));
}

void DocumentCore::startLoadRtf(const QByteArray &data)
{
    if (data.size() <= m_limits.backgroundLoad || !RtfReader::looksLikeRtf(data)) {
        emit loadFinished(loadRtf(data));
        return;
    }
    const qsizetype piece = qMin(data.size(), 4 * m_limits.preview);
    auto progress = std::make_shared<std::atomic<qint64>>(0);
    if (startBuild(rtfBuilder(data, true, progress), data.size(), progress))
        showPreview(rtfPreview(data.first(piece), piece < data.size(), m_document->defaultFont(), m_limits.preview));
}

void DocumentCore::startLoadRtfFile(const QString &path)
{
    QFile file(path);
    const qint64 size = file.size();
    LoadResult failed;
    if (!file.open(QIODevice::ReadOnly)) {
        failed.error = LoadResult::Error::ReadFailed;
        failed.ioError = file.errorString();
        emit loadFinished(failed);
        return;
    }
    if (size <= m_limits.backgroundLoad) {
        const QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            failed.error = LoadResult::Error::ReadFailed;
            failed.ioError = file.errorString();
            emit loadFinished(failed);
            return;
        }
        emit loadFinished(loadRtf(data));
        return;
    }
    const QByteArray first = file.read(4 * m_limits.preview);
    if (!RtfReader::looksLikeRtf(first)) {
        failed.error = LoadResult::Error::NotRtf;
        emit loadFinished(failed);
        return;
    }
    file.close();
    auto progress = std::make_shared<std::atomic<qint64>>(0);
    if (startBuild(rtfFileBuilder(path, size, progress), size, progress))
        showPreview(rtfPreview(first, first.size() < size, m_document->defaultFont(), m_limits.preview));
}

bool DocumentCore::startBuild(Builder build, qint64 total, std::shared_ptr<std::atomic<qint64>> progress)
{
    if (m_worker) {
        LoadResult busy;
        busy.error = LoadResult::Error::Cancelled;
        emit loadFinished(busy);
        return false;
    }
    QThread *home = thread();
    m_worker = new QFutureWatcher<Built>(this);
    auto *ticker = new QTimer(m_worker);
    if (progress) {
        connect(ticker, &QTimer::timeout, this,
                [this, progress, total] { emit loadProgress(int(progress->load() * 100 / qMax<qint64>(1, total))); });
        ticker->start(100);
    }
    connect(m_worker, &QFutureWatcherBase::finished, this, [this] {
        Built built = m_worker->result();
        m_worker->deleteLater();
        m_worker = nullptr;
        emit loadProgress(100);
        emit loadFinished(finishBuild(built));
    });
    m_worker->setFuture(QtConcurrent::run([build = std::move(build), home] {
        Built built = runGuarded<Built>(build);
        if (built.document)
            built.document->moveToThread(home);
        return built;
    }));
    return true;
}

LoadResult DocumentCore::finishBuild(Built built)
{
    if (!built.document) {
        restoreBeforeLoad();
        return built.result;
    }
    // Layouts are objects of the interface thread: set here, not in the worker.
    if (built.lazy)
        built.document->setDocumentLayout(new LazyDocumentLayout(built.document));
    if (built.plain)
        m_lineEnd = built.lineEnd;
    else
        m_lineEnd = PlainText::LineEnd::CrLf;
    // Views see the preview end as the document arrives.
    QTextDocument *before = std::exchange(m_beforeLoad, nullptr);
    // A caret moved in the preview stays: the preview holds the file's first characters.
    const int previewAnchor = before ? m_cursor.anchor() : 0;
    const int previewPosition = before ? m_cursor.position() : 0;
    m_cursorBeforeLoad = QTextCursor();
    adoptDocument(built.document);
    delete before;
    // A loaded document starts its own history.
    dropDocuments(m_documentsBefore);
    dropDocuments(m_documentsAfter);
    m_savedDocument = m_document;
    if (previewAnchor || previewPosition) {
        QTextCursor kept(m_document);
        const int last = TextLength();
        kept.setPosition(qMin(previewAnchor, last));
        kept.setPosition(qMin(previewPosition, last), QTextCursor::KeepAnchor);
        setCursor(kept);
    }
    return built.result;
}

void DocumentCore::showPreview(QTextDocument *preview)
{
    if (!preview)
        return;
    if (!m_beforeLoad) {
        m_beforeLoad = m_document;
        m_cursorBeforeLoad = m_cursor;
        disconnect(m_document, nullptr, this, nullptr);
    }
    adoptDocument(preview);
}

void DocumentCore::restoreBeforeLoad()
{
    if (!m_beforeLoad)
        return;
    QTextDocument *preview = m_document;
    disconnect(preview, nullptr, this, nullptr);
    m_document = m_beforeLoad;
    m_cursor = m_cursorBeforeLoad;
    m_beforeLoad = nullptr;
    m_cursorBeforeLoad = QTextCursor();
    showDocument();
    delete preview;
    emit selectionChanged();
}

void DocumentCore::showDocument()
{
    m_editDepth = 0;
    connectDocument();
    // Views taking the document are no edits.
    const bool wasLoading = std::exchange(m_loading, true);
    emit documentReplaced(m_document);
    m_loading = wasLoading;
}

void DocumentCore::adoptDocument(QTextDocument *doc)
{
    QTextDocument *old = m_document;
    takePresentation(doc, old);
    doc->setUndoRedoEnabled(m_undoLimit > 0);
    doc->setModified(false);
    doc->setParent(this);
    m_document = doc;
    m_cursor = QTextCursor(doc);
    showDocument();
    // The document before a previewed load stays until the load is done.
    if (old != doc && old != m_beforeLoad)
        delete old;
    emit selectionChanged();
}

QString DocumentCore::plainTextOut(TStreamMode mode) const
{
    int from = 0;
    int to = -1;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        from = m_cursor.selectionStart();
        to = m_cursor.selectionEnd();
    }
    // Soft line breaks are line ends in every plain stream, UTF-16 too.
    return PlainText::extract(*m_document, from, to, PlainText::lineEndText(m_lineEnd));
}

QByteArray DocumentCore::streamOut(bool rich, TStreamMode mode) const
{
    int from = 0;
    int to = -1;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        from = m_cursor.selectionStart();
        to = m_cursor.selectionEnd();
    }
    if (rich) {
        RtfWriteOptions options;
        options.ansiCodePage = CodePages::ansiCodePage();
        options.from = from;
        options.to = to;
        options.noObjects = mode.testFlag(TStreamModeFlag::smNoObjects);
        options.plainRtf = mode.testFlag(TStreamModeFlag::smPlainRtf);
        return RtfWriter().write(*m_document, options);
    }
    const bool unicode = mode.testFlag(TStreamModeFlag::smUnicode);
    const QString text = plainTextOut(mode);
    if (unicode)
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return CodePages::fromUnicode(CodePages::ansiCodePage(), text);
}
