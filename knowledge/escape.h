#pragma once

#include <string>
#include <string_view>

namespace tarvenko {

// `text` with & < > and " written as HTML entities, for the text and attributes of a page.
std::string echappeHtml(std::string_view text);
// `text` as a JSON string, quotes included.
std::string chaineJson(std::string_view text);

} // namespace tarvenko
