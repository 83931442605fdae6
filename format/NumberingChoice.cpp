#include "format/NumberingChoice.h"

#include "document/ParagraphFormat.h"
#include "format/FormattingCommands.h"

const std::array<NumberingKindEntry, 6> &NumberingChoice::kinds()
{
    static const std::array<NumberingKindEntry, 6> table{{
        {NumberingKind::Bullet, 1, " \u00b0", 5},
        {NumberingKind::Arabic, 2, " 1)", 6},
        {NumberingKind::UpperLetter, 4, " A)", 62},
        {NumberingKind::LowerLetter, 3, " a)", 64},
        {NumberingKind::UpperRoman, 6, " I)", 63},
        {NumberingKind::LowerRoman, 5, " i)", 61},
    }};
    return table;
}

const NumberingKindEntry &NumberingChoice::entry(NumberingKind kind)
{
    for (const NumberingKindEntry &e : kinds()) {
        if (e.kind == kind)
            return e;
    }
    return kinds().front();
}

bool NumberingChoice::isNumbered(NumberingKind kind)
{
    return kind != NumberingKind::None && kind != NumberingKind::Bullet;
}

void NumberingChoice::setButtonDown(bool down)
{
    m_buttonDown = down;
    if (!down) {
        m_startShown = false;
        m_commands->setNumbering(NumberingKind::None);
        return;
    }
    m_start = 1;
    m_startShown = isNumbered(m_kind);
    m_commands->setNumbering(m_kind, m_start);
}

void NumberingChoice::chooseKind(NumberingKind kind, const ParagraphValues &current)
{
    m_kind = kind;
    if (current.numbering == NumberingKind::None)
        return;
    if (isNumbered(kind)) {
        if (!m_startShown) {
            m_start = 1;
            m_startShown = true;
        }
    } else {
        m_startShown = false;
    }
    m_commands->setNumbering(kind, m_start);
}

void NumberingChoice::setStart(int start)
{
    m_start = qBound(1, start, 32767);
    m_commands->setNumberingStart(m_start);
}

void NumberingChoice::sync(const ParagraphValues &current)
{
    m_buttonDown = current.numbering != NumberingKind::None;
    m_startShown = isNumbered(current.numbering);
    if (m_startShown)
        m_start = current.numberingStart & 0xFFFF;
}
