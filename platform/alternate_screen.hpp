#pragma once
#include <string_view>

// The terminal's alternate screen, on which the game runs when its output is
// a terminal, as full-screen programs do: the shell's screen and scrollback
// stay as they were and are back when the game ends, however it ends. What
// the game showed since it last cleared the screen is kept, so that the
// screen can be drawn again when the game is continued after a stop.
namespace platform {

// Clears the screen and puts the cursor in its top left corner.
inline constexpr std::string_view clearSequence = "\x1b[H\x1b[2J";

// Switches the terminal on standard output to its alternate screen. Returns
// 0, or the system's number for a write that failed.
int enterAlternateScreen();

// Whether the program is on the alternate screen now.
bool onAlternateScreen();

// Back to the terminal's own screen; nothing when not on the alternate one.
// Safe in a signal handler and at any time. Tells whether it left it.
bool leaveAlternateScreen();

// Back on the alternate screen after a stop that left it, with what was on
// it drawn again. Safe in a signal handler.
void returnToAlternateScreen();

// Notes bytes that went to the alternate screen, in the terminal's character
// set: the output since the last clear is what a redraw shows.
void noteScreenOutput(std::string_view bytes);

}  // namespace platform
