#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "datafiles/edit_data.hpp"
#include "datafiles/file_failure.hpp"
#include "temp_folder.hpp"

namespace {

// The blank inside the second name is the full-width space, bytes 0x81 0x40.
const EditEnemyEntry sampleEnemies[editEnemyCount] = {
    {10, 5, 3, 2, "スライム"},
    {-1, 0, 2147483647, -2147483647 - 1, "闇の　騎士"},
    {1, 1, 1, 1, "bat"},
    {999, 999, 999, 999, "ドラゴン"},
    {7, 8, 9, 10, "x"},
};
const std::string sampleEnemyText =
    "10 5 3 2\nスライム\n-1 0 2147483647 -2147483648\n闇の　騎士\n1 1 1 1\nbat\n"
    "999 999 999 999\nドラゴン\n7 8 9 10\nx\n\n";

const EditItemEntry sampleItems[editItemCount] = {
    {"聖なる　槍", -3, 2147483647}, {"sword", 2, 0}, {"鎧", 0, -2147483647 - 1}};

void expectSameEnemies(const EditEnemyEntry (&a)[editEnemyCount], const EditEnemyEntry (&b)[editEnemyCount]) {
    for (int k = 0; k < editEnemyCount; ++k) {
        EXPECT_EQ(a[k].hp, b[k].hp) << k;
        EXPECT_EQ(a[k].ap, b[k].ap) << k;
        EXPECT_EQ(a[k].dp, b[k].dp) << k;
        EXPECT_EQ(a[k].sp, b[k].sp) << k;
        EXPECT_STREQ(a[k].name, b[k].name) << k;
    }
}

void expectSameItems(const EditItemEntry (&a)[editItemCount], const EditItemEntry (&b)[editItemCount]) {
    for (int k = 0; k < editItemCount; ++k) {
        EXPECT_STREQ(a[k].name, b[k].name) << k;
        EXPECT_EQ(a[k].attackBonus, b[k].attackBonus) << k;
        EXPECT_EQ(a[k].defenceBonus, b[k].defenceBonus) << k;
    }
}

TEST(EditData, EnemiesAreWrittenInElevenLinesAndReadBackWhole) {
    ASSERT_NE(std::string(sampleEnemies[1].name).find("\x81\x40"), std::string::npos);
    std::string text = formatEditEnemies(sampleEnemies);
    EXPECT_EQ(text, sampleEnemyText);
    EditEnemyEntry back[editEnemyCount]{};
    ASSERT_EQ(parseEditEnemies(text, back).status, FileStatus::ok);
    expectSameEnemies(back, sampleEnemies);
}

TEST(EditData, ItemsAndPlayerReadBackWhatWasWritten) {
    EditItemEntry items[editItemCount]{};
    ASSERT_EQ(parseEditItems(formatEditItems(sampleItems), items).status, FileStatus::ok);
    expectSameItems(items, sampleItems);

    const EditPlayerEntry written{-5, 2147483647, 0, -2147483647 - 1};
    EditPlayerEntry player{};
    ASSERT_EQ(parseEditPlayer(formatEditPlayer(written), player).status, FileStatus::ok);
    EXPECT_EQ(player.hp, -5);
    EXPECT_EQ(player.ap, 2147483647);
    EXPECT_EQ(player.dp, 0);
    EXPECT_EQ(player.sp, -2147483647 - 1);
}

TEST(EditData, LineBreaksCarryNoMeaning) {
    const std::string oneLine =
        "10 5 3 2 スライム -1 0 2147483647 -2147483648 闇の　騎士 1 1 1 1 bat 999 999 999 999 ドラゴン "
        "7\t8\t9\t10\tx";
    const std::string loose =
        "\n\n\r\n10\n\n5\r\n3\v2\f\n\n\nスライム\r\n\r\n-1 0\n\n2147483647 -2147483648\n\n\n闇の　騎士\n"
        "   1 1 1 1\n\n\nbat\n\n999 999 999 999 ドラゴン\n\n\n\n7 8 9 +10\n\n\nx\n\n\n\n\n";
    for (const std::string& text : {oneLine, loose}) {
        EditEnemyEntry read[editEnemyCount]{};
        ASSERT_EQ(parseEditEnemies(text, read).status, FileStatus::ok);
        expectSameEnemies(read, sampleEnemies);
    }
}

TEST(EditData, NineTokensGiveThreeItems) {
    EditItemEntry items[editItemCount]{};
    ASSERT_EQ(parseEditItems("pike 2 0 sword 2 0 armor 0 3", items).status, FileStatus::ok);
    const EditItemEntry expected[editItemCount] = {{"pike", 2, 0}, {"sword", 2, 0}, {"armor", 0, 3}};
    expectSameItems(items, expected);
}

TEST(EditData, NamesOfFiftyOneBytesFitAndHalfWidthSpacesCannotBeStored) {
    const std::string longest = std::string("あいうえおかきくけこさしすせそたちつてとなにぬねの") + "A";
    ASSERT_EQ(longest.size(), 51u);
    EditItemEntry items[editItemCount]{};
    ASSERT_EQ(parseEditItems(longest + " 1 2 b 3 4 c 5 6", items).status, FileStatus::ok);
    EXPECT_EQ(std::string(items[0].name), longest);

    EXPECT_TRUE(isStorableName(longest));
    EXPECT_TRUE(isStorableName("闇の　騎士"));
    EXPECT_FALSE(isStorableName(longest + "B"));
    EXPECT_FALSE(isStorableName("dark knight"));
    EXPECT_FALSE(isStorableName("tab\tname"));
    EXPECT_FALSE(isStorableName(""));
    EXPECT_FALSE(isStorableName(std::string("nul\0name", 8)));
}

struct Damage {
    const char* file;
    std::string bytes;
    const char* message;
};

FileResult parseAs(const char* file, const std::string& bytes) {
    EditEnemyEntry enemies[editEnemyCount]{};
    EditItemEntry items[editItemCount]{};
    EditPlayerEntry player{};
    if (std::strcmp(file, editEnemyFileName) == 0) return parseEditEnemies(bytes, enemies);
    if (std::strcmp(file, editItemFileName) == 0) return parseEditItems(bytes, items);
    return parseEditPlayer(bytes, player);
}

TEST(EditData, DamageIsReportedWhereItStands) {
    const std::string name52(52, 'n');
    const Damage cases[] = {
        {"editplayer", "", "editplayer is damaged at line 1: entry 1, hp: missing"},
        {"editplayer", "1 2 3\n", "editplayer is damaged at line 1: entry 1, sp: missing"},
        {"editplayer", "1 2 3", "editplayer is damaged at line 1: entry 1, sp: missing"},
        {"editplayer", "1\n2\n\n3\n\n", "editplayer is damaged at line 5: entry 1, sp: missing"},
        {"editplayer", "1 2 - 4\n", "editplayer is damaged at line 1: entry 1, dp: not a number"},
        {"editplayer", "1 2 3 2147483648\n", "editplayer is damaged at line 1: entry 1, sp: beyond 32 bits"},
        {"editplayer", "-2147483649 2 3 4\n", "editplayer is damaged at line 1: entry 1, hp: beyond 32 bits"},
        {"editplayer", "99999999999999999999999 2 3 4", "editplayer is damaged at line 1: entry 1, hp: beyond 32 bits"},
        {"editenemy", "1 1 1 1\na\n2 2 2 2\nb\n3 3 3 x\nc\n",
         "editenemy is damaged at line 5: entry 3, sp: not a number"},
        {"editenemy", sampleEnemyText.substr(0, sampleEnemyText.rfind("7 8 9 10")) + "\n",
         "editenemy is damaged at line 9: entry 5, hp: missing"},
        {"editenemy", "1 1 1 1\n" + name52 + "\n", "editenemy is damaged at line 2: entry 1, name: longer than 51 bytes"},
        {"editenemy", "1 1 1 1 a 2 2 2 2", "editenemy is damaged at line 1: entry 2, name: missing"},
        {"editequipment", "pike 2 0\nsword 2\narmor 0 3\n",
         "editequipment is damaged at line 3: entry 2, defenceBonus: not a number"},
        {"editequipment", "pike 2 0 sword 2 0 armor 0", "editequipment is damaged at line 1: entry 3, defenceBonus: missing"},
        {"editequipment", std::string("pike 2 0 \0sword 2 0", 19), "editequipment is damaged at line 1: entry 2, name: empty"},
        // A number ends at white space, a NUL or the end: glued to other bytes it is none.
        {"editplayer", "100 50 30 1e9\n", "editplayer is damaged at line 1: entry 1, sp: not a number"},
        {"editplayer", "1 2.5 3 4", "editplayer is damaged at line 1: entry 1, ap: not a number"},
        {"editplayer", "0x10 1 1 1", "editplayer is damaged at line 1: entry 1, hp: not a number"},
        {"editenemy", "1 1 1 1 a 2 2 2 2 b 3 3 3 3 c 4 4 4 4 d\n30 14 7 4x\n",
         "editenemy is damaged at line 2: entry 5, sp: not a number"},
        {"editequipment", "pike 2 0 sword 2 0 armor 0 3-", "editequipment is damaged at line 1: entry 3, defenceBonus: not a number"},
    };
    for (const Damage& d : cases) {
        FileResult result = parseAs(d.file, d.bytes);
        EXPECT_EQ(result.status, FileStatus::damaged) << d.message;
        EXPECT_EQ(damageMessage(result, d.file), d.message);
    }
    EXPECT_EQ(parseAs("editplayer", std::string("1 2 3 4\0after the last token", 27)).status, FileStatus::ok);
}

using EditDataFile = InTempFolder;

bool sameResult(const FileResult& a, const FileResult& b) {
    return a.status == b.status && a.line == b.line && a.entry == b.entry && a.field == b.field &&
           a.problem == b.problem;
}

TEST_F(EditDataFile, ReadsInChunksAsFromMemoryWhereverAChunkEnds) {
    // The file reader takes 4096 bytes at a time. Blank padding moves every
    // byte of each text, in turn, across the end of the first chunk.
    const std::string name52(52, 'n');
    const std::string texts[] = {
        sampleEnemyText,
        sampleEnemyText.substr(0, sampleEnemyText.rfind("x\n")),  // the last name missing
        "1 1 1 1\n" + name52 + "\n",
        "1 1 1 1 a 2 2 2 2 b\r\n3 3 3 3 c 4 4 4 4 d 5 5 5 5x\n",
    };
    for (const std::string& text : texts) {
        for (std::size_t at = 0; at <= text.size(); ++at) {
            std::string padding;
            for (std::size_t k = 0; k + at < 4096; ++k) padding += k % 9 == 0 ? '\n' : ' ';
            std::string bytes = padding + text;
            writeFile("editenemy", bytes);
            EditEnemyEntry fromFile[editEnemyCount]{};
            EditEnemyEntry fromMemory[editEnemyCount]{};
            FileResult read = readEditEnemyFile(fromFile);
            FileResult parsed = parseEditEnemies(bytes, fromMemory);
            ASSERT_TRUE(sameResult(read, parsed)) << at << ": " << damageMessage(read, "file") << " / "
                                                  << damageMessage(parsed, "memory");
            if (parsed.status == FileStatus::ok) expectSameEnemies(fromFile, fromMemory);
        }
    }
}

}  // namespace
