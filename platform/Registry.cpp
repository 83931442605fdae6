#include "platform/Registry.h"

#include <QFile>
#include <QSaveFile>

// File form, one item a line (CR LF or LF):
//   [HKEY_CLASSES_ROOT\.txt]
//   @="txtfile"
//   "Content Type"="text/plain"
// Lines starting with ';' or '#' are comments. In names and values, between
// double quotes, a backslash escapes: \\ \" \n \r \t, and \uHHHH for any other
// control character or a lone surrogate, so every string survives. Key paths
// are written as they are, except that '%', control characters and lone
// surrogates become %HH or %uHHHH (the backslash separates key levels there).

namespace {

// More than any registry store holds; a larger file is damaged and only its
// beginning is read.
constexpr qint64 MaximumFileSize = 16 * 1024 * 1024;

QString normalizedPath(const QString &key)
{
    return key.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

QString folded(const QString &text)
{
    return text.toCaseFolded();
}

bool isLoneSurrogate(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString hex4(ushort u)
{
    return QStringLiteral("%1").arg(u, 4, 16, QLatin1Char('0'));
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (isControl(c) || isLoneSurrogate(text, i))
                out += QLatin1String("\\u") + hex4(c.unicode());
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString escapedKey(const QString &path)
{
    QString out;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'%' || isControl(c))
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (isLoneSurrogate(path, i))
            out += QLatin1String("%u") + hex4(c.unicode());
        else
            out += c;
    }
    return out;
}

// Reads hex digits of text at i; -1 when they are not all there.
int hexAt(QStringView text, qsizetype i, int digits)
{
    if (i + digits > text.size())
        return -1;
    bool ok = false;
    const int v = text.mid(i, digits).toInt(&ok, 16);
    return ok ? v : -1;
}

QString unescapedKey(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'%') {
            int v;
            if (i + 1 < text.size() && text.at(i + 1) == u'u' && (v = hexAt(text, i + 2, 4)) >= 0) {
                out += QChar(ushort(v));
                i += 5;
                continue;
            }
            if ((v = hexAt(text, i + 1, 2)) >= 0) {
                out += QChar(ushort(v));
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// Reads a quoted string starting at text[*pos] == '"'; leaves *pos after the
// closing quote. An unterminated string runs to the end of the line.
QString unquoted(QStringView text, qsizetype *pos)
{
    QString out;
    qsizetype i = *pos + 1;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            ++i;
            break;
        }
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar e = text.at(++i);
        switch (e.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'u': {
            const int v = hexAt(text, i + 1, 4);
            if (v >= 0) {
                out += QChar(ushort(v));
                i += 4;
            } else {
                out += e;
            }
            break;
        }
        default: out += e; // \\, \" and anything unknown stand for themselves
        }
    }
    *pos = i;
    return out;
}

} // namespace

FileRegistry::FileRegistry(const QString &path)
{
    load(path);
}

bool FileRegistry::load(const QString &path, QString *error)
{
    m_path = path;
    m_keys.clear();
    m_skippedLines = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    parse(file.read(MaximumFileSize));
    if (!file.atEnd())
        ++m_skippedLines;
    return true;
}

void FileRegistry::parse(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    Key *current = nullptr;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')
            || line == QLatin1String("REGEDIT4")
            || line.startsWith(QLatin1String("Windows Registry Editor")))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            const QString path = normalizedPath(
                unescapedKey(line.mid(1, close > 0 ? close - 1 : line.size() - 1)));
            current = path.isEmpty() ? nullptr : &createKey(path);
            if (!current)
                ++m_skippedLines;
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            name = unquoted(line, &pos);
        } else {
            pos = line.indexOf(u'=');
            if (pos < 0) {
                ++m_skippedLines;
                continue;
            }
            name = line.left(pos).trimmed().toString();
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (!current || pos >= line.size() || line.at(pos) != u'=') {
            ++m_skippedLines;
            continue;
        }
        ++pos;
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        const QString data = pos < line.size() && line.at(pos) == u'"'
                                 ? unquoted(line, &pos)
                                 : line.mid(pos).toString();
        storeValue(*current, name, data);
    }
}

QByteArray FileRegistry::serialize() const
{
    QString text = QStringLiteral("; Quilmar registry store (UTF-8)\r\n");
    for (const Key &key : m_keys) {
        text += QLatin1String("\r\n[") + escapedKey(key.path) + QLatin1String("]\r\n");
        for (const Value &v : key.values) {
            text += v.name.isEmpty() ? QStringLiteral("@") : quoted(v.name);
            text += u'=' + quoted(v.data) + QLatin1String("\r\n");
        }
    }
    return text.toUtf8();
}

bool FileRegistry::save(QString *error) const
{
    if (m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("The registry store has no file name.");
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = serialize();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

FileRegistry::Key &FileRegistry::createKey(const QString &normalized)
{
    Key &key = m_keys[folded(normalized)];
    if (key.path.isEmpty())
        key.path = normalized;
    return key;
}

bool FileRegistry::keyExists(const QString &key) const
{
    const QString path = folded(normalizedPath(key));
    if (path.isEmpty())
        return false;
    if (m_keys.contains(path))
        return true;
    const QString prefix = path + u'\\';
    const auto it = m_keys.lowerBound(prefix);
    return it != m_keys.end() && it.key().startsWith(prefix);
}

std::optional<QString> FileRegistry::value(const QString &key, const QString &name) const
{
    const auto k = m_keys.constFind(folded(normalizedPath(key)));
    if (k == m_keys.constEnd())
        return std::nullopt;
    const auto v = k->values.constFind(folded(name));
    if (v == k->values.constEnd())
        return std::nullopt;
    return v->data;
}

void FileRegistry::setValue(const QString &key, const QString &name, const QString &value)
{
    const QString path = normalizedPath(key);
    if (path.isEmpty())
        return;
    storeValue(createKey(path), name, value);
}

void FileRegistry::storeValue(Key &key, const QString &name, const QString &data)
{
    const QString f = folded(name);
    auto it = key.values.find(f);
    if (it == key.values.end())
        it = key.values.insert(f, Value{name, QString()});
    it->data = data;
}

void FileRegistry::removeKey(const QString &key)
{
    const QString path = folded(normalizedPath(key));
    if (path.isEmpty())
        return;
    m_keys.remove(path);
    const QString prefix = path + u'\\';
    auto it = m_keys.lowerBound(prefix);
    while (it != m_keys.end() && it.key().startsWith(prefix))
        it = m_keys.erase(it);
}

QStringList FileRegistry::subKeys(const QString &key) const
{
    const QString path = normalizedPath(key);
    const QString prefix = path.isEmpty() ? QString() : folded(path) + u'\\';
    const int depth = path.isEmpty() ? 0 : int(path.count(u'\\')) + 1;
    QMap<QString, QString> names; // folded -> as written
    for (auto it = m_keys.lowerBound(prefix); it != m_keys.end() && it.key().startsWith(prefix); ++it) {
        const QString name = it->path.section(u'\\', depth, depth);
        const QString f = folded(name);
        if (!names.contains(f))
            names.insert(f, name);
    }
    return names.values();
}

QStringList FileRegistry::valueNames(const QString &key) const
{
    QStringList names;
    const auto k = m_keys.constFind(folded(normalizedPath(key)));
    if (k != m_keys.constEnd()) {
        for (const Value &v : k->values)
            names << v.name;
    }
    return names;
}
