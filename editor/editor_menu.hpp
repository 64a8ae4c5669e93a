#pragma once
#include <string>

// The editor's menu loop: runs one action per answer until choice 7 or the
// end of input.
void runEditorMenu();

// The choice that a menu answer names: 1 to 7 for a line of a single digit
// from 1 to 7, 0 for every other line.
int menuChoice(const std::string& line);
