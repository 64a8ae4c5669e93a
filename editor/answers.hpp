#pragma once
#include <string>
#include <string_view>

// The answers of the editor's dialogues: one whole line each, tested on entry
// and asked again until it passes. The end of input abandons the dialogue:
// nothing is written, one line says so, and the program ends with status 1.

// Reads one answer line.
std::string readAnswer();

// True when `line` is the plain decimal form of a number from `low` to
// `high`: digits only, no sign, blank or leading zero ("0" itself is plain).
bool isPlainDecimalIn(std::string_view line, int low, int high);

// Prints the prompt on a line of its own and reads until an answer is the
// plain decimal form of a number from `low` to `high`; the prompt is printed
// again before every new try.
int askNumber(const char* prompt, int low, int high);

// A statistic: 1 to 999.
int askStatValue(const char* prompt);

// Reads until a line is a single digit from 1 to `highest`; every other line
// gets `refusal` and a line break.
int askMenuDigit(int highest, const char* refusal);

// Removes half-width blanks (0x20) and full-width blanks (0x81 0x40) from
// both ends of a name. Only whole characters are removed: the bytes 0x81 0x40
// that end a name are a blank only when 0x81 begins a character.
std::string trimName(std::string_view raw);

// Prints `prompt` and reads a name of at most 29 bytes (counted before
// trimming), trimmed at both ends; a name that would not read back from an
// edit data file as it was typed, or that the game could not show as it was
// typed, is refused too, and another line is read.
std::string askName(const char* prompt);

// The enemy editor's name question.
std::string askEnemyName();
