#include "rules/item_find.hpp"

#include "rules/totals.hpp"

const FoundItem findTable[findTableSize] = {
    {"脇差", 30, 0},       {"霧丸", 50, 10},     {"青龍刀", 70, 0},
    {"方天画戟", 100, 0},  {"無反動砲", 200, 0}, {"木の盾", 0, 30},
    {"鉄の盾", 0, 50},     {"鎧", 0, 70},        {"メタルコート", 0, 100},
    {"防衛要塞", 0, 200},
};

void storeFoundItem(PlayerRecord& player, EquipmentItem (&equipment)[equipmentCount], int slot, int findRow) {
    const FoundItem& found = findTable[findRow - 1];
    EquipmentItem& carried = equipment[slot];
    copyName(carried.name, found.name);
    carried.attackBonus = found.attackBonus;
    carried.defenceBonus = found.defenceBonus;
    recomputeTotals(player, equipment);
}
