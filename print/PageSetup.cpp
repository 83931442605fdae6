#include "print/PageSetup.h"

#include "platform/Settings.h"
#include "platform/SettingsLines.h"

namespace PageSetup {

PageMargins read(const Settings &settings, const QSizeF &paperMm)
{
    const PageMargins defaults;
    const auto margin = [&](int line, int fallback, double paper) {
        const int value = settings.number(line, fallback);
        return value > 0 && value < paper ? value : fallback;
    };
    PageMargins m;
    m.top = margin(SettingsLine::MarginTop, defaults.top, paperMm.height());
    m.bottom = margin(SettingsLine::MarginBottom, defaults.bottom, paperMm.height());
    m.left = margin(SettingsLine::MarginLeft, defaults.left, paperMm.width());
    m.right = margin(SettingsLine::MarginRight, defaults.right, paperMm.width());
    return m;
}

void write(Settings &settings, const PageMargins &margins)
{
    settings.setLine(SettingsLine::MarginTop, QString::number(margins.top));
    settings.setLine(SettingsLine::MarginBottom, QString::number(margins.bottom));
    settings.setLine(SettingsLine::MarginLeft, QString::number(margins.left));
    settings.setLine(SettingsLine::MarginRight, QString::number(margins.right));
}

} // namespace PageSetup
