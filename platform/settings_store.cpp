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
    if (!installe()) {
        const QString prefix = key + QLatin1Char('/');
        for (auto it = m_fallback.cbegin(); it != m_fallback.cend(); ++it) {
            if (it.key().startsWith(prefix))
                return true;
        }
        return false;
    }
    QSettings machine = machineSettings();
    machine.beginGroup(key);
    return !machine.childKeys().isEmpty();
}

std::optional<QString> SettingsStore::valeurMachine(const QString &key, const QString &name) const
{
    const QString path = key + QLatin1Char('/') + name;
    if (!installe()) {
        const auto it = m_fallback.constFind(path);
        if (it == m_fallback.cend())
            return std::nullopt;
        return *it;
    }
    const QSettings machine = machineSettings();
    if (!machine.contains(path))
        return std::nullopt;
    return machine.value(path).toString();
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
