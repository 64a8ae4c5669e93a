#pragma once
#include <string_view>

#include "platform/console.hpp"

// Raw key reads from a terminal on standard input, and the terminal's
// settings while the line editor reads a line. The terminal's settings are
// restored after every read, and also when a signal ends or stops the
// program in the middle of one; a signal that ends the program also takes it
// off the alternate screen.
namespace platform {

// Reads one key press without echo and without waiting for Enter. A key that
// sends several bytes (an arrow key's escape sequence, a character of several
// bytes in `charset`) counts as one press. Returns 0, also at the end of
// input, or the system's number for a read that failed.
int readKeyPress(const ConsoleCharset& charset);

// Puts back everything the program changed about the terminal (its settings,
// the alternate screen); nothing when it changed nothing. Safe in a signal
// handler and at any time, as often as needed: the normal end, a failed
// console and every ending signal come here.
void restoreTerminal();

// Installs, once, the handlers that restore the terminal at every signal
// that ends the program, and that put it as the user had it for a stop and
// back as the program had it when the program is continued.
void guardTerminal();

// A line read by the line editor, which sets the terminal's modes itself:
// from beginLineEdit to endLineEdit the terminal's own settings are kept, to
// be put back by an ending signal or for a stop. noteLineEditMode tells that
// the line editor has set its own, which a continued program gets back.
void beginLineEdit();
void noteLineEditMode();
void endLineEdit();

// What happened to the terminal since the last call: the program was
// continued after a stop, or the terminal's window changed its size.
struct TerminalEvents {
    bool continued = false;
    bool resized = false;
};
TerminalEvents takeTerminalEvents();

// Whether `bytes`, read so far from one key press, make the whole key: an
// escape sequence, or one character in `charset` (a broken one ends where it
// breaks). A lone Escape is whole only when nothing follows in time, which
// the reader decides.
bool keyPressComplete(std::string_view bytes, const ConsoleCharset& charset);

}  // namespace platform
