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

    // Character format of a kept object (see KeptContent): the plain text it
    // stands for (QString), the raw RTF group it keeps (QByteArray), the
    // readable text shown in its tooltip (QString), and what it is (int).
    KeptText = QTextFormat::UserProperty + 30,
    KeptRtf = QTextFormat::UserProperty + 31,
    KeptCaption = QTextFormat::UserProperty + 32,
    KeptKind = QTextFormat::UserProperty + 33,
    // Root frame: the Word list tables kept as read (QByteArray each), the
    // numbers in use (QVariantList: the highest \ls, then the \listid
    // values) and the fonts their \f words name (number, family, charset).
    KeptListTable = QTextFormat::UserProperty + 34,
    KeptListOverrides = QTextFormat::UserProperty + 35,
    KeptListNumbers = QTextFormat::UserProperty + 36,
    KeptListFonts = QTextFormat::UserProperty + 37,
    // List format: its \ls in the kept tables (int) and what it showed when
    // read (QByteArray), to tell whether it has been changed since.
    KeptListOverride = QTextFormat::UserProperty + 38,
    KeptListSignature = QTextFormat::UserProperty + 39,

    RtfEngineFirst = QTextFormat::UserProperty + 0x100,
    // Character format (int): RichEdit underline kind (1 single, 2 word,
    // 3 double, 4 dotted, 5 dash, 6 dash-dot, 7 dash-dot-dot, 8 wave,
    // 9 thick, 10 hairline, 11 double wave, 12 heavy wave, 13 long dash).
    UnderlineKind = RtfEngineFirst + 0,
    // Character format (int): the RTF \fcharset of the run's font.
    FontCharset = RtfEngineFirst + 1,
    // Character format (QString): instruction of the field whose result the
    // run is (fields other than links, which are anchors).
    FieldInstruction = RtfEngineFirst + 2,
    // Character format (int): tells adjacent fields with equal instructions apart.
    FieldId = RtfEngineFirst + 3,
    // Character format (QByteArray): the RTF of the \object group whose result
    // the run is, up to its \result group; written back around the result.
    ObjectData = RtfEngineFirst + 4,
    // Character format (int): tells adjacent objects apart.
    ObjectId = RtfEngineFirst + 5,
    // List format: a bullet other than "•" as a Word list drew it (QString),
    // with its font's family (QString) and \fcharset (int); written back in
    // the list's level text so that other readers show the same bullet.
    ListBullet = RtfEngineFirst + 6,
    ListBulletFont = RtfEngineFirst + 7,
    ListBulletCharset = RtfEngineFirst + 8,
    // List format (int): the \levelnfc of a kept bullet's level when not 23
    // (a number format whose text shows no number draws its text as it is).
    ListBulletNfc = RtfEngineFirst + 10,
    // List format (int): the level (\ilvl, 1..8) of a Word list the list
    // stood at; readers that number or draw bullets by level need it back.
    ListLevel = RtfEngineFirst + 9,
    // Character format (bool): a field result the reader made up (a SYMBOL
    // field read without one); the field is written back without it.
    FieldResultMadeUp = RtfEngineFirst + 11,
    // Block format (QByteArray): the position words of a positioned
    // paragraph (\posx…, \absw, …), written back after its \pard.
    FrameWords = RtfEngineFirst + 12,
    // Character format (int): text raised (> 0, \up) or lowered (< 0, \dn)
    // by this many half-points, shown as superscript or subscript.
    RaiseHalfPoints = RtfEngineFirst + 13,
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
