#include "platform/text_width.hpp"

namespace platform {

// The Windows console speaks code page 932 while the programs run: a
// double-byte character takes two columns, a half-width katakana one.
std::size_t consoleTextWidth(std::string_view text) { return text.size(); }

}  // namespace platform
