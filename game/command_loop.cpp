#include "game/command_loop.hpp"

#include <string>
#include <string_view>

#include "game/edit_loaders.hpp"
#include "game/game_state.hpp"
#include "game/narration.hpp"
#include "game/normal_play.hpp"
#include "game/save_file.hpp"
#include "platform/console.hpp"
#include "platform/random.hpp"
#include "rules/map.hpp"
#include "rules/turn.hpp"

using platform::out;
using namespace std::string_view_literals;
using namespace platform::literals;

namespace {

void startUp(std::uint32_t seed) {
    platform::seedRandom(seed);
    Square goal = drawGoal(gameRandom());
    goalX = goal.x;
    goalY = goal.y;
    atGoal = 0;
    playerX = startSquare.x;
    playerY = startSquare.y;
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
    printBanner("NOW LOADING...");
    quietLoad = 1;
    loadEditEnemies();
    loadEditItems();
    loadEditPlayer();
    quietLoad = 0;
    out << "finish" << "\n";
    platform::keyWait();
    platform::clearScreen();
}

// The echo of a movement word, which is exactly the direction's word.
template <platform::LineForm Form>
void echoMove(Direction direction) {
    switch (direction) {
    case Direction::up: out.putIn<Form>("key: up\n"_phrase); return;
    case Direction::down: out.putIn<Form>("key: down\n"_phrase); return;
    case Direction::right: out.putIn<Form>("key: right\n"_phrase); return;
    case Direction::left: out.putIn<Form>("key: left\n"_phrase); return;
    }
}

// A move: the command's echo, then the turn (rules/turn.hpp), printed by
// code made for buffers of the form `Form`.
template <platform::LineForm Form>
TurnEnd playMove(Table& table, platform::Random& random, Direction direction) {
    echoMove<Form>(direction);
    GameNarrator<Form> narrator;
    return moveTurn(table, direction, random, narrator);
}

// Every other line, a command word or not, ends its turn with the check of
// the player's hp. Out of line: nearly every command is a move.
[[gnu::noinline]] TurnEnd playCommand(std::string_view command) {
    if (command == "ESC") return TurnEnd::endGame;
    if (command == "SAVE") {
        saveGame();
        return TurnEnd::endGame;
    }
    if (command == "LOAD") {
        loadGame();
    } else if (command == "EDITLOAD") {
        loadEditPlayer();
    } else if (command == "STATUS") {
        printPlayerStatus();
    } else if (command == "EDITITEMLOAD") {
        loadEditItems();
    }
    return endOfTurn(player);
}

// A turn, printed by code made for buffers of the form `Form`. Only a
// movement word goes on to the dungeon event, the boss gate and the
// encounter roll (rules/turn.hpp). The command is a view of the line as it
// was read, good until the next read (the turn's own questions come after
// its last use); a view compares lengths first.
template <platform::LineForm Form>
TurnEnd playTurnIn(Table& table, platform::Random& random) {
    out.putIn<Form>("コマンドを入力してください。\n"
                    "command： "_phrase);
    std::string_view command;
    if (!platform::readLine(command)) return TurnEnd::endGame;
    platform::clearScreen();

    // The movement words first: they are nearly every command, and no
    // command word is one of them.
    if (std::optional<Direction> direction = directionOf(command)) return playMove<Form>(table, random, *direction);
    return playCommand(command);
}

TurnEnd playTurn(Table& table, platform::Random& random) {
    if (out.holdsUtf8()) return playTurnIn<platform::LineForm::utf8>(table, random);
    return playTurnIn<platform::LineForm::any>(table, random);
}

// The goal and the play mode, and with it the roster, are settled before
// the first command and no command changes them: one table serves every turn.
void commandLoop() {
    Table table = gameTable();
    platform::Random& random = gameRandom();
    while (playMode != 1 && playMode != 2) {
        if (playTurn(table, random) == TurnEnd::endGame) return;
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
