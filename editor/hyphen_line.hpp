#pragma once
#include <string>

#include "platform/console.hpp"

// The fixed lines of hyphens that frame the editor's blocks (26, 27, 35, 56
// and 68 long), each ending its own line.
inline void printHyphenLine(std::size_t length) { platform::out << std::string(length, '-') << "\n"; }
