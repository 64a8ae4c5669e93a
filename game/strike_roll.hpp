#pragma once
#include <cstdint>

// Settles one blow of a battle: the striker's attack against the target's
// defence, with a one-in-ten critical strike that ignores the defence. Prints
// "Critical ATTACK " (no line break) the moment a critical is rolled, so that
// it heads the blow's line. Returns the damage, always 1 or more.
std::int32_t strikeRoll(std::int32_t attack, std::int32_t defence);

// The same roll with the same draws, printing nothing: for simulations.
struct Strike {
    std::int32_t damage;
    bool critical;
};
Strike rollStrike(std::int32_t attack, std::int32_t defence);
