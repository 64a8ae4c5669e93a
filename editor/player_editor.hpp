#pragma once

// Menu choice 3: the user sets the player's four statistics and editplayer is
// written whole. Each question shows the value stored now (the starter
// player's where the file is missing or damaged), and an empty answer keeps
// it. A file that could not be replaced ends the dialogue before its first
// question.
void editPlayer();
