#pragma once
#include "datafiles/edit_data.hpp"

// The framed block of the five enemies, without a pause.
void printEnemyList(const EditEnemyEntry (&entries)[editEnemyCount]);

// Menu choices 4, 5 and 6: read one edit data file whole, print its block and
// pause. A file that cannot be read ends the program with status 1.
void listEditEnemies();
void listEditItems();
void showEditPlayer();
