#pragma once
#include <cstdint>

#include "game/records.hpp"

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

// Asks which carried item the found one replaces. Returns the slot (0, 1 or
// 2) or keepEverything. Asks again, with the choice line only, until the
// answer is exactly "1" to "4"; at the end of input it keeps everything.
int chooseEquipmentSlot();

// The find of row `findRow` (1 to 10) of the find table: the swap dialogue,
// then the item in the chosen slot and the equipment summary, or nothing.
void findItem(int findRow);
