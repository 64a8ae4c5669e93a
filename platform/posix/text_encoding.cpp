#include "platform/text_encoding.hpp"

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

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

// Copies the ASCII bytes at the start of [in, end) eight at a time, as far as
// eight are left; stops at the first byte that is not ASCII.
[[gnu::always_inline]] inline void copyAscii(const unsigned char*& in, const unsigned char* end, char*& out) {
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    while (end - in >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in, sizeof word);
        std::memcpy(out, &word, sizeof word);
        std::uint64_t high = word & highBits;
        if (high != 0) {
            // Little- or big-endian, the first byte of the text is the first high one found.
            int ascii = (std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                     : std::countl_zero(high)) / 8;
            in += ascii;
            out += ascii;
            return;
        }
        in += 8;
        out += 8;
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
    while (in != end) {
        copyAscii(in, end, out);
        if (in == end) break;
        const unsigned char byte = *in;
        if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
            ++in;
            continue;
        }
        if (putDoubleByteRun(in, end, out)) continue;
        const bool last = in + 1 == end;
        if (cp932::needsSecondByte[byte]) {
            if (last && isCp932LeadByte(byte)) {
                carry.leadByte.assign(1, static_cast<char>(byte));
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
