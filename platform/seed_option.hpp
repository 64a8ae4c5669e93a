#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// The value of a `--seed N` option: plain decimal digits, 0 to 4294967295.
std::optional<std::uint32_t> parseSeed(std::string_view text);

}  // namespace platform
