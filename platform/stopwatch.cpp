#include <time.h>

#include "platform/clock.hpp"

namespace platform {

// The monotonic clock: a measurement is not thrown off when the calendar
// clock is set. (<chrono> cannot be compiled with the programs' cp932
// literals, for its "µs".)
double elapsedSeconds() {
    struct timespec now {};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0.0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace platform
