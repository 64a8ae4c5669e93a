#pragma once
#include <cstdint>

// After a battle: when the player's exp has reached nextLevelExp, one
// level-up: the four maxima grow by 1 to 4 each, hp by the HP gain, ap, dp
// and sp are brought to their maxima, exp falls by nextLevelExp and the
// attack and defence totals are rebuilt. Otherwise nothing happens.
void checkLevelUp();

// One gain of a level-up: a draw of 4 plus `base`.
std::int32_t drawStatGain(std::int32_t base);
