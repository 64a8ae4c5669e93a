#pragma once

// Raw key reads from a terminal on standard input. The terminal's settings
// are restored after every read, and also when a signal ends or stops the
// program in the middle of one.
namespace platform {

// Reads one key press without echo and without waiting for Enter. A key that
// sends several bytes (an arrow key's escape sequence, a UTF-8 character)
// counts as one press.
void readKeyPress();

}  // namespace platform
