#include "document/ui/TRichTextEdit.h"

#include "document/LazyDocumentLayout.h"
#include "document/RunAside.h"
#include "document/TextProperties.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"
#include "document/ui/KeptObjectMarker.h"
#include "document/ui/OverlayFormatter.h"
#include "platform/CodePages.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString RtfMime = QStringLiteral("text/rtf");
const QString RtfMimeAlt = QStringLiteral("application/rtf");

} // namespace

// The text widget inside the control. It shows the core's document and turns
// keys, drops and pastes into edits only after the core's rules allow them.
class EditorView : public QTextEdit
{
public:
    explicit EditorView(TRichTextEdit *owner) : QTextEdit(owner), m_owner(owner) {}

    using QTextEdit::canInsertFromMimeData;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TRichTextEdit;
    DocumentCore *core() const { return m_owner->core(); }

    TRichTextEdit *m_owner;
    QPoint m_pressPos;
    bool m_pressOnLink = false;
};

void EditorView::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    // The editor's own undo and redo, held, not Qt's.
    if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
        event == QKeySequence::Undo ? m_owner->Undo() : m_owner->Redo();
        event->accept();
        return;
    }
    const QTextCursor c = textCursor();
    const int length = core()->TextLength();
    int start = c.selectionStart();
    int end = c.selectionEnd();
    int added = 0;
    bool edits = true;
    if (event == QKeySequence::Cut || event == QKeySequence::Delete) {
        if (!c.hasSelection())
            end = qMin(end + 1, length);
    } else if (event->key() == Qt::Key_Backspace || event == QKeySequence::DeleteStartOfWord) {
        if (!c.hasSelection())
            start = qMax(0, start - 1);
    } else if (event == QKeySequence::DeleteEndOfWord || event == QKeySequence::DeleteEndOfLine
               || event == QKeySequence::DeleteCompleteLine) {
        if (!c.hasSelection())
            end = qMin(end + 1, length);
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
    if (edits && (!core()->mayEdit(start, end) || core()->wouldExceedMaxLength(end - start, added))) {
        QApplication::beep();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void EditorView::inputMethodEvent(QInputMethodEvent *event)
{
    const QTextCursor c = textCursor();
    const int added = int(event->commitString().size());
    if (added > 0
        && (!core()->mayEdit(c.selectionStart(), c.selectionEnd())
            || core()->wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), added))) {
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

bool EditorView::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source || source->formats().isEmpty())
        return false;
    return source->hasFormat(RtfMime) || source->hasFormat(RtfMimeAlt) || source->hasImage()
           || QTextEdit::canInsertFromMimeData(source);
}

void EditorView::insertFromMimeData(const QMimeData *source)
{
    if (!m_owner->insertMime(source))
        QTextEdit::insertFromMimeData(source);
}

QMimeData *EditorView::createMimeDataFromSelection() const
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
    data->setText(PlainText::extract(*document(), c.selectionStart(), c.selectionEnd(), QStringLiteral("\n"), true));
    return data;
}

void EditorView::dropEvent(QDropEvent *event)
{
    const QTextCursor target = cursorForPosition(event->position().toPoint());
    if (isReadOnly() || !core()->mayEdit(target.position(), target.position())) {
        event->ignore();
        return;
    }
    QTextEdit::dropEvent(event);
}

void EditorView::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->position().toPoint();
    m_pressOnLink = !m_owner->linkAt(m_pressPos).isEmpty();
    QTextEdit::mousePressEvent(event);
}

void EditorView::mouseMoveEvent(QMouseEvent *event)
{
    const bool overLink = !m_owner->linkAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QTextEdit::mouseMoveEvent(event);
}

void EditorView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The character hit, not the nearest caret position: an object is hit
    // on its whole width.
    const int hit = document()->documentLayout()->hitTest(event->position() + QPointF(horizontalScrollBar()->value(),
                                                                                     verticalScrollBar()->value()),
                                                          Qt::ExactHit);
    if (event->button() == Qt::LeftButton && hit >= 0) {
        QTextCursor c(document());
        c.setPosition(hit + 1);
        if (c.charFormat().isImageFormat()) {
            c.setPosition(hit);
            c.setPosition(hit + 1, QTextCursor::KeepAnchor);
            setTextCursor(c);
            emit m_owner->objectDoubleClicked(hit);
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(event);
}

void EditorView::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    if (!m_pressOnLink || (pos - m_pressPos).manhattanLength() > QApplication::startDragDistance())
        return;
    const QString link = m_owner->linkAt(pos);
    if (!link.isEmpty())
        emit m_owner->urlClicked(link, event->button());
}

void EditorView::scrollContentsBy(int dx, int dy)
{
    QTextEdit::scrollContentsBy(dx, dy);
    m_owner->m_overlay->refreshVisible();
}

void EditorView::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    core()->setWrapWidthHint(m_owner->wrapWidth());
    QTimer::singleShot(0, m_owner, [owner = m_owner] { owner->m_overlay->refreshVisible(); });
}

// ---------------------------------------------------------------------------
// TRichTextEdit

TRichTextEdit::TRichTextEdit(QWidget *parent)
    : QWidget(parent), m_core(new DocumentCore(this)), m_view(new EditorView(this)),
      m_overlay(new OverlayFormatter(m_view))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    // Qt's own menu would cut and paste around the guards: the form's menu shows instead.
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &QWidget::customContextMenuRequested);
    m_view->setAcceptRichText(true);
    m_view->setTabChangesFocus(false);
    setWordWrap(true);
    m_core->OnProtectChange = [this](int start, int end) {
        return OnProtectChange ? OnProtectChange(this, start, end) : false;
    };
    connect(m_core, &DocumentCore::changed, this, &TRichTextEdit::changed);
    connect(m_core, &DocumentCore::loadProgress, this, &TRichTextEdit::loadProgress);
    connect(m_core, &DocumentCore::selectionChanged, this, [this] {
        syncToView();
        emit selectionChanged();
    });
    connect(m_core, &DocumentCore::documentReplaced, this, &TRichTextEdit::showDocument);
    connect(m_core, &DocumentCore::contentsChanged, this, &TRichTextEdit::handleContentsChange);
    // The core's cursor moves with edits by itself, so a caret the view moved
    // is reported even when the core finds its selection unchanged.
    const auto caretMoved = [this] {
        if (!m_syncing && !syncFromView())
            emit selectionChanged();
    };
    connect(m_view, &QTextEdit::cursorPositionChanged, this, caretMoved);
    connect(m_view, &QTextEdit::selectionChanged, this, caretMoved);
    connect(m_view, &QTextEdit::currentCharFormatChanged, this, &TRichTextEdit::syncFromView);
    showDocument(m_core->document());
    KeptObjectMarker::showTooltips(m_view);
}

TRichTextEdit::~TRichTextEdit()
{
    delete m_overlay;
}

void TRichTextEdit::showDocument(QTextDocument *document)
{
    KeptObjectMarker::registerWith(document);
    m_syncing = true;
    m_view->setDocument(document);
    m_view->setTextCursor(m_core->cursor());
    m_syncing = false;
    // A preview's scroll range is only its own piece of the file: the bars
    // wait for the whole document. The vertical one stays in place, so the
    // text wraps at the width the whole document will have.
    const bool preview = m_core->isShowingPreview();
    if (preview && m_view->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded)
        m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    else if (!preview)
        setScrollBars(m_scrollBars);
    m_view->verticalScrollBar()->setEnabled(!preview);
    m_view->horizontalScrollBar()->setEnabled(!preview);
    refreshOverlay();
}

bool TRichTextEdit::syncFromView()
{
    if (m_syncing)
        return false;
    // The core's caret is newer than the view's: the view takes it.
    if (m_syncPending) {
        showHeldCaret();
        return false;
    }
    m_syncing = true;
    const bool changed = m_core->setCursor(m_view->textCursor());
    m_syncing = false;
    return changed;
}

void TRichTextEdit::syncToView()
{
    if (m_syncing)
        return;
    // Shown once the held command is over (the view measures the caret's line).
    if (m_held) {
        m_syncPending = true;
        return;
    }
    const QTextCursor c = m_core->cursor();
    const QTextCursor shown = m_view->textCursor();
    if (shown.position() == c.position() && shown.anchor() == c.anchor() && shown.charFormat() == c.charFormat())
        return;
    m_syncing = true;
    m_view->setTextCursor(c);
    m_syncing = false;
}

void TRichTextEdit::handleContentsChange(int position, int, int added)
{
    // An edit over many paragraphs (a whole-document tool) marks them all
    // stale instead: the shown ones are redone once the edit is over, the
    // others when scrolled to.
    QTextDocument *doc = m_core->document();
    const int end = qMin(position + qMax(0, added), doc->characterCount() - 1);
    if (doc->findBlock(end).blockNumber() - doc->findBlock(position).blockNumber() > 256) {
        m_overlay->invalidate();
        if (!m_overlayPending) {
            m_overlayPending = true;
            QTimer::singleShot(0, this, [this] {
                m_overlayPending = false;
                m_overlay->refreshVisible();
            });
        }
        return;
    }
    m_overlay->refreshRange(position, added);
}

void TRichTextEdit::refreshOverlay()
{
    m_overlay->setDetectLinks(m_autoUrlDetect);
    m_overlay->invalidate();
    QTimer::singleShot(0, this, [this] { m_overlay->refreshVisible(); });
}

bool TRichTextEdit::WordWrap() const
{
    return m_view->lineWrapMode() != QTextEdit::NoWrap;
}

void TRichTextEdit::setWordWrap(bool on)
{
    m_view->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_core->setWrapWidthHint(wrapWidth());
    setScrollBars(on ? TScrollStyle::ssVertical : TScrollStyle::ssBoth);
}

void TRichTextEdit::setFixedWrapWidth(int pixels)
{
    if (!WordWrap())
        return;
    if (pixels <= 0) {
        m_view->setLineWrapMode(QTextEdit::WidgetWidth);
    } else {
        m_view->setLineWrapColumnOrWidth(pixels + qRound(2 * document()->documentMargin()));
        m_view->setLineWrapMode(QTextEdit::FixedPixelWidth);
    }
    m_core->setWrapWidthHint(wrapWidth());
}

int TRichTextEdit::fixedWrapWidth() const
{
    return m_view->lineWrapMode() == QTextEdit::FixedPixelWidth
               ? m_view->lineWrapColumnOrWidth() - qRound(2 * document()->documentMargin())
               : 0;
}

void TRichTextEdit::setScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    const bool horizontal = style == TScrollStyle::ssHorizontal || style == TScrollStyle::ssBoth;
    const bool vertical = style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth;
    m_view->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TRichTextEdit::setReadOnly(bool on)
{
    m_core->setReadOnly(on);
    m_view->setReadOnly(on);
}

void TRichTextEdit::setAutoURLDetect(bool on)
{
    m_autoUrlDetect = on;
    m_view->setMouseTracking(on);
    m_view->viewport()->setMouseTracking(true);
    refreshOverlay();
}

void TRichTextEdit::setSelStart(int position)
{
    const int h = m_view->horizontalScrollBar()->value();
    const int v = m_view->verticalScrollBar()->value();
    m_core->select(position, 0);
    m_view->horizontalScrollBar()->setValue(h);
    m_view->verticalScrollBar()->setValue(v);
}

void TRichTextEdit::setSelLength(int length)
{
    select(SelStart(), length);
}

void TRichTextEdit::select(int start, int length)
{
    m_core->select(start, length);
    m_view->ensureCursorVisible();
}

bool TRichTextEdit::CanPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return !ReadOnly() && data && m_view->canInsertFromMimeData(data);
}

void TRichTextEdit::showHeldCaret()
{
    if (!std::exchange(m_syncPending, false))
        return;
    const bool held = std::exchange(m_held, false);
    syncToView();
    m_held = held;
}

void TRichTextEdit::Copy()
{
    showHeldCaret();
    m_view->copy();
}

void TRichTextEdit::Cut()
{
    const QTextCursor c = m_core->cursor();
    if (!c.hasSelection() || ReadOnly() || !m_core->mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    showHeldCaret();
    m_view->cut();
}

void TRichTextEdit::Paste()
{
    showHeldCaret();
    m_view->paste();
}

bool TRichTextEdit::insertMime(const QMimeData *source)
{
    // A clipboard nobody owns has no formats; Qt's own paste does not survive it.
    if (ReadOnly() || !source || source->formats().isEmpty())
        return true;
    const QTextCursor c = m_core->cursor();
    const int removed = c.selectionEnd() - c.selectionStart();
    if (!m_core->mayEdit(c.selectionStart(), c.selectionEnd())
        || m_core->wouldExceedMaxLength(removed, int(source->text().size()))) {
        QApplication::beep();
        return true;
    }
    const QString rtfFormat = source->hasFormat(RtfMime) ? RtfMime : RtfMimeAlt;
    if (source->hasFormat(rtfFormat) && m_core->insertRtf(source->data(rtfFormat)))
        return true;
    if (source->hasImage() && !source->hasText() && !source->hasHtml()) {
        InsertPicture(qvariant_cast<QImage>(source->imageData()));
        return true;
    }
    return false;
}

void TRichTextEdit::PasteUnformatted()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (ReadOnly() || !data || !data->hasText())
        return;
    QTextCursor c = m_core->cursor();
    const QString text = data->text();
    if (!m_core->mayEdit(c.selectionStart(), c.selectionEnd())
        || m_core->wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), int(text.size())))
        return;
    PlainText::insert(c, text, c.charFormat());
    m_core->setCursor(c);
}

void TRichTextEdit::PasteSpecial(TClipboardForm form)
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (ReadOnly() || !data || data->formats().isEmpty())
        return;
    if (form == TClipboardForm::UnformattedText) {
        PasteUnformatted();
        return;
    }
    QTextCursor c = m_core->cursor();
    if (!m_core->mayEdit(c.selectionStart(), c.selectionEnd()))
        return;
    if (form == TClipboardForm::Bitmap) {
        if (data->hasImage())
            InsertPicture(qvariant_cast<QImage>(data->imageData()));
        return;
    }
    if (m_core->wouldExceedMaxLength(c.selectionEnd() - c.selectionStart(), int(data->text().size())))
        return;
    if (form == TClipboardForm::Html) {
        c.insertHtml(data->html());
        m_core->setCursor(c);
        return;
    }
    const QByteArray rtf = data->data(data->hasFormat(RtfMime) ? RtfMime : RtfMimeAlt);
    m_core->insertRtf(rtf, form == TClipboardForm::RichTextWithoutObjects);
}

int TRichTextEdit::FindText(const QByteArray &ansiText, int start, int length, TSearchTypes options)
{
    return FindTextW(CodePages::toUnicode(CodePages::ansiCodePage(), ansiText), start, length, options);
}

QPoint TRichTextEdit::PosFromChar(int position) const
{
    QTextCursor c(document());
    c.setPosition(qBound(0, position, TextLength()));
    return m_view->cursorRect(c).topLeft();
}

qreal TRichTextEdit::wrapWidth() const
{
    if (!WordWrap())
        return 0;
    if (m_view->lineWrapMode() == QTextEdit::FixedPixelWidth)
        return fixedWrapWidth();
    return m_view->viewport()->width() - 2 * document()->documentMargin();
}

QString TRichTextEdit::linkAt(const QPoint &viewportPos) const
{
    const QString href = m_view->anchorAt(viewportPos);
    if (!href.isEmpty())
        return href;
    if (!m_autoUrlDetect)
        return QString();
    const QTextCursor c = m_view->cursorForPosition(viewportPos);
    const QTextBlock block = c.block();
    const int offset = c.position() - block.position();
    // The cursor lands between characters: the link must contain the character
    // under the mouse, which is on either side of that boundary.
    const QRect caret = m_view->cursorRect(c);
    const int charOffset = viewportPos.x() < caret.x() ? offset - 1 : offset;
    const QString text = block.text();
    for (const auto &[start, length] : OverlayFormatter::findLinks(text))
        if (charOffset >= start && charOffset < start + length)
            return text.mid(start, length);
    return QString();
}

namespace {

// Holds back what would make the view's text control measure the caret's
// line: its timers (the caret blink) are dropped, focus changes and resizes
// are given to it afterwards.
class ControlHold : public QObject
{
public:
    ControlHold(QTextEdit *view, QObject *control) : QObject(view), m_view(view), m_control(control)
    {
        if (control)
            control->installEventFilter(this);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

    ~ControlHold() override
    {
        if (m_control)
            m_control->removeEventFilter(this);
        m_view->removeEventFilter(this);
        m_view->viewport()->removeEventFilter(this);
        // Whatever came while held, the control learns the state as it is now.
        if (m_focusChanged) {
            QFocusEvent focus(m_view->hasFocus() ? QEvent::FocusIn : QEvent::FocusOut, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(m_view, &focus);
        }
        if (m_resizedFrom.isValid()) {
            QResizeEvent resize(m_view->viewport()->size(), m_resizedFrom);
            QCoreApplication::sendEvent(m_view->viewport(), &resize);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Timer:
            return watched != m_view && watched != m_view->viewport();
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            m_focusChanged = true;
            return true;
        case QEvent::Resize:
            if (watched == m_view->viewport() && !m_resizedFrom.isValid())
                m_resizedFrom = static_cast<QResizeEvent *>(event)->oldSize();
            return watched == m_view->viewport();
        default:
            return false;
        }
    }

private:
    QTextEdit *m_view;
    QPointer<QObject> m_control;
    bool m_focusChanged = false;
    QSize m_resizedFrom;
};

} // namespace

void TRichTextEdit::Undo()
{
    runHeld([this] { m_core->Undo(); });
}

void TRichTextEdit::Redo()
{
    runHeld([this] { m_core->Redo(); });
}

void TRichTextEdit::runHeld(const std::function<void()> &command)
{
    // Within a held command (a tool that undoes, say) the outer hold does it all.
    if (m_held) {
        command();
        return;
    }
    // The text control is the view's private child that owns the caret timer.
    const QList<QObject *> children = m_view->findChildren<QObject *>(Qt::FindDirectChildrenOnly);
    const auto control = std::find_if(children.cbegin(), children.cend(),
                                      [](const QObject *o) { return o->inherits("QWidgetTextControl"); });
    ControlHold hold(m_view, control == children.cend() ? nullptr : *control);
    QPointer<LazyDocumentLayout> lazy = qobject_cast<LazyDocumentLayout *>(document()->documentLayout());
    if (lazy)
        lazy->holdHugeParagraphs(true);
    m_held = true;
    const QTextDocument *doc = document();
    const int revision = doc->revision();
    command();
    const bool edited = document() != doc || doc->revision() != revision;
    if (lazy && lazy->document() == document())
        classifyHugeParagraphs();
    if (lazy)
        lazy->holdHugeParagraphs(false);
    m_held = false;
    showHeldCaret();
    // As after typing: the caret where the command left it is in view.
    if (edited)
        m_view->ensureCursorVisible();
}

void TRichTextEdit::classifyHugeParagraphs()
{
    auto *lazy = qobject_cast<LazyDocumentLayout *>(document()->documentLayout());
    const QList<QTextBlock> blocks = lazy ? lazy->hugeParagraphsToClassify() : QList<QTextBlock>();
    if (blocks.isEmpty())
        return;
    for (const QTextBlock &b : blocks)
        LazyDocumentLayout::readyToClassify(b);
    // Within an edit block a cursor set anywhere does not measure its line,
    // which would have Qt classify the paragraph here at the same time.
    QTextCursor guard(document());
    guard.beginEditBlock();
    const QList<bool> longRuns = runAside([blocks] {
        QList<bool> runs;
        for (const QTextBlock &b : blocks)
            runs << LazyDocumentLayout::classify(b);
        return runs;
    });
    guard.endEditBlock();
    for (qsizetype i = 0; i < blocks.size(); ++i)
        LazyDocumentLayout::markClassified(blocks[i], longRuns[i]);
}

QWidget *TRichTextEdit::viewport() const
{
    return m_view->viewport();
}

QScrollBar *TRichTextEdit::verticalScrollBar() const
{
    return m_view->verticalScrollBar();
}

QScrollBar *TRichTextEdit::horizontalScrollBar() const
{
    return m_view->horizontalScrollBar();
}

QRect TRichTextEdit::cursorRect() const
{
    return m_view->cursorRect();
}

QRect TRichTextEdit::cursorRect(const QTextCursor &cursor) const
{
    return m_view->cursorRect(cursor);
}

QTextCursor TRichTextEdit::cursorForPosition(const QPoint &viewportPos) const
{
    return m_view->cursorForPosition(viewportPos);
}

void TRichTextEdit::ensureCursorVisible()
{
    m_view->ensureCursorVisible();
}

qreal TRichTextEdit::documentMargin() const
{
    return document()->documentMargin();
}
