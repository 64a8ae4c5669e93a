#include <gtest/gtest.h>

#include "editor/command_line.hpp"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.hpp"
#include "platform/decimal.hpp"
#include "platform/random.hpp"
#include "platform/seed_option.hpp"

namespace {

TEST(Random, FirstValuesFromUnseededStateMatchTheClassicRuntime) {
    platform::seedRandom(1);
    std::vector<int> values;
    for (int i = 0; i < 5; ++i) values.push_back(platform::nextRandom());
    EXPECT_EQ(values, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(Random, SameSeedSameSequenceAndValuesStayInRange) {
    platform::seedRandom(4294967295u);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) first.push_back(platform::nextRandom());
    platform::seedRandom(4294967295u);
    for (int i = 0; i < 1000; ++i) {
        int value = platform::nextRandom();
        EXPECT_EQ(value, first[static_cast<std::size_t>(i)]);
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 32767);
    }
}

// Draws read ahead must be the generator's own, and taking some of them must
// leave the generator where as many draws one by one would: for every count
// taken, and from states where the multiply wraps.
TEST(Random, DrawsAheadAreTheDrawsOneByOne) {
    for (std::uint32_t start : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 4294967295u, 123456789u}) {
        for (int taken = 0; taken <= 7; ++taken) {
            platform::Random byOne{start};
            platform::Random ahead{start};
            platform::DrawsAhead<7> draws(ahead);
            for (int i = 0; i < taken; ++i) EXPECT_EQ(draws.next(), byOne.next()) << start << " draw " << i;
            draws.moveOn(ahead);
            EXPECT_EQ(ahead.state, byOne.state) << start << " after " << taken;
        }
    }
}

// The lines of `input`, read as strings; read as views they must be the same.
std::vector<std::string> readAllLines(const std::string& input) {
    std::vector<std::string> lines;
    {
        platform::ScriptedConsole console(input);
        std::string line;
        while (platform::readLine(line)) lines.push_back(line);
        EXPECT_TRUE(line.empty());
    }
    platform::ScriptedConsole console(input);
    std::vector<std::string> viewed;
    std::string_view view;
    while (platform::readLine(view)) viewed.emplace_back(view);
    EXPECT_TRUE(view.empty());
    EXPECT_EQ(viewed, lines);
    return lines;
}

TEST(ReadLine, LineEndsAndEndOfInput) {
    EXPECT_EQ(readAllLines("a\nb\r\n\nlast"), (std::vector<std::string>{"a", "b", "", "last"}));
    EXPECT_EQ(readAllLines("x\r"), (std::vector<std::string>{"x"}));
    // Only one carriage return right before the line feed is dropped.
    EXPECT_EQ(readAllLines("x\r\r\n\ry\n"), (std::vector<std::string>{"x\r", "\ry"}));
    EXPECT_TRUE(readAllLines("").empty());
    EXPECT_EQ(readAllLines(std::string("n\0ul\n", 5)), (std::vector<std::string>{std::string("n\0ul", 4)}));
    // Lines of every length up to twice a word's eight bytes, so that a line
    // feed falls on every place in a word and beyond it.
    std::string script;
    std::vector<std::string> lengths;
    for (std::size_t length = 0; length <= 16; ++length) {
        lengths.push_back(std::string(length, static_cast<char>('a' + length)));
        script += lengths.back() + (length % 3 == 0 ? "\r\n" : "\n");
    }
    EXPECT_EQ(readAllLines(script), lengths);
}

TEST(ReadLine, LinesBeyondTheKeptLengthAreOverLongAndTheNextLineIsWhole) {
    constexpr std::size_t limit = platform::lineKeepLimit;
    const std::string full(limit, 'u');
    platform::ScriptedConsole console(full + "\n" + full + "\r\n" + full + "p\nup\n" +
                                      std::string(5 * limit + 3, 'x') + "\r\nESC\n" + full + "ab");
    std::string line;
    // Exactly as long as is kept, with or without a carriage return.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(platform::readLine(line));
        EXPECT_EQ(line, full);
        EXPECT_FALSE(platform::lastLineNotes().overLong);
    }
    // One byte more, then a line many reads long: over-long, still longer
    // than any answer, and the line after each is read whole.
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_TRUE(platform::lastLineNotes().overLong);
    EXPECT_GT(line.size(), 30u);
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "up");
    EXPECT_FALSE(platform::lastLineNotes().overLong);
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_TRUE(platform::lastLineNotes().overLong);
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "ESC");
    // A last line without its line feed can be over-long too.
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_TRUE(platform::lastLineNotes().overLong);
    EXPECT_FALSE(platform::readLine(line));
}

TEST(Console, KeyWaitAndPauseWithoutTerminalPrintTheirTextOnly) {
    platform::ScriptedConsole console("STATUS\n");
    platform::keyWait();
    platform::pauseConsole();
    platform::clearScreen();
    EXPECT_EQ(console.takeOutput(), ">>> \n続行するには何かキーを押してください . . . \n");
    // The key waits read nothing of the script.
    std::string line;
    ASSERT_TRUE(platform::readLine(line));
    EXPECT_EQ(line, "STATUS");
}

TEST(Console, NumbersArePlainDecimal) {
    platform::ScriptedConsole console;
    platform::out << 0 << " " << -2147483647 - 1 << " " << 2147483647 << " " << 'x';
    EXPECT_EQ(console.takeOutput(), "0 -2147483648 2147483647 x");
}

// writeDecimal against the standard library's conversion.
template <typename T>
void expectDecimalAsToChars(T value) {
    char expected[32];
    char written[32];
    std::string_view wanted(expected, static_cast<std::size_t>(std::to_chars(expected, expected + 32, value).ptr - expected));
    char* end = platform::writeDecimal(written, value);
    ASSERT_EQ(std::string_view(written, static_cast<std::size_t>(end - written)), wanted) << +value;
    ASSERT_LE(wanted.size(), platform::mostDecimalChars<T>);
}

TEST(Decimal, EveryWidthAndEveryDigitGroupIsWrittenAsToCharsWritesIt) {
    // Both sides of every power of ten, and of every group boundary.
    for (std::uint64_t power = 1; power <= 10000000000000000000ULL; power *= 10) {
        for (std::uint64_t value : {power - 1, power, power + 1, 2 * power - 1, 9 * power + 7}) {
            expectDecimalAsToChars(value);
            expectDecimalAsToChars(static_cast<std::int64_t>(value));
            expectDecimalAsToChars(-static_cast<std::int64_t>(value));
            expectDecimalAsToChars(static_cast<std::uint32_t>(value));
            expectDecimalAsToChars(static_cast<std::int32_t>(value));
            expectDecimalAsToChars(-static_cast<std::int32_t>(value));
        }
        if (power == 10000000000000000000ULL) break;
    }
    for (std::int32_t value : {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        expectDecimalAsToChars(value);
    }
    expectDecimalAsToChars(std::numeric_limits<std::uint32_t>::max());
    expectDecimalAsToChars(std::numeric_limits<std::int64_t>::min());
    expectDecimalAsToChars(std::numeric_limits<std::uint64_t>::max());
    expectDecimalAsToChars(static_cast<short>(-32768));
    expectDecimalAsToChars(static_cast<unsigned char>(255));
    // Every number of up to five digits, either sign: each width and each
    // entry of the digit tables.
    for (std::int32_t value = 0; value < 100000; ++value) {
        expectDecimalAsToChars(value);
        expectDecimalAsToChars(-value);
    }
    // A sweep of the whole 32-bit range, in steps that vary every digit.
    for (std::uint64_t value = 0; value <= 0xFFFFFFFFu; value += 65521) {
        expectDecimalAsToChars(static_cast<std::uint32_t>(value));
        expectDecimalAsToChars(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    }
}

TEST(SeedOption, AcceptsOnlyPlainDecimalIn32Bits) {
    EXPECT_EQ(platform::parseSeed("0"), 0u);
    EXPECT_EQ(platform::parseSeed("4294967295"), 4294967295u);
    EXPECT_FALSE(platform::parseSeed("4294967296"));
    EXPECT_FALSE(platform::parseSeed("99999999999"));
    EXPECT_FALSE(platform::parseSeed(""));
    EXPECT_FALSE(platform::parseSeed("-1"));
    EXPECT_FALSE(platform::parseSeed("+1"));
    EXPECT_FALSE(platform::parseSeed("1x"));
    EXPECT_FALSE(parseCount("0"));
    EXPECT_EQ(parseCount("10000"), 10000u);
}

}  // namespace
