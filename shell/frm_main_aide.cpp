// The help of a question: its page of the document collection, shown in the help window from
// the question list's context menu, F1 on the question, or the status bar's Help button.
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "documents/aide_question.h"
#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_aide.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "shell/saisie_num.h"
#include "ui_frmMain.h"
#include "views/liste_etats.h"
#include "views/liste_questions.h"
#include "views/pic_choix.h"

namespace tarvenko {

std::string frmMain::questionEnVue() const
{
    const KeyModel &m = m_ctx.modele;
    if (m_ui->Pic_Choix->isVisible()) {
        if (m_Question_Num >= 0 && m_Question_Num < static_cast<int>(m.Caracteres_Num.size()))
            return m.Caracteres_Num[static_cast<std::size_t>(m_Question_Num)].Objet;
        return m.Descripteur_Courant.Objet;
    }
    if (m_Liste_Questions->isVisible())
        return m_Liste_Questions->questionCourante();
    return {};
}

QString frmMain::pageAide(const std::string &objet) const
{
    const KeyModel &m = m_ctx.modele;
    return Page_Aide_Question(qs(m.Distribution), qs(m.Adresse_Documents), objet, m.Num_Langue);
}

void frmMain::montreAide(const QString &page, int titre)
{
    if (!m_aide)
        m_aide = new frmAide(this);
    m_aide->Affiche(page, texteOuAnglais(m_ctx.modele.Num_Langue, titre));
    m_aide->show();
    m_aide->raise();
    m_aide->activateWindow();
}

bool frmMain::Ouvre_Page_Aide(const std::string &objet)
{
    const QString page = pageAide(objet);
    if (page.isEmpty())
        return false;
    m_aideQuestion = objet;
    montreAide(page, 1081);
    return true;
}

void frmMain::aideDansLaLangue()
{
    if (!m_aide || !m_aide->isVisible())
        return;
    const QString page = m_aideQuestion ? pageAide(*m_aideQuestion) : Fichier_Aide(m_ctx.modele, Dossiers_Guide());
    // A guide that is only a compiled help file is not read in this window.
    if (!page.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        return;
    m_aide->Affiche(page, texteOuAnglais(m_ctx.modele.Num_Langue, m_aideQuestion ? 1081 : 1028));
}

void frmMain::actualiseAideQuestion()
{
    const std::int16_t langue = m_ctx.modele.Num_Langue;
    m_Bouton_Aide->setText(texteOuAnglais(langue, 1081));
    m_Bouton_Aide->setToolTip(texteOuAnglais(langue, 1080));
    m_Bouton_Aide->setVisible(m_charge && !pageAide(questionEnVue()).isEmpty());
}

bool frmMain::toucheAide(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const ListeEtatsView *etats = m_ui->Pic_Choix->listeEtats();
    if (watched != m_ui->Pic_Choix && watched != m_Saisie_Num->entree() && watched != etats->recherche() &&
        watched != etats->liste())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    // Without a page of its own, F1 stays the key of the user guide.
    const std::string objet = questionEnVue();
    if (pageAide(objet).isEmpty())
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        Ouvre_Page_Aide(objet);
    return true;
}

} // namespace tarvenko
