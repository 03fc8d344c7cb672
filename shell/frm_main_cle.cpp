// Opening another key: File > Open key..., the keys opened last, and the key named on the
// command line or opened last at start-up. The new key is loaded whole into a model of its own,
// and replaces the key in use only once it has loaded and been scored; a path without a usable
// key is told, and the key in use stays as it was.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>

#include "documents/documents.h"
#include "engine/answering.h"
#include "engine/drawing_layers.h"
#include "engine/refresh.h"
#include "knowledge/file_lookup.h"
#include "knowledge/jet/jet_cache.h"
#include "knowledge/key_model.h"
#include "knowledge/key_opening.h"
#include "knowledge/loader.h"
#include "platform/cache_folder.h"
#include "platform/dialog_service.h"
#include "platform/metafile/metafile.h"
#include "platform/metafile/palette_sampling.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "shell/cles_recentes.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "shell/marques_contradictions.h"
#include "shell/registre.h"
#include "ui_frmMain.h"
#include "views/robot_view.h"

namespace tarvenko {

struct frmMain::CleChargee {
    KeyModel modele;
    ResultatChargement chargement;
    Rafraichissement premier; // the refresh after the reset, already made on `modele`
    QString nom;              // shown in the caption; empty for the installation's key
    bool installee = false;   // the key the settings name: its paths are the settings'
};

namespace {

// The palette from a key's own colour chart; false when it has none.
bool echantillonneNuancier(KeyModel &m, const std::string &chemin)
{
    const std::optional<Metafile> nuancier = Metafile::load(qs(resoutChemin(chemin)));
    if (!nuancier)
        return false;
    Echantillonne_Palette(m, nuancier->toImage(QSize(std::max(300, 40 * static_cast<int>(m.Nb_Couleurs)), 48)));
    return true;
}

bool memeFichier(const std::string &a, const std::string &b)
{
    const QFileInfo fa(qs(resoutChemin(a))), fb(qs(resoutChemin(b)));
    return fa.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

QString raisonEmplacement(std::int16_t langue, const ErreurCle &erreur)
{
    switch (erreur.probleme) {
    case ProblemeCle::Introuvable: return texteOuAnglais(langue, 1165);
    case ProblemeCle::SansBase: return texteOuAnglais(langue, 1166);
    case ProblemeCle::PlusieursBases: return texteOuAnglais(langue, 1167);
    case ProblemeCle::PasUneBase: return texteOuAnglais(langue, 1168);
    case ProblemeCle::Conversion: break;
    }
    return texteOuAnglais(langue, 1169) + QLatin1Char('\n') + qs(erreur.texte);
}

QString raisonChargement(std::int16_t langue, const KeyModel &k, const ResultatChargement &r)
{
    using Etat = ResultatChargement::Etat;
    QString detail;
    switch (r.etat) {
    case Etat::Ok: return {};
    case Etat::BaseInaccessible:
        detail = qs(Message_Base_Inaccessible(k.Chemin_Base, r.erreur.numero));
        if (!r.erreur.message.empty())
            detail += QLatin1Char('\n') + qs(r.erreur.message);
        break;
    case Etat::PoidsInaccessible:
    case Etat::MatriceInaccessible: detail = qs(r.chemin); break;
    case Etat::PoidsIllisible:
    case Etat::MatriceIllisible: detail = qs(r.chemin) + QLatin1Char(' ') + texteOuAnglais(langue, 1171); break;
    }
    return texteOuAnglais(langue, 1170) + QLatin1Char('\n') + detail;
}

// A path as the list keeps it: absolute, so that it means the same from any working folder.
QString absolu(const QString &chemin) { return QDir::cleanPath(QFileInfo(chemin).absoluteFilePath()); }

} // namespace

QString frmMain::titreCle(const QString &nom) const
{
    return nom.isEmpty() ? m_titreProgramme : m_titreProgramme + QStringLiteral(" \u2014 ") + nom;
}

std::unique_ptr<frmMain::CleChargee> frmMain::Charge_Cle(const QString &chemin, QString &raison, bool classe)
{
    const std::int16_t langue = m_ctx.modele.Num_Langue;
    const std::string cache = dossierCacheBases();
    ErreurCle erreur;
    const std::optional<EmplacementCle> e = Trouve_Cle(us(chemin), cache, erreur);
    if (!e) {
        raison = raisonEmplacement(langue, erreur);
        return nullptr;
    }

    auto cle = std::make_unique<CleChargee>();
    KeyModel &k = cle->modele;
    // The options as they are now (the options dialog stores each of them), the installation's
    // paths unless the key lies elsewhere.
    Lit_Registre(k, m_ctx.reglages);
    k.Num_Langue = langue;
    // A tolerance of mismatches raised in this session stays raised.
    k.Ecarts_Toleres = m_ctx.modele.Ecarts_Toleres;
    k.Suffixe_Langue = m_ctx.modele.Suffixe_Langue;
    cle->installee = memeFichier(k.Chemin_Base, e->dossier + e->base);
    if (!cle->installee) {
        Applique_Emplacement(k, *e);
        cle->nom = qs(e->nom);
    }
    const std::string nuancier = cle->installee ? Chemin_Nuancier(m_ctx.reglages) : k.Chemin_Data + "couleur.wmf";
    cle->chargement = Charge_Connaissances(
        k,
        [&](KeyModel &model) {
            // A key without a chart of its own has no drawing to click.
            if (!echantillonneNuancier(model, nuancier) && m_ctx.echantillonnePalette)
                m_ctx.echantillonnePalette(model);
        },
        jet::preparateur(cache));
    if (cle->chargement.etat != ResultatChargement::Etat::Ok) {
        raison = raisonChargement(langue, k, cle->chargement);
        return nullptr;
    }
    Nettoye(k);
    // At start-up the window scores the key itself; the layers are what could still fail.
    if (classe)
        cle->premier = ::tarvenko::Actualise_Identification(k, chargeurImages());
    else
        cle->premier.calques = Choisit_Calques(k, chargeurImages());
    if (cle->premier.calques.echec) {
        // A drawing layer that cannot be loaded would end the program once the key is in use.
        raison = texteOuAnglais(langue, 1170) + QLatin1Char('\n') + texteOuAnglais(langue, 1077) +
                 QStringLiteral(" Fichier : ") + qs(*cle->premier.calques.echec);
        return nullptr;
    }
    return cle;
}

void frmMain::Installe_Cle(CleChargee &cle)
{
    KeyModel &m = m_ctx.modele;
    // Nothing of the old key stays on show: its page, drawing, zoom, legend and flags.
    m_documents->Oublie_Dessin();
    m_documents->Sans_Page();
    m = std::move(cle.modele);
    m_texteContradictions.clear();
    m_marques->setMarques({});

    // As at start-up: the list, the tree filled when first shown, the scores, the bars.
    Remplit_Liste_Esp({});
    m_ui->Tree_esp->clear();
    m_arbreARemplir = true;
    if (m_ui->Tree_esp->isVisible())
        remplitArbreSiBesoin();
    appliqueRafraichissement(cle.premier);
    m_ui->Robot->invalide();
    m_ui->Small_Robot->invalide();
    Charge_Barre_Deter();
    Charge_Barre_Question();

    // A new identification, under the new key's caption.
    m.Titre_Fenetre = us(titreCle(cle.nom));
    m.Fichier_Courant.clear();
    Affiche_Titre();
    m_ui->mnuFileSave->setEnabled(false);
    m_ui->mnuFileSaveAs->setEnabled(false);
    Desactive_Bouton(QStringLiteral("Save"));
    m.Modifie = false;

    Montre_Identification();
    m_ui->mnuViewSpecies->setChecked(false);
    m_ui->mnuViewResults->setChecked(false);
    m_ui->mnuViewIdentification->setChecked(true);
    statutRepos();
    Arrange_Fenetre();
    m_ui->Robot->update();
    if (cle.chargement.valeursIgnorees > 0)
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1804).arg(cle.chargement.valeursIgnorees),
                                       texteOuAnglais(m.Num_Langue, 1050), BoutonsMessage::Ok, IconeMessage::Warning});
}

bool frmMain::Ouvre_Cle(const QString &chemin)
{
    KeyModel &m = m_ctx.modele;
    QString raison;
    std::unique_ptr<CleChargee> cle;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    cle = Charge_Cle(chemin, raison);
    QApplication::restoreOverrideCursor();
    if (!cle) {
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1164).arg(QDir::toNativeSeparators(chemin)) +
                                           QStringLiteral("\n\n") + raison + QStringLiteral("\n\n") +
                                           texteOuAnglais(m.Num_Langue, 1172),
                                       texteOuAnglais(m.Num_Langue, 1161), BoutonsMessage::Ok, IconeMessage::Warning});
        return false;
    }
    // The key left stays one choice away, the installation's by its database file.
    const QString ancienne = m_cheminCle.isEmpty() ? absolu(qs(resoutChemin(m.Chemin_Base))) : m_cheminCle;
    Installe_Cle(*cle);
    m_cheminCle = cle->installee ? QString() : absolu(chemin);
    QStringList recentes = Ajoute_Cle_Recente(Lit_Cles_Recentes(m_ctx.reglages), ancienne);
    Ecrit_Cles_Recentes(m_ctx.reglages, Ajoute_Cle_Recente(recentes, absolu(chemin)));
    // The next start opens it too; the installation's key is opened by the settings as always.
    Ecrit_Cle_Demarrage(m_ctx.reglages, m_cheminCle);
    Remplit_Cles_Recentes();
    return true;
}

void frmMain::mnuFileOpenKey_Click()
{
    const KeyModel &m = m_ctx.modele;
    if (Impression_En_Cours() || !Demande_Sauvegarde(1161))
        return;
    // Beside the key in use: keys are often kept together.
    const QString ici = m_cheminCle.isEmpty() ? qs(resoutChemin(m.Chemin_Data)) : m_cheminCle;
    const std::optional<QString> choisi = m_ctx.dialogues.fichierOuDossier(
        this,
        DemandeFichier{texteOuAnglais(m.Num_Langue, 1161), texteOuAnglais(m.Num_Langue, 1162), QString(), QString(),
                       QFileInfo(ici).absolutePath()},
        texteOuAnglais(m.Num_Langue, 1163));
    if (!choisi || choisi->isEmpty())
        return;
    Ouvre_Cle(*choisi);
}

void frmMain::Ouvre_Cle_Recente(const QString &chemin)
{
    if (Impression_En_Cours() || !Demande_Sauvegarde(1161))
        return;
    if (Ouvre_Cle(chemin) || QFileInfo::exists(chemin))
        return;
    // Gone from the disk: it leaves the list once the user has been told.
    Ecrit_Cles_Recentes(m_ctx.reglages, Retire_Cle_Recente(Lit_Cles_Recentes(m_ctx.reglages), chemin));
    if (Lit_Cle_Demarrage(m_ctx.reglages) == chemin)
        Ecrit_Cle_Demarrage(m_ctx.reglages, QString());
    Remplit_Cles_Recentes();
}

void frmMain::Remplit_Cles_Recentes()
{
    for (QAction *action : std::as_const(m_clesRecentes))
        delete action;
    m_clesRecentes.clear();
    // Below Open key..., before the separator that follows it.
    const QList<QAction *> menu = m_ui->mnuFile->actions();
    const qsizetype ici = menu.indexOf(m_ui->mnuFileOpenKey);
    QAction *avant = ici >= 0 && ici + 1 < menu.size() ? menu[ici + 1] : nullptr;
    const QStringList cles = Lit_Cles_Recentes(m_ctx.reglages);
    for (qsizetype i = 0; i < cles.size(); ++i) {
        const QString chemin = cles[i];
        auto *action = new QAction(Texte_Cle_Recente(static_cast<int>(i + 1), QDir::toNativeSeparators(chemin),
                                                     QDir::toNativeSeparators(QDir::homePath())),
                                   this);
        action->setObjectName(QStringLiteral("mnuFileKey%1").arg(i + 1));
        action->setData(chemin);
        action->setStatusTip(QDir::toNativeSeparators(chemin));
        action->setToolTip(QDir::toNativeSeparators(chemin));
        connect(action, &QAction::triggered, this, [this, chemin] { Ouvre_Cle_Recente(chemin); });
        m_ui->mnuFile->insertAction(avant, action);
        m_clesRecentes << action;
    }
}

namespace {

// The documents settings the options dialog writes, "Fin" standing for absent as Lit_Registre reads it.
const std::pair<const char *, const char *> kDocuments[] = {{"Documents", "Adresse"}, {"Options", "Distribution"}};

} // namespace

QStringList frmMain::documentsUtilisateur() const
{
    QStringList valeurs;
    for (const auto &[section, cle] : kDocuments)
        valeurs << m_ctx.reglages.valeurUtilisateur(QLatin1String(section), QLatin1String(cle), QStringLiteral("Fin"));
    return valeurs;
}

void frmMain::rendDocumentsUtilisateur(const QStringList &valeurs)
{
    if (m_cheminCle.isEmpty())
        return;
    qsizetype i = 0;
    for (const auto &[section, cle] : kDocuments) {
        const QString valeur = valeurs.value(i++);
        if (m_ctx.reglages.valeurUtilisateur(QLatin1String(section), QLatin1String(cle), QStringLiteral("Fin")) != valeur)
            m_ctx.reglages.ecritValeurUtilisateur(QLatin1String(section), QLatin1String(cle), valeur);
    }
}

std::optional<ResultatChargement> frmMain::Charge_Cle_Demarrage(const QString &cle)
{
    KeyModel &m = m_ctx.modele;
    m_titreProgramme = windowTitle();
    Remplit_Cles_Recentes();
    // The command line's key for this run; else the one the user last opened from the window.
    const bool demandee = !cle.isEmpty();
    const QString chemin = demandee ? cle : Lit_Cle_Demarrage(m_ctx.reglages);
    if (chemin.isEmpty())
        return std::nullopt;
    QString raison;
    std::unique_ptr<CleChargee> charge = Charge_Cle(chemin, raison, false);
    if (!charge) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1164).arg(QDir::toNativeSeparators(chemin)) +
                                           QStringLiteral("\n\n") + raison + QStringLiteral("\n\n") +
                                           texteOuAnglais(m.Num_Langue, 1173),
                                       texteOuAnglais(m.Num_Langue, 1161), BoutonsMessage::Ok, IconeMessage::Warning});
        QApplication::restoreOverrideCursor();
        if (!demandee) {
            // Not again at the next start; and off the list if it is gone.
            Ecrit_Cle_Demarrage(m_ctx.reglages, QString());
            if (!QFileInfo::exists(chemin)) {
                Ecrit_Cles_Recentes(m_ctx.reglages, Retire_Cle_Recente(Lit_Cles_Recentes(m_ctx.reglages), chemin));
                Remplit_Cles_Recentes();
            }
        }
        return std::nullopt;
    }
    // The window resets and scores it as it does any key it loads.
    m = std::move(charge->modele);
    m_cheminCle = charge->installee ? QString() : absolu(chemin);
    setWindowTitle(titreCle(charge->nom));
    if (demandee) {
        Ecrit_Cles_Recentes(m_ctx.reglages, Ajoute_Cle_Recente(Lit_Cles_Recentes(m_ctx.reglages), absolu(chemin)));
        Remplit_Cles_Recentes();
    }
    return std::move(charge->chargement);
}

} // namespace tarvenko
