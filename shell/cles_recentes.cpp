#include "shell/cles_recentes.h"

#include <QDir>

#include "platform/settings_store.h"

namespace tarvenko {

namespace {

const QString kSection = QStringLiteral("Cles");

// "/keys/oak/" and "/keys/oak" are the same place.
QString lieu(const QString &chemin) { return QDir::cleanPath(chemin); }

} // namespace

QStringList Lit_Cles_Recentes(const SettingsStore &store)
{
    QStringList cles;
    for (int i = 1; i <= kNbClesRecentes; ++i) {
        const QString cle = store.valeurUtilisateur(kSection, QStringLiteral("Recente%1").arg(i), QString());
        if (!cle.isEmpty())
            cles << cle;
    }
    return cles;
}

void Ecrit_Cles_Recentes(SettingsStore &store, const QStringList &cles)
{
    for (int i = 1; i <= kNbClesRecentes; ++i)
        store.ecritValeurUtilisateur(kSection, QStringLiteral("Recente%1").arg(i), cles.value(i - 1));
}

QStringList Ajoute_Cle_Recente(QStringList cles, const QString &chemin)
{
    cles = Retire_Cle_Recente(std::move(cles), chemin);
    cles.prepend(chemin);
    while (cles.size() > kNbClesRecentes)
        cles.removeLast();
    return cles;
}

QStringList Retire_Cle_Recente(QStringList cles, const QString &chemin)
{
    cles.removeIf([&](const QString &cle) { return lieu(cle) == lieu(chemin); });
    return cles;
}

QString Lit_Cle_Demarrage(const SettingsStore &store)
{
    return store.valeurUtilisateur(kSection, QStringLiteral("Derniere"), QString());
}

void Ecrit_Cle_Demarrage(SettingsStore &store, const QString &chemin)
{
    store.ecritValeurUtilisateur(kSection, QStringLiteral("Derniere"), chemin);
}

QString Texte_Cle_Recente(int numero, const QString &chemin, const QString &maison)
{
    constexpr qsizetype kLongueur = 50;
    QString texte = lieu(chemin);
    const QString debut = lieu(maison) + QLatin1Char('/');
    if (maison.size() > 1 && texte.startsWith(debut))
        texte = QStringLiteral("~/") + texte.mid(debut.size());
    if (texte.size() > kLongueur) {
        // The first folder, then the last two parts: where it lies and what it is called.
        const QStringList parties = texte.split(QLatin1Char('/'));
        if (parties.size() > 4)
            texte = parties.first() + QStringLiteral("/\u2026/") + parties.mid(parties.size() - 2).join(QLatin1Char('/'));
        if (texte.size() > kLongueur)
            texte = texte.left(kLongueur / 2 - 1) + QStringLiteral("\u2026") + texte.right(kLongueur / 2);
    }
    // A '&' in a name is shown, not taken for the entry's accelerator.
    texte.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(numero) + texte;
}

} // namespace tarvenko
