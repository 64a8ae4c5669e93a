#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The answers of the editor's dialogues: one whole line each, tested on entry
// and asked again until it passes. The end of input abandons the dialogue:
// nothing is written, one line says so, and the program ends with status 1.

// Reads one answer line.
std::string readAnswer();

// The number of `line` when it is the plain decimal form of a number from
// `low` to `high`: digits only, no sign, blank or leading zero ("0" itself
// is plain).
std::optional<int> plainDecimalIn(std::string_view line, int low, int high);

// The choice of a menu line: a single digit from 1 to `highest`, else 0.
int menuDigit(std::string_view line, int highest);

// Prints the prompt on a line of its own and reads until an answer is the
// plain decimal form of a number from `low` to `high`; the prompt is printed
// again before every new try.
int askNumber(const char* prompt, int low, int high);

// A statistic: 1 to 999.
int askStatValue(const char* prompt);

// The question of a dialogue that changes stored values: the prompt and the
// value now stored, "<prompt> [<current>]".
std::string keepingQuestion(const char* prompt, std::string_view current);

// Asks the keeping question for a number: an empty answer keeps `current`
// (whatever it is); the plain decimal form of a number from `low` to `high`
// replaces it; any other answer is told what is accepted ("<low>から<high>
// までの数を入力してください。") and the question is asked again.
std::int32_t askNumberKeeping(const char* prompt, int low, int high, std::int32_t current);

// Reads until a line is a menu choice (menuDigit); every other line gets
// `refusal` and a line break.
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

// Asks the keeping question for a name: an answer that is empty or blank
// keeps `current`; any other answer is judged as askName judges it.
std::string askNameKeeping(const char* prompt, std::string_view current);

// The enemy editor's name question.
std::string askEnemyName();
