#include "editor/json_text.hpp"

#include <cstdio>

#include "platform/text_encoding.hpp"

std::string jsonString(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        auto byte = static_cast<unsigned char>(text[at]);
        if (platform::isCp932LeadByte(byte) && at + 1 < text.size() &&
            platform::isCp932TrailByte(static_cast<unsigned char>(text[at + 1]))) {
            quoted += text.substr(at, 2);
            ++at;
        } else if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "\"";
}

std::string jsonFixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}
