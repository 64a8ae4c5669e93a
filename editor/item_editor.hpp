#pragma once

// Menu choice 2: the user sets all three equipment items, in slot order, and
// editequipment is written whole. No file is read first, so this also
// creates a missing editequipment.
void editItems();
