#pragma once

#include <algorithm>
#include <cmath>

namespace tarvenko::detail {

// Device coordinates are kept within this range (and finite): far beyond any target, yet safe
// to round to integers and within what Qt's rasterizer clips correctly.
inline constexpr double kCoordinateLimit = 1 << 22;

inline double limited(double v) { return std::isfinite(v) ? std::clamp(v, -kCoordinateLimit, kCoordinateLimit) : 0.0; }

} // namespace tarvenko::detail
