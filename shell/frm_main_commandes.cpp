// The commands of the menus and the tool bar, and the identification file: which file the
// identification belongs to and whether it has changed since it was last saved or opened.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "commands/fichier_identification.h"
#include "commands/frm_print.h"
#include "commands/impression.h"
#include "commands/rapport.h"
#include "documents/documents.h"
#include "engine/answering.h"
#include "engine/contradictions.h"
#include "engine/numeric_characters.h"
#include "engine/scoring.h"
#include "engine/species_groups.h"
#include "knowledge/image_langue.h"
#include "knowledge/jet/jet_file.h"
#include "knowledge/key_model.h"
#include "knowledge/loader.h"
#include "platform/dialog_service.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_aide.h"
#include "shell/frm_main.h"
#include "shell/frm_options.h"
#include "shell/localisation.h"
#include "shell/marques_contradictions.h"
#include "shell/saisie_num.h"
#include "ui_frmMain.h"
#include "views/liste_questions.h"
#include "views/vue_liste_especes.h"
#include "views/barres.h"

namespace tarvenko {

namespace {

// The hourglass while a command works.
class Curseur_Attente {
public:
    Curseur_Attente() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Curseur_Attente() { QApplication::restoreOverrideCursor(); }
    Curseur_Attente(const Curseur_Attente &) = delete;
    Curseur_Attente &operator=(const Curseur_Attente &) = delete;
};

const QString kSave = QStringLiteral("Save");

} // namespace

QString Texte_Contradictions_Num(const KeyModel &m, const std::vector<int> &caracteres)
{
    const QLocale locale = localeDeLangue(m.Num_Langue);
    QStringList nombres;
    for (const int c : caracteres) {
        const Question_Num q = Decrit_Question_Num(m, c);
        QString nombre = qs(q.nom) + QLatin1Char(' ') + (q.valeur ? Ecrit_Nombre(*q.valeur, locale) : QString());
        if (!q.unite.empty())
            nombre += QLatin1Char(' ') + qs(q.unite);
        nombres << nombre;
    }
    return texteOuAnglais(m.Num_Langue, 1807) + nombres.join(QStringLiteral("; "));
}


void frmMain::Traiter_Fichier(const QString &Commande, const QString &Nom_Fichier)
{
    // Compared exactly: "new" is not "New".
    const bool change = Commande == QLatin1String("New") || Commande == QLatin1String("Open") ||
                        Commande == QLatin1String("Print");
    // Under the drawing's printout these would change the identification, or start another
    // printout, between two of its layers.
    if (change && Impression_En_Cours())
        return;
    if (Commande == QLatin1String("New"))
        Exec_New();
    else if (Commande == QLatin1String("Open"))
        Exec_Open(Nom_Fichier);
    else if (Commande == QLatin1String("Save"))
        Exec_Save();
    else if (Commande == QLatin1String("Copy"))
        Exec_Copy();
    else if (Commande == QLatin1String("Print"))
        Exec_Print();
    else if (Commande == QLatin1String("Help"))
        Exec_Help();
    else if (Commande == QLatin1String("Arriere"))
        m_documents->Arriere();
    else if (Commande == QLatin1String("Avant"))
        m_documents->Avant();
    else if (Commande == QLatin1String("Stop"))
        m_documents->Stop();
    else if (Commande == QLatin1String("Contra"))
        Montre_Contradictions();
    else if (Commande == QLatin1String("Questions"))
        Montre_Liste_Questions(!m_Montre_Liste);
}

bool frmMain::Demande_Sauvegarde(int titre)
{
    KeyModel &m = m_ctx.modele;
    if (!m.Modifie)
        return true;
    switch (m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1072), texteOuAnglais(m.Num_Langue, titre),
                                           BoutonsMessage::YesNoCancel, IconeMessage::Warning})) {
    case ReponseMessage::Cancel: return false;
    case ReponseMessage::Yes:
        // The command goes on even when the user then cancels the Save dialog, but not over an
        // identification that could not be written: it would be lost.
        return Exec_Save() != Sauvegarde::Echouee;
    default: return true;
    }
}

void frmMain::Marque_Enregistre(const QString &chemin)
{
    KeyModel &m = m_ctx.modele;
    m.Fichier_Courant = us(chemin);
    Affiche_Titre();
    Desactive_Bouton(kSave);
    m_ui->mnuFileSave->setEnabled(false);
    m_ui->mnuFileSaveAs->setEnabled(true);
    m.Modifie = false;
}

frmMain::Sauvegarde frmMain::Exec_Save()
{
    KeyModel &m = m_ctx.modele;
    if (m_Sauvegarde_En_Cours)
        return Sauvegarde::Abandonnee;
    m_Sauvegarde_En_Cours = true;
    const auto fin = qScopeGuard([this] { m_Sauvegarde_En_Cours = false; });

    QString cible;
    if (!m_ui->mnuFileSave->isEnabled()) {
        const std::optional<QString> choisi = m_ctx.dialogues.fichierAEnregistrer(
            this, DemandeFichier{texteOuAnglais(m.Num_Langue, 1025), texteOuAnglais(m.Num_Langue, 1052),
                                 QStringLiteral("*.ryk"), QStringLiteral(".ryk"), QString()});
        if (!choisi || choisi->isEmpty())
            return Sauvegarde::Abandonnee;
        cible = *choisi;
    } else {
        cible = qs(m.Fichier_Courant);
        if (cible.isEmpty())
            return Sauvegarde::Abandonnee;
    }

    bool ecrit = false;
    std::string erreur;
    {
        Curseur_Attente sablier;
        // The group the identification is kept within goes with its answers.
        ecrit = Ecrit_Identification(us(cible), Identification{m.Etat_Choisi, m.Cadre_Fait, Reponses_Num(m), m.Groupe},
                                     erreur, m_ctx.fichiers ? *m_ctx.fichiers : appelsSysteme());
    }
    if (!ecrit) {
        // The identification is not on disk: it stays modified, under its previous file.
        QString texte = cible + texteOuAnglais(m.Num_Langue, 1074);
        if (!erreur.empty())
            texte += QStringLiteral("\n") + qs(erreur);
        m_ctx.dialogues.message(this, {texte, QString(), BoutonsMessage::Ok, IconeMessage::None});
        return Sauvegarde::Echouee;
    }
    Marque_Enregistre(cible);
    return Sauvegarde::Faite;
}

void frmMain::Exec_Open(const QString &Nom_Fichier)
{
    KeyModel &m = m_ctx.modele;
    QString chemin;
    if (!Nom_Fichier.isEmpty()) {
        // A command-line path names its file as written: on a case-sensitive disk, Oak.ryk and
        // oak.ryk are two files, and Save must go back to the one opened. Only a path that
        // names nothing is looked for in another letter case.
        chemin = QFileInfo::exists(Nom_Fichier) ? Nom_Fichier : qs(resoutChemin(us(Nom_Fichier)));
    } else {
        if (!Demande_Sauvegarde(1024))
            return;
        const std::optional<QString> choisi = m_ctx.dialogues.fichierAOuvrir(
            this, DemandeFichier{texteOuAnglais(m.Num_Langue, 1024), texteOuAnglais(m.Num_Langue, 1052),
                                 QStringLiteral("*.ryk"), QStringLiteral(".ryk"), QString()});
        if (!choisi || choisi->isEmpty())
            return;
        chemin = *choisi;
    }
    Ouvre_Identification(chemin);
}

void frmMain::Ouvre_Identification(const QString &chemin)
{
    KeyModel &m = m_ctx.modele;
    Identification lue;
    const LectureIdentification resultat =
        Lit_Identification(us(chemin), m.Etat_Choisi.size(), m.Cadre_Fait.size(), lue);
    if (resultat != LectureIdentification::Ok) {
        // Unreadable, too short (another key's file) or holding values no answer gives: the
        // identification on screen and the file it belongs to stay as they were.
        m_ctx.dialogues.message(this, {chemin + texteOuAnglais(m.Num_Langue, 1074), QString(), BoutonsMessage::Ok,
                                       IconeMessage::None});
        return;
    }

    Curseur_Attente sablier;
    QCoreApplication::processEvents();
    m.Etat_Choisi = std::move(lue.Etat_Choisi);
    m.Cadre_Fait = std::move(lue.Cadre_Fait);
    // The file holds every numeric answer of its identification: none carried means none given.
    // An answer to a character this key does not have is left out.
    m.Valeur_Num.assign(m.Caracteres_Num.size(), std::nullopt);
    Applique_Reponses_Num(m, lue.Reponses_Num);
    // The group it was kept within, or every species: none carried means none chosen. A group
    // this key does not have leaves every species in play.
    if (!Identifie_Dans_Groupe(m, lue.Groupe))
        Identifie_Dans_Groupe(m, std::nullopt);
    // Contradiction flags belong to the answers being replaced.
    Efface_Contradictions_Affichees();
    Actualise_Identification();
    if (m_fini)
        return;
    // Re-scoring marked the identification as modified: an opened file is not.
    Marque_Enregistre(chemin);
    statutRepos();
    m_ui->Robot->update();
    Montre_Identification();
}

void frmMain::Exec_New()
{
    KeyModel &m = m_ctx.modele;
    if (!Demande_Sauvegarde(1023))
        return;
    {
        Curseur_Attente sablier;
        QCoreApplication::processEvents();
        Nettoye(m);
        Efface_Contradictions_Affichees();
        Actualise_Identification();
        if (m_fini)
            return;
        Lit_Jokers(m);

        m.Fichier_Courant.clear();
        Affiche_Titre();
        m_ui->mnuFileSave->setEnabled(false);
        m_ui->mnuFileSaveAs->setEnabled(false);
        Desactive_Bouton(kSave);
        m.Modifie = false;

        statutRepos();
        m_ui->Robot->update();
        Montre_Identification();
        m_ui->mnuViewSpecies->setChecked(false);
        m_ui->mnuViewResults->setChecked(false);
        m_ui->mnuViewIdentification->setChecked(true);
    }
    QCoreApplication::processEvents();
}

void frmMain::Exec_Copy()
{
    // A document in the browser is not copied; otherwise the state pictures of the question, or
    // the drawing.
    if (m_ui->WebTexte->isVisible())
        return;
    QWidget *source = m_ui->Pic_Choix->isVisible() ? static_cast<QWidget *>(m_ui->Pic_Choix)
                                                   : static_cast<QWidget *>(m_ui->Robot);
    const QImage image = source->grab().toImage();
    if (image.isNull())
        return;
    auto *contenu = new QMimeData;
    contenu->setImageData(image);
    // The question picture also goes as its metafile, for programs that take one.
    if (source == m_ui->Pic_Choix && !m_ui->Pic_Choix->grilleDessinee()) {
        QFile metafile(qs(Chemin_Image_Descripteur(m_ctx.modele, m_ctx.modele.Descripteur_Courant.Popup)));
        if (metafile.open(QIODevice::ReadOnly))
            contenu->setData(QStringLiteral("image/wmf"), metafile.readAll());
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(contenu);
}

QString Fichier_Aide(const KeyModel &m, const QStringList &dossiersGuide)
{
    // The user guide of the language first: a compiled help file needs a reader that this system
    // seldom has, and the guide opens in any web browser.
    const char *const langues[] = {"en", "es", "fr"};
    const int langue = m.Num_Langue >= 0 && m.Num_Langue <= 2 ? m.Num_Langue : 0;
    const QString nom = QStringLiteral("guide_%1.html").arg(QLatin1String(langues[langue]));
    QStringList dossiers = dossiersGuide;
    if (!m.Chemin_Executables.empty())
        dossiers.prepend(qs(resoutChemin(m.Chemin_Executables + "help")));
    for (const QString &dossier : std::as_const(dossiers)) {
        const QFileInfo guide(QDir(dossier).filePath(nom));
        if (guide.isFile())
            return guide.absoluteFilePath();
    }
    const std::string chm = m.Chemin_Executables + "help\\Plomix.chm";
    if (!m.Chemin_Executables.empty() && cheminExiste(chm))
        return QFileInfo(qs(resoutChemin(chm))).absoluteFilePath();
    return {};
}

QStringList Dossiers_Guide()
{
    // Installed next to the program, or the source tree of an uninstalled build.
    const QString programme = QCoreApplication::applicationDirPath();
    return {programme + QStringLiteral("/../share/tarvenko/help"), programme + QStringLiteral("/help"),
            QStringLiteral(TARVENKO_SOURCE_HELP_DIR)};
}

void frmMain::Exec_Help()
{
    // No help installed: nothing is said.
    const QString fichier = Fichier_Aide(m_ctx.modele, Dossiers_Guide());
    if (fichier.isEmpty())
        return;
    if (!fichier.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) {
        // Only a compiled help file, with no guide anywhere: its reader is another program.
        QDesktopServices::openUrl(QUrl::fromLocalFile(fichier));
        return;
    }
    m_aideQuestion.reset();
    montreAide(fichier, 1028);
}

// ---- Properties ----

FicheProprietes Fiche_Proprietes(const KeyModel &m)
{
    const std::int16_t langue = m.Num_Langue;
    const QLocale locale = localeDeLangue(langue);
    FicheProprietes fiche{texteOuAnglais(langue, 1700), {}};
    const auto ligne = [&](int n, const QString &valeur) { fiche.lignes.emplace_back(texteOuAnglais(langue, n), valeur); };

    const QFileInfo base(qs(resoutChemin(m.Chemin_Base)));
    ligne(1701, base.fileName());
    ligne(1702, QDir::toNativeSeparators(base.absolutePath()));
    const char *access = nullptr;
    switch (jet::formatDe(us(base.filePath()))) {
    case jet::FormatFichier::Jet3: access = "Access 97 (Jet 3)"; break;
    case jet::FormatFichier::Jet4: access = "Access 2000-2003 (Jet 4)"; break;
    case jet::FormatFichier::Ace: access = "Access 2007+ (ACE)"; break;
    default: break;
    }
    if (access) {
        ligne(1703, texteOuAnglais(langue, 1710).arg(QLatin1String(access)));
        ligne(1704, QDir::toNativeSeparators(base.absoluteFilePath()));
    } else {
        ligne(1703, texteOuAnglais(langue, 1709));
    }
    ligne(1705, locale.toString(m.Nb_Esp));
    ligne(1706, locale.toString(static_cast<qulonglong>(m.Base_Donnees.Objets_Fic.size())));
    ligne(1707, locale.toString(m.Nb_Etats_Desc));
    ligne(1708, locale.toString(m.Nb_Cadre));
    return fiche;
}

void frmMain::mnuFileProperties_Click() { m_ctx.dialogues.proprietes(this, Fiche_Proprietes(m_ctx.modele)); }

// ---- Options ----

void frmMain::mnuViewOptions_Click()
{
    KeyModel &m = m_ctx.modele;
    const std::int16_t seuil = m.Seuil_Affichage;
    const double tolerance = m.Tolerance_Num;
    const std::int16_t ecarts = m.Ecarts_Toleres;
    {
        const QStringList documents = documentsUtilisateur();
        frmOptions options(m_ctx, this);
        options.Form_Load();
        options.exec();
        rendDocumentsUtilisateur(documents);
    }
    // The window speaks the language chosen (even when the dialog was cancelled after the click
    // that chose it: the messages already do).
    Change_Langue();
    if ((m.Tolerance_Num != tolerance && Nombres_Donnes(m)) || m.Ecarts_Toleres != ecarts) {
        // The numbers given are matched again with the new tolerance, the species ranked again
        // with the new tolerance of mismatches. The answers themselves have not changed: an
        // identification that was not modified stays so.
        const bool modifie = m.Modifie;
        Actualise_Identification();
        if (m_fini)
            return;
        if (!modifie) {
            m.Modifie = false;
            Desactive_Bouton(kSave);
            m_ui->mnuFileSave->setEnabled(false);
            m_ui->mnuFileSaveAs->setEnabled(!m.Fichier_Courant.empty());
        }
    } else if (m.Seuil_Affichage == seuil) {
        return;
    } else {
        // The lines follow the new threshold, and the legend says what they now show (an empty list
        // under " 3 species at 87 %" would contradict it); Nb_Esp_Max keeps the last scoring's count.
        Remplit_Liste_Esp(Lignes_Listees(m));
        afficheLegende(qs(Legende_Especes(m)));
    }
    if (m_ui->Liste_Esp->isVisible()) {
        Liste_Esp_Click();
        m_ui->WebTexte->setFocus();
    }
}

// ---- Printing ----

void frmMain::Imprime_Page()
{
    // The browser prints asynchronously and uses its printer until it tells it has finished: a new
    // printer then would pull the first one from under it.
    if (m_imprimante) {
        ++m_Pages_En_Attente;
        return;
    }
    auto imprimante = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_ctx.dialogues.imprimante(this, *imprimante))
        return;
    m_imprimante = std::move(imprimante);
    m_ui->WebTexte->Imprime(m_imprimante.get());
}

void frmMain::Fin_Impression_Page()
{
    // Told from inside the browser's printing, which may still hold the printer: it goes at the
    // next turn of the event loop, and the next printout asked for starts then.
    QTimer::singleShot(0, this, [this] {
        m_imprimante.reset();
        if (m_Pages_En_Attente > 0) {
            --m_Pages_En_Attente;
            Imprime_Page();
        }
    });
}

void frmMain::mnuFilePrintReport_Click()
{
    if (Impression_En_Cours())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!m_ctx.dialogues.imprimante(this, printer))
        return;
    Curseur_Attente sablier;
    Imprime_Rapport(printer, m_ctx.modele, QDateTime::currentDateTime());
}

void frmMain::mnuFileExportReport_Click()
{
    KeyModel &m = m_ctx.modele;
    if (Impression_En_Cours())
        return;
    // The dialog's title is the menu entry's text without its accelerator and dots.
    QString titre = texteOuAnglais(m.Num_Langue, 1901).remove(QLatin1Char('&'));
    while (titre.endsWith(QLatin1Char('.')))
        titre.chop(1);
    const std::optional<QString> choisi = m_ctx.dialogues.fichierAEnregistrer(
        this, DemandeFichier{titre, texteOuAnglais(m.Num_Langue, 1909), QStringLiteral("*.pdf"), QStringLiteral(".pdf"), QString()});
    if (!choisi || choisi->isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*choisi);
    bool ecrit = false;
    {
        Curseur_Attente sablier;
        ecrit = Imprime_Rapport(printer, m, QDateTime::currentDateTime()) && QFileInfo(*choisi).size() > 0;
    }
    if (!ecrit)
        m_ctx.dialogues.message(this, {*choisi + texteOuAnglais(m.Num_Langue, 1074), QString(), BoutonsMessage::Ok,
                                       IconeMessage::None});
}

void frmMain::mnuFilePrintKey_Click()
{
    KeyModel &m = m_ctx.modele;
    if (Impression_En_Cours())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!m_ctx.dialogues.imprimante(this, printer))
        return;
    bool imprime = false;
    {
        Curseur_Attente sablier;
        imprime = Imprime_Cle_Dichotomique(printer, m);
    }
    if (!imprime) {
        const QString cible = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        m_ctx.dialogues.message(this, {cible + texteOuAnglais(m.Num_Langue, 1074), QString(), BoutonsMessage::Ok,
                                       IconeMessage::None});
    }
}

bool frmMain::Impression_En_Cours()
{
    // The window exists for as long as the printout runs, even when Escape or its frame's close
    // button has hidden it.
    if (!m_frmPrint)
        return false;
    m_frmPrint->show();
    m_frmPrint->raise();
    m_frmPrint->activateWindow();
    return true;
}

void frmMain::Exec_Print()
{
    KeyModel &m = m_ctx.modele;
    if (m_ui->WebTexte->isVisible()) {
        const QString location = m_ui->WebTexte->LocationURL();
        if (qs(m.Distribution) != QLatin1String("hd") || !location.right(17).startsWith(QLatin1String("dessin"))) {
            Imprime_Page();
            return;
        }
        // A drawing page: its full-size picture, one job per copy.
        QPrinter printer(QPrinter::HighResolution);
        if (!m_ctx.dialogues.imprimante(this, printer))
            return;
        const int copies = std::max(1, printer.copyCount());
        printer.setCopyCount(1);
        for (int copy = 0; copy < copies; ++copy)
            Imprime_Image_Dessin(printer, m_documents->Image_Dessin());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!m_ctx.dialogues.imprimante(this, printer))
        return;
    if (m_ui->Robot->isVisible()) {
        const int copies = std::max(1, printer.copyCount());
        printer.setCopyCount(1);
        for (int copy = 0; copy < copies; ++copy) {
            frmPrint progress(this);
            // It lets window events through between layers; the commands check it is there.
            m_frmPrint = &progress;
            progress.show();
            const IssueImpression issue =
                Imprime_Dessin(printer, m, [&](int k) { return progress.avance(k, m.Nb_Robot); });
            progress.hide();
            if (issue != IssueImpression::Imprime)
                break;
        }
    } else if (m_ui->Pic_Choix->isVisible()) {
        // The question picture, once whatever the copies asked for.
        if (m_ui->Pic_Choix->grilleDessinee())
            Imprime_Grille_Dessinee(printer);
        else
            Imprime_Question(printer, qs(Chemin_Image_Descripteur(m, m.Descripteur_Courant.Popup)));
    }
}

void frmMain::Imprime_Grille_Dessinee(QPrinter &printer)
{
    // Laid out as on a screen of 96 dpi, so names and margins keep their size on paper.
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const double echelle = printer.resolution() / 96.0;
    painter.scale(echelle, echelle);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    m_ui->Pic_Choix->dessineGrille(painter, QRectF(0, 0, page.width() / echelle, page.height() / echelle));
    painter.end();
    printer.setPageOrientation(QPageLayout::Portrait);
}

// ---- Contradictions ----

void frmMain::Efface_Contradictions_Affichees()
{
    // The overlays go, and the bar is rebuilt from its table.
    if (::tarvenko::Efface_Contradictions(m_ctx.modele))
        Recharge_Barre();
    m_texteContradictions.clear();
    m_marques->setMarques({});
    m_ui->Robot->invalide();
}

void frmMain::Montre_Contradictions()
{
    KeyModel &m = m_ctx.modele;
    std::optional<int> ligne;
    if (m_ui->Liste_Esp->ligneCouranteChoisie())
        ligne = m_ui->Liste_Esp->currentRow();
    const AffichageContradictions shown = ::tarvenko::Montre_Contradictions(m, ligne, chargeurImages());
    for (const std::string &path : shown.calquesManquants)
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1077) + QStringLiteral(" Fichier : ") + qs(path),
                                       texteOuAnglais(m.Num_Langue, 1050), BoutonsMessage::Ok, IconeMessage::None});
    // The determination bar again, with a contradiction icon on the buttons that carry one.
    std::vector<BoutonBarre> buttons = Boutons_Barre(m, true);
    for (const IconeBouton &icon : shown.icones) {
        const auto index = static_cast<std::size_t>(icon.numero - 1);
        if (icon.numero >= 1 && index < buttons.size()) {
            buttons[index].image = icon.chemin ? qs(*icon.chemin) : QString();
            if (!icon.tip.empty())
                buttons[index].tip = qs(icon.tip);
        }
    }
    Remplit_Barre(m_ui->Barre_Deter, buttons);
    m_marques->setMarques(shown.marques);
    ordonneTabulation();
    m_ui->Robot->invalide();
    m_Saisie_En_Cours = false;
    m_ui->mnuViewIdentification->trigger();
    // Said in words as well: which species, which answers it does not share, and the numbers its
    // ranges do not hold (a number has no button or overlay to carry its flag).
    m_texteContradictions = qs(shown.texte);
    if (Nombres_Donnes(m)) {
        std::vector<int> nombres;
        if (ligne && *ligne >= 0 && static_cast<std::size_t>(*ligne) < m.Classement[1].size())
            nombres = Contradictions_Num(m, static_cast<int>(m.Classement[1][static_cast<std::size_t>(*ligne)]));
        // A species that contradicts only numbers does not "match all your answers".
        if (!nombres.empty())
            m_texteContradictions = shown.contradictions.empty()
                                        ? Texte_Contradictions_Num(m, nombres)
                                        : m_texteContradictions + QStringLiteral("; ") + Texte_Contradictions_Num(m, nombres);
    }
    statutRepos();
}

} // namespace tarvenko
