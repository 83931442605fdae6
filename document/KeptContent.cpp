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

} // namespace KeptContent
