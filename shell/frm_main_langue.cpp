// The main window in another language: what the options dialog's choice changes at once, without
// waiting for the next start.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QTreeWidget>

#include "documents/chemins_documents.h"
#include "documents/documents.h"
#include "documents/navigateur.h"
#include "engine/default_bars.h"
#include "engine/drawing_layers.h"
#include "engine/scoring.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/loader.h"
#include "layout/arrange_fenetre.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "shell/saisie_num.h"
#include "ui_frmMain.h"
#include "views/arbre_especes.h"
#include "views/barres.h"
#include "views/liste_questions.h"
#include "views/pic_choix.h"
#include "views/robot_view.h"

namespace tarvenko {

void frmMain::Change_Langue()
{
    KeyModel &m = m_ctx.modele;
    if (m.Num_Langue == m_Langue_Fenetre)
        return;
    m_Langue_Fenetre = m.Num_Langue;

    // Menus, tool bar, tool tips and the names screen readers give; the caption, which names the
    // group the identification is kept within.
    Applique_Langue(this, m.Num_Langue);
    Affiche_Titre();
    m_ui->Pic_Choix->nommeCase();

    // The tree's roots; the widget, if filled, keeps its branches open as they were.
    Nomme_Racines_Arbre(m);
    for (int i = 0; i < m_ui->Tree_esp->topLevelItemCount(); ++i) {
        QTreeWidgetItem *racine = m_ui->Tree_esp->topLevelItem(i);
        if (const NoeudArbre *node = m.Arbre.noeud(us(racine->data(0, RoleCle).toString())))
            racine->setText(0, qs(node->Text));
    }

    // The bars, built again from their tables in the new language. The question bar keeps its
    // Pass button as the question on show had it; contradictions on show are shown again.
    const QAction *passer = Bouton_A(m_ui->Barre_Question, 2 * Nb_Boutons_Question(m) - 1);
    const bool boutonPasser = passer && passer->isVisible();
    if (m_texteContradictions.isEmpty())
        Charge_Barre_Deter();
    Charge_Barre_Question();
    if (QAction *pass = Bouton_A(m_ui->Barre_Question, 2 * Nb_Boutons_Question(m) - 1))
        pass->setVisible(boutonPasser);

    // The drawing's layers that have a picture of their own in the new language (words drawn in
    // them), in the box and the thumbnail, which the colour test reads as well.
    const ResultatCalques calques = Choisit_Calques(m, chargeurImages());
    if (calques.echec) {
        m_fini = true;
        Erreur_Fatale(m_ctx, this, qs(*calques.echec));
        return;
    }
    if (!calques.recharges.empty()) {
        m_ui->Robot->invalide();
        m_ui->Small_Robot->invalide();
    }

    // What the last scoring said, in the new words.
    afficheLegende(qs(Legende_Especes(m)));
    m_Liste_Questions->actualise();
    actualiseAideQuestion();
    // The windows beside this one: the help and the drawing's legend.
    aideDansLaLangue();
    m_documents->Change_Langue();

    if (!m_texteContradictions.isEmpty()) {
        // The check is made again, for its flags and its words (it brings back the identification view).
        Montre_Contradictions();
    } else if (m.Vue_Courante == 2 && m_ui->Pic_Choix->isVisible()) {
        // The question on show: its grid or its entry again, the state picked or the number typed kept.
        if (m_Question_Num >= 0) {
            const QString tape = m_Saisie_Num->texte();
            Montre_Question_Num(m_Question_Num);
            m_Saisie_Num->entree()->setText(tape);
        } else {
            // The question's own words in the new language, as the bar would have opened it.
            // Its row: the one with its picture and descriptor, under its key where one is.
            Descripteur &d = m.Descripteur_Courant;
            const ObjetRow *ligne = nullptr;
            for (const ObjetRow &row : m.Base_Donnees.Objets_Fic.rows) {
                if (row.Popup.value_or("") != d.Popup || row.Desc_Num.value_or(-1) != d.Desc_Num)
                    continue;
                if (!ligne || row.Objet.value_or("") == d.Objet)
                    ligne = &row;
                if (row.Objet.value_or("") == d.Objet)
                    break;
            }
            if (ligne)
                d.TipText = Texte_Question(m.Base_Donnees, *ligne, m.Num_Langue).value_or(d.TipText);
            Montre_Question(d.Popup);
        }
    } else {
        statutRepos();
    }

    Traduit_Comparaison();
    // The species' own page, opened again in the new language; any other page (a drawing page, a
    // link followed) stays as it is.
    if (m_ui->WebTexte->isVisible() && !m.Code_Page.empty() &&
        Est_Page_Propre(m_ui->WebTexte->LocationURL(), qs(m.Code_Page), qs(m.Suffixe_Langue)))
        Rouvre_Page_Espece();

    // Wider or narrower captions may change the bars' width.
    if (m_charge)
        disposePanneaux(Occasion::Redimensionnement);
}

void frmMain::Rouvre_Page_Espece()
{
    KeyModel &m = m_ctx.modele;
    // The page opens in the interface language where the key has it, else in English; the list
    // names folders with "\\", the tree with "/".
    m_documents->Oublie_Dessin();
    m.Index_Document = 0;
    m_documents->Ouvre_Page_Espece(m.Vue_Courante == 4 ? QLatin1Char('/') : QLatin1Char('\\'));
}

} // namespace tarvenko
