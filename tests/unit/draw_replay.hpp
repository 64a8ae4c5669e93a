#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/random.hpp"

// The generator's values after a seed, replayed ahead of the code under test,
// so that a test knows every draw that the code will see.
inline std::vector<int> drawsAfter(std::uint32_t seed, int count) {
    platform::seedRandom(seed);
    std::vector<int> draws;
    for (int i = 0; i < count; ++i) draws.push_back(platform::nextRandom());
    return draws;
}

// The first seed whose first `count` values satisfy `wanted`.
inline std::uint32_t findSeed(int count, const std::function<bool(const std::vector<int>&)>& wanted) {
    for (std::uint32_t seed = 1;; ++seed)
        if (wanted(drawsAfter(seed, count))) return seed;
}
