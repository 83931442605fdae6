#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A hierarchical key/value store in the shape of the Windows registry:
// keys are backslash-separated paths ("HKEY_CLASSES_ROOT\\.txt"), each with
// named values and a default value (empty name). Leading, trailing and
// doubled backslashes in a key path do not matter.
class Registry
{
public:
    virtual ~Registry() = default;
    // True for a key that was set and for every key above one.
    virtual bool keyExists(const QString &key) const = 0;
    virtual std::optional<QString> value(const QString &key, const QString &name = QString()) const = 0;
    virtual void setValue(const QString &key, const QString &name, const QString &value) = 0;
    // Removes the key with all its values and subkeys.
    virtual void removeKey(const QString &key) = 0;
    // Names of the direct subkeys of key, as written, in ascending order.
    virtual QStringList subKeys(const QString &key) const = 0;
    // Names of the values of key, as written; the default value's name is empty.
    virtual QStringList valueNames(const QString &key) const = 0;
};

// The registry kept in a text file beside the program (on systems without a
// registry). Keys and value names compare case-insensitively, as the
// registry's do. The file is UTF-8 in the form of the registry editor's
// exports: "[key]" lines, then "@=" (default) or "\"name\"=" value lines;
// see Registry.cpp for the escapes.
class FileRegistry : public Registry
{
public:
    FileRegistry() = default;
    explicit FileRegistry(const QString &path);

    // Replaces the contents with the file's. A damaged file is read as far as
    // it makes sense: lines that are not understood are skipped and counted.
    // False (and an empty store) when the file cannot be read; the path is
    // kept for save() in any case.
    bool load(const QString &path, QString *error = nullptr);
    // Writes through a temporary file, so a failed save keeps the old file.
    bool save(QString *error = nullptr) const;
    QString path() const { return m_path; }
    int skippedLines() const { return m_skippedLines; }

    // The file's text for the current contents, and its reading.
    QByteArray serialize() const;
    void parse(const QByteArray &bytes);

    bool keyExists(const QString &key) const override;
    std::optional<QString> value(const QString &key, const QString &name = QString()) const override;
    void setValue(const QString &key, const QString &name, const QString &value) override;
    void removeKey(const QString &key) override;
    QStringList subKeys(const QString &key) const override;
    QStringList valueNames(const QString &key) const override;

private:
    struct Value {
        QString name; // as written
        QString data;
    };
    struct Key {
        QString path; // as written
        QMap<QString, Value> values; // case-folded name -> value
    };
    Key &createKey(const QString &normalizedPath);
    static void storeValue(Key &key, const QString &name, const QString &data);

    QString m_path;
    QMap<QString, Key> m_keys; // case-folded path -> key
    int m_skippedLines = 0;
};
