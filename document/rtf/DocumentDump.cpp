#include "document/rtf/DocumentDump.h"

#include "document/KeptContent.h"
#include "document/ParagraphFormat.h"

#include <QBrush>
#include <QCryptographicHash>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <functional>

namespace DocumentDump {
namespace {

bool isUndrawable(const QString &type)
{
    return type == QLatin1String("wmf") || type == QLatin1String("emf")
           || type == QLatin1String("macpict") || type == QLatin1String("pmmetafile");
}

QString valueText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QBrush: {
        const QBrush b = v.value<QBrush>();
        return b.style() == Qt::NoBrush ? QStringLiteral("none") : b.color().name(QColor::HexArgb);
    }
    case QMetaType::QColor:
        return v.value<QColor>().name(QColor::HexArgb);
    case QMetaType::QStringList:
        return v.toStringList().join(QLatin1Char(','));
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return QStringLiteral("bytes:%1:%2").arg(bytes.size())
            .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'f', 3);
    default:
        return v.toString();
    }
}

QString formatText(const QTextFormat &format, bool image)
{
    QStringList parts;
    const QMap<int, QVariant> props = format.properties();
    for (auto it = props.cbegin(); it != props.cend(); ++it) {
        const int id = it.key();
        // Identities, not content: numbered afresh by each reading.
        if (id == QTextFormat::ObjectIndex || id == TextProperty::FieldId || id == TextProperty::ObjectId)
            continue;
        if (image && (id == QTextFormat::ImageName || id == TextProperty::PictureBytes
                      || id == TextProperty::PictureType))
            continue;
        parts << QStringLiteral("%1=%2").arg(id, 0, 16).arg(valueText(it.value()));
    }
    return parts.join(QLatin1Char(' '));
}

QString pictureText(const QTextDocument &doc, const QTextImageFormat &f)
{
    const QString type = f.stringProperty(TextProperty::PictureType);
    QByteArray hash;
    if (isUndrawable(type)) {
        hash = type.toLatin1() + ':'
               + QCryptographicHash::hash(f.property(TextProperty::PictureBytes).toByteArray(),
                                          QCryptographicHash::Md5).toHex();
    } else {
        const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(f.name()))
                                 .value<QImage>().convertToFormat(QImage::Format_ARGB32);
        QCryptographicHash h(QCryptographicHash::Md5);
        for (int y = 0; y < image.height(); ++y)
            h.addData(QByteArrayView(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4));
        hash = "px" + QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()) + ':'
               + h.result().toHex();
    }
    return QStringLiteral("IMG %1x%2 %3 {%4}")
        .arg(f.width(), 0, 'f', 2).arg(f.height(), 0, 'f', 2)
        .arg(QString::fromLatin1(hash), formatText(f, true));
}

void dumpBlock(const QTextDocument &doc, const QTextBlock &block, const QString &indent, QString &out)
{
    const ParagraphValues v = ParagraphFormat::read(block);
    QStringList tabs;
    for (int t : v.tabs)
        tabs << QString::number(t);
    out += indent
           + QStringLiteral("P align=%1 first=%2 left=%3 right=%4 num=%5/%6/%7 sb=%8 sa=%9 ls=%10/%11 tabs=[%12] pb=%13")
                 .arg(int(v.alignment)).arg(v.firstIndent).arg(v.leftIndent).arg(v.rightIndent)
                 .arg(int(v.numbering)).arg(v.numberingStart).arg(v.numberingStyle)
                 .arg(v.spaceBefore).arg(v.spaceAfter).arg(v.lineSpacingRule).arg(v.lineSpacing)
                 .arg(tabs.join(QLatin1Char(',')))
                 .arg(int(block.blockFormat().pageBreakPolicy()));
    if (block.length() <= 1)
        out += QStringLiteral(" mark={%1}").arg(formatText(block.charFormat(), false));
    out += QLatin1Char('\n');

    QString text;
    QTextCharFormat format;
    auto flush = [&] {
        if (!text.isEmpty())
            out += indent + QStringLiteral("  T \"%1\" {%2}\n").arg(text, formatText(format, false));
        text.clear();
    };
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat f = fragment.charFormat();
        if (f.isImageFormat()) {
            flush();
            for (int i = 0; i < fragment.length(); ++i)
                out += indent + QStringLiteral("  ") + pictureText(doc, f.toImageFormat()) + QLatin1Char('\n');
            continue;
        }
        if (f != format)
            flush();
        format = f;
        text += fragment.text();
    }
    flush();
}

void dumpFrame(const QTextDocument &doc, QTextFrame *frame, const QString &indent, QString &out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        QTextFrame *child = it.currentFrame();
        if (!child) {
            dumpBlock(doc, it.currentBlock(), indent, out);
            continue;
        }
        QTextTable *table = qobject_cast<QTextTable *>(child);
        if (!table) {
            dumpFrame(doc, child, indent, out);
            continue;
        }
        QStringList widths;
        for (const QTextLength &l : table->format().columnWidthConstraints())
            widths << QString::number(l.rawValue(), 'f', 2);
        out += indent + QStringLiteral("TABLE %1x%2 widths=[%3]\n")
                            .arg(table->rows()).arg(table->columns()).arg(widths.join(QLatin1Char(',')));
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                out += indent + QStringLiteral(" CELL %1,%2 span %3x%4\n")
                                    .arg(r).arg(c).arg(cell.rowSpan()).arg(cell.columnSpan());
                for (auto ci = cell.begin(); !ci.atEnd(); ++ci) {
                    if (!ci.currentFrame())
                        dumpBlock(doc, ci.currentBlock(), indent + QStringLiteral("  "), out);
                    else
                        dumpFrame(doc, ci.currentFrame(), indent + QStringLiteral("  "), out);
                }
            }
        }
    }
}

} // namespace

QString dump(const QTextDocument &document)
{
    QString out;
    const QByteArray groups = KeptContent::documentGroups(document);
    if (!groups.isEmpty())
        out += QStringLiteral("HEADER GROUPS %1\n").arg(valueText(groups));
    dumpFrame(document, document.rootFrame(), QString(), out);
    return out;
}

QString plainText(const QTextDocument &document, const TextOptions &options)
{
    QString out;
    out.reserve(document.characterCount());
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!first)
            out += QLatin1Char('\n');
        first = false;
        int lastField = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (f.isImageFormat())
                continue;
            const int field = options.markFields ? f.intProperty(TextProperty::FieldId) : 0;
            if (field != 0) {
                if (field != lastField)
                    out += QChar(0xE000);
                lastField = field;
                continue;
            }
            lastField = 0;
            if (KeptContent::isKept(f)) {
                QString kept = KeptContent::text(f);
                if (options.markFields && KeptContent::kind(f) == KeptContent::Kind::Frame && !kept.isEmpty())
                    kept = QChar(0xE001) + kept + QChar(0xE002);
                out += kept.repeated(fragment.length());
                continue;
            }
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            text.remove(QChar::ObjectReplacementCharacter);
            out += text;
        }
    }
    return out;
}

} // namespace DocumentDump
