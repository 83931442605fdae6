#pragma once

#include <QMap>
#include <QString>

#include <optional>

// A hierarchical key/value store in the shape of the Windows registry:
// keys are backslash-separated paths ("HKEY_CLASSES_ROOT\\.txt"), each with
// named values and a default value (empty name).
class Registry
{
public:
    virtual ~Registry() = default;
    virtual bool keyExists(const QString &key) const = 0;
    virtual std::optional<QString> value(const QString &key, const QString &name = QString()) const = 0;
    virtual void setValue(const QString &key, const QString &name, const QString &value) = 0;
    virtual void removeKey(const QString &key) = 0;
};

// The registry kept in a text file beside the program (on systems without a
// registry). Keys compare case-insensitively, as the registry's do.
class FileRegistry : public Registry
{
public:
    FileRegistry() = default;
    explicit FileRegistry(const QString &path);

    bool load(const QString &path, QString *error = nullptr);
    bool save(QString *error = nullptr) const;
    QString path() const { return m_path; }

    bool keyExists(const QString &key) const override;
    std::optional<QString> value(const QString &key, const QString &name = QString()) const override;
    void setValue(const QString &key, const QString &name, const QString &value) override;
    void removeKey(const QString &key) override;

private:
    QString m_path;
    QMap<QString, QMap<QString, QString>> m_keys; // lower-cased key -> name -> value
    QMap<QString, QString> m_keyNames;             // lower-cased key -> key as written
};
