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

// "0000" to "9999", four characters each: a number of three or four digits,
// and each group of four of a longer one, is a copy. Made when the program
// is compiled; 40 KB, of which a run reads only the lines of the numbers it
// prints.
struct FourDigitGroups {
    char digits[10000][4];
};
inline constexpr FourDigitGroups fourDigitGroups = [] {
    FourDigitGroups groups{};
    for (unsigned n = 0; n < 10000; ++n) {
        groups.digits[n][0] = static_cast<char>('0' + n / 1000);
        groups.digits[n][1] = static_cast<char>('0' + n / 100 % 10);
        groups.digits[n][2] = static_cast<char>('0' + n / 10 % 10);
        groups.digits[n][3] = static_cast<char>('0' + n % 10);
    }
    return groups;
}();

// Writes `n` (below 10000) at `to` without leading zeros; returns the end.
// Two tests tell the width; three and four digits are a copy of the
// number's group.
[[gnu::always_inline]] inline char* writeUpToFourDigits(char* to, std::uint32_t n) {
    if (n < 100) {
        if (n < 10) {
            *to = static_cast<char>('0' + n);
            return to + 1;
        }
        std::memcpy(to, digitPairs + 2 * n, 2);
        return to + 2;
    }
    if (n < 1000) {
        std::memcpy(to, fourDigitGroups.digits[n] + 1, 3);
        return to + 3;
    }
    std::memcpy(to, fourDigitGroups.digits[n], 4);
    return to + 4;
}

// Writes the four digits of `n` (below 10000) at `to`, leading zeros included.
[[gnu::always_inline]] inline char* writeFourDigits(char* to, std::uint32_t n) {
    std::memcpy(to, fourDigitGroups.digits[n], 4);
    return to + 4;
}

// Writes `n` (10000 or more) at `to`; returns the end. The groups of four
// are split off by divisions that are multiplies, and copied.
[[gnu::always_inline]] inline char* writeManyDigits(char* to, std::uint32_t n) {
    if (n < 100000000) {
        std::uint32_t high = n / 10000;
        to = writeUpToFourDigits(to, high);
        return writeFourDigits(to, n - high * 10000);
    }
    // Nine or ten digits: the first one or two (at most 42), then eight.
    std::uint32_t high = n / 100000000;
    std::uint32_t rest = n - high * 100000000;
    std::uint32_t middle = rest / 10000;
    if (high < 10) {
        *to = static_cast<char>('0' + high);
        ++to;
    } else {
        std::memcpy(to, digitPairs + 2 * high, 2);
        to += 2;
    }
    writeFourDigits(to, middle);
    return writeFourDigits(to + 4, rest - middle * 10000);
}

// The same for a number wider than 32 bits, which the programs print
// seldom (the report's counts): as std::to_chars writes it.
[[gnu::noinline]] inline char* writeManyDigits(char* to, std::uint64_t n) {
    return std::to_chars(to, to + std::numeric_limits<std::uint64_t>::digits10 + 1, n).ptr;
}

// Writes a minus sign and `magnitude`; out of line, as the programs' numbers
// are seldom negative.
template <typename Wide>
[[gnu::noinline]] char* writeNegative(char* to, Wide magnitude) {
    *to++ = '-';
    if (magnitude < 10000) return writeUpToFourDigits(to, static_cast<std::uint32_t>(magnitude));
    return writeManyDigits(to, magnitude);
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
    // A short number that is not negative passes the one test: a negative
    // one is a large magnitude here.
    if (magnitude < 10000) return decimal_detail::writeUpToFourDigits(to, static_cast<std::uint32_t>(magnitude));
    if constexpr (std::is_signed_v<T>) {
        if (value < 0) return decimal_detail::writeNegative(to, Wide{0} - magnitude);
    }
    return decimal_detail::writeManyDigits(to, magnitude);
}

}  // namespace platform
