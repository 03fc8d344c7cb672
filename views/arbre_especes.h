#pragma once

#include <QIcon>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

class QLocale;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvenko {

class Arbre_Especes;

// Data of Tree_esp's items: the node's key and tag, as the species tree gives them.
inline constexpr int RoleCle = Qt::UserRole;
inline constexpr int RoleTag = Qt::UserRole + 1;

// The pictures of the tree's nodes by image key: "livre_ferme", "livre_ouvert", "page".
QIcon Node_Images(const QString &cle);

// Fills the tree widget with the species tree. The children of a sorted node are in the
// alphabetical order of `langue` (the interface's language); the others as the tree gives them.
void Remplit_Tree_esp(QTreeWidget *Tree_esp, const Arbre_Especes &arbre, const QLocale &langue);

// An opened branch shows the open book, a closed one the closed book.
void Tree_esp_Expand(QTreeWidgetItem *node);
void Tree_esp_Collapse(QTreeWidgetItem *node);

// The species a node stands for, by the kind of node: in its family (tag "Esp", the key is the
// code, the parent's key the family), in the alphabetical list (tag "Esp" & family, key of six
// characters: the code and "S"), under a common name (tag "Csp" & code & family). The family is
// in proper case. Nothing for every other node.
struct EspeceNoeud {
    std::string Code_Page;
    std::string Famille_Courante;
    bool operator==(const EspeceNoeud &) const = default;
};
std::optional<EspeceNoeud> Espece_Noeud(std::string_view cle, std::string_view tag, std::string_view cleParent);

} // namespace tarvenko
