#pragma once
#include <cstddef>
#include <string_view>

namespace platform {

// How many columns the console takes to show `text` (the programs' cp932),
// as far as the console can tell: a console that passes cp932 bytes shows a
// double-byte character in two columns and a half-width katakana in one, so
// the width is the byte count; a UTF-8 console shows the converted text,
// each character as wide as wcwidth says in a UTF-8 locale (the user's own
// when it is UTF-8, else C.UTF-8). Used to line up columns of names.
std::size_t consoleTextWidth(std::string_view text);

}  // namespace platform
