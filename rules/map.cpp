#include "rules/map.hpp"

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
