#pragma once
#include <cstdint>

// The four statistics that the enemy and the player dialogues both ask for,
// in the order HP, AP, DP, SP.
struct StatBlock {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
};

// Asks for each with its own prompt; only 1 to 999 in plain decimal is taken.
StatBlock askStatBlock();

// The same questions, each showing the value of `current` that an empty
// answer keeps.
StatBlock askStatBlockKeeping(const StatBlock& current);

// The confirmation lines "HP:<hp>" to "SP:<sp>", one a line.
void printStatBlock(const StatBlock& stats);
