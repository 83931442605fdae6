#include "document/rtf/RtfCharsets.h"

#include "platform/CodePages.h"

namespace RtfCharsets {
namespace {

struct Pair {
    int charset;
    int codePage;
};

constexpr Pair kPairs[] = {
    {77, 10000},  {78, 10001},  {79, 10003},  {80, 10008},  {81, 10002},  {83, 10005},
    {84, 10004},  {85, 10006},  {86, 10081},  {87, 10021},  {88, 10029},  {89, 10007},
    {128, 932},   {129, 949},   {130, 1361},  {134, 936},   {136, 950},   {161, 1253},
    {162, 1254},  {163, 1258},  {177, 1255},  {178, 1256},  {186, 1257},  {204, 1251},
    {222, 874},   {238, 1250},  {254, 437},   {255, 850},
};

// Mac pages ICU has no table for, and the page whose letters sit at the
// same bytes: the letters come out right, a few symbols may not.
constexpr Pair kMacStandIns[] = {
    {10004, 28596}, {10005, 28598}, {10010, 10000}, {10017, 10007}, {10021, 874}, {10079, 10000},
    {10082, 10000},
};

} // namespace

int readableCodePage(int codePage)
{
    if (CodePages::isInstalled(codePage))
        return codePage;
    for (const Pair &p : kMacStandIns)
        if (p.charset == codePage)
            return p.codePage;
    return 0;
}

int codePage(int charset, int ansiCodePage)
{
    if (charset == Ansi)
        return 1252;
    if (charset == Symbol)
        return SymbolCodePage;
    for (const Pair &p : kPairs)
        if (p.charset == charset) {
            const int readable = readableCodePage(p.codePage);
            return readable ? readable : ansiCodePage;
        }
    return ansiCodePage;
}

int charsetForCodePage(int codePage)
{
    if (codePage == 1252)
        return Ansi;
    for (const Pair &p : kPairs)
        if (p.codePage == codePage && (p.charset >= 128 || codePage >= 10000))
            return p.charset;
    return Ansi;
}

bool isMultiByte(int codePage)
{
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361: case 10001: case 10002: case 10003:
    case 10008: case 20932: case 51932: case 51936: case 51949: case 54936: case 65001:
        return true;
    default:
        return false;
    }
}

} // namespace RtfCharsets
