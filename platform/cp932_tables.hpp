#pragma once
#include <cstddef>

// The mapping between cp932 and Unicode, exactly as the system's iconv has
// it: the tables are made from iconv's CP932 when the programs are built
// (platform/cp932_tables/make_cp932_tables.cpp), none is written by hand.
// ASCII is itself on both sides; the table maker refuses a mapping where it
// is not.
namespace platform::cp932 {

// A character's UTF-8 bytes and their number; 0 bytes: no character.
struct Utf8Piece {
    unsigned char bytes[3];
    unsigned char length;
};

// The character that a byte makes on its own.
extern const Utf8Piece singleByteCharacters[256];

// Whether a byte, alone, is the start of a character that needs a second byte.
extern const bool needsSecondByte[256];

// The characters of the double-byte pairs: pairRows[pairRowOf[lead]][second],
// length 0 where the two make none. Only the lead bytes that start characters
// have a row of their own; every other byte has row 0, which holds none.
extern const unsigned char pairRowOf[256];
extern const Utf8Piece pairRows[][256];

// Unicode to cp932, in blocks of 256 scalar values: unicodeBlock gives the
// block of cp932Codes for U+xxxx00 to U+xxxxFF. A code is 0 when cp932 lacks
// the character, below 0x100 for one byte, droppedCharacter for a character
// that iconv drops without a trace (the tag characters U+E0000 to U+E007F),
// else lead byte * 0x100 + second byte.
constexpr std::size_t unicodeBlockCount = 0x110000 / 256;
constexpr unsigned short droppedCharacter = 0xFFFF;
extern const unsigned short unicodeBlock[unicodeBlockCount];
extern const unsigned short cp932Codes[][256];

}  // namespace platform::cp932
