#include "editor/editor_menu.hpp"

#include "editor/answers.hpp"
#include "editor/enemy_editor.hpp"
#include "editor/hyphen_line.hpp"
#include "editor/item_editor.hpp"
#include "editor/listings.hpp"
#include "editor/player_editor.hpp"
#include "platform/console.hpp"

namespace {

constexpr std::size_t menuRule = 26;
constexpr int exitChoice = 7;

using platform::out;

void printMenu() {
    printHyphenLine(menuRule);
    out << "Welcome to Edit mode" << "..." << "\n";
    out << "1:ENEMY EDIT\n";
    out << "2:ITEM EDIT\n";
    out << "3:CHARACTER EDIT\n";
    out << "4:DISPLAY ENEMY STATUS\n";
    out << "5:DISPLAY ITEM STATUS\n";
    out << "6:DISPLAY CHARACTER STATUS\n";
    out << "7:EXIT EDIT MODE\n";
    printHyphenLine(menuRule);
    platform::flushOutput();
}

void runAction(int choice) {
    switch (choice) {
    case 1: editEnemy(); break;
    case 2: editItems(); break;
    case 3: editPlayer(); break;
    case 4: listEditEnemies(); break;
    case 5: listEditItems(); break;
    case 6: showEditPlayer(); break;
    default: break;
    }
}

}  // namespace

int menuChoice(const std::string& line) { return menuDigit(line, exitChoice); }

void runEditorMenu() {
    std::string line;
    for (;;) {
        printMenu();
        out << "Choose list number and enter... : ";
        if (!platform::readLine(line)) return;  // the end of input closes the editor as choice 7 does
        int choice = menuChoice(line);
        if (choice == exitChoice) return;
        if (choice == 0) {
            out << "please enter the number(1-7)\n";
            continue;
        }
        runAction(choice);
        out << "finish\n";
    }
}
