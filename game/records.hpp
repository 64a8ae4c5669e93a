#pragma once
#include <cstdint>

// The game's three record types. Every number is a signed 32-bit value; a
// name is NUL-terminated cp932 text in a fixed buffer.

struct PlayerRecord {
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
    char name[100];
    std::int32_t exp;
    std::int32_t maxHp;
    std::int32_t maxAp;
    std::int32_t maxDp;
    std::int32_t maxSp;
    std::int32_t statGainBase;
    std::int32_t nextLevelExp;
    std::int32_t attackTotal;
    std::int32_t defenceTotal;
};

struct EnemyRecord {
    std::int32_t expReward;
    std::int32_t hp;
    std::int32_t ap;
    std::int32_t dp;
    std::int32_t sp;
    char name[100];
};

struct EquipmentItem {
    char name[52];
    std::int32_t attackBonus;
    std::int32_t defenceBonus;
};
