#include "document/KeptContent.h"

#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace KeptContent {

namespace {

QTextCharFormat objectFormat(const QTextCharFormat &base, Kind kind)
{
    QTextCharFormat f = base;
    f.setObjectType(ObjectType);
    f.setProperty(TextProperty::KeptKind, int(kind));
    return f;
}

} // namespace

QTextCharFormat character(QChar c, const QTextCharFormat &base)
{
    QTextCharFormat f = objectFormat(base, Kind::Character);
    f.setProperty(TextProperty::KeptText, QString(c));
    return f;
}

QTextCharFormat rtfGroup(const QByteArray &rtf, const QString &text, const QString &caption,
                         const QTextCharFormat &base, Kind kind)
{
    QTextCharFormat f = objectFormat(base, kind);
    f.setProperty(TextProperty::KeptRtf, rtf);
    if (!text.isEmpty())
        f.setProperty(TextProperty::KeptText, text);
    if (!caption.isEmpty())
        f.setProperty(TextProperty::KeptCaption, caption);
    return f;
}

Kind kind(const QTextFormat &format)
{
    return Kind(format.intProperty(TextProperty::KeptKind));
}

bool isKept(const QTextFormat &format)
{
    return format.objectType() == ObjectType;
}

QString text(const QTextFormat &format)
{
    return isKept(format) ? format.stringProperty(TextProperty::KeptText) : QString();
}

QByteArray rtf(const QTextFormat &format)
{
    return isKept(format) ? format.property(TextProperty::KeptRtf).toByteArray() : QByteArray();
}

QString caption(const QTextFormat &format)
{
    if (!isKept(format))
        return QString();
    const QString c = format.stringProperty(TextProperty::KeptCaption);
    return c.isEmpty() ? format.stringProperty(TextProperty::KeptText) : c;
}

bool hasKept(const QTextDocument &document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.cbegin(), formats.cend(), [](const QTextFormat &f) { return isKept(f); });
}

QByteArray documentGroups(const QTextDocument &document)
{
    return document.rootFrame()->frameFormat().property(TextProperty::KeptRtf).toByteArray();
}

void setDocumentGroups(QTextDocument &document, const QByteArray &rtf)
{
    QTextFrameFormat f = document.rootFrame()->frameFormat();
    if (rtf.isEmpty())
        f.clearProperty(TextProperty::KeptRtf);
    else
        f.setProperty(TextProperty::KeptRtf, rtf);
    document.rootFrame()->setFrameFormat(f);
}

namespace {

// What the writer's own list would show differently if changed.
QByteArray listSignature(const QTextListFormat &f)
{
    return QByteArray::number(int(f.style())) + ':' + QByteArray::number(f.intProperty(TextProperty::NumberingStart))
           + ':' + QByteArray::number(f.intProperty(TextProperty::NumberingStyle)) + ':'
           + QByteArray::number(f.intProperty(TextProperty::ListLevel)) + ':'
           + f.stringProperty(TextProperty::ListBullet).toUtf8();
}

} // namespace

ListTables listTables(const QTextDocument &document)
{
    const QTextFrameFormat f = document.rootFrame()->frameFormat();
    ListTables t;
    t.table = f.property(TextProperty::KeptListTable).toByteArray();
    t.overrides = f.property(TextProperty::KeptListOverrides).toByteArray();
    const QVariantList numbers = f.property(TextProperty::KeptListNumbers).toList();
    if (!numbers.isEmpty())
        t.maxOverride = numbers.first().toInt();
    for (qsizetype i = 1; i < numbers.size(); ++i)
        t.listIds.append(numbers.at(i).toInt());
    const QVariantList fonts = f.property(TextProperty::KeptListFonts).toList();
    for (qsizetype i = 0; i + 2 < fonts.size(); i += 3)
        t.fonts.append({fonts.at(i).toInt(), fonts.at(i + 1).toString(), fonts.at(i + 2).toInt()});
    return t;
}

void setListTables(QTextDocument &document, const ListTables &tables)
{
    QTextFrameFormat f = document.rootFrame()->frameFormat();
    f.setProperty(TextProperty::KeptListTable, tables.table);
    f.setProperty(TextProperty::KeptListOverrides, tables.overrides);
    QVariantList numbers{tables.maxOverride};
    for (int id : tables.listIds)
        numbers.append(id);
    f.setProperty(TextProperty::KeptListNumbers, numbers);
    QVariantList fonts;
    for (const ListTables::Font &font : tables.fonts)
        fonts << font.number << font.family << font.charset;
    f.setProperty(TextProperty::KeptListFonts, fonts);
    document.rootFrame()->setFrameFormat(f);
}

void setListOverride(QTextListFormat &format, int ls)
{
    format.setProperty(TextProperty::KeptListOverride, ls);
    format.setProperty(TextProperty::KeptListSignature, listSignature(format));
}

int listOverride(const QTextListFormat &format)
{
    if (!format.hasProperty(TextProperty::KeptListOverride)
        || format.property(TextProperty::KeptListSignature).toByteArray() != listSignature(format))
        return -1;
    return format.intProperty(TextProperty::KeptListOverride);
}

} // namespace KeptContent
