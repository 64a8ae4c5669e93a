#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "game/edit_loaders.hpp"
#include "game/save_file.hpp"
#include "temp_folder.hpp"
#include "test_support.hpp"

namespace {

const std::string pause = "続行するには何かキーを押してください . . . \n";

struct Stats {
    std::int32_t hp, ap, dp, sp;
};

void expectPlayer(Stats current, Stats maxima) {
    EXPECT_EQ(player.hp, current.hp);
    EXPECT_EQ(player.ap, current.ap);
    EXPECT_EQ(player.dp, current.dp);
    EXPECT_EQ(player.sp, current.sp);
    EXPECT_EQ(player.maxHp, maxima.hp);
    EXPECT_EQ(player.maxAp, maxima.ap);
    EXPECT_EQ(player.maxDp, maxima.dp);
    EXPECT_EQ(player.maxSp, maxima.sp);
}

TEST(SaveData, ReadingStopsAtTheFirstUnreadableValue) {
    struct Case {
        std::string bytes;
        Stats expected;
    };
    const Case cases[] = {
        {"5 4 6 3\n", {5, 4, 6, 3}},
        {"7 8", {7, 8, 0, 0}},
        {"", {0, 0, 0, 0}},
        {"-1 -2147483648 0 -7\n", {-1, -2147483647 - 1, 0, -7}},
        {"1\n2\r\n\n3\n4\n5 6\nrubbish\n", {1, 2, 3, 4}},
        {" \t\r\n9\t8\v7\f6", {9, 8, 7, 6}},
        {"1 x 3 4\n", {1, 0, 0, 0}},
        {"1 2147483648 3 4\n", {1, 0, 0, 0}},
        {"7abc 8 9 10\n", {7, 0, 0, 0}},
        {"5 4 6 1e9\n", {5, 4, 6, 1}},
        {"+5 -0 007 2147483647", {5, 0, 7, 2147483647}},
    };
    for (const Case& c : cases) {
        SaveData data = parseSaveData(c.bytes);
        EXPECT_EQ(data.maxHp, c.expected.hp) << c.bytes;
        EXPECT_EQ(data.maxAp, c.expected.ap) << c.bytes;
        EXPECT_EQ(data.maxDp, c.expected.dp) << c.bytes;
        EXPECT_EQ(data.maxSp, c.expected.sp) << c.bytes;
    }
    EXPECT_EQ(formatSaveData({-1, 0, 2147483647, -2147483647 - 1}), "-1 0 2147483647 -2147483648\n");
}

using SaveFile = InTempFolder;

TEST_F(SaveFile, SaveWritesTheMaximaAndLoadRestoresThemIntoBoth) {
    GameFixtureState game;
    player.hp = 1;  // hurt: the save holds the maxima, not the current values
    player.maxHp = 12;
    player.maxSp = -3;
    saveGame();
    EXPECT_EQ(game.output(), "Saveが完了しました。\n");
    EXPECT_EQ(readFile("savedata"), "12 4 6 -3\n");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"savedata"});

    resetGameState();
    player.exp = 40;
    copyName(equipment[2].name, "盾");
    equipment[2].defenceBonus = 5;
    loadGame();
    expectPlayer({12, 4, 6, -3}, {12, 4, 6, -3});
    EXPECT_EQ(player.exp, 40);
    EXPECT_EQ(player.attackTotal, 8);
    EXPECT_EQ(player.defenceTotal, 11);
    EXPECT_EQ(game.output(),
              "読み込み完了致しました。\n"
              "PLAYERのステータスはHP:12 AP:4 DP:6 SP:-3\n"
              "持ち物は1:pike 2:sword 3:盾\n"
              "PLAYERのステータスはAP:4 DP:6\n"
              "PLAYERは持ち物を装備した。\n"
              "PLAYERの装備品は合計でAP:+4 DP:+5\n"
              "PLAYERは以下のステータスを得たAP:8 DP:11\n");
}

TEST_F(SaveFile, LoadWithoutSaveEndsTheGameAndChangesNothing) {
    GameFixtureState game;
    player.hp = 2;
    EXPECT_EQ(exitStatusOf(loadGame), 1);
    EXPECT_EQ(game.output(), "Cannot open savedata\n" + pause);
    expectPlayer({2, 4, 6, 3}, {5, 4, 6, 3});
    EXPECT_EQ(player.attackTotal, 0);
}

TEST_F(SaveFile, ASaveThatDoesNotReachTheDiskIsAFailureNotASuccess) {
    GameFixtureState game;
    writeFile("savedata", "9 9 9 9\n");
    int status = 0;
    withFileSizeLimit(3, [&] { status = exitStatusOf(saveGame); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(game.output(), "Cannot write savedata\n" + pause);
    EXPECT_EQ(readFile("savedata"), "9 9 9 9\n");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"savedata"});

    std::filesystem::remove("savedata");
    std::filesystem::create_directory("savedata");
    EXPECT_EQ(exitStatusOf(saveGame), 1);
    EXPECT_EQ(game.output(), "Cannot open savedata\n" + pause);
    EXPECT_TRUE(std::filesystem::is_directory("savedata"));
}

const char* const enemyFile =
    "10 5 3 2\nスライム\n-1 0 2147483647 -2147483648\n闇の　騎士\n1 1 1 1\nbat\n"
    "999 999 999 999\nドラゴン\n7 8 9 10\n魔王\n\n";
const char* const itemFile = "聖剣\n5 1\n盾 0 4 指輪\t1 1\n";
const char* const playerFile = "30 7 8 9\n";
const std::string itemSummary =
    "持ち物は1:聖剣 2:盾 3:指輪\n"
    "PLAYERのステータスはAP:7 DP:8\n"
    "PLAYERは持ち物を装備した。\n"
    "PLAYERの装備品は合計でAP:+6 DP:+6\n"
    "PLAYERは以下のステータスを得たAP:13 DP:14\n";

class EditLoaders : public InTempFolder {
protected:
    void SetUp() override {
        InTempFolder::SetUp();
        writeFile("editenemy", enemyFile);
        writeFile("editequipment", itemFile);
        writeFile("editplayer", playerFile);
    }
};

TEST_F(EditLoaders, QuietStartUpLoadingPrintsNothingAndTakesEverything) {
    GameFixtureState game;
    player.exp = 20;
    quietLoad = 1;
    loadEditEnemies();
    loadEditItems();
    loadEditPlayer();
    EXPECT_EQ(game.output(), "");
    EXPECT_EQ(quietLoad, 1);

    const char* names[] = {"スライム", "闇の　騎士", "bat", "ドラゴン", "魔王"};
    const std::int32_t rewards[] = {30, 30, 30, 30, 70};
    for (int k = 0; k < enemyCount; ++k) {
        EXPECT_STREQ(editEnemies[k].name, names[k]);
        EXPECT_EQ(editEnemies[k].expReward, rewards[k]);
    }
    EXPECT_EQ(editEnemies[1].dp, 2147483647);
    EXPECT_EQ(editEnemies[1].sp, -2147483647 - 1);
    EXPECT_EQ(editEnemies[4].hp, 7);
    EXPECT_STREQ(builtinEnemies[0].name, "automonster1");

    EXPECT_STREQ(equipment[1].name, "盾");
    EXPECT_EQ(equipment[1].defenceBonus, 4);
    expectPlayer({30, 7, 8, 9}, {30, 7, 8, 9});
    EXPECT_EQ(player.attackTotal, 13);
    EXPECT_EQ(player.defenceTotal, 14);
    EXPECT_EQ(player.exp, 20);
    EXPECT_STREQ(player.name, "PLAYER");
}

TEST_F(EditLoaders, CommandsReportWhatTheyLoadedInOrder) {
    GameFixtureState game;
    player.maxHp = 80;  // after a battle that cost hit points
    player.hp = 3;
    player.ap = player.maxAp = 7;
    player.dp = player.maxDp = 8;
    player.exp = 45;
    loadEditItems();
    EXPECT_EQ(game.output(), itemSummary + "EDITITEMのLOADが完了しました。\n");
    loadEditPlayer();
    EXPECT_EQ(game.output(), "PLAYERのステータスはHP:30 AP:7 DP:8 SP:9\n" + itemSummary +
                                 "EDITPLAYERのLOADが完了しました。\n");
    expectPlayer({30, 7, 8, 9}, {30, 7, 8, 9});
    EXPECT_EQ(player.exp, 45);
    loadEditEnemies();
    EXPECT_EQ(game.output(), "EDITENEMYのLOADが完了しました。\n");
}

// Every failure ends the game with the file's own message, loud or quiet,
// and leaves the records as they were.
TEST_F(EditLoaders, MissingOrDamagedFilesEndTheGameChangingNothing) {
    struct Case {
        const char* file;
        const char* damage;
        void (*load)();
        std::string missing;
        std::string damaged;
    };
    const Case cases[] = {
        {"editenemy", "1 1 1 1 a 2 2 2 2 b 3 3 3", loadEditEnemies, "Cannot open editenemy.\n",
         "editenemy is damaged at line 1: entry 3, sp: missing\n"},
        {"editequipment", "a 1 1\nb 1 1\nccccccccccccccccccccccccccccccccccccccccccccccccccccc 1 1", loadEditItems,
         "Cannot open editequipment.\n", "editequipment is damaged at line 3: entry 3, name: longer than 51 bytes\n"},
        {"editplayer", "1 2\n3 4294967296\n", loadEditPlayer, "Cannot open editplayer\n",
         "editplayer is damaged at line 2: entry 1, sp: beyond 32 bits\n"},
    };
    for (const Case& c : cases) {
        for (int quiet = 0; quiet <= 1; ++quiet) {
            for (bool missing : {true, false}) {
                GameFixtureState game;
                quietLoad = quiet;
                if (missing) {
                    std::filesystem::remove(c.file);
                } else {
                    writeFile(c.file, c.damage);
                }
                EXPECT_EQ(exitStatusOf(c.load), 1) << c.file;
                EXPECT_EQ(game.output(), (missing ? c.missing : c.damaged) + pause);
                EXPECT_STREQ(editEnemies[0].name, "editmonster1");
                EXPECT_EQ(editEnemies[0].hp, 0);
                EXPECT_STREQ(equipment[0].name, "pike");
                expectPlayer({5, 4, 6, 3}, {5, 4, 6, 3});
                EXPECT_EQ(player.attackTotal, 0);
            }
        }
    }
}

}  // namespace
