#pragma once
#include <cstdint>

// The whole game: start-up with `seed`, the play-mode menu, the edit data
// loading, the command loop and the ending. Returns the exit status.
int runGame(std::uint32_t seed);
