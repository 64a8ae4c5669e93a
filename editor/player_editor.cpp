#include "editor/player_editor.hpp"

#include "editor/file_failures.hpp"
#include "datafiles/starter_content.hpp"
#include "editor/answers.hpp"
#include "editor/hyphen_line.hpp"
#include "editor/stat_block.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t confirmationRule = 27;

using platform::out;

void printNewPlayer(const EditPlayerEntry& entry) {
    out << "finish\n";
    printHyphenLine(confirmationRule);
    out << "EDIT PLAYER IS...\n";
    printStatBlock(StatBlock{entry.hp, entry.ap, entry.dp, entry.sp});
    printHyphenLine(confirmationRule);
}

}  // namespace

void editPlayer() {
    out << "playeredit\n";
    stopEditorOnFileFailure(replaceableCheck(editPlayerFileName));
    // The answers start from the file, or from the starter player where it
    // is missing or damaged (it is then replaced whole).
    EditPlayerEntry entry = starterPlayer();
    (void)readEditPlayerFile(entry);  // leaves the starter player where it fails
    StatBlock stats = askStatBlockKeeping(StatBlock{entry.hp, entry.ap, entry.dp, entry.sp});
    entry.hp = stats.hp;
    entry.ap = stats.ap;
    entry.dp = stats.dp;
    entry.sp = stats.sp;
    printNewPlayer(entry);
    stopEditorOnFileFailure(writeEditPlayerFile(entry));
    out << "finish\n";
    platform::pauseConsole();
}
