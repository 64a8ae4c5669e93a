#pragma once
#include <cstdint>

// Reads the three edit data files of the current folder and prints how the
// edit player, carrying the edit items, fares against each of the five
// enemies over `battles` silent battles, and how many level-ups it needs to
// beat the boss more often than not.
void printBalanceReport(std::uint64_t battles, std::uint32_t seed);
