#pragma once
#include <bit>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

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

// The most characters that writeDecimal writes for a number of type T: its
// digits and a minus sign.
template <std::integral T>
constexpr std::size_t mostDecimalChars = std::numeric_limits<T>::digits10 + 2;

namespace decimal_detail {

// "00" to "99", two characters each: the digits go out two at a time.
inline constexpr char digitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes `n` (below 10000) at `to` without leading zeros; returns the end.
[[gnu::always_inline]] inline char* writeUpToFourDigits(char* to, std::uint32_t n) {
    if (n < 10) {
        *to = static_cast<char>('0' + n);
        return to + 1;
    }
    if (n < 100) {
        std::memcpy(to, digitPairs + 2 * n, 2);
        return to + 2;
    }
    std::uint32_t high = n / 100;
    if (high < 10) {
        *to = static_cast<char>('0' + high);
        ++to;
    } else {
        std::memcpy(to, digitPairs + 2 * high, 2);
        to += 2;
    }
    std::memcpy(to, digitPairs + 2 * (n % 100), 2);
    return to + 2;
}

// Writes the four digits of `n` (below 10000) at `to`, leading zeros included.
inline char* writeFourDigits(char* to, std::uint32_t n) {
    std::memcpy(to, digitPairs + 2 * (n / 100), 2);
    std::memcpy(to + 2, digitPairs + 2 * (n % 100), 2);
    return to + 4;
}

// Writes the eight digits of `n` (below 10^8) at `to`, leading zeros
// included. They are worked out side by side in the lanes of one word rather
// than one pair after another: the two halves of four digits, then each
// half's two pairs, then each pair's two digits, the first digit in the
// word's lowest byte. Each step divides every lane at once by a multiply
// that is exact for the lane's range, and puts quotient and remainder into
// lanes of half the width by one multiply and add: q + (x - d q) * 2^w is
// (x * 2^w) + q * (1 - d * 2^w), no lane borrowing from the next.
inline char* writeEightDigits(char* to, std::uint32_t n) {
    std::uint64_t high = n / 10000;
    std::uint64_t halves = (std::uint64_t{n} << 32) + high * (1 - (std::uint64_t{10000} << 32));
    // x / 100 as x * 10486 >> 20, exact for every x below 10000.
    std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Fu;
    std::uint64_t pairs = (halves << 16) + hundreds * (1 - (std::uint64_t{100} << 16));
    // y / 10 as y * 103 >> 10, exact for every y below 100.
    std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
    std::uint64_t digits = (pairs << 8) + tens * (1 - (std::uint64_t{10} << 8)) + 0x3030303030303030u;
    if constexpr (std::endian::native == std::endian::big) digits = __builtin_bswap64(digits);
    std::memcpy(to, &digits, 8);
    return to + 8;
}

// Writes `n` (10000 or more) at `to`; returns the end. Out of line, unlike
// the shorter numbers, which are most of them.
[[gnu::noinline]] inline char* writeManyDigits(char* to, std::uint32_t n) {
    if (n < 100000000) {
        to = writeUpToFourDigits(to, n / 10000);
        return writeFourDigits(to, n % 10000);
    }
    // Nine or ten digits: the first one or two (at most 42), then eight.
    std::uint32_t high = n / 100000000;
    to = writeUpToFourDigits(to, high);
    return writeEightDigits(to, n - high * 100000000);
}

// The same for a number wider than 32 bits, which the programs print
// seldom (the report's counts): as std::to_chars writes it.
[[gnu::noinline]] inline char* writeManyDigits(char* to, std::uint64_t n) {
    return std::to_chars(to, to + std::numeric_limits<std::uint64_t>::digits10 + 1, n).ptr;
}

}  // namespace decimal_detail

// Writes `value` in plain decimal at `to`, as std::to_chars does (a minus
// sign for a negative number, no leading zeros), and returns the end of what
// it wrote: at most mostDecimalChars<T> characters, for which the caller has
// room. Inline and without a length check, as the console writes its numbers
// straight into its buffer. Numbers of up to four digits (places, damage,
// most statistics) go out at once, longer ones in groups of four.
template <std::integral T>
[[gnu::always_inline]] inline char* writeDecimal(char* to, T value) {
    using Wide = std::conditional_t<(sizeof(T) > 4), std::uint64_t, std::uint32_t>;
    Wide magnitude = static_cast<Wide>(value);
    if constexpr (std::is_signed_v<T>) {
        if (value < 0) {
            *to++ = '-';
            magnitude = Wide{0} - magnitude;
        }
    }
    if (magnitude < 10000) return decimal_detail::writeUpToFourDigits(to, static_cast<std::uint32_t>(magnitude));
    return decimal_detail::writeManyDigits(to, magnitude);
}

}  // namespace platform
