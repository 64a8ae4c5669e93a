#include "platform/seed_option.hpp"

namespace platform {

std::optional<std::uint32_t> parseSeed(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> parseCount(std::string_view text) {
    auto value = parseSeed(text);
    if (!value || *value == 0) return std::nullopt;
    return value;
}

}  // namespace platform
