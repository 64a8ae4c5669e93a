#include "editor/player_editor.hpp"

#include "datafiles/file_failure.hpp"
#include "editor/answers.hpp"
#include "editor/file_messages.hpp"
#include "editor/hyphen_line.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t confirmationRule = 27;

using platform::out;

void printNewPlayer(const EditPlayerEntry& entry) {
    out << "finish\n";
    printHyphenLine(confirmationRule);
    out << "EDIT PLAYER IS...\n";
    out << "HP:" << entry.hp << "\n";
    out << "AP:" << entry.ap << "\n";
    out << "DP:" << entry.dp << "\n";
    out << "SP:" << entry.sp << "\n";
    printHyphenLine(confirmationRule);
}

}  // namespace

void editPlayer() {
    out << "playeredit\n";
    EditPlayerEntry entry{};
    entry.hp = askStatValue("HPを入力せよ(1-999)");
    entry.ap = askStatValue("APを入力せよ(1-999)");
    entry.dp = askStatValue("DPを入力せよ(1-999)");
    entry.sp = askStatValue("SPを入力せよ(1-999)");
    printNewPlayer(entry);
    stopOnFileFailure(writeEditPlayerFile(entry), editPlayerFileName, cannotOpenEditPlayer);
    out << "finish\n";
    platform::pauseConsole();
}
