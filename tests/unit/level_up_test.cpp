#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "draw_replay.hpp"
#include "game/level_up.hpp"
#include "rules/content.hpp"
#include "rules/level_up.hpp"
#include "test_support.hpp"

namespace {

TEST(CheckLevelUp, BelowTheThresholdNothingHappens) {
    std::vector<int> draws = drawsAfter(3, 1);
    GameFixtureState game({}, 3);
    player.exp = 49;
    PlayerRecord before = player;
    checkLevelUp();
    EXPECT_EQ(game.output(), "");
    EXPECT_EQ(std::memcmp(&before, &player, sizeof player), 0);
    EXPECT_EQ(platform::nextRandom(), draws[0]);  // no draw made
}

TEST(CheckLevelUp, ExactlyFiftyGrowsTheMaximaAndKeepsTheHpMargin) {
    std::vector<int> draws = drawsAfter(11, 5);
    int hp = draws[0] % 4 + 1, ap = draws[1] % 4 + 1, dp = draws[2] % 4 + 1, sp = draws[3] % 4 + 1;
    GameFixtureState game({}, 11);
    player.exp = 50;
    player.hp = 2;  // 3 below maxHp 5
    player.ap = player.dp = player.sp = 0;
    equipment[2].defenceBonus = 10;
    checkLevelUp();
    auto n = [](int v) { return std::to_string(v); };
    EXPECT_EQ(game.output(), "--------------------------------------\nLV.UP\n"
                             "--------------------------------------\nlvが上がった。\n"
                             "追加ステータス。HP:+" + n(hp) + " AP:+" + n(ap) + " DP:+" + n(dp) +
                                 " SP:+" + n(sp) + "\n" +
                                 "PLAYERの最大値はHP(MAX):" + n(5 + hp) + " AP(MAX):" + n(4 + ap) +
                                 " DP(MAX):" + n(6 + dp) + " SP(MAX):" + n(3 + sp) + "\n" +
                                 "現在PLAYERはHP:" + n(2 + hp) + " AP:" + n(4 + ap) + " DP:" +
                                 n(6 + dp) + " SP:" + n(3 + sp) + "\n");
    EXPECT_EQ(player.maxHp - player.hp, 3);
    EXPECT_EQ(player.sp, player.maxSp);
    EXPECT_EQ(player.exp, 0);
    EXPECT_EQ(player.statGainBase, 1);
    EXPECT_EQ(player.attackTotal, 4 + ap + 4);
    EXPECT_EQ(player.defenceTotal, 6 + dp + 10);
    EXPECT_EQ(platform::nextRandom(), draws[4]);  // four draws
}

TEST(CheckLevelUp, OneLevelPerCheckAndTheRemainderCarries) {
    GameFixtureState game;
    player.exp = 137;
    checkLevelUp();
    EXPECT_EQ(player.exp, 87);
    checkLevelUp();
    EXPECT_EQ(player.exp, 37);
    checkLevelUp();
    EXPECT_EQ(player.exp, 37);
    EXPECT_GE(player.maxHp, 5 + 2);
    EXPECT_LE(player.maxHp, 5 + 8);
}

TEST(CheckLevelUp, ExtremeStatisticsStopAtTheEnds) {
    GameFixtureState game;
    player.exp = INT_MAX;
    player.hp = player.maxHp = player.maxAp = player.maxDp = player.maxSp = INT_MAX;
    equipment[0].attackBonus = INT_MAX;
    checkLevelUp();
    EXPECT_EQ(player.hp, INT_MAX);
    EXPECT_EQ(player.sp, INT_MAX);
    EXPECT_EQ(player.exp, INT_MAX - 50);
    EXPECT_EQ(player.attackTotal, INT_MAX);
    player.exp = 0;
    player.nextLevelExp = INT_MIN;
    checkLevelUp();
    EXPECT_EQ(player.exp, INT_MAX);
}

// Several level-ups' gains added up and applied at once, as the balance
// report applies them, must leave what each level-up in turn leaves, at the
// top of the range too.
TEST(ApplyLevelUps, AddedGainsAppliedOnceMatchEachInTurn) {
    const BonusSums bonuses{3, INT_MIN};
    for (std::int32_t start : {5, 1000, INT_MAX - 9, INT_MAX - 1, INT_MAX}) {
        for (int levelUps = 1; levelUps <= 20; ++levelUps) {
            PlayerRecord one = startPlayer();
            one.hp = one.maxHp = one.maxAp = one.maxDp = one.maxSp = start;
            one.exp = INT_MIN + 70;
            PlayerRecord all = one;
            platform::Random random{static_cast<std::uint32_t>(start) + static_cast<std::uint32_t>(levelUps)};
            StatGains total{};
            for (int level = 0; level < levelUps; ++level) {
                StatGains gains = drawStatGains(random);
                applyStatGains(one, gains, bonuses);
                total += gains;
            }
            applyLevelUps(all, total, levelUps, bonuses);
            ASSERT_EQ(std::memcmp(&one, &all, sizeof one), 0) << start << " " << levelUps;
        }
    }
}

// The added-up gains drawn at once must be those drawn one level-up after
// another, and leave the generator where they leave it.
TEST(DrawStatGains, AddedUpAtOnceMatchEachInTurn) {
    for (std::uint32_t seed : {0u, 1u, 12345u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        for (int levelUps = 0; levelUps <= 25; ++levelUps) {
            platform::Random each{seed + static_cast<std::uint32_t>(levelUps)};
            platform::Random atOnce = each;
            StatGains expected{};
            for (int level = 0; level < levelUps; ++level) expected += drawStatGains(each);
            StatGains got = drawStatGainsOf(levelUps, atOnce);
            ASSERT_EQ(got.hp, expected.hp) << seed << " " << levelUps;
            ASSERT_EQ(got.ap, expected.ap);
            ASSERT_EQ(got.dp, expected.dp);
            ASSERT_EQ(got.sp, expected.sp);
            ASSERT_EQ(atOnce.state, each.state);
            // The balance report counts on every gain lying between these.
            for (std::int32_t gain : {got.hp, got.ap, got.dp, got.sp}) {
                ASSERT_GE(gain, levelUps * leastStatGain);
                ASSERT_LE(gain, levelUps * mostStatGain);
            }
        }
    }
}

}  // namespace
