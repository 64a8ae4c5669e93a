#include "game/dungeon_events.hpp"

// Joined when the dungeon events land.
void rollDungeonEvent() {}
