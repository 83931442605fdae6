#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QRectF>
#include <QStringList>

// Reads PDF files with poppler's tools, as a reader of the printout would.
namespace PdfText {

inline QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pageCount(const QString &pdf)
{
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The words of one page (1-based), in reading order.
inline QStringList words(const QString &pdf, int page)
{
    const QString text = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                              pdf, QStringLiteral("-")});
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

struct Word {
    QString text;
    QRectF box; // points from the page's top-left corner
};

inline QList<Word> boxes(const QString &pdf, int page)
{
    const QString html = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                              QString::number(page), pdf, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> result;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        result.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return result;
}

} // namespace PdfText
