#include "platform/file_lookup.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace tarvenko {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> components(std::string_view path)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

std::string resoutChemin(std::string_view path)
{
    if (path.empty())
        return {};
    const bool absolute = path.front() == '/' || path.front() == '\\';
    const bool trailing = path.back() == '/' || path.back() == '\\';
    fs::path resolved = absolute ? fs::path("/") : fs::path();
    bool stillOnDisk = true;
    std::error_code ec;
    for (const std::string &part : components(path)) {
        fs::path candidate = resolved / part;
        if (stillOnDisk && part != "." && part != ".." && !fs::exists(candidate, ec)) {
            const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
            bool found = false;
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (equalIgnoringCase(name, part)) {
                    candidate = resolved / name;
                    found = true;
                    break;
                }
            }
            stillOnDisk = found;
            ec.clear();
        }
        resolved = std::move(candidate);
    }
    std::string out = resolved.string();
    if (trailing && (out.empty() || out.back() != '/'))
        out += '/';
    return out;
}

bool cheminExiste(std::string_view path)
{
    std::error_code ec;
    return fs::exists(resoutChemin(path), ec);
}

} // namespace tarvenko
