#include "platform/text_encoding.hpp"

// The part of the text encodings that needs no help of the system: the
// shape of a UTF-8 character.
namespace platform {

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

}  // namespace platform
