#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Pieces of the report's JSON. Text stays in the console's character set,
// as everything the editor prints (UTF-8 on a UTF-8 console, which is what
// JSON tools read).

// A JSON string of cp932 text: the quote, the backslash and control bytes
// are escaped; a double-byte character passes whole, so that a trail byte
// that reads as a backslash (0x5C) stays part of its character.
std::string jsonString(std::string_view text);

// A number with `decimals` digits after the point, as JSON writes it.
std::string jsonFixed(double value, int decimals);
