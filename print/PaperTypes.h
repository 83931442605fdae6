#pragma once

#include <QSize>

// Units of the preview's paper size and drawing canvas.
enum TUnits { mmPixel, mmLoMetric, mmHiMetric, mmLoEnglish, mmHiEnglish, mmTWIPS, mmPoints };

// Named paper sizes in the order of the platform's paper codes; pCustom is
// every size that matches none.
enum TPaperType {
    pLetter, pLetterSmall, pTabloid, pLedger, pLegal, pStatement, pExecutive, pA3, pA4, pA4Small, pA5,
    pB4, pB5, pFolio, pQuatro, p10x14, p11x17, pNote, pEnv9, pEnv10, pEnv11, pEnv12, pEnv14, pCSheet,
    pDSheet, pESheet, pEnvDL, pEnvC5, pEnvC3, pEnvC4, pEnvC6, pEnvC65, pEnvB4, pEnvB5, pEnvB6,
    pEnvItaly, pEnvMonarch, pEnvPersonal, pFanfoldUSStd, pFanfoldGermanStd, pFanfoldGermanLegal,
    pB4ISO, pJapanesePostcard, p9x11, p10x11, p15x11, pEnvInvite, pLetterExtra, pLegalExtra,
    TabloidExtra, pA4Extra, pLetterTransverse, pA4Transverse, pLetterExtraTransverse, pAPlus,
    pBPlus, pLetterPlus, pA4Plus, pA5Transverse, pB5Transverse, pA3Extra, pA5Extra, pB5Extra, pA2,
    pA3Transverse, pA3ExtraTransverse, pCustom,
};
constexpr int PaperTypeCount = pCustom + 1;

struct PaperSize {
    int code;      // the platform's paper code
    int width;     // portrait, in units
    int height;
    TUnits units;
};

namespace PaperTypes {

const PaperSize &size(TPaperType type);

// Windows' MulDiv: a × b / c in 64 bits, rounded half away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c);

// value in unit from to unit to; pixels count at dpi (screenDpi converts
// pixels to pixels of another resolution).
int convert(int value, TUnits from, TUnits to, int dpi, int screenDpi);

// The paper size of type in units, portrait; pCustom gives an empty size.
QSize extent(TPaperType type, TUnits units, int screenDpi);

// The first paper type whose size is extent (portrait order, so a landscape
// extent is given height first); pCustom when none.
TPaperType find(QSize extent, TUnits units, bool landscape, int screenDpi);

} // namespace PaperTypes
