#include "datafiles/save_data_format.hpp"

#include "datafiles/token_reader.hpp"

// This file holds no text of the game's own, so that tools built without the
// game's character set (the fuzz targets) can compile it too.

namespace {

// The token reader's leading numbers are exactly the save file's: white
// space, an optional sign, decimal digits within 32 bits, and whatever
// follows the digits left for the next value. Reading stops at the first
// failure, so that value and all after it stay 0; nothing after the fourth
// number is looked at.
SaveData readSaveData(TokenReader& reader) {
    SaveData data;
    (void)(reader.readLeadingNumber(data.maxHp, 1, "hp") && reader.readLeadingNumber(data.maxAp, 1, "ap") &&
           reader.readLeadingNumber(data.maxDp, 1, "dp") && reader.readLeadingNumber(data.maxSp, 1, "sp"));
    return data;
}

}  // namespace

SaveData parseSaveData(std::string_view bytes) {
    TokenReader reader(bytes);
    return readSaveData(reader);
}

bool readSaveFile(const char* name, SaveData& data) {
    platform::InputFile file;
    if (!file.open(name)) return false;
    TokenReader reader(file);
    SaveData read = readSaveData(reader);
    if (reader.readFailed()) return false;
    data = read;
    return true;
}

std::string formatSaveData(const SaveData& data) {
    return std::to_string(data.maxHp) + " " + std::to_string(data.maxAp) + " " +
           std::to_string(data.maxDp) + " " + std::to_string(data.maxSp) + "\n";
}
