#include "rules/content.hpp"

#include "datafiles/starter_content.hpp"

void fillEnemyRecord(EnemyRecord& enemy, std::int32_t hp, std::int32_t ap, std::int32_t dp,
                     std::int32_t sp, const char* name) {
    enemy.hp = hp;
    enemy.ap = ap;
    enemy.dp = dp;
    enemy.sp = sp;
    copyName(enemy.name, name);
    enemy.expReward = 0;
}

void rosterFromEntries(EnemyRecord (&roster)[enemyCount], const EditEnemyEntry (&entries)[editEnemyCount]) {
    for (int k = 0; k < enemyCount; ++k) {
        const EditEnemyEntry& e = entries[k];
        fillEnemyRecord(roster[k], e.hp, e.ap, e.dp, e.sp, e.name);
        roster[k].expReward = expRewardFor(k);
    }
}

void itemsFromEntries(EquipmentItem (&equipment)[equipmentCount], const EditItemEntry (&entries)[editItemCount]) {
    for (int k = 0; k < equipmentCount; ++k) {
        copyName(equipment[k].name, entries[k].name);
        equipment[k].attackBonus = entries[k].attackBonus;
        equipment[k].defenceBonus = entries[k].defenceBonus;
    }
}

void setStatistics(PlayerRecord& player, std::int32_t hp, std::int32_t ap, std::int32_t dp, std::int32_t sp) {
    player.hp = player.maxHp = hp;
    player.ap = player.maxAp = ap;
    player.dp = player.maxDp = dp;
    player.sp = player.maxSp = sp;
}

PlayerRecord startPlayer() {
    PlayerRecord player{};
    const EditPlayerEntry& start = starterPlayer();
    setStatistics(player, start.hp, start.ap, start.dp, start.sp);
    copyName(player.name, "PLAYER");
    player.exp = 0;
    player.statGainBase = 0;
    player.nextLevelExp = 50;
    player.attackTotal = 0;
    player.defenceTotal = 0;
    return player;
}

void startItems(EquipmentItem (&equipment)[equipmentCount]) { itemsFromEntries(equipment, starterItems()); }
