#pragma once
#include <cstdint>

#include "datafiles/edit_data.hpp"
#include "rules/records.hpp"
#include "rules/roster.hpp"

// The records of play made from the edit data's entries, and the start
// values of the player and the items, which are the starter content's.

static_assert(editEnemyCount == enemyCount && editItemCount == equipmentCount);
static_assert(sizeof EquipmentItem{}.name == editNameCapacity);

// Sets the four statistics and the name of `enemy`; its reward becomes 0.
void fillEnemyRecord(EnemyRecord& enemy, std::int32_t hp, std::int32_t ap, std::int32_t dp,
                     std::int32_t sp, const char* name);

// The roster of the entries, slot k as index k - 1, each with the reward
// that the game grants for its index (the file has no field for it).
void rosterFromEntries(EnemyRecord (&roster)[enemyCount], const EditEnemyEntry (&entries)[editEnemyCount]);

// The three items of the entries.
void itemsFromEntries(EquipmentItem (&equipment)[equipmentCount], const EditItemEntry (&entries)[editItemCount]);

// Sets each statistic and its maximum to the given value, as the loaders
// of the edit player and the save file do.
void setStatistics(PlayerRecord& player, std::int32_t hp, std::int32_t ap, std::int32_t dp, std::int32_t sp);

// The player of a new game: the starter player's statistics, the name
// "PLAYER", no experience, a level-up every 50; the totals are built only
// when the equipment is first applied.
PlayerRecord startPlayer();

// The items of a new game: the starter items.
void startItems(EquipmentItem (&equipment)[equipmentCount]);
