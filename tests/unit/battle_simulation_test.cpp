#include <gtest/gtest.h>

#include "game/battle_simulation.hpp"
#include "platform/random.hpp"
#include "test_support.hpp"

namespace {

TEST(SimulateBattle, CertainOutcomesAndBlowCounts) {
    platform::ScriptedConsole console;
    platform::seedRandom(5);
    const Combatant player{5, 8, 9, 3};
    for (int i = 0; i < 1000; ++i) {
        // Slower, with 1 HP: the player's first blow always fells it.
        SimulatedBattle easy = simulateBattle(player, Combatant{1, 0, 0, 0});
        EXPECT_TRUE(easy.won);
        EXPECT_EQ(easy.blows, 1);
        EXPECT_EQ(easy.playerHpLeft, 5);
        // Faster and far stronger: its first blow always fells the player.
        SimulatedBattle hopeless = simulateBattle(player, Combatant{1000, 1000, 0, 4});
        EXPECT_FALSE(hopeless.won);
        EXPECT_EQ(hopeless.blows, 1);
        EXPECT_EQ(hopeless.playerHpLeft, 0);
    }
    // A simulation prints nothing, not even the critical marker.
    EXPECT_EQ(console.takeOutput(), "");
}

TEST(SimulateBattle, SameSeedSameResults) {
    auto run = [] {
        platform::seedRandom(77);
        int wins = 0;
        long blows = 0;
        for (int i = 0; i < 2000; ++i) {
            SimulatedBattle b = simulateBattle(Combatant{5, 8, 9, 3}, Combatant{8, 9, 3, 3});
            wins += b.won ? 1 : 0;
            blows += b.blows;
        }
        return std::make_pair(wins, blows);
    };
    auto first = run();
    EXPECT_EQ(first, run());
    EXPECT_GT(first.first, 0);
    EXPECT_LT(first.first, 2000);
}

TEST(LevelledUp, EachLevelAddsOneToFourToEveryStatistic) {
    platform::seedRandom(3);
    for (int i = 0; i < 500; ++i) {
        Combatant grown = levelledUp(Combatant{5, 8, 9, 3}, 3);
        EXPECT_GE(grown.hp, 5 + 3);
        EXPECT_LE(grown.hp, 5 + 12);
        EXPECT_GE(grown.attack, 8 + 3);
        EXPECT_LE(grown.attack, 8 + 12);
        EXPECT_GE(grown.defence, 9 + 3);
        EXPECT_LE(grown.defence, 9 + 12);
        EXPECT_GE(grown.sp, 3 + 3);
        EXPECT_LE(grown.sp, 3 + 12);
    }
    Combatant top = levelledUp(Combatant{2147483647, 2147483647, 2147483647, 2147483647}, 2);
    EXPECT_EQ(top.hp, 2147483647);
    EXPECT_EQ(top.sp, 2147483647);
}

}  // namespace
