#pragma once

#include "rules/item_find.hpp"

#include "platform/console.hpp"

// Asks which carried item the found one replaces. Returns the slot (0, 1 or
// 2) or keepEverything. Asks again, with the choice line only, until the
// answer is exactly "1" to "4"; at the end of input it keeps everything.
// Made for buffers of the form `Form` (platform::LineForm), like the
// narration that asks.
template <platform::LineForm Form = platform::LineForm::any>
int chooseEquipmentSlot();

// The find of row `findRow` (1 to 10) of the find table: the swap dialogue,
// then the item in the chosen slot and the equipment summary, or nothing.
void findItem(int findRow);
