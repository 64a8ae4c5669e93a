#pragma once
#include <cstdint>

#include "rules/records.hpp"
#include "rules/roster.hpp"

// The totals rule: the battle fights with the maxima plus the three carried
// items' bonuses, not with the current ap and dp.

struct BonusSums {
    std::int64_t attack;
    std::int64_t defence;
};

BonusSums bonusSums(const EquipmentItem (&equipment)[equipmentCount]);

// maxAp plus the attack sum, maxDp plus the defence sum, each saturated once.
std::int32_t attackTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);
std::int32_t defenceTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);

// Rebuilds attackTotal and defenceTotal.
void recomputeTotals(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]);
