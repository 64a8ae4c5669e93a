#include <gtest/gtest.h>

#include <cstring>

#include "datafiles/starter_content.hpp"
#include "game/normal_play.hpp"
#include "test_support.hpp"

namespace {

TEST(NormalPlay, FightsTheStarterRosterWithBuiltTotals) {
    GameFixtureState game;
    startNormalPlay();
    EXPECT_EQ(game.output(), "");  // prepared silently
    for (int k = 0; k < enemyCount; ++k) {
        const EditEnemyEntry& entry = starterEnemies()[k];
        const EnemyRecord& enemy = rosterEnemy(k);
        EXPECT_EQ(&enemy, &builtinEnemies[k]);
        EXPECT_STREQ(enemy.name, entry.name);
        EXPECT_EQ(enemy.hp, entry.hp);
        EXPECT_EQ(enemy.ap, entry.ap);
        EXPECT_EQ(enemy.dp, entry.dp);
        EXPECT_EQ(enemy.sp, entry.sp);
        EXPECT_EQ(enemy.expReward, k == bossIndex ? 70 : 30);
        EXPECT_GT(enemy.hp, 0);
        // Names fit the editor's 29 bytes and hold no blank.
        EXPECT_LE(std::strlen(enemy.name), 29u);
        EXPECT_TRUE(isStorableName(enemy.name));
        // The edit roster stays as it was.
        EXPECT_EQ(editEnemies[k].hp, 0);
    }
    EXPECT_EQ(player.attackTotal, 8);
    EXPECT_EQ(player.defenceTotal, 9);
}

TEST(NormalPlay, StarterItemsAndPlayerAreTheStartValues) {
    GameFixtureState game;
    for (int k = 0; k < equipmentCount; ++k) {
        EXPECT_STREQ(starterItems()[k].name, equipment[k].name);
        EXPECT_EQ(starterItems()[k].attackBonus, equipment[k].attackBonus);
        EXPECT_EQ(starterItems()[k].defenceBonus, equipment[k].defenceBonus);
    }
    EXPECT_EQ(starterPlayer().hp, player.maxHp);
    EXPECT_EQ(starterPlayer().ap, player.maxAp);
    EXPECT_EQ(starterPlayer().dp, player.maxDp);
    EXPECT_EQ(starterPlayer().sp, player.maxSp);
}

}  // namespace
