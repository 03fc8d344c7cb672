#include "resources/string_table.h"

#include <algorithm>
#include <charconv>

namespace tarvenko {

namespace detail {
extern const std::string_view kStringTableTsv;
}

namespace {

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

} // namespace

StringTable StringTable::parse(std::string_view tsv)
{
    StringTable table;
    std::size_t pos = 0;
    int lineNumber = 0;
    while (pos < tsv.size()) {
        std::size_t end = tsv.find('\n', pos);
        if (end == std::string_view::npos)
            end = tsv.size();
        std::string_view line = tsv.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const auto cells = splitTabs(line);
        int number = 0;
        const auto [ptr, ec] = std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), number);
        if (cells.size() != 4 || ec != std::errc() || ptr != cells[0].data() + cells[0].size()
            || number < 1000 || number > 1999) {
            table.m_errors.push_back("line " + std::to_string(lineNumber) + ": " + std::string(line));
            continue;
        }
        for (int language = 0; language < 3; ++language) {
            const std::string_view text = cells[static_cast<std::size_t>(language) + 1];
            if (!text.empty())
                table.m_entries.push_back({number + language * 1000, std::string(text)});
        }
    }
    std::stable_sort(table.m_entries.begin(), table.m_entries.end(),
                     [](const Entry &a, const Entry &b) { return a.id < b.id; });
    for (std::size_t i = 1; i < table.m_entries.size(); ++i) {
        if (table.m_entries[i].id == table.m_entries[i - 1].id)
            table.m_errors.push_back("duplicate entry " + std::to_string(table.m_entries[i].id));
    }
    return table;
}

const StringTable &StringTable::builtin()
{
    static const StringTable table = parse(detail::kStringTableTsv);
    return table;
}

std::optional<std::string_view> StringTable::entry(int id) const
{
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                     [](const Entry &e, int value) { return e.id < value; });
    if (it == m_entries.end() || it->id != id)
        return std::nullopt;
    return std::string_view(it->text);
}

std::optional<std::string> Texte(std::int16_t Num_Langue, int n)
{
    if (Num_Langue < 0 || Num_Langue > 2)
        return std::nullopt;
    const auto text = StringTable::builtin().entry(Num_Langue * 1000 + n);
    if (!text)
        return std::nullopt;
    return std::string(*text);
}

std::string Texte_Ou_Anglais(std::int16_t Num_Langue, int n)
{
    if (auto text = Texte(Num_Langue, n))
        return *text;
    return Texte(0, n).value_or(std::string());
}

} // namespace tarvenko
