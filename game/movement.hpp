#pragma once
#include <string>

#include "rules/map.hpp"

// Moves the player one square for one of "up", "down", "right", "left",
// refusing a step over the edge, prints the position and marks the goal.
void movePlayer(std::string command);
