#pragma once
#include <string>
#include <string_view>

#include "platform/text_encoding.hpp"

// The console's end of the character sets: the programs' cp932 bytes on
// their way to a console of another set, and its lines on their way back.
// The Windows console speaks cp932 itself while the programs run, so there
// every byte passes as it is.
namespace platform {

// The set of the real console, chosen at the first use and never destroyed.
const ConsoleCharset& realConsoleCharset();

// Where converted output goes: each call hands over the next bytes to write.
using OutputSink = void (*)(std::string_view bytes);

// Whether output for a console of `charset` is converted as it is printed
// (UTF-8, through the tables) rather than when it is flushed.
bool convertedAsPrinted(const ConsoleCharset& charset);

// Converts a piece of output into UTF-8 at `out`, which has utf8Room(cp932.size())
// bytes, for a console where convertedAsPrinted; returns the end of what it
// wrote. A lead byte at the end of the piece waits in `carry`.
char* utf8AsPrinted(std::string_view cp932, Cp932Carry& carry, char* out);

// Writes a piece of output in the set `charset`, through `sink` (whole, for
// a set with shift states). A lead byte at the end of the piece waits in
// `carry`.
void writeInCharset(std::string_view cp932, const ConsoleCharset& charset, Cp932Carry& carry, OutputSink sink);

// The end of the output: a lead byte still held in `carry`, as a broken
// character in `charset`; empty when none is held.
std::string_view endOfOutputInCharset(const ConsoleCharset& charset, Cp932Carry& carry);

// Whole text, in `charset` and ending there in its initial shift state.
std::string wholeTextInCharset(std::string_view cp932, const ConsoleCharset& charset);

// Whether every line in `input`, as read from a console of `charset`, is
// already the cp932 line it stands for: always for cp932, for UTF-8 when all
// of it is ASCII (typed commands and numbers mostly are), never for a set
// through iconv. Such lines need no conversion.
bool linesPassAsTheyStand(std::string_view input, const ConsoleCharset& charset);

// An input line from a console of `charset`, into cp932 in `line`;
// `lostCharacters` is set when a character had to become "?".
void lineFromCharset(std::string_view bytes, const ConsoleCharset& charset, std::string& line, bool& lostCharacters);

}  // namespace platform
