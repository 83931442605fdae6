#include "print/PageNumbering.h"

#include "platform/Settings.h"
#include "platform/SettingsLines.h"

namespace {

const QString OnWord = QStringLiteral("PageNoPrint");
const QString OffWord = QStringLiteral("No PageNo");

} // namespace

void PageNumbering::restore(const Settings &settings)
{
    m_on = settings.is(SettingsLine::PageNumbers, OnWord);
}

void PageNumbering::store(Settings &settings) const
{
    settings.setLine(SettingsLine::PageNumbers, m_on ? OnWord : OffWord);
}
