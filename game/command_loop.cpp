#include "game/command_loop.hpp"

#include <string>
#include <string_view>

#include "game/battle.hpp"
#include "game/boss_gate.hpp"
#include "game/dungeon_events.hpp"
#include "game/edit_loaders.hpp"
#include "game/game_state.hpp"
#include "game/movement.hpp"
#include "game/normal_play.hpp"
#include "game/save_file.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"

using platform::nextRandom;
using platform::out;

namespace {

const char* const bannerLine = "--------------------------------------";

void startUp(std::uint32_t seed) {
    platform::seedRandom(seed);
    goalX = nextRandom() % mapSize + 1;
    goalY = nextRandom() % mapSize + 1;
    atGoal = 0;
    playerX = 13;
    playerY = 1;
    playMode = 0;
}

void printMenu() {
    out << "Gloomhold" << "\n"
        << "プレイモードを選択してください。" << "\n"
        << "1:通常プレイはこちら。" << "\n"
        << "2:エディットプレイはこちら。" << "\n"
        << "> ";
}

// The play-mode menu; false when the input ended before a valid answer.
bool choosePlayMode() {
    printMenu();
    std::string answer;
    for (;;) {
        if (!platform::readLine(answer)) return false;
        if (answer == "1" || answer == "2") break;
        out << "PLEASE inputs 1 or 2" << "\n";
        platform::keyWait();
        printMenu();
    }
    if (answer == "2") playMode = editPlayMode;
    atGoal = 0;
    return true;
}

void loadEditData() {
    out << bannerLine << "\n" << "NOW LOADING..." << "\n" << bannerLine << "\n";
    quietLoad = 1;
    loadEditEnemies();
    loadEditItems();
    loadEditPlayer();
    quietLoad = 0;
    out << "finish" << "\n";
    platform::keyWait();
    platform::clearScreen();
}

// Commands are compared as views: a view compares lengths first, where a
// string compared with a literal always calls memcmp (every turn asks this).
bool isCommandWord(std::string_view line) {
    return line == "ESC" || line == "SAVE" || line == "LOAD" || line == "EDITLOAD" ||
           line == "STATUS" || line == "EDITITEMLOAD" || isMovementWord(line);
}

enum class TurnEnd { goOn, endGame };

// The boss question and, when it is taken up, the boss fight.
TurnEnd bossGate() {
    if (askBossFight() == 0) {
        if (runBattle(bossIndex)) out << "Your mission is clear!" << "\n";
        atGoal = 0;
        return TurnEnd::endGame;
    }
    atGoal = 0;
    return TurnEnd::goOn;
}

void encounterRoll() {
    if (nextRandom() % 2 != 0) return;
    out << "敵と遭遇しました！" << "\n";
    int enemyIndex = playMode == 1 ? nextRandom() % 3 + 1 : nextRandom() % 4;
    runBattle(enemyIndex);
}

TurnEnd playTurn(std::string& line) {
    out << "コマンドを入力してください。\n" << "command： ";
    if (!platform::readLine(line)) return TurnEnd::endGame;
    platform::clearScreen();
    std::string_view command = line;

    int skipEncounter = isCommandWord(command) ? 0 : 1;
    if (command == "ESC") return TurnEnd::endGame;
    if (command == "SAVE") {
        saveGame();
        return TurnEnd::endGame;
    }
    if (command == "LOAD") {
        loadGame();
        skipEncounter = 1;
    } else if (command == "EDITLOAD") {
        loadEditPlayer();
        skipEncounter = 1;
    } else if (command == "STATUS") {
        printPlayerStatus();
        skipEncounter = 1;
    } else if (command == "EDITITEMLOAD") {
        loadEditItems();
        skipEncounter = 1;
    } else if (isMovementWord(command)) {
        out << "key: " << command << "\n";
        movePlayer(line);
        if (nextRandom() % 4 == 0) {
            rollDungeonEvent();
            skipEncounter = 1;
        }
    }

    if (atGoal == 1) {
        if (bossGate() == TurnEnd::endGame) return TurnEnd::endGame;
    } else if (skipEncounter == 0) {
        encounterRoll();
    }
    return player.hp <= 0 ? TurnEnd::endGame : TurnEnd::goOn;
}

void commandLoop() {
    std::string command;
    while (playMode != 1 && playMode != 2) {
        if (playTurn(command) == TurnEnd::endGame) return;
    }
}

}  // namespace

int runGame(std::uint32_t seed) {
    startUp(seed);
    if (choosePlayMode()) {
        if (playMode == editPlayMode) {
            loadEditData();
        } else {
            startNormalPlay();
        }
        commandLoop();
    }
    out << "gameover... thank you playing !\n";
    platform::pauseConsole();
    return 0;
}
