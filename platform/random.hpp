#pragma once
#include <cstdint>

// The game's pseudo-random generator: a linear congruential generator that
// gives the same sequence for the same seed on every machine, so that a seed
// replays a whole game.
namespace platform {

// Sets the generator's state. Before the first call the state is 1.
void seedRandom(std::uint32_t seed);

// The next value, 0 to 32767.
int nextRandom();

}  // namespace platform
