#include "platform/console_charset.hpp"

namespace platform {
namespace {

using Kind = ConsoleCharset::Kind;

// Kept from call to call, and never destroyed: the last output goes out
// while the static objects are destroyed at the program's end.
std::string& utf8Output = *new std::string;
std::string& charsetOutput = *new std::string;
std::string& utf8Input = *new std::string;
std::string& outputEnd = *new std::string;

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

std::string_view outputInCharset(std::string_view cp932, const ConsoleCharset& charset, Cp932Carry& carry) {
    if (charset.kind == Kind::cp932) return cp932;
    const std::size_t room = utf8Room(cp932.size());
    if (utf8Output.size() < room) utf8Output.resize(room);
    char* end = cp932ToUtf8(cp932, carry, utf8Output.data());
    return fromUtf8(std::string_view(utf8Output.data(), static_cast<std::size_t>(end - utf8Output.data())), charset);
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

void lineFromCharset(std::string_view bytes, const ConsoleCharset& charset, std::string& line, bool& lostCharacters) {
    switch (charset.kind) {
    case Kind::cp932:
        line.assign(bytes);
        return;
    case Kind::utf8:
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
