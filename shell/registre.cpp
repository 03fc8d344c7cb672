#include "shell/registre.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "knowledge/numeric.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

const QString kFin = QStringLiteral("Fin");

// The folder holding data/, robot/, descripteurs/ and documents/ of the sample knowledge base.
QString sampleRoot()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        QDir(appDir).filePath(QStringLiteral("../share/tarvenko/sample")),
#ifdef TARVENKO_BUILD_SAMPLE_DIR
        QStringLiteral(TARVENKO_BUILD_SAMPLE_DIR),
#endif
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(QDir(candidate).filePath(QStringLiteral("data"))))
            return QDir(candidate).canonicalPath();
    }
    return candidates.constLast();
}

} // namespace

SettingsStore::Valeurs Valeurs_Sans_Installation()
{
    const QString root = sampleRoot() + QLatin1Char('/');
    return {
        {QStringLiteral("Logiciel/Data"), root + QStringLiteral("data/")},
        {QStringLiteral("Logiciel/Base"), QStringLiteral("Tarvenko.db")},
        {QStringLiteral("Logiciel/Descripteurs"), root + QStringLiteral("descripteurs/")},
        {QStringLiteral("Logiciel/Executables"), QCoreApplication::applicationDirPath() + QLatin1Char('/')},
        {QStringLiteral("Logiciel/Robot"), root + QStringLiteral("robot/")},
        {QStringLiteral("Documents/Adresse"), root + QStringLiteral("documents/")},
        {QStringLiteral("Options/Curseur"), QStringLiteral("True")},
        {QStringLiteral("Options/Distribution"), QStringLiteral("hd")},
        {QStringLiteral("Options/Valeur"), QStringLiteral("0")},
    };
}

std::int16_t Langue_Demarrage(const SettingsStore &store, const QLocale &systeme)
{
    const QString user = store.valeurUtilisateur(QStringLiteral("Options"), QStringLiteral("Langue"), QStringLiteral("-1"));
    if (const auto value = enEntier16(valeurNumerique(us(user))); value && *value != -1)
        return *value;
    if (store.cleMachineExiste(QStringLiteral("Options"))) {
        if (const auto machine = store.valeurMachine(QStringLiteral("Options"), QStringLiteral("Langue")))
            return enEntier16(valeurNumerique(us(*machine))).value_or(0);
    }
    switch (systeme.language()) {
    case QLocale::Spanish: return 1;
    case QLocale::French: return 2;
    default: return 0;
    }
}

void Lit_Registre(KeyModel &m, const SettingsStore &store)
{
    const QString documents = QStringLiteral("Documents");
    const QString logiciel = QStringLiteral("Logiciel");
    const QString options = QStringLiteral("Options");

    // A value that cannot be read leaves its variable as it was.
    if (const auto v = store.valeurMachine(documents, QStringLiteral("Adresse")))
        m.Adresse_Documents = us(*v);
    if (const auto v = store.valeurMachine(logiciel, QStringLiteral("Data")))
        m.Chemin_Data = us(*v);
    if (const auto v = store.valeurMachine(logiciel, QStringLiteral("Base")))
        m.Chemin_Base = m.Chemin_Data + us(*v);
    if (const auto v = store.valeurMachine(logiciel, QStringLiteral("Descripteurs")))
        m.Chemin_Descripteurs = us(*v);
    if (const auto v = store.valeurMachine(logiciel, QStringLiteral("Executables")))
        m.Chemin_Executables = us(*v);
    if (const auto v = store.valeurMachine(logiciel, QStringLiteral("Robot")))
        m.Chemin_Robot = us(*v);
    if (const auto v = store.valeurMachine(options, QStringLiteral("Curseur"))) {
        if (const auto b = texteEnBooleen(us(*v)))
            m.Curseur_Dynamique = *b;
    }
    if (const auto v = store.valeurMachine(options, QStringLiteral("Distribution")))
        m.Distribution = us(*v);
    if (const auto v = store.valeurMachine(options, QStringLiteral("Valeur"))) {
        if (const auto n = enEntier16(valeurNumerique(us(*v))))
            m.Seuil_Affichage = *n;
    }

    const QString distribution = store.valeurUtilisateur(options, QStringLiteral("Distribution"), kFin);
    if (distribution != kFin)
        m.Distribution = us(distribution);
    const QString valeur = store.valeurUtilisateur(options, QStringLiteral("Valeur"), QStringLiteral("-1"));
    if (const auto n = enEntier16(valeurNumerique(us(valeur))); n && *n != -1)
        m.Seuil_Affichage = *n;
    const QString adresse = store.valeurUtilisateur(documents, QStringLiteral("Adresse"), kFin);
    if (adresse != kFin)
        m.Adresse_Documents = us(adresse);
    const QString curseur = store.valeurUtilisateur(options, QStringLiteral("Curseur"), kFin);
    if (curseur != kFin) {
        if (const auto b = texteEnBooleen(us(curseur)))
            m.Curseur_Dynamique = *b;
    }

    // The tolerance of numeric answers, a percentage: a value that is no number, or a negative
    // one, keeps the default.
    const auto tolerance = [&](const QString &texte) {
        bool ok = false;
        const double t = texte.trimmed().toDouble(&ok);
        if (ok && std::isfinite(t) && t >= 0)
            m.Tolerance_Num = t;
    };
    if (const auto v = store.valeurMachine(options, QStringLiteral("Tolerance")))
        tolerance(*v);
    const QString toleranceUtilisateur = store.valeurUtilisateur(options, QStringLiteral("Tolerance"), kFin);
    if (toleranceUtilisateur != kFin)
        tolerance(toleranceUtilisateur);

    // The tolerance of mismatches: species with more are hidden; -1 (or any negative value, or
    // a value that is no number) hides none.
    const auto ecarts = [&](const QString &texte) {
        bool ok = false;
        const int n = texte.trimmed().toInt(&ok);
        if (ok)
            m.Ecarts_Toleres = static_cast<std::int16_t>(std::clamp(n, -1, 32767));
    };
    m.Ecarts_Toleres = -1;
    if (const auto v = store.valeurMachine(options, QStringLiteral("Ecarts")))
        ecarts(*v);
    const QString ecartsUtilisateur = store.valeurUtilisateur(options, QStringLiteral("Ecarts"), kFin);
    if (ecartsUtilisateur != kFin)
        ecarts(ecartsUtilisateur);

    m.Question_Passee = false;
}

std::string Chemin_Nuancier(const SettingsStore &store)
{
    const QString user = store.valeurUtilisateur(QStringLiteral("Logiciel"), QStringLiteral("Data"), kFin);
    if (user != kFin)
        return us(user) + "couleur.wmf";
    if (const auto data = store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Data")))
        return us(*data) + "couleur.wmf";
    return us(sampleRoot() + QStringLiteral("/data/couleur.wmf"));
}

} // namespace tarvenko
