#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "game/battle.hpp"
#include "platform/random.hpp"
#include "rules/fight.hpp"
#include "rules/level_up.hpp"
#include "rules/totals.hpp"
#include "test_support.hpp"

namespace {

PlayerRecord fighter(std::int32_t hp, std::int32_t attackTotal, std::int32_t defenceTotal, std::int32_t sp) {
    PlayerRecord p = startPlayer();
    p.hp = hp;
    p.attackTotal = attackTotal;
    p.defenceTotal = defenceTotal;
    p.sp = sp;
    return p;
}

EnemyRecord foe(std::int32_t hp, std::int32_t ap, std::int32_t dp, std::int32_t sp) {
    EnemyRecord e{};
    fillEnemyRecord(e, hp, ap, dp, sp, "foe");
    return e;
}

std::int64_t count(const std::string& text, const std::string& part) {
    std::int64_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(FightSilently, CertainOutcomesAndBlowCounts) {
    platform::ScriptedConsole console;
    platform::seedRandom(9);
    const int programDraw = platform::nextRandom();
    platform::seedRandom(9);
    platform::Random random{5};
    const PlayerRecord player = fighter(5, 8, 9, 3);
    for (int i = 0; i < 1000; ++i) {
        // Slower, with 1 HP: the player's first blow always fells it.
        FightResult easy = fightSilently(player, foe(1, 0, 0, 0), random);
        EXPECT_TRUE(easy.won);
        EXPECT_EQ(easy.blows, 1);
        EXPECT_EQ(easy.playerHpLeft, 5);
        // Faster and far stronger: its first blow always fells the player.
        FightResult hopeless = fightSilently(player, foe(1000, 1000, 0, 4), random);
        EXPECT_FALSE(hopeless.won);
        EXPECT_EQ(hopeless.blows, 1);
        EXPECT_EQ(hopeless.playerHpLeft, 0);
    }
    // A simulation prints nothing, not even the critical marker, and leaves
    // the program's generator alone.
    EXPECT_EQ(console.takeOutput(), "");
    EXPECT_EQ(platform::nextRandom(), programDraw);
}

TEST(FightSilently, SameSeedSameResults) {
    auto run = [] {
        platform::Random random{77};
        int wins = 0;
        long blows = 0;
        for (int i = 0; i < 2000; ++i) {
            FightResult b = fightSilently(fighter(5, 8, 9, 3), foe(8, 9, 3, 3), random);
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

// The balance report's silent fight and the battle that the player watches
// must be the same fight: same winner, same blows, same HP left, for the
// same seed and data, whichever side is faster.
TEST(FightSilently, IsTheFightThatTheGamePrints) {
    struct Case {
        std::int32_t playerHp, playerSp, enemyHp, enemyAp, enemyDp, enemySp;
    };
    const Case cases[] = {{5, 3, 8, 9, 3, 3}, {20, 2, 30, 6, 4, 5}, {9, 7, 12, 3, 8, 1}};
    for (const Case& c : cases) {
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            GameFixtureState game(std::string{}, seed);
            playMode = editPlayMode;
            fillEnemyRecord(editEnemies[2], c.enemyHp, c.enemyAp, c.enemyDp, c.enemySp, "foe");
            player.hp = c.playerHp;
            player.sp = c.playerSp;
            recomputeTotals(player, equipment);
            const PlayerRecord before = player;

            bool won = runBattle(2);
            std::string log = game.output();

            platform::Random random{seed};
            FightResult silent = fightSilently(before, editEnemies[2], random);
            EXPECT_EQ(silent.won, won) << seed;
            EXPECT_EQ(silent.blows, count(log, "の攻撃:")) << seed;
            EXPECT_EQ(silent.playerHpLeft, player.hp) << seed;  // no reward reaches a level-up here
        }
    }
}

// Every loop that a silent fight may take must fight as the general loop
// does: same outcome, blows, hit points and draws, for sides that pick each
// loop and for sides at the edges of what each loop allows.
TEST(FightSilently, EveryLoopFightsAsTheGeneralOne) {
    const std::int32_t hps[] = {INT_MIN, 0, 1, 6, 40};
    const std::int32_t values[] = {INT_MIN, INT_MIN + 2, -3, 0, 1, 2, 3, 5, 9, INT_MAX - 2, INT_MAX};
    const std::int32_t speeds[] = {2, 3, 4};
    int fastLoops = 0;
    for (std::int32_t playerHp : hps) {
        for (std::int32_t enemyHp : hps) {
            for (std::int32_t attack : values) {
                for (std::int32_t defence : values) {
                    for (std::int32_t enemySp : speeds) {
                        const PlayerRecord player = fighter(playerHp, attack, 9 - defence / 2, 3);
                        const EnemyRecord enemy = foe(enemyHp, 9 - attack / 3, defence, enemySp);
                        fastLoops += silentFightLoop(takeSides(player, enemy)) == FightLoop::general ? 0 : 1;
                        for (std::uint32_t seed : {1u, 77u, 4000000000u}) {
                            FightState general = takeSides(player, enemy);
                            platform::Random expectedDraws{seed};
                            SilentNarrator narrator;
                            Outcome outcome = fightRoundsBy<FightLoop::general>(general, criticalStrikes(general),
                                                                                 expectedDraws, narrator);
                            platform::Random draws{seed};
                            FightResult silent = fightSilently(player, enemy, draws);
                            ASSERT_EQ(silent.won, outcome == Outcome::victory) << playerHp << " " << enemyHp << " "
                                                                              << attack << " " << defence << " "
                                                                              << enemySp << " " << seed;
                            ASSERT_EQ(silent.blows, general.blows);
                            ASSERT_EQ(silent.playerHpLeft, general.playerHp);
                            ASSERT_EQ(draws.state, expectedDraws.state);
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(fastLoops, 0);
}

TEST(LevelUp, EachLevelAddsOneToFourToEveryMaximumAndRebuildsTheTotals) {
    platform::Random random{3};
    EquipmentItem items[equipmentCount] = {{"a", 2, 0}, {"b", 2, 0}, {"c", 0, 3}};
    for (int i = 0; i < 500; ++i) {
        PlayerRecord p = startPlayer();
        for (int level = 0; level < 3; ++level) levelUp(p, items, random);
        EXPECT_GE(p.maxHp, 5 + 3);
        EXPECT_LE(p.maxHp, 5 + 12);
        EXPECT_EQ(p.hp, p.maxHp);  // standing at full hit points, it stays there
        EXPECT_GE(p.maxAp, 4 + 3);
        EXPECT_LE(p.maxAp, 4 + 12);
        EXPECT_EQ(p.attackTotal, p.maxAp + 4);
        EXPECT_EQ(p.defenceTotal, p.maxDp + 3);
        EXPECT_GE(p.maxSp, 3 + 3);
        EXPECT_LE(p.maxSp, 3 + 12);
        EXPECT_EQ(p.sp, p.maxSp);
    }
    PlayerRecord top = startPlayer();
    top.hp = top.maxHp = top.maxSp = 2147483647;
    levelUp(top, items, random);
    levelUp(top, items, random);
    EXPECT_EQ(top.hp, 2147483647);
    EXPECT_EQ(top.maxSp, 2147483647);
}

}  // namespace
