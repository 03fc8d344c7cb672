#include "views/arbre_especes.h"

#include <QCollator>
#include <QHash>
#include <QTreeWidget>

#include <algorithm>
#include <utility>
#include <vector>

#include "knowledge/species_tree.h"
#include "knowledge/text.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

std::string_view sousChaine(std::string_view text, std::size_t from, std::size_t count = std::string_view::npos)
{
    return from >= text.size() ? std::string_view() : text.substr(from, count);
}

QTreeWidgetItem *element(const NoeudArbre &n)
{
    auto *item = new QTreeWidgetItem(QStringList(qs(n.Text)));
    item->setData(0, RoleCle, qs(n.Key));
    item->setData(0, RoleTag, qs(n.Tag));
    item->setIcon(0, Node_Images(qs(n.Image)));
    return item;
}

// Builds the branch below `parent` before it joins the widget, so that no node added tells the
// widget's model on its own.
void ajouteEnfants(const Arbre_Especes &arbre, const std::string &cle, QTreeWidgetItem *parent, const QCollator &ordre)
{
    std::vector<const NoeudArbre *> enfants;
    for (const std::string &enfant : arbre.enfants(cle))
        enfants.push_back(arbre.noeud(enfant));
    if (const NoeudArbre *n = arbre.noeud(cle); n && n->Sorted) {
        // The tree sorts by bytes, which puts accented capitals after "Z"; readers expect the order
        // of their language. One sort key per name keeps a list of thousands quick. Stable, so that
        // names the language does not tell apart stay in the tree's order.
        std::vector<std::pair<QCollatorSortKey, const NoeudArbre *>> cles;
        cles.reserve(enfants.size());
        for (const NoeudArbre *enfant : enfants)
            cles.emplace_back(ordre.sortKey(qs(enfant->Text)), enfant);
        std::stable_sort(cles.begin(), cles.end(), [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
        for (std::size_t i = 0; i < cles.size(); ++i)
            enfants[i] = cles[i].second;
    }
    QList<QTreeWidgetItem *> items;
    for (const NoeudArbre *n : enfants) {
        QTreeWidgetItem *item = element(*n);
        ajouteEnfants(arbre, n->Key, item, ordre);
        items << item;
    }
    parent->addChildren(items);
}

} // namespace

QIcon Node_Images(const QString &cle)
{
    // One icon per picture, shared by every node that shows it.
    static QHash<QString, QIcon> images;
    auto it = images.find(cle);
    if (it == images.end())
        it = images.insert(cle, QIcon(QStringLiteral(":/icons/%1.svg").arg(cle)));
    return *it;
}

void Remplit_Tree_esp(QTreeWidget *Tree_esp, const Arbre_Especes &arbre, const QLocale &langue)
{
    const QCollator ordre(langue);
    Tree_esp->setUpdatesEnabled(false);
    Tree_esp->clear();
    QList<QTreeWidgetItem *> racines;
    for (const NoeudArbre &racine : arbre.noeuds()) {
        if (!racine.Parent.empty())
            continue;
        QTreeWidgetItem *item = element(racine);
        ajouteEnfants(arbre, racine.Key, item, ordre);
        racines << item;
    }
    Tree_esp->addTopLevelItems(racines);
    Tree_esp->setUpdatesEnabled(true);
}

void Tree_esp_Expand(QTreeWidgetItem *node) { node->setIcon(0, Node_Images(QStringLiteral("livre_ouvert"))); }
void Tree_esp_Collapse(QTreeWidgetItem *node) { node->setIcon(0, Node_Images(QStringLiteral("livre_ferme"))); }

std::optional<EspeceNoeud> Espece_Noeud(std::string_view cle, std::string_view tag, std::string_view cleParent)
{
    EspeceNoeud e;
    if (tag.starts_with("Esp")) {
        if (cle.size() == 6) {
            e.Famille_Courante = sousChaine(tag, 3);
            e.Code_Page = sousChaine(cle, 0, 5);
        } else {
            e.Famille_Courante = cleParent;
            e.Code_Page = cle;
        }
    } else if (tag.starts_with("Csp")) {
        e.Famille_Courante = sousChaine(tag, 8);
        e.Code_Page = sousChaine(tag, 3, 5);
    } else {
        return std::nullopt;
    }
    e.Famille_Courante = casseNomPropre(e.Famille_Courante);
    return e;
}

} // namespace tarvenko
