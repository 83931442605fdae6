#pragma once

#include "print/PageGeometry.h"

#include <QSizeF>

class Settings;

// The page margins in the settings file (lines 22 to 25: top, bottom, left,
// right in whole millimetres).
namespace PageSetup {

// A4, the paper the margins are checked against when no printer is asked.
inline const QSizeF DefaultPaperMm(210, 297);

// Each margin from its line; a line that is not a number, not positive or as
// large as the paper gives that margin's default.
PageMargins read(const Settings &settings, const QSizeF &paperMm = DefaultPaperMm);
void write(Settings &settings, const PageMargins &margins);

} // namespace PageSetup
