#include "knowledge/file_lookup.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <filesystem>
#include <optional>
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

// Full Unicode case folding (ICU's, the one the Unicode standard defines for caseless matching),
// in UTF-16; nothing for a name that is not valid UTF-8.
std::optional<std::u16string> plie(std::string_view name)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, name.data(), static_cast<int32_t>(name.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    std::u16string utf16(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar *>(utf16.data()), length, nullptr, name.data(),
                  static_cast<int32_t>(name.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;

    // Folding may lengthen a name (ß gives ss): measured first, then done.
    status = U_ZERO_ERROR;
    const int32_t folded = u_strFoldCase(nullptr, 0, reinterpret_cast<const UChar *>(utf16.data()), length,
                                         U_FOLD_CASE_DEFAULT, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    std::u16string out(static_cast<std::size_t>(folded), u'\0');
    status = U_ZERO_ERROR;
    u_strFoldCase(reinterpret_cast<UChar *>(out.data()), folded, reinterpret_cast<const UChar *>(utf16.data()),
                  length, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return out;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
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

// A name of the folder that matches `part` without regard to case. Where several do (Oak.ryk
// and oak.ryk), the first in byte order, so that the same path always gives the same file.
std::optional<std::string> chercheDans(const fs::path &folder, const std::string &part)
{
    const std::optional<std::u16string> voulu = plie(part);
    std::optional<std::string> trouve;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (trouve && name >= *trouve)
            continue;
        // Names that are not UTF-8 (written in an old 8-bit code page) still match in ASCII.
        const std::optional<std::u16string> candidat = voulu ? plie(name) : std::nullopt;
        const bool meme = voulu && candidat ? *candidat == *voulu : equalIgnoringAsciiCase(name, part);
        if (meme)
            trouve = std::move(name);
    }
    return trouve;
}

} // namespace

std::string resoutChemin(std::string_view path)
{
    if (path.empty())
        return {};
    std::error_code ec;
    // A name that exists as written is that file, even where "\" is part of a Unix name.
    if (fs::exists(fs::path(path), ec))
        return std::string(path);

    const bool absolute = path.front() == '/' || path.front() == '\\';
    const bool trailing = path.back() == '/' || path.back() == '\\';
    fs::path resolved = absolute ? fs::path("/") : fs::path();
    bool stillOnDisk = true;
    for (const std::string &part : components(path)) {
        fs::path candidate = resolved / part;
        if (stillOnDisk && part != "." && part != ".." && !fs::exists(candidate, ec)) {
            const std::optional<std::string> name = chercheDans(resolved.empty() ? fs::path(".") : resolved, part);
            if (name)
                candidate = resolved / *name;
            stillOnDisk = name.has_value();
            ec.clear();
        }
        resolved = std::move(candidate);
    }
    std::string out = resolved.string();
    if (trailing && (out.empty() || out.back() != '/'))
        out += '/';
    return out;
}

std::string resoutCheminLangue(std::string_view path, std::string_view codeLangue)
{
    const std::size_t debutNom = path.find_last_of("/\\");
    const std::size_t nom = debutNom == std::string_view::npos ? 0 : debutNom + 1;
    if (!codeLangue.empty() && nom < path.size()) {
        std::size_t point = path.rfind('.');
        // A name that starts with its only dot (".wmf") has no extension to keep apart.
        if (point == std::string_view::npos || point <= nom)
            point = path.size();
        std::string traduit(path.substr(0, point));
        traduit.append("_").append(codeLangue).append(path.substr(point));
        std::string resolu = resoutChemin(traduit);
        std::error_code ec;
        if (fs::is_regular_file(resolu, ec))
            return resolu;
    }
    return resoutChemin(path);
}

bool cheminExiste(std::string_view path)
{
    std::error_code ec;
    return fs::exists(resoutChemin(path), ec);
}

} // namespace tarvenko
