// The results and species views of the main window: the species list and tree that open species
// pages, the View commands that switch to them, and the splitter between the left column and the
// document browser.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QToolBar>
#include <QTreeWidget>

#include "documents/documents.h"
#include "documents/chemins_documents.h"
#include "documents/navigateur.h"
#include "knowledge/key_model.h"
#include "layout/arrange_fenetre.h"
#include "layout/barre_verticale.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "ui_frmMain.h"
#include "views/legende_statut.h"
#include "views/liste_questions.h"
#include "views/vue_liste_especes.h"
#include "views/arbre_especes.h"
#include "views/liste_especes.h"
#include "views/robot_view.h"

namespace tarvenko {

namespace {

const char *const kKey = "Key";

// "ROSACEAE" as "Rosaceae": the first character in capitals, all the others small.
std::string majusculeInitiale(const std::string &text)
{
    const QString t = qs(text);
    return us(t.left(1).toUpper() + t.mid(1).toLower());
}

} // namespace

void frmMain::connecteResultats()
{
    connect(m_ui->mnuViewResults, &QAction::triggered, this, &frmMain::mnuViewResults_Click);
    connect(m_ui->mnuViewSpecies, &QAction::triggered, this, &frmMain::mnuViewSpecies_Click);
    // Click: whenever the selected line changes, by mouse or keyboard; a list being refilled has
    // no line to open.
    connect(m_ui->Liste_Esp, &VueListeEspeces::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Liste_Esp_Click();
    });
    m_ui->Liste_Esp->viewport()->setMouseTracking(true);
    m_ui->Liste_Esp->viewport()->installEventFilter(this);
    m_ui->Liste_Esp->installEventFilter(this);
    connect(m_ui->Tree_esp, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node) { Tree_esp_NodeClick(node); });
    // Keys open the node under the cursor as a click does.
    connect(new Clavier_Arbre(m_ui->Tree_esp), &Clavier_Arbre::noeudChoisi, this, &frmMain::Tree_esp_NodeClick);
    connect(m_ui->Tree_esp, &QTreeWidget::itemExpanded, this, &Tree_esp_Expand);
    connect(m_ui->Tree_esp, &QTreeWidget::itemCollapsed, this, &Tree_esp_Collapse);
    m_ui->Barre_Verticale->installEventFilter(this);
    m_ui->Tree_esp->installEventFilter(this);
    m_panneau2->installEventFilter(this);
    m_ui->Legende->installEventFilter(this);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (toucheAide(watched, event))
        return true;
    if (watched == m_ui->Liste_Esp->viewport() && event->type() == QEvent::MouseMove) {
        // The list takes the focus the first time the mouse passes over it, and only then.
        if (!m_Liste_Focus) {
            m_ui->Liste_Esp->setFocus();
            m_Liste_Focus = true;
        }
    } else if (watched == m_ui->Liste_Esp && event->type() == QEvent::FocusIn) {
        m_Liste_Focus = true;
    } else if (watched == m_ui->Tree_esp && event->type() == QEvent::Show) {
        remplitArbreSiBesoin();
    } else if (watched == m_panneau2 && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        // The status bar has given the panel another width: the results box follows it.
        if (m_charge)
            placeResultat();
    } else if (watched == m_ui->Legende && event->type() == QEvent::FontChange) {
        m_panneau2->updateGeometry();
    } else if (watched == m_ui->Barre_Verticale) {
        if (event->type() == QEvent::MouseMove)
            Barre_Verticale_MouseMove(static_cast<QMouseEvent *>(event));
        else if (event->type() == QEvent::MouseButtonRelease)
            Barre_Verticale_MouseUp();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Species list and tree ----

void frmMain::Liste_Esp_Click()
{
    // The click lets pending events run, and one of them may change the selected line (a key
    // pressed meanwhile): that click is not run inside this one but after it, for the line then
    // selected, so that the line, Code_Page and the page always name one species.
    if (m_Clic_Liste_En_Cours) {
        m_Clic_Liste_A_Refaire = true;
        return;
    }
    m_Clic_Liste_En_Cours = true;
    const auto fin = qScopeGuard([this] { m_Clic_Liste_En_Cours = false; });
    do {
        m_Clic_Liste_A_Refaire = false;
        Ouvre_Ligne_Choisie();
    } while (m_Clic_Liste_A_Refaire);
}

void frmMain::Ouvre_Ligne_Choisie()
{
    KeyModel &m = m_ctx.modele;
    VueListeEspeces *liste = m_ui->Liste_Esp;
    const int k = std::max(liste->currentRow(), 0);
    m_documents->Oublie_Dessin();
    if (liste->count() == 0) {
        // No species reaches the threshold: none is current, and no page stands for one (the
        // error page would say the page is missing in this language).
        m.Code_Page.clear();
        montreErreurs(false);
        m.Index_Document = 0;
        m_documents->Sans_Page();
        return;
    }

    const LigneEspece ligne = Analyse_Ligne(us(liste->ligne(k)));
    // A line whose species is not in Flore leaves no current species: its page is the error page.
    m.Code_Page.clear();
    if (const FloreRow *flore = m.Base_Donnees.espece(ligne.nom)) {
        m.Code_Page = flore->Code.value_or("");
        m.Famille_Courante = majusculeInitiale(flore->Famille.value_or(""));
        m.Espece_Courante = flore->Espece;
    }
    Active_Bouton(QStringLiteral("Stop"));

    // The Errors button, and the one after it, for a species that misses some answers.
    montreErreurs(Erreurs_Visibles(ligne.pourcent, m.Pourcent_Esp.empty() ? 0 : m.Pourcent_Esp[0]));

    QCoreApplication::processEvents();
    if (m_Clic_Liste_A_Refaire)
        return; // another line was selected meanwhile: it is opened instead
    m.Index_Document = 0;
    m_documents->Ouvre_Page_Espece(QLatin1Char('\\'));
    if (!m_Clic_Liste_A_Refaire && liste->isVisible() && k < liste->count() && liste->currentRow() != k) {
        // Selecting the line again is not a new click. The line still current keeps the lines
        // chosen with it (Ctrl+click) for a comparison.
        const QSignalBlocker bloque(liste);
        liste->setCurrentRow(k);
    }
}

void frmMain::Tree_esp_NodeClick(QTreeWidgetItem *clic)
{
    KeyModel &m = m_ctx.modele;
    // A common name of a single species opens that species without being expanded first.
    QTreeWidgetItem *node = Noeud_Espece(clic);
    if (!node)
        return;
    const QTreeWidgetItem *parent = node->parent();
    const std::optional<EspeceNoeud> espece =
        Espece_Noeud(us(node->data(0, RoleCle).toString()), us(node->data(0, RoleTag).toString()),
                     parent ? us(parent->data(0, RoleCle).toString()) : std::string());
    if (!espece)
        return;
    Active_Bouton(QStringLiteral("Stop"));
    m_documents->Oublie_Dessin();
    m.Famille_Courante = espece->Famille_Courante;
    m.Code_Page = espece->Code_Page;
    m.Espece_Courante = us(node->text(0));
    m.Index_Document = 0;
    m_documents->Ouvre_Page_Espece(QLatin1Char('/'));
}

// ---- View commands ----

void frmMain::mnuViewResults_Click()
{
    if (!m_ui->mnuViewResults->isChecked()) {
        m_ui->mnuViewResults->setChecked(true);
        return;
    }
    m_ui->mnuViewIdentification->setChecked(false);
    m_ui->mnuViewSpecies->setChecked(false);
    m_ctx.modele.Vue_Courante = 3;
    Montre_Resultats();
}

void frmMain::mnuViewSpecies_Click()
{
    if (!m_ui->mnuViewSpecies->isChecked()) {
        m_ui->mnuViewSpecies->setChecked(true);
        return;
    }
    m_ui->mnuViewIdentification->setChecked(false);
    m_ui->mnuViewResults->setChecked(false);
    m_ctx.modele.Vue_Courante = 4;
    Montre_Especes();
}

void frmMain::montreBoutonsDocuments()
{
    // Stop and its separator only for documents on a web server.
    const int dernier = m_ctx.modele.Distribution == "hd" ? 18 : 20;
    for (int p = kPremierBoutonDocument; p <= dernier; ++p) {
        if (QAction *button = boutonBarre(p))
            button->setVisible(true);
    }
}

void frmMain::Montre_Resultats()
{
    m_Liste_Questions->hide();
    // A question on show is left as its Leave button would: its bar goes with it.
    for (QWidget *pane : {static_cast<QWidget *>(m_ui->Robot), static_cast<QWidget *>(m_ui->Pic_Choix),
                          static_cast<QWidget *>(m_ui->Tree_esp), static_cast<QWidget *>(m_ui->Barre_Deter),
                          static_cast<QWidget *>(m_ui->Barre_Question)})
        pane->hide();
    // The results view ends the display of contradictions, and what the status bar said of them.
    const bool texteContradictions = !m_texteContradictions.isEmpty();
    if (m_ctx.modele.Nb_Contradictions != 0 || texteContradictions)
        Efface_Contradictions_Affichees();
    if (texteContradictions)
        statut(QString());
    QCoreApplication::processEvents();
    m_ui->Small_Robot->show();
    m_ui->Liste_Esp->show();
    m_ui->Barre_Verticale->show();
    m_ui->Barre_Verticale->raise();
    m_ui->WebTexte->show();
    permetCopie(false);
    montreBoutonsDocuments();
    actualiseAideQuestion();
    QCoreApplication::processEvents();
    Liste_Esp_Click();
    // The browser makes its widget for the page when it first shows one.
    ordonneTabulation();
}

void frmMain::Montre_Especes()
{
    m_Liste_Questions->hide();
    for (QWidget *pane : {static_cast<QWidget *>(m_ui->Robot), static_cast<QWidget *>(m_ui->Pic_Choix),
                          static_cast<QWidget *>(m_ui->Liste_Esp), static_cast<QWidget *>(m_ui->Barre_Deter),
                          static_cast<QWidget *>(m_ui->Barre_Question)})
        pane->hide();
    QCoreApplication::processEvents();
    m_ui->Small_Robot->show();
    m_ui->Tree_esp->show();
    m_ui->Barre_Verticale->show();
    m_ui->Barre_Verticale->raise();
    m_ui->WebTexte->show();
    permetCopie(false);
    montreBoutonsDocuments();
    m_ui->Tree_esp->setFocus();
    actualiseAideQuestion();
    QCoreApplication::processEvents();
    ordonneTabulation();
}

// ---- Splitter ----

void frmMain::Barre_Verticale_MouseMove(QMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    QWidget *barre = m_ui->Barre_Verticale;
    barre->move(barre->x() + qRound(event->position().x()), barre->y());
}

void frmMain::Barre_Verticale_MouseUp()
{
    const double tx = twipsParPixelX(this);
    ColonneGauche c;
    const RectTwips barre = Lit_Panneau(this, m_ui->Barre_Verticale);
    c.barreLeft = barre.left;
    c.barreWidth = barre.width;
    c.Small_Robot = Lit_Panneau(this, m_ui->Small_Robot);
    c.Liste_Esp = Lit_Panneau(this, m_ui->Liste_Esp);
    c.Tree_esp = Lit_Panneau(this, m_ui->Tree_esp);
    c.WebTexte = Lit_Panneau(this, m_ui->WebTexte);
    const auto twips = [tx](int pixels) { return static_cast<std::int32_t>(qRound(pixels * tx)); };
    c = Depose_Barre(c, twips(frameGeometry().width()), twips(width()));
    m_proportionBarre = static_cast<double>(c.barreLeft) / twips(width());

    Place_Panneau(this, m_ui->Barre_Verticale, {c.barreLeft, barre.top, barre.width, barre.height});
    Place_Panneau(this, m_ui->Small_Robot, c.Small_Robot);
    for (QWidget *pane : {static_cast<QWidget *>(m_ui->Tree_esp), static_cast<QWidget *>(m_ui->Liste_Esp)}) {
        const RectTwips r = pane == m_ui->Tree_esp ? c.Tree_esp : c.Liste_Esp;
        Place_Panneau(this, pane, r);
        // No height left under a tall thumbnail means none, not the pane's preferred height.
        if (r.height == 0)
            pane->resize(pane->width(), 0);
    }
    Place_Panneau(this, m_ui->WebTexte, c.WebTexte);
    m_ui->Small_Robot->invalide();
    m_ui->Small_Robot->update();
}

} // namespace tarvenko
