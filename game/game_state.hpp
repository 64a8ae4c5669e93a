#pragma once
#include <cstdint>

#include "game/records.hpp"

// The game's process-wide state. The objects exist with their initial values
// before the game starts and live until it ends; every operation of the game
// reads and changes them in place.

constexpr int enemyCount = 5;
constexpr int bossIndex = 4;
constexpr int equipmentCount = 3;
constexpr std::int32_t mapSize = 25;

// Experience for beating an enemy: the same for every roster, whatever its data.
constexpr std::int32_t ordinaryExpReward = 30;
constexpr std::int32_t bossExpReward = 70;
constexpr std::int32_t expRewardFor(int enemyIndex) {
    return enemyIndex == bossIndex ? bossExpReward : ordinaryExpReward;
}

// playMode of edit play, chosen with answer "2" at the start.
constexpr std::int32_t editPlayMode = 3;

extern PlayerRecord player;
extern EnemyRecord editEnemies[enemyCount];
extern EnemyRecord builtinEnemies[enemyCount];
extern EquipmentItem equipment[equipmentCount];
extern std::int32_t playerX;
extern std::int32_t playerY;
extern std::int32_t goalX;
extern std::int32_t goalY;
extern std::int32_t atGoal;
extern std::int32_t playMode;
extern std::int32_t quietLoad;

// Puts every object back to its initial value (a new game in the same process).
void resetGameState();

// The roster that battles fight: the edit data's enemies in edit play, the
// game's own roster otherwise.
const EnemyRecord& rosterEnemy(int enemyIndex);

// Sets the four statistics and the name of `enemy`; its reward becomes 0.
void fillEnemyRecord(EnemyRecord& enemy, std::int32_t hp, std::int32_t ap, std::int32_t dp,
                     std::int32_t sp, const char* name);

// Copies NUL-terminated `text` into a fixed name buffer, cut to fit.
template <std::size_t N>
void copyName(char (&target)[N], const char* text) {
    std::size_t i = 0;
    for (; i + 1 < N && text[i] != '\0'; ++i) target[i] = text[i];
    target[i] = '\0';
}

// The status line of the player's current statistics.
void printPlayerStatus();
