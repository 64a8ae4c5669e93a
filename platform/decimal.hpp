#pragma once
#include <charconv>
#include <optional>
#include <string_view>

namespace platform {

// The value of `digits` read as plain decimal digits: nothing but '0' to '9'
// (no sign, no blank, at least one digit), and a value that fits `Number`.
// Leading zeros are taken; a caller that refuses them says so itself.
template <typename Number>
std::optional<Number> parseDigits(std::string_view digits) {
    // from_chars takes a minus sign for a signed number: the first byte must
    // be a digit.
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
    Number value{};
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

}  // namespace platform
