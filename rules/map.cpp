#include "rules/map.hpp"

std::optional<Direction> directionOf(std::string_view line) {
    if (line == "up") return Direction::up;
    if (line == "down") return Direction::down;
    if (line == "right") return Direction::right;
    if (line == "left") return Direction::left;
    return std::nullopt;
}

bool stepOnMap(MapPlace& place, Direction direction) {
    std::int32_t& coordinate =
        direction == Direction::up || direction == Direction::down ? place.playerY : place.playerX;
    bool forward = direction == Direction::up || direction == Direction::right;
    coordinate += forward ? 1 : -1;
    bool refused = false;
    if (coordinate > mapSize) {
        coordinate = mapSize;
        refused = true;
    } else if (coordinate < 1) {
        coordinate = 1;
        refused = true;
    }
    if (place.playerX == place.goalX && place.playerY == place.goalY) place.atGoal = 1;
    return refused;
}
