#include "platform/console_charset.hpp"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

using Kind = ConsoleCharset::Kind;

// Kept from call to call, and never destroyed: the last output goes out
// while the static objects are destroyed at the program's end.
std::string& utf8Output = *new std::string;
std::string& charsetOutput = *new std::string;
std::string& utf8Input = *new std::string;
std::string& outputEnd = *new std::string;

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

bool convertedAsPrinted(const ConsoleCharset& charset) { return charset.kind == Kind::utf8; }

char* utf8AsPrinted(std::string_view cp932, Cp932Carry& carry, char* out) {
    // Names, typed words and numbers are mostly short and ASCII.
    if (carry.leadByte.empty() && isAscii(cp932)) {
        std::memcpy(out, cp932.data(), cp932.size());
        return out + cp932.size();
    }
    return cp932ToUtf8(cp932, carry, out);
}

void writeInCharset(std::string_view cp932, const ConsoleCharset& charset, Cp932Carry& carry, OutputSink sink) {
    if (charset.kind == Kind::cp932) {
        sink(cp932);
        return;
    }
    // Through UTF-8; a set with shift states wants a whole flush at once.
    const std::size_t room = utf8Room(cp932.size());
    if (utf8Output.size() < room) utf8Output.resize(room);
    char* end = cp932ToUtf8(cp932, carry, utf8Output.data());
    sink(fromUtf8(std::string_view(utf8Output.data(), static_cast<std::size_t>(end - utf8Output.data())), charset));
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
