#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The programs' text is cp932 bytes. The console speaks the character set of
// the user's locale: output is converted into it, and input lines are
// converted back to cp932 before anyone looks at them.
namespace platform {

// What the console speaks, and so how its bytes stand to the programs' cp932.
struct ConsoleCharset {
    enum class Kind {
        cp932,  // the programs' own text (a cp932 terminal, the C locale): bytes pass unchanged
        utf8,   // converted through tables made from the system's iconv at build time
        iconv,  // another set that the system's iconv knows, converted through iconv
    };
    Kind kind = Kind::cp932;
    std::string name;  // iconv's name of the set, for Kind::iconv

    static ConsoleCharset cp932() { return {}; }
    static ConsoleCharset utf8() { return {Kind::utf8, {}}; }
    static ConsoleCharset throughIconv(std::string name) { return {Kind::iconv, std::move(name)}; }
};

// The character set of the user's locale: the first of LC_ALL, LC_CTYPE and
// LANG that is set and not empty names the locale, whose character set
// decides (or, for a locale that is not installed, the set its name gives
// after the dot). "C" and "POSIX" are cp932: a cp932 terminal wants the bytes
// as they are. With none of the three set at all, UTF-8. Leaves the
// program's own locale as it was.
ConsoleCharset localeCharset();

// What a character set name (as nl_langinfo(CODESET) gives it, or as it
// stands after the dot of a locale name) means at the console: UTF-8; cp932
// for a Shift_JIS or cp932 set, for no name and for a set that iconv does not
// know; any other set through iconv.
ConsoleCharset charsetNamed(std::string_view codeset);

// Output pieces may cut a double-byte character in two; its lead byte waits
// here for the next piece.
struct Cp932Carry {
    std::string leadByte;
};

// The room that cp932ToUtf8 needs for a piece of `size` bytes.
constexpr std::size_t utf8Room(std::size_t size) { return 3 * (size + 1) + 8; }

// Converts one piece of cp932 output to UTF-8, into `out`, which has
// utf8Room(piece.size()) bytes; returns the end of what it wrote. A byte
// sequence that is not valid cp932 becomes U+FFFD: a lead and a second byte
// that name no character are one bad character, a lead byte without a proper
// second byte is bad alone (what follows it is read afresh). A lead byte at
// the end of the piece is held in `carry` and converted with the next piece.
char* cp932ToUtf8(std::string_view piece, Cp932Carry& carry, char* out);
std::string cp932ToUtf8(std::string_view piece, Cp932Carry& carry);

// The end of the output: a lead byte still held becomes U+FFFD.
std::string finishCp932(Cp932Carry& carry);

// Converts one input line from UTF-8 to cp932, appending to `out`. A
// character that cp932 cannot hold, and each broken UTF-8 sequence (as far as
// it is a well-formed start), becomes "?"; `lostCharacters` then tells so (a
// "?" typed as such is no loss).
void utf8ToCp932(std::string_view line, std::string& out, bool& lostCharacters);
std::string utf8ToCp932(std::string_view line, bool& lostCharacters);
std::string utf8ToCp932(std::string_view line);

// Converts UTF-8 text into the set `charset` through iconv, appending to
// `out`, and ends in the set's initial shift state. A character that the set
// lacks (U+FFFD included) becomes the set's "?".
void utf8ToCharset(std::string_view text, std::string_view charset, std::string& out);

// Converts a line in the set `charset` to UTF-8 through iconv, appending to
// `out`. Each byte where no character of the set starts, and a character cut
// off at the end, becomes "?", and `lostCharacters` tells so.
void charsetToUtf8(std::string_view line, std::string_view charset, std::string& out, bool& lostCharacters);

// Whether `bytes` (not empty) hold one whole character of the set `charset`
// as iconv reads it, or a broken one that ends where it breaks; false while
// more bytes may complete it.
bool charsetCharacterComplete(std::string_view bytes, std::string_view charset);

// True for the first byte of a cp932 double-byte character.
constexpr bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True for a byte that may stand second in a cp932 double-byte character.
constexpr bool isCp932TrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// True for a byte that stands alone as a cp932 character: ASCII and the
// half-width katakana. 0x80, 0xA0 and 0xFD to 0xFF are no character at all.
constexpr bool isCp932SingleByte(unsigned char byte) {
    return byte <= 0x7F || (byte >= 0xA1 && byte <= 0xDF);
}

// Whether `text` is whole cp932: every byte a character of its own, or a lead
// byte followed by a trail byte.
constexpr bool isValidCp932(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        auto byte = static_cast<unsigned char>(text[at]);
        if (isCp932SingleByte(byte)) continue;
        if (!isCp932LeadByte(byte) || at + 1 >= text.size() ||
            !isCp932TrailByte(static_cast<unsigned char>(text[at + 1]))) {
            return false;
        }
        ++at;
    }
    return true;
}

// Appends the UTF-8 form of the code point `value` (at most U+10FFFF).
constexpr void appendUtf8(std::string& text, std::uint32_t value) {
    if (value < 0x80) {
        text += static_cast<char>(value);
    } else if (value < 0x800) {
        text += static_cast<char>(0xC0 | (value >> 6));
        text += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        text += static_cast<char>(0xE0 | (value >> 12));
        text += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (value >> 18));
        text += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// How the bytes at the start of a text stand as one UTF-8 character.
struct Utf8Start {
    int length;     // the whole character when complete, else its well-formed start (at least 1)
    bool complete;  // the whole character is there and well formed
};

// Looks at the character that starts at `bytes[0]`; `bytes` must not be empty.
Utf8Start scanUtf8Char(std::string_view bytes);

}  // namespace platform
