#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarvenko {

// An array of 16-bit integers that is either the program's own memory or a private mapping of a
// file's little-endian words: the species-by-state matrix of a large key is tens of megabytes,
// and mapping it costs nothing at opening where reading it meant fresh memory zeroed by the
// system page by page, then copied into (more than half of the start-up at 10,000 species x
// 4,000 states). Pages of the file come in as they are first read, from the page cache.
//
// Writing to a mapped array changes this process's copy only, never the file. Copying an array
// gives one in memory of its own; resizing a mapped one brings it into memory first.
//
// A file cut short behind the program's back (copied over in place while mapped) would make
// reading its lost pages fault: those pages, written ones too, read as zeros instead. The
// program's own writers replace a file by renaming a new one over it, which leaves the mapping of
// the old one whole.
class Tableau16 {
public:
    using value_type = std::int16_t;

    Tableau16() = default;
    Tableau16(std::size_t n, std::int16_t valeur) : m_propres(n, valeur) {}
    Tableau16(std::initializer_list<std::int16_t> valeurs) : m_propres(valeurs) {}
    explicit Tableau16(std::vector<std::int16_t> &&valeurs) : m_propres(std::move(valeurs)) {}
    Tableau16(const Tableau16 &autre);
    Tableau16(Tableau16 &&autre) noexcept;
    Tableau16 &operator=(const Tableau16 &autre);
    Tableau16 &operator=(Tableau16 &&autre) noexcept;
    ~Tableau16();

    std::size_t size() const { return m_projection ? m_tailleProjetee : m_propres.size(); }
    bool empty() const { return size() == 0; }
    const std::int16_t *data() const { return m_projection ? m_projection : m_propres.data(); }
    std::int16_t *data() { return m_projection ? m_projection : m_propres.data(); }
    const std::int16_t &operator[](std::size_t i) const { return data()[i]; }
    std::int16_t &operator[](std::size_t i) { return data()[i]; }
    const std::int16_t *begin() const { return data(); }
    const std::int16_t *end() const { return data() + size(); }
    std::int16_t *begin() { return data(); }
    std::int16_t *end() { return data() + size(); }

    // New values are 0.
    void resize(std::size_t n);
    void assign(std::size_t n, std::int16_t valeur);
    void clear();

    // The values come from a mapped file.
    bool projete() const { return m_projection != nullptr; }

    friend bool operator==(const Tableau16 &a, const Tableau16 &b);

private:
    friend bool Projette_Entiers16_Fd(int fd, std::size_t count, Tableau16 &valeurs);
    void libere();

    std::vector<std::int16_t> m_propres;
    std::int16_t *m_projection = nullptr;
    std::size_t m_tailleProjetee = 0; // values
    std::size_t m_octetsProjetes = 0;
};

// Maps the first `count` little-endian 16-bit integers of an open file (at least 2 x count bytes
// long) into `valeurs`, replacing what it held; the descriptor may be closed afterwards. False,
// with `valeurs` unchanged, where the system cannot map the file (the caller then reads it).
// On a big-endian machine nothing is mapped.
bool Projette_Entiers16_Fd(int fd, std::size_t count, Tableau16 &valeurs);

} // namespace tarvenko
