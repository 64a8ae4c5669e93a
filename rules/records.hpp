#pragma once
#include <cstddef>
#include <cstdint>

// The three record types of play. Every number is a signed 32-bit value; a
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

// Copies NUL-terminated `text` into a fixed name buffer, cut to fit.
template <std::size_t N>
void copyName(char (&target)[N], const char* text) {
    std::size_t i = 0;
    for (; i + 1 < N && text[i] != '\0'; ++i) target[i] = text[i];
    target[i] = '\0';
}
