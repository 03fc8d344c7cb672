#pragma once

#include <QMap>
#include <QString>

#include <optional>

namespace tarvenko {

// The program's settings, in two places:
// - machine-wide values written by the installation or an administrator, read only: the groups
//   "Logiciel", "Documents" and "Options" of the system-scope file Tarvenko/Tarvenko.ini under
//   the XDG configuration folders (/etc/xdg by default). Qt reads that file in every folder of
//   XDG_CONFIG_DIRS, a value of an earlier folder hiding the same value of a later one, so an
//   installation outside /usr is found once its etc/xdg is in that list;
// - per-user values written by the options dialog: the user-scope file Tarvenko/Tarvenko.ini
//   under the user's configuration folder (~/.config by default).
// A program that was built but never installed has no machine file; `fallback` then stands in
// for it (the paths of the bundled sample knowledge base), value by value, so that a machine file
// holding only some values still finds the others there.
class SettingsStore final {
public:
    static constexpr const char *kApplicationTitle = "Tarvenko";

    // Machine values used where the machine-wide file has none: key "Group/Name" -> value.
    using Valeurs = QMap<QString, QString>;

    explicit SettingsStore(Valeurs fallback = {});

    // Whether a machine key ("Options", "Logiciel", "Documents") can be opened: it holds at least
    // one value, in the machine file or in the fallback.
    bool cleMachineExiste(const QString &key) const;
    // A machine string value; nothing when the key or the value does not exist.
    std::optional<QString> valeurMachine(const QString &key, const QString &name) const;

    // A per-user value, or `defaut` when it is absent.
    QString valeurUtilisateur(const QString &section, const QString &key, const QString &defaut) const;
    void ecritValeurUtilisateur(const QString &section, const QString &key, const QString &value);

    // Whether the machine values come from an installed file (false: the built-in fallback).
    bool installe() const;

private:
    Valeurs m_fallback;
};

} // namespace tarvenko
