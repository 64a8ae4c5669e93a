#include "editor/answers.hpp"

#include "datafiles/edit_data.hpp"
#include "platform/console.hpp"
#include "platform/decimal.hpp"
#include "platform/program_exit.hpp"
#include "platform/text_encoding.hpp"

namespace {

constexpr std::size_t nameLengthLimit = 30;  // a raw line of 30 bytes or more is too long

constexpr std::string_view halfWidthBlank = " ";
constexpr std::string_view fullWidthBlank = "\x81\x40";

// cp932: a lead byte followed by a trail byte forms one double-byte character.
std::size_t characterWidth(std::string_view text, std::size_t at) {
    if (at + 1 < text.size() && platform::isCp932LeadByte(static_cast<unsigned char>(text[at])) &&
        platform::isCp932TrailByte(static_cast<unsigned char>(text[at + 1]))) {
        return 2;
    }
    return 1;
}

bool isBlankCharacter(std::string_view character) {
    return character == halfWidthBlank || character == fullWidthBlank;
}

bool isControlByte(unsigned char b) { return b < 0x20 || b == 0x7F; }

// Whether the game can show `name` as it was meant: whole cp932 characters
// (a broken one would swallow the character printed after it) and no control
// byte, which a terminal would obey rather than show.
bool isShowableName(std::string_view name) {
    if (!platform::isValidCp932(name)) return false;
    for (char c : name) {
        if (isControlByte(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

}  // namespace

std::string readAnswer() {
    std::string line;
    if (!platform::readLine(line)) {
        platform::out << "入力が終わったため、何も書き込まずに終了します。\n";
        platform::endProgram(1);
    }
    return line;
}

std::optional<int> plainDecimalIn(std::string_view line, int low, int high) {
    if (line.size() > 1 && line[0] == '0') return std::nullopt;
    std::optional<int> value = platform::parseDigits<int>(line);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

int menuDigit(std::string_view line, int highest) {
    if (line.size() != 1 || line[0] < '1' || line[0] - '0' > highest) return 0;
    return line[0] - '0';
}

int askNumber(const char* prompt, int low, int high) {
    for (;;) {
        platform::out << prompt << "\n";
        if (std::optional<int> value = plainDecimalIn(readAnswer(), low, high)) return *value;
    }
}

int askStatValue(const char* prompt) { return askNumber(prompt, 1, 999); }

std::int32_t askNumberKeeping(const char* prompt, int low, int high, std::int32_t current) {
    const std::string question = keepingQuestion(prompt, std::to_string(current));
    for (;;) {
        platform::out << question << "\n";
        std::string line = readAnswer();
        if (line.empty()) return current;
        if (std::optional<int> value = plainDecimalIn(line, low, high)) return *value;
        platform::out << low << "から" << high << "までの数を入力してください。\n";
    }
}

int askMenuDigit(int highest, const char* refusal) {
    for (;;) {
        if (int digit = menuDigit(readAnswer(), highest)) return digit;
        platform::out << refusal << "\n";
    }
}

std::string trimName(std::string_view raw) {
    std::string_view name = raw;
    for (;;) {
        if (name.starts_with(halfWidthBlank)) {
            name.remove_prefix(halfWidthBlank.size());
        } else if (name.starts_with(fullWidthBlank)) {
            name.remove_prefix(fullWidthBlank.size());
        } else {
            break;
        }
    }
    // Walk the characters from the front, so that the trail byte of a
    // double-byte character never passes for the first half of a blank.
    std::size_t keep = 0;
    for (std::size_t at = 0; at < name.size();) {
        std::size_t width = characterWidth(name, at);
        if (!isBlankCharacter(name.substr(at, width))) keep = at + width;
        at += width;
    }
    return std::string(name.substr(0, keep));
}

namespace {

enum class NameVerdict { taken, empty, refused };

// Judges the line just read as a name: a refused one is told why, a taken
// one is confirmed and put into `name`, trimmed. An empty one (nothing but
// blanks) is left to the caller.
NameVerdict judgeName(const std::string& line, std::string& name) {
    if (line.size() >= nameLengthLimit || platform::lastLineNotes().overLong) {
        platform::out << "入力可能文字数外です。:\n";
        return NameVerdict::refused;
    }
    // A character that the console had to replace by "?" is lost.
    const bool lostCharacters = platform::lastLineNotes().lostCharacters;
    name = trimName(line);
    if (name.empty()) return NameVerdict::empty;
    if (!isStorableName(name) || !isShowableName(name) || lostCharacters) {
        platform::out << "使えない文字が含まれています。:\n";
        return NameVerdict::refused;
    }
    platform::out << "入力可能文字数内です。\n";
    return NameVerdict::taken;
}

}  // namespace

std::string keepingQuestion(const char* prompt, std::string_view current) {
    std::string question = prompt;
    question += " [";
    question += current;
    question += "]";
    return question;
}

std::string askName(const char* prompt) {
    platform::out << prompt << "\n";
    for (;;) {
        std::string name;
        switch (judgeName(readAnswer(), name)) {
        case NameVerdict::taken:
            return name;
        case NameVerdict::empty:
            platform::out << "名前が空です。:\n";
            break;
        case NameVerdict::refused:
            break;
        }
    }
}

std::string askNameKeeping(const char* prompt, std::string_view current) {
    platform::out << keepingQuestion(prompt, current) << "\n";
    for (;;) {
        std::string name;
        switch (judgeName(readAnswer(), name)) {
        case NameVerdict::taken:
            return name;
        case NameVerdict::empty:
            return std::string(current);
        case NameVerdict::refused:
            break;
        }
    }
}

std::string askEnemyName() { return askName("名前を入力せよ"); }
