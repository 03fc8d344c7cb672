#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>

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

// The node whose species a click on `node` opens: a species node itself, or the one species a
// common name names (so that it need not be expanded first); nullptr for every other node.
QTreeWidgetItem *Noeud_Espece(QTreeWidgetItem *node);

// The first node, in the order the tree shows them when fully expanded, whose text starts with
// `debut` (case ignored), looking from `depuis` included (nullptr: from the top) and going round
// past the end; nullptr when none does. Collapsed branches are searched too.
QTreeWidgetItem *Cherche_Noeud(const QTreeWidget *Tree_esp, const QString &debut, QTreeWidgetItem *depuis);

// The keyboard of Tree_esp: moving with the arrows, Home, End or Page keys and typing the start
// of a name choose the node under the cursor once the keys have been still for a moment; Enter
// chooses it at once. Typing finds any node, opening the branches above it.
class Clavier_Arbre final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Clavier_Arbre)

public:
    // How long the cursor must stay on a node before it is chosen: keys held down pass over
    // nodes without opening each page.
    static constexpr int kDelai = 250;

    explicit Clavier_Arbre(QTreeWidget *Tree_esp);

Q_SIGNALS:
    void noeudChoisi(QTreeWidgetItem *node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool recherche(const QString &texte);
    void choisit();

    QTreeWidget *m_arbre;
    QObject *m_viewport; // compared only: events may still come while the tree is being destroyed
    QTimer m_attente;
    QString m_debut;        // the start of a name typed so far
    QElapsedTimer m_frappe; // since the last letter typed
    bool m_clavier = false; // the cursor is being moved by keys, not by the mouse
};

} // namespace tarvenko
