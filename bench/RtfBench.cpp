#include "BenchCommands.h"

#include <cstdio>

int Bench::rtfRead(const QStringList &)
{
    std::fprintf(stderr, "rtf-read: not built yet\n");
    return 2;
}

int Bench::rtfWrite(const QStringList &)
{
    std::fprintf(stderr, "rtf-write: not built yet\n");
    return 2;
}
