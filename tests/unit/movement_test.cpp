#include <gtest/gtest.h>

#include "game/boss_gate.hpp"
#include "game/movement.hpp"
#include "game/narration.hpp"
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

TEST(MovePlayer, EveryPositionLineIsThePositionWrittenOut) {
    // The lines of the squares are made when compiling and a position off the
    // map (a saved game's) is written out; both narrations, in a cp932 and in
    // a UTF-8 buffer, print the same line.
    const std::string cp932Before = "現在の座標は(", cp932After = ")です。\n";
    const std::string utf8Before(reinterpret_cast<const char*>(u8"現在の座標は("));
    const std::string utf8After(reinterpret_cast<const char*>(u8")です。\n"));
    for (bool utf8 : {false, true}) {
        platform::ScriptedConsole console({}, utf8 ? platform::ConsoleCharset::utf8() : platform::ConsoleCharset::cp932());
        std::string expected;
        for (int x = -1; x <= mapSize + 1; ++x) {
            for (int y : {-2147483647 - 1, 0, 1, 9, 10, 24, 25, 26, 100}) {
                GameNarrator<platform::LineForm::any>{}.moved(Direction::up, false, x, y);
                GameNarrator<platform::LineForm::utf8>{}.moved(Direction::up, false, x, y);
                const std::string numbers = std::to_string(x) + "," + std::to_string(y);
                const std::string line = utf8 ? utf8Before + numbers + utf8After : cp932Before + numbers + cp932After;
                expected += line + line;
            }
        }
        EXPECT_EQ(console.takeOutput(), expected) << (utf8 ? "UTF-8" : "cp932");
    }
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
