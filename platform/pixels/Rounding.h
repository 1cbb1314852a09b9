#pragma once
// Float to integer as the program converts everywhere: to the nearest integer, halves to
// the even neighbour. A value beyond the 32-bit range is held at its end, and NaN gives 0,
// so no conversion is ever undefined.

#include <cmath>
#include <cstdint>
#include <limits>

namespace oz {

inline std::int32_t ToInt32(double v) {
    const double r = std::nearbyint(v);
    if (std::isnan(r))
        return 0;
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

} // namespace oz
