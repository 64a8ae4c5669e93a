#include "platform/clock.hpp"

#include <chrono>
#include <ctime>

namespace platform {

std::uint32_t calendarSeconds() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)));
}

double steadySeconds() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace platform
