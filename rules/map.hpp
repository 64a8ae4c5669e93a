#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/random.hpp"
#include "rules/roster.hpp"

// The map of mapSize by mapSize squares: column 1 is the left edge, row 1
// the bottom edge ("up" goes to higher rows).

enum class Direction { up, down, right, left };

// The direction of a whole line that is exactly "up", "down", "right" or
// "left", byte for byte; none for any other line. Inline: every command
// line is asked first whether it is one of them.
inline std::optional<Direction> directionOf(std::string_view line) {
    // By the length first: each length has at most two words to compare.
    switch (line.size()) {
        case 2:
            if (line == "up") return Direction::up;
            break;
        case 4:
            if (line == "down") return Direction::down;
            if (line == "left") return Direction::left;
            break;
        case 5:
            if (line == "right") return Direction::right;
            break;
    }
    return std::nullopt;
}

inline bool isMovementWord(std::string_view line) { return directionOf(line).has_value(); }

struct Square {
    std::int32_t x;
    std::int32_t y;
};

// The player starts in the middle of the bottom row.
constexpr Square startSquare{13, 1};

// The goal square: two draws, the column first, each of 1 to mapSize.
inline Square drawGoal(platform::Random& random) {
    std::int32_t x = random.next() % mapSize + 1;
    std::int32_t y = random.next() % mapSize + 1;
    return Square{x, y};
}

// The caller's own objects that a move reads and changes.
struct MapPlace {
    std::int32_t& playerX;
    std::int32_t& playerY;
    std::int32_t goalX;
    std::int32_t goalY;
    std::int32_t& atGoal;
};

// One square in `direction`; a step over the edge is refused and the
// coordinate stays at the edge. Arriving on the goal (also by a refused step
// while standing on it) sets atGoal to 1; nothing here sets it to 0.
// Returns true when the step was refused. Inline, and without a branch on
// the direction or the edge: every movement turn takes one step.
inline bool stepOnMap(MapPlace& place, Direction direction) {
    bool vertical = direction == Direction::up || direction == Direction::down;
    bool forward = direction == Direction::up || direction == Direction::right;
    std::int32_t& coordinate = vertical ? place.playerY : place.playerX;
    std::int32_t wanted = coordinate + (forward ? 1 : -1);
    std::int32_t kept = std::clamp(wanted, std::int32_t{1}, mapSize);
    coordinate = kept;
    if (place.playerX == place.goalX && place.playerY == place.goalY) place.atGoal = 1;
    return kept != wanted;
}
