#pragma once
#include <cstdint>

// One blow's strike roll (rules/strike_roll.hpp) on the game's generator,
// printing "Critical ATTACK " (no line break) when a critical is rolled, so
// that it heads the blow's line. Returns the damage, always 1 or more.
std::int32_t strikeRoll(std::int32_t attack, std::int32_t defence);
