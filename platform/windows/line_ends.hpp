#pragma once
#include <string>
#include <string_view>

namespace platform {

// The bytes as a text-mode stream on Windows stores them: each line feed
// becomes CR LF, and nothing else changes.
inline std::string withCrLf(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

}  // namespace platform
