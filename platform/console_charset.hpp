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

// A piece of output in the set `charset`: the bytes to write, valid until the
// next call. A lead byte at the end of the piece waits in `carry`.
std::string_view outputInCharset(std::string_view cp932, const ConsoleCharset& charset, Cp932Carry& carry);

// The end of the output: a lead byte still held in `carry`, as a broken
// character in `charset`; empty when none is held.
std::string_view endOfOutputInCharset(const ConsoleCharset& charset, Cp932Carry& carry);

// Whole text, in `charset` and ending there in its initial shift state.
std::string wholeTextInCharset(std::string_view cp932, const ConsoleCharset& charset);

// The prompt that the line editor shows, in the set it edits in: UTF-8 for
// a UTF-8 console, cp932 otherwise. A lead byte held in `carry` goes first.
std::string promptInCharset(std::string prompt, const ConsoleCharset& charset, Cp932Carry& carry);

// An input line from a console of `charset`, into cp932 in `line`;
// `lostCharacters` is set when a character had to become "?".
void lineFromCharset(std::string_view bytes, const ConsoleCharset& charset, std::string& line, bool& lostCharacters);

}  // namespace platform
