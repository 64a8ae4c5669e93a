#pragma once
#include <cstdint>

#include "rules/records.hpp"
#include "rules/roster.hpp"

// The ten items that a dungeon event can hand out, in the order of their
// event rolls (21 to 30).
constexpr int findTableSize = 10;

struct FoundItem {
    const char* name;
    std::int32_t attackBonus;
    std::int32_t defenceBonus;
};

extern const FoundItem findTable[findTableSize];

// The answer of the swap dialogue that replaces nothing.
constexpr int keepEverything = 3;

// Puts the item of row `findRow` (1 to 10) of the find table into slot
// `slot` (0 to 2), replacing the old one entirely, and rebuilds the totals.
void storeFoundItem(PlayerRecord& player, EquipmentItem (&equipment)[equipmentCount], int slot, int findRow);
