#pragma once
#include <cstdint>

#include "platform/phrase.hpp"
#include "platform/random.hpp"
#include "rules/item_find.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"

// What a step can bring besides an enemy: one roll of 1 to 50 for a trap or
// a potion (1 to 20), an item find (21 to 30) or nothing (31 to 50).

constexpr int lastTrapOrPotionRoll = 20;
constexpr int lastItemFindRoll = lastTrapOrPotionRoll + findTableSize;

// What a trap or a potion did: its message, the follow-up line's label and
// the changed value as it stands now.
struct TrapOrPotion {
    platform::Phrase message;
    platform::Phrase label;
    std::int32_t value;
};

// The event of roll `roll` (1 to 20) on the player: the change with its
// clamps, and the totals rebuilt after a change of AP, DP or SP.
TrapOrPotion springTrapOrPotion(int roll, PlayerRecord& player,
                                const EquipmentItem (&equipment)[equipmentCount]);

// The event roll and what it selects. The narrator prints the trap or potion
// (`trapOrPotion(event)`), answers the swap dialogue of a find
// (`chooseEquipmentSlot()`: 0 to 2 or keepEverything) and shows the new
// equipment (`equipped()`, after the item is stored and the totals rebuilt).
// An item find of row `findRow` (1 to 10): the swap dialogue's answer, then
// the item in the chosen slot, or nothing at all.
template <typename Narrator>
void takeFind(PlayerRecord& player, EquipmentItem (&equipment)[equipmentCount], int findRow,
              Narrator& narrator) {
    int slot = narrator.chooseEquipmentSlot();
    if (slot == keepEverything) return;
    storeFoundItem(player, equipment, slot, findRow);
    narrator.equipped();
}

template <typename Narrator>
void dungeonEvent(PlayerRecord& player, EquipmentItem (&equipment)[equipmentCount],
                      platform::Random& random, Narrator& narrator) {
    int roll = random.next() % 50 + 1;
    if (roll <= lastTrapOrPotionRoll) {
        narrator.trapOrPotion(springTrapOrPotion(roll, player, equipment));
    } else if (roll <= lastItemFindRoll) {
        takeFind(player, equipment, roll - lastTrapOrPotionRoll, narrator);
    }
}
