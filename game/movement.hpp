#pragma once
#include <string>
#include <string_view>

// Moves the player one square for one of "up", "down", "right", "left",
// refusing a step over the edge, prints the position and marks the goal.
void movePlayer(std::string command);

// True when `line` is exactly one of the four movement words.
bool isMovementWord(std::string_view line);
