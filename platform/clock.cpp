#include "platform/clock.hpp"

#include <ctime>

namespace platform {

std::uint32_t calendarSeconds() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)));
}

}  // namespace platform
