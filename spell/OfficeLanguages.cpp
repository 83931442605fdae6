#include "spell/OfficeLanguages.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <unicode/uloc.h>

namespace OfficeLanguages {

namespace {

const QString ProofingTools =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\");

bool isOurs(const QString &engine, const QString &ourEngine)
{
    return QFileInfo(engine).fileName() == QFileInfo(ourEngine).fileName();
}

bool isNamedFor(const QString &dicPath, TLanguage language)
{
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    uloc_getLocaleForLCID(language, name, sizeof name - 1, &err);
    return U_SUCCESS(err) && QFileInfo(dicPath).completeBaseName() == QLatin1String(name);
}

} // namespace

QString spellingKey()
{
    return ProofingTools + QStringLiteral("Spelling");
}

QString languageKey(TLanguage language)
{
    return spellingKey() + QStringLiteral("\\%1\\Normal").arg(language);
}

QString customDictionariesKey()
{
    return ProofingTools + QStringLiteral("Custom Dictionaries");
}

TLanguage languageOfDictionary(const QString &dicPath)
{
    const QByteArray locale = QFileInfo(dicPath).completeBaseName().toLatin1();
    if (locale.isEmpty() || locale.size() > 40)
        return 0;
    uint32_t lcid = uloc_getLCID(locale.constData());
    // A bare language ("fr") gives the neutral identifier; take its default sublanguage.
    if (lcid > 0 && lcid < 0x400)
        lcid += 0x400;
    return lcid <= 0xffff ? TLanguage(lcid) : 0;
}

QStringList hunspellDirectories()
{
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell/dicts"),
            QStringLiteral("/usr/local/share/hunspell")};
}

bool registerHunspellDictionaries(Registry &registry, const QString &engine, const QStringList &folders)
{
    QMap<TLanguage, QString> installed;
    for (const QString &folder : folders) {
        // Region names first, so "fr_FR.dic" is preferred to "fr.dic" for 1036.
        QStringList names = QDir(folder).entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name);
        std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return a.contains(u'_') > b.contains(u'_');
        });
        for (const QString &name : names) {
            const QString dic = QDir(folder).filePath(name);
            const QString aff = dic.left(dic.size() - 4) + QStringLiteral(".aff");
            const TLanguage language = languageOfDictionary(dic);
            if (!language || !QFileInfo::exists(aff))
                continue;
            // ICU gives a region it does not know its language's identifier
            // ("de_BE": 1031); the dictionary named like the identifier wins.
            if (!installed.contains(language) || (isNamedFor(name, language) && !isNamedFor(installed.value(language), language)))
                installed.insert(language, dic);
        }
    }

    bool changed = false;
    for (const QString &sub : registry.subKeys(spellingKey())) {
        bool ok = false;
        const TLanguage language = TLanguage(sub.toUInt(&ok));
        const QString key = languageKey(language);
        const QString registered = registry.value(key, QStringLiteral("Engine")).value_or(QString());
        if (ok && isOurs(registered, engine) && !installed.contains(language)
            && !QFileInfo::exists(registry.value(key, QStringLiteral("Dictionary")).value_or(QString()))) {
            registry.removeKey(spellingKey() + u'\\' + sub);
            changed = true;
        }
    }
    for (auto it = installed.cbegin(); it != installed.cend(); ++it) {
        const QString key = languageKey(it.key());
        const QString oldEngine = registry.value(key, QStringLiteral("Engine")).value_or(QString());
        const QString oldDict = registry.value(key, QStringLiteral("Dictionary")).value_or(QString());
        const bool foreignAndWorking = !oldEngine.isEmpty() && !isOurs(oldEngine, engine)
                                       && QFileInfo::exists(oldEngine) && QFileInfo::exists(oldDict);
        if (foreignAndWorking || (oldEngine == engine && oldDict == it.value()))
            continue;
        // Our key stays on the dictionary chosen earlier while that file exists.
        const QString dict = isOurs(oldEngine, engine) && QFileInfo::exists(oldDict) ? oldDict : it.value();
        if (oldEngine == engine && oldDict == dict)
            continue;
        registry.setValue(key, QStringLiteral("Engine"), engine);
        registry.setValue(key, QStringLiteral("Dictionary"), dict);
        changed = true;
    }
    return changed;
}

} // namespace OfficeLanguages
