#include "platform/settings_store.h"

#include <QSettings>

namespace tarvenko {

namespace {

QSettings machineSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::SystemScope, QString::fromLatin1(SettingsStore::kApplicationTitle),
                     QString::fromLatin1(SettingsStore::kApplicationTitle));
}

QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(SettingsStore::kApplicationTitle),
                     QString::fromLatin1(SettingsStore::kApplicationTitle));
}

} // namespace

SettingsStore::SettingsStore(Valeurs fallback) : m_fallback(std::move(fallback)) {}

bool SettingsStore::installe() const
{
    const QSettings machine = machineSettings();
    return !machine.allKeys().isEmpty();
}

bool SettingsStore::cleMachineExiste(const QString &key) const
{
    QSettings machine = machineSettings();
    machine.beginGroup(key);
    if (!machine.childKeys().isEmpty())
        return true;
    const QString prefix = key + QLatin1Char('/');
    for (auto it = m_fallback.cbegin(); it != m_fallback.cend(); ++it) {
        if (it.key().startsWith(prefix))
            return true;
    }
    return false;
}

std::optional<QString> SettingsStore::valeurMachine(const QString &key, const QString &name) const
{
    // Value by value: a machine file that sets only some values (the language, say) leaves
    // every other one to the stand-in.
    const QString path = key + QLatin1Char('/') + name;
    const QSettings machine = machineSettings();
    if (machine.contains(path))
        return machine.value(path).toString();
    const auto it = m_fallback.constFind(path);
    if (it == m_fallback.cend())
        return std::nullopt;
    return *it;
}

QString SettingsStore::valeurUtilisateur(const QString &section, const QString &key, const QString &defaut) const
{
    QSettings user = userSettings();
    user.setFallbacksEnabled(false);
    return user.value(section + QLatin1Char('/') + key, defaut).toString();
}

void SettingsStore::ecritValeurUtilisateur(const QString &section, const QString &key, const QString &value)
{
    QSettings user = userSettings();
    user.setFallbacksEnabled(false);
    user.setValue(section + QLatin1Char('/') + key, value);
    user.sync();
}

} // namespace tarvenko
