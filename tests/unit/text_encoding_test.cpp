#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iconv.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/console.hpp"
#include "platform/console_charset.hpp"
#include "platform/terminal.hpp"
#include "platform/text_encoding.hpp"

// Plain literals in this file are cp932 bytes, as in the programs; u8
// literals stay UTF-8.
namespace {

using platform::ConsoleCharset;

std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string decodeWhole(std::string_view cp932) {
    platform::Cp932Carry carry;
    std::string result = platform::cp932ToUtf8(cp932, carry);
    return result + platform::finishCp932(carry);
}

std::string decodeInPieces(std::string_view cp932, const std::vector<std::size_t>& cuts) {
    platform::Cp932Carry carry;
    std::string result;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        result += platform::cp932ToUtf8(cp932.substr(from, cut - from), carry);
        from = cut;
    }
    result += platform::cp932ToUtf8(cp932.substr(from), carry);
    return result + platform::finishCp932(carry);
}

// As a UTF-8 console converts output while it is printed: in pieces, each
// followed by a name (the first of `names`, in an array as records hold
// them) or a phrase, every third line through put().
std::string decodePrinted(std::string_view cp932, const std::vector<std::size_t>& cuts) {
    using namespace platform::literals;
    platform::ScriptedConsole console({}, ConsoleCharset::utf8());
    std::size_t from = 0;
    std::size_t pieces = 0;
    auto print = [&](std::size_t to) {
        const std::string_view piece = cp932.substr(from, to - from);
        char name[20] = {};
        piece.substr(0, sizeof name - 1).copy(name, sizeof name - 1);
        switch (pieces++ % 3) {
        case 0: platform::out << piece; break;
        case 1: platform::out.put(piece, "あ\n"_phrase, 12); break;
        case 2: platform::out.put(name, "x"_phrase); break;
        }
        from = to;
    };
    for (std::size_t cut : cuts) print(cut);
    print(cp932.size());
    // A lead byte left waiting meets a phrase.
    platform::out << "\n"_phrase;
    return console.takeOutput();
}

// What decodePrinted prints, in cp932.
std::string printedCp932(std::string_view cp932, const std::vector<std::size_t>& cuts) {
    std::string printed;
    std::size_t from = 0;
    std::size_t pieces = 0;
    auto print = [&](std::size_t to) {
        const std::string_view piece = cp932.substr(from, to - from);
        switch (pieces++ % 3) {
        case 0: printed += piece; break;
        case 1: printed += std::string(piece) + "あ\n12"; break;
        case 2: printed += std::string(piece.substr(0, std::min(piece.find('\0'), std::size_t{19}))) + "x"; break;
        }
        from = to;
    };
    for (std::size_t cut : cuts) print(cut);
    print(cp932.size());
    return printed + "\n";
}

const std::string replacement = utf8(u8"\uFFFD");
// Characters that cp932 lacks (kept out of the test macros, which would spell
// them as cp932 in their messages).
const std::string accented = utf8(u8"é");
const std::string emoji = utf8(u8"😀");
const std::string lacking = utf8(u8"€é丂😀");

TEST(Cp932ToUtf8, ConvertsTheGamesTextAndHalfWidthKatakana) {
    EXPECT_EQ(decodeWhole("command： HP:5 ～\\"), utf8(u8"command： HP:5 ～\\"));
    EXPECT_EQ(decodeWhole("続行するには何かキーを押してください . . . \n"),
              utf8(u8"続行するには何かキーを押してください . . . \n"));
    // Single bytes 0xA1 to 0xDF are half-width katakana, not lead bytes.
    EXPECT_EQ(decodeWhole("｡ｱﾝﾟ"), utf8(u8"｡ｱﾝﾟ"));
    EXPECT_EQ(std::string("｡ﾟ"), "\xA1\xDF");
    EXPECT_EQ(decodeWhole("①\x87\x40"), utf8(u8"①①"));
}

TEST(Cp932ToUtf8, PhrasesCarryTheUtf8ThatTheConsoleWouldMake) {
    // Made when compiled, from the generated code points, not the runtime tables.
    using namespace platform::literals;
    constexpr auto mixed = "command： ～\\~ ｱﾝﾟ ① \xFA\x40 \xED\x40 ¬"_phrase;
    EXPECT_EQ(std::string(mixed.utf8), decodeWhole(mixed.cp932));
    constexpr auto empty = ""_phrase;
    EXPECT_EQ(empty.utf8, "");
    const platform::Phrase chosen = "続行するには何かキーを押してください . . . "_phrase;
    EXPECT_EQ(std::string(chosen.utf8), decodeWhole(chosen.cp932));
}

TEST(Cp932ToUtf8, DoubleByteCharacterCutBetweenPiecesIsConvertedWhole) {
    const std::string text = "あｱい\x81\x40" "Ab漢ﾟ字";  // \x81\x40 is the ideographic space
    const std::string expected = utf8(u8"あｱい\u3000Ab漢ﾟ字");
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        EXPECT_EQ(decodeInPieces(text, {cut}), expected) << "cut at " << cut;
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < text.size(); ++i) everyByte.push_back(i);
    EXPECT_EQ(decodeInPieces(text, everyByte), expected);

    // The lead byte waits in the carry; nothing of it is written early.
    platform::Cp932Carry carry;
    EXPECT_EQ(platform::cp932ToUtf8("x\x82", carry), "x");
    EXPECT_EQ(carry.leadByte, "\x82");
    EXPECT_EQ(platform::cp932ToUtf8("", carry), "");
    EXPECT_EQ(platform::cp932ToUtf8("\xA0y", carry), utf8(u8"あy"));
    EXPECT_TRUE(carry.leadByte.empty());
}

TEST(Cp932ToUtf8, InvalidSequencesBecomeReplacementCharacters) {
    // Bytes that start nothing.
    EXPECT_EQ(decodeWhole("a\x80" "b\xA0" "c\xFD\xFE\xFF"),
              "a" + replacement + "b" + replacement + "c" + replacement + replacement + replacement);
    // A lead byte before a byte that cannot follow it: only the lead byte is
    // lost, the next character is read afresh.
    EXPECT_EQ(decodeWhole("\x82 x\x82\n"), replacement + " x" + replacement + "\n");
    EXPECT_EQ(decodeWhole("\x82\x7F"), replacement + "\x7F");
    // A well-formed pair that names no character is one bad character.
    EXPECT_EQ(decodeWhole("\x85\x40あ"), replacement + utf8(u8"あ"));
    // A lead byte at the very end of the output.
    EXPECT_EQ(decodeInPieces("あ\x82", {2}), utf8(u8"あ") + replacement);
    platform::Cp932Carry carry;
    EXPECT_EQ(platform::finishCp932(carry), "");
}

TEST(Utf8ToCp932, ConvertsLinesAndMarksWhatCp932CannotHold) {
    EXPECT_EQ(platform::utf8ToCp932(utf8(u8"勇者ｱﾙﾌ 1")), "勇者ｱﾙﾌ 1");
    EXPECT_EQ(platform::utf8ToCp932(utf8(u8"１")), "\x82\x50");
    EXPECT_EQ(platform::utf8ToCp932(""), "");
    // Characters that cp932 lacks: one "?" each, whatever their length.
    EXPECT_EQ(platform::utf8ToCp932("a" + lacking + "b"), "a????b");
    // Broken UTF-8: a stray continuation byte, a cut character, an overlong
    // form, a surrogate, a byte that never starts a character.
    EXPECT_EQ(platform::utf8ToCp932("\x80" "a"), "?a");
    EXPECT_EQ(platform::utf8ToCp932("\xE3\x81" "a"), "?a");
    EXPECT_EQ(platform::utf8ToCp932("a\xE3\x81"), "a?");
    EXPECT_EQ(platform::utf8ToCp932("\xC0\xAF"), "??");
    EXPECT_EQ(platform::utf8ToCp932("\xED\xA0\x80"), "???");
    EXPECT_EQ(platform::utf8ToCp932("\xFF" "x"), "?x");
}

// The conversions as iconv's CP932 makes them, with the console's rules
// where iconv refuses a sequence: what the tables must give byte for byte.
class IconvReference {
public:
    IconvReference() : decoder_(::iconv_open("UTF-8", "CP932")), encoder_(::iconv_open("CP932", "UTF-8")) {}
    ~IconvReference() {
        ::iconv_close(decoder_);
        ::iconv_close(encoder_);
    }
    bool usable() const { return decoder_ != failed() && encoder_ != failed(); }

    // A whole output: a lead byte at its end is bad alone.
    std::string decode(std::string_view cp932) {
        std::string result;
        std::string_view rest = cp932;
        while (!rest.empty()) {
            if (run(decoder_, rest, result)) break;
            auto first = static_cast<unsigned char>(rest[0]);
            std::size_t bad = rest.size() >= 2 && platform::isCp932LeadByte(first) &&
                                      platform::isCp932TrailByte(static_cast<unsigned char>(rest[1]))
                                  ? 2
                                  : 1;
            result += replacement;
            rest.remove_prefix(bad);
        }
        return result;
    }

    std::string encode(std::string_view utf8Text, bool& lost) {
        std::string result;
        lost = false;
        std::string_view rest = utf8Text;
        while (!rest.empty()) {
            if (run(encoder_, rest, result)) break;
            result += '?';
            lost = true;
            rest.remove_prefix(static_cast<std::size_t>(platform::scanUtf8Char(rest).length));
        }
        return result;
    }

private:
    static iconv_t failed() { return reinterpret_cast<iconv_t>(-1); }

    // Converts from the start of `rest` as far as iconv goes; true when it
    // took everything, else `rest` starts where it stopped.
    static bool run(iconv_t handle, std::string_view& rest, std::string& out) {
        ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(rest.data());
        std::size_t inLeft = rest.size();
        for (;;) {
            char buffer[256];
            char* to = buffer;
            std::size_t toLeft = sizeof buffer;
            std::size_t result = ::iconv(handle, &in, &inLeft, &to, &toLeft);
            int error = errno;
            out.append(buffer, static_cast<std::size_t>(to - buffer));
            if (result == static_cast<std::size_t>(-1) && error == E2BIG) continue;
            rest.remove_prefix(rest.size() - inLeft);
            return result != static_cast<std::size_t>(-1);
        }
    }

    iconv_t decoder_;
    iconv_t encoder_;
};

std::string utf8Of(char32_t c) {
    std::string bytes;
    if (c < 0x80) {
        bytes += static_cast<char>(c);
    } else if (c < 0x800) {
        bytes += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        bytes += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                  static_cast<char>(0x80 | (c & 0x3F))};
    } else {
        bytes += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                  static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return bytes;
}

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        static constexpr char digits[] = "0123456789ABCDEF";
        text += {digits[c >> 4], digits[c & 0xF], ' '};
    }
    return text;
}

TEST(TablesAgainstIconv, EveryByteEveryPairAndEveryScalarValueConvertAsIconvHasIt) {
    IconvReference iconvItself;
    ASSERT_TRUE(iconvItself.usable());
    for (unsigned first = 0; first < 256; ++first) {
        const std::string alone(1, static_cast<char>(first));
        ASSERT_EQ(decodeWhole(alone), iconvItself.decode(alone)) << hexBytes(alone);
        for (unsigned second = 0; second < 256; ++second) {
            const std::string pair = alone + static_cast<char>(second);
            ASSERT_EQ(decodeWhole(pair), iconvItself.decode(pair)) << hexBytes(pair);
        }
    }
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c == 0xD800) c = 0xE000;  // the surrogates are no scalar values
        const std::string character = utf8Of(c);
        bool lost = false;
        bool lostByIconv = false;
        ASSERT_EQ(platform::utf8ToCp932(character, lost), iconvItself.encode(character, lostByIconv))
            << hexBytes(character);
        ASSERT_EQ(lost, lostByIconv) << hexBytes(character);
    }
}

// Random text, mostly of the bytes that make the rules' cases meet: runs of
// ASCII (the tables copy them eight bytes at a time), lead and second bytes,
// half-width katakana, bytes that start nothing.
std::string randomCp932(std::mt19937& random) {
    static constexpr unsigned char kinds[][2] = {
        {0x20, 0x7E}, {0x81, 0x9F}, {0xE0, 0xFC}, {0x40, 0xFC}, {0xA1, 0xDF}, {0x00, 0xFF}, {0x80, 0x80},
        {0xA0, 0xA0}, {0xFD, 0xFF}, {0x85, 0x86}, {0xEB, 0xEF}, {0xF0, 0xF9}};
    std::string text;
    const int parts = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < parts; ++i) {
        const auto& kind = kinds[std::uniform_int_distribution<std::size_t>(0, std::size(kinds) - 1)(random)];
        const int count = kind[0] == 0x20 ? std::uniform_int_distribution<int>(1, 20)(random) : 1;
        for (int n = 0; n < count; ++n) {
            text += static_cast<char>(std::uniform_int_distribution<int>(kind[0], kind[1])(random));
        }
    }
    return text;
}

// Random UTF-8: characters of every length, cp932's and others, and broken
// pieces: stray continuation bytes, cut characters, overlong forms,
// surrogates, bytes that never start a character.
std::string randomUtf8(std::mt19937& random) {
    static constexpr char32_t ranges[][2] = {
        {0x20, 0x7E}, {0x80, 0x7FF}, {0x3000, 0x30FF}, {0x4E00, 0x9FFF}, {0xE000, 0xF8FF}, {0xFF00, 0xFFFF},
        {0x800, 0xFFFF}, {0x10000, 0x10FFFF}, {0xE0000, 0xE007F}};
    static const std::string broken[] = {"\x80", "\xBF", "\xC2", "\xE3\x81", "\xF0\x9F\x98", "\xC0\xAF",
                                         "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8", "\xFF"};
    std::string text;
    const int parts = std::uniform_int_distribution<int>(0, 40)(random);
    for (int i = 0; i < parts; ++i) {
        if (std::uniform_int_distribution<int>(0, 5)(random) == 0) {
            text += broken[std::uniform_int_distribution<std::size_t>(0, std::size(broken) - 1)(random)];
            continue;
        }
        const auto& range = ranges[std::uniform_int_distribution<std::size_t>(0, std::size(ranges) - 1)(random)];
        char32_t c = std::uniform_int_distribution<char32_t>(range[0], range[1])(random);
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        text += utf8Of(c);
    }
    return text;
}

// Random text that repeats pieces of the texts before it, cut anywhere, as
// the programs' output repeats its phrases: the converter copies repeated
// text from what it converted before, which must agree with iconv whatever
// the two have in common and wherever they part.
std::string repeatingCp932(std::mt19937& random, std::vector<std::string>& earlier) {
    std::string text;
    const int parts = std::uniform_int_distribution<int>(1, 8)(random);
    for (int i = 0; i < parts; ++i) {
        if (earlier.empty() || std::uniform_int_distribution<int>(0, 2)(random) == 0) {
            text += randomCp932(random);
            continue;
        }
        const std::string& from = earlier[std::uniform_int_distribution<std::size_t>(0, earlier.size() - 1)(random)];
        const std::size_t start = std::uniform_int_distribution<std::size_t>(0, from.size())(random);
        text += from.substr(start, std::uniform_int_distribution<std::size_t>(0, from.size() - start)(random));
    }
    if (earlier.size() < 32) {
        earlier.push_back(text);
    } else {
        earlier[std::uniform_int_distribution<std::size_t>(0, earlier.size() - 1)(random)] = text;
    }
    return text;
}

TEST(TablesAgainstIconv, RandomTextInRandomPiecesConvertsAsIconvHasIt) {
    IconvReference iconvItself;
    ASSERT_TRUE(iconvItself.usable());
    std::mt19937 random(20240607);
    std::vector<std::string> earlier;
    for (int round = 0; round < 20000; ++round) {
        const std::string cp932 = repeatingCp932(random, earlier);
        // Pieces of a few bytes, or long ones, as the console's buffers cut them.
        const int cutOneIn = round % 2 == 0 ? 4 : 200;
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < cp932.size(); ++at) {
            if (std::uniform_int_distribution<int>(1, cutOneIn)(random) == 1) cuts.push_back(at);
        }
        const std::string expected = iconvItself.decode(cp932);
        ASSERT_EQ(decodeWhole(cp932), expected) << hexBytes(cp932);
        ASSERT_EQ(decodeInPieces(cp932, cuts), expected) << hexBytes(cp932) << " in " << cuts.size() + 1;
        ASSERT_EQ(decodePrinted(cp932, cuts), decodeWhole(printedCp932(cp932, cuts)))
            << hexBytes(cp932) << " printed in " << cuts.size() + 1;

        const std::string line = randomUtf8(random);
        bool lost = false;
        bool lostByIconv = false;
        const std::string encoded = iconvItself.encode(line, lostByIconv);
        ASSERT_EQ(platform::utf8ToCp932(line, lost), encoded) << hexBytes(line);
        ASSERT_EQ(lost, lostByIconv) << hexBytes(line);
        // As a line typed at a UTF-8 console (an ASCII line is taken as it is).
        std::string typed = "left over";
        bool lostTyped = true;
        platform::lineFromCharset(line, ConsoleCharset::utf8(), typed, lostTyped);
        ASSERT_EQ(typed, encoded) << hexBytes(line);
        ASSERT_EQ(lostTyped, lostByIconv) << hexBytes(line);
    }
    // A typed line of ASCII but one byte, wherever that byte is.
    for (std::size_t size = 1; size <= 20; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            std::string line(size, 'a');
            line[at] = '\x80';
            std::string typed;
            bool lostTyped = false;
            platform::lineFromCharset(line, ConsoleCharset::utf8(), typed, lostTyped);
            ASSERT_EQ(typed, platform::utf8ToCp932(line)) << hexBytes(line);
            ASSERT_TRUE(lostTyped) << hexBytes(line);
        }
    }
}

TEST(Utf8Scan, LengthsAndWellFormedStarts) {
    auto scan = [](std::string_view bytes) {
        platform::Utf8Start start = platform::scanUtf8Char(bytes);
        return std::pair(start.length, start.complete);
    };
    EXPECT_EQ(scan("a"), std::pair(1, true));
    EXPECT_EQ(scan(accented), std::pair(2, true));
    EXPECT_EQ(scan(utf8(u8"あx")), std::pair(3, true));
    EXPECT_EQ(scan(emoji), std::pair(4, true));
    EXPECT_EQ(scan("\xE3\x81"), std::pair(2, false));
    EXPECT_EQ(scan("\xE0\x80\x80"), std::pair(1, false));  // overlong
    EXPECT_EQ(scan("\xF4\x90\x80\x80"), std::pair(1, false));  // beyond U+10FFFF
    EXPECT_EQ(scan("\xBF"), std::pair(1, false));
}

TEST(ScriptedConsoleInUtf8, OutputIsConvertedAndSplitCharactersStayWhole) {
    platform::ScriptedConsole console({}, ConsoleCharset::utf8());
    platform::out << "あ\x82";
    platform::flushOutput();
    EXPECT_EQ(console.takeOutput(), utf8(u8"あ"));
    platform::out << "\xA0い";
    EXPECT_EQ(console.takeOutput(), utf8(u8"あい"));

    // The buffer hands its bytes on at 64 KiB, here between the two bytes of "う".
    std::string filler(65535, 'a');
    platform::out << filler << "う" << "\n";
    EXPECT_EQ(console.takeOutput(), filler + utf8(u8"う\n"));
}

TEST(ScriptedConsoleInUtf8, LinesArriveInCp932AndLimitsCountCp932Bytes) {
    platform::ScriptedConsole console(utf8(u8"１\r\nあいうえおかきくけこさしすせそ\n€\nSTATUS"),
                                      ConsoleCharset::utf8());
    std::string line;
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "１");
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "あいうえおかきくけこさしすせそ");
    EXPECT_EQ(line.size(), 30u);
    EXPECT_FALSE(platform::lastLineNotes().lostCharacters);
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "?");
    EXPECT_TRUE(platform::lastLineNotes().lostCharacters);  // the caller can tell it from a typed "?"
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "STATUS");
    EXPECT_FALSE(platform::lastLineNotes().lostCharacters);
    EXPECT_FALSE(platform::readLine(line));
}

TEST(ScriptedConsoleInCp932, BytesPassUnchangedBothWays) {
    const std::string strange = "あ\x82\x80\xFF\xA0ｱ" + utf8(u8"あ");
    platform::ScriptedConsole console(strange + "\n");
    platform::out << strange;
    EXPECT_EQ(console.takeOutput(), strange);
    std::string line;
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, strange);
}

// Sets the locale variables for one test and puts them back afterwards.
class LocaleVariables : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (std::size_t i = 0; i < saved.size(); ++i) set(names[i], saved[i] ? saved[i]->c_str() : nullptr);
    }
    static void set(const char* name, const char* value) {
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    static platform::ConsoleCharset charsetWith(const char* all, const char* ctype, const char* lang) {
        set("LC_ALL", all);
        set("LC_CTYPE", ctype);
        set("LANG", lang);
        return platform::localeCharset();
    }
    static bool utf8With(const char* all, const char* ctype, const char* lang) {
        return charsetWith(all, ctype, lang).kind == ConsoleCharset::Kind::utf8;
    }
    static bool bytesPassWith(const char* all, const char* ctype, const char* lang) {
        return charsetWith(all, ctype, lang).kind == ConsoleCharset::Kind::cp932;
    }
    static constexpr const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::vector<std::optional<std::string>> saved;
};

TEST_F(LocaleVariables, LcAllThenLcCtypeThenLangDecideTheCharset) {
    std::string before = std::setlocale(LC_CTYPE, nullptr);
    EXPECT_TRUE(utf8With("C.UTF-8", nullptr, nullptr));
    EXPECT_TRUE(utf8With(nullptr, nullptr, "C.UTF-8"));
    EXPECT_TRUE(utf8With(nullptr, "C.UTF-8", "C"));
    EXPECT_TRUE(bytesPassWith("C", "C.UTF-8", "C.UTF-8"));
    EXPECT_TRUE(bytesPassWith("POSIX", nullptr, nullptr));
    EXPECT_TRUE(utf8With("", "", "C.UTF-8"));
    // None set at all: today's terminals speak UTF-8. Set but empty: the C locale.
    EXPECT_TRUE(utf8With(nullptr, nullptr, nullptr));
    EXPECT_TRUE(bytesPassWith("", nullptr, nullptr));
    // A locale that is not installed still names its character set: UTF-8,
    // Shift_JIS under its names, a set that iconv converts, none, or one
    // that iconv does not know.
    EXPECT_TRUE(utf8With("xx_YY.utf8@variant", nullptr, nullptr));
    for (const char* name : {"xx_YY.SJIS", "xx_YY.Shift_JIS", "xx_YY.cp932", "xx_YY.WINDOWS-31J", "xx_YY"}) {
        EXPECT_TRUE(bytesPassWith(name, nullptr, "C.UTF-8")) << name;
    }
    platform::ConsoleCharset euc = charsetWith(nullptr, "xx_YY.eucJP", nullptr);
    EXPECT_EQ(euc.kind, ConsoleCharset::Kind::iconv);
    EXPECT_EQ(euc.name, "eucJP");
    EXPECT_TRUE(bytesPassWith("xx_YY.NO-SUCH-SET", nullptr, nullptr));
    // The program's own locale is left as it was.
    EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), before);
}

TEST(KeyPress, SequencesAndCharactersCountAsOneKey) {
    auto whole = [](std::string_view bytes, ConsoleCharset charset = ConsoleCharset::utf8()) {
        return platform::keyPressComplete(bytes, charset);
    };
    EXPECT_FALSE(whole(""));
    EXPECT_TRUE(whole("a"));
    EXPECT_TRUE(whole("\n"));
    // Escape sequences: an arrow, a function key, an application-mode arrow,
    // a console F1, Alt with a letter, Alt with an arrow.
    for (std::string_view key : {"\x1b[A", "\x1b[15~", "\x1b[1;5C", "\x1bOP", "\x1b[[A", "\x1bx", "\x1b\x1b[B"}) {
        for (std::size_t n = 1; n < key.size(); ++n) EXPECT_FALSE(whole(key.substr(0, n))) << key << " " << n;
        EXPECT_TRUE(whole(key)) << key;
    }
    // A byte that no sequence holds ends it.
    EXPECT_TRUE(whole("\x1b[1\x01"));
    // UTF-8 characters, and broken ones that end where they break.
    const std::string hiragana = utf8(u8"あ");
    EXPECT_FALSE(whole(hiragana.substr(0, 1)));
    EXPECT_FALSE(whole(hiragana.substr(0, 2)));
    EXPECT_TRUE(whole(hiragana));
    EXPECT_FALSE(whole(emoji.substr(0, 3)));
    EXPECT_TRUE(whole(emoji));
    EXPECT_TRUE(whole("\xE3q"));
    EXPECT_TRUE(whole("\x80"));
    const std::string altHiragana = utf8(u8"\x1bあ");
    EXPECT_TRUE(whole(altHiragana));
    EXPECT_FALSE(whole(altHiragana.substr(0, 3)));
    // A cp932 console: a lead byte waits for its second byte; katakana is one byte.
    EXPECT_FALSE(whole("\x82", ConsoleCharset::cp932()));
    EXPECT_TRUE(whole("あ", ConsoleCharset::cp932()));
    EXPECT_TRUE(whole("ｱ", ConsoleCharset::cp932()));
}

}  // namespace
