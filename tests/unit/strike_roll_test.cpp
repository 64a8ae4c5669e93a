#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <type_traits>

#include "draw_replay.hpp"
#include "game/strike_roll.hpp"
#include "rules/strike_roll.hpp"
#include "test_support.hpp"

namespace {

const std::string marker = "Critical ATTACK ";

// One roll against a seed whose draws are known: the damage, what it printed,
// and how many draws it made.
struct Roll {
    int damage;
    std::string printed;
    int drawsMade;
};

Roll rollWith(std::uint32_t seed, int attack, int defence) {
    std::vector<int> draws = drawsAfter(seed, 12);
    GameFixtureState game({}, seed);
    Roll roll{strikeRoll(attack, defence), game.output(), -1};
    int next = platform::nextRandom();
    for (int i = 0; i < 12 && roll.drawsMade < 0; ++i)
        if (draws[static_cast<std::size_t>(i)] == next) roll.drawsMade = i;
    return roll;
}

// Draw order without a critical: critical roll, attack variation (10, 3),
// idle draw, defence variation (10, 3), and the floor's draw of 5 if needed.
TEST(StrikeRoll, VariationsGiveTheWidestDamagesInDrawOrder) {
    auto highest = findSeed(6, [](auto& d) {
        return d[0] % 10 != 0 && d[1] % 10 != 0 && d[2] % 3 == 2 && d[4] % 10 == 0 && d[5] % 3 == 2;
    });
    EXPECT_EQ(rollWith(highest, 10, 3).damage, 11);  // 12 - 1
    EXPECT_EQ(rollWith(highest, 10, 3).drawsMade, 6);
    auto lowest = findSeed(6, [](auto& d) {
        return d[0] % 10 != 0 && d[1] % 10 == 0 && d[2] % 3 == 2 && d[4] % 10 != 0 && d[5] % 3 == 2;
    });
    EXPECT_EQ(rollWith(lowest, 10, 3).damage, 3);  // 8 - 5
    // No variation: a margin of 1 deals exactly 1 and needs no floor draw.
    auto still = findSeed(6, [](auto& d) { return d[0] % 10 != 0 && d[2] % 3 == 0 && d[5] % 3 == 0; });
    Roll margin = rollWith(still, 5, 4);
    EXPECT_EQ(margin.damage, 1);
    EXPECT_EQ(margin.drawsMade, 6);
    EXPECT_EQ(margin.printed, "");
    EXPECT_EQ(rollWith(still, 5, 0).damage, 4);  // a defence of 0 counts as 1
    // Attack 0 grows to at most 2; against a defence of 5 the floor decides.
    auto blunted = findSeed(7, [](auto& d) { return d[0] % 10 != 0; });
    Roll floor = rollWith(blunted, 0, 5);
    EXPECT_EQ(floor.damage, 1 + drawsAfter(blunted, 7)[6] % 5);
    EXPECT_EQ(floor.drawsMade, 7);
}

TEST(StrikeRoll, CriticalIgnoresDefenceAndPrintsTheMarker) {
    auto critical = findSeed(5, [](auto& d) { return d[0] % 10 == 0; });
    std::vector<int> draws = drawsAfter(critical, 5);
    for (int defence : {INT_MIN, -3, 0, 3, 12, 1000000, INT_MAX}) {
        Roll roll = rollWith(critical, 8, defence);
        EXPECT_EQ(roll.damage, 12) << defence;
        EXPECT_EQ(roll.printed, marker);
        EXPECT_EQ(roll.drawsMade, 4);  // critical, idle, defence variation
    }
    EXPECT_EQ(rollWith(critical, 7, 0).damage, 10);
    EXPECT_EQ(rollWith(critical, 1, 0).damage, 1);
    // 0 stays 0 and -3 becomes -4: neither is raised, so the floor decides.
    for (int attack : {0, -3, INT_MIN}) {
        Roll roll = rollWith(critical, attack, 0);
        EXPECT_EQ(roll.damage, 1 + draws[4] % 5) << attack;
        EXPECT_EQ(roll.drawsMade, 5);
    }
    EXPECT_EQ(rollWith(critical, INT_MAX, 0).damage, INT_MAX);
    EXPECT_EQ(rollWith(critical, INT_MAX - 1, INT_MAX).damage, INT_MAX);
}

TEST(StrikeRoll, BoundsHoldOverManySeeds) {
    const int pairs[][2] = {{10, 3}, {0, 0}, {0, 5}, {1, 0}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX},
                            {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {-3, 2}};
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        bool critical = drawsAfter(seed, 1)[0] % 10 == 0;
        for (auto& pair : pairs) {
            Roll roll = rollWith(seed, pair[0], pair[1]);
            ASSERT_GE(roll.damage, 1) << seed << " " << pair[0] << " " << pair[1];
            ASSERT_EQ(roll.printed, critical ? marker : "");
        }
        Roll usual = rollWith(seed, 10, 3);
        if (critical) {
            ASSERT_EQ(usual.damage, 15);
        } else {
            ASSERT_GE(usual.damage, 3);
            ASSERT_LE(usual.damage, 11);
        }
        ASSERT_LE(rollWith(seed, 0, 0).damage, 5);  // varied 1 or 2 apiece: the floor
        // Growth stops at the top; the lowest defence counts as 1.
        int top = rollWith(seed, INT_MAX, INT_MIN).damage;
        ASSERT_TRUE(critical ? top == INT_MAX : top >= INT_MAX - 3 && top <= INT_MAX - 1) << top;
    }
}

TEST(StrikeRoll, OneBlowInTenIsCritical) {
    GameFixtureState game({}, 20240601);
    const int rolls = 100000;
    int criticals = 0;
    for (int i = 0; i < rolls; ++i) {
        int damage = strikeRoll(10, 3);
        bool marked = game.output() == marker;
        criticals += marked;
        ASSERT_TRUE(marked ? damage == 15 : damage >= 3 && damage <= 11) << damage;
    }
    double share = 100.0 * criticals / rolls;
    RecordProperty("criticalSharePercent", std::to_string(share));
    EXPECT_GE(share, 9.0);
    EXPECT_LE(share, 11.0);
}

// The multiplies that stand for the remainders must give them for every
// draw the generator can make.
TEST(StrikeRoll, RemaindersByMultiplyHoldForEveryDraw) {
    using namespace strike_detail;
    for (std::uint32_t draw = 0; draw <= 0x7FFFu; ++draw) {
        ASSERT_EQ(multipleOfTen(draw), draw % 10 == 0) << draw;
        ASSERT_EQ(remainderOf<3>(draw), static_cast<std::int32_t>(draw % 3)) << draw;
        ASSERT_EQ(remainderOf<5>(draw), static_cast<std::int32_t>(draw % 5)) << draw;
    }
}

// The table that the silent fights' rolls read must give what the
// arithmetic gives, for every draw on either side of a change.
TEST(StrikeRoll, DrawTableMatchesTheArithmeticForEveryDraw) {
    using namespace strike_detail;
    for (std::uint32_t draw = 0; draw <= 0x7FFFu; ++draw) {
        ASSERT_EQ(multipleOfTenByTable(draw), multipleOfTen(draw)) << draw;
        for (std::uint32_t other : {0u, 1u, 5u, 10u, 32767u}) {
            ASSERT_EQ(changeByTable(other, draw), change(other, draw)) << other << " " << draw;
            ASSERT_EQ(changeByTable(draw, other), change(draw, other)) << draw << " " << other;
        }
    }
}

// The critical attack is the attack and a half of it, worked out exactly
// and then saturated, up to both ends of the range.
TEST(StrikeRoll, CriticalAttackSaturatesAtBothEnds) {
    const std::int32_t attacks[] = {INT_MIN,     INT_MIN + 1, -1431655765, -1431655766, -1431655767, -7, -1, 0, 1, 7,
                                    1431655764, 1431655765,  1431655766,  INT_MAX - 1, INT_MAX};
    for (std::int32_t attack : attacks) {
        std::int64_t exact = static_cast<std::int64_t>(attack) + attack / 2;
        std::int64_t expected = std::clamp<std::int64_t>(exact, INT_MIN, INT_MAX);
        EXPECT_EQ(strike_detail::criticalAttack(attack), expected) << attack;
    }
}

// The rolls with fewer clamps, which fights whose values allow them take,
// must give the general roll's damage and draws, up to both edges of the
// values that allow them.
TEST(StrikeRoll, RollsWithFewerClampsMatchTheGeneralOne) {
    const std::int32_t free[] = {3, 4, 5, 9, 1000, INT_MAX / 2, INT_MAX - 3, INT_MAX - 2};
    const std::int32_t reach[] = {INT_MIN + 2, INT_MIN + 3, -7, -1, 0, 1, 2, 3, 4, 9, INT_MAX - 2};
    for (std::int32_t value : free) ASSERT_TRUE(variesFreely(value)) << value;
    for (std::int32_t value : {INT_MIN, -1, 0, 1, 2, INT_MAX - 1, INT_MAX}) EXPECT_FALSE(variesFreely(value)) << value;
    for (std::int32_t value : reach) ASSERT_TRUE(withinReach(value)) << value;
    for (std::int32_t value : {INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX}) EXPECT_FALSE(withinReach(value)) << value;
    auto same = [](std::uint32_t seed, std::int32_t attack, std::int32_t defence, auto values) {
        platform::Random general{seed};
        platform::Random fewer{seed};
        Strike expected = rollStrike(general, attack, defence);
        Strike got = rollStrike<decltype(values)::value>(fewer, attack, defence);
        ASSERT_EQ(got.damage, expected.damage) << seed << " " << attack << " " << defence;
        ASSERT_EQ(got.critical, expected.critical);
        ASSERT_EQ(fewer.state, general.state);
    };
    for (std::uint32_t seed = 1; seed <= 2000; ++seed) {
        for (std::int32_t attack : free) {
            for (std::int32_t defence : free) {
                same(seed, attack, defence, std::integral_constant<Variation, Variation::free>{});
            }
        }
        for (std::int32_t attack : reach) {
            for (std::int32_t defence : reach) {
                same(seed, attack, defence, std::integral_constant<Variation, Variation::raisedOnly>{});
            }
        }
    }
}

}  // namespace
