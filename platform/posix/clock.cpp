#include "platform/clock.hpp"

#include <ctime>

namespace platform {

// <chrono> cannot be compiled with the programs' cp932 literals (its "µs"),
// so the calendar clock of <ctime> measures, to the nanosecond.
double elapsedSeconds() {
    std::timespec now{};
    if (std::timespec_get(&now, TIME_UTC) != TIME_UTC) return 0.0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace platform
