#pragma once
#include <cstdint>

namespace platform {

// Calendar time in seconds since 1970, cut to 32 bits: the default seed.
std::uint32_t calendarSeconds();

}  // namespace platform
