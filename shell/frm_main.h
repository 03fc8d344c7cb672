#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/discriminant.h"
#include "engine/drawing_layers.h"
#include "knowledge/species_group.h"

class QAction;
class QMenu;
class QPrinter;
class QTemporaryDir;
class QLabel;
class QToolButton;
class QMouseEvent;
class QTreeWidgetItem;

namespace Ui {
class frmMain;
}

namespace tarvenko {

struct Contexte;
class Documents;
class frmPrint;
class MarquesContradictions;
class frmAide;
struct FicheProprietes;
struct KeyModel;
class SaisieNumView;
class PlaceLegende;
class ListeQuestionsView;
struct Rafraichissement;
class LignesEspeces;
struct ListeEspeces;
struct ClicBarreDeter;
struct ResultatChargement;
enum class Occasion;

// The main window: loads the whole knowledge base when it loads, holds every view of the
// identification, and asks before the program ends.
class frmMain final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    // Positions on tbToolBar, counted from 1 with the separators: the document buttons that the
    // results and species views show.
    static constexpr int kPremierBoutonDocument = 13;
    static constexpr int kDernierBoutonDocument = 22;

    explicit frmMain(Contexte &ctx, QWidget *parent = nullptr);
    ~frmMain() override;

    // Loads everything, in the start-up order. `ligneCommande` is the command line: an
    // identification file to open at the end. `cle`, when given, is the key to open in place of
    // the one the settings name (see Charge_Cle_Demarrage). False when the program must end (a refused second
    // instance or a fatal error); the context's `fin` has then been called.
    bool Form_Load(const QString &ligneCommande, const QString &cle = QString());

    // Enables or disables the first tool-bar button whose key is `Cle`.
    void Active_Bouton(const QString &Cle);
    void Desactive_Bouton(const QString &Cle);
    // Tool-bar button at a position counted from 1 (separators count), or nullptr.
    QAction *boutonBarre(int position) const;

    // Runs a command of the menus and the tool bar.
    void Traiter_Fichier(const QString &Commande, const QString &Nom_Fichier);
    // What became of a save: written, given up in the Save dialog, or failed (the user has been
    // told why, and the identification is still modified).
    enum class Sauvegarde { Faite, Abandonnee, Echouee };
    // Saves the identification (asks for a file when it has none).
    Sauvegarde Exec_Save();
    // Places the panes of the window for the current view, the splitter's column as the layout
    // rules give it.
    void Arrange_Fenetre();

    // The identification and question views.
    void Charge_Barre_Deter();
    void Charge_Barre_Question();
    void Recharge_Barre();
    void Montre_Question(const std::string &Popup);
    // The question of numeric character `c` (its position in Caracteres_Num): an entry for the
    // number where the state pictures go.
    void Montre_Question_Num(int c);
    void Montre_Identification();
    void Maitre_Discriminant();
    // The list of the questions in the place of the drawing in the identification view (false:
    // the drawing). Shown from any view, it brings the identification view back.
    void Montre_Liste_Questions(bool oui);

    // The results and species views.
    void Montre_Resultats();
    void Montre_Especes();
    // Makes the species of the selected line (the first without one) current and opens its page.
    void Liste_Esp_Click();
    // The browser's side: pages, Back, Forward, Stop, legend and zoom.
    Documents &documents() { return *m_documents; }

    // The window in the interface language Num_Langue, when the options dialog has changed it:
    // menus, tool bar, bars, tree roots, legend, question list, the question or the status text on
    // show, and the species' page opened again in that language. Nothing when the window already
    // speaks it.
    void Change_Langue();
    // Comparing species and identifying within a group (frm_main_comparaison.cpp).
    // View > Compare the chosen species: the species chosen in the tree when it is shown, else
    // in the list; two to five of them, else the user is told how to choose them.
    void mnuViewCompare_Click();
    // View > Compare with...: the species whose page is shown, with others chosen in a dialog.
    void mnuViewCompareWith_Click();
    // The differences between `especes` (species numbers) as a page in the browser pane.
    void Montre_Comparaison(const std::vector<int> &especes);
    // The species chosen in the tree (when it is shown) or in the list, each once, in the order
    // they are shown.
    std::vector<int> Especes_Choisies() const;
    // Keeps the identification within `groupe`, or among every species with nothing; the
    // ranking, the legend and the caption follow.
    void Identifie_Dans(const std::optional<Groupe_Especes> &groupe);
    // The context menu of a node of the species tree, of a line of the list: the groups of its
    // species to identify within, lifting the group, comparing.
    std::unique_ptr<QMenu> Menu_Arbre(QTreeWidgetItem *node);
    std::unique_ptr<QMenu> Menu_Liste(int ligne);
    // File > Print a dichotomous key.
    void mnuFilePrintKey_Click();

    bool Modifie() const;
    KeyModel &modele();
    bool Saisie_En_Cours() const { return m_Saisie_En_Cours; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_QueryUnload(bool &cancel);
    void Form_Unload();
    void Actualise_Identification();

    // Commands and identification files.
    // The save question before New and Open, under the title string `titre`: false when the
    // user cancelled the command or the save failed.
    bool Demande_Sauvegarde(int titre);
    void Exec_New();
    void Exec_Open(const QString &Nom_Fichier);
    // Reads `chemin` into the identification; a file that cannot be read leaves everything as it
    // was and says so.
    void Ouvre_Identification(const QString &chemin);
    // The state Saved for `chemin`: caption, menus, Save button, Modifie.
    void Marque_Enregistre(const QString &chemin);
    // The caption: the key's, the group the identification is kept within, the file.
    void Affiche_Titre();
    void connecteComparaison();
    // The entries of a context menu for species s: identifying within its family, its genus,
    // or among all species again; then the comparison commands.
    void ajouteGroupes(QMenu &menu, int s, bool familleDuNoeud);
    // Puts the drawing, or the state pictures of the question, on the clipboard.
    void Exec_Copy();
    void Exec_Print();
    // The grid the program draws for a question without a picture, on one landscape page.
    void Imprime_Grille_Dessinee(QPrinter &printer);
    // Prints the browser's document; asked for while the browser is still printing, it waits for
    // that printout to finish.
    void Imprime_Page();
    void Fin_Impression_Page();
    // The identification itself on paper, or into a PDF file the user names.
    void mnuFilePrintReport_Click();
    void mnuFileExportReport_Click();
    // The drawing is being printed: its progress window is brought forward, and the caller, a
    // command that would change what is printed or close the window, does not start.
    bool Impression_En_Cours();
    void Montre_Contradictions();
    // Ends the display of contradictions: overlays dropped, the normal determination bar.
    void Efface_Contradictions_Affichees();
    // Shows the user guide in the help window.
    void Exec_Help();

    // The help of a question (frm_main_aide.cpp): its page, found by Page_Aide_Question, shown
    // in the help window. The question in view is the one asked (grid or number), else the one
    // current in the question list; "" for none.
    std::string questionEnVue() const;
    QString pageAide(const std::string &objet) const;
    bool Ouvre_Page_Aide(const std::string &objet);
    // Shows `page` in the help window (made the first time), titled with the string `titre`.
    void montreAide(const QString &page, int titre);
    // The status bar's Help button, shown while the question in view has a page.
    void actualiseAideQuestion();
    // The differences page on show written again in the interface language, in its place.
    void Traduit_Comparaison();
    bool ecritComparaison(const QString &fichier, const std::vector<int> &especes);
    // The ranking's legend in the results box, whole in its tip.
    void afficheLegende(const QString &texte);
    // The help window, if it is open, shows what it showed in the interface language.
    void aideDansLaLangue();
    // F1 on the grid or the number's entry of a question that has a page of help.
    bool toucheAide(QObject *watched, QEvent *event);
    // The facts of the knowledge base in use, in a dialog.
    void mnuFileProperties_Click();
    void appliqueRafraichissement(const Rafraichissement &r);
    // The species list, the legend and the question list after a scoring.
    void montreListe(const ListeEspeces &liste);
    // The tolerance of mismatches left no species: offers to raise it by one, and re-ranks.
    void Propose_Tolerance();
    // Replaces every line of the species list.
    void Remplit_Liste_Esp(const LignesEspeces &lignes);
    // Fills the species tree widget from the model's tree if it has not been since loading.
    void remplitArbreSiBesoin();
    void mnuHelpAbout_Click();
    void installeIcones();
    void connecteCommandes();
    void connecteVues();
    Charge_Image chargeurImages();
    void statut(const QString &text);
    // The first panel when nothing is asked: the contradictions on show, else, before the first
    // answer, what a new user can do; else nothing.
    void statutRepos();
    // Tool bar's Copy and Edit > Copy together: on while the drawing or the state pictures are
    // shown, off while a document is (nothing would be copied).
    void permetCopie(bool oui);
    // The Errors button (and the one after it) and View > Errors.
    void montreErreurs(bool oui);

    // Bars and questions.
    void Barre_Deter_Click(QAction *bouton);
    // Shows the question a click of the determination bar (or the question list) chose.
    void Ouvre_Question_Choisie(const ClicBarreDeter &r);
    void Barre_Question_Click(QAction *bouton);
    void afficheRecherche(ResultatRecherche resultat);
    // Records the number typed for the numeric question on show (an empty entry withdraws the
    // answer). False, with the reason shown, when the text is no number.
    bool Prend_Valeur_Num();
    void montreBarreQuestion(bool boutonPasser);
    // The Tab order of every view; run again whenever a bar gets new buttons.
    void ordonneTabulation();

    // The question list: shown, instead of the drawing, when the identification view is on show
    // and the user chose it; its questions opened, their answers withdrawn.
    void placeListeQuestions();
    void Liste_Questions_Ouvre(const QString &objet, bool numerique);
    void Liste_Questions_Retire(const QString &objet, bool numerique);

    // The drawing.
    void Robot_MouseDown(Qt::MouseButton button, QPointF position);
    void Robot_Click();
    void Robot_MouseMove(QPointF position);
    std::string couleurSous(int pixelX, int pixelY);

    // View menu.
    void mnuViewIdentification_Click();
    // The options dialog; the species list follows a new threshold once it closes.
    void mnuViewOptions_Click();
    void basculeBarre(QWidget *barre, QAction *menu);
    void mnuViewRefresh_Click();
    void changementBureau();
    // The layout, for a View command or for a change of the window's size (Occasion).
    void disposePanneaux(Occasion occasion);
    // The results box over the status bar's second panel where that panel now is.
    void placeResultat();

    // Results and species views, the species list and tree, the splitter.
    void connecteResultats();
    void mnuViewResults_Click();
    void mnuViewSpecies_Click();
    void montreBoutonsDocuments();
    // The current species' page again, in the interface language where the key has it.
    void Rouvre_Page_Espece();
    // Steps of the list click for the selected line; stops early when another line was selected
    // while pending events ran.
    void Ouvre_Ligne_Choisie();
    void Tree_esp_NodeClick(QTreeWidgetItem *node);
    void Barre_Verticale_MouseMove(QMouseEvent *event);
    void Barre_Verticale_MouseUp();

    // Opening another key (frm_main_cle.cpp). The key is loaded whole into a model of its own
    // and replaces the one in use only once it has loaded; until then nothing changes.
    struct CleChargee;
    // File > Open key...: the save question, then a file or a folder.
    void mnuFileOpenKey_Click();
    void Ouvre_Cle_Recente(const QString &chemin);
    // Loads and installs the key at `chemin`; a path without a usable key is told, and false.
    bool Ouvre_Cle(const QString &chemin);
    // The key at `chemin` loaded, its drawing's first layers too, and scored when `classe`; null
    // with the reason otherwise.
    std::unique_ptr<CleChargee> Charge_Cle(const QString &chemin, QString &raison, bool classe = true);
    void Installe_Cle(CleChargee &cle);
    // At start-up: the key `cle` (from the command line), else the one the user opened last,
    // loaded into the model in place of the installation's. Nothing when there is none or it
    // cannot be loaded (the user is told and the installation's key is loaded as always).
    std::optional<ResultatChargement> Charge_Cle_Demarrage(const QString &cle);
    // The caption of the window without a file: the program's name, and the key's if it is not
    // the installation's.
    QString titreCle(const QString &nom) const;
    void Remplit_Cles_Recentes();
    // The user's documents settings around the options dialog: the documents of a key opened from
    // elsewhere are its own, so what the dialog sets for them lasts for this run only.
    QStringList documentsUtilisateur() const;
    void rendDocumentsUtilisateur(const QStringList &valeurs);
    QString m_titreProgramme;   // the caption as the window design gives it
    QString m_cheminCle;        // the path the key in use was opened from; empty: the installation's
    QList<QAction *> m_clesRecentes; // their entries in the File menu

    Contexte &m_ctx;
    std::unique_ptr<Ui::frmMain> m_ui;
    QLabel *m_panneau1 = nullptr;
    PlaceLegende *m_panneau2 = nullptr;
    QToolButton *m_Bouton_Aide = nullptr; // the status bar's Help, for the question in view
    Documents *m_documents = nullptr;
    MarquesContradictions *m_marques = nullptr;
    QString m_texteContradictions; // what the last contradiction check found, while its flags are on show
    frmAide *m_aide = nullptr; // made the first time the help is asked for
    std::optional<std::string> m_aideQuestion; // the question whose help it shows; none: the user guide
    bool m_Liste_Focus = false;
    bool m_Clic_Liste_En_Cours = false;  // a click of Liste_Esp is being handled
    bool m_Clic_Liste_A_Refaire = false; // the selected line changed meanwhile
    bool m_arbreARemplir = false; // Tree_esp waits to be shown before it is filled
    bool m_Saisie_En_Cours = false;
    SaisieNumView *m_Saisie_Num = nullptr; // the entry of a numeric question, over Pic_Choix
    int m_Question_Num = -1;               // the numeric character asked, -1 for none
    ListeQuestionsView *m_Liste_Questions = nullptr; // where the drawing goes, when chosen
    bool m_Montre_Liste = false;                     // the identification view shows the list
    bool m_Sauvegarde_En_Cours = false; // a close asked for meanwhile waits for the save's outcome
    std::int32_t m_Zone_X = 0, m_Zone_Y = 0;
    std::int32_t m_Pixel_X = 0, m_Pixel_Y = 0;
    std::int16_t m_Bouton_Souris = -1;
    // Where the user dropped the splitter, as a proportion of the inner width, until the next
    // layout by the rules; a resize keeps it.
    std::optional<double> m_proportionBarre;
    bool m_charge = false; // the window has finished loading
    std::int16_t m_Langue_Fenetre = -1; // the language the window's texts are in
    bool m_fini = false;   // a fatal error ended the program
    std::unique_ptr<QPrinter> m_imprimante; // the browser's printout in progress, kept until it has finished
    int m_Pages_En_Attente = 0;             // page printouts asked for meanwhile
    QPointer<frmPrint> m_frmPrint;          // the progress window of the drawing's printout on show
    std::unique_ptr<QTemporaryDir> m_pagesProgramme; // the pages the program writes, made on first use
    int m_pagesEcrites = 0;
    // The differences page written last and the species it compares.
    QString m_pageComparaison;
    std::vector<int> m_especesComparees;
};

// The status text of the Errors command for the numeric answers that a species' ranges do not
// hold (positions in Caracteres_Num): each character's name, the number given and its unit.
QString Texte_Contradictions_Num(const KeyModel &m, const std::vector<int> &caracteres);

// A command line as one text: one pair of surrounding double quotes removed.
QString Nettoie_Ligne_Commande(QString ligne);

// The help to open: the user guide of the language (guide_en.html, guide_es.html or
// guide_fr.html) from Chemin_Executables + "help" (where an installation puts it), else from the
// first of `dossiersGuide` that holds it, else Chemin_Executables + "help\Plomix.chm" when it
// exists; empty when there is none.
QString Fichier_Aide(const KeyModel &m, const QStringList &dossiersGuide);
// Where the user guides are looked for: installed beside the program, then the source tree.
QStringList Dossiers_Guide();

// What File > Properties shows of the loaded key, in the language Num_Langue: the database
// file's name and folder, its format (an Access file also gives its own path, since the program
// reads its converted copy), and the counts of species, questions (rows of Objets_Fic), states
// and groups.
FicheProprietes Fiche_Proprietes(const KeyModel &m);

} // namespace tarvenko
