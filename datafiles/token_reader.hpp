#pragma once
#include <cstdint>
#include <string_view>

#include "datafiles/edit_data.hpp"
#include "platform/files.hpp"

// Reads the tokens of a data file, from bytes in memory or from a file a
// chunk at a time, and reports the first token that is missing or bad with
// its line, entry and field. It looks at the bytes only as far as the token
// it reads (and the one byte that ends it), so a reader that stops after
// its last token never touches the rest of the file, and it holds one chunk
// of the file whatever the file's size.
class TokenReader {
public:
    explicit TokenReader(std::string_view bytes);
    explicit TokenReader(platform::InputFile& file);
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;

    // Numbers of the edit data: an optional sign and decimal digits that fit
    // in 32 bits, ended by white space, a NUL byte or the end of the file.
    // A number glued to other bytes (4x, 1e9, 2.5, 0x10) is not a number.
    bool readNumber(std::int32_t& value, int entry, const char* field);

    // The save file's numbers: an optional sign and the decimal digits that
    // follow, within 32 bits; whatever comes after the digits is left for
    // the next read, as formatted extraction leaves it.
    bool readLeadingNumber(std::int32_t& value, int entry, const char* field);

    // Names: 1 to 51 bytes up to the next white space, NUL or the end.
    bool readName(char (&name)[editNameCapacity], int entry, const char* field);

    const FileResult& result() const { return result_; }

    // True when the file could not be read as far as the reader went.
    bool readFailed() const { return readFailed_; }

private:
    static constexpr std::size_t chunkSize = 4096;

    int peek();  // the next byte, or -1 at the end of the bytes
    void take();
    bool refill();
    void skipWhiteSpace();
    bool scanNumber(std::int32_t& value, int entry, const char* field, bool wholeToken);
    bool fail(int entry, const char* field, const char* problem);

    platform::InputFile* file_ = nullptr;
    const char* window_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    bool readFailed_ = false;
    bool tookAny_ = false;
    char lastTaken_ = '\0';
    int line_ = 1;
    FileResult result_;
    char chunk_[chunkSize];
};

bool isEditWhiteSpace(unsigned char byte);
