#pragma once

// Menu choice 1: the user creates one enemy and puts it into one of the five
// slots of editenemy (or into none), and the whole file is written back.
void editEnemy();
