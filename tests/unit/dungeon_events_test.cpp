#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "game/dungeon_events.hpp"
#include "test_support.hpp"

namespace {

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

// A seed whose first draw gives `roll` as the event roll (draw % 50 + 1).
std::uint32_t seedForRoll(int roll) {
    for (std::uint32_t seed = 0;; ++seed) {
        platform::seedRandom(seed);
        if (platform::nextRandom() % 50 + 1 == roll) return seed;
    }
}

// The second draw of the seed: what the generator gives once the event has
// taken exactly its one draw.
int secondDraw(std::uint32_t seed) {
    platform::seedRandom(seed);
    platform::nextRandom();
    return platform::nextRandom();
}

// One event with a chosen roll, on a fresh default game.
struct EventRun : GameFixtureState {
    explicit EventRun(int roll, std::string input = {})
        : GameFixtureState(std::move(input)), seed(seedForRoll(roll)), nextDraw(secondDraw(seed)) {
        platform::seedRandom(seed);
        player.attackTotal = -1;  // tells whether the totals were rebuilt
        player.defenceTotal = -1;
    }
    std::string spring() {
        rollDungeonEvent();
        EXPECT_EQ(platform::nextRandom(), nextDraw) << "the event takes one draw";
        return output();
    }
    std::uint32_t seed;
    int nextDraw;
};

struct RowCase {
    int roll;
    const char* message;
    const char* followUp;
    std::int32_t hp, ap, maxAp, dp, maxDp, sp, maxSp;
    bool totalsRebuilt;
};

// Before each row: hp 500 of 1230, AP 7 of 140, DP 8 of 250, SP 9 of 60, start items.
const RowCase rowCases[] = {
    {1, "トラップが発動した。100のダメージ\n", "HP:400", 400, 7, 140, 8, 250, 9, 60, false},
    {2, "トラップが発動した。150のダメージ \n", "HP:350", 350, 7, 140, 8, 250, 9, 60, false},
    {3, "トラップが発動した。200のダメージ \n", "HP:300", 300, 7, 140, 8, 250, 9, 60, false},
    {4, "トラップが発動した。ヒットポイント10%のダメージ \n", "HP:450", 450, 7, 140, 8, 250, 9, 60,
     false},
    {5, "トラップが発動した。ヒットポイント50%のダメージ \n", "HP:250", 250, 7, 140, 8, 250, 9, 60,
     false},
    {6, "トラップが発動した。攻撃力が10減少した。\n", "AP:130", 500, 130, 130, 8, 250, 9, 60, true},
    {7, "トラップが発動した。攻撃力が10%減少した。\n", "AP:126", 500, 126, 126, 8, 250, 9, 60, true},
    {8, "トラップが発動した。防御力が10下がった。\n", "DP:240", 500, 7, 140, 240, 240, 9, 60, true},
    {9, "トラップが発動した。防御力が10%下がった。\n", "DP:225", 500, 7, 140, 225, 225, 9, 60, true},
    {10, "トラップが発動した。スピードが10下がった。\n", "SP:50", 500, 7, 140, 8, 250, 50, 50, true},
    {11, "トラップが発動した。スピードが10%下がった。\n", "SP:54", 500, 7, 140, 8, 250, 54, 54, true},
    {12, "回復薬を手に入れた。HPが100回復した。\n", "HP:600", 600, 7, 140, 8, 250, 9, 60, false},
    {13, "回復薬を手に入れた。HPが10%回復した。\n", "HP:623", 623, 7, 140, 8, 250, 9, 60, false},
    {14, "回復薬を手に入れた。HPが20%回復した。\n", "HP:746", 746, 7, 140, 8, 250, 9, 60, false},
    {15, "攻撃力上がる薬があったので飲んでみた。最大APが5上がった。\n", "AP:145", 500, 145, 145, 8, 250,
     9, 60, true},
    {16, "攻撃力上がる薬があったので飲んでみた。最大APが5%上がった。\n", "AP:147", 500, 147, 147, 8,
     250, 9, 60, true},
    {17, "防御力が上がる薬があったので飲んでみた。最大DPが5上がった。\n", "DP:255", 500, 7, 140, 255,
     255, 9, 60, true},
    {18, "防御力が上がる薬があったので飲んでみた。最大DPが5%上がった。\n", "DP:262", 500, 7, 140, 262,
     262, 9, 60, true},
    {19, "速度が上がる薬があったので飲んでみた。最大SPが5上がった。\n", "SP:65", 500, 7, 140, 8, 250,
     65, 65, true},
    {20, "速度が上がる薬があったので飲んでみた。最大SPが5%上がった。\n", "SP:63", 500, 7, 140, 8, 250,
     63, 63, true},
};

TEST(RollDungeonEvent, EveryTrapAndPotionRow) {
    for (const RowCase& row : rowCases) {
        SCOPED_TRACE(row.roll);
        EventRun run(row.roll);
        player.hp = 500;
        player.maxHp = 1230;
        player.ap = 7;
        player.maxAp = 140;
        player.dp = 8;
        player.maxDp = 250;
        player.sp = 9;
        player.maxSp = 60;
        EXPECT_EQ(run.spring(), std::string(row.message) + "PLAYERの" + row.followUp + "\n");
        EXPECT_EQ(player.hp, row.hp);
        EXPECT_EQ(player.maxHp, 1230);
        EXPECT_EQ(player.ap, row.ap);
        EXPECT_EQ(player.maxAp, row.maxAp);
        EXPECT_EQ(player.dp, row.dp);
        EXPECT_EQ(player.maxDp, row.maxDp);
        EXPECT_EQ(player.sp, row.sp);
        EXPECT_EQ(player.maxSp, row.maxSp);
        EXPECT_EQ(player.attackTotal, row.totalsRebuilt ? row.maxAp + 4 : -1);
        EXPECT_EQ(player.defenceTotal, row.totalsRebuilt ? row.maxDp + 3 : -1);
    }
}

// Springs `roll` on the default player after `setUp`; returns the follow-up line.
template <typename SetUp>
std::string followUpAfter(int roll, SetUp setUp) {
    EventRun run(roll);
    setUp();
    std::string printed = run.spring();
    return printed.substr(printed.find("PLAYER"));
}

TEST(RollDungeonEvent, TrapsStopAtOne) {
    EXPECT_EQ(followUpAfter(1, [] {}), "PLAYERのHP:1\n");
    EXPECT_EQ(followUpAfter(3, [] { player.hp = 150; }), "PLAYERのHP:1\n");
    EXPECT_EQ(followUpAfter(4, [] { player.hp = 9; }), "PLAYERのHP:9\n");
    EXPECT_EQ(followUpAfter(5, [] { player.hp = 1; }), "PLAYERのHP:1\n");
    EXPECT_EQ(followUpAfter(6, [] {}), "PLAYERのAP:1\n");
    EXPECT_EQ(player.ap, 1);
    EXPECT_EQ(player.maxAp, 1);
    EXPECT_EQ(followUpAfter(6, [] { player.maxAp = 10; }), "PLAYERのAP:1\n");
    EXPECT_EQ(followUpAfter(9, [] { player.maxDp = 25; }), "PLAYERのDP:23\n");
    EXPECT_EQ(followUpAfter(10, [] {}), "PLAYERのSP:1\n");
}

TEST(RollDungeonEvent, PotionLimitsAndSmallShares) {
    EXPECT_EQ(followUpAfter(12, [] {}), "PLAYERのHP:5\n");
    EXPECT_EQ(followUpAfter(12, [] { player.hp = 1; player.maxHp = 50; }), "PLAYERのHP:50\n");
    EXPECT_EQ(followUpAfter(13, [] { player.hp = 3; player.maxHp = 9; }), "PLAYERのHP:3\n");
    EXPECT_EQ(followUpAfter(14, [] { player.hp = 1; player.maxHp = 19; }), "PLAYERのHP:4\n");
    // Five percent of a value below 20 is nothing, though the message says otherwise.
    EXPECT_EQ(followUpAfter(16, [] {}), "PLAYERのAP:4\n");
    EXPECT_EQ(followUpAfter(18, [] {}), "PLAYERのDP:6\n");
    EXPECT_EQ(followUpAfter(20, [] { player.maxSp = 19; }), "PLAYERのSP:19\n");
    EXPECT_EQ(followUpAfter(15, [] {}), "PLAYERのAP:9\n");
    EXPECT_EQ(player.ap, 9);
    EXPECT_EQ(player.attackTotal, 13);
    EXPECT_EQ(player.defenceTotal, 9);
}

TEST(RollDungeonEvent, ExtremeValuesSaturateInsteadOfWrapping) {
    EXPECT_EQ(followUpAfter(15, [] { player.maxAp = int32Max - 2; }), "PLAYERのAP:2147483647\n");
    EXPECT_EQ(player.attackTotal, int32Max);
    EXPECT_EQ(followUpAfter(16, [] { player.maxAp = int32Max; }), "PLAYERのAP:2147483647\n");
    EXPECT_EQ(followUpAfter(19, [] { player.maxSp = int32Max; }), "PLAYERのSP:2147483647\n");
    EXPECT_EQ(followUpAfter(12, [] { player.hp = int32Max - 50; player.maxHp = int32Max; }),
              "PLAYERのHP:2147483647\n");
    EXPECT_EQ(followUpAfter(14, [] { player.hp = int32Max; player.maxHp = int32Max; }),
              "PLAYERのHP:2147483647\n");
    // Taken below the lowest value, a wrapped result would be a huge positive number.
    EXPECT_EQ(followUpAfter(6, [] { player.maxAp = int32Min + 5; }), "PLAYERのAP:1\n");
    EXPECT_EQ(followUpAfter(3, [] { player.hp = int32Min; }), "PLAYERのHP:1\n");
    EXPECT_EQ(followUpAfter(11, [] { player.maxSp = int32Min; }), "PLAYERのSP:1\n");
    // Totals of extreme bonuses saturate too.
    EXPECT_EQ(followUpAfter(17, [] {
                  for (EquipmentItem& item : equipment) item.defenceBonus = int32Min;
              }),
              "PLAYERのDP:11\n");
    EXPECT_EQ(player.defenceTotal, int32Min);
}

TEST(RollDungeonEvent, HighRollsDoNothing) {
    for (int roll = 31; roll <= 50; ++roll) {
        SCOPED_TRACE(roll);
        EventRun run(roll);
        EXPECT_EQ(run.spring(), "");
        EXPECT_EQ(player.hp, 5);
        EXPECT_EQ(player.maxAp, 4);
        EXPECT_EQ(player.attackTotal, -1);
        EXPECT_STREQ(equipment[0].name, "pike");
    }
}

struct FindCase {
    int roll;
    const char* name;
    std::int32_t attackBonus, defenceBonus;
};

const FindCase findCases[] = {
    {21, "脇差", 30, 0},     {22, "霧丸", 50, 10},     {23, "青龍刀", 70, 0},
    {24, "方天画戟", 100, 0}, {25, "無反動砲", 200, 0},  {26, "木の盾", 0, 30},
    {27, "鉄の盾", 0, 50},   {28, "鎧", 0, 70},        {29, "メタルコート", 0, 100},
    {30, "防衛要塞", 0, 200},
};

TEST(RollDungeonEvent, ItemFindsPutTheirItemInTheChosenSlot) {
    for (const FindCase& find : findCases) {
        SCOPED_TRACE(find.roll);
        EventRun run(find.roll, "1\n");
        std::string sums = "AP:+" + std::to_string(find.attackBonus + 2) +
                           " DP:+" + std::to_string(find.defenceBonus + 3);
        std::string gains = "AP:" + std::to_string(find.attackBonus + 6) +
                            " DP:" + std::to_string(find.defenceBonus + 9);
        EXPECT_EQ(run.spring(), std::string("アイテムを手に入れました。\nどのアイテムを取り替えますか？\n") +
                                    "1:pike 2:sword 3:armor 4:取り替えない\n" + "持ち物は1:" + find.name +
                                    " 2:sword 3:armor\n" + "PLAYERのステータスはAP:4 DP:6\n" +
                                    "PLAYERは持ち物を装備した。\n" + "PLAYERの装備品は合計で" + sums +
                                    "\n" + "PLAYERは以下のステータスを得た" + gains + "\n");
        EXPECT_STREQ(equipment[0].name, find.name);
        EXPECT_EQ(equipment[0].attackBonus, find.attackBonus);
        EXPECT_EQ(equipment[0].defenceBonus, find.defenceBonus);
        EXPECT_EQ(player.attackTotal, find.attackBonus + 6);
        EXPECT_EQ(player.defenceTotal, find.defenceBonus + 9);
    }
}

TEST(RollDungeonEvent, RecoillessGunInPlaceOfArmor) {
    EventRun run(25, "3\n");
    std::string printed = run.spring();
    EXPECT_NE(printed.find("持ち物は1:pike 2:sword 3:無反動砲\n"), std::string::npos);
    EXPECT_NE(printed.find("PLAYERの装備品は合計でAP:+204 DP:+0\n"), std::string::npos);
    EXPECT_EQ(player.attackTotal, 208);
    EXPECT_EQ(player.defenceTotal, 6);
}

}  // namespace
