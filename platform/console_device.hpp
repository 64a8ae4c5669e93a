#pragma once
#include <cstddef>
#include <string_view>

// The operating system's end of the console: standard input, output and
// error as the system hands them to the program. Everything above this (the
// buffering, the lines, the charset) is the same on every system.
namespace platform {

enum class Stream { input = 0, output = 1, error = 2 };

// Writes all of `bytes` to standard output or standard error. When the
// console is gone there is nobody left to tell, and the bytes are dropped.
void writeStream(Stream stream, std::string_view bytes);

// Reads what standard input has, up to `size` bytes; 0 at the end of input.
std::size_t readInput(char* buffer, std::size_t size);

// Whether the stream is an interactive console (a terminal).
bool isConsole(Stream stream);

// Gives back what the program changed about the console, once the last
// output is written.
void releaseConsole();

#ifdef _WIN32
// Blanks the console window and puts the cursor in its top left corner.
void clearConsoleWindow();
#endif

}  // namespace platform
