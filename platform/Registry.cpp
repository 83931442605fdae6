#include "Registry.h"

FileRegistry::FileRegistry(const QString &path) { load(path); }
bool FileRegistry::load(const QString &path, QString *) { m_path = path; return true; }
bool FileRegistry::save(QString *) const { return true; }
bool FileRegistry::keyExists(const QString &key) const { return m_keys.contains(key.toLower()); }
std::optional<QString> FileRegistry::value(const QString &key, const QString &name) const
{
    auto it = m_keys.find(key.toLower());
    if (it == m_keys.end() || !it->contains(name.toLower()))
        return std::nullopt;
    return it->value(name.toLower());
}
void FileRegistry::setValue(const QString &key, const QString &name, const QString &value)
{
    m_keys[key.toLower()][name.toLower()] = value;
    m_keyNames[key.toLower()] = key;
}
void FileRegistry::removeKey(const QString &key) { m_keys.remove(key.toLower()); }
