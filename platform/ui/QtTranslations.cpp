#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtTranslations::QtTranslations(const QString &translationsDir)
    : m_dir(translationsDir.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : translationsDir)
{
}

QtTranslations::~QtTranslations()
{
    remove();
}

void QtTranslations::remove()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
}

bool QtTranslations::apply(QLocale::Language language)
{
    if (language == m_language && (m_translator || language == QLocale::English))
        return true;
    remove();
    m_language = language;
    if (language == QLocale::English || language == QLocale::AnyLanguage || language == QLocale::C)
        return language != QLocale::AnyLanguage;
    auto translator = std::make_unique<QTranslator>();
    // "qt_xx" gathers the Qt modules' catalogues; qtbase holds the widgets' texts.
    const QLocale locale(language);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), m_dir)
        && !translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), m_dir))
        return false;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
    return true;
}

QLocale::Language QtTranslations::languageNamed(const QString &caption)
{
    QString name = caption;
    name.remove(u'&');
    name = name.trimmed();
    if (name.isEmpty())
        return QLocale::AnyLanguage;
    for (int l = QLocale::Abkhazian; l <= QLocale::LastLanguage; ++l) {
        const auto language = QLocale::Language(l);
        const QLocale locale(language);
        if (locale.language() != language)
            continue;
        if (locale.nativeLanguageName().compare(name, Qt::CaseInsensitive) == 0
            || QLocale::languageToString(language).compare(name, Qt::CaseInsensitive) == 0)
            return language;
    }
    return QLocale::AnyLanguage;
}
