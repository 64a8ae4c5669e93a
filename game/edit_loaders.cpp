#include "game/edit_loaders.hpp"

#include "datafiles/edit_data.hpp"
#include "datafiles/file_failure.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

namespace {

// The rewards are the game's own; the file has no field for them.
constexpr std::int32_t enemyReward = 30;
constexpr std::int32_t bossReward = 70;

static_assert(editEnemyCount == enemyCount && editItemCount == equipmentCount);
static_assert(sizeof EquipmentItem{}.name == editNameCapacity);

bool loud() { return quietLoad != 1; }

}  // namespace

void loadEditEnemies() {
    EditEnemyEntry entries[editEnemyCount]{};
    stopOnFileFailure(readEditEnemyFile(entries), editEnemyFileName, "Cannot open editenemy.\n");
    for (int k = 0; k < enemyCount; ++k) {
        const EditEnemyEntry& e = entries[k];
        fillEnemyRecord(editEnemies[k], e.hp, e.ap, e.dp, e.sp, e.name);
        editEnemies[k].expReward = k == bossIndex ? bossReward : enemyReward;
    }
    if (loud()) out << "EDITENEMYのLOADが完了しました。" << "\n";
}

void loadEditItems() {
    EditItemEntry entries[editItemCount]{};
    stopOnFileFailure(readEditItemFile(entries), editItemFileName, "Cannot open editequipment.\n");
    for (int k = 0; k < equipmentCount; ++k) {
        copyName(equipment[k].name, entries[k].name);
        equipment[k].attackBonus = entries[k].attackBonus;
        equipment[k].defenceBonus = entries[k].defenceBonus;
    }
    applyEquipment();
    if (loud()) out << "EDITITEMのLOADが完了しました。" << "\n";
}

void loadEditPlayer() {
    EditPlayerEntry entry{};
    // The game's message lacks the editor's full stop.
    stopOnFileFailure(readEditPlayerFile(entry), editPlayerFileName, "Cannot open editplayer\n");
    player.hp = player.maxHp = entry.hp;
    player.ap = player.maxAp = entry.ap;
    player.dp = player.maxDp = entry.dp;
    player.sp = player.maxSp = entry.sp;
    if (loud()) printPlayerStatus();
    applyEquipment();
    if (loud()) out << "EDITPLAYERのLOADが完了しました。" << "\n";
}
