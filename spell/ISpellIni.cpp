#include "spell/ISpellIni.h"

#include "platform/CodePages.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace ISpellIni {

const QString AppPathKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ispell.exe");
const QString PathValue = QStringLiteral("Path");
const QString FileName = QStringLiteral("ispell.ini");
const QString DirPlaceholder = QStringLiteral("%DirISpell%ispell");

std::optional<QString> installationFolder(const Registry &registry)
{
    std::optional<QString> path = registry.value(AppPathKey, PathValue);
    if (!path || !registry.keyExists(AppPathKey))
        return std::nullopt;
    if (!path->isEmpty() && !path->endsWith(u'/') && !path->endsWith(QDir::separator()))
        *path += QDir::separator();
    return path;
}

namespace {

QString decoded(const QByteArray &bytes)
{
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return CodePages::toUnicode(CodePages::ansiCodePage(), bytes);
}

QString unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

struct Section {
    QString name;
    QList<QPair<QString, QString>> keys; // folded key, value; first wins
    QString value(const QString &key) const
    {
        for (const auto &[k, v] : keys)
            if (k == key)
                return v;
        return {};
    }
};

} // namespace

QList<Entry> parse(const QByteArray &bytes, const QString &folder)
{
    QList<Section> sections;
    Section *current = nullptr;
    const QString text = decoded(bytes.left(MaximumFileBytes));
    for (QStringView line : QStringView(text).split(u'\n')) {
        // The profile functions read C strings: a NUL ends the line.
        const qsizetype nul = line.indexOf(QChar(0));
        if (nul >= 0)
            line = line.left(nul);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toString();
            current = nullptr;
            for (Section &s : sections)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &s;
            if (!current) {
                sections.append({name, {}});
                current = &sections.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toString().toCaseFolded();
        if (current->value(key).isNull())
            current->keys.append({key, unquoted(line.mid(eq + 1).toString())});
    }

    QList<Entry> entries;
    for (const Section &s : sections) {
        Entry e;
        e.name = s.name.isEmpty() ? folder : s.name;
        e.folder = folder;
        bool ok = false;
        const uint langNo = s.value(QStringLiteral("langno")).toUInt(&ok);
        e.langNo = ok && langNo <= 0xffff ? TLanguage(langNo) : 0;
        e.cmd = s.value(QStringLiteral("cmd"));
        e.charset = s.value(QStringLiteral("charset"));
        e.surrogate = s.value(QStringLiteral("surrogate"));
        if (e.surrogate.isEmpty())
            e.surrogate = QStringLiteral("-");
        e.flag = s.value(QStringLiteral("flag"));
        if (e.flag.isEmpty())
            e.flag = folder;
        entries.append(e);
    }
    return entries;
}

QList<Entry> readFile(const QString &path, const QString &folder)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.read(MaximumFileBytes), folder);
}

QList<Entry> scan(const QString &installationFolder)
{
    const QDir dir(installationFolder.isEmpty() ? QStringLiteral(".") : installationFolder);
    QList<Entry> entries;
    const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString &folder : folders)
        entries += readFile(dir.filePath(folder + u'/' + FileName), folder);
    return entries;
}

QString expandCommand(const QString &cmd, const QString &installationFolder)
{
    QString folder = installationFolder;
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(QDir::separator())))
        folder.chop(1);
    // One pass: a folder whose name holds the placeholder must not loop.
    return QString(cmd).replace(DirPlaceholder, folder, Qt::CaseInsensitive);
}

} // namespace ISpellIni
