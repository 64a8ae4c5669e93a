#include "platform/console_charset.hpp"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

using Kind = ConsoleCharset::Kind;

// Kept from call to call, and never destroyed: the last output goes out
// while the static objects are destroyed at the program's end. (utf8Output
// serves the consoles of other sets only, which convert a flush whole.)
std::string& utf8Output = *new std::string;
std::string& charsetOutput = *new std::string;
std::string& utf8Input = *new std::string;
std::string& outputEnd = *new std::string;

// Output for a UTF-8 console is converted into this buffer, and written
// whenever it fills: a flush of any size needs no more memory than this. A
// full output buffer (64 KiB of cp932, about a fifth more in UTF-8 for the
// programs' text) fits in one, so a flush is one write as in cp932.
char utf8Buffer[96 * 1024];

// A piece converted into less room than this is not worth the call: the
// buffer is written first.
constexpr std::size_t leastPiece = 512;

// The most cp932 bytes that fit, converted, into `room` bytes, with the
// converter's look-ahead.
constexpr std::size_t bytesFitting(std::size_t room) {
    return room < utf8Room(cp932Ahead) ? 0 : (room - utf8Room(cp932Ahead)) / 3;
}
static_assert(utf8Room(bytesFitting(sizeof utf8Buffer) + cp932Ahead) <= sizeof utf8Buffer);
static_assert(bytesFitting(sizeof utf8Buffer) >= leastPiece);

void writeAsUtf8(std::string_view cp932, Cp932Carry& carry, OutputSink sink) {
    char* const start = utf8Buffer;
    char* out = start;
    while (!cp932.empty()) {
        std::size_t piece = bytesFitting(static_cast<std::size_t>(std::end(utf8Buffer) - out));
        if (piece < leastPiece && piece < cp932.size()) {
            sink(std::string_view(start, static_cast<std::size_t>(out - start)));
            out = start;
            continue;
        }
        if (piece > cp932.size()) piece = cp932.size();
        Utf8Conversion converted = cp932ToUtf8Ahead(cp932, piece, carry, out);
        out = converted.end;
        cp932.remove_prefix(converted.taken);
    }
    if (out != start) sink(std::string_view(start, static_cast<std::size_t>(out - start)));
}

// Whether `text` is all ASCII, which is itself in cp932 and in UTF-8. Typed
// lines are mostly a few bytes: they are looked at in a few loads, of
// pieces that overlap where the line is not a multiple of their size; a
// chunk of input takes a load every four bytes.
bool isAscii(std::string_view text) {
    const char* bytes = text.data();
    const std::size_t size = text.size();
    auto load32 = [&](std::size_t at) {
        std::uint32_t word;
        std::memcpy(&word, bytes + at, sizeof word);
        return word;
    };
    std::uint32_t any = 0;
    if (size >= 4) {
        for (std::size_t at = 0; at + 4 < size; at += 4) any |= load32(at);
        any |= load32(size - 4);
    } else if (size > 0) {
        any = static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[size / 2]) |
              static_cast<unsigned char>(bytes[size - 1]);
    }
    return (any & 0x80808080u) == 0;
}

// UTF-8 output in the console's set: as it is, or through iconv.
std::string_view fromUtf8(std::string_view utf8, const ConsoleCharset& charset) {
    if (charset.kind != Kind::iconv) return utf8;
    charsetOutput.clear();
    utf8ToCharset(utf8, charset.name, charsetOutput);
    return charsetOutput;
}

}  // namespace

const ConsoleCharset& realConsoleCharset() {
    static const ConsoleCharset& chosen = *new ConsoleCharset(localeCharset());
    return chosen;
}

void writeInCharset(std::string_view cp932, const ConsoleCharset& charset, Cp932Carry& carry, OutputSink sink) {
    switch (charset.kind) {
    case Kind::cp932:
        sink(cp932);
        return;
    case Kind::utf8:
        writeAsUtf8(cp932, carry, sink);
        return;
    case Kind::iconv: {
        // A set with shift states wants a whole flush at once.
        const std::size_t room = utf8Room(cp932.size());
        if (utf8Output.size() < room) utf8Output.resize(room);
        char* end = cp932ToUtf8(cp932, carry, utf8Output.data());
        sink(fromUtf8(std::string_view(utf8Output.data(), static_cast<std::size_t>(end - utf8Output.data())), charset));
        return;
    }
    }
}

std::string_view endOfOutputInCharset(const ConsoleCharset& charset, Cp932Carry& carry) {
    outputEnd = finishCp932(carry);
    if (outputEnd.empty()) return {};
    return fromUtf8(outputEnd, charset);
}

std::string wholeTextInCharset(std::string_view cp932, const ConsoleCharset& charset) {
    if (charset.kind == Kind::cp932) return std::string(cp932);
    Cp932Carry carry;
    std::string utf8 = cp932ToUtf8(cp932, carry) + finishCp932(carry);
    if (charset.kind != Kind::iconv) return utf8;
    std::string converted;
    utf8ToCharset(utf8, charset.name, converted);
    return converted;
}

std::string promptInCharset(std::string prompt, const ConsoleCharset& charset, Cp932Carry& carry) {
    if (charset.kind == Kind::utf8) return cp932ToUtf8(prompt, carry);
    return prompt;
}

bool linesPassAsTheyStand(std::string_view input, const ConsoleCharset& charset) {
    switch (charset.kind) {
    case Kind::cp932: return true;
    case Kind::utf8: return isAscii(input);
    case Kind::iconv: return false;
    }
    return false;
}

void lineFromCharset(std::string_view bytes, const ConsoleCharset& charset, std::string& line, bool& lostCharacters) {
    switch (charset.kind) {
    case Kind::cp932:
        line.assign(bytes);
        return;
    case Kind::utf8:
        // Most lines typed are commands and numbers: ASCII, the same in both sets.
        if (isAscii(bytes)) {
            line.assign(bytes);
            lostCharacters = false;
            return;
        }
        line.clear();
        utf8ToCp932(bytes, line, lostCharacters);
        return;
    case Kind::iconv: {
        bool lostOnTheWay = false;
        utf8Input.clear();
        charsetToUtf8(bytes, charset.name, utf8Input, lostOnTheWay);
        line.clear();
        utf8ToCp932(utf8Input, line, lostCharacters);
        lostCharacters = lostCharacters || lostOnTheWay;
        return;
    }
    }
}

}  // namespace platform
