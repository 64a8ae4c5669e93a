// Makes the tables between cp932 and Unicode that the console converts with,
// by asking the system's iconv (its CP932) about every byte, every pair of a
// lead and a second byte, and every Unicode scalar value. Run at build time;
// writes one C++ source file (see platform/cp932_tables.hpp for its layout).
//
//     make_cp932_tables <output.cpp> <code_points.hpp>
//
// The second file holds the decoding side once more, as code points in
// constexpr tables, so that the programs' own texts get their UTF-8 form when
// they are compiled (platform/phrase.hpp).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.hpp"

namespace {

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "make_cp932_tables: %s\n", why.c_str());
    std::exit(1);
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string unicodeName(unsigned codePoint) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", codePoint);
    return text;
}

enum class Verdict { whole, incomplete, invalid };

struct Conversion {
    Verdict verdict;
    std::string output;
    std::size_t consumed;
};

// Converts `input` on its own, from a fresh state.
Conversion convert(iconv_t handle, std::string_view input) {
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[64];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t result = ::iconv(handle, &in, &inLeft, &out, &outLeft);
    int error = errno;
    Conversion conversion{Verdict::whole, std::string(buffer, static_cast<std::size_t>(out - buffer)),
                          input.size() - inLeft};
    if (result == static_cast<std::size_t>(-1)) {
        if (error == EINVAL) {
            conversion.verdict = Verdict::incomplete;
        } else if (error == EILSEQ) {
            conversion.verdict = Verdict::invalid;
        } else {
            fail("iconv failed unexpectedly: " + std::string(std::strerror(error)));
        }
    }
    return conversion;
}

std::string utf8Of(unsigned codePoint) {
    std::string bytes;
    platform::appendUtf8(bytes, codePoint);
    return bytes;
}

// How many characters a piece of well-formed UTF-8 holds.
std::size_t utf8Characters(std::string_view bytes) {
    std::size_t count = 0;
    for (char c : bytes) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// One table entry: the UTF-8 bytes of a character (at most three: cp932 has
// nothing beyond the Basic Multilingual Plane) and their number.
std::string piece(std::string_view utf8) {
    if (utf8.size() > 3) fail("a cp932 character needs more than three UTF-8 bytes");
    std::string entry = "{{";
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) entry += ',';
        entry += hex(i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0);
    }
    return entry + "}," + std::to_string(utf8.size()) + "}";
}

const std::string noPiece = "{{0,0,0},0}";

// A code point that no cp932 character has: no character.
constexpr unsigned noCodePoint = 0xFFFF;

// The code point of one UTF-8 character of at most three bytes.
unsigned codePointOf(std::string_view utf8) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(utf8[i])); };
    switch (utf8.size()) {
    case 1: return byte(0);
    case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    default: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    }
}

// What the console takes for a character that iconv drops (see cp932_tables.hpp).
constexpr unsigned droppedCode = 0xFFFF;

struct Tables {
    std::vector<std::string> singleBytes = std::vector<std::string>(256, noPiece);
    std::vector<unsigned> needsSecond = std::vector<unsigned>(256, 0);
    // The characters of the lead bytes, one row of 256 second bytes each; row
    // 0 has none, and stands for every byte that starts no pair.
    std::vector<unsigned> pairRowOf = std::vector<unsigned>(256, 0);
    std::vector<std::vector<std::string>> pairRows{std::vector<std::string>(256, noPiece)};
    // The same characters as code points (noCodePoint: none), for the
    // constexpr tables.
    std::vector<unsigned> singleCodePoints = std::vector<unsigned>(256, noCodePoint);
    std::vector<std::vector<unsigned>> pairCodePoints{std::vector<unsigned>(256, noCodePoint)};
    std::vector<unsigned> blockOf = std::vector<unsigned>(0x110000 / 256, 0);
    std::vector<std::vector<unsigned>> blocks{std::vector<unsigned>(256, 0)};
};

void askDecoder(Tables& tables) {
    iconv_t decoder = ::iconv_open("UTF-8", "CP932");
    if (decoder == reinterpret_cast<iconv_t>(-1)) fail("iconv cannot convert from CP932 to UTF-8");
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::string alone(1, static_cast<char>(byte));
        Conversion single = convert(decoder, alone);
        if (single.verdict == Verdict::whole) {
            if (utf8Characters(single.output) != 1) fail("byte " + hex(byte) + " is not one character");
            if (byte < 0x80 && single.output != alone) fail("ASCII byte " + hex(byte) + " is not itself");
            tables.singleBytes[byte] = piece(single.output);
            tables.singleCodePoints[byte] = codePointOf(single.output);
            if (tables.singleCodePoints[byte] == noCodePoint) fail("byte " + hex(byte) + " is U+FFFF");
        } else if (single.verdict == Verdict::incomplete) {
            tables.needsSecond[byte] = 1;
            std::vector<std::string> row(256, noPiece);
            std::vector<unsigned> codePoints(256, noCodePoint);
            for (unsigned trail = 0; trail < 256; ++trail) {
                Conversion pair = convert(decoder, alone + static_cast<char>(trail));
                if (pair.verdict == Verdict::whole && pair.consumed == 2 && utf8Characters(pair.output) == 1) {
                    row[trail] = piece(pair.output);
                    codePoints[trail] = codePointOf(pair.output);
                } else if (pair.verdict != Verdict::invalid || pair.consumed != 0) {
                    fail("bytes " + hex(byte) + " " + hex(trail) + " are neither a character nor invalid");
                }
            }
            if (row != tables.pairRows[0]) {
                if (tables.pairRows.size() > 255) fail("more than 255 lead bytes have characters");
                tables.pairRowOf[byte] = static_cast<unsigned>(tables.pairRows.size());
                tables.pairRows.push_back(row);
                tables.pairCodePoints.push_back(codePoints);
            }
        }
    }
    ::iconv_close(decoder);
}

void askEncoder(Tables& tables) {
    iconv_t encoder = ::iconv_open("CP932", "UTF-8");
    if (encoder == reinterpret_cast<iconv_t>(-1)) fail("iconv cannot convert from UTF-8 to CP932");
    std::map<std::vector<unsigned>, unsigned> known{{tables.blocks[0], 0}};
    for (unsigned start = 0; start < 0x110000; start += 256) {
        std::vector<unsigned> block(256, 0);
        for (unsigned codePoint = start; codePoint < start + 256; ++codePoint) {
            if (codePoint >= 0xD800 && codePoint <= 0xDFFF) continue;  // no scalar values
            Conversion conversion = convert(encoder, utf8Of(codePoint));
            if (conversion.verdict == Verdict::incomplete) fail(unicodeName(codePoint) + " seems incomplete");
            if (conversion.verdict == Verdict::invalid) continue;
            const std::string& bytes = conversion.output;
            auto first = static_cast<unsigned char>(bytes.empty() ? 0 : bytes[0]);
            if (codePoint < 0x80 && bytes != std::string(1, static_cast<char>(codePoint))) {
                fail("ASCII " + unicodeName(codePoint) + " is not itself in cp932");
            }
            if (bytes.empty() && codePoint >= 0x80) {
                block[codePoint - start] = droppedCode;  // iconv drops it without a trace
            } else if (bytes.size() == 1 && (codePoint < 0x80 || first != 0)) {
                block[codePoint - start] = first;
            } else if (bytes.size() == 2 && first >= 0x81) {
                block[codePoint - start] = first << 8 | static_cast<unsigned char>(bytes[1]);
            } else {
                fail(unicodeName(codePoint) + " has an unexpected cp932 form");
            }
        }
        auto [at, added] = known.try_emplace(block, static_cast<unsigned>(tables.blocks.size()));
        if (added) tables.blocks.push_back(block);
        tables.blockOf[start / 256] = at->second;
    }
    ::iconv_close(encoder);
}

void write(std::FILE* file, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) fail("cannot write the tables");
}

// Writes `values` as the body of an array, a few to a line.
template <typename Value, typename Format>
void writeValues(std::FILE* file, const std::vector<Value>& values, std::size_t perLine, Format format) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += i % perLine == 0 ? "\n    " : " ";
        text += format(values[i]) + ",";
    }
    write(file, text + "\n");
}

// Writes `rows` as the body of an array of arrays, a row's values a few to a line.
template <typename Row, typename Format>
void writeRows(std::FILE* file, const std::vector<Row>& rows, std::size_t perLine, Format format) {
    for (const auto& row : rows) {
        write(file, "{");
        writeValues(file, row, perLine, format);
        write(file, "},\n");
    }
}

// Writes one generated file: the heading, `preamble`, then what `body`
// writes within the namespace, whose last array it ends.
template <typename Body>
void writeGenerated(const char* path, const std::string& preamble, Body body) {
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) fail(std::string("cannot create ") + path);
    write(file,
          "// Made by make_cp932_tables from the system's iconv when the programs were\n"
          "// built. Not to be edited: the next build makes it again.\n" +
              preamble + "namespace platform::cp932 {\n\n");
    body(file);
    write(file, "};\n\n}  // namespace platform::cp932\n");
    if (std::fclose(file) != 0) fail(std::string("cannot write ") + path);
}

const auto asNumber = [](unsigned value) { return hex(value); };

void writeTables(const Tables& tables, const char* path) {
    writeGenerated(path, "#include \"platform/cp932_tables.hpp\"\n\n", [&](std::FILE* file) {
        auto same = [](const std::string& text) { return text; };
        write(file, "const Utf8Piece singleByteCharacters[256] = {");
        writeValues(file, tables.singleBytes, 4, same);
        write(file, "};\n\nconst bool needsSecondByte[256] = {");
        writeValues(file, tables.needsSecond, 16,
                    [](unsigned value) { return std::string(value != 0 ? "true" : "false"); });
        write(file, "};\n\nconst unsigned char pairRowOf[256] = {");
        writeValues(file, tables.pairRowOf, 16, asNumber);
        write(file, "};\n\nconst Utf8Piece pairRows[][256] = {\n");
        writeRows(file, tables.pairRows, 8, same);
        write(file, "};\n\nconst unsigned short unicodeBlock[unicodeBlockCount] = {");
        writeValues(file, tables.blockOf, 16, asNumber);
        write(file, "};\n\nconst unsigned short cp932Codes[][256] = {\n");
        writeRows(file, tables.blocks, 16, asNumber);
    });
}

// The decoding side as code points, in constexpr tables of the same layout.
void writeCodePoints(const Tables& tables, const char* path) {
    writeGenerated(path, "#pragma once\n\n", [&](std::FILE* file) {
        write(file,
              "// The code point of each byte alone, of each pair by the row of its lead\n"
              "// byte (as pairRowOf in cp932_tables.hpp); noCodePoint where none.\n"
              "inline constexpr char16_t noCodePoint = " +
                  hex(noCodePoint) +
                  ";\n\n"
                  "inline constexpr char16_t codePointOfByte[256] = {");
        writeValues(file, tables.singleCodePoints, 16, asNumber);
        write(file, "};\n\ninline constexpr unsigned char pairRowOfLead[256] = {");
        writeValues(file, tables.pairRowOf, 16, asNumber);
        write(file, "};\n\ninline constexpr char16_t codePointOfPair[][256] = {\n");
        writeRows(file, tables.pairCodePoints, 16, asNumber);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_cp932_tables <output.cpp> <code_points.hpp>\n");
        return 2;
    }
    Tables tables;
    askDecoder(tables);
    askEncoder(tables);
    writeTables(tables, argv[1]);
    writeCodePoints(tables, argv[2]);
    return 0;
}
