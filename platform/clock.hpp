#pragma once
#include <cstdint>

namespace platform {

// Calendar time in seconds since 1970, cut to 32 bits: the default seed.
std::uint32_t calendarSeconds();

// Seconds on a clock that only goes forward, from some fixed moment: for
// measuring how long something takes.
double steadySeconds();

}  // namespace platform
