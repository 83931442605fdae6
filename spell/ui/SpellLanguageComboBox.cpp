#include "spell/ui/SpellLanguageComboBox.h"

#include "spell/ISpell.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Small marks for the two speller types: a blue "W" for the office
// speller, a green "i" for ispell.
QIcon mark(bool ispell)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(ispell ? QColor(0x2e, 0x8b, 0x57) : QColor(0x1f, 0x4e, 0xa8));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, ispell ? QStringLiteral("i") : QStringLiteral("W"));
    return QIcon(pixmap);
}

} // namespace

TSpellLanguageComboBox::TSpellLanguageComboBox(QWidget *parent) : QComboBox(parent)
{
    setFixedWidth(215);
    setFont(QFont(QStringLiteral("Arial"), 9));
    setIconSize(QSize(16, 16));
    connect(this, &QComboBox::currentIndexChanged, this, &TSpellLanguageComboBox::ApplyLanguage);
}

void TSpellLanguageComboBox::setSpellChecker(TSpellChecker *checker)
{
    m_checker = checker;
    ApplyLanguage();
}

void TSpellLanguageComboBox::FillLanguages(const Registry &registry)
{
    {
        const QSignalBlocker block(this);
        clear();
        m_entries.clear();
        ListOfficeLanguages(m_entries, LangOption, registry);
        ListISpellLanguages(m_entries, LangOption, registry);
        const QIcon office = mark(false);
        const QIcon ispell = mark(true);
        for (const TSpellListItem &item : std::as_const(m_entries))
            addItem(item.obj.SpellerType == 1 ? ispell : office, item.text);
        setCurrentIndex(-1);
    }
    if (count() > 0)
        setCurrentIndex(0);
    else if (m_checker)
        m_checker->Active = false;
}

const TSpellListObj *TSpellLanguageComboBox::entry(int index) const
{
    return index >= 0 && index < m_entries.size() ? &m_entries.at(index).obj : nullptr;
}

void TSpellLanguageComboBox::ApplyLanguage()
{
    const TSpellListObj *obj = entry(currentIndex());
    if (!m_checker || !obj)
        return;
    m_checker->DictCmd = obj->Cmd;
    m_checker->DictCharset = obj->Charset;
    m_checker->DictSurrogate = obj->Surrogate;
    m_checker->DictFlag = obj->Flag;
    m_checker->Language = obj->LangNo;
    m_checker->SpellerType = obj->SpellerType == 1 ? TSpellerType::sptISpell : TSpellerType::sptMSOffice;
    m_checker->DictName = currentText();
    m_checker->LangOption = LangOption;
    m_checker->Active = true;
}
