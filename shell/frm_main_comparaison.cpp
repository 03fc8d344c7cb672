// Comparing species and identifying within a group: the species chosen in the list or the tree,
// the differences page in the browser pane, the context menus of the list and the tree, and the
// caption that names the group the identification is kept within.
#include <QAction>
#include <QCollator>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <algorithm>
#include <numeric>

#include "documents/documents.h"
#include "engine/differences.h"
#include "engine/species_groups.h"
#include "knowledge/key_model.h"
#include "knowledge/text.h"
#include "platform/dialog_service.h"
#include "platform/qt_text.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "ui_frmMain.h"
#include "views/arbre_especes.h"
#include "views/liste_especes.h"
#include "views/vue_liste_especes.h"

namespace tarvenko {

namespace {

constexpr std::size_t kMinimumCompare = 2;
constexpr std::size_t kMaximumCompare = 5;

int numero(const KeyModel &m, const FloreRow *row)
{
    if (!row)
        return -1;
    return static_cast<int>(row - m.Base_Donnees.Flore.rows.data());
}

// The species whose page code is `code`, or -1.
int especeDuCode(const KeyModel &m, const std::string &code)
{
    if (code.empty())
        return -1;
    const auto &rows = m.Base_Donnees.Flore.rows;
    for (std::size_t s = 0; s < rows.size(); ++s) {
        if (rows[s].Code && clesEgales(*rows[s].Code, code))
            return static_cast<int>(s);
    }
    return -1;
}

// The species of a node of the tree, or -1 for a node that stands for none.
int especeDuNoeud(const KeyModel &m, QTreeWidgetItem *node)
{
    node = Noeud_Espece(node);
    if (!node)
        return -1;
    const QTreeWidgetItem *parent = node->parent();
    const std::optional<EspeceNoeud> e =
        Espece_Noeud(us(node->data(0, RoleCle).toString()), us(node->data(0, RoleTag).toString()),
                     parent ? us(parent->data(0, RoleCle).toString()) : std::string());
    return e ? especeDuCode(m, e->Code_Page) : -1;
}

// "FAGACEAE" as the tree shows it: "Fagaceae". A genus is written as the key writes it.
QString nomGroupe(const Groupe_Especes &g)
{
    const QString nom = qs(g.nom);
    if (g.rang == Groupe_Especes::Rang::Genre)
        return nom;
    return nom.left(1).toUpper() + nom.mid(1).toLower();
}

// A menu entry's text without its accelerator and its dots, as a dialog's title.
QString titreDe(QString texte)
{
    texte.remove(QLatin1Char('&'));
    while (texte.endsWith(QLatin1Char('.')))
        texte.chop(1);
    return texte;
}

} // namespace

void frmMain::connecteComparaison()
{
    connect(m_ui->mnuViewCompare, &QAction::triggered, this, &frmMain::mnuViewCompare_Click);
    connect(m_ui->mnuViewCompareWith, &QAction::triggered, this, &frmMain::mnuViewCompareWith_Click);
    connect(m_ui->mnuFilePrintKey, &QAction::triggered, this, &frmMain::mnuFilePrintKey_Click);
    // Ctrl+click and Shift+click choose several species to compare.
    m_ui->Liste_Esp->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_ui->Tree_esp->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_ui->Tree_esp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->Tree_esp, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        if (const std::unique_ptr<QMenu> menu = Menu_Arbre(m_ui->Tree_esp->itemAt(position)))
            menu->exec(m_ui->Tree_esp->viewport()->mapToGlobal(position));
    });
    m_ui->Liste_Esp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->Liste_Esp, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        const QModelIndex index = m_ui->Liste_Esp->indexAt(position);
        if (const std::unique_ptr<QMenu> menu = Menu_Liste(index.isValid() ? index.row() : -1))
            menu->exec(m_ui->Liste_Esp->viewport()->mapToGlobal(position));
    });
}

void frmMain::Affiche_Titre()
{
    const KeyModel &m = m_ctx.modele;
    QString titre = qs(m.Titre_Fenetre);
    if (m.Groupe)
        titre += QStringLiteral(" - ") + texteOuAnglais(m.Num_Langue, 1181).arg(nomGroupe(*m.Groupe));
    if (!m.Fichier_Courant.empty())
        titre += QStringLiteral(" [") + qs(m.Fichier_Courant) + QStringLiteral("]");
    setWindowTitle(titre);
}

// ---- Differences between species ----

std::vector<int> frmMain::Especes_Choisies() const
{
    const KeyModel &m = m_ctx.modele;
    std::vector<int> especes;
    const auto ajoute = [&especes](int s) {
        if (s >= 0 && std::find(especes.begin(), especes.end(), s) == especes.end())
            especes.push_back(s);
    };
    if (m_ui->Tree_esp->isVisible()) {
        // In the order of the tree, not of the clicks.
        for (QTreeWidgetItemIterator it(m_ui->Tree_esp, QTreeWidgetItemIterator::Selected); *it; ++it)
            ajoute(especeDuNoeud(m, *it));
        return especes;
    }
    for (const int ligne : m_ui->Liste_Esp->lignesChoisies())
        ajoute(numero(m, m.Base_Donnees.espece(Analyse_Ligne(us(m_ui->Liste_Esp->ligne(ligne))).nom)));
    return especes;
}

void frmMain::mnuViewCompare_Click()
{
    const std::vector<int> especes = Especes_Choisies();
    if (especes.size() < kMinimumCompare || especes.size() > kMaximumCompare) {
        m_ctx.dialogues.message(this, {texteOuAnglais(m_ctx.modele.Num_Langue, 1217), QString(), BoutonsMessage::Ok,
                                       IconeMessage::Information});
        return;
    }
    Montre_Comparaison(especes);
}

void frmMain::mnuViewCompareWith_Click()
{
    const KeyModel &m = m_ctx.modele;
    const int premiere = especeDuCode(m, m.Code_Page);
    if (premiere < 0 || static_cast<std::size_t>(premiere) >= m.Nom_Esp.size()) {
        m_ctx.dialogues.message(this, {texteOuAnglais(m.Num_Langue, 1219), QString(), BoutonsMessage::Ok,
                                       IconeMessage::Information});
        return;
    }
    // Every other species, in the alphabetical order of the interface's language.
    std::vector<int> autres;
    for (std::size_t s = 0; s < m.Nom_Esp.size(); ++s)
        if (static_cast<int>(s) != premiere)
            autres.push_back(static_cast<int>(s));
    const QCollator ordre(localeDeLangue(m.Num_Langue));
    std::stable_sort(autres.begin(), autres.end(), [&](int a, int b) {
        return ordre.compare(qs(m.Nom_Esp[static_cast<std::size_t>(a)]), qs(m.Nom_Esp[static_cast<std::size_t>(b)])) < 0;
    });
    QStringList noms;
    noms.reserve(static_cast<qsizetype>(autres.size()));
    for (const int s : autres)
        noms << qs(m.Nom_Esp[static_cast<std::size_t>(s)]);

    const DemandeChoix demande{titreDe(texteOuAnglais(m.Num_Langue, 1211)),
                               texteOuAnglais(m.Num_Langue, 1218).arg(qs(m.Nom_Esp[static_cast<std::size_t>(premiere)])),
                               texteOuAnglais(m.Num_Langue, 1220),
                               noms,
                               static_cast<int>(kMinimumCompare - 1),
                               static_cast<int>(kMaximumCompare - 1)};
    const std::optional<QList<int>> choisis = m_ctx.dialogues.choix(this, demande);
    if (!choisis)
        return;
    std::vector<int> especes{premiere};
    for (const int k : *choisis) {
        if (k >= 0 && static_cast<std::size_t>(k) < autres.size())
            especes.push_back(autres[static_cast<std::size_t>(k)]);
    }
    std::sort(especes.begin() + 1, especes.end());
    especes.erase(std::unique(especes.begin() + 1, especes.end()), especes.end());
    if (especes.size() < kMinimumCompare || especes.size() > kMaximumCompare)
        return;
    Montre_Comparaison(especes);
}

void frmMain::Montre_Comparaison(const std::vector<int> &especes)
{
    if (!m_pagesProgramme)
        m_pagesProgramme = std::make_unique<QTemporaryDir>();
    // A page of its own each time: the browser shows the one it was asked for, never an earlier
    // comparison kept under the same name.
    const QString fichier = m_pagesProgramme->filePath(QStringLiteral("differences-%1.html").arg(++m_pagesEcrites));
    if (!ecritComparaison(fichier, especes))
        return;
    m_pageComparaison = fichier;
    m_especesComparees = especes;
    // The page goes where the species pages go: the results view unless a view with the browser
    // is on show.
    if (!m_ui->WebTexte->isVisible())
        m_ui->mnuViewResults->trigger();
    m_documents->Ouvre_Page_Programme(fichier);
}

void frmMain::Traduit_Comparaison()
{
    if (m_pageComparaison.isEmpty() || !m_ui->WebTexte->isVisible() ||
        QUrl(m_ui->WebTexte->LocationURL()).toLocalFile() != m_pageComparaison)
        return;
    // The same page in the new words: Back and Forward lead where they led.
    if (ecritComparaison(m_pageComparaison, m_especesComparees))
        m_ui->WebTexte->reload();
}

bool frmMain::ecritComparaison(const QString &fichier, const std::vector<int> &especes)
{
    KeyModel &m = m_ctx.modele;
    const std::string page = Html_Comparaison(m, Compare_Especes(m, especes));
    QFile sortie(fichier);
    const bool ecrit = m_pagesProgramme->isValid() && sortie.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       sortie.write(page.data(), static_cast<qint64>(page.size())) == static_cast<qint64>(page.size()) &&
                       sortie.flush();
    sortie.close();
    if (!ecrit) {
        m_ctx.dialogues.message(this, {fichier + texteOuAnglais(m.Num_Langue, 1074), QString(), BoutonsMessage::Ok,
                                       IconeMessage::None});
        return false;
    }
    return true;
}

// ---- Identifying within a group ----

void frmMain::Identifie_Dans(const std::optional<Groupe_Especes> &groupe)
{
    KeyModel &m = m_ctx.modele;
    if (Impression_En_Cours() || groupe == m.Groupe)
        return;
    if (!Identifie_Dans_Groupe(m, groupe))
        return;
    Efface_Contradictions_Affichees();
    Actualise_Identification();
    if (m_fini)
        return;
    Affiche_Titre();
    statutRepos();
    m_ui->Robot->update();
    if (m_ui->Liste_Esp->isVisible())
        Liste_Esp_Click();
}

void frmMain::ajouteGroupes(QMenu &menu, int s, bool familleDuNoeud)
{
    const KeyModel &m = m_ctx.modele;
    if (s >= 0) {
        const std::string famille = Famille_Espece(m, static_cast<std::size_t>(s));
        if (!famille.empty()) {
            const Groupe_Especes groupe{Groupe_Especes::Rang::Famille, famille};
            const QString texte = familleDuNoeud ? texteOuAnglais(m.Num_Langue, 1213)
                                                 : texteOuAnglais(m.Num_Langue, 1215).arg(nomGroupe(groupe));
            QAction *a = menu.addAction(texte, this, [this, groupe] { Identifie_Dans(groupe); });
            a->setObjectName(QStringLiteral("mnuGroupeFamille"));
            a->setEnabled(m.Groupe != groupe);
        }
        if (!familleDuNoeud && Genres_Connus(m)) {
            const Groupe_Especes groupe{Groupe_Especes::Rang::Genre, Genre_Espece(m, static_cast<std::size_t>(s))};
            QAction *a = menu.addAction(texteOuAnglais(m.Num_Langue, 1216).arg(nomGroupe(groupe)), this,
                                        [this, groupe] { Identifie_Dans(groupe); });
            a->setObjectName(QStringLiteral("mnuGroupeGenre"));
            a->setEnabled(m.Groupe != groupe);
        }
    }
    if (m.Groupe) {
        QAction *a = menu.addAction(texteOuAnglais(m.Num_Langue, 1214), this, [this] { Identifie_Dans(std::nullopt); });
        a->setObjectName(QStringLiteral("mnuGroupeAucun"));
    }
    if (!menu.isEmpty())
        menu.addSeparator();
    menu.addAction(m_ui->mnuViewCompare);
    menu.addAction(m_ui->mnuViewCompareWith);
}

std::unique_ptr<QMenu> frmMain::Menu_Arbre(QTreeWidgetItem *node)
{
    auto menu = std::make_unique<QMenu>(this);
    if (!node) {
        ajouteGroupes(*menu, -1, false);
        return menu;
    }
    const KeyModel &m = m_ctx.modele;
    if (node->data(0, RoleTag).toString() == QLatin1String("Fam")) {
        // A family: its first species stands for it.
        const std::string famille = us(node->data(0, RoleCle).toString());
        int s = -1;
        for (std::size_t k = 0; k < m.Base_Donnees.Flore.rows.size() && s < 0; ++k)
            if (clesEgales(Famille_Espece(m, k), famille))
                s = static_cast<int>(k);
        ajouteGroupes(*menu, s, true);
        return menu;
    }
    ajouteGroupes(*menu, especeDuNoeud(m, node), false);
    return menu;
}

std::unique_ptr<QMenu> frmMain::Menu_Liste(int ligne)
{
    const KeyModel &m = m_ctx.modele;
    auto menu = std::make_unique<QMenu>(this);
    const int s = ligne < 0 ? -1 : numero(m, m.Base_Donnees.espece(Analyse_Ligne(us(m_ui->Liste_Esp->ligne(ligne))).nom));
    ajouteGroupes(*menu, s, false);
    return menu;
}

} // namespace tarvenko
