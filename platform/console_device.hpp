#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The operating system's end of the console: standard input, output and
// error as the system hands them to the program. Everything above this (the
// buffering, the lines, the charset) is the same on every system.
namespace platform {

enum class Stream { input = 0, output = 1, error = 2 };

// Writes all of `bytes` to standard output or standard error, waiting out
// interruptions and a stream that would block. Returns 0 when everything is
// written, else the system's number for why it could not be.
int writeStream(Stream stream, std::string_view bytes);

// What one read of standard input brought.
struct InputRead {
    std::size_t got = 0;  // bytes read; 0 at the end of input or on failure
    int error = 0;        // the system's number for a failed read; 0 otherwise
};

// Reads what standard input has, up to `size` bytes, waiting until something
// comes: an interrupted read, and one that would block, are tried again.
InputRead readInput(char* buffer, std::size_t size);

// The system's own words for an error number ("No space left on device").
std::string describeError(int error);

// Whether the stream is an interactive console (a terminal).
bool isConsole(Stream stream);

// Gives back everything the program changed about the console (a terminal's
// settings, the console's code pages), once the last output is written: at
// the normal end and before a failed console ends the program. A signal that
// ends the program restores the terminal by the same means (restoreTerminal).
void releaseConsole();

// Blanks the console window and puts the cursor in its top left corner,
// once the output before it is written. A terminal is cleared by bytes in the
// output, which are returned to be written next; a console that has a call
// of its own for it is cleared at once, and nothing is returned.
std::string_view clearConsoleWindow();

}  // namespace platform
