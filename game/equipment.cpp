#include "game/equipment.hpp"

#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "rules/saturating.hpp"
#include "rules/totals.hpp"

using platform::out;

void recomputeTotals() { recomputeTotals(player, equipment); }

void showEquipment() {
    if (quietLoad == 1) return;
    BonusSums sums = bonusSums(equipment);
    out << "持ち物は1:" << equipment[0].name << " 2:" << equipment[1].name << " 3:" << equipment[2].name
        << "\n";
    out << player.name << "のステータスは" << "AP:" << player.ap << " DP:" << player.dp << "\n";
    out << player.name << "は持ち物を装備した。" << "\n";
    out << player.name << "の装備品は合計でAP:+" << saturate(sums.attack) << " DP:+" << saturate(sums.defence)
        << "\n";
    out << player.name << "は以下のステータスを得た" << "AP:" << attackTotalOf(player, equipment)
        << " DP:" << defenceTotalOf(player, equipment) << "\n";
}

void applyEquipment() {
    showEquipment();
    recomputeTotals();
}
