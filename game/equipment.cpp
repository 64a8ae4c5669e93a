#include "game/equipment.hpp"

#include "game/game_state.hpp"
#include "platform/console.hpp"
#include "rules/saturating.hpp"
#include "rules/totals.hpp"

using platform::out;
using namespace platform::literals;

void recomputeTotals() { recomputeTotals(player, equipment); }

void showEquipment() {
    if (quietLoad == 1) return;
    BonusSums sums = bonusSums(equipment);
    out.put("持ち物は1:"_phrase, equipment[0].name, " 2:"_phrase, equipment[1].name, " 3:"_phrase, equipment[2].name,
            '\n');
    out.put(player.name, "のステータスはAP:"_phrase, player.ap, " DP:"_phrase, player.dp, '\n');
    out.put(player.name, "は持ち物を装備した。\n"_phrase);
    out.put(player.name, "の装備品は合計でAP:+"_phrase, saturate(sums.attack), " DP:+"_phrase, saturate(sums.defence),
            '\n');
    out.put(player.name, "は以下のステータスを得たAP:"_phrase, attackTotalOf(player, equipment), " DP:"_phrase,
            defenceTotalOf(player, equipment), '\n');
}

void applyEquipment() {
    showEquipment();
    recomputeTotals();
}
