#pragma once
#include <string_view>

#include "platform/console.hpp"

// Raw key reads from a terminal on standard input. The terminal's settings
// are restored after every read, and also when a signal ends or stops the
// program in the middle of one.
namespace platform {

// Reads one key press without echo and without waiting for Enter. A key that
// sends several bytes (an arrow key's escape sequence, a character of several
// bytes in `charset`) counts as one press. Returns 0, also at the end of
// input, or the system's number for a read that failed.
int readKeyPress(const ConsoleCharset& charset);

// Puts back everything the program changed about the terminal; nothing when
// it changed nothing. Safe in a signal handler and at any time, as often as
// needed: the normal end, a failed console and every ending signal come here.
void restoreTerminal();

// Whether `bytes`, read so far from one key press, make the whole key: an
// escape sequence, or one character in `charset` (a broken one ends where it
// breaks). A lone Escape is whole only when nothing follows in time, which
// the reader decides.
bool keyPressComplete(std::string_view bytes, const ConsoleCharset& charset);

}  // namespace platform
