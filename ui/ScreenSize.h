#pragma once
// The screen's size in pixels, measured once when the main window loads.

#include <cstdint>

namespace oz {

inline std::int32_t ScreenWidthPx = 0;
inline std::int32_t ScreenHeightPx = 0;

} // namespace oz
