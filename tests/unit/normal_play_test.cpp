#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "datafiles/starter_content.hpp"
#include "game/command_loop.hpp"
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

// A fresh normal game shows the start player at full strength: the status
// asked for before any move is the starter player's statistics, as the
// editor's starter files hold them.
TEST(NormalPlay, TheFirstStatusShowsTheStarterPlayer) {
    GameFixtureState game("1\nSTATUS\nESC\n");
    EXPECT_EQ(runGame(1), 0);
    const EditPlayerEntry& start = starterPlayer();
    const std::string status = "PLAYERのステータスは" "HP:" + std::to_string(start.hp) + " AP:" +
                               std::to_string(start.ap) + " DP:" + std::to_string(start.dp) + " SP:" +
                               std::to_string(start.sp) + "\n";
    const std::string output = game.output();
    const std::size_t shown = output.find("command： " + status);
    ASSERT_NE(shown, std::string::npos) << output;
    EXPECT_EQ(output.find(status, shown + status.size()), std::string::npos) << output;
}

}  // namespace
