// A spelling library that misbehaves on purpose, for the speller's error paths:
// built whole, and built without SpellCloseUdr.
#include "proofing/SpellApi.h"

#include <cstring>

namespace {
int g_rounds = 0;
}

extern "C" {

SC_SEC SpellVer(SC_WORD *, SC_WORD *, SC_WORD *) { return 0; }
SC_SEC SpellInit(SC_SPLID *id, SC_WSC *) { *id = 7; return 0; }
SC_SEC SpellOptions(SC_SPLID, int32_t) { return 0; }
SC_SEC SpellTerminate(SC_SPLID, SC_BOOL) { return 0; }
SC_SEC SpellVerifyMdr(LPSC_PATH, SC_LID, SC_LID *) { return 0; }
SC_SEC SpellOpenMdr(SC_SPLID, LPSC_PATH, LPSC_PATH, SC_BOOL, SC_BOOL, SC_LID, LPSC_MDRS m) { m->mdr = 1; return 0; }
SC_SEC SpellOpenUdr(SC_SPLID, LPSC_PATH, SC_BOOL, SC_WORD, SC_UDR *u, SC_BOOL *) { *u = 2; return 0; }
SC_SEC SpellAddUdr(SC_SPLID, SC_UDR, SC_CHAR *) { return secIOErrorUdr | secUdrReadOnly; }
SC_SEC SpellAddChangeUdr(SC_SPLID, SC_UDR, SC_CHAR *, SC_CHAR *) { return 0; }
SC_SEC SpellDelUdr(SC_SPLID, SC_UDR, SC_CHAR *) { return 0; }
SC_SEC SpellClearUdr(SC_SPLID, SC_UDR) { return 0; }
SC_SEC SpellGetSizeUdr(SC_SPLID, SC_UDR, int32_t *) { return 0; }
SC_SEC SpellGetListUdr(SC_SPLID, SC_UDR, SC_WORD, LPSC_SRB) { return 0; }
SC_SEC SpellCloseMdr(SC_SPLID, LPSC_MDRS) { return 0; }
#ifndef WITHOUT_CLOSE_UDR
// The code some libraries give for a dictionary they have already let go of.
SC_SEC SpellCloseUdr(SC_SPLID, SC_UDR, SC_BOOL) { return 0x8102; }
#endif

// "fail" is an error of the library; "twice" gets one suggestion twice;
// "forever" gets suggestions without end; "wild" an error position far outside.
SC_SEC SpellCheck(SC_SPLID, SC_CC command, LPSC_SIB sib, LPSC_SRB srb)
{
    const bool is = sib && sib->cch >= 4;
    if (is && std::strncmp(sib->lrgch, "fail", 4) == 0)
        return secModuleError | secInvalidSCC;
    if (command == sccVerifyBuffer) {
        srb->scrs = is && std::strncmp(sib->lrgch, "wild", 4) == 0 ? scrsUnknownInputWord : scrsNoErrors;
        srb->ichError = 2;
        srb->cchError = 60000;
        return 0;
    }
    if (command == sccSuggest)
        g_rounds = 0;
    ++g_rounds;
    const bool forever = sib && sib->cch >= 7 && std::strncmp(sib->lrgch, "forever", 7) == 0;
    if (!forever && g_rounds > 2) {
        srb->scrs = scrsNoMoreSuggestions;
        return 0;
    }
    std::memcpy(srb->lrgsz, "same\0same\0", 11);
    srb->scrs = scrsNoErrors;
    return 0;
}

}
