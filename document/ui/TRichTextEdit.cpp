#include "document/ui/TRichTextEdit.h"

#include "platform/CodePages.h"
#include "document/ui/KeptObjectMarker.h"
#include "document/ui/LazyDocumentLayout.h"
#include "document/ui/OverlayFormatter.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"
#include "document/TextFinder.h"
#include "document/TextProperties.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QMimeData>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace {

const QString RtfMime = QStringLiteral("text/rtf");
const QString RtfMimeAlt = QStringLiteral("application/rtf");


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

} // namespace

// ---------------------------------------------------------------------------
// TRichLines

bool TRichLines::loadFromStream(QIODevice &stream)
{
    const qint64 position = stream.pos();
    const QByteArray data = stream.readAll();
    m_error.clear();
    const bool rich = m_editor->useRichText();
    if (m_editor->streamIn(data, rich, m_editor->m_streamMode))
        return true;
    // Like the platform control: back to where the stream was, other format, no modifiers.
    stream.seek(position);
    const QByteArray again = stream.readAll();
    if (m_editor->streamIn(again, !rich, TStreamMode()))
        return true;
    m_error = QStringLiteral("Failed to Load Stream");
    return false;
}

bool TRichLines::loadFromBuffer(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return loadFromStream(buffer);
}

QString TRichLines::saveToText()
{
    return m_editor->plainTextOut(m_editor->m_streamMode);
}

QByteArray TRichLines::saveToBuffer()
{
    return m_editor->streamOut(m_editor->useRichText(), m_editor->m_streamMode);
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
// TRichTextEdit

qsizetype TRichTextEdit::lazyLayoutThreshold = 4 * 1024 * 1024;

TRichTextEdit::TRichTextEdit(QWidget *parent) : QTextEdit(parent), m_overlay(new OverlayFormatter(this))
{
    setAcceptRichText(true);
    setTabChangesFocus(false);
    setWordWrap(true);
    document()->setUndoRedoEnabled(m_undoLimit > 0);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (OnChange && !m_loading)
            OnChange(this);
    });
    const auto selectionChanged = [this] {
        if (OnSelectionChange)
            OnSelectionChange(this);
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, selectionChanged);
    connect(this, &QTextEdit::selectionChanged, this, selectionChanged);
    connectDocument();
    KeptObjectMarker::showTooltips(this);
}

TRichTextEdit::~TRichTextEdit()
{
    delete m_overlay;
}

void TRichTextEdit::connectDocument()
{
    connect(document(), &QTextDocument::contentsChange, this, &TRichTextEdit::handleContentsChange,
            Qt::UniqueConnection);
    KeptObjectMarker::registerWith(document());
}

void TRichTextEdit::handleContentsChange(int position, int, int added)
{
    if (m_autoUrlDetect || m_overlay->detectLinks())
        m_overlay->refreshRange(position, added);
}

void TRichTextEdit::refreshOverlay()
{
    m_overlay->setDetectLinks(m_autoUrlDetect);
    m_overlay->invalidate();
    QTimer::singleShot(0, this, [this] { m_overlay->refreshVisible(); });
}

QString TRichTextEdit::Text() const
{
    return PlainText::extract(*document(), 0, -1, QStringLiteral("\n"), true);
}

int TRichTextEdit::TextLength() const
{
    return document()->characterCount() - 1;
}

bool TRichTextEdit::WordWrap() const
{
    return lineWrapMode() != QTextEdit::NoWrap;
}

void TRichTextEdit::setWordWrap(bool on)
{
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    setScrollBars(on ? TScrollStyle::ssVertical : TScrollStyle::ssBoth);
}

void TRichTextEdit::setScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    const bool horizontal = style == TScrollStyle::ssHorizontal || style == TScrollStyle::ssBoth;
    const bool vertical = style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

bool TRichTextEdit::Modified() const
{
    return document()->isModified();
}

void TRichTextEdit::setModified(bool on)
{
    document()->setModified(on);
}

void TRichTextEdit::setUndoLimit(int limit)
{
    m_undoLimit = qMax(0, limit);
    document()->setUndoRedoEnabled(m_undoLimit > 0);
}

void TRichTextEdit::setAutoURLDetect(bool on)
{
    m_autoUrlDetect = on;
    setMouseTracking(on);
    viewport()->setMouseTracking(true);
    refreshOverlay();
}

int TRichTextEdit::SelStart() const
{
    return textCursor().selectionStart();
}

int TRichTextEdit::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichTextEdit::setSelStart(int position)
{
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    QTextCursor c = textCursor();
    c.setPosition(qBound(0, position, TextLength()));
    setTextCursor(c);
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
}

void TRichTextEdit::setSelLength(int length)
{
    select(SelStart(), length);
}

void TRichTextEdit::select(int start, int length)
{
    const int last = TextLength();
    start = qBound(0, start, last);
    QTextCursor c(document());
    c.setPosition(start);
    c.setPosition(qBound(0, start + length, last), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

QString TRichTextEdit::SelText() const
{
    const QTextCursor c = textCursor();
    return PlainText::extract(*document(), c.selectionStart(), c.selectionEnd(), QStringLiteral("\r"), true);
}

QString TRichTextEdit::SelTextW() const
{
    const QTextCursor c = textCursor();
    return PlainText::extract(*document(), c.selectionStart(), c.selectionEnd(), QStringLiteral("\r\n"), true);
}

void TRichTextEdit::setSelText(const QString &text)
{
    QTextCursor c = textCursor();
    if (!mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    PlainText::insert(c, text);
    setTextCursor(c);
}

bool TRichTextEdit::ReplaceSelectionW(const QString &text)
{
    QTextCursor c = textCursor();
    if (!mayEdit(c.selectionStart(), c.selectionEnd()))
        return false;
    if (text.isEmpty())
        c.removeSelectedText();
    else
        PlainText::insert(c, text);
    setTextCursor(c);
    return true;
}

QPoint TRichTextEdit::CaretPos() const
{
    const int start = SelStart();
    const QTextBlock block = document()->findBlock(start);
    return QPoint(start - block.position(), block.blockNumber());
}

void TRichTextEdit::setCaretPos(const QPoint &pos)
{
    const QTextBlock block = document()->findBlockByNumber(qMax(0, pos.y()));
    if (!block.isValid())
        return;
    const int column = qBound(0, pos.x(), block.length() - 1);
    QTextCursor c(document());
    c.setPosition(block.position() + column);
    setTextCursor(c);
}

bool TRichTextEdit::CanUndo() const
{
    return document()->isUndoAvailable();
}

bool TRichTextEdit::CanRedo() const
{
    return document()->isRedoAvailable();
}

bool TRichTextEdit::CanPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return !isReadOnly() && data && canInsertFromMimeData(data);
}

void TRichTextEdit::EmptyUndoBuffer()
{
    document()->clearUndoRedoStacks();
}

void TRichTextEdit::ClearSelection()
{
    QTextCursor c = textCursor();
    if (!c.hasSelection() || isReadOnly() || !mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    c.removeSelectedText();
}

void TRichTextEdit::Clear()
{
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setCharFormat(QTextCharFormat());
}

void TRichTextEdit::Cut()
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection() || isReadOnly() || !mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    cut();
}

void TRichTextEdit::Paste()
{
    paste();
}

void TRichTextEdit::PasteUnformatted()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (isReadOnly() || !data || !data->hasText())
        return;
    QTextCursor c = textCursor();
    const QString text = data->text();
    if (!mayEdit(c.selectionStart(), c.selectionEnd())
        || wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), int(text.size())))
        return;
    PlainText::insert(c, text, currentCharFormat());
    setTextCursor(c);
}

void TRichTextEdit::PasteSpecial(TClipboardForm form)
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (isReadOnly() || !data || data->formats().isEmpty())
        return;
    if (form == TClipboardForm::UnformattedText) {
        PasteUnformatted();
        return;
    }
    QTextCursor c = textCursor();
    if (!mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    if (form == TClipboardForm::Bitmap) {
        if (data->hasImage())
            InsertPicture(qvariant_cast<QImage>(data->imageData()));
        return;
    }
    if (wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), int(data->text().size())))
        return;
    const QByteArray rtf = data->data(data->hasFormat(RtfMime) ? RtfMime : RtfMimeAlt);
    RtfReadOptions options;
    options.ansiCodePage = CodePages::ansiCodePage();
    c.beginEditBlock();
    if (form == TClipboardForm::Html) {
        c.insertHtml(data->html());
    } else if (form == TClipboardForm::RichText) {
        c.removeSelectedText();
        RtfReader().read(rtf, c, options);
    } else {
        // Read apart, then pictures and objects out, from the back so the
        // positions stay valid.
        QTextDocument scratch;
        scratch.setDefaultFont(document()->defaultFont());
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
    setTextCursor(c);
}

void TRichTextEdit::InsertPicture(const QImage &image, const QByteArray &bytes, const QString &type)
{
    static int serial = 0;
    const QString name = QStringLiteral("quilmar-picture:%1").arg(++serial);
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    if (!bytes.isEmpty()) {
        format.setProperty(TextProperty::PictureBytes, bytes);
        format.setProperty(TextProperty::PictureType, type);
    }
    QTextCursor c = textCursor();
    c.insertImage(format);
    setTextCursor(c);
}

int TRichTextEdit::FindText(const QByteArray &ansiText, int start, int length, TSearchTypes options)
{
    return FindTextW(CodePages::toUnicode(CodePages::ansiCodePage(), ansiText), start, length, options);
}

int TRichTextEdit::FindTextW(const QString &text, int start, int length, TSearchTypes options)
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
    const int found = TextFinder::find(*document(), text, lo, hi, backward, cs,
                                       options.testFlag(TSearchType::stWholeWord));
    if (found >= 0 && options.testFlag(TSearchType::stSetSelection))
        select(found, int(text.size()));
    return found;
}

int TRichTextEdit::LineFromChar(int position) const
{
    if (position < 0)
        position = SelStart();
    if (position > TextLength())
        return -1;
    return document()->findBlock(position).blockNumber();
}

int TRichTextEdit::LineIndex(int line) const
{
    if (line < 0)
        line = CaretPos().y();
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int TRichTextEdit::LineCount() const
{
    return document()->blockCount();
}

QPoint TRichTextEdit::PosFromChar(int position) const
{
    QTextCursor c(document());
    c.setPosition(qBound(0, position, TextLength()));
    return cursorRect(c).topLeft();
}

// ---------------------------------------------------------------------------
// Protection, length limit and links

bool TRichTextEdit::mayEdit(int start, int end)
{
    if (m_loading)
        return true;
    QTextDocument *doc = document();
    bool touched = false;
    if (start == end) {
        // An insertion point inside a protected run is protected.
        QTextCursor before(doc);
        before.setPosition(start);
        QTextCursor after(doc);
        after.setPosition(qMin(start + 1, TextLength()));
        touched = start > 0 && start < TextLength()
                  && before.charFormat().boolProperty(TextProperty::Protected)
                  && after.charFormat().boolProperty(TextProperty::Protected);
    } else {
        for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end && !touched; b = b.next())
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
    return OnProtectChange ? OnProtectChange(this, start, end) : false;
}

bool TRichTextEdit::wouldExceedMaxLength(int removed, int added) const
{
    return m_maxLength > 0 && added > removed && TextLength() - removed + added > m_maxLength;
}

QString TRichTextEdit::linkAt(const QPoint &viewportPos) const
{
    const QString href = anchorAt(viewportPos);
    if (!href.isEmpty())
        return href;
    if (!m_autoUrlDetect)
        return QString();
    const QTextCursor c = cursorForPosition(viewportPos);
    const QTextBlock block = c.block();
    const int offset = c.position() - block.position();
    // The cursor lands between characters: the link must contain the character
    // under the mouse, which is on either side of that boundary.
    const QRect caret = cursorRect(c);
    const int charOffset = viewportPos.x() < caret.x() ? offset - 1 : offset;
    const QString text = block.text();
    for (const auto &[start, length] : OverlayFormatter::findLinks(text))
        if (charOffset >= start && charOffset < start + length)
            return text.mid(start, length);
    return QString();
}

void TRichTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    const QTextCursor c = textCursor();
    int start = c.selectionStart();
    int end = c.selectionEnd();
    int added = 0;
    bool edits = true;
    if (event == QKeySequence::Cut || event == QKeySequence::Delete) {
        if (!c.hasSelection())
            end = qMin(end + 1, TextLength());
    } else if (event->key() == Qt::Key_Backspace || event == QKeySequence::DeleteStartOfWord) {
        if (!c.hasSelection())
            start = qMax(0, start - 1);
    } else if (event == QKeySequence::DeleteEndOfWord || event == QKeySequence::DeleteEndOfLine
               || event == QKeySequence::DeleteCompleteLine) {
        if (!c.hasSelection())
            end = qMin(end + 1, TextLength());
    } else if (event == QKeySequence::Paste) {
        QTextEdit::keyPressEvent(event); // insertFromMimeData checks
        return;
    } else if (event == QKeySequence::InsertParagraphSeparator || event == QKeySequence::InsertLineSeparator
               || event->key() == Qt::Key_Tab) {
        added = 1;
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()
               && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        added = int(event->text().size());
    } else {
        edits = false;
    }
    if (edits) {
        if (!mayEdit(start, end) || wouldExceedMaxLength(end - start, added)) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void TRichTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QTextCursor c = textCursor();
    if (!event->commitString().isEmpty()
        && (!mayEdit(c.selectionStart(), c.selectionEnd())
            || wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), int(event->commitString().size())))) {
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

bool TRichTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source || source->formats().isEmpty())
        return false;
    return source->hasFormat(RtfMime) || source->hasFormat(RtfMimeAlt) || source->hasImage()
           || QTextEdit::canInsertFromMimeData(source);
}

void TRichTextEdit::insertFromMimeData(const QMimeData *source)
{
    // A clipboard nobody owns has no formats; Qt's own paste does not survive it.
    if (isReadOnly() || !source || source->formats().isEmpty())
        return;
    QTextCursor c = textCursor();
    const int removed = c.selectionEnd() - c.selectionStart();
    if (!mayEdit(c.selectionStart(), c.selectionEnd())
        || wouldExceedMaxLength(removed, int(source->text().size()))) {
        QApplication::beep();
        return;
    }
    const QString rtfFormat = source->hasFormat(RtfMime) ? RtfMime : RtfMimeAlt;
    if (source->hasFormat(rtfFormat)) {
        const QByteArray rtf = source->data(rtfFormat);
        c.beginEditBlock();
        c.removeSelectedText();
        RtfReadOptions options;
        options.ansiCodePage = CodePages::ansiCodePage();
        const RtfReadResult result = RtfReader().read(rtf, c, options);
        c.endEditBlock();
        if (result.isRtf) {
            setTextCursor(c);
            return;
        }
    }
    if (source->hasImage() && !source->hasText() && !source->hasHtml()) {
        InsertPicture(qvariant_cast<QImage>(source->imageData()));
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

QMimeData *TRichTextEdit::createMimeDataFromSelection() const
{
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    const QTextCursor c = textCursor();
    RtfWriteOptions options;
    options.ansiCodePage = CodePages::ansiCodePage();
    options.from = c.selectionStart();
    options.to = c.selectionEnd();
    const QByteArray rtf = RtfWriter().write(*document(), options);
    if (!rtf.isEmpty()) {
        data->setData(RtfMime, rtf);
        data->setData(RtfMimeAlt, rtf);
    }
    data->setText(SelTextW().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    return data;
}

void TRichTextEdit::dropEvent(QDropEvent *event)
{
    const QTextCursor target = cursorForPosition(event->position().toPoint());
    if (isReadOnly() || !mayEdit(target.position(), target.position())) {
        event->ignore();
        return;
    }
    QTextEdit::dropEvent(event);
}

void TRichTextEdit::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->position().toPoint();
    m_pressOnLink = !linkAt(m_pressPos).isEmpty();
    QTextEdit::mousePressEvent(event);
}

void TRichTextEdit::mouseMoveEvent(QMouseEvent *event)
{
    const bool overLink = !linkAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QTextEdit::mouseMoveEvent(event);
}

void TRichTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    if (!m_pressOnLink || (pos - m_pressPos).manhattanLength() > QApplication::startDragDistance())
        return;
    const QString link = linkAt(pos);
    if (!link.isEmpty() && OnURLClick)
        OnURLClick(this, link, event->button());
}

void TRichTextEdit::scrollContentsBy(int dx, int dy)
{
    QTextEdit::scrollContentsBy(dx, dy);
    m_overlay->refreshVisible();
}

void TRichTextEdit::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    QTimer::singleShot(0, this, [this] { m_overlay->refreshVisible(); });
}

// ---------------------------------------------------------------------------
// Streams

bool TRichTextEdit::useRichText() const
{
    return m_streamFormat == TStreamFormat::sfRichText
           || (m_streamFormat == TStreamFormat::sfDefault && !m_plainText);
}

bool TRichTextEdit::streamIn(const QByteArray &data, bool rich, TStreamMode mode)
{
    if (rich && !RtfReader::looksLikeRtf(data))
        return false;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        QTextCursor c = textCursor();
        if (!mayEdit(c.selectionStart(), c.selectionEnd()))
            return true; // refused, as the control refuses: not a stream error
        c.beginEditBlock();
        c.removeSelectedText();
        if (rich) {
            RtfReadOptions options;
            options.ansiCodePage = CodePages::ansiCodePage();
            RtfReader().read(data, c, options);
        } else {
            PlainText::insert(c, PlainText::decode(plainSource(data, mode)), c.charFormat());
        }
        c.endEditBlock();
        setTextCursor(c);
        return true;
    }
    if (!rich)
        return loadEncoded(plainSource(data, mode));

    const QFont font = document()->defaultFont();
    const int acp = CodePages::ansiCodePage();
    auto build = [data, font, acp]() -> QTextDocument * {
        auto *d = new QTextDocument;
        d->setUndoRedoEnabled(false);
        d->setDefaultFont(font);
        QTextCursor c(d);
        RtfReadOptions options;
        options.ansiCodePage = acp;
        RtfReader().read(data, c, options);
        d->setUndoRedoEnabled(true);
        d->setModified(false);
        return d;
    };
    QTextDocument *doc = data.size() > BackgroundLoadThreshold ? buildInBackground(build, nullptr, 0) : build();
    m_lineEnd = PlainText::LineEnd::CrLf;
    finishLoad(doc);
    return true;
}

PlainText::EncodedText TRichTextEdit::plainSource(const QByteArray &data, TStreamMode mode)
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

bool TRichTextEdit::loadEncoded(const PlainText::EncodedText &source)
{
    const QFont font = document()->defaultFont();
    std::atomic<qint64> progress{0};
    PlainText::LineEnd lineEnd = PlainText::LineEnd::CrLf;
    // Rows each paragraph will take, guessed while building, so that the
    // scroll range of a lazily laid out document starts out about right.
    const qreal wrapWidth = WordWrap() ? viewport()->width() - 2 * document()->documentMargin() : 0;
    const qreal charWidth = QFontMetricsF(font).averageCharWidth();
    auto build = [&source, font, &progress, &lineEnd, wrapWidth, charWidth] {
        QTextDocument *doc = PlainText::buildDocument(source, font, &progress, &lineEnd);
        if (doc->characterCount() > lazyLayoutThreshold && wrapWidth > 0)
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                if (b.length() > 2)
                    b.setLineCount(LazyDocumentLayout::estimatedRows(b.length() - 1, charWidth, wrapWidth));
        return doc;
    };
    const qsizetype size = (source.filePath.isEmpty() ? source.bytes.size() : QFileInfo(source.filePath).size())
                           - source.offset;
    QTextDocument *doc = size > BackgroundLoadThreshold ? buildInBackground(build, &progress, size) : build();
    m_lineEnd = lineEnd;
    if (LazyDocumentLayout::suits(doc) && (doc->characterCount() > lazyLayoutThreshold || hasHugeParagraph(doc)))
        doc->setDocumentLayout(new LazyDocumentLayout(doc));
    finishLoad(doc);
    return true;
}

QTextDocument *TRichTextEdit::buildInBackground(const std::function<QTextDocument *()> &build,
                                                std::atomic<qint64> *progress, qint64 total)
{
    QThread *mainThread = QThread::currentThread();
    QFutureWatcher<QTextDocument *> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    QTimer ticker;
    if (progress) {
        connect(&ticker, &QTimer::timeout, this,
                [&] { emit loadProgress(int(progress->load() * 100 / qMax<qint64>(1, total))); });
        ticker.start(100);
    }
    watcher.setFuture(QtConcurrent::run([&build, mainThread] {
        QTextDocument *d = build();
        d->moveToThread(mainThread);
        return d;
    }));
    // Paint and run timers while the worker builds; input waits until the
    // document is there, so nothing can touch the half-built state.
    m_backgroundLoad = true;
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_backgroundLoad = false;
    ticker.stop();
    if (progress)
        emit loadProgress(100);
    return watcher.result();
}

void TRichTextEdit::finishLoad(QTextDocument *doc)
{
    adoptDocument(doc);
    setTextCursor(QTextCursor(document()));
    ensureCursorVisible();
}

void TRichTextEdit::adoptDocument(QTextDocument *doc)
{
    QTextDocument *old = document();
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    doc->setUndoRedoEnabled(m_undoLimit > 0);
    doc->setModified(false);
    doc->setParent(this);
    // The first document belongs to Qt's text control, which frees it on
    // replacement; the ones adopted here are ours to free.
    const bool oldIsOurs = old != doc && old->parent() == this;
    const bool wasLoading = m_loading;
    m_loading = true;
    setDocument(doc);
    m_loading = wasLoading;
    if (oldIsOurs)
        delete old;
    connectDocument();
    refreshOverlay();
}

QString TRichTextEdit::plainTextOut(TStreamMode mode) const
{
    int from = 0;
    int to = -1;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        const QTextCursor c = textCursor();
        from = c.selectionStart();
        to = c.selectionEnd();
    }
    // Soft line breaks are line ends in every plain stream, UTF-16 too.
    return PlainText::extract(*document(), from, to, PlainText::lineEndText(m_lineEnd));
}

QByteArray TRichTextEdit::streamOut(bool rich, TStreamMode mode) const
{
    int from = 0;
    int to = -1;
    if (mode.testFlag(TStreamModeFlag::smSelection)) {
        const QTextCursor c = textCursor();
        from = c.selectionStart();
        to = c.selectionEnd();
    }
    if (rich) {
        RtfWriteOptions options;
        options.ansiCodePage = CodePages::ansiCodePage();
        options.from = from;
        options.to = to;
        options.noObjects = mode.testFlag(TStreamModeFlag::smNoObjects);
        options.plainRtf = mode.testFlag(TStreamModeFlag::smPlainRtf);
        return RtfWriter().write(*document(), options);
    }
    const bool unicode = mode.testFlag(TStreamModeFlag::smUnicode);
    const QString text = plainTextOut(mode);
    if (unicode)
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return CodePages::fromUnicode(CodePages::ansiCodePage(), text);
}
