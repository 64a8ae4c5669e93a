#pragma once
#include <cstdint>

#include "editor/whole_games.hpp"

// The balance report's whole-game section: `games` games of edit play by
// the explorer, game k from seed `seed` + k - 1, told in words and figures
// or as JSON fields. While the games are played, a progress line stands on
// standard error when it is a terminal and the run lasts more than about a
// second; it is gone when the run ends.

struct WholeGameRun {
    std::uint64_t games;
    std::uint32_t seed;
};

// The seed of game k (1, 2, ...): the run's seed + k - 1, modulo 2^32.
inline std::uint32_t seedOfGame(const WholeGameRun& run, std::uint64_t game) {
    return static_cast<std::uint32_t>(run.seed + (game - 1));
}

// Plays the run, then prints the section.
void printWholeGameSection(const GameContent& content, const WholeGameRun& run);

// Plays the run and prints the section's JSON members (no braces around
// them): the run, one record per game as the games are played, and every
// figure.
void printWholeGameJsonMembers(const GameContent& content, const WholeGameRun& run);
