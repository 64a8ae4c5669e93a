#include "platform/clock.hpp"

#include <windows.h>

namespace platform {

// The performance counter: steady, and finer than a microsecond.
double elapsedSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!::QueryPerformanceFrequency(&frequency) || !::QueryPerformanceCounter(&now)) return 0.0;
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace platform
