#include "spell/ui/SpellerDialog.h"

#include "platform/UserInteraction.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

TMisspellingEdit::TMisspellingEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (programUpdate)
            return;
        // Edits happen only inside the error, so its end moves with them.
        if (position <= m_end)
            m_end = qMax(m_start, m_end + added - removed);
        emit edited();
    });
}

void TMisspellingEdit::showError(const QString &line, int start, int length, const TMisspellFont &font)
{
    programUpdate = true;
    setUndoRedoEnabled(false);
    setPlainText(line);
    m_start = qBound(0, start, int(line.size()));
    m_end = qBound(m_start, start + length, int(line.size()));
    QTextCursor c(document());
    c.setPosition(m_start);
    c.setPosition(m_end, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setForeground(font.MspColor);
    f.setFontFamilies({font.MspName});
    f.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic);
    f.setFontUnderline(font.underline);
    f.setFontStrikeOut(font.strikeOut);
    c.mergeCharFormat(f);
    c.setPosition(m_start);
    setTextCursor(c);
    setUndoRedoEnabled(true);
    programUpdate = false;
}

bool TMisspellingEdit::mayEditSelection(int extendBack, int extendForward) const
{
    const QTextCursor c = textCursor();
    int from = c.selectionStart();
    int to = c.selectionEnd();
    if (from == to) {
        from -= extendBack;
        to += extendForward;
    }
    return from >= m_start && to <= m_end;
}

void TMisspellingEdit::keyPressEvent(QKeyEvent *event)
{
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
    bool allowed = true;
    if (event->key() == Qt::Key_Backspace)
        allowed = mayEditSelection(1, 0);
    else if (event->key() == Qt::Key_Delete)
        allowed = mayEditSelection(0, 1);
    else if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste) || typing)
        allowed = mayEditSelection(0, 0);
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The error is one line of the paragraph: Return is the dialog's default button.
        event->ignore();
        return;
    }
    if (!allowed) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TMisspellingEdit::insertFromMimeData(const QMimeData *source)
{
    if (!mayEditSelection(0, 0) || !source->hasText())
        return;
    QString text = source->text();
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    textCursor().insertText(text);
}

TSpellerDialog2::TSpellerDialog2(TSpellChecker *checker, UserInteraction *ui, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_checker(checker), m_ui(ui)
{
    setObjectName(QStringLiteral("SpellerDialog2"));
    setModal(false);
    setFixedSize(310, 262);
    setFont(QFont(QStringLiteral("Arial"), 9));
    auto place = [this](QWidget *w, const char *name, int x, int y, int width, int height) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(x, y, width, height);
    };
    auto button = [&](const char *name, int x, int y, int width, int height) {
        auto *b = new QPushButton(this);
        place(b, name, x, y, width, height);
        b->setAutoDefault(false);
        return b;
    };
    InfoMsg = new QLabel(this);
    place(InfoMsg, "InfoMsg", 4, 4, 302, 13);
    Misspelling = new TMisspellingEdit(this);
    place(Misspelling, "Misspelling", 4, 20, 302, 73);
    Misspelling->setFont(checker->Font);
    Label2 = new QLabel(this);
    place(Label2, "Label2", 4, 106, 302, 13);
    Variants = new QListWidget(this);
    place(Variants, "Variants", 4, 122, 196, 102);
    Variants->setFont(checker->Font);
    Label2->setBuddy(Variants);
    ChangeButton = button("ChangeButton", 207, 122, 99, 20);
    ChangeButton->setDefault(true);
    ChangeAllButton = button("ChangeAllButton", 207, 146, 99, 21);
    SkipButton = button("SkipButton", 207, 179, 99, 20);
    SkipAllButton = button("SkipAllButton", 207, 203, 99, 20);
    AddButton = button("AddButton", 207, 236, 99, 20);
    CancelButton = button("CancelButton", 4, 236, 70, 20);
    CancelEdit = button("CancelEdit", 81, 236, 119, 20);
    CancelEdit->hide();
    DelButton = button("DelButton", 207, 122, 99, 20);
    DelButton->hide();
    StartButton = button("StartButton", 207, 122, 99, 20);
    StartButton->hide();
    applyTexts();

    connect(ChangeButton, &QPushButton::clicked, this, &TSpellerDialog2::changeClicked);
    connect(Variants, &QListWidget::itemDoubleClicked, this, &TSpellerDialog2::changeClicked);
    connect(ChangeAllButton, &QPushButton::clicked, this, [this] {
        if (m_checker && Variants->currentItem())
            m_checker->ChangeAll(Variants->currentItem()->text());
    });
    connect(SkipButton, &QPushButton::clicked, this, [this] { if (m_checker) m_checker->Skip(); });
    connect(SkipAllButton, &QPushButton::clicked, this, [this] { if (m_checker) m_checker->SkipAll(); });
    connect(AddButton, &QPushButton::clicked, this, [this] { if (m_checker) m_checker->Add(); });
    connect(DelButton, &QPushButton::clicked, this, [this] { if (m_checker) m_checker->Delete(); });
    connect(CancelButton, &QPushButton::clicked, this, &TSpellerDialog2::reject);
    connect(CancelEdit, &QPushButton::clicked, this, &TSpellerDialog2::undoEditClicked);
    connect(StartButton, &QPushButton::clicked, this, &TSpellerDialog2::startClicked);
    connect(Misspelling, &TMisspellingEdit::edited, this, &TSpellerDialog2::editedByUser);
}

TSpellerDialog2::~TSpellerDialog2()
{
    if (m_checker)
        m_checker->dialogDestroyed(this);
}

void TSpellerDialog2::applyTexts()
{
    const SpellerTexts &t = TSpellChecker::Texts();
    Label2->setText(t.text(SpellerTexts::Variants));
    ChangeButton->setText(t.text(SpellerTexts::Change));
    ChangeAllButton->setText(t.text(SpellerTexts::ChangeAll));
    SkipButton->setText(t.text(SpellerTexts::Skip));
    SkipAllButton->setText(t.text(SpellerTexts::SkipAll));
    DelButton->setText(t.text(SpellerTexts::Delete));
    CancelButton->setText(t.text(SpellerTexts::Cancel));
    CancelEdit->setText(t.text(SpellerTexts::UndoEdit));
    StartButton->setText(t.text(SpellerTexts::Start));
    AddButton->setText(t.text(SpellerTexts::Add));
}

void TSpellerDialog2::showEvent(QShowEvent *event)
{
    applyTexts();
    QDialog::showEvent(event);
}

void TSpellerDialog2::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        InfoMsg->setEnabled(true);
        return;
    }
    // Another window of ours took the focus (the user clicks into a document).
    QWidget *active = QApplication::activeWindow();
    if (isVisible() && active && active != this && m_checker && m_checker->isChecking())
        becomeInactive();
}

void TSpellerDialog2::reject()
{
    if (m_checker && m_checker->isChecking())
        m_checker->Cancel();
    else
        hide();
}

void TSpellerDialog2::showDialog(bool modal)
{
    if (modal && m_ui) {
        m_ui->runDialog(this);
        return;
    }
    show();
    raise();
    activateWindow();
}

void TSpellerDialog2::ShowErrorContext()
{
    Misspelling->setEnabled(true);
    int lineStart = 0;
    const QString line = m_checker->GetErrorLine(&lineStart);
    Misspelling->showError(line, m_checker->errorPosition() - lineStart, m_checker->errorLength(),
                           m_checker->MisspellFont);
}

void TSpellerDialog2::ShowErrorWithVariants(const QString &message)
{
    ShowErrorContext();
    InfoMsg->setText(message);
    StartButton->hide();
    CancelEdit->hide();
    DelButton->hide();
    ChangeButton->show();
    SkipButton->setEnabled(true);
    const bool unknown = m_checker->lastResult() == TSpellReturnCode::srUnknownInputWord;
    SkipAllButton->setEnabled(unknown && m_checker->errorWord().size() < 65);
    AddButton->setEnabled(unknown && m_checker->errorWord().size() < 65);
    Variants->clear();
    Variants->addItems(m_checker->Variants());
    Variants->setCurrentRow(0);
    restoreButtons();
}

void TSpellerDialog2::putChangeWordFirst(const QString &word)
{
    if (word.isEmpty() || !Variants->findItems(word, Qt::MatchExactly).isEmpty())
        return;
    Variants->insertItem(0, word);
    Variants->setCurrentRow(0);
}

void TSpellerDialog2::ShowErrorNoVariants(const QString &message)
{
    ShowErrorContext();
    InfoMsg->setText(message);
    Variants->clear();
    restoreButtons();
}

void TSpellerDialog2::ShowRepeatedWord()
{
    ShowErrorContext();
    InfoMsg->setText(TSpellChecker::Texts().text(SpellerTexts::RepeatedWord));
    Variants->clear();
    restoreButtons();
}

// The buttons of the error being shown, as after presenting it.
void TSpellerDialog2::restoreButtons()
{
    using R = TSpellReturnCode;
    const R result = m_checker ? m_checker->lastResult() : R::srNoErrors;
    const bool repeated = result == R::srRepeatWord;
    const bool listed = !repeated && Variants->count() > 0;
    const bool unknown = result == R::srUnknownInputWord;
    const bool shortWord = m_checker && m_checker->errorWord().size() < 65;
    StartButton->hide();
    CancelEdit->hide();
    DelButton->setVisible(repeated);
    DelButton->setEnabled(repeated);
    ChangeButton->setVisible(!repeated);
    SkipButton->show();
    SkipButton->setEnabled(true);
    SkipAllButton->setEnabled(unknown && shortWord);
    AddButton->setEnabled(unknown && shortWord);
    ChangeButton->setEnabled(listed);
    ChangeAllButton->setEnabled(listed && (unknown || result == R::srReturningChangeOnce));
    Variants->setEnabled(listed);
    Label2->setEnabled(listed);
    Misspelling->setEnabled(true);
    InfoMsg->setEnabled(true);
}

void TSpellerDialog2::changeClicked()
{
    if (!m_checker)
        return;
    if (CancelEdit->isVisible()) {
        const auto [start, length] = Misspelling->GetEditedRange();
        m_checker->Change(Misspelling->toPlainText().mid(start, length), true);
    } else if (Variants->currentItem()) {
        m_checker->Change(Variants->currentItem()->text(), false);
    }
}

void TSpellerDialog2::editedByUser()
{
    CancelEdit->show();
    ChangeButton->show();
    ChangeButton->setEnabled(true);
    ChangeAllButton->setEnabled(false);
    SkipAllButton->setEnabled(false);
    AddButton->setEnabled(false);
    DelButton->hide();
    Variants->setEnabled(false);
}

void TSpellerDialog2::undoEditClicked()
{
    if (!m_checker)
        return;
    ShowErrorContext();
    restoreButtons();
}

void TSpellerDialog2::becomeInactive()
{
    StartButton->show();
    for (QWidget *w : {static_cast<QWidget *>(DelButton), static_cast<QWidget *>(ChangeButton),
                       static_cast<QWidget *>(ChangeAllButton), static_cast<QWidget *>(SkipButton),
                       static_cast<QWidget *>(SkipAllButton), static_cast<QWidget *>(AddButton),
                       static_cast<QWidget *>(Misspelling), static_cast<QWidget *>(Variants),
                       static_cast<QWidget *>(InfoMsg), static_cast<QWidget *>(Label2)})
        w->setEnabled(false);
    ChangeButton->hide();
    DelButton->hide();
    CancelEdit->hide();
    Variants->clear();
    Misspelling->programUpdate = true;
    Misspelling->clear();
    Misspelling->programUpdate = false;
}

void TSpellerDialog2::startClicked()
{
    StartButton->hide();
    DocumentCore *target = activeDocument ? activeDocument() : nullptr;
    if (!m_checker || !target)
        return;
    m_checker->Check(target);
}
