#pragma once
#include <cstdint>

namespace platform {

// Calendar time in seconds since 1970, cut to 32 bits: the default seed.
std::uint32_t calendarSeconds();

// Seconds since some fixed moment, with a fraction: for measuring how long
// something takes.
double elapsedSeconds();

}  // namespace platform
