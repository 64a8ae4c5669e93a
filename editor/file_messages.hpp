#pragma once

// The editor's messages for an edit data file that cannot be opened.
inline constexpr const char* cannotOpenEditEnemy = "Cannot open editenemy.\n";
inline constexpr const char* cannotOpenEditItems = "Cannot open editequipment.\n";
inline constexpr const char* cannotOpenEditPlayer = "Cannot open editplayer.\n";
