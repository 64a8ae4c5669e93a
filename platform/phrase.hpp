#pragma once
#include <concepts>
#include <cstddef>
#include <string_view>

#if !defined(_WIN32)
#include "generated/cp932_code_points.hpp"
#endif

// The programs' own texts that are printed again and again, in the two forms
// that the console may want: cp932 bytes, and UTF-8 for a UTF-8 console. The
// UTF-8 form is made when the program is compiled, from the same mapping as
// the console's conversion (both are made from the system's iconv), so that a
// phrase goes out at a UTF-8 console as a copy, like any text in cp932.
//
//     out.put("現在の座標は("_phrase, x, ...);
//
// A text that is not valid cp932 does not compile as a phrase. The Windows
// console speaks cp932: there the UTF-8 form is the cp932 one, never used.
namespace platform {

struct Phrase {
    std::string_view cp932;
    std::string_view utf8;
};

// A phrase literal: a type with its two forms as constants.
template <typename T>
concept PhraseLiteral = !std::same_as<T, Phrase> && requires {
    { T::cp932 } -> std::convertible_to<std::string_view>;
    { T::utf8 } -> std::convertible_to<std::string_view>;
};

namespace phrase_detail {

// A string literal as a template argument: its bytes without the final NUL.
template <std::size_t N>
struct Literal {
    char bytes[N - 1 > 0 ? N - 1 : 1]{};
    static constexpr std::size_t size = N - 1;
    consteval Literal(const char (&text)[N]) {
        for (std::size_t i = 0; i + 1 < N; ++i) bytes[i] = text[i];
    }
};

#if !defined(_WIN32)
// The code point of the cp932 character at `at` (its bytes in `length`).
consteval char32_t codePointAt(const char* bytes, std::size_t size, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const char16_t single = cp932::codePointOfByte[lead];
    if (single != cp932::noCodePoint) {
        length = 1;
        return single;
    }
    if (at + 1 >= size) throw "a phrase ends within a character";
    const char16_t pair = cp932::codePointOfPair[cp932::pairRowOfLead[lead]][static_cast<unsigned char>(bytes[at + 1])];
    if (pair == cp932::noCodePoint) throw "a phrase holds bytes that are no cp932 character";
    length = 2;
    return pair;
}

consteval std::size_t utf8Length(char32_t codePoint) { return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : 3; }

// Walks the text's characters; with `to`, writes their UTF-8 there. Returns
// the UTF-8 length.
consteval std::size_t toUtf8(const char* bytes, std::size_t size, char* to) {
    std::size_t written = 0;
    for (std::size_t at = 0, length = 0; at < size; at += length) {
        const char32_t c = codePointAt(bytes, size, at, length);
        const std::size_t n = utf8Length(c);
        if (to != nullptr) {
            if (n == 1) {
                to[written] = static_cast<char>(c);
            } else if (n == 2) {
                to[written] = static_cast<char>(0xC0 | (c >> 6));
                to[written + 1] = static_cast<char>(0x80 | (c & 0x3F));
            } else {
                to[written] = static_cast<char>(0xE0 | (c >> 12));
                to[written + 1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                to[written + 2] = static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        written += n;
    }
    return written;
}
#endif

// The two forms of one literal, kept for the whole run: each literal is a
// type of its own, so that its sizes are known wherever it is printed.
template <Literal Text>
struct PhraseOf {
    static constexpr std::string_view cp932{Text.bytes, Text.size};
#if defined(_WIN32)
    static constexpr std::size_t utf8Size = Text.size;
#else
    static constexpr std::size_t utf8Size = toUtf8(Text.bytes, Text.size, nullptr);
#endif
    struct Utf8 {
        char bytes[utf8Size > 0 ? utf8Size : 1]{};
    };
    static constexpr Utf8 utf8Bytes = []() consteval {
        Utf8 made{};
#if defined(_WIN32)
        for (std::size_t i = 0; i < Text.size; ++i) made.bytes[i] = Text.bytes[i];
#else
        toUtf8(Text.bytes, Text.size, made.bytes);
#endif
        return made;
    }();
    static constexpr std::string_view utf8{utf8Bytes.bytes, utf8Size};

    // Any one of several phrases, chosen when the program runs.
    constexpr operator Phrase() const { return {cp932, utf8}; }
};

}  // namespace phrase_detail

inline namespace literals {
template <phrase_detail::Literal Text>
consteval phrase_detail::PhraseOf<Text> operator""_phrase() {
    return {};
}
}  // namespace literals

}  // namespace platform
