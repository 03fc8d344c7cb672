#include "knowledge/species_tree.h"

#include <algorithm>

#include "knowledge/text.h"

namespace tarvenko {

bool Arbre_Especes::ajoute(std::string_view parent, std::string_view key, std::string_view text, std::string_view image)
{
    std::size_t indexParent = 0;
    if (!parent.empty()) {
        // Nodes come in runs under the same parent: its key need not be folded and looked up again.
        if (m_dernierParentConnu && parent == m_dernierParent) {
            indexParent = m_indexDernierParent;
        } else {
            const auto it = m_parCle.find(minusculesAscii(parent));
            if (it == m_parCle.end())
                return false;
            indexParent = it->second;
            m_dernierParent.assign(parent);
            m_indexDernierParent = indexParent;
            m_dernierParentConnu = true;
        }
    }
    if (!m_parCle.try_emplace(minusculesAscii(key), m_noeuds.size()).second)
        return false;
    m_noeuds.push_back({std::string(parent), std::string(key), std::string(text), std::string(image), {}, false});
    m_enfants.emplace_back();
    if (!parent.empty())
        m_enfants[indexParent].push_back(m_noeuds.size() - 1);
    return true;
}

void Arbre_Especes::reserve(std::size_t noeuds)
{
    m_noeuds.reserve(noeuds);
    m_enfants.reserve(noeuds);
    m_parCle.reserve(noeuds);
}

NoeudArbre *Arbre_Especes::noeud(std::string_view key)
{
    const auto it = m_parCle.find(minusculesAscii(key));
    return it == m_parCle.end() ? nullptr : &m_noeuds[it->second];
}

const NoeudArbre *Arbre_Especes::noeud(std::string_view key) const
{
    const auto it = m_parCle.find(minusculesAscii(key));
    return it == m_parCle.end() ? nullptr : &m_noeuds[it->second];
}

std::vector<std::string> Arbre_Especes::enfants(std::string_view key) const
{
    // Children are indexed as they are added: a tree of fifty thousand nodes is listed in one pass.
    const auto it = m_parCle.find(minusculesAscii(key));
    if (it == m_parCle.end())
        return {};
    const NoeudArbre *parent = &m_noeuds[it->second];
    std::vector<const NoeudArbre *> children;
    for (const std::size_t enfant : m_enfants[it->second])
        children.push_back(&m_noeuds[enfant]);
    if (parent->Sorted) {
        std::stable_sort(children.begin(), children.end(),
                         [](const NoeudArbre *a, const NoeudArbre *b) { return compareCles(a->Text, b->Text) < 0; });
    }
    std::vector<std::string> keys;
    for (const NoeudArbre *n : children)
        keys.push_back(n->Key);
    return keys;
}

void Arbre_Especes::clear()
{
    m_noeuds.clear();
    m_parCle.clear();
    m_enfants.clear();
    m_dernierParentConnu = false;
}

} // namespace tarvenko
