#include "platform/terminal.hpp"

#include "platform/text_encoding.hpp"

// Where the bytes of one key press end: the same on every terminal.
namespace platform {
namespace {

constexpr unsigned char escape = 0x1B;

bool characterComplete(std::string_view bytes, const ConsoleCharset& charset) {
    auto lead = static_cast<unsigned char>(bytes[0]);
    switch (charset.kind) {
    case ConsoleCharset::Kind::cp932:
        return !isCp932LeadByte(lead) || bytes.size() >= 2;
    case ConsoleCharset::Kind::utf8: {
        if (lead < 0xC2 || lead > 0xF4) return true;  // a single byte, or one that starts nothing
        Utf8Start start = scanUtf8Char(bytes);
        return start.complete || static_cast<std::size_t>(start.length) < bytes.size();
    }
    case ConsoleCharset::Kind::iconv:
        // A character of EUC-JP takes one to three bytes, of other sets up
        // to four: iconv knows where one ends.
        return charsetCharacterComplete(bytes, charset.name);
    }
    return true;
}

// `bytes` starts with Escape.
bool escapeSequenceComplete(std::string_view bytes, const ConsoleCharset& charset) {
    if (bytes.size() < 2) return false;
    auto kind = static_cast<unsigned char>(bytes[1]);
    if (kind == escape) return keyPressComplete(bytes.substr(1), charset);  // Alt with a key that sends Escape
    if (kind == 'O') return bytes.size() >= 3;                            // ESC O P and the like
    if (kind != '[') return characterComplete(bytes.substr(1), charset);   // Alt with a character
    if (bytes.size() >= 3 && bytes[2] == '[') return bytes.size() >= 4;    // ESC [ [ A, a console's F1
    // ESC [, parameter and intermediate bytes, a final byte.
    auto last = static_cast<unsigned char>(bytes.back());
    if (bytes.size() == 2) return false;
    if (last >= 0x40 && last <= 0x7E) return true;
    return last < 0x20 || last > 0x3F;  // a byte that no sequence holds ends it
}

}  // namespace

bool keyPressComplete(std::string_view bytes, const ConsoleCharset& charset) {
    if (bytes.empty()) return false;
    if (static_cast<unsigned char>(bytes[0]) == escape) return escapeSequenceComplete(bytes, charset);
    return characterComplete(bytes, charset);
}

}  // namespace platform
