#include "platform/seed_option.hpp"

#include <charconv>

namespace platform {

std::optional<std::uint32_t> parseSeed(std::string_view text) {
    // from_chars takes no sign for an unsigned number, and no blank.
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace platform
