#pragma once
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_encoding.hpp"

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
    // Two literals one after the other.
    template <std::size_t A, std::size_t B>
    consteval Literal(const Literal<A>& first, const Literal<B>& second) {
        static_assert(A + B - 1 == N, "the joined literal holds both");
        for (std::size_t i = 0; i < first.size; ++i) bytes[i] = first.bytes[i];
        for (std::size_t i = 0; i < second.size; ++i) bytes[first.size + i] = second.bytes[i];
    }
};

#if !defined(_WIN32)
// The code point of the cp932 character at `at` (its bytes in `length`).
constexpr char32_t codePointAt(const char* bytes, std::size_t size, std::size_t at, std::size_t& length) {
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

// The UTF-8 of the text's characters.
constexpr std::string utf8Form(const char* bytes, std::size_t size) {
    std::string utf8;
    for (std::size_t at = 0, length = 0; at < size; at += length) {
        appendUtf8(utf8, codePointAt(bytes, size, at, length));
    }
    return utf8;
}
#else
// The Windows console speaks cp932: the UTF-8 form is never used there.
constexpr std::string utf8Form(const char* bytes, std::size_t size) { return std::string(bytes, size); }
#endif

// The two forms of one literal, kept for the whole run: each literal is a
// type of its own, so that its sizes are known wherever it is printed.
template <Literal Text>
struct PhraseOf {
    static constexpr std::string_view cp932{Text.bytes, Text.size};
    static constexpr std::size_t utf8Size = []() consteval { return utf8Form(Text.bytes, Text.size).size(); }();
    struct Utf8 {
        char bytes[utf8Size > 0 ? utf8Size : 1]{};
    };
    static constexpr Utf8 utf8Bytes = []() consteval {
        Utf8 made{};
        const std::string form = utf8Form(Text.bytes, Text.size);
        for (std::size_t i = 0; i < form.size(); ++i) made.bytes[i] = form[i];
        return made;
    }();
    static constexpr std::string_view utf8{utf8Bytes.bytes, utf8Size};

    // Any one of several phrases, chosen when the program runs.
    constexpr operator Phrase() const { return {cp932, utf8}; }
};

// Two phrases one after the other, as one phrase: fixed parts of a line that
// meet (a banner and its title) go out as one copy.
template <Literal First, Literal Second>
consteval auto operator+(PhraseOf<First>, PhraseOf<Second>) {
    return PhraseOf<Literal<First.size + Second.size + 1>(First, Second)>{};
}

}  // namespace phrase_detail

// A phrase chosen when the program runs from a table made when compiling
// (the lines of a few fixed values, say), each form at the start of an array
// of fixed size: it goes out as a copy of that size, without a call. The
// bytes past a form's end are nothing; they are written over.
template <std::size_t Cp932Room, std::size_t Utf8Room>
struct PaddedPhrase {
    char cp932Bytes[Cp932Room]{};
    char utf8Bytes[Utf8Room]{};
    unsigned char cp932Size = 0;
    unsigned char utf8Size = 0;

    constexpr Phrase phrase() const { return {{cp932Bytes, cp932Size}, {utf8Bytes, utf8Size}}; }

    // Appends `text`, given in both forms, at the end of the phrase.
    constexpr void append(std::string_view cp932Text, std::string_view utf8Text) {
        for (char c : cp932Text) cp932Bytes[cp932Size++] = c;
        for (char c : utf8Text) utf8Bytes[utf8Size++] = c;
    }
};

inline namespace literals {
template <phrase_detail::Literal Text>
consteval phrase_detail::PhraseOf<Text> operator""_phrase() {
    return {};
}
}  // namespace literals

}  // namespace platform
