#pragma once
#include <cstdint>

#include "platform/random.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"

// The level-up after a battle: when exp has reached nextLevelExp, the four
// maxima grow by 1 to 4 each, hp by the HP gain (no refill), ap, dp and sp
// are brought to their maxima, exp falls by nextLevelExp and the totals are
// rebuilt.

struct StatGains {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
};

// True when the check after a battle brings a level-up.
inline bool levelUpDue(const PlayerRecord& player) { return player.exp >= player.nextLevelExp; }

// One level-up, whatever exp holds: the gains drawn in the order HP, AP,
// DP, SP, each a draw of 4 plus the gain base (1 from the first level-up on).
StatGains levelUp(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount],
                  platform::Random& random);
