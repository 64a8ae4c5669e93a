#pragma once
#include <string>
#include <string_view>

// The programs' text is cp932 bytes. A console whose locale speaks UTF-8 gets
// it converted on the way out, and hands in UTF-8 lines that are converted to
// cp932 before anyone looks at them.
namespace platform {

// Whether the character set of the user's locale (LC_ALL, then LC_CTYPE,
// then LANG) is UTF-8. Leaves the program's own locale as it was.
bool localeUsesUtf8();

// Whether a character set name (as nl_langinfo(CODESET) gives it, or as it
// stands after the dot of a locale name) names UTF-8.
bool isUtf8Codeset(std::string_view codeset);

// Output pieces may cut a double-byte character in two; its lead byte waits
// here for the next piece.
struct Cp932Carry {
    std::string leadByte;
};

// Converts one piece of cp932 output to UTF-8. A byte sequence that is not
// valid cp932 becomes U+FFFD; a lead byte at the end of the piece is held in
// `carry` and converted with the next piece.
std::string cp932ToUtf8(std::string_view piece, Cp932Carry& carry);

// The end of the output: a lead byte still held becomes U+FFFD.
std::string finishCp932(Cp932Carry& carry);

// Converts one input line from UTF-8 to cp932. A character that cp932 cannot
// hold, and each broken UTF-8 sequence, becomes "?"; `lostCharacters` then
// tells so (a "?" typed as such is no loss).
std::string utf8ToCp932(std::string_view line, bool& lostCharacters);
std::string utf8ToCp932(std::string_view line);

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

// How the bytes at the start of a text stand as one UTF-8 character.
struct Utf8Start {
    int length;     // the whole character when complete, else its well-formed start (at least 1)
    bool complete;  // the whole character is there and well formed
};

// Looks at the character that starts at `bytes[0]`; `bytes` must not be empty.
Utf8Start scanUtf8Char(std::string_view bytes);

}  // namespace platform
