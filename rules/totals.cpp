#include "rules/totals.hpp"

#include "rules/saturating.hpp"

BonusSums bonusSums(const EquipmentItem (&equipment)[equipmentCount]) {
    BonusSums sums{0, 0};
    for (const EquipmentItem& item : equipment) {
        sums.attack += item.attackBonus;
        sums.defence += item.defenceBonus;
    }
    return sums;
}

std::int32_t attackTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]) {
    return attackTotalWith(player, bonusSums(equipment));
}

std::int32_t defenceTotalOf(const PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]) {
    return defenceTotalWith(player, bonusSums(equipment));
}

void recomputeTotals(PlayerRecord& player, const EquipmentItem (&equipment)[equipmentCount]) {
    recomputeTotals(player, bonusSums(equipment));
}
