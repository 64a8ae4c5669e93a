#include "platform/seed_option.hpp"

#include "platform/decimal.hpp"

namespace platform {

std::optional<std::uint32_t> parseSeed(std::string_view text) { return parseDigits<std::uint32_t>(text); }

}  // namespace platform
