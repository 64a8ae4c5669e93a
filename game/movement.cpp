#include "game/movement.hpp"

#include "game/game_state.hpp"
#include "platform/console.hpp"

using platform::out;

bool isMovementWord(std::string_view line) {
    return line == "up" || line == "down" || line == "right" || line == "left";
}

void movePlayer(std::string line) {
    // A view compares lengths before bytes; the string would call memcmp.
    std::string_view command = line;
    if (command == "up") {
        ++playerY;
        if (playerY > mapSize) {
            out << "それより上には行けない。" << "\n";
            playerY = mapSize;
        }
    }
    if (command == "down") {
        --playerY;
        if (playerY < 1) {
            out << "それより下にはいけない。" << "\n";
            playerY = 1;
        }
    }
    if (command == "right") {
        ++playerX;
        if (playerX > mapSize) {
            out << "それより右にはいけない。" << "\n";
            playerX = mapSize;
        }
    }
    if (command == "left") {
        --playerX;
        if (playerX < 1) {
            out << "それより左にはいけない。" << "\n";
            playerX = 1;
        }
    }
    out << "現在の座標は(" << playerX << "," << playerY << ")です。" << "\n";
    if (playerX == goalX && playerY == goalY) atGoal = 1;
}
