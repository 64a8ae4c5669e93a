#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "draw_replay.hpp"
#include "game/battle.hpp"
#include "test_support.hpp"

namespace {

const std::string rule = "--------------------------------------\n";
const std::string opening = rule + "BATTLE PHASE\n" + rule + ">>> \n" + rule + "BATTLE LOG\n" + rule +
                            "goblinが現れました。\n戦闘態勢に入った。\n";

// Edit play with the enemy at index 1 named "goblin".
void setEnemy(int hp, int ap, int dp, int sp, int reward) {
    playMode = editPlayMode;
    fillEnemyRecord(editEnemies[1], hp, ap, dp, sp, "goblin");
    editEnemies[1].expReward = reward;
}

void setPlayer(int hp, int sp, int attackTotal, int defenceTotal, int exp) {
    player.hp = hp;
    player.sp = sp;
    player.attackTotal = attackTotal;
    player.defenceTotal = defenceTotal;
    player.exp = exp;
}

// Seeds whose blows are all critical: a critical against attack 8 deals 12
// and makes four draws, so the n-th blow's critical roll is draw 4n.
std::uint32_t criticalBlows(int blows) {
    return findSeed(4 * blows, [blows](auto& d) {
        for (int i = 0; i < blows; ++i)
            if (d[static_cast<std::size_t>(4 * i)] % 10 != 0) return false;
        return true;
    });
}

TEST(RunBattle, TieGoesToThePlayerAndOneBlowWins) {
    GameFixtureState game({}, criticalBlows(1));
    setEnemy(1, 0, 0, 3, 30);
    setPlayer(5, 3, 8, 0, 0);
    EXPECT_TRUE(runBattle(1));
    EXPECT_EQ(game.output(), opening + "自分が先制だ。\nPLAYERのHP:5\n" +
                                 "Critical ATTACK PLAYERの攻撃:12のダメージ\n" +
                                 "PLAYERの勝利\n30の経験値を得た。\n" +
                                 "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n>>> \n");
    EXPECT_EQ(player.exp, 30);
    EXPECT_EQ(editEnemies[1].hp, 1);
}

TEST(RunBattle, FasterEnemyStrikesFirstAndDefeatStopsAtZero) {
    GameFixtureState game({}, criticalBlows(1));
    setEnemy(50, 8, 0, 4, 30);
    setPlayer(5, 3, 100, 100, 20);
    EXPECT_FALSE(runBattle(1));
    EXPECT_EQ(game.output(), opening + "相手が先制だ。\nPLAYERのHP:5\n" +
                                 "Critical ATTACK goblinの攻撃:12のダメージ\n" +
                                 "PLAYERは負けました\nPLAYERのステータスはHP:0 AP:4 DP:6 SP:3\n>>> \n");
    EXPECT_EQ(player.hp, 0);
    EXPECT_EQ(player.exp, 20);
}

// The test after the enemy's own blow already finds it fallen.
TEST(RunBattle, EnemyWithoutHpLosesAfterTheFirstBlowEvenItsOwn) {
    GameFixtureState game({}, criticalBlows(1));
    setEnemy(0, 8, 0, 9, 30);
    setPlayer(100, 3, 8, 0, 0);
    EXPECT_TRUE(runBattle(1));
    EXPECT_EQ(game.output(), opening + "相手が先制だ。\nPLAYERのHP:100\n" +
                                 "Critical ATTACK goblinの攻撃:12のダメージ\n" +
                                 "PLAYERの勝利\n30の経験値を得た。\n" +
                                 "PLAYERのステータスはHP:88 AP:4 DP:6 SP:3\n>>> \n");
}

TEST(RunBattle, PlayerEnteringWithoutHpStrikesThenLosesEvenIfTheEnemyFalls) {
    for (int hp : {0, -7, INT_MIN}) {
        GameFixtureState game({}, criticalBlows(1));
        setEnemy(1, 0, 0, 0, 30);
        setPlayer(hp, 3, 8, 0, 10);
        EXPECT_FALSE(runBattle(1));
        EXPECT_EQ(game.output(), opening + "自分が先制だ。\nPLAYERのHP:" + std::to_string(hp) + "\n" +
                                     "Critical ATTACK PLAYERの攻撃:12のダメージ\n" +
                                     "PLAYERは負けました\nPLAYERのステータスはHP:0 AP:4 DP:6 SP:3\n>>> \n");
        EXPECT_EQ(player.exp, 10);
    }
}

// A blow's line without the critical marker that may head it.
std::string blowLine(std::istringstream& lines) {
    std::string line;
    std::getline(lines, line);
    const std::string marker = "Critical ATTACK ";
    return line.rfind(marker, 0) == 0 ? line.substr(marker.size()) : line;
}

// The lines after the first-mover line, checked turn by turn against the
// damages they report: the HP line follows the enemy's blows, and the enemy
// falls on the very blow that brings the player's damage to its HP.
void checkTurns(const std::string& log, int playerHp, int enemyHp) {
    std::istringstream lines(log.substr(log.find("自分が先制だ。\n") + std::string("自分が先制だ。\n").size()));
    std::string line;
    long long dealt = 0;
    for (;;) {
        std::getline(lines, line);
        EXPECT_EQ(line, "PLAYERのHP:" + std::to_string(playerHp));
        line = blowLine(lines);
        EXPECT_EQ(line.rfind("PLAYERの攻撃:", 0), 0u) << line;
        dealt += std::stoi(line.substr(line.find(':') + 1));
        if (dealt >= enemyHp) break;
        line = blowLine(lines);
        EXPECT_EQ(line.rfind("goblinの攻撃:", 0), 0u) << line;
        playerHp -= std::stoi(line.substr(line.find(':') + 1));
        std::getline(lines, line);
        EXPECT_EQ(line, ">>> ");
    }
    std::getline(lines, line);
    EXPECT_EQ(line, "PLAYERの勝利");
}

TEST(RunBattle, TurnsRunUntilTheEnemyFallsAndEveryBattleStartsAfresh) {
    GameFixtureState game({}, 77);
    setEnemy(40, 3, 2, 0, 30);
    setPlayer(1000, 3, 6, 2, 0);
    for (int battle = 0; battle < 2; ++battle) {
        int hpBefore = player.hp;
        EXPECT_TRUE(runBattle(1));
        checkTurns(game.output(), hpBefore, 40);
        EXPECT_EQ(editEnemies[1].hp, 40);
    }
    EXPECT_EQ(player.exp, 10);  // 60, then one level-up
}

TEST(RunBattle, DefeatWithEnoughExperienceStillLevelsUpButIsNoVictory) {
    std::uint32_t seed = criticalBlows(1);
    std::vector<int> draws = drawsAfter(seed, 8);
    GameFixtureState game({}, seed);
    setEnemy(50, 8, 0, 4, 30);
    setPlayer(5, 3, 8, 0, 60);
    EXPECT_FALSE(runBattle(1));
    int hpGain = draws[4] % 4 + 1;
    std::string log = game.output();
    EXPECT_NE(log.find("PLAYERは負けました\nPLAYERのステータスはHP:0 AP:4 DP:6 SP:3\n" + rule + "LV.UP\n"),
              std::string::npos);
    EXPECT_EQ(player.hp, hpGain);
    EXPECT_EQ(player.exp, 10);
}

TEST(RunBattle, FiveOrdinaryVictoriesBringThreeLevelUps) {
    GameFixtureState game({}, 5);
    setEnemy(0, 0, 0, 0, 30);
    const int expAfter[] = {30, 10, 40, 20, 0};
    const bool levelUp[] = {false, true, false, true, true};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(runBattle(1));
        EXPECT_EQ(player.exp, expAfter[i]) << i;
        EXPECT_EQ(game.output().find("LV.UP") != std::string::npos, levelUp[i]) << i;
    }
}

TEST(RunBattle, ExtremeStatisticsSaturate) {
    {
        GameFixtureState game({}, criticalBlows(1));
        setEnemy(INT_MIN, INT_MAX, INT_MAX, 0, INT_MAX);
        setPlayer(INT_MAX, 3, 8, INT_MIN, INT_MAX - 5);
        EXPECT_TRUE(runBattle(1));
        EXPECT_EQ(player.exp, INT_MAX - 50);  // stops at the top, then a level-up
    }
    {
        GameFixtureState game({}, criticalBlows(1));
        setEnemy(INT_MAX, INT_MAX, INT_MIN, 9, INT_MIN);
        setPlayer(-2, 3, INT_MAX, INT_MAX, -100);
        EXPECT_FALSE(runBattle(1));
        EXPECT_EQ(player.hp, 0);
        EXPECT_EQ(player.exp, -100);
    }
}

}  // namespace
