#pragma once

#include <QColor>
#include <QString>
#include <QVariant>

#include <initializer_list>

// Fills a format of the interface texts: %s, %d with optional width and
// "-" for left alignment ("%3d"), and %%. Interface texts come from language
// files, so a format with too few arguments or unknown specifiers is written
// out as it stands rather than trusted.
QString formatText(const QString &format, std::initializer_list<QVariant> args);

// Colours as the settings file stores them: 0x00BBGGRR as a signed decimal
// number, or a system colour (high byte 0xFF).
namespace WinColor {
constexpr int WindowText = int(0xFF000008);
constexpr int Window = int(0xFF000005);
int fromColor(const QColor &color);
// A system colour or an invalid value gives fallback.
QColor toColor(int value, const QColor &fallback = QColor());
} // namespace WinColor
