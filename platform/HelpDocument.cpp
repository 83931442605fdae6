#include "platform/HelpDocument.h"

#include "platform/CodePages.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>

namespace {

// Help documents are small; more than this is not one.
constexpr qint64 MaximumSize = 8 * 1024 * 1024;

QString attribute(QStringView tag, const QString &name)
{
    const QRegularExpression re(QStringLiteral("(?:^|\\s)%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return QString();
    for (int i = 1; i <= 3; ++i) {
        if (m.capturedStart(i) >= 0)
            return m.captured(i);
    }
    return QString();
}

uint namedEntity(const QString &name)
{
    static const struct {
        const char *name;
        uint code;
    } entities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
                    {"nbsp", ' '}, {"auml", 0xe4}, {"ouml", 0xf6}, {"uuml", 0xfc}, {"Auml", 0xc4},
                    {"Ouml", 0xd6}, {"Uuml", 0xdc}, {"szlig", 0xdf}};
    for (const auto &e : entities) {
        if (name == QLatin1String(e.name))
            return e.code;
    }
    return 0;
}

// Text of an HTML snippet (headings, titles): tags dropped, the usual
// entities replaced.
QString plainText(const QString &html)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression entity(QStringLiteral("&(#x?[0-9a-fA-F]+|[a-zA-Z]+);"));
    QString text = QString(html).remove(tags);
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &m : entity.globalMatch(text)) {
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt(&ok, 10);
        else
            ok = (code = namedEntity(name)) != 0; // assigned, then tested
        if (ok && code > 0 && code <= 0x10ffff && !QChar::isSurrogate(code))
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        else
            out += m.captured();
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out.simplified();
}

// The text between <tag …> and </tag>, the first of them; null when absent.
QString element(const QString &text, const QString &tag, qsizetype from = 0, qsizetype to = -1)
{
    const qsizetype open = text.indexOf(u'<' + tag, from, Qt::CaseInsensitive);
    if (open < 0 || (to >= 0 && open >= to))
        return QString();
    const qsizetype start = text.indexOf(u'>', open);
    if (start < 0)
        return QString();
    qsizetype end = text.indexOf(QLatin1String("</") + tag, start, Qt::CaseInsensitive);
    if (end < 0 || (to >= 0 && end > to))
        end = to >= 0 ? to : text.size();
    return text.mid(start + 1, end - start - 1);
}

} // namespace

bool HelpDocument::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        m_topics.clear();
        return false;
    }
    return setContent(file.read(MaximumSize), error);
}

bool HelpDocument::setContent(const QByteArray &bytes, QString *error)
{
    m_topics.clear();
    m_title.clear();
    m_head.clear();
    if (bytes.trimmed().isEmpty() || bytes.left(64 * 1024).contains('\0')) {
        if (error)
            *error = QStringLiteral("This is not a help document.");
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = CodePages::toUnicode(CodePages::ansiCodePage(), bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);

    if (!Qt::mightBeRichText(text)) {
        m_topics.append({QStringLiteral("contents"), QString(),
                         QLatin1String("<p style=\"white-space: pre-wrap\">") + text.toHtmlEscaped()
                             + QLatin1String("</p>")});
        return true;
    }
    m_head = element(text, QStringLiteral("head"));
    m_title = plainText(element(text, QStringLiteral("title")));

    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = text.indexOf(QLatin1String("<section"), pos, Qt::CaseInsensitive);
        if (start < 0)
            break;
        const qsizetype tagEnd = text.indexOf(u'>', start);
        if (tagEnd < 0)
            break;
        // A section ends at its end tag, or (when that is missing) where the
        // next one or the body ends.
        qsizetype end = text.size();
        for (const char *stop : {"</section", "<section", "</body"}) {
            const qsizetype at = text.indexOf(QLatin1String(stop), tagEnd + 1, Qt::CaseInsensitive);
            if (at >= 0)
                end = qMin(end, at);
        }
        const QString id = attribute(QStringView(text).mid(start, tagEnd - start + 1), QStringLiteral("id"));
        if (!id.isEmpty() && !find(id)) {
            const QString body = text.mid(tagEnd + 1, end - tagEnd - 1);
            QString heading;
            for (const char *h : {"h1", "h2", "h3"}) {
                heading = element(body, QLatin1String(h));
                if (!heading.isNull())
                    break;
            }
            m_topics.append({id, plainText(heading), body});
        }
        pos = end;
    }
    if (m_topics.isEmpty()) {
        QString body = element(text, QStringLiteral("body"));
        if (body.isNull())
            body = text;
        m_topics.append({QStringLiteral("contents"), m_title, body});
    }
    if (m_title.isEmpty())
        m_title = m_topics.first().title;
    return true;
}

QString HelpDocument::contentsId() const
{
    return m_topics.isEmpty() ? QString() : m_topics.first().id;
}

QStringList HelpDocument::topicIds() const
{
    QStringList ids;
    for (const Topic &t : m_topics)
        ids << t.id;
    return ids;
}

const HelpDocument::Topic *HelpDocument::find(const QString &id) const
{
    for (const Topic &t : m_topics) {
        if (t.id == id)
            return &t;
    }
    return nullptr;
}

bool HelpDocument::hasTopic(const QString &id) const
{
    return find(id) != nullptr;
}

QString HelpDocument::topicTitle(const QString &id) const
{
    const Topic *t = find(id);
    return t ? t->title : QString();
}

QString HelpDocument::page(const QString &id) const
{
    const Topic *t = find(id);
    if (!t)
        return QString();
    return QLatin1String("<html><head>") + m_head + QLatin1String("</head><body>") + t->body
           + QLatin1String("</body></html>");
}

QStringList HelpDocument::links(const QString &id) const
{
    QStringList targets;
    const Topic *t = find(id);
    if (!t)
        return targets;
    static const QRegularExpression anchor(QStringLiteral("<a\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &m : anchor.globalMatch(t->body)) {
        const QString href = attribute(m.capturedView(), QStringLiteral("href"));
        if (!href.isNull())
            targets << href;
    }
    return targets;
}

QString HelpDocument::meta(const QString &name, const QString &fallback) const
{
    static const QRegularExpression tag(QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &m : tag.globalMatch(m_head)) {
        if (attribute(m.capturedView(), QStringLiteral("name")).compare(name, Qt::CaseInsensitive) == 0)
            return attribute(m.capturedView(), QStringLiteral("content"));
    }
    return fallback;
}
