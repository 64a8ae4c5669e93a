#include "datafiles/token_reader.hpp"

bool isEditWhiteSpace(unsigned char byte) { return (byte >= 0x09 && byte <= 0x0D) || byte == 0x20; }

void TokenReader::skipWhiteSpace() {
    while (pos_ < bytes_.size() && isEditWhiteSpace(static_cast<unsigned char>(bytes_[pos_]))) {
        if (bytes_[pos_] == '\n') ++line_;
        ++pos_;
    }
}

bool TokenReader::fail(int entry, const char* field, const char* problem) {
    result_.status = FileStatus::damaged;
    // A token missing at the end stands on the file's last line, not on the
    // line that the final line break would begin.
    bool atEnd = pos_ >= bytes_.size();
    result_.line = atEnd && !bytes_.empty() && bytes_.back() == '\n' ? line_ - 1 : line_;
    result_.entry = entry;
    result_.field = field;
    result_.problem = problem;
    return false;
}

bool TokenReader::readNumber(std::int32_t& value, int entry, const char* field) {
    skipWhiteSpace();
    if (pos_ >= bytes_.size()) return fail(entry, field, "missing");
    std::size_t at = pos_;
    bool negative = false;
    if (bytes_[at] == '+' || bytes_[at] == '-') {
        negative = bytes_[at] == '-';
        ++at;
    }
    std::size_t firstDigit = at;
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    while (at < bytes_.size() && bytes_[at] >= '0' && bytes_[at] <= '9') {
        if (!tooLarge) {
            magnitude = magnitude * 10 + (bytes_[at] - '0');
            if (magnitude > 2147483648LL) tooLarge = true;
        }
        ++at;
    }
    if (at == firstDigit) return fail(entry, field, "not a number");
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (tooLarge || signedValue > 2147483647LL) return fail(entry, field, "beyond 32 bits");
    value = static_cast<std::int32_t>(signedValue);
    pos_ = at;
    return true;
}

bool TokenReader::readName(char (&name)[editNameCapacity], int entry, const char* field) {
    skipWhiteSpace();
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\0' &&
           !isEditWhiteSpace(static_cast<unsigned char>(bytes_[end]))) {
        ++end;
    }
    std::size_t length = end - pos_;
    if (length == 0) return fail(entry, field, pos_ >= bytes_.size() ? "missing" : "empty");
    if (length > editNameCapacity - 1) return fail(entry, field, "longer than 51 bytes");
    bytes_.copy(name, length, pos_);
    name[length] = '\0';
    pos_ = end;
    return true;
}
