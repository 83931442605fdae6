#pragma once
/* The Common Speller API as this library exports it: the records, codes and
 * entry points of the published C interface, with the 32-bit Windows widths
 * kept on every platform so records laid out by a caller elsewhere match.
 * Strings are 8-bit text in the code page of the dictionary's language. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t SC_MDR;   /* main dictionary reference */
typedef uint32_t SC_UDR;   /* user dictionary reference */
typedef uint16_t SC_CC;    /* SpellCheck command */
typedef uint32_t SC_SPLID; /* speller session */
typedef uint16_t SC_SCRS;  /* SpellCheck return status */
typedef uint16_t SC_LID;   /* Windows language identifier */
typedef uint8_t SC_BYTE;
typedef uint16_t SC_WORD;
typedef char SC_CHAR;
typedef int32_t SC_BOOL;
typedef uint16_t SC_SEC;   /* error: major code in the low byte, minor in the high */

/* Characters with a meaning to the speller; unused ones map to bIgnore. */
typedef struct WizSpecChars {
    SC_BYTE bIgnore;
    SC_BYTE bHyphenHard;
    SC_BYTE bHyphenSoft;
    SC_BYTE bHyphenNonBreaking;
    SC_BYTE bEmDash;
    SC_BYTE bEnDash;
    SC_BYTE bEllipsis;
    SC_BYTE rgLineBreak[2];
    SC_BYTE rgParaBreak[2];
} SC_WSC;

/* Input: cch bytes of text and the dictionaries to check against. */
typedef struct SpellInputBuffer {
    uint16_t cch;
    uint16_t cMdr;
    uint16_t cUdr;
    uint16_t wSpellState; /* fss… flags */
    SC_CHAR *lrgch;
    SC_MDR *lrgMdr;
    SC_UDR *lrgUdr;
} SC_SIB;

/* Output: the error found and the alternatives ("w\0w\0…\0\0"). */
typedef struct SpellReturnBuffer {
    uint16_t ichError;
    uint16_t cchError;
    SC_SCRS scrs;
    uint16_t csz;         /* strings put into lrgsz */
    uint16_t cchMac;      /* bytes used in lrgsz */
    uint16_t cch;         /* size of lrgsz, set by the caller */
    SC_CHAR *lrgsz;
    SC_BYTE *lrgbRating;  /* one rating a string, parallel to lrgsz */
    uint16_t cbRate;      /* size of lrgbRating */
} SC_SRB;

typedef struct mdrs {
    SC_MDR mdr;
    SC_LID sclid;
    SC_UDR udrExc;
} SC_MDRS;

typedef SC_SIB *LPSC_SIB;
typedef SC_SRB *LPSC_SRB;
typedef SC_MDRS *LPSC_MDRS;
typedef SC_CHAR *LPSC_PATH;

/* Reserved user dictionary references: the session's word lists. */
#define udrChangeOnce 0xfffc
#define udrChangeAlways 0xfffd
#define udrIgnoreAlways 0xfffe

#define sccVerifyWord 1
#define sccVerifyBuffer 2
#define sccSuggest 3
#define sccSuggestMore 4

#define fssIsContinued 0x0001
#define fssStartsSentence 0x0002
#define fssIsEditedChange 0x0004
#define fssNoStateInfo 0x0000

#define scrsNoErrors 0
#define scrsUnknownInputWord 1
#define scrsReturningChangeAlways 2
#define scrsReturningChangeOnce 3
#define scrsInvalidHyphenation 4
#define scrsErrorCapitalization 5
#define scrsWordConsideredAbbreviation 6
#define scrsHyphChangesSpelling 7
#define scrsNoMoreSuggestions 8
#define scrsMoreInfoThanBufferCouldHold 9
#define scrsNoSentenceStartCap 10
#define scrsRepeatWord 11
#define scrsExtraSpaces 12
#define scrsMissingSpace 13
#define scrsInitialNumeral 14

#define secNOERRORS 0
#define secOOM 1
#define secModuleError 2
#define secIOErrorMdr 3
#define secIOErrorUdr 4

#define secModuleAlreadyBusy (128 << 8)
#define secInvalidID (129 << 8)
#define secInvalidWsc (130 << 8)
#define secInvalidMdr (131 << 8)
#define secInvalidUdr (132 << 8)
#define secInvalidSCC (133 << 8)
#define secInvalidMainDict (134 << 8)
#define secOperNotMatchedUserDict (135 << 8)
#define secFileReadError (136 << 8)
#define secFileWriteError (137 << 8)
#define secFileCreateError (138 << 8)
#define secFileShareError (139 << 8)
#define secModuleNotTerminated (140 << 8)
#define secUserDictFull (141 << 8)
#define secInvalidUdrEntry (142 << 8)
#define secUdrEntryTooLong (143 << 8)
#define secMdrCountExceeded (144 << 8)
#define secUdrCountExceeded (145 << 8)
#define secFileOpenError (146 << 8)
#define secFileTooLargeError (147 << 8)
#define secUdrReadOnly (148 << 8)

#define soSuggestFromUserDict 0x0001
#define soIgnoreAllCaps 0x0002
#define soIgnoreMixedDigits 0x0004
#define soIgnoreRomanNumerals 0x0008
#define soFindUncappedSentences 0x0010
#define soFindMissingSpaces 0x0020
#define soFindRepeatWord 0x0040
#define soFindExtraSpaces 0x0080
#define soFindSpacesBeforePunc 0x0100
#define soFindSpacesAfterPunc 0x0200
#define soRateSuggestions 0x0400
#define soFindInitialNumerals 0x0800

#if defined(_WIN32)
#define SC_EXPORT __declspec(dllexport)
#else
#define SC_EXPORT __attribute__((visibility("default")))
#endif

SC_EXPORT SC_SEC SpellVer(SC_WORD *version, SC_WORD *engine, SC_WORD *type);
SC_EXPORT SC_SEC SpellInit(SC_SPLID *splid, SC_WSC *wsc);
SC_EXPORT SC_SEC SpellOptions(SC_SPLID splid, int32_t options);
SC_EXPORT SC_SEC SpellCheck(SC_SPLID splid, SC_CC command, LPSC_SIB sib, LPSC_SRB srb);
SC_EXPORT SC_SEC SpellTerminate(SC_SPLID splid, SC_BOOL force);
SC_EXPORT SC_SEC SpellVerifyMdr(LPSC_PATH mdrPath, SC_LID expected, SC_LID *found);
SC_EXPORT SC_SEC SpellOpenMdr(SC_SPLID splid, LPSC_PATH mdrPath, LPSC_PATH exclusionPath,
                              SC_BOOL createExclusion, SC_BOOL cache, SC_LID expected,
                              LPSC_MDRS mdrs);
SC_EXPORT SC_SEC SpellOpenUdr(SC_SPLID splid, LPSC_PATH udrPath, SC_BOOL create,
                              SC_WORD udrProperty, SC_UDR *udr, SC_BOOL *readOnly);
SC_EXPORT SC_SEC SpellAddUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word);
SC_EXPORT SC_SEC SpellAddChangeUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word, SC_CHAR *change);
SC_EXPORT SC_SEC SpellDelUdr(SC_SPLID splid, SC_UDR udr, SC_CHAR *word);
SC_EXPORT SC_SEC SpellClearUdr(SC_SPLID splid, SC_UDR udr);
SC_EXPORT SC_SEC SpellGetSizeUdr(SC_SPLID splid, SC_UDR udr, int32_t *count);
SC_EXPORT SC_SEC SpellGetListUdr(SC_SPLID splid, SC_UDR udr, SC_WORD first, LPSC_SRB srb);
SC_EXPORT SC_SEC SpellCloseMdr(SC_SPLID splid, LPSC_MDRS mdrs);
SC_EXPORT SC_SEC SpellCloseUdr(SC_SPLID splid, SC_UDR udr, SC_BOOL force);

#ifdef __cplusplus
}
#endif
