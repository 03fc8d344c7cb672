#include "shell/frm_main.h"

#include <QAction>
#include <QPrinter>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "documents/documents.h"
#include "engine/answering.h"
#include "engine/mismatches.h"
#include "engine/numeric_characters.h"
#include "engine/refresh.h"
#include "platform/metafile/metafile_picture.h"
#include "knowledge/jet/jet_cache.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/loader.h"
#include "layout/ajuste_barre.h"
#include "platform/cache_folder.h"
#include "platform/dialog_service.h"
#include "platform/qt_text.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_splash.h"
#include "shell/localisation.h"
#include "shell/marques_contradictions.h"
#include "shell/registre.h"
#include "shell/saisie_num.h"
#include "ui_frmMain.h"
#include "views/legende_statut.h"
#include "views/vue_liste_especes.h"
#include "views/arbre_especes.h"
#include "views/liste_questions.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initialiseRessources() { Q_INIT_RESOURCE(icons); }

namespace tarvenko {

namespace {

const char *const kKey = "Key";

} // namespace

QString Nettoie_Ligne_Commande(QString ligne)
{
    if (ligne.startsWith(QLatin1Char('"')))
        ligne = ligne.mid(1, ligne.size() - 2);
    return ligne;
}

frmMain::frmMain(Contexte &ctx, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx), m_ui(std::make_unique<Ui::frmMain>())
{
    initialiseRessources();
    m_ui->setupUi(this);
    // The status bar's panels: messages, then the place of the results box.
    m_panneau1 = new QLabel(this);
    m_panneau1->setObjectName(QStringLiteral("sbPanel1"));
    // A long message is cut at the window's edge; it never makes the window wider.
    m_panneau1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panneau2 = new PlaceLegende(this);
    m_panneau2->setObjectName(QStringLiteral("sbPanel2"));
    m_panneau2->setMinimumWidth(300);
    // As wide as the legend where the bar has room (the results box starts two pixels in).
    m_panneau2->setLegende(m_ui->Legende, 6);
    // The help of the question in view, when it has a page.
    m_Bouton_Aide = new QToolButton(this);
    m_Bouton_Aide->setObjectName(QStringLiteral("Aide_Question"));
    m_Bouton_Aide->setAutoRaise(true);
    m_Bouton_Aide->hide();
    m_ui->sbStatusBar->addWidget(m_panneau1, 1);
    m_ui->sbStatusBar->addPermanentWidget(m_Bouton_Aide);
    m_ui->sbStatusBar->addPermanentWidget(m_panneau2);
    // The results box lies over the status bar, outside the central area.
    m_ui->Resultat->setParent(this);
    m_ui->Legende->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);

    m_ui->Robot->setModele(&ctx.modele, true);
    m_marques = new MarquesContradictions(m_ui->Robot, ctx.modele);
    m_ui->Small_Robot->setModele(&ctx.modele, false);
    m_ui->Pic_Choix->setModele(&ctx.modele);
    // A numeric question has no grid: its entry takes the grid's place, and follows its size.
    m_Saisie_Num = new SaisieNumView(m_ui->Pic_Choix);
    auto *placeSaisie = new QVBoxLayout(m_ui->Pic_Choix);
    placeSaisie->setContentsMargins(0, 0, 0, 0);
    placeSaisie->addWidget(m_Saisie_Num);
    m_Saisie_Num->hide();
    // The question list takes the drawing's place when the user chooses it (or the key has no drawing).
    m_Liste_Questions = new ListeQuestionsView(m_ui->centralWidget);
    m_Liste_Questions->setObjectName(QStringLiteral("Liste_Questions"));
    m_Liste_Questions->setEcritNombre([this](double v) { return Ecrit_Nombre(v, localeDeLangue(m_ctx.modele.Num_Langue)); });
    m_Liste_Questions->setModele(&ctx.modele);
    m_Liste_Questions->setAPageAide([this](const std::string &objet) { return !pageAide(objet).isEmpty(); });
    m_Liste_Questions->hide();
    m_ui->Barre_Verticale->setFixedWidth(5);
    Suit_Barre(m_ui->Barre_Deter);
    Suit_Barre(m_ui->Barre_Question);
    for (QWidget *pane : std::initializer_list<QWidget *>{m_ui->Pic_Choix, m_ui->Small_Robot,
                          m_ui->Liste_Esp, m_ui->Tree_esp,
                          m_ui->Barre_Verticale, m_ui->WebTexte,
                          m_ui->Barre_Question})
        pane->hide();
    m_documents = new Documents({ctx.modele, m_ui->WebTexte, m_ui->Barre_Verticale,
                                 [this](const QString &cle) { Active_Bouton(cle); },
                                 [this](const QString &cle) { Desactive_Bouton(cle); }},
                                this);
    installeIcones();
    connecteCommandes();
    connecteVues();
    connecteResultats();
    connecteComparaison();
}

frmMain::~frmMain() = default;

KeyModel &frmMain::modele() { return m_ctx.modele; }
bool frmMain::Modifie() const { return m_ctx.modele.Modifie; }

void frmMain::installeIcones()
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        const QString name = action->property("themeIcon").toString();
        if (!name.isEmpty())
            action->setIcon(QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name))));
    }
}

void frmMain::connecteCommandes()
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->isSeparator())
            continue;
        connect(action, &QAction::triggered, this,
                [this, action] { Traiter_Fichier(action->property(kKey).toString(), QString()); });
    }
    const auto command = [this](QAction *action, const char *word) {
        connect(action, &QAction::triggered, this, [this, word] { Traiter_Fichier(QString::fromLatin1(word), QString()); });
    };
    connect(m_ui->WebTexte, &QWebEngineView::printFinished, this, &frmMain::Fin_Impression_Page);
    command(m_ui->mnuFileNew, "New");
    command(m_ui->mnuFileOpen, "Open");
    command(m_ui->mnuFileSave, "Save");
    command(m_ui->mnuFileSaveAs, "Save");
    command(m_ui->mnuFilePrint, "Print");
    command(m_ui->mnuEditCopy, "Copy");
    command(m_ui->mnuViewErrors, "Contra");
    connect(m_ui->mnuFilePrintReport, &QAction::triggered, this, &frmMain::mnuFilePrintReport_Click);
    connect(m_ui->mnuFileExportReport, &QAction::triggered, this, &frmMain::mnuFileExportReport_Click);
    connect(m_ui->mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->mnuEditIconize, &QAction::triggered, this, &QWidget::showMinimized);
    connect(m_ui->mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
    connect(m_ui->mnuHelpContents, &QAction::triggered, this, &frmMain::Exec_Help);
    connect(m_ui->mnuFileProperties, &QAction::triggered, this, &frmMain::mnuFileProperties_Click);
    connect(m_ui->mnuFileOpenKey, &QAction::triggered, this, &frmMain::mnuFileOpenKey_Click);
    connect(m_ui->mnuViewOptions, &QAction::triggered, this, &frmMain::mnuViewOptions_Click);
}

QAction *frmMain::boutonBarre(int position) const
{
    const QList<QAction *> actions = m_ui->tbToolBar->actions();
    if (position < 1 || position > actions.size())
        return nullptr;
    return actions[position - 1];
}

void frmMain::Active_Bouton(const QString &Cle)
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->property(kKey).toString() == Cle) {
            action->setEnabled(true);
            return;
        }
    }
}

void frmMain::Desactive_Bouton(const QString &Cle)
{
    for (QAction *action : m_ui->tbToolBar->actions()) {
        if (action->property(kKey).toString() == Cle) {
            action->setEnabled(false);
            return;
        }
    }
}

bool frmMain::Form_Load(const QString &ligneCommande, const QString &cle)
{
    KeyModel &m = m_ctx.modele;
    const auto message = [&](const QString &text, const QString &title, BoutonsMessage buttons, IconeMessage icon) {
        return m_ctx.dialogues.message(this, {text, title, buttons, icon});
    };

    Applique_Langue(this, m.Num_Langue);
    m_Langue_Fenetre = m.Num_Langue;
    // The drawing is on show from the start, and can be copied.
    permetCopie(true);
    m.Modifie = false;
    m_Liste_Focus = false;
    m.Index_Document = 0;

    if (m_ctx.instance.autreInstance()) {
        const QString title = texteOuAnglais(m.Num_Langue, 1050);
        if (message(texteOuAnglais(m.Num_Langue, 1067), title, BoutonsMessage::YesNo, IconeMessage::Warning)
            != ReponseMessage::Yes) {
            m_ctx.fin(0);
            return false;
        }
        message(texteOuAnglais(m.Num_Langue, 1068), title, BoutonsMessage::Ok, IconeMessage::Information);
    }

    Lit_Registre(m, m_ctx.reglages);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A key named on the command line, or opened last by the user, in place of the installation's.
    std::optional<ResultatChargement> autreCle = Charge_Cle_Demarrage(cle);
    // An Access (Jet) knowledge base is read from its SQLite conversion, made once into the cache.
    const ResultatChargement loaded = autreCle ? std::move(*autreCle) : Charge_Connaissances(m, [this](KeyModel &model) {
        if (m_ctx.echantillonnePalette)
            m_ctx.echantillonnePalette(model);
        QCoreApplication::processEvents();
    }, jet::preparateur(dossierCacheBases()));
    QApplication::restoreOverrideCursor();

    using Etat = ResultatChargement::Etat;
    const QString title = texteOuAnglais(m.Num_Langue, 1050);
    switch (loaded.etat) {
    case Etat::Ok:
        // Ranges that cannot be read leave those species without data for the character; the
        // key stays usable, but the user should know it is incomplete.
        if (loaded.valeursIgnorees > 0)
            message(texteOuAnglais(m.Num_Langue, 1804).arg(loaded.valeursIgnorees), title, BoutonsMessage::Ok,
                    IconeMessage::Warning);
        break;
    case Etat::BaseInaccessible:
        Erreur_Fatale(m_ctx, this, qs(Message_Base_Inaccessible(m.Chemin_Base, loaded.erreur.numero)));
        return false;
    case Etat::PoidsInaccessible:
    case Etat::MatriceInaccessible:
        Erreur_Fatale(m_ctx, this, qs(loaded.chemin));
        return false;
    case Etat::PoidsIllisible:
    case Etat::MatriceIllisible:
        message(texteOuAnglais(m.Num_Langue, loaded.etat == Etat::PoidsIllisible ? 1069 : 1070), title,
                BoutonsMessage::Ok, IconeMessage::None);
        m_ctx.fin(1);
        return false;
    }

    // The list is filled by the first scoring, below.
    Remplit_Liste_Esp({});
    // The tree widget is filled the first time it is shown: at 10,000 species it has some 60,000
    // nodes, a third of the start-up, for a view that many identifications never open. Until
    // then it stays hidden, as the identification view has it.
    m_ui->Tree_esp->clear();
    m_arbreARemplir = true;
    if (m_ui->Tree_esp->isVisible())
        remplitArbreSiBesoin();
    else
        m_ui->Tree_esp->hide();

    Nettoye(m);
    Actualise_Identification();
    if (m_fini)
        return false;

    m_ui->mnuFileSave->setEnabled(false);
    m_ui->mnuFileSaveAs->setEnabled(false);
    Desactive_Bouton(QStringLiteral("Save"));
    m.Modifie = false;
    m_ui->Robot->update();

    Charge_Barre_Deter();
    Charge_Barre_Question();
    // A key without a drawing lists its questions where the drawing goes; a key with one keeps
    // the drawing as the first view.
    m_ui->mnuViewQuestions->setEnabled(m.Nb_Robot > 0);
    m_ui->tbQuestions->setEnabled(m.Nb_Robot > 0);
    Montre_Liste_Questions(m.Nb_Robot <= 0);
    QCoreApplication::processEvents();
    m_charge = true;
    actualiseAideQuestion();

    m.Titre_Fenetre = us(windowTitle());
    statutRepos();

    if (!ligneCommande.isEmpty())
        Traiter_Fichier(QStringLiteral("Open"), Nettoie_Ligne_Commande(ligneCommande));
    return true;
}

void frmMain::Actualise_Identification()
{
    appliqueRafraichissement(::tarvenko::Actualise_Identification(m_ctx.modele, chargeurImages()));
}

void frmMain::appliqueRafraichissement(const Rafraichissement &r)
{
    KeyModel &m = m_ctx.modele;
    if (r.devientModifie) {
        // Marking as modified: Save As, the Save button, and Save when the identification has a file.
        Active_Bouton(QStringLiteral("Save"));
        m_ui->mnuFileSaveAs->setEnabled(true);
        if (!m.Fichier_Courant.empty())
            m_ui->mnuFileSave->setEnabled(true);
    }
    for (const std::string &text : r.calques.messages)
        m_ctx.dialogues.message(this, {qs(text), QString(), BoutonsMessage::Ok, IconeMessage::None});
    if (r.calques.echec) {
        m_fini = true;
        Erreur_Fatale(m_ctx, this, qs(*r.calques.echec));
        return;
    }
    // New answers: flags and text of an earlier contradiction check no longer apply.
    m_texteContradictions.clear();
    m_marques->setMarques({});
    if (!r.calques.recharges.empty()) {
        m_ui->Robot->invalide();
        m_ui->Small_Robot->invalide();
    }
    montreListe(r.liste);
    if (r.liste.toleranceVide)
        Propose_Tolerance();
}

void frmMain::montreListe(const ListeEspeces &liste)
{
    Remplit_Liste_Esp(liste.lignes);
    afficheLegende(qs(liste.legende));
    m_Liste_Questions->actualise();
}

void frmMain::afficheLegende(const QString &texte)
{
    m_ui->Legende->setText(texte);
    m_ui->Legende->setToolTip(texte);
    // The status bar gives the panel under the box the legend's width where it can.
    m_panneau2->updateGeometry();
}

void frmMain::Propose_Tolerance()
{
    KeyModel &m = m_ctx.modele;
    // Each Yes raises the tolerance by one, for this session only (the setting keeps its value),
    // until some species is left or the user declines; the empty list stays then.
    for (;;) {
        const DemandeMessage question{qs(Message_Tolerance(m)), QString(), BoutonsMessage::YesNo, IconeMessage::Question};
        if (m.Ecarts_Toleres >= 32767 || m_ctx.dialogues.message(this, question) != ReponseMessage::Yes)
            return;
        ++m.Ecarts_Toleres;
        const ListeEspeces liste = Affiche_Especes(m);
        montreListe(liste);
        if (!liste.toleranceVide)
            return;
    }
}

void frmMain::remplitArbreSiBesoin()
{
    if (!m_arbreARemplir)
        return;
    m_arbreARemplir = false;
    Remplit_Tree_esp(m_ui->Tree_esp, Arbre_Des_Especes(m_ctx.modele), localeDeLangue(m_ctx.modele.Num_Langue));
}

void frmMain::Remplit_Liste_Esp(const LignesEspeces &lignes)
{
    m_ui->Liste_Esp->setLignes(m_ctx.modele, lignes);
}

Charge_Image frmMain::chargeurImages()
{
    return [](const std::string &path) -> std::shared_ptr<const Picture> { return MetafilePicture::load(qs(path)); };
}

void frmMain::statut(const QString &text) { m_panneau1->setText(text); }

void frmMain::statutRepos()
{
    const KeyModel &m = m_ctx.modele;
    if (!m_texteContradictions.isEmpty()) {
        statut(m_texteContradictions);
        return;
    }
    if (std::any_of(m.Etat_Choisi.begin(), m.Etat_Choisi.end(), [](auto etat) { return etat != 0; }) || Nombres_Donnes(m)) {
        statut(QString());
        return;
    }
    // The bar's own name for the search command, as the user sees it on the button.
    QString recherche = QStringLiteral("Search");
    for (const ButDeterRow &row : m.Base_Donnees.But_Deter.rows) {
        const Champ<std::string> caption = Texte_Bouton_Deter(m.Base_Donnees, row, "Caption", m.Num_Langue);
        if (row.Key.value_or("") == "Search" && caption && !caption->empty()) {
            recherche = qs(*caption).remove(QLatin1Char('&'));
            break;
        }
    }
    // Where the list stands in the drawing's place, the hint points at the list.
    statut(texteOuAnglais(m.Num_Langue, m_Montre_Liste ? 1133 : 1504).replace(QStringLiteral("%1"), recherche));
}

void frmMain::permetCopie(bool oui)
{
    if (oui)
        Active_Bouton(QStringLiteral("Copy"));
    else
        Desactive_Bouton(QStringLiteral("Copy"));
    m_ui->mnuEditCopy->setEnabled(oui);
}

void frmMain::montreErreurs(bool oui)
{
    const QList<QAction *> boutons = m_ui->tbToolBar->actions();
    for (qsizetype i = 0; i < boutons.size(); ++i) {
        if (boutons[i]->property(kKey).toString() == QLatin1String("Contra")) {
            boutons[i]->setVisible(oui);
            if (i + 1 < boutons.size())
                boutons[i + 1]->setVisible(oui);
        }
    }
    m_ui->mnuViewErrors->setEnabled(oui);
}

void frmMain::mnuHelpAbout_Click()
{
    // The splash window, shown modally; a click closes it.
    frmSplash about(m_ctx, this, this);
    about.Form_Load();
    about.centre();
    about.exec();
}

void frmMain::Form_QueryUnload(bool &cancel)
{
    KeyModel &m = m_ctx.modele;
    const QString title = windowTitle();
    // The zoom and legend windows stay out of the way of the questions, and come back if the
    // program goes on.
    const Documents::Visibles visibles = m_documents->Cache_Fenetres();
    if (m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1071), title, BoutonsMessage::YesNo,
                                       IconeMessage::Question})
        != ReponseMessage::Yes) {
        m_documents->Rend_Fenetres(visibles);
        cancel = true;
        return;
    }
    if (!m.Modifie)
        return;
    switch (m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1072), title, BoutonsMessage::YesNoCancel,
                                           IconeMessage::Warning})) {
    case ReponseMessage::Cancel:
        m_documents->Rend_Fenetres(visibles);
        cancel = true;
        return;
    case ReponseMessage::Yes:
        // An identification that could not be written keeps the program open, or it would be lost.
        if (Exec_Save() == Sauvegarde::Echouee) {
            m_documents->Rend_Fenetres(visibles);
            cancel = true;
        }
        return;
    default: return;
    }
}

void frmMain::Form_Unload()
{
    // Every other window of the program goes with the main one.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (qsizetype i = windows.size() - 1; i >= 0; --i) {
        if (windows[i] != this)
            windows[i]->close();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A close asked for while a save is under way (from inside one of its dialogs): the save
    // decides first; the user can close once it is done. Likewise under the drawing's printout,
    // whose progress window lets events through.
    if (m_Sauvegarde_En_Cours || Impression_En_Cours()) {
        event->ignore();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

} // namespace tarvenko
