#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The format of the save file `savedata`: the player's four maximum
// statistics on one line.

inline constexpr const char* saveFileName = "savedata";

// The four numbers of a save, in file order.
struct SaveData {
    std::int32_t maxHp = 0;
    std::int32_t maxAp = 0;
    std::int32_t maxDp = 0;
    std::int32_t maxSp = 0;
};

// Reads the first four whitespace-separated decimal numbers. The first one
// that cannot be read (end of file, no number, beyond 32 bits) and every one
// after it stay 0; whatever follows the fourth is ignored.
SaveData parseSaveData(std::string_view bytes);

// The same from the file `name`, read a chunk at a time and only as far as
// the fourth number. False when the file cannot be opened or read.
bool readSaveFile(const char* name, SaveData& data);

// "hp ap dp sp" in plain decimal and a line break.
std::string formatSaveData(const SaveData& data);
