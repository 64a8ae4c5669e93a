#include <gtest/gtest.h>

#include <string>

#include "editor/answers.hpp"
#include "editor_support.hpp"

namespace {

TEST(AskStatValue, OnlyThePlainDecimalFormOf1To999IsTaken) {
    for (const char* good : {"5", "50", "999", "1"}) {
        int value = 0;
        ActionRun run = runScripted(std::string(good) + "\n", [&] { value = askStatValue("HP"); });
        EXPECT_EQ(value, std::stoi(good));
        EXPECT_EQ(run.output, "HP\n");
    }
    for (const char* bad : {"0", "1000", "05", "+5", "-5", "5a", " 5", "5 ", "", "99999999999"}) {
        int value = 0;
        ActionRun run = runScripted(std::string(bad) + "\n7\n", [&] { value = askStatValue("HP"); });
        EXPECT_EQ(value, 7) << bad;
        EXPECT_EQ(run.output, "HP\nHP\n") << bad;  // the prompt again, nothing else
    }
}

TEST(AskNumber, ABonusOfZeroIsTakenAsZeroOnly) {
    int value = -1;
    ActionRun run = runScripted("00\n-0\n0\n", [&] { value = askNumber("B", 0, 999); });
    EXPECT_EQ(value, 0);
    EXPECT_EQ(run.output, "B\nB\nB\n");
}

std::string nameFrom(const std::string& input, std::string* printed = nullptr) {
    std::string name;
    ActionRun run = runScripted(input, [&] { name = askEnemyName(); });
    if (printed) *printed = run.output;
    return name;
}

TEST(AskEnemyName, LimitCountsRawBytesBlanksIncluded) {
    std::string printed;
    EXPECT_EQ(nameFrom(std::string(29, 'a') + "\n", &printed), std::string(29, 'a'));
    EXPECT_EQ(printed, "名前を入力せよ\n入力可能文字数内です。\n");
    // 30 bytes, though trimming would have left 26.
    EXPECT_EQ(nameFrom("  " + std::string(26, 'b') + "  \nok\n", &printed), "ok");
    EXPECT_EQ(printed, "名前を入力せよ\n入力可能文字数外です。:\n入力可能文字数内です。\n");
}

TEST(AskEnemyName, BlanksOfBothWidthsLeaveBothEndsButNotTheMiddle) {
    EXPECT_EQ(nameFrom(" 　 竜の　王 　\n"), "竜の　王");
    EXPECT_EQ(nameFrom("　　slime\n"), "slime");
    // 0x81 0x40 that ends メ (0x83 0x81) and an @ is no blank: the name stays whole.
    EXPECT_EQ(nameFrom("メ@\n"), "メ@");
    EXPECT_EQ(nameFrom("メ@　\n"), "メ@");
}

TEST(AskEnemyName, NamesThatWouldNotReadBackAreRefused) {
    std::string printed;
    EXPECT_EQ(nameFrom("dark knight\nslime\tking\n\n　 　\nslime\n", &printed), "slime");
    EXPECT_EQ(printed, "名前を入力せよ\n使えない文字が含まれています。:\n使えない文字が含まれています。:\n"
                       "名前が空です。:\n名前が空です。:\n入力可能文字数内です。\n");
}

TEST(AskEnemyName, NamesThatTheGameCouldNotShowAreRefused) {
    // A lead byte without its trail byte would swallow what the game prints
    // after the name; 0x80, 0xA0 and 0xFD are no character; ESC would be obeyed.
    std::string printed;
    EXPECT_EQ(nameFrom("ab\x81\nx\xFC\n\x80x\n\xA0\n\xFDz\na\x1B[2J\nｶﾅ竜\n", &printed), "ｶﾅ竜");
    std::string refusals;
    for (int i = 0; i < 6; ++i) refusals += "使えない文字が含まれています。:\n";
    EXPECT_EQ(printed, "名前を入力せよ\n" + refusals + "入力可能文字数内です。\n");
}

}  // namespace
