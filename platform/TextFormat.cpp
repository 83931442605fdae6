#include "platform/TextFormat.h"

QString formatText(const QString &format, std::initializer_list<QVariant> args)
{
    QString out;
    out.reserve(format.size() + 16);
    auto arg = args.begin();
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 >= n) {
            out += c;
            continue;
        }
        if (format.at(i + 1) == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        const bool left = format.at(j) == u'-';
        if (left)
            ++j;
        int width = 0;
        while (j < n && format.at(j).isDigit() && width < 1000)
            width = width * 10 + format.at(j++).digitValue();
        if (j >= n || arg == args.end()) {
            out += c;
            continue;
        }
        const QChar kind = format.at(j).toLower();
        QString piece;
        if (kind == u'd')
            piece = QString::number(arg->toLongLong());
        else if (kind == u's')
            piece = arg->toString();
        else {
            out += c;
            continue;
        }
        ++arg;
        if (piece.size() < width)
            piece = left ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
        i = j;
    }
    return out;
}

namespace WinColor {

int fromColor(const QColor &color)
{
    if (!color.isValid())
        return WindowText;
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QColor toColor(int value, const QColor &fallback)
{
    if (value < 0 || (value & 0xFF000000))
        return fallback;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace WinColor
