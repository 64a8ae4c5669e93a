#pragma once
#include <cstdint>

// What the balance report is asked for on the command line.
struct ReportOptions {
    enum class Format { text, json };
    std::uint64_t battles = 10000;  // per enemy, for the battle section
    std::uint64_t games = 10000;    // whole games, for the whole-game section
    std::uint32_t seed = 1;         // of the battles, and of the first whole game
    Format format = Format::text;
};

// Reads the three edit data files of the current folder and prints two
// sections. Battles: how the edit player, carrying the edit items, fares
// against each of the five enemies over `battles` silent battles, and how
// many level-ups it needs to beat the boss more often than not. Whole games:
// how `games` whole games of edit play go for the explorer, from the start
// to the boss. As text for the author, or as JSON with every figure and one
// record per game.
void printBalanceReport(const ReportOptions& options);
