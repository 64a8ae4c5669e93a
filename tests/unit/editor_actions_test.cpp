#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editor/enemy_editor.hpp"
#include "editor/item_editor.hpp"
#include "editor/listings.hpp"
#include "editor/player_editor.hpp"
#include "editor_support.hpp"

namespace {

const std::string pause = "続行するには何かキーを押してください . . . \n";
const std::string fiveEnemies = "1 2 3 4\na\n5 6 7 8\nb\n9 10 11 12\nc\n13 14 15 16\nd\n17 18 19 20\ne\n\n";
const std::string newEnemy = "120\n45\n30\n9\n 　竜の　王　\n";

TEST(EditEnemy, SlotThreeTakesTheNewEnemyAndTheOthersStay) {
    TemporaryFolder folder;
    writeBytes("editenemy", fiveEnemies);
    ActionRun run = runScripted(newEnemy + "0\n7\n3\n", editEnemy);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readBytes("editenemy"),
              "1 2 3 4\na\n5 6 7 8\nb\n120 45 30 9\n竜の　王\n13 14 15 16\nd\n17 18 19 20\ne\n\n");
    EXPECT_TRUE(run.output.ends_with("please enter the number(1-6)\nplease enter the number(1-6)\nfinish\n" + pause));
}

TEST(EditEnemy, SlotSixKeepsTheEnemiesButRewritesTheFileInTheEditorsLayout) {
    TemporaryFolder folder;
    std::string oneLine = fiveEnemies;
    for (char& c : oneLine) {
        if (c == '\n') c = ' ';
    }
    writeBytes("editenemy", "\r\n" + oneLine);
    ActionRun run = runScripted(newEnemy + "6\n", editEnemy);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readBytes("editenemy"), fiveEnemies);
    EXPECT_TRUE(run.output.ends_with("finish\n" + pause));
}

TEST(EditEnemy, MissingFileIsFoundAfterTheConfirmationBlock) {
    TemporaryFolder folder;
    ActionRun run = runScripted(newEnemy + "3\n", editEnemy);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.ends_with("NAME:竜の　王\n" + std::string(27, '-') + "\nCannot open editenemy.\n" + pause));
    EXPECT_FALSE(std::filesystem::exists("editenemy"));
}

TEST(Listings, MissingOrDamagedFilesEndTheEditorBeforeTheBlock) {
    struct Case {
        void (*list)();
        const char* file;
        std::string message;
    } cases[] = {{listEditEnemies, "editenemy", "Cannot open editenemy.\n"},
                 {listEditItems, "editequipment", "Cannot open editequipment.\n"},
                 {showEditPlayer, "editplayer", "Cannot open editplayer.\n"}};
    for (const Case& c : cases) {
        TemporaryFolder folder;
        ActionRun missing = runScripted("", c.list);
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.output, c.message + pause);
        writeBytes(c.file, "x\n");  // a name token where a number must stand, or too few tokens
        ActionRun damaged = runScripted("", c.list);
        EXPECT_EQ(damaged.status, 1);
        EXPECT_TRUE(damaged.output.starts_with(std::string(c.file) + " is damaged at line ")) << damaged.output;
    }
}

TEST(Dialogues, EndOfInputWritesNothing) {
    const std::string ended = "入力が終わったため、何も書き込まずに終了します。\n";
    struct Case {
        void (*edit)();
        const char* file;
        std::string input;
    } cases[] = {{editEnemy, "editenemy", newEnemy},
                 {editEnemy, "editenemy", "1\n1\n"},
                 {editEnemy, "editenemy", "1\n1\n1\n1\n" + std::string(30, 'x')},
                 {editItems, "editequipment", "a\n1\n1\nb\n1\n1\nc\n1\n"},
                 {editPlayer, "editplayer", "1\n2\n3\n"}};
    for (const Case& c : cases) {
        TemporaryFolder folder;
        writeBytes("editenemy", fiveEnemies);
        ActionRun run = runScripted(c.input, c.edit);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.output.ends_with(ended)) << run.output;
        EXPECT_EQ(run.output.find(pause), std::string::npos);
        EXPECT_EQ(readBytes("editenemy"), fiveEnemies);
        EXPECT_EQ(std::filesystem::exists(c.file), std::string(c.file) == "editenemy");
    }
}

TEST(EditItems, AFileThatCannotBeReplacedEndsTheDialogueBeforeItsFirstQuestion) {
    TemporaryFolder folder;
    std::filesystem::create_directory("editequipment");  // a folder stands where the file should be
    ActionRun failed = runScripted("pike\n2\n0\nmail\n0\n3\nring\n1\n1\n", editItems);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.output, "itemedit\nCannot open editequipment.\n" + pause);
    EXPECT_TRUE(std::filesystem::is_directory("editequipment"));
}

}  // namespace
