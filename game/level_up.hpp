#pragma once

// After a battle: when the player's exp has reached nextLevelExp, one
// level-up (rules/level_up.hpp) and its messages. Otherwise nothing happens.
void checkLevelUp();
