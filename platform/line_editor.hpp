#pragma once
#include <string>
#include <string_view>

#include "platform/console.hpp"
#include "platform/console_device.hpp"

// Lines typed at a terminal, read through the line editor (libedit): the
// arrow keys move within the line, Up and Down bring back earlier lines of
// the same run (kept in memory only, never in a file), and the line editor
// draws the prompt, so that it can draw it again as the line changes.
namespace platform {

// What the terminal whose lines are edited speaks.
enum class TerminalText { cp932, utf8 };

// Makes the line editor ready for a terminal on standard input and output
// that speaks `charset`, and says whether it is. The line editor works in
// Unicode and needs the C library's character type set to UTF-8, which this
// sets (and nothing else of the locale); without such a locale lines are
// read as before. A cp932 terminal gets its bytes back exactly as typed.
bool startLineEditor(const std::string& programName, TerminalText text);

// Reads one line with its line feed (a line cut off by the end of input has
// none) into `line`, in the terminal's character set, showing `prompt`
// (already in that character set) before it. Got 0 at the end of input
// (Ctrl-D on an empty line), and on a failed read, with its error.
InputRead readEditedLine(std::string_view prompt, std::string& line);

}  // namespace platform
