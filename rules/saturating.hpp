#pragma once
#include <cstdint>
#include <limits>

// Every statistic is a signed 32-bit number. Sums and differences are worked
// out exactly in 64 bits and then pinned to the 32-bit range, once, so that
// extreme values never overflow.
inline std::int32_t saturate(std::int64_t exact) {
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (exact < low) return static_cast<std::int32_t>(low);
    if (exact > high) return static_cast<std::int32_t>(high);
    return static_cast<std::int32_t>(exact);
}
