#include <gtest/gtest.h>

#include <string>

#include "platform/console.hpp"

// The console's output buffer holds 64 KiB; these texts are longer, so that
// they cross its end, once or many times, at every kind of place.
namespace {

std::string patterned(std::size_t size) {
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 23);
    return text;
}

TEST(ConsoleBuffer, TextLongerThanTheBufferArrivesWholeAndInOrder) {
    platform::ScriptedConsole console;
    std::string head = patterned(1000);
    std::string huge = patterned(3 * 65536 + 17);
    platform::out << head << huge << "end";
    EXPECT_EQ(console.takeOutput(), head + huge + "end");
}

TEST(ConsoleBuffer, ManySmallPiecesAcrossTheBufferEndLoseNothing) {
    platform::ScriptedConsole console;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        std::string piece = patterned(static_cast<std::size_t>(i % 37));
        if (i % 2 == 0) {
            platform::out << piece << i << '\n';
            expected += piece + std::to_string(i) + "\n";
        } else {
            // A whole line at once, which checks the room once for all its pieces.
            // A name in a record's buffer: its text ends at its first NUL,
            // wherever that falls among the buffer's words.
            char name[21] = {};
            std::string nameText = patterned(static_cast<std::size_t>(i % 21));
            nameText.copy(name, nameText.size());
            long long wide = -1000000007LL * i;
            platform::out.put(piece, i, ' ', wide, ":", piece.c_str(), name, '\n');
            expected += piece + std::to_string(i) + " " + std::to_string(wide) + ":" + piece + nameText + "\n";
        }
    }
    ASSERT_GT(expected.size(), 4u * 65536u);
    EXPECT_EQ(console.takeOutput(), expected);
}

TEST(ConsoleBuffer, DoubleByteCharacterCutByTheBufferEndIsConvertedWhole) {
    // One single-byte character first puts every buffer end in the middle
    // of a double-byte one.
    platform::ScriptedConsole console("", platform::ConsoleCharset::utf8());
    const std::string utf8A(reinterpret_cast<const char*>(u8"あ"));
    std::string cp932Text = "x";
    std::string utf8Text = "x";
    for (int i = 0; i < 70000; ++i) {
        cp932Text += "あ";
        utf8Text += utf8A;
    }
    for (std::size_t at = 0; at < cp932Text.size(); at += 4099) platform::out << cp932Text.substr(at, 4099);
    EXPECT_EQ(console.takeOutput(), utf8Text);
}

TEST(ConsoleBuffer, PrintedTextWaitsUntilAReadAndIsThenAllThere) {
    platform::ScriptedConsole console("first\n");
    platform::out << "prompt> ";
    std::string line;
    ASSERT_TRUE(platform::readLine(line));
    platform::out << line << "\n";
    EXPECT_EQ(console.takeOutput(), "prompt> first\n");
}

}  // namespace
