#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

#include <memory>

// Qt's own texts (standard dialog buttons, file and font dialogs, context
// menus of edit fields) in the interface language, from the translations Qt
// ships. Installed on the application while the object lives.
class QtTranslations
{
public:
    explicit QtTranslations(const QString &translationsDir = QString());
    ~QtTranslations();

    // Replaces the installed translation by language's; false when Qt has
    // none for it (English needs none and gives true).
    bool apply(QLocale::Language language);
    QLocale::Language language() const { return m_language; }

    // The language whose own name is caption ("&Français" gives French;
    // an accelerator mark is ignored); AnyLanguage when none is.
    static QLocale::Language languageNamed(const QString &caption);

private:
    void remove();

    QString m_dir;
    QLocale::Language m_language = QLocale::English;
    std::unique_ptr<QTranslator> m_translator;
};
