#include "game/equipment.hpp"

#include <cstdint>

#include "game/game_state.hpp"
#include "game/saturating.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

std::int64_t attackBonusSum() {
    std::int64_t sum = 0;
    for (const EquipmentItem& item : equipment) sum += item.attackBonus;
    return sum;
}

std::int64_t defenceBonusSum() {
    std::int64_t sum = 0;
    for (const EquipmentItem& item : equipment) sum += item.defenceBonus;
    return sum;
}

}  // namespace

void recomputeTotals() {
    player.attackTotal = saturate(player.maxAp + attackBonusSum());
    player.defenceTotal = saturate(player.maxDp + defenceBonusSum());
}

void applyEquipment() {
    if (quietLoad != 1) {
        out << "持ち物は1:" << equipment[0].name << " 2:" << equipment[1].name << " 3:"
            << equipment[2].name << "\n";
        out << player.name << "のステータスは" << "AP:" << player.ap << " DP:" << player.dp << "\n";
        out << player.name << "は持ち物を装備した。" << "\n";
        out << player.name << "の装備品は合計でAP:+" << saturate(attackBonusSum()) << " DP:+"
            << saturate(defenceBonusSum()) << "\n";
        out << player.name << "は以下のステータスを得た" << "AP:"
            << saturate(player.maxAp + attackBonusSum()) << " DP:"
            << saturate(player.maxDp + defenceBonusSum()) << "\n";
    }
    recomputeTotals();
}
