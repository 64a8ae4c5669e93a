#include "game/game_state.hpp"

#include <cstdio>

#include "platform/console.hpp"

PlayerRecord player;
EnemyRecord editEnemies[enemyCount];
EnemyRecord builtinEnemies[enemyCount];
EquipmentItem equipment[equipmentCount];
std::int32_t playerX;
std::int32_t playerY;
std::int32_t goalX;
std::int32_t goalY;
std::int32_t atGoal;
std::int32_t playMode;
std::int32_t quietLoad;

namespace {

void fillNamedRoster(EnemyRecord (&roster)[enemyCount], const char* stem) {
    for (int i = 0; i < enemyCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%d", stem, i + 1);
        fillEnemyRecord(roster[i], 0, 0, 0, 0, name);
    }
}

void setItem(EquipmentItem& item, const char* name, std::int32_t attackBonus,
             std::int32_t defenceBonus) {
    copyName(item.name, name);
    item.attackBonus = attackBonus;
    item.defenceBonus = defenceBonus;
}

// Makes sure the objects hold their initial values before main runs.
const bool stateReady = (resetGameState(), true);

}  // namespace

void resetGameState() {
    player = PlayerRecord{};
    player.hp = 5;
    player.ap = 4;
    player.dp = 6;
    player.sp = 3;
    copyName(player.name, "PLAYER");
    player.exp = 0;
    player.maxHp = 5;
    player.maxAp = 4;
    player.maxDp = 6;
    player.maxSp = 3;
    player.statGainBase = 0;
    player.nextLevelExp = 50;
    player.attackTotal = 0;
    player.defenceTotal = 0;

    fillNamedRoster(editEnemies, "editmonster");
    fillNamedRoster(builtinEnemies, "automonster");

    setItem(equipment[0], "pike", 2, 0);
    setItem(equipment[1], "sword", 2, 0);
    setItem(equipment[2], "armor", 0, 3);

    playerX = 13;
    playerY = 1;
    goalX = 0;
    goalY = 0;
    atGoal = 0;
    playMode = 0;
    quietLoad = 0;
    (void)stateReady;
}

const EnemyRecord& rosterEnemy(int enemyIndex) {
    return playMode == editPlayMode ? editEnemies[enemyIndex] : builtinEnemies[enemyIndex];
}

void fillEnemyRecord(EnemyRecord& enemy, std::int32_t hp, std::int32_t ap, std::int32_t dp,
                     std::int32_t sp, const char* name) {
    enemy.hp = hp;
    enemy.ap = ap;
    enemy.dp = dp;
    enemy.sp = sp;
    copyName(enemy.name, name);
    enemy.expReward = 0;
}

void printPlayerStatus() {
    platform::out << player.name << "のステータスは" << "HP:" << player.hp << " AP:" << player.ap
                  << " DP:" << player.dp << " SP:" << player.sp << "\n";
}
