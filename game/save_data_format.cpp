#include "game/save_data_format.hpp"

#include "datafiles/token_reader.hpp"

// This file holds no text of the game's own, so that tools built without the
// game's character set (the fuzz targets) can compile it too.

SaveData parseSaveData(std::string_view bytes) {
    // The token reader's numbers are exactly the save file's: white space,
    // an optional sign, decimal digits within 32 bits. Reading stops at the
    // first failure, so that value and all after it stay 0.
    TokenReader reader(bytes);
    SaveData data;
    (void)(reader.readNumber(data.maxHp, 1, "hp") && reader.readNumber(data.maxAp, 1, "ap") &&
           reader.readNumber(data.maxDp, 1, "dp") && reader.readNumber(data.maxSp, 1, "sp"));
    return data;
}

std::string formatSaveData(const SaveData& data) {
    return std::to_string(data.maxHp) + " " + std::to_string(data.maxAp) + " " +
           std::to_string(data.maxDp) + " " + std::to_string(data.maxSp) + "\n";
}
