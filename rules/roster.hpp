#pragma once
#include <cstdint>

// The shape of play: five enemies, the last of them the boss, three carried
// items, a square map, and the experience that beating an enemy brings.

constexpr int enemyCount = 5;
constexpr int bossIndex = enemyCount - 1;
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
