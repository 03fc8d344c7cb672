#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvenko {

// The species tree as plain data: nodes in the order they were added, each with the key of its
// parent (empty for a root). The tree widget shows it as it is; children of a node marked
// `Sorted` are shown in alphabetical order.
struct NoeudArbre {
    std::string Parent;
    std::string Key;
    std::string Text;
    std::string Image;
    std::string Tag;
    bool Sorted = false;
};

class Arbre_Especes final {
public:
    // Adds a node under `parent` (empty for a root). Fails, adding nothing, when the key is
    // already used anywhere in the tree (keys compare without regard to case) or when the parent
    // does not exist.
    bool ajoute(std::string_view parent, std::string_view key, std::string_view text, std::string_view image);
    // The node with that key, or nullptr.
    NoeudArbre *noeud(std::string_view key);
    const NoeudArbre *noeud(std::string_view key) const;

    const std::vector<NoeudArbre> &noeuds() const { return m_noeuds; }
    // The node added last (by a successful ajoute); the tree must not be empty.
    NoeudArbre &dernier() { return m_noeuds.back(); }
    // Room for this many nodes, so that building a large tree does not move it again and again.
    void reserve(std::size_t noeuds);
    // Keys of the children of a node, in the order the tree shows them.
    std::vector<std::string> enfants(std::string_view key) const;
    void clear();

private:
    std::vector<NoeudArbre> m_noeuds;
    std::unordered_map<std::string, std::size_t> m_parCle; // folded key -> node
    std::vector<std::vector<std::size_t>> m_enfants;      // node -> its children, in the order added
    std::string m_dernierParent;                          // the parent ajoute found last, as given
    std::size_t m_indexDernierParent = 0;
    bool m_dernierParentConnu = false;
};

} // namespace tarvenko
