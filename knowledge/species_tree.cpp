#include "knowledge/species_tree.h"

#include <algorithm>

#include "knowledge/text.h"

namespace tarvenko {

bool Arbre_Especes::ajoute(std::string_view parent, std::string_view key, std::string_view text, std::string_view image)
{
    const std::string folded = minusculesAscii(key);
    if (m_parCle.count(folded))
        return false;
    if (!parent.empty() && !noeud(parent))
        return false;
    m_noeuds.push_back({std::string(parent), std::string(key), std::string(text), std::string(image), {}, false});
    m_parCle.emplace(folded, m_noeuds.size() - 1);
    return true;
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
    const NoeudArbre *parent = noeud(key);
    std::vector<const NoeudArbre *> children;
    for (const NoeudArbre &n : m_noeuds) {
        if (parent && clesEgales(n.Parent, parent->Key))
            children.push_back(&n);
    }
    if (parent && parent->Sorted) {
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
}

} // namespace tarvenko
