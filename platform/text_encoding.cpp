#include "platform/text_encoding.hpp"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iconv.h>
#include <langinfo.h>

namespace platform {
namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The locale name that the C library would take for LC_CTYPE.
std::string_view userLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

// "ja_JP.UTF-8@euro" -> "UTF-8"; "C.utf8" -> "utf8"; "C" -> "".
std::string_view codesetOfLocaleName(std::string_view name) {
    std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return {};
    std::string_view codeset = name.substr(dot + 1);
    return codeset.substr(0, codeset.find('@'));
}

iconv_t openConverter(const char* to, const char* from) { return ::iconv_open(to, from); }

iconv_t cp932Decoder() {
    static iconv_t handle = openConverter("UTF-8", "CP932");
    return handle;
}

iconv_t cp932Encoder() {
    static iconv_t handle = openConverter("CP932", "UTF-8");
    return handle;
}

bool usable(iconv_t handle) { return handle != reinterpret_cast<iconv_t>(-1); }

enum class Stop { end, invalid, incomplete };

// Converts as much of `in` as it can, appending to `out`; `consumed` tells how
// far it came and the result why it stopped there.
Stop convertRun(iconv_t handle, std::string_view in, std::size_t& consumed, std::string& out) {
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[4096];
    for (;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = ::iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft);
        int error = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        consumed = in.size() - inLeft;
        if (result != static_cast<std::size_t>(-1)) return Stop::end;
        if (error == E2BIG) continue;
        return error == EINVAL ? Stop::incomplete : Stop::invalid;
    }
}

}  // namespace

bool isUtf8Codeset(std::string_view codeset) {
    std::string folded;
    for (char c : codeset) {
        if (c != '-' && c != '_') folded += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return folded == "UTF8";
}

bool localeUsesUtf8() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = current != nullptr ? current : "C";
    bool utf8 = false;
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        utf8 = isUtf8Codeset(::nl_langinfo(CODESET));
    } else {
        // The named locale is not installed; its name still tells what the
        // terminal speaks.
        utf8 = isUtf8Codeset(codesetOfLocaleName(userLocaleName()));
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    return utf8;
}

Utf8Start scanUtf8Char(std::string_view bytes) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return {1, true};
    int length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;   // no overlong forms
        if (lead == 0xED) secondHigh = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return {1, false};
    }
    int good = 1;
    while (good < length && static_cast<std::size_t>(good) < bytes.size()) {
        unsigned char next = byte(static_cast<std::size_t>(good));
        unsigned char low = good == 1 ? secondLow : 0x80;
        unsigned char high = good == 1 ? secondHigh : 0xBF;
        if (next < low || next > high) break;
        ++good;
    }
    return {good, good == length};
}

std::string cp932ToUtf8(std::string_view piece, Cp932Carry& carry) {
    std::string input = std::move(carry.leadByte);
    carry.leadByte.clear();
    input.append(piece);
    if (!usable(cp932Decoder())) return input;

    std::string result;
    std::string_view rest = input;
    while (!rest.empty()) {
        std::size_t consumed = 0;
        Stop stop = convertRun(cp932Decoder(), rest, consumed, result);
        rest.remove_prefix(consumed);
        if (stop == Stop::end) break;
        auto first = static_cast<unsigned char>(rest[0]);
        if (stop == Stop::incomplete && rest.size() == 1 && isCp932LeadByte(first)) {
            carry.leadByte.assign(1, rest[0]);
            break;
        }
        // A pair of lead and trail byte that names no character counts as one
        // bad character; a lead byte without a proper trail byte is bad alone,
        // and what follows it is read afresh.
        std::size_t bad = rest.size() >= 2 && isCp932LeadByte(first) &&
                                  isCp932TrailByte(static_cast<unsigned char>(rest[1]))
                              ? 2
                              : 1;
        result.append(replacementCharacter);
        rest.remove_prefix(bad);
    }
    return result;
}

std::string finishCp932(Cp932Carry& carry) {
    if (carry.leadByte.empty()) return {};
    carry.leadByte.clear();
    return std::string(replacementCharacter);
}

std::string utf8ToCp932(std::string_view line) {
    bool lostCharacters = false;
    return utf8ToCp932(line, lostCharacters);
}

std::string utf8ToCp932(std::string_view line, bool& lostCharacters) {
    lostCharacters = false;
    if (!usable(cp932Encoder())) return std::string(line);

    std::string result;
    std::string_view rest = line;
    while (!rest.empty()) {
        std::size_t consumed = 0;
        Stop stop = convertRun(cp932Encoder(), rest, consumed, result);
        rest.remove_prefix(consumed);
        if (stop == Stop::end) break;
        // A character that cp932 lacks, or a broken sequence: one "?" for it.
        result += '?';
        lostCharacters = true;
        rest.remove_prefix(static_cast<std::size_t>(scanUtf8Char(rest).length));
    }
    return result;
}

}  // namespace platform
