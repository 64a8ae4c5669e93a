#pragma once
#include <cstdint>

#include "rules/records.hpp"
#include "rules/roster.hpp"
#include "rules/saturating.hpp"

// The totals rule: the battle fights with the maxima plus the three carried
// items' bonuses, not with the current ap and dp.

struct BonusSums {
    std::int64_t attack;
    std::int64_t defence;
};

BonusSums bonusSums(const EquipmentItem (&equipment)[equipmentCount]);

// maxAp plus the attack sum, maxDp plus the defence sum, each saturated once.
inline std::int32_t attackTotalWith(const PlayerRecord& player, const BonusSums& bonuses) {
    return saturate(player.maxAp + bonuses.attack);
}
inline std::int32_t defenceTotalWith(const PlayerRecord& player, const BonusSums& bonuses) {
    return saturate(player.maxDp + bonuses.defence);
}

std::int32_t attackTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);
std::int32_t defenceTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);

// Rebuilds attackTotal and defenceTotal. The sums of the bonuses change only
// when an item does: a caller whose items stay as they are (the balance
// report, over thousands of level-ups) takes them once and passes them.
inline void recomputeTotals(PlayerRecord& player, const BonusSums& bonuses) {
    player.attackTotal = attackTotalWith(player, bonuses);
    player.defenceTotal = defenceTotalWith(player, bonuses);
}
void recomputeTotals(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);
