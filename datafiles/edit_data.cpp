#include "datafiles/edit_data.hpp"

#include <cstring>
#include <initializer_list>

#include "datafiles/token_reader.hpp"
#include "platform/files.hpp"

namespace {

// Reads into a copy first, so that a damaged file changes nothing. The file
// is read a chunk at a time and only as far as its last entry.
template <typename Entries, typename Read>
FileResult readFile(const char* fileName, Entries& entries, Read read) {
    platform::InputFile file;
    if (!file.open(fileName)) return fileOutcome(FileStatus::cannotOpen, fileName);
    TokenReader reader(file);
    Entries parsed;
    std::memcpy(&parsed, &entries, sizeof parsed);
    FileResult result = read(reader, parsed);
    if (reader.readFailed()) return fileOutcome(FileStatus::cannotOpen, fileName);
    result.file = fileName;
    if (result.status == FileStatus::ok) std::memcpy(&entries, &parsed, sizeof parsed);
    return result;
}

// The text of a name buffer, up to its NUL or its end, whichever comes first.
std::string_view nameText(const char (&name)[editNameCapacity]) {
    return std::string_view(name, ::strnlen(name, editNameCapacity));
}

void appendNumbers(std::string& text, std::initializer_list<std::int32_t> numbers) {
    const char* separator = "";
    for (std::int32_t number : numbers) {
        text += separator;
        text += std::to_string(number);
        separator = " ";
    }
    text += '\n';
}

FileResult readEnemies(TokenReader& reader, EditEnemyEntry (&entries)[editEnemyCount]) {
    for (int k = 0; k < editEnemyCount; ++k) {
        EditEnemyEntry& e = entries[k];
        int entry = k + 1;
        if (!reader.readNumber(e.hp, entry, "hp") || !reader.readNumber(e.ap, entry, "ap") ||
            !reader.readNumber(e.dp, entry, "dp") || !reader.readNumber(e.sp, entry, "sp") ||
            !reader.readName(e.name, entry, "name")) {
            break;
        }
    }
    return reader.result();
}

FileResult readItems(TokenReader& reader, EditItemEntry (&entries)[editItemCount]) {
    for (int k = 0; k < editItemCount; ++k) {
        EditItemEntry& e = entries[k];
        int entry = k + 1;
        if (!reader.readName(e.name, entry, "name") ||
            !reader.readNumber(e.attackBonus, entry, "attackBonus") ||
            !reader.readNumber(e.defenceBonus, entry, "defenceBonus")) {
            break;
        }
    }
    return reader.result();
}

FileResult readPlayer(TokenReader& reader, EditPlayerEntry& entry) {
    (void)(reader.readNumber(entry.hp, 1, "hp") && reader.readNumber(entry.ap, 1, "ap") &&
           reader.readNumber(entry.dp, 1, "dp") && reader.readNumber(entry.sp, 1, "sp"));
    return reader.result();
}

}  // namespace

FileResult parseEditEnemies(std::string_view bytes, EditEnemyEntry (&entries)[editEnemyCount]) {
    TokenReader reader(bytes);
    return readEnemies(reader, entries);
}

FileResult parseEditItems(std::string_view bytes, EditItemEntry (&entries)[editItemCount]) {
    TokenReader reader(bytes);
    return readItems(reader, entries);
}

FileResult parseEditPlayer(std::string_view bytes, EditPlayerEntry& entry) {
    TokenReader reader(bytes);
    return readPlayer(reader, entry);
}

std::string formatEditEnemies(const EditEnemyEntry (&entries)[editEnemyCount]) {
    std::string text;
    for (const EditEnemyEntry& e : entries) {
        appendNumbers(text, {e.hp, e.ap, e.dp, e.sp});
        text += nameText(e.name);
        text += '\n';
    }
    text += '\n';
    return text;
}

std::string formatEditItems(const EditItemEntry (&entries)[editItemCount]) {
    std::string text;
    for (const EditItemEntry& e : entries) {
        text += nameText(e.name);
        text += '\n';
        appendNumbers(text, {e.attackBonus, e.defenceBonus});
    }
    text += '\n';
    return text;
}

std::string formatEditPlayer(const EditPlayerEntry& entry) {
    std::string text;
    appendNumbers(text, {entry.hp, entry.ap, entry.dp, entry.sp});
    text += '\n';
    return text;
}

FileResult readEditEnemyFile(EditEnemyEntry (&entries)[editEnemyCount]) {
    return readFile(editEnemyFileName, entries, readEnemies);
}

FileResult readEditItemFile(EditItemEntry (&entries)[editItemCount]) {
    return readFile(editItemFileName, entries, readItems);
}

FileResult readEditPlayerFile(EditPlayerEntry& entry) {
    return readFile(editPlayerFileName, entry, readPlayer);
}

FileResult writeEditEnemyFile(const EditEnemyEntry (&entries)[editEnemyCount]) {
    return replaceDataFile(editEnemyFileName, formatEditEnemies(entries));
}

FileResult writeEditItemFile(const EditItemEntry (&entries)[editItemCount]) {
    return replaceDataFile(editItemFileName, formatEditItems(entries));
}

FileResult writeEditPlayerFile(const EditPlayerEntry& entry) {
    return replaceDataFile(editPlayerFileName, formatEditPlayer(entry));
}

FileResult storeEditEnemy(int slot, const EditEnemyEntry& enemy) {
    // Nobody else writes between this read and the write below.
    platform::FolderLock lock(editEnemyFileName);
    EditEnemyEntry stored[editEnemyCount]{};
    FileResult result = readEditEnemyFile(stored);
    if (result.status != FileStatus::ok) return result;
    if (slot >= 1 && slot <= editEnemyCount) stored[slot - 1] = enemy;
    return writeEditEnemyFile(stored);
}

bool isStorableName(std::string_view name) {
    if (name.empty() || name.size() > editNameCapacity - 1) return false;
    for (char c : name) {
        if (c == '\0' || isEditWhiteSpace(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

void setEntryName(char (&target)[editNameCapacity], std::string_view name) {
    std::size_t length = name.size() < editNameCapacity - 1 ? name.size() : editNameCapacity - 1;
    name.copy(target, length);
    target[length] = '\0';
}
