#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tarvenko {

// The core keeps texts as UTF-8 std::string; the interface as QString.
inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string us(const QString &text) { return text.toStdString(); }

} // namespace tarvenko
