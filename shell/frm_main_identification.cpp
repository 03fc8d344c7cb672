// The identification and question views of the main window: the two button bars, the drawing,
// the state pictures, the proposed question, and the layout of the panes.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "engine/answering.h"
#include "engine/default_bars.h"
#include "engine/determination_bar.h"
#include "engine/numeric_characters.h"
#include "engine/question_bar.h"
#include "engine/question_list.h"
#include "engine/zone_scan.h"
#include "knowledge/image_langue.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/palette.h"
#include "layout/arrange_fenetre.h"
#include "platform/dialog_service.h"
#include "knowledge/file_lookup.h"
#include "platform/metafile/metafile.h"
#include "documents/documents.h"
#include "documents/frm_legende.h"
#include "documents/frm_zoom.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "shell/saisie_num.h"
#include "ui_frmMain.h"
#include "views/legende_statut.h"
#include "views/barres.h"
#include "views/liste_etats.h"
#include "views/liste_questions.h"
#include "views/pic_choix.h"

namespace tarvenko {

namespace {

// Shows the hourglass over a window while a step works.
class Sablier {
public:
    Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sablier() { QApplication::restoreOverrideCursor(); }
    Sablier(const Sablier &) = delete;
    Sablier &operator=(const Sablier &) = delete;
};

} // namespace

void frmMain::connecteVues()
{
    connect(m_ui->Barre_Deter, &QToolBar::actionTriggered, this, &frmMain::Barre_Deter_Click);
    connect(m_ui->Barre_Question, &QToolBar::actionTriggered, this, &frmMain::Barre_Question_Click);
    // The grid's keys: Enter on the chosen state validates, Escape leaves, as their buttons do.
    connect(m_ui->Pic_Choix, &PicChoixView::valide, this,
            [this] { Barre_Question_Click(Bouton_A(m_ui->Barre_Question, Position_Valider)); });
    connect(m_ui->Pic_Choix, &PicChoixView::quitte, this,
            [this] { Barre_Question_Click(Bouton_A(m_ui->Barre_Question, Position_Quitter)); });
    connect(m_ui->Pic_Choix, &PicChoixView::caseClavierChanged, this,
            [this](int, const QString &bulle) { statut(bulle); });
    connect(m_ui->Robot, &RobotView::pressed, this, &frmMain::Robot_MouseDown);
    // Enter in the entry of a numeric question validates it, as the bar's first button does.
    connect(m_Saisie_Num, &SaisieNumView::valide, this, [this] {
        if (QAction *valider = Bouton_A(m_ui->Barre_Question, Position_Valider); valider && m_ui->Barre_Question->isVisible())
            Barre_Question_Click(valider);
    });
    connect(m_ui->Robot, &RobotView::clicked, this, &frmMain::Robot_Click);
    connect(m_ui->Robot, &RobotView::moved, this,
            [this](Qt::MouseButtons, QPointF position) { Robot_MouseMove(position); });
    connect(m_ui->Small_Robot, &RobotView::clicked, this, [this] { m_ui->mnuViewIdentification->trigger(); });
    connect(m_ui->mnuViewIdentification, &QAction::triggered, this, &frmMain::mnuViewIdentification_Click);
    connect(m_ui->mnuViewQuestions, &QAction::triggered, this, [this] { Traiter_Fichier(QStringLiteral("Questions"), QString()); });
    connect(m_Liste_Questions, &ListeQuestionsView::ouvre, this, &frmMain::Liste_Questions_Ouvre);
    connect(m_Liste_Questions, &ListeQuestionsView::retire, this, &frmMain::Liste_Questions_Retire);
    connect(m_Liste_Questions, &ListeQuestionsView::aide, this, [this](const QString &objet) { Ouvre_Page_Aide(us(objet)); });
    connect(m_Liste_Questions, &ListeQuestionsView::courante, this, &frmMain::actualiseAideQuestion);
    connect(m_Bouton_Aide, &QToolButton::clicked, this, [this] { Ouvre_Page_Aide(questionEnVue()); });
    // F1 on a question's grid or entry gives its help (frmMain::toucheAide).
    m_ui->Pic_Choix->installEventFilter(this);
    m_ui->Pic_Choix->listeEtats()->recherche()->installEventFilter(this);
    m_ui->Pic_Choix->listeEtats()->liste()->installEventFilter(this);
    m_Saisie_Num->entree()->installEventFilter(this);
    connect(m_ui->mnuViewToolbar, &QAction::triggered, this, [this] { basculeBarre(m_ui->tbToolBar, m_ui->mnuViewToolbar); });
    connect(m_ui->mnuViewStatusBar, &QAction::triggered, this,
            [this] { basculeBarre(m_ui->sbStatusBar, m_ui->mnuViewStatusBar); });
    connect(m_ui->mnuViewRefresh, &QAction::triggered, this, &frmMain::mnuViewRefresh_Click);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, &frmMain::changementBureau);
    // Positions 10 to 12 only keep the document buttons at their places; they are never shown.
    for (int p = 10; p < kPremierBoutonDocument; ++p) {
        if (QAction *spacer = boutonBarre(p))
            spacer->setVisible(false);
    }
    // The document buttons belong to the results and species views.
    for (int p = kPremierBoutonDocument; p <= kDernierBoutonDocument; ++p) {
        if (QAction *button = boutonBarre(p))
            button->setVisible(false);
    }
}

// ---- Button bars ----

namespace {

// A bar is one button wide, and 100 twips to spare.
void ajusteLargeur(QToolBar *barre)
{
    int width = 0;
    for (QAction *action : barre->actions()) {
        if (QWidget *button = barre->widgetForAction(action); button && !action->isSeparator())
            width = std::max(width, button->sizeHint().width());
    }
    barre->setFixedWidth(width + qRound(100 / twipsParPixelX(barre)));
}

} // namespace

void frmMain::Charge_Barre_Deter()
{
    Remplit_Barre(m_ui->Barre_Deter, Boutons_Barre(m_ctx.modele, true));
    ajusteLargeur(m_ui->Barre_Deter);
    ordonneTabulation();
}

void frmMain::Charge_Barre_Question()
{
    Remplit_Barre(m_ui->Barre_Question, Boutons_Barre(m_ctx.modele, false));
    ajusteLargeur(m_ui->Barre_Question);
    ordonneTabulation();
}

void frmMain::Recharge_Barre()
{
    Remplit_Barre(m_ui->Barre_Deter, Boutons_Barre(m_ctx.modele, true));
    ordonneTabulation();
}

void frmMain::ordonneTabulation()
{
    // Tab goes the way the eye reads: the tool bar, the drawing or the grid, the bar to its
    // right; in the other views the thumbnail, the list or the tree below it, the page.
    QList<QWidget *> ordre;
    const auto boutons = [&ordre](QToolBar *barre) {
        Boutons_Au_Clavier(barre);
        for (QAction *action : barre->actions()) {
            if (QWidget *button = barre->widgetForAction(action); button && !action->isSeparator())
                ordre << button;
        }
    };
    boutons(m_ui->tbToolBar);
    ordre << m_ui->Robot << m_Liste_Questions->recherche() << m_Liste_Questions->findChild<QWidget *>(QStringLiteral("Ouvre_Question"))
          << m_Liste_Questions->findChild<QWidget *>(QStringLiteral("Retire_Reponse")) << m_Liste_Questions->arbre() << m_ui->Pic_Choix;
    boutons(m_ui->Barre_Deter);
    boutons(m_ui->Barre_Question);
    // The page takes the focus through the browser's own widget.
    QWidget *page = m_ui->WebTexte->focusProxy() ? m_ui->WebTexte->focusProxy() : m_ui->WebTexte;
    ordre << m_ui->Small_Robot << m_ui->Liste_Esp << m_ui->Tree_esp << page;
    // Widgets that never take the focus cannot be placed in the chain (setTabOrder ignores them).
    ordre.removeIf([](const QWidget *w) { return w->focusPolicy() == Qt::NoFocus; });
    for (qsizetype i = 0; i + 1 < ordre.size(); ++i)
        QWidget::setTabOrder(ordre[i], ordre[i + 1]);
}

void frmMain::montreBarreQuestion(bool boutonPasser)
{
    KeyModel &m = m_ctx.modele;
    if (QAction *pass = Bouton_A(m_ui->Barre_Question, 2 * Nb_Boutons_Question(m) - 1))
        pass->setVisible(boutonPasser);
    m_ui->Barre_Question->show();
    m_ui->Barre_Question->raise();
}

void frmMain::Ouvre_Question_Choisie(const ClicBarreDeter &r)
{
    KeyModel &m = m_ctx.modele;
    Sablier sablier;
    m_ui->Barre_Deter->hide();
    m.Vue_Courante = 2;
    Montre_Question(m.Descripteur_Courant.Popup);
    statut(qs(Texte_Question(m.Base_Donnees, *r.ligne, m.Num_Langue).value_or("")));
    montreBarreQuestion(false);
}

void frmMain::Barre_Deter_Click(QAction *bouton)
{
    KeyModel &m = m_ctx.modele;
    const ClicBarreDeter r = Clic_Barre_Deter(m, us(bouton->property("tag").toString()));
    switch (r.action) {
    case ClicBarreDeter::Action::Question: Ouvre_Question_Choisie(r); break;
    case ClicBarreDeter::Action::Recherche: Maitre_Discriminant(); break;
    case ClicBarreDeter::Action::Resultats: m_ui->mnuViewResults->trigger(); break;
    case ClicBarreDeter::Action::Rien: break;
    }
}

void frmMain::Barre_Question_Click(QAction *bouton)
{
    KeyModel &m = m_ctx.modele;
    const int position = Position_Bouton(m_ui->Barre_Question, bouton);
    // A text that is no number keeps the question open, for the user to correct it.
    if (m_Question_Num >= 0 && position == Position_Valider && !Prend_Valeur_Num())
        return;
    if (position == Position_Valider) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents();
    }
    const ClicBarreQuestion r = Clic_Barre_Question(m, position, chargeurImages());
    switch (r.action) {
    case ClicBarreQuestion::Action::Validation:
        for (const Incoherence &fault : r.incoherences)
            m_ctx.dialogues.message(this, {qs(Texte_Incoherence(fault)), QString(), BoutonsMessage::Ok, IconeMessage::Warning});
        appliqueRafraichissement(r.rafraichissement);
        if (r.rechargeBarre)
            Recharge_Barre();
        m_ui->Robot->invalide();
        QApplication::restoreOverrideCursor();
        break;
    case ClicBarreQuestion::Action::Passage: afficheRecherche(r.recherche); return;
    case ClicBarreQuestion::Action::Sortie: break;
    }
    statutRepos();
    Montre_Identification();
}

// ---- Questions ----

bool frmMain::Prend_Valeur_Num()
{
    KeyModel &m = m_ctx.modele;
    const QString texte = m_Saisie_Num->texte();
    if (texte.trimmed().isEmpty()) {
        Retire_Num(m, m_Question_Num);
        return true;
    }
    const std::optional<double> valeur = Lit_Nombre(texte, localeDeLangue(m.Num_Langue));
    if (valeur && Repond_Num(m, m_Question_Num, *valeur))
        return true;
    const QString raison = texteOuAnglais(m.Num_Langue, 1803);
    m_ctx.dialogues.message(this, {raison, QString(), BoutonsMessage::Ok, IconeMessage::Warning});
    m_Saisie_Num->refuse(raison);
    return false;
}

void frmMain::Montre_Question_Num(int c)
{
    KeyModel &m = m_ctx.modele;
    m_Question_Num = c;
    m_Saisie_Num->montre(Decrit_Question_Num(m, c), m.Num_Langue);
    m_ui->Pic_Choix->setImage(Metafile());
    m_ui->Pic_Choix->setGeometry(m_ui->Robot->geometry());
    m_ui->Robot->hide();
    m_Liste_Questions->hide();
    m_ui->Pic_Choix->show();
    m_Saisie_Num->show();
    m_ui->Pic_Choix->unsetCursor();
    statut(qs(m.Descripteur_Courant.TipText));
    m_Saisie_Num->entree()->setFocus();
    m_Saisie_En_Cours = false;
    actualiseAideQuestion();
}

void frmMain::Montre_Question(const std::string &Popup)
{
    KeyModel &m = m_ctx.modele;
    std::optional<Metafile> picture;
    bool dessinee = false;
    {
        Sablier sablier;
        // A question without a picture of its own, or whose picture is missing or empty, is
        // shown as a grid the program draws; a picture that is there but unreadable is a fault.
        const QString chemin = qs(Chemin_Image_Descripteur(m, Popup));
        const QFileInfo fichier(chemin);
        if (qs(Popup).trimmed().isEmpty() || !fichier.isFile() || fichier.size() == 0) {
            dessinee = true;
        } else {
            picture = Metafile::load(chemin);
            dessinee = picture && picture->isEmpty();
        }
    }
    if (!picture && !dessinee) {
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1077), texteOuAnglais(m.Num_Langue, 1050),
                                       BoutonsMessage::Ok, IconeMessage::None});
        return;
    }
    m_Question_Num = -1;
    m_Saisie_Num->hide();
    if (dessinee)
        m_ui->Pic_Choix->setGrilleDessinee(Cases_Dessinees(m));
    else
        m_ui->Pic_Choix->setImage(*picture);
    m_ui->Pic_Choix->setGeometry(m_ui->Robot->geometry());
    m_ui->Robot->hide();
    m_Liste_Questions->hide();
    m_ui->Pic_Choix->show();
    // The keys act on the grid at once.
    m_ui->Pic_Choix->setFocus();
    statut(qs(m.Descripteur_Courant.TipText));
    m_ui->Pic_Choix->setCursor(Qt::PointingHandCursor);
    m_Saisie_En_Cours = false;
    actualiseAideQuestion();
}

void frmMain::Montre_Identification()
{
    for (int p = kPremierBoutonDocument; p <= kDernierBoutonDocument; ++p) {
        if (QAction *button = boutonBarre(p))
            button->setVisible(false);
    }
    for (QWidget *pane : std::initializer_list<QWidget *>{m_ui->Small_Robot, m_ui->Pic_Choix,
                          m_ui->Liste_Esp, m_ui->Tree_esp,
                          m_ui->Barre_Verticale, m_ui->WebTexte,
                          m_ui->Barre_Question})
        pane->hide();
    m_documents->Libere_Zoom();
    m_documents->legende()->hide();
    QCoreApplication::processEvents();
    m_ui->Barre_Deter->show();
    m_ui->Robot->show();
    permetCopie(true);
    m_ctx.modele.Vue_Courante = 1;
    m_Saisie_En_Cours = false;
    m_Question_Num = -1;
    m_Saisie_Num->hide();
    placeListeQuestions();
    actualiseAideQuestion();
}

void frmMain::Maitre_Discriminant()
{
    KeyModel &m = m_ctx.modele;
    const ResultatRecherche r = ::tarvenko::Maitre_Discriminant(m);
    if (r.issue == ResultatRecherche::Issue::UneSeuleEspece) {
        afficheRecherche(r);
        return;
    }
    Sablier sablier;
    m_ui->Barre_Deter->hide();
    afficheRecherche(r);
}

void frmMain::afficheRecherche(ResultatRecherche r)
{
    KeyModel &m = m_ctx.modele;
    for (;;) {
        const auto message = [&](BoutonsMessage buttons) {
            return m_ctx.dialogues.message(this, {qs(Message_Recherche(m, r.issue)), QString(), buttons,
                                                  IconeMessage::None});
        };
        switch (r.issue) {
        case ResultatRecherche::Issue::Question:
            statut(qs(m.Descripteur_Courant.TipText));
            m.Vue_Courante = 2;
            if (r.numerique >= 0)
                Montre_Question_Num(r.numerique);
            else
                Montre_Question(m.Descripteur_Courant.Popup);
            QCoreApplication::processEvents();
            montreBarreQuestion(true);
            return;
        case ResultatRecherche::Issue::UneSeuleEspece: message(BoutonsMessage::Ok); return;
        case ResultatRecherche::Issue::AucuneQuestion:
            message(BoutonsMessage::Ok);
            // Nothing is left to ask: back to the drawing rather than to a question bar whose
            // buttons can record nothing. A grid still on show (a retry after a pass that found
            // nothing) belongs to a question the search has closed, so it goes too.
            statutRepos();
            Montre_Identification();
            return;
        case ResultatRecherche::Issue::ProposeReprise:
            if (message(BoutonsMessage::YesNo) != ReponseMessage::Yes) {
                statutRepos();
                Montre_Identification();
                return;
            }
            r = Reprend_Discriminant(m);
            break;
        }
    }
}

// ---- The drawing ----

std::string frmMain::couleurSous(int pixelX, int pixelY)
{
    return Cherche_Couleur(m_ctx.modele, m_ui->Robot->couleur(pixelX, pixelY));
}

void frmMain::Robot_MouseDown(Qt::MouseButton button, QPointF position)
{
    if (button != Qt::LeftButton)
        return;
    m_Pixel_X = qRound(position.x());
    m_Pixel_Y = qRound(position.y());
    m_Bouton_Souris = 1;
    const PointReference z = Vers_Reference(position.x(), position.y(), m_ui->Robot->width(), m_ui->Robot->height());
    m_Zone_X = z.Zone_X;
    m_Zone_Y = z.Zone_Y;
}

void frmMain::Robot_Click()
{
    KeyModel &m = m_ctx.modele;
    if (m_Bouton_Souris != 1) {
        m_Bouton_Souris = -1;
        return;
    }
    if (m_Saisie_En_Cours)
        return;
    m_Saisie_En_Cours = true;
    const ResultatZone z =
        Cherche_Zone(m, m_Zone_X, m_Zone_Y, [this] { return couleurSous(m_Pixel_X, m_Pixel_Y); });
    if (z.parCouleur)
        m_Bouton_Souris = -1;
    if (!z.cible) {
        // A click on no part leaves everything as it was, the view included.
        m_Saisie_En_Cours = false;
        return;
    }
    m.Vue_Courante = 2;
    m_ui->Robot->setCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    Ouvre_Descripteur(m, *z.cible, z.objet);
    m_ui->Barre_Deter->hide();
    QCoreApplication::processEvents();
    Montre_Question(m.Descripteur_Courant.Popup);
    m_ui->Robot->unsetCursor();
    montreBarreQuestion(false);
}

void frmMain::Robot_MouseMove(QPointF position)
{
    KeyModel &m = m_ctx.modele;
    if (m_Saisie_En_Cours || !m.Curseur_Dynamique)
        return;
    const PointReference z = Vers_Reference(position.x(), position.y(), m_ui->Robot->width(), m_ui->Robot->height());
    m_Zone_X = z.Zone_X;
    m_Zone_Y = z.Zone_Y;
    const int px = qRound(position.x()), py = qRound(position.y());
    const ResultatZone hit = Cherche_Zone(m, m_Zone_X, m_Zone_Y, [this, px, py] { return couleurSous(px, py); });
    if (hit.cible) {
        m_ui->Robot->setCursor(Qt::PointingHandCursor);
        const QString tip = qs(Texte_Question(m.Base_Donnees, *hit.cible, m.Num_Langue).value_or(""));
        if (m_ui->Robot->toolTip() != tip) {
            m_ui->Robot->setToolTip(tip);
            QToolTip::showText(m_ui->Robot->mapToGlobal(position.toPoint()), tip, m_ui->Robot);
        }
    } else {
        m_ui->Robot->unsetCursor();
        m_ui->Robot->setToolTip(QString());
        QToolTip::hideText();
    }
}

// ---- View menu and layout ----

void frmMain::mnuViewIdentification_Click()
{
    // The item that already carries the check mark does nothing.
    if (!m_ui->mnuViewIdentification->isChecked()) {
        m_ui->mnuViewIdentification->setChecked(true);
        return;
    }
    m_ui->mnuViewResults->setChecked(false);
    m_ui->mnuViewSpecies->setChecked(false);
    m_ctx.modele.Vue_Courante = 1;
    Montre_Identification();
}

void frmMain::basculeBarre(QWidget *barre, QAction *menu)
{
    Sablier sablier;
    barre->setVisible(menu->isChecked());
    Arrange_Fenetre();
    if (m_ui->Robot->isVisible())
        m_ui->Robot->update();
}

void frmMain::mnuViewRefresh_Click()
{
    Sablier sablier;
    if (m_ui->Robot->isVisible()) {
        Arrange_Fenetre();
        m_ui->Robot->invalide();
    }
    if (m_ui->WebTexte->isVisible())
        m_ui->Small_Robot->invalide();
}

void frmMain::changementBureau()
{
    Place_Sur_Bureau(this);
    Arrange_Fenetre();
    if (m_ui->Robot->isVisible())
        m_ui->Robot->update();
    if (m_ui->WebTexte->isVisible())
        m_ui->Small_Robot->update();
}

void frmMain::Arrange_Fenetre()
{
    m_proportionBarre.reset();
    disposePanneaux(Occasion::Commande);
}

void frmMain::placeResultat()
{
    Panneaux p;
    p.fenetre = this;
    p.sbStatusBar = m_ui->sbStatusBar;
    p.panneau2 = m_panneau2;
    p.Resultat = m_ui->Resultat;
    p.Legende = m_ui->Legende;
    Place_Resultat(p);
}

void frmMain::disposePanneaux(Occasion occasion)
{
    Panneaux p;
    p.fenetre = this;
    p.Robot = m_ui->Robot;
    p.Pic_Choix = m_ui->Pic_Choix;
    p.Small_Robot = m_ui->Small_Robot;
    p.Liste_Esp = m_ui->Liste_Esp;
    p.Tree_esp = m_ui->Tree_esp;
    p.Barre_Verticale = m_ui->Barre_Verticale;
    p.WebTexte = m_ui->WebTexte;
    p.Barre_Deter = m_ui->Barre_Deter;
    p.Barre_Question = m_ui->Barre_Question;
    p.tbToolBar = m_ui->tbToolBar;
    p.sbStatusBar = m_ui->sbStatusBar;
    p.panneau2 = m_panneau2;
    p.Resultat = m_ui->Resultat;
    p.Legende = m_ui->Legende;
    ::tarvenko::Arrange_Fenetre(p, m_ctx.modele.Vue_Courante, occasion, m_proportionBarre);
    placeListeQuestions();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The window follows its frame: the panes are placed again whenever it changes size.
    if (m_charge)
        disposePanneaux(Occasion::Redimensionnement);
}

// ---- The question list ----

void frmMain::Montre_Liste_Questions(bool oui)
{
    KeyModel &m = m_ctx.modele;
    m_Montre_Liste = oui;
    m_ui->mnuViewQuestions->setChecked(oui);
    m_ui->tbQuestions->setChecked(oui);
    // Before the window is shown, the first layout places the list.
    if (!m_charge)
        return;
    if (m.Vue_Courante == 2) {
        // A question on show is left as its Back button would, which returns to the list.
        Barre_Question_Click(Bouton_A(m_ui->Barre_Question, Position_Quitter));
    } else if (m.Vue_Courante != 1) {
        m_ui->mnuViewIdentification->setChecked(false);
        m_ui->mnuViewIdentification->trigger();
    } else {
        if (!oui)
            m_ui->Robot->show();
        placeListeQuestions();
        statutRepos();
    }
}

void frmMain::placeListeQuestions()
{
    m_Liste_Questions->setGeometry(m_ui->Robot->geometry());
    if (!m_Montre_Liste || m_ctx.modele.Vue_Courante != 1 || !m_charge) {
        m_Liste_Questions->hide();
        return;
    }
    m_ui->Robot->hide();
    const bool dejaVisible = m_Liste_Questions->isVisible();
    m_Liste_Questions->show();
    m_Liste_Questions->raise();
    // The keys act on the list at once: on the question last opened, else in the search box.
    if (!dejaVisible && isVisible()) {
        if (m_Liste_Questions->questionCourante().empty())
            m_Liste_Questions->recherche()->setFocus();
        else
            m_Liste_Questions->focusListe();
    }
}

void frmMain::Liste_Questions_Ouvre(const QString &objet, bool numerique)
{
    KeyModel &m = m_ctx.modele;
    if (m_Saisie_En_Cours || m.Vue_Courante != 1)
        return;
    if (numerique) {
        // The entry shows the number already given: the list is where a number is changed.
        const int c = Caractere_Num_De(m, us(objet));
        if (c < 0)
            return;
        const Question_Num q = Decrit_Question_Num(m, c);
        m.Descripteur_Courant = Aucun_Descripteur();
        m.Descripteur_Courant.Objet = q.objet;
        m.Descripteur_Courant.TipText = q.nom;
        m_ui->Barre_Deter->hide();
        m.Vue_Courante = 2;
        Montre_Question_Num(c);
        montreBarreQuestion(false);
        return;
    }
    // As the determination bar's button of the object: the variant the answers call for, its
    // answer preselected.
    const ClicBarreDeter r = Clic_Barre_Deter(m, us(objet));
    if (r.action == ClicBarreDeter::Action::Question)
        Ouvre_Question_Choisie(r);
}

void frmMain::Liste_Questions_Retire(const QString &objet, bool numerique)
{
    KeyModel &m = m_ctx.modele;
    if (m_Saisie_En_Cours || m.Vue_Courante != 1)
        return;
    Sablier sablier;
    const ClicBarreQuestion r = Retire_Reponse(m, us(objet), numerique, chargeurImages());
    if (r.action != ClicBarreQuestion::Action::Validation)
        return;
    for (const Incoherence &fault : r.incoherences)
        m_ctx.dialogues.message(this, {qs(Texte_Incoherence(fault)), QString(), BoutonsMessage::Ok, IconeMessage::Warning});
    appliqueRafraichissement(r.rafraichissement);
    if (r.rechargeBarre)
        Recharge_Barre();
    m_ui->Robot->invalide();
    statutRepos();
}

} // namespace tarvenko
