#include "views/arbre_especes.h"

#include <QHash>
#include <QTreeWidget>

#include "knowledge/species_tree.h"
#include "knowledge/text.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

std::string_view sousChaine(std::string_view text, std::size_t from, std::size_t count = std::string_view::npos)
{
    return from >= text.size() ? std::string_view() : text.substr(from, count);
}

void ajouteEnfants(const Arbre_Especes &arbre, const std::string &cle, QTreeWidgetItem *parent)
{
    for (const std::string &enfant : arbre.enfants(cle)) {
        const NoeudArbre *n = arbre.noeud(enfant);
        auto *item = new QTreeWidgetItem(parent, QStringList(qs(n->Text)));
        item->setData(0, RoleCle, qs(n->Key));
        item->setData(0, RoleTag, qs(n->Tag));
        item->setIcon(0, Node_Images(qs(n->Image)));
        ajouteEnfants(arbre, n->Key, item);
    }
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

void Remplit_Tree_esp(QTreeWidget *Tree_esp, const Arbre_Especes &arbre)
{
    Tree_esp->setUpdatesEnabled(false);
    Tree_esp->clear();
    for (const NoeudArbre &racine : arbre.noeuds()) {
        if (!racine.Parent.empty())
            continue;
        auto *item = new QTreeWidgetItem(Tree_esp, QStringList(qs(racine.Text)));
        item->setData(0, RoleCle, qs(racine.Key));
        item->setData(0, RoleTag, qs(racine.Tag));
        item->setIcon(0, Node_Images(qs(racine.Image)));
        ajouteEnfants(arbre, racine.Key, item);
    }
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
