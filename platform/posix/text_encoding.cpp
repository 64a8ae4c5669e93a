#include "platform/text_encoding.hpp"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/cp932_tables.hpp"

namespace platform {
namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// "ja_JP.UTF-8@euro" -> "UTF-8"; "C.utf8" -> "utf8"; "C" -> "".
std::string_view codesetOfLocaleName(std::string_view name) {
    std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return {};
    std::string_view codeset = name.substr(dot + 1);
    return codeset.substr(0, codeset.find('@'));
}

// A set's name in capitals without "-" and "_": "Shift_JIS" -> "SHIFTJIS".
std::string folded(std::string_view name) {
    std::string result;
    for (char c : name) {
        if (c != '-' && c != '_') result += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return result;
}

bool isUtf8Codeset(std::string_view codeset) { return folded(codeset) == "UTF8"; }

// The names under which Shift_JIS and its cp932 variant go.
bool isShiftJisCodeset(std::string_view codeset) {
    const std::string name = folded(codeset);
    for (std::string_view known : {"SHIFTJIS", "SJIS", "MSKANJI", "CSSHIFTJIS", "CP932", "MS932", "WINDOWS31J",
                                   "CSWINDOWS31J", "IBM943", "CSIBM943", "SJISOPEN", "SJISWIN"}) {
        if (name == known) return true;
    }
    return false;
}

// --- cp932 and UTF-8, through the tables -----------------------------------

void putReplacement(char*& out) {
    std::memcpy(out, replacementCharacter.data(), replacementCharacter.size());
    out += replacementCharacter.size();
}

// Writes the character of a table entry; an entry is four bytes, of which
// `length` count (the room has the slack for the rest).
void putPiece(char*& out, const cp932::Utf8Piece& piece) {
    std::memcpy(out, &piece, sizeof piece);
    out += piece.length;
}

// The character of a lead byte and a second byte, or none (length 0).
const cp932::Utf8Piece& pairCharacter(unsigned char lead, unsigned char second) {
    return cp932::pairRows[cp932::pairRowOf[lead]][second];
}

// How many bytes a bad character at `lead` takes when `second` follows it.
std::size_t badLength(unsigned char lead, unsigned char second) {
    return isCp932LeadByte(lead) && isCp932TrailByte(second) ? 2 : 1;
}

// Copies a block of bytes from `in` to `out` (which has the room), and
// returns how many of them, from the first, are ASCII: the block's size
// when all are.
#if defined(__SSE2__)
constexpr std::size_t asciiBlock = 16;

[[gnu::always_inline]] inline std::size_t copyBlock(const unsigned char* in, char* out) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    return high == 0 ? asciiBlock : static_cast<std::size_t>(std::countr_zero(high));
}
#else
constexpr std::size_t asciiBlock = 8;

[[gnu::always_inline]] inline std::size_t copyBlock(const unsigned char* in, char* out) {
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    std::uint64_t word;
    std::memcpy(&word, in, sizeof word);
    std::memcpy(out, &word, sizeof word);
    const std::uint64_t high = word & highBits;
    if (high == 0) return asciiBlock;
    // Little- or big-endian, the first byte of the text is the first high one found.
    return static_cast<std::size_t>(std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                                : std::countl_zero(high)) / 8;
}
#endif

// Copies the ASCII bytes at the start of [in, end), a block at a time, as far
// as a whole block is left; stops at the first byte that is not ASCII.
[[gnu::always_inline]] inline void copyAscii(const unsigned char*& in, const unsigned char* end, char*& out) {
    while (static_cast<std::size_t>(end - in) >= asciiBlock) {
        const std::size_t ascii = copyBlock(in, out);
        in += ascii;
        out += ascii;
        if (ascii != asciiBlock) return;
    }
}

// Converts the double-byte characters that follow one another from `in` on
// (Japanese text is mostly runs of them); false when there is none at `in`.
bool putDoubleByteRun(const unsigned char*& in, const unsigned char* end, char*& out) {
    const unsigned char* const start = in;
    while (end - in >= 2) {
        const cp932::Utf8Piece& character = pairCharacter(in[0], in[1]);
        if (character.length == 0) break;
        putPiece(out, character);
        in += 2;
    }
    return in != start;
}

// --- repeated text ----------------------------------------------------------
//
// The programs print the same phrases again and again. A small memo keeps the
// UTF-8 of stretches of text converted before, each found by the four bytes
// it starts with; where text starts with those four bytes again, it is
// compared with the stretch, and as far as the two agree (to the end of a
// character), the UTF-8 is copied from the memo instead of converted. A
// stretch holds whole valid characters only, so that each of its characters
// converts the same whatever comes after it.

constexpr std::size_t stretchSize = 64;      // cp932 bytes of a stretch at most
constexpr std::size_t stretchUtf8Size = 96;  // its UTF-8 at most
constexpr std::size_t block = 16;            // bytes compared or copied at once
static_assert(stretchSize % block == 0 && stretchUtf8Size % block == 0 && stretchUtf8Size >= 2 * block);

struct Stretch {
    unsigned char cp932[stretchSize];  // as many bytes as its characters have, then zeros
    char utf8[stretchUtf8Size];
    std::uint32_t start;  // its first four bytes, as the text at hand is looked up by
    // Where n bytes of text agree with the stretch: the most of them that are
    // whole characters (cut[n] bytes), and their UTF-8 (the first utf8Size[n]).
    unsigned char cut[stretchSize + 1];
    unsigned char utf8Size[stretchSize + 1];
};

// The stretches kept, in the order they were learnt: a program prints a few
// dozen phrases, and only the kept ones take memory. When all are taken, the
// memo starts afresh.
constexpr std::size_t stretchCount = 128;
Stretch stretches[stretchCount];
std::size_t stretchesKept = 0;

// Where to find the stretch of a start: slots of stretch numbers (plus one;
// 0 is a free slot), open addressing, an eighth full at most.
constexpr unsigned slotBits = 10;
constexpr std::size_t slotCount = std::size_t{1} << slotBits;
static_assert(slotCount >= 8 * stretchCount);
unsigned char slots[slotCount];
static_assert(stretchCount < 256);

std::uint32_t startAt(const unsigned char* in) {
    std::uint32_t start;
    std::memcpy(&start, in, sizeof start);
    return start;
}

std::size_t slotOf(std::uint32_t start) { return (start * 0x9E3779B1u) >> (32 - slotBits); }

// How many bytes at the start of `in` agree with the stretch's, block by
// block (both have stretchSize bytes).
#if defined(__SSE2__)
[[gnu::always_inline]] inline std::uint32_t blocksAgreeing(const unsigned char* in, const unsigned char* kept) {
    auto agreeing = [&](std::size_t at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kept + at));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y))) << at;
    };
    return agreeing(0) | agreeing(block);
}

[[gnu::always_inline]] inline std::size_t bytesAgreeing(const unsigned char* in, const unsigned char* kept) {
    static_assert(stretchSize == 4 * block);
    // Text mostly parts from the stretch early, at a number that differs.
    const std::uint32_t first = blocksAgreeing(in, kept);
    if (first != ~std::uint32_t{0}) return static_cast<std::size_t>(std::countr_one(first));
    return 2 * block + static_cast<std::size_t>(std::countr_one(blocksAgreeing(in + 2 * block, kept + 2 * block)));
}
#else
[[gnu::always_inline]] inline std::size_t bytesAgreeing(const unsigned char* in, const unsigned char* kept) {
    for (std::size_t at = 0; at < stretchSize; at += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, in + at, sizeof x);
        std::memcpy(&y, kept + at, sizeof y);
        if (std::uint64_t differ = x ^ y; differ != 0) {
            return at + static_cast<std::size_t>(std::endian::native == std::endian::little
                                                     ? std::countr_zero(differ)
                                                     : std::countl_zero(differ)) / 8;
        }
    }
    return stretchSize;
}
#endif

// The character that a valid cp932 sequence at `in` makes, and its length;
// length 0 where none starts there within `left` bytes.
struct ValidCharacter {
    const cp932::Utf8Piece* piece;
    std::size_t length;
};

ValidCharacter validCharacterAt(const unsigned char* in, std::size_t left) {
    const unsigned char byte = in[0];
    if (!cp932::needsSecondByte[byte]) {
        const cp932::Utf8Piece& single = cp932::singleByteCharacters[byte];
        return {&single, single.length != 0 ? 1u : 0u};
    }
    if (left < 2) return {nullptr, 0};
    const cp932::Utf8Piece& pair = pairCharacter(byte, in[1]);
    return {&pair, pair.length != 0 ? 2u : 0u};
}

// Learns the text at `in` (at least stretchSize bytes there) as a new
// stretch: as many whole valid characters as fit. None when the text starts
// with no valid character.
Stretch* learnStretch(const unsigned char* in, std::size_t slot) {
    Stretch learnt{};
    std::size_t size = 0;
    std::size_t utf8Size = 0;
    while (size < stretchSize) {
        ValidCharacter character = validCharacterAt(in + size, stretchSize - size);
        if (character.length == 0 || utf8Size + character.piece->length > stretchUtf8Size) break;
        std::memcpy(learnt.utf8 + utf8Size, character.piece->bytes, character.piece->length);
        utf8Size += character.piece->length;
        size += character.length;
        learnt.cut[size] = static_cast<unsigned char>(size);
        learnt.utf8Size[size] = static_cast<unsigned char>(utf8Size);
    }
    // Text that agrees with the stretch within a character takes the
    // characters before it.
    for (std::size_t agreeing = 1; agreeing <= stretchSize; ++agreeing) {
        if (learnt.cut[agreeing] == 0) {
            learnt.cut[agreeing] = learnt.cut[agreeing - 1];
            learnt.utf8Size[agreeing] = learnt.utf8Size[agreeing - 1];
        }
    }
    if (size == 0) return nullptr;
    if (stretchesKept == stretchCount) {
        std::memset(slots, 0, sizeof slots);
        stretchesKept = 0;
        slot = slotOf(startAt(in));
        while (slots[slot] != 0) slot = (slot + 1) % slotCount;
    }
    std::memcpy(learnt.cp932, in, size);
    learnt.start = startAt(in);
    Stretch& kept = stretches[stretchesKept++];
    kept = learnt;
    slots[slot] = static_cast<unsigned char>(stretchesKept);
    return &kept;
}

// The stretch that starts as the text at `in` does (at least stretchSize
// bytes there), learnt now if there is none; none when the text starts with
// no valid character.
[[gnu::always_inline]] inline Stretch* stretchFor(const unsigned char* in) {
    const std::uint32_t start = startAt(in);
    for (std::size_t slot = slotOf(start);; slot = (slot + 1) % slotCount) {
        const unsigned number = slots[slot];
        if (number == 0) return learnStretch(in, slot);
        Stretch& stretch = stretches[number - 1];
        if (stretch.start == start) return &stretch;
    }
}

// Converts the text at `in` (at least stretchSize bytes there) from the memo,
// as far as it agrees with the stretch of its start; false when the text
// starts with no valid character.
[[gnu::always_inline]] inline bool putRepeatedText(const unsigned char*& in, char*& out) {
    Stretch* stretch = stretchFor(in);
    if (stretch == nullptr) return false;
    const std::size_t agreeing = bytesAgreeing(in, stretch->cp932);
    // The four bytes of the start agree, and hold the end of a character.
    const std::size_t size = stretch->cut[agreeing];
    const std::size_t utf8Size = stretch->utf8Size[agreeing];
    std::memcpy(out, stretch->utf8, 2 * block);
    if (utf8Size > 2 * block) std::memcpy(out + 2 * block, stretch->utf8 + 2 * block, stretchUtf8Size - 2 * block);
    out += utf8Size;
    in += size;
    return true;
}

// Converts ASCII and repeated text from `in` on, while a stretch's bytes
// (and a block) are left before `end`. Stops there, and at text the memo
// cannot take.
void putRepeatedRuns(const unsigned char*& in, const unsigned char* end, char*& out) {
    constexpr std::size_t lookAhead = stretchSize + asciiBlock;
    if (static_cast<std::size_t>(end - in) < lookAhead) return;
    const unsigned char* const limit = end - lookAhead + 1;
    const unsigned char* from = in;
    char* to = out;
    while (from < limit) {
        const std::size_t ascii = copyBlock(from, to);
        from += ascii;
        to += ascii;
        if (ascii == asciiBlock) continue;
        if (!putRepeatedText(from, to)) break;
    }
    in = from;
    out = to;
}

// Converts [in, end) into `out`; returns the end of what it wrote.
char* convertCp932(const unsigned char* in, const unsigned char* end, Cp932Carry& carry, char* out) {
    if (!carry.leadByte.empty()) {
        if (in == end) return out;  // the lead byte waits on
        auto lead = static_cast<unsigned char>(carry.leadByte[0]);
        carry.leadByte.clear();
        const cp932::Utf8Piece& character = pairCharacter(lead, *in);
        if (character.length != 0) {
            putPiece(out, character);
            ++in;
        } else {
            putReplacement(out);
            if (badLength(lead, *in) == 2) ++in;
        }
    }
    while (in < end) {
        putRepeatedRuns(in, end, out);
        if (in >= end) break;
        copyAscii(in, end, out);
        if (in == end) break;
        const unsigned char byte = *in;
        if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
            ++in;
            continue;
        }
        if (end - in >= static_cast<std::ptrdiff_t>(stretchSize) && putRepeatedText(in, out)) continue;
        if (putDoubleByteRun(in, end, out)) continue;
        const bool last = in + 1 == end;
        if (cp932::needsSecondByte[byte]) {
            if (last && isCp932LeadByte(byte)) {
                carry.leadByte.assign(1, static_cast<char>(byte));
                ++in;
                break;
            }
        } else if (cp932::singleByteCharacters[byte].length != 0) {
            putPiece(out, cp932::singleByteCharacters[byte]);
            ++in;
            continue;
        }
        putReplacement(out);
        in += last ? 1 : badLength(byte, in[1]);
    }
    return out;
}
static_assert(stretchUtf8Size <= 3 * stretchSize);

// The cp932 code of a Unicode scalar value (see cp932_tables.hpp).
unsigned short cp932CodeOf(char32_t codePoint) {
    return cp932::cp932Codes[cp932::unicodeBlock[codePoint >> 8]][codePoint & 0xFF];
}

char32_t codePointOf(std::string_view bytes, int length) {
    auto byte = [&](int i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i])); };
    switch (length) {
    case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default: return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    }
}

// --- other sets, through iconv ---------------------------------------------

const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);

// The converters of one set, opened at the first use and kept: a program
// speaks one set all its run, to its very end (they are never destroyed, as
// the last output is converted while the static objects are destroyed).
struct SetConverters {
    std::string name;
    iconv_t toUtf8 = noConverter;
    iconv_t fromUtf8 = noConverter;
    std::string question = "?";  // "?" in the set
};

SetConverters& convertersOf(std::string_view name) {
    static SetConverters& set = *new SetConverters;
    static bool opened = false;
    if (opened && set.name == name) return set;
    if (set.toUtf8 != noConverter) ::iconv_close(set.toUtf8);
    if (set.fromUtf8 != noConverter) ::iconv_close(set.fromUtf8);
    set = SetConverters{std::string(name)};
    opened = true;
    set.toUtf8 = ::iconv_open("UTF-8", set.name.c_str());
    set.fromUtf8 = ::iconv_open(set.name.c_str(), "UTF-8");
    if (set.fromUtf8 != noConverter) {
        char question[16];
        char* in = const_cast<char*>("?");
        std::size_t inLeft = 1;
        char* out = question;
        std::size_t outLeft = sizeof question;
        if (::iconv(set.fromUtf8, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
            ::iconv(set.fromUtf8, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1)) {
            set.question.assign(question, static_cast<std::size_t>(out - question));
        }
    }
    return set;
}

enum class Stop { end, invalid, incomplete };

// Converts as much of `in` as it can, appending to `out`, in the converter's
// present shift state; `consumed` tells how far it came and the result why it
// stopped there.
Stop convertRun(iconv_t handle, std::string_view in, std::size_t& consumed, std::string& out) {
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[4096];
    for (;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = ::iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft);
        int error = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        consumed = in.size() - inLeft;
        if (result != static_cast<std::size_t>(-1)) return Stop::end;
        if (error == E2BIG) continue;
        return error == EINVAL ? Stop::incomplete : Stop::invalid;
    }
}

// Appends what brings the converter back to its initial shift state (nothing
// for a set without shift states).
void returnToInitialState(iconv_t handle, std::string& out) {
    char buffer[64];
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(handle, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
}

}  // namespace

ConsoleCharset charsetNamed(std::string_view codeset) {
    if (codeset.empty() || isShiftJisCodeset(codeset)) return ConsoleCharset::cp932();
    if (isUtf8Codeset(codeset)) return ConsoleCharset::utf8();
    const SetConverters& set = convertersOf(codeset);
    if (set.toUtf8 == noConverter || set.fromUtf8 == noConverter) return ConsoleCharset::cp932();
    return ConsoleCharset::throughIconv(std::string(codeset));
}

ConsoleCharset localeCharset() {
    const char* name = nullptr;
    bool anySet = false;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr) continue;
        anySet = true;
        if (*value != '\0') {
            name = value;
            break;
        }
    }
    // Today's terminals speak UTF-8; set but empty, the variables leave the
    // C library's own default, the C locale.
    if (!anySet) return ConsoleCharset::utf8();
    if (name == nullptr) return ConsoleCharset::cp932();
    const std::string_view named = name;
    if (named == "C" || named == "POSIX") return ConsoleCharset::cp932();
    // A name that says UTF-8 is UTF-8 whether or not the locale is installed:
    // no need to load the locale's files to be told so.
    if (isUtf8Codeset(codesetOfLocaleName(named))) return ConsoleCharset::utf8();
    // (Through setlocale and back: newlocale keeps memory of LOCPATH's that
    // the C library never gives back.)
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = current != nullptr ? current : "C";
    if (std::setlocale(LC_CTYPE, name) == nullptr) {
        // The named locale is not installed; its name still tells what the
        // terminal speaks.
        return charsetNamed(codesetOfLocaleName(named));
    }
    const std::string codeset = ::nl_langinfo(CODESET);
    std::setlocale(LC_CTYPE, saved.c_str());
    return charsetNamed(codeset);
}

char* cp932ToUtf8(std::string_view piece, Cp932Carry& carry, char* out) {
    auto in = reinterpret_cast<const unsigned char*>(piece.data());
    const unsigned char* const end = in + piece.size();
    return convertCp932(in, end, carry, out);
}

std::string cp932ToUtf8(std::string_view piece, Cp932Carry& carry) {
    std::string result(utf8Room(piece.size()), '\0');
    char* end = cp932ToUtf8(piece, carry, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return result;
}

std::string finishCp932(Cp932Carry& carry) {
    if (carry.leadByte.empty()) return {};
    carry.leadByte.clear();
    return std::string(replacementCharacter);
}

void utf8ToCp932(std::string_view line, std::string& result, bool& lostCharacters) {
    lostCharacters = false;
    // No character grows: ASCII stays one byte, every other takes at least two
    // in UTF-8 and at most two in cp932, and a broken sequence becomes one "?".
    const std::size_t start = result.size();
    result.resize(start + line.size() + 8);
    char* out = result.data() + start;
    auto in = reinterpret_cast<const unsigned char*>(line.data());
    const unsigned char* const end = in + line.size();
    while (in != end) {
        copyAscii(in, end, out);
        if (in == end) break;
        if (*in < 0x80) {
            *out++ = static_cast<char>(*in++);
            continue;
        }
        std::string_view rest(reinterpret_cast<const char*>(in), static_cast<std::size_t>(end - in));
        Utf8Start character = scanUtf8Char(rest);
        unsigned short code = character.complete ? cp932CodeOf(codePointOf(rest, character.length)) : 0;
        in += character.length;
        if (code == 0) {
            *out++ = '?';
            lostCharacters = true;
        } else if (code == cp932::droppedCharacter) {
            // iconv drops it without a trace, and so does the console.
        } else if (code < 0x100) {
            *out++ = static_cast<char>(code);
        } else {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        }
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
}

std::string utf8ToCp932(std::string_view line, bool& lostCharacters) {
    std::string result;
    utf8ToCp932(line, result, lostCharacters);
    return result;
}

std::string utf8ToCp932(std::string_view line) {
    bool lostCharacters = false;
    return utf8ToCp932(line, lostCharacters);
}

void utf8ToCharset(std::string_view text, std::string_view charset, std::string& out) {
    const SetConverters& set = convertersOf(charset);
    if (set.fromUtf8 == noConverter) {
        out.append(text);
        return;
    }
    ::iconv(set.fromUtf8, nullptr, nullptr, nullptr, nullptr);
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t consumed = 0;
        Stop stop = convertRun(set.fromUtf8, rest, consumed, out);
        rest.remove_prefix(consumed);
        if (stop == Stop::end) break;
        // The "?" is written in the initial state, as it was measured.
        returnToInitialState(set.fromUtf8, out);
        out += set.question;
        rest.remove_prefix(static_cast<std::size_t>(scanUtf8Char(rest).length));
    }
    returnToInitialState(set.fromUtf8, out);
}

void charsetToUtf8(std::string_view line, std::string_view charset, std::string& out, bool& lostCharacters) {
    lostCharacters = false;
    const SetConverters& set = convertersOf(charset);
    if (set.toUtf8 == noConverter) {
        out.append(line);
        return;
    }
    ::iconv(set.toUtf8, nullptr, nullptr, nullptr, nullptr);
    std::string_view rest = line;
    while (!rest.empty()) {
        std::size_t consumed = 0;
        Stop stop = convertRun(set.toUtf8, rest, consumed, out);
        rest.remove_prefix(consumed);
        if (stop == Stop::end) break;
        out += '?';
        lostCharacters = true;
        // A character cut off at the end is lost whole; after any other bad
        // byte the next one is read afresh.
        rest.remove_prefix(stop == Stop::incomplete ? rest.size() : 1);
    }
}

bool charsetCharacterComplete(std::string_view bytes, std::string_view charset) {
    const SetConverters& set = convertersOf(charset);
    if (set.toUtf8 == noConverter) return true;
    ::iconv(set.toUtf8, nullptr, nullptr, nullptr, nullptr);
    std::string ignored;
    std::size_t consumed = 0;
    return convertRun(set.toUtf8, bytes, consumed, ignored) != Stop::incomplete;
}

}  // namespace platform
