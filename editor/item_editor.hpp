#pragma once

// Menu choice 2: the user sets all three equipment items, in slot order, and
// editequipment is written whole. Each question shows the value stored now
// (the starter item's where the file is missing or damaged), and an empty
// answer keeps it. A file that could not be replaced ends the dialogue
// before its first question.
void editItems();
