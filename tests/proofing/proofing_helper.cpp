// Checks words with the proofing library in a process of its own:
// proofing_helper LIBRARY DIC UDR WORD… exits 0 when every word is accepted.
#include "proofing/SpellApi.h"

#include <cstring>
#include <dlfcn.h>

int main(int argc, char *argv[])
{
    if (argc < 5)
        return 2;
    void *lib = dlopen(argv[1], RTLD_NOW);
    if (!lib)
        return 3;
    auto init = reinterpret_cast<decltype(&SpellInit)>(dlsym(lib, "SpellInit"));
    auto openMdr = reinterpret_cast<decltype(&SpellOpenMdr)>(dlsym(lib, "SpellOpenMdr"));
    auto openUdr = reinterpret_cast<decltype(&SpellOpenUdr)>(dlsym(lib, "SpellOpenUdr"));
    auto check = reinterpret_cast<decltype(&SpellCheck)>(dlsym(lib, "SpellCheck"));
    SC_SPLID id = 0;
    SC_WSC wsc = {0, 45, 31, 30, 151, 150, 133, {11, 10}, {13, 10}};
    SC_MDRS mdrs = {};
    SC_UDR udr = 0;
    if (!init || !openMdr || !openUdr || !check || init(&id, &wsc) || openMdr(id, argv[2], nullptr, 0, 1, 1033, &mdrs)
        || openUdr(id, argv[3], 0, udrIgnoreAlways, &udr, nullptr))
        return 4;
    for (int i = 4; i < argc; ++i) {
        char buf[64] = {};
        SC_SRB srb = {};
        srb.cch = sizeof buf;
        srb.lrgsz = buf;
        SC_SIB sib = {uint16_t(std::strlen(argv[i])), 1, 1, fssStartsSentence, argv[i], &mdrs.mdr, &udr};
        if (check(id, sccVerifyBuffer, &sib, &srb) || srb.scrs != scrsNoErrors)
            return 1;
    }
    return 0;
}
