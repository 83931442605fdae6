#include "search/ui/WideFindReplaceDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TWideFindDialog::TWideFindDialog(QWidget *parent) : TWideFindDialog(parent, false)
{
    setObjectName(QStringLiteral("WideFindDialog1"));
}

TWideFindDialog::TWideFindDialog(QWidget *parent, bool replace) : QDialog(parent)
{
    setModal(false);
    buildLayout(replace);
    setOptions(frDown);
    setGerman(false);
}

void TWideFindDialog::buildLayout(bool replace)
{
    auto *grid = new QGridLayout;
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->setMaxLength(MaxText);
    m_findLabel = new QLabel(this);
    m_findLabel->setBuddy(m_findText);
    grid->addWidget(m_findLabel, 0, 0);
    grid->addWidget(m_findText, 0, 1);
    if (replace) {
        m_replaceText = new QLineEdit(this);
        m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
        m_replaceText->setMaxLength(MaxText);
        m_replaceLabel = new QLabel(this);
        m_replaceLabel->setBuddy(m_replaceText);
        grid->addWidget(m_replaceLabel, 1, 0);
        grid->addWidget(m_replaceText, 1, 1);
    }
    m_wholeWord = new QCheckBox(this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_direction = new QGroupBox(this);
    m_direction->setObjectName(QStringLiteral("Direction"));
    m_up = new QRadioButton(m_direction);
    m_down = new QRadioButton(m_direction);
    m_down->setObjectName(QStringLiteral("Down"));
    auto *dirLayout = new QHBoxLayout(m_direction);
    dirLayout->addWidget(m_up);
    dirLayout->addWidget(m_down);
    // Replacing always searches downwards.
    m_direction->setVisible(!replace);
    auto *options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(m_direction);
    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(lower);
    left->addStretch();

    auto *buttons = new QVBoxLayout;
    m_findNext = new QPushButton(this);
    m_findNext->setObjectName(QStringLiteral("FindNextButton"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    if (replace) {
        m_replace = new QPushButton(this);
        m_replace->setObjectName(QStringLiteral("ReplaceButton"));
        m_replaceAll = new QPushButton(this);
        m_replaceAll->setObjectName(QStringLiteral("ReplaceAllButton"));
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
    }
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_findNext, &QPushButton::clicked, this, [this] {
        m_lastAction = frFindNext;
        if (OnFind)
            OnFind();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_findText, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_findNext->setEnabled(!text.isEmpty());
        if (m_replace) {
            m_replace->setEnabled(!text.isEmpty());
            m_replaceAll->setEnabled(!text.isEmpty());
        }
    });
    m_findNext->setEnabled(false);
}

void TWideFindDialog::setGerman(bool german)
{
    const auto t = [german](const char *en, const char *de) { return QString::fromUtf8(german ? de : en); };
    setWindowTitle(t("Find", "Suchen"));
    m_findLabel->setText(t("Fi&nd what:", "&Suchen nach:"));
    m_wholeWord->setText(t("Match &whole word only", "Nur &ganzes Wort suchen"));
    m_matchCase->setText(t("Match &case", "&Groß-/Kleinschreibung"));
    m_up->setText(t("&Up", "&Aufwärts"));
    m_down->setText(t("&Down", "A&bwärts"));
    m_direction->setTitle(t("Direction", "Richtung"));
    m_findNext->setText(t("&Find Next", "&Weitersuchen"));
    m_cancel->setText(t("Cancel", "Abbrechen"));
}

QString TWideFindDialog::FindTextW() const
{
    return m_findText->text();
}

void TWideFindDialog::setFindTextW(const QString &text)
{
    m_findText->setText(text.left(MaxText));
}

TWideFindDialog::Options TWideFindDialog::options() const
{
    Options o = m_lastAction;
    if (m_down->isChecked())
        o |= frDown;
    if (m_wholeWord->isChecked())
        o |= frWholeWord;
    if (m_matchCase->isChecked())
        o |= frMatchCase;
    return o;
}

void TWideFindDialog::setOptions(Options options)
{
    m_down->setChecked(options.testFlag(frDown));
    m_up->setChecked(!options.testFlag(frDown));
    m_wholeWord->setChecked(options.testFlag(frWholeWord));
    m_matchCase->setChecked(options.testFlag(frMatchCase));
    m_lastAction = options & (frFindNext | frReplace | frReplaceAll);
}

void TWideFindDialog::setPosition(int x, int y)
{
    m_position = QPoint(x, y);
    if (isVisible() && m_position != QPoint(-1, -1))
        move(m_position);
}

void TWideFindDialog::setTop(int y)
{
    m_position.setY(y);
    if (isVisible())
        move(x(), y);
}

bool TWideFindDialog::Execute()
{
    if (!isVisible()) {
        if (m_position != QPoint(-1, -1))
            move(m_position);
        show();
    }
    raise();
    activateWindow();
    m_findText->setFocus();
    return true;
}

TWideReplaceDialog::TWideReplaceDialog(QWidget *parent) : TWideFindDialog(parent, true)
{
    setObjectName(QStringLiteral("WideReplaceDialog1"));
    connect(m_replace, &QPushButton::clicked, this, [this] {
        m_lastAction = frReplace;
        if (OnReplace)
            OnReplace();
    });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] {
        m_lastAction = frReplaceAll;
        if (OnReplace)
            OnReplace();
    });
    m_replace->setEnabled(false);
    m_replaceAll->setEnabled(false);
    setGerman(false);
}

QString TWideReplaceDialog::ReplaceTextW() const
{
    return m_replaceText->text();
}

void TWideReplaceDialog::setReplaceTextW(const QString &text)
{
    m_replaceText->setText(text.left(MaxText));
}

void TWideReplaceDialog::setGerman(bool german)
{
    TWideFindDialog::setGerman(german);
    if (!m_replace)
        return;
    const auto t = [german](const char *en, const char *de) { return QString::fromUtf8(german ? de : en); };
    setWindowTitle(t("Replace", "Ersetzen"));
    m_replaceLabel->setText(t("Re&place with:", "&Ersetzen durch:"));
    m_replace->setText(t("&Replace", "&Ersetzen"));
    m_replaceAll->setText(t("Replace &All", "&Alle ersetzen"));
}
