#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../fuzz/reader_checks.hpp"

// The fuzz targets' seed files, and every input that once broke a reader,
// go through the same checks in every test run.

namespace {

namespace fs = std::filesystem;

using Check = std::string (*)(std::string_view);

int checkFolder(const char* target, Check check) {
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(READER_CORPUS_DIR) / target)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(check(bytes), "") << entry.path();
        ++files;
    }
    return files;
}

TEST(ReaderCorpus, EveryFileKeepsTheReadersPromises) {
    EXPECT_GE(checkFolder("edit_enemies", reader_checks::checkEnemyReader), 5);
    EXPECT_GE(checkFolder("edit_items", reader_checks::checkItemReader), 5);
    EXPECT_GE(checkFolder("edit_player", reader_checks::checkPlayerReader), 4);
    EXPECT_GE(checkFolder("save_data", reader_checks::checkSaveReader), 5);
}

TEST(ReaderChecks, CatchAReaderThatBreaksItsPromise) {
    // The checks themselves: a reader that hands out a name of 52 bytes, or
    // leaves a field unwritten, does not pass.
    auto longName = [](std::string_view, EditItemEntry (&e)[editItemCount]) {
        for (EditItemEntry& item : e) {
            std::memset(item.name, 'x', editNameCapacity - 1);
            item.name[editNameCapacity - 1] = '\0';
            item.attackBonus = item.defenceBonus = 0;
        }
        e[0].name[editNameCapacity - 1] = 'x';
        return FileResult{};
    };
    auto format = [](const EditItemEntry (&e)[editItemCount]) { return formatEditItems(e); };
    EXPECT_NE((reader_checks::checkReader<EditItemEntry, editItemCount>("a 1 1 b 2 2 c 3 3", longName, format)),
              "");

    auto skipsSp = [](std::string_view bytes, EditPlayerEntry (&e)[1]) {
        std::int32_t sp = e[0].sp;
        FileResult result = parseEditPlayer(bytes, e[0]);
        e[0].sp = sp;
        return result;
    };
    auto formatPlayer = [](const EditPlayerEntry (&e)[1]) { return formatEditPlayer(e[0]); };
    EXPECT_EQ((reader_checks::checkReader<EditPlayerEntry, 1>("1 2 3 4", skipsSp, formatPlayer)),
              "an entry holds what the buffer held before the read");
}

}  // namespace
