#include <windows.h>

#include "platform/clock.hpp"

namespace platform {

// The performance counter: monotonic, to well under a microsecond.
double elapsedSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&count)) return 0.0;
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace platform
