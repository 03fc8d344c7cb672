#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenko {

// The interface texts of the three languages. The table is compiled into the program and holds
// three blocks of the same numbers: English from 1000, Spanish from 2000, French from 3000.
class StringTable final {
public:
    struct Entry {
        int id = 0;
        std::string text;
    };

    // The table compiled into the program.
    static const StringTable &builtin();
    // A table read from tab-separated lines: "N<TAB>English<TAB>Spanish<TAB>French"; an empty cell
    // is no entry. Lines starting with '#' and blank lines are ignored.
    static StringTable parse(std::string_view tsv);

    // Entry `id` of the table (e.g. 3003 for the French of 1003), or nothing.
    std::optional<std::string_view> entry(int id) const;
    const std::vector<Entry> &entries() const { return m_entries; }
    // Lines that could not be read when the table was parsed.
    const std::vector<std::string> &errors() const { return m_errors; }

private:
    std::vector<Entry> m_entries; // sorted by id
    std::vector<std::string> m_errors;
};

// Text n of the current language: entry Num_Langue * 1000 + n for the English number n.
// Nothing when the language has no such entry (or the language is not one of 0, 1, 2).
std::optional<std::string> Texte(std::int16_t Num_Langue, int n);

// Text n of the current language, or of English where the current language has no entry.
std::string Texte_Ou_Anglais(std::int16_t Num_Langue, int n);

} // namespace tarvenko
