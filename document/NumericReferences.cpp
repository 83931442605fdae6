#include "document/NumericReferences.h"

namespace NumericReferences {

QString toNumeric(QStringView text, int limit)
{
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c.unicode() < limit) {
            out += c;
        } else {
            out += QLatin1String("&#");
            out += QString::number(c.unicode());
            out += u';';
        }
    }
    return out;
}

qint64 readNumber(QStringView text, int *stop)
{
    const int n = int(text.size());
    int i = 0;
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text.at(i) == u'x' || text.at(i) == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    qint64 value = 0;
    int digits = 0;
    for (; i < n; ++i) {
        const int d = text.at(i).unicode() < 128 ? QChar(text.at(i)).digitValue() : -1;
        int v = d;
        if (base == 16 && d < 0) {
            const char16_t c = text.at(i).unicode();
            if (c >= u'a' && c <= u'f')
                v = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                v = c - u'A' + 10;
        }
        if (v < 0 || v >= base)
            break;
        // Only the low bits matter to the caller; keep the accumulator bounded.
        value = (value * base + v) & 0xFFFFFFFFFFFFLL;
        ++digits;
    }
    if (i < n || digits == 0) {
        // Stopped early: the value read so far, without its sign.
        if (stop)
            *stop = i + 1;
        return value;
    }
    if (stop)
        *stop = n;
    return negative ? -value : value;
}

QString fromNumeric(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text.at(i) == u'&' && i + 1 < n && text.at(i + 1) == u'#') {
            // The number reader sees at most ten units, as 8-bit text.
            QString taken = text.mid(i + 2, 10).toString();
            for (QChar &c : taken)
                if (c.unicode() > 255)
                    c = u'?';
            int stop = 0;
            const qint64 value = readNumber(taken, &stop);
            out += QChar(char16_t(quint64(value) & 0xFFFF));
            qsizetype next = i + stop + 2;
            if (next < n && text.at(next) == u';')
                ++next;
            i = next;
            continue;
        }
        out += text.at(i);
        ++i;
    }
    return out;
}

} // namespace NumericReferences
