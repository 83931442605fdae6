#include "spell/ISpellInstallation.h"

#include "platform/Registry.h"
#include "spell/ISpellIni.h"
#include "spell/Langs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <map>
#include <utility>

namespace ISpellInstallation {

const QString MarkerLine =
    QStringLiteral("; Written by Quilmar for an installed ispell dictionary. Delete this line to keep your changes.");

namespace {

// Dictionaries whose description files name no locale.
struct KnownDictionary {
    const char *name;
    TLanguage langNo;
};
const KnownDictionary kKnown[] = {
    {"american", 1033}, {"british", 2057}, {"canadian", 4105}, {"australian", 3081},
    {"ngerman", 1031}, {"swiss", 2055}, {"francais", 1036}, {"french", 1036},
    {"castellano", 3082}, {"espanol", 3082}, {"italian", 1040}, {"nederlands", 1043},
    {"dutch", 1043}, {"portugues", 2070}, {"brasileiro", 1046}, {"polish", 1045},
    {"russian", 1049}, {"czech", 1029}, {"danish", 1030}, {"svenska", 1053},
    {"norsk", 1044}, {"finnish", 1035}, {"hungarian", 1038}, {"catala", 1027},
};

TLanguage knownLanguage(const QString &name)
{
    for (const KnownDictionary &k : kKnown)
        if (name == QLatin1String(k.name))
            return k.langNo;
    return 0;
}

// One record of a Debian ispell description file ("Key: value" lines,
// records separated by blank lines).
using Record = std::map<QString, QString>;

QList<Record> readRecords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Record> records;
    Record current;
    const QList<QByteArray> lines = file.read(1024 * 1024).split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            if (line.isEmpty() && !current.empty())
                records.append(std::exchange(current, {}));
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            current[line.left(colon).trimmed().toLower()] = line.mid(colon + 1).trimmed();
    }
    if (!current.empty())
        records.append(current);
    return records;
}

QString field(const Record &r, const char *key)
{
    const auto it = r.find(QLatin1String(key));
    return it == r.end() ? QString() : it->second;
}

// How well a record suits a plain-text pipe: UTF-8, then Latin-1, then the
// dictionary's default; TeX and other markup modes last.
int suitability(const Record &r)
{
    const QString mode = field(r, "extended-character-mode");
    if (mode == QLatin1String("~utf8"))
        return 3;
    if (mode == QLatin1String("~latin1"))
        return 2;
    return mode.isEmpty() ? 1 : 0;
}

QString charsetOf(const Record &r)
{
    const QString mode = field(r, "extended-character-mode");
    if (mode == QLatin1String("~utf8"))
        return QStringLiteral("UTF-8");
    if (mode == QLatin1String("~latin1"))
        return QStringLiteral("iso-8859-1");
    const QString coding = field(r, "coding-system").toLower();
    if (coding == QLatin1String("utf-8") || coding == QLatin1String("utf8"))
        return QStringLiteral("UTF-8");
    return coding;
}

QString quotedArgument(const QString &arg)
{
    return arg.contains(u' ') || arg.contains(u'"') ? u'"' + QString(arg).replace(u'"', QLatin1String("\"\"\"")) + u'"'
                                                    : arg;
}

Dictionary fromRecord(const QString &hashName, const Record &r, const Sources &sources)
{
    Dictionary d;
    d.name = hashName;
    d.description = field(r, "language");
    d.charset = charsetOf(r);
    d.langNo = knownLanguage(hashName);
    if (d.langNo == 0)
        d.langNo = LanguageOfLocaleName(field(r, "locale"));
    QStringList args = QProcess::splitCommand(field(r, "ispell-args"));
    if (!args.contains(QLatin1String("-d")))
        args << QStringLiteral("-d") << hashName;
    const QString mode = field(r, "extended-character-mode");
    const bool hasFormat = std::any_of(args.cbegin(), args.cend(), [](const QString &a) { return a.startsWith(QLatin1String("-T")); });
    if (!hasFormat && (mode == QLatin1String("~utf8") || mode == QLatin1String("~latin1")))
        args << QStringLiteral("-T") + mode.mid(1);
    d.cmd = quotedArgument(sources.ispellProgram) + QLatin1String(" -a");
    for (const QString &a : args)
        d.cmd += u' ' + quotedArgument(a);
    return d;
}

} // namespace

Sources systemSources()
{
    Sources s;
    s.ispellProgram = QStandardPaths::findExecutable(QStringLiteral("ispell"));
    s.libraryFolder = QStringLiteral("/usr/lib/ispell");
    s.infoFolder = QStringLiteral("/var/lib/dictionaries-common/ispell");
    return s;
}

QList<Dictionary> findDictionaries(const Sources &sources)
{
    if (sources.ispellProgram.isEmpty())
        return {};
    const QDir library(sources.libraryFolder);
    // The best record of each dictionary, by name.
    std::map<QString, Record> best;
    const QDir info(sources.infoFolder);
    for (const QString &file : info.entryList(QDir::Files, QDir::Name)) {
        for (const Record &r : readRecords(info.filePath(file))) {
            const QString hash = field(r, "hash-name");
            if (hash.isEmpty() || hash.contains(u'/') || !library.exists(hash + QLatin1String(".hash")))
                continue;
            const auto it = best.find(hash);
            if (it == best.end() || suitability(r) > suitability(it->second))
                best[hash] = r;
        }
    }
    QList<Dictionary> dictionaries;
    // A dictionary known only in a markup mode (TeX's 8-bit accents) would
    // misread plain text.
    for (const auto &[hash, record] : best)
        if (suitability(record) > 0)
            dictionaries.append(fromRecord(hash, record, sources));
    // Without description files: the well-known names whose hash is there.
    if (best.empty()) {
        for (const KnownDictionary &k : kKnown) {
            const QString name = QLatin1String(k.name);
            if (library.exists(name + QLatin1String(".hash")))
                dictionaries.append(fromRecord(name, Record{}, sources));
        }
    }
    return dictionaries;
}

QByteArray iniText(const Dictionary &d)
{
    QString text = MarkerLine + QLatin1String("\n");
    if (!d.description.isEmpty())
        text += QLatin1String("; ") + d.description + u'\n';
    text += u'[' + d.name + QLatin1String("]\n");
    text += QLatin1String("LangNo=") + QString::number(d.langNo) + u'\n';
    text += QLatin1String("Cmd=") + d.cmd + u'\n';
    text += QLatin1String("Charset=") + d.charset + u'\n';
    return text.toUtf8();
}

namespace {

bool isOurs(const QString &iniPath)
{
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(file.readLine(4096)).trimmed() == MarkerLine;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(ISpellIni::MaximumFileBytes) : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

Result refresh(Registry &registry, const QString &defaultFolder, const QList<Dictionary> &dictionaries)
{
    Result result;
    std::optional<QString> named = ISpellIni::installationFolder(registry);
    if (!named || named->isEmpty()) {
        registry.setValue(ISpellIni::AppPathKey, ISpellIni::PathValue, QDir::toNativeSeparators(defaultFolder));
        result.registryChanged = true;
        named = ISpellIni::installationFolder(registry);
    }
    result.folder = *named;
    QDir root(result.folder);
    if (!root.exists() && !QDir().mkpath(result.folder)) {
        result.problems << result.folder;
        return result;
    }
    QStringList wanted;
    for (const Dictionary &d : dictionaries) {
        wanted << d.name;
        const QString ini = root.filePath(d.name + u'/' + ISpellIni::FileName);
        const bool exists = QFileInfo::exists(ini);
        if (exists && (!isOurs(ini) || contents(ini) == iniText(d)))
            continue;
        if (!root.mkpath(d.name) || !writeFile(ini, iniText(d)))
            result.problems << ini;
    }
    // Files written for dictionaries that are gone.
    for (const QString &folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString ini = root.filePath(folder + u'/' + ISpellIni::FileName);
        if (!wanted.contains(folder) && isOurs(ini) && !QFile::remove(ini))
            result.problems << ini;
    }
    return result;
}

} // namespace ISpellInstallation
