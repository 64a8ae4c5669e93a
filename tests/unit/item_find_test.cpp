#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "game/equipment.hpp"
#include "game/item_find.hpp"
#include "test_support.hpp"

namespace {

const std::string dialogueHead = "アイテムを手に入れました。\nどのアイテムを取り替えますか？\n";
const std::string startChoices = "1:pike 2:sword 3:armor 4:取り替えない\n";

TEST(ChooseEquipmentSlot, ExactAnswersNameTheSlots) {
    const std::pair<const char*, int> answers[] = {
        {"1\n", 0}, {"2\n", 1}, {"3\n", 2}, {"4\n", keepEverything}, {"2\r\n", 1}};
    for (const auto& [script, slot] : answers) {
        SCOPED_TRACE(script);
        GameFixtureState game(script);
        EXPECT_EQ(chooseEquipmentSlot(), slot);
        EXPECT_EQ(game.output(), dialogueHead + startChoices);
    }
}

TEST(ChooseEquipmentSlot, NearMissesBringOnlyTheChoiceLineBack) {
    GameFixtureState game("5\n01\n 1\n1 \n\n3\n");
    EXPECT_EQ(chooseEquipmentSlot(), 2);
    std::string expected = dialogueHead;
    for (int i = 0; i < 6; ++i) expected += startChoices;
    EXPECT_EQ(game.output(), expected);
}

TEST(ChooseEquipmentSlot, EndOfInputKeepsEverything) {
    // The choice line comes once more for each wrong answer, never after the end.
    const std::pair<const char*, std::size_t> cases[] = {{"", 1}, {"5\n", 2}, {"0\n1 ", 3}};
    for (const auto& [script, choiceLines] : cases) {
        SCOPED_TRACE(script);
        GameFixtureState game(script);
        EXPECT_EQ(chooseEquipmentSlot(), keepEverything);
        std::string printed = game.output();
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = printed.find("4:取り替えない\n", at)) != std::string::npos; ++at)
            ++lines;
        EXPECT_EQ(lines, choiceLines);
        EXPECT_EQ(printed.substr(0, dialogueHead.size()), dialogueHead);
    }
}

TEST(FindItem, KeepingEverythingChangesNothing) {
    GameFixtureState game("4\n");
    player.attackTotal = -1;
    findItem(5);
    EXPECT_EQ(game.output(), dialogueHead + startChoices);
    EXPECT_STREQ(equipment[2].name, "armor");
    EXPECT_EQ(equipment[2].defenceBonus, 3);
    EXPECT_EQ(player.attackTotal, -1);  // no summary, no recompute
}

TEST(FindItem, EveryCopyOfTheSameItemCounts) {
    GameFixtureState game("1\n2\n3\n");
    for (int i = 0; i < 3; ++i) findItem(2);
    std::string printed = game.output();
    EXPECT_NE(printed.find("1:霧丸 2:霧丸 3:armor 4:取り替えない\n"), std::string::npos);
    EXPECT_NE(printed.find("持ち物は1:霧丸 2:霧丸 3:霧丸\n"), std::string::npos);
    EXPECT_NE(printed.find("PLAYERの装備品は合計でAP:+150 DP:+30\n"), std::string::npos);
    EXPECT_EQ(player.attackTotal, 154);
    EXPECT_EQ(player.defenceTotal, 36);
}

TEST(ApplyEquipment, FiveLinesFromCurrentAndMaximumValues) {
    GameFixtureState game;
    applyEquipment();
    EXPECT_EQ(game.output(),
              "持ち物は1:pike 2:sword 3:armor\n"
              "PLAYERのステータスはAP:4 DP:6\n"
              "PLAYERは持ち物を装備した。\n"
              "PLAYERの装備品は合計でAP:+4 DP:+3\n"
              "PLAYERは以下のステータスを得たAP:8 DP:9\n");
    player.ap = 1;
    player.dp = 2;
    player.maxAp = 30;
    player.maxDp = 40;
    copyName(equipment[1].name, "cursed");
    equipment[1].attackBonus = -7;
    applyEquipment();
    EXPECT_EQ(game.output(),
              "持ち物は1:pike 2:cursed 3:armor\n"
              "PLAYERのステータスはAP:1 DP:2\n"
              "PLAYERは持ち物を装備した。\n"
              "PLAYERの装備品は合計でAP:+-5 DP:+3\n"
              "PLAYERは以下のステータスを得たAP:25 DP:43\n");
    EXPECT_EQ(player.attackTotal, 25);
    EXPECT_EQ(player.defenceTotal, 43);
}

TEST(ApplyEquipment, QuietLoadPrintsNothingButStillRecomputes) {
    GameFixtureState game;
    quietLoad = 1;
    applyEquipment();
    EXPECT_EQ(game.output(), "");
    EXPECT_EQ(player.attackTotal, 8);
    EXPECT_EQ(player.defenceTotal, 9);
}

TEST(ApplyEquipment, ExtremeBonusesAreSummedExactlyAndSaturatedOnce) {
    GameFixtureState game;
    constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
    player.maxAp = -10;
    equipment[0].attackBonus = top;
    equipment[1].attackBonus = 5;
    equipment[0].defenceBonus = bottom;
    equipment[1].defenceBonus = bottom;
    applyEquipment();
    std::string printed = game.output();
    EXPECT_NE(printed.find("合計でAP:+2147483647 DP:+-2147483648\n"), std::string::npos);
    // -10 + 2147483647 + 5 + 0 fits: the sum of the bonuses alone is not cut first.
    EXPECT_NE(printed.find("得たAP:2147483642 DP:-2147483648\n"), std::string::npos);
    EXPECT_EQ(player.attackTotal, 2147483642);
    EXPECT_EQ(player.defenceTotal, bottom);
}

}  // namespace
