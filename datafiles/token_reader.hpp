#pragma once
#include <cstdint>
#include <string_view>

#include "datafiles/edit_data.hpp"

// Reads the tokens of an edit data file from its bytes, and reports the
// first token that is missing or bad with its line, entry and field.
class TokenReader {
public:
    explicit TokenReader(std::string_view bytes) : bytes_(bytes) {}

    // Numbers: an optional sign and decimal digits that fit in 32 bits.
    bool readNumber(std::int32_t& value, int entry, const char* field);

    // Names: 1 to 51 bytes up to the next white space, NUL or the end.
    bool readName(char (&name)[editNameCapacity], int entry, const char* field);

    const FileResult& result() const { return result_; }

private:
    void skipWhiteSpace();
    bool fail(int entry, const char* field, const char* problem);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
    FileResult result_;
};

bool isEditWhiteSpace(unsigned char byte);
