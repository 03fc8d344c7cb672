#include "views/arbre_especes.h"

#include <QApplication>
#include <QCollator>
#include <QHash>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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

QTreeWidgetItem *Noeud_Espece(QTreeWidgetItem *node)
{
    if (!node)
        return nullptr;
    const QString tag = node->data(0, RoleTag).toString();
    if (tag.startsWith(QLatin1String("Esp")) || tag.startsWith(QLatin1String("Csp")))
        return node;
    if (tag == QLatin1String("Com") && node->childCount() == 1)
        return Noeud_Espece(node->child(0));
    return nullptr;
}

QTreeWidgetItem *Cherche_Noeud(const QTreeWidget *Tree_esp, const QString &debut, QTreeWidgetItem *depuis)
{
    if (debut.isEmpty())
        return nullptr;
    // Pre-order over every node, expanded or not: a first pass from `depuis` to the end, a
    // second from the top back to it.
    QList<QTreeWidgetItem *> ordre;
    qsizetype origine = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(Tree_esp)); *it; ++it) {
        if (*it == depuis)
            origine = ordre.size();
        ordre << *it;
    }
    for (qsizetype i = 0; i < ordre.size(); ++i) {
        QTreeWidgetItem *item = ordre[(origine + i) % ordre.size()];
        if (item->text(0).startsWith(debut, Qt::CaseInsensitive))
            return item;
    }
    return nullptr;
}

Clavier_Arbre::Clavier_Arbre(QTreeWidget *Tree_esp)
    : QObject(Tree_esp), m_arbre(Tree_esp), m_viewport(Tree_esp->viewport())
{
    m_attente.setSingleShot(true);
    m_attente.setInterval(kDelai);
    connect(&m_attente, &QTimer::timeout, this, &Clavier_Arbre::choisit);
    connect(m_arbre, &QTreeWidget::currentItemChanged, this, [this] {
        if (m_clavier)
            m_attente.start();
    });
    m_arbre->installEventFilter(this);
    m_arbre->viewport()->installEventFilter(this);
}

bool Clavier_Arbre::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && event->type() == QEvent::MouseButtonPress) {
        // The mouse has the last word: its click opens the node itself.
        m_clavier = false;
        m_attente.stop();
    } else if (watched == m_arbre && event->type() == QEvent::KeyPress) {
        auto *touche = static_cast<QKeyEvent *>(event);
        m_clavier = true;
        switch (touche->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_attente.stop();
            // A branch opens or closes, as a double click would; a species opens its page.
            if (QTreeWidgetItem *node = m_arbre->currentItem(); node && !Noeud_Espece(node) && node->childCount() > 0)
                node->setExpanded(!node->isExpanded());
            choisit();
            return true;
        default: break;
        }
        const QString texte = touche->text();
        const bool lettre = !texte.isEmpty() && texte.at(0).isPrint()
                            && !(touche->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        // A blank only continues a name: alone it is the tree's own key.
        if (lettre && (texte != QLatin1String(" ") || !m_debut.isEmpty()))
            return recherche(texte);
    }
    return QObject::eventFilter(watched, event);
}

bool Clavier_Arbre::recherche(const QString &texte)
{
    QTreeWidgetItem *courant = m_arbre->currentItem();
    const bool suite = m_frappe.isValid() && m_frappe.elapsed() < QApplication::keyboardInputInterval();
    m_frappe.start();
    QTreeWidgetItem *trouve = nullptr;
    if (suite) {
        // The name goes on: the node under the cursor may still be the one.
        m_debut += texte;
        trouve = Cherche_Noeud(m_arbre, m_debut, courant);
    } else {
        m_debut = texte;
        QTreeWidgetItemIterator suivant(courant ? courant : m_arbre->topLevelItem(0));
        if (courant)
            ++suivant;
        trouve = Cherche_Noeud(m_arbre, m_debut, *suivant ? *suivant : m_arbre->topLevelItem(0));
    }
    if (!trouve)
        return true;
    for (QTreeWidgetItem *p = trouve->parent(); p; p = p->parent())
        p->setExpanded(true);
    m_arbre->setCurrentItem(trouve);
    m_arbre->scrollToItem(trouve);
    m_attente.start();
    return true;
}

void Clavier_Arbre::choisit()
{
    if (QTreeWidgetItem *node = m_arbre->currentItem())
        Q_EMIT noeudChoisi(node);
}

} // namespace tarvenko
