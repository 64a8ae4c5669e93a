#include "datafiles/token_reader.hpp"

#include <algorithm>

#include "platform/decimal.hpp"

bool isEditWhiteSpace(unsigned char byte) { return (byte >= 0x09 && byte <= 0x0D) || byte == 0x20; }

namespace {

bool isDigit(int byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

TokenReader::TokenReader(std::string_view bytes) : window_(bytes.data()), size_(bytes.size()) {}

TokenReader::TokenReader(platform::InputFile& file) : file_(&file), window_(chunk_) {}

bool TokenReader::refill() {
    if (file_ == nullptr || readFailed_) return false;
    long got = file_->read(chunk_, chunkSize);
    if (got < 0) readFailed_ = true;
    if (got <= 0) {
        file_ = nullptr;  // the end of the file, or a read error: nothing more comes
        return false;
    }
    window_ = chunk_;
    size_ = static_cast<std::size_t>(got);
    pos_ = 0;
    return true;
}

int TokenReader::peek() {
    if (pos_ >= size_ && !refill()) return -1;
    return static_cast<unsigned char>(window_[pos_]);
}

void TokenReader::take() {
    lastTaken_ = window_[pos_];
    tookAny_ = true;
    ++pos_;
}

void TokenReader::skipWhiteSpace() {
    for (int c = peek(); c >= 0 && isEditWhiteSpace(static_cast<unsigned char>(c)); c = peek()) {
        if (c == '\n') ++line_;
        take();
    }
}

bool TokenReader::fail(int entry, const char* field, const char* problem) {
    result_.status = FileStatus::damaged;
    // A token missing at the end stands on the file's last line, not on the
    // line that the final line break would begin.
    bool atEnd = peek() < 0;
    result_.line = atEnd && tookAny_ && lastTaken_ == '\n' ? line_ - 1 : line_;
    result_.entry = entry;
    result_.field = field;
    result_.problem = problem;
    return false;
}

bool TokenReader::scanNumber(std::int32_t& value, int entry, const char* field, bool wholeToken) {
    skipWhiteSpace();
    int c = peek();
    if (c < 0) return fail(entry, field, "missing");
    bool negative = c == '-';
    if (c == '+' || c == '-') {
        take();
        c = peek();
    }
    if (!isDigit(c)) return fail(entry, field, "not a number");
    // The digits are judged as they come: leading zeros add nothing, and
    // past them twelve digits lie beyond 32 bits, however many follow.
    for (; c == '0'; c = peek()) take();
    char digits[11];
    std::size_t count = 0;
    for (; isDigit(c); c = peek()) {
        if (count == sizeof digits) return fail(entry, field, "beyond 32 bits");
        digits[count++] = static_cast<char>(c);
        take();
    }
    // No digit left after the zeros is the number 0.
    std::int64_t magnitude = platform::parseDigits<std::int64_t>(std::string_view(digits, count)).value_or(0);
    if (magnitude > 2147483648LL) return fail(entry, field, "beyond 32 bits");
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL) return fail(entry, field, "beyond 32 bits");
    if (wholeToken && c >= 0 && c != '\0' && !isEditWhiteSpace(static_cast<unsigned char>(c))) {
        return fail(entry, field, "not a number");
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

bool TokenReader::readNumber(std::int32_t& value, int entry, const char* field) {
    return scanNumber(value, entry, field, true);
}

bool TokenReader::readLeadingNumber(std::int32_t& value, int entry, const char* field) {
    return scanNumber(value, entry, field, false);
}

bool TokenReader::readName(char (&name)[editNameCapacity], int entry, const char* field) {
    skipWhiteSpace();
    char word[editNameCapacity];
    std::size_t length = 0;
    for (int c = peek(); c > 0 && !isEditWhiteSpace(static_cast<unsigned char>(c)); c = peek()) {
        if (length == editNameCapacity - 1) return fail(entry, field, "longer than 51 bytes");
        word[length++] = static_cast<char>(c);
        take();
    }
    if (length == 0) return fail(entry, field, peek() < 0 ? "missing" : "empty");
    word[length] = '\0';
    std::copy(word, word + length + 1, name);
    return true;
}
