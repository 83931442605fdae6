#pragma once

#include <QTextFormat>

// Properties of ours on QTextDocument formats. Character properties that
// RichEdit has and Qt lacks, paragraph values that must survive a round trip
// exactly, and the original bytes of pictures and objects that cannot be
// drawn here. Ids 0x100 to 0x1FF above UserProperty belong to the RTF engine.
namespace TextProperty {
enum : int {
    // Character format (bool): edits are refused unless the editor is loading.
    Protected = QTextFormat::UserProperty + 1,
    // Character format (bool): not shown.
    Hidden = QTextFormat::UserProperty + 2,
    // Character format (bool): drawn greyed.
    Disabled = QTextFormat::UserProperty + 3,
    // Character format (int): Windows language id of the text (RTF \lang).
    Language = QTextFormat::UserProperty + 4,

    // List format (int): the first number of the list (Qt 6.4 starts at 1).
    NumberingStart = QTextFormat::UserProperty + 10,
    // List format (int): RichEdit numbering style (0x000 "1)", 0x100 "(1)",
    // 0x200 "1.", 0x300 "1", 0x400 no number).
    NumberingStyle = QTextFormat::UserProperty + 11,
    // Block format (qreal, px): distance from the number to the text of a
    // numbered paragraph (its hanging indent).
    NumberingOffset = QTextFormat::UserProperty + 12,
    // Block format (int): RichEdit line spacing rule 0..5 and its value in twips.
    LineSpacingRule = QTextFormat::UserProperty + 13,
    LineSpacingTwips = QTextFormat::UserProperty + 14,

    // Image format (QByteArray): the picture's original bytes, written back
    // unchanged (metafiles and other pictures drawn from a substitute).
    PictureBytes = QTextFormat::UserProperty + 20,
    // Image format (QString): "png", "jpeg", "wmf", "emf", "dib", "bmp", …
    PictureType = QTextFormat::UserProperty + 21,

    RtfEngineFirst = QTextFormat::UserProperty + 0x100,
    RtfEngineLast = QTextFormat::UserProperty + 0x1FF,
};
} // namespace TextProperty

// The numbering kinds of a paragraph, in RichEdit's order.
enum class NumberingKind { None, Bullet, Arabic, LowerLetter, UpperLetter, LowerRoman, UpperRoman };

// Document units: the layout works in pixels at 96 dpi.
namespace DocUnits {
constexpr qreal Dpi = 96.0;
inline qreal twipsToPx(qreal twips) { return twips * Dpi / 1440.0; }
inline qreal pxToTwips(qreal px) { return px * 1440.0 / Dpi; }
inline qreal pointsToPx(qreal points) { return points * Dpi / 72.0; }
inline qreal pxToPoints(qreal px) { return px * 72.0 / Dpi; }
} // namespace DocUnits
