#include <gtest/gtest.h>

#include "game/boss_gate.hpp"
#include "game/movement.hpp"
#include "rules/map.hpp"
#include "test_support.hpp"

namespace {

struct Step {
    const char* word;
    int fromX, fromY;
    int toX, toY;
    const char* refusal;  // empty when the step is taken
};

TEST(MovePlayer, EveryEdgeAndCornerRefusesAndStillReportsThePosition) {
    const Step steps[] = {
        {"up", 13, 1, 13, 2, ""},
        {"down", 13, 1, 13, 1, "それより下にはいけない。\n"},
        {"up", 1, 25, 1, 25, "それより上には行けない。\n"},
        {"right", 25, 25, 25, 25, "それより右にはいけない。\n"},
        {"left", 1, 1, 1, 1, "それより左にはいけない。\n"},
        {"right", 24, 1, 25, 1, ""},
        {"left", 2, 25, 1, 25, ""},
        {"down", 25, 2, 25, 1, ""},
    };
    for (const Step& step : steps) {
        GameFixtureState game;
        playerX = step.fromX;
        playerY = step.fromY;
        goalX = 0;
        movePlayer(step.word);
        EXPECT_EQ(playerX, step.toX) << step.word;
        EXPECT_EQ(playerY, step.toY) << step.word;
        EXPECT_EQ(game.output(), std::string(step.refusal) + "現在の座標は(" + std::to_string(step.toX) +
                                     "," + std::to_string(step.toY) + ")です。\n");
        EXPECT_EQ(atGoal, 0);
    }
}

TEST(MovePlayer, GoalIsMarkedAfterARefusedStepAndNeverCleared) {
    GameFixtureState game;
    goalX = 13;
    goalY = 1;
    movePlayer("down");
    EXPECT_EQ(atGoal, 1);
    movePlayer("up");
    EXPECT_EQ(atGoal, 1);  // only the boss gate clears it
}

TEST(MovePlayer, OnlyExactWordsMove) {
    GameFixtureState game;
    EXPECT_EQ(directionOf("up"), Direction::up);
    EXPECT_EQ(directionOf("down"), Direction::down);
    EXPECT_EQ(directionOf("right"), Direction::right);
    EXPECT_EQ(directionOf("left"), Direction::left);
    // Each word with one byte changed, at its first, a middle and its last
    // place, and cut short or made longer.
    for (const char* word : {"Up", "uP", "Down", "doWn", "dowN", "Right", "riGht", "righT", "Left", "leFt",
                             "lefT", "up ", "u", "dow", "righ", "lef", "rightt", "", "4"}) {
        EXPECT_FALSE(isMovementWord(word)) << word;
    }
}

int askWith(const std::string& script, std::string* printed = nullptr) {
    GameFixtureState game(script);
    int answer = askBossFight();
    if (printed) *printed = game.output();
    return answer;
}

TEST(AskBossFight, AnswersAndTheirMeaning) {
    std::string printed;
    EXPECT_EQ(askWith("NO\n", &printed), 1);
    EXPECT_EQ(printed, "BOSSと戦いますか？(YES/NO) \n");
    EXPECT_EQ(askWith("YES\n"), 0);
    EXPECT_EQ(askWith("yes\n"), 0);
    EXPECT_EQ(askWith("no\n"), 0);
    EXPECT_EQ(askWith("\n"), 0);
    EXPECT_EQ(askWith(""), 0);  // end of input reads as an empty line
    // ESC waits for another answer without asking again.
    EXPECT_EQ(askWith("ESC\nESC\nNO\n", &printed), 1);
    EXPECT_EQ(printed, "BOSSと戦いますか？(YES/NO) \n");
    EXPECT_EQ(askWith("ESC\n"), 0);
}

}  // namespace
