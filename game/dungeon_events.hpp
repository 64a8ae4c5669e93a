#pragma once

// One roll of 1 to 50 for a trap, a potion, an item find or nothing, and the
// event it selects.
void rollDungeonEvent();
