#pragma once

#include <QString>
#include <QStringView>

// HTML-style numeric character references ("&#960;"), one per UTF-16 unit,
// and their reading back with the number reader's rules: blanks, a sign, "$",
// "x" or "0x" for hexadecimal, the stopping character and one more ";"
// consumed, the value taken modulo 65536.
namespace NumericReferences {

// Units from limit on become references (limit 0: every unit).
QString toNumeric(QStringView text, int limit);
QString fromNumeric(QStringView text);

// Reads a signed number from the start of text as the number reader does.
// stop: 1-based position of the first character that is not part of the
// number, or text.size() when the whole text is one.
qint64 readNumber(QStringView text, int *stop);

} // namespace NumericReferences
