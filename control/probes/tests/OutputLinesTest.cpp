#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OutputLines.h"

namespace {

std::vector<std::string> SplitAll(const char* text, size_t lineSize = 256)
{
    std::vector<std::string> lines;
    std::vector<char> line(lineSize);
    for (const char* cursor = text; (cursor = NextOutputLine(cursor, line.data(), line.size()));)
        lines.push_back(line.data());
    return lines;
}

using Lines = std::vector<std::string>;

struct SplitCase {
    const char* name;
    const char* text;
    Lines expected;
};

TEST(OutputLines, SplitsAtCrLfAndCrCrLfAndKeepsLoneCrOrLf)
{
    const SplitCase cases[] = {
        {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
        {"netsh's cr cr lf", "one\r\r\ntwo\r\r\n", {"one", "two"}},
        {"mixed ends", "one\r\r\ntwo\r\nthree\r\r\n", {"one", "two", "three"}},
        {"empty lines kept", "one\r\n\r\n\r\r\ntwo\r\n", {"one", "", "", "two"}},
        {"lone lf is text", "a\nb\r\n", {"a\nb"}},
        {"lone cr is text", "a\rb\r\n", {"a\rb"}},
        {"last line without a line end", "one\r\ntwo", {"one", "two"}},
        {"only a last line", "fe80::1", {"fe80::1"}},
        {"empty text", "", {}},
        {"double-byte text", "物理アドレス\r\nアダプター\r\n", {"物理アドレス", "アダプター"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(SplitAll(c.text), c.expected) << c.name;
}

TEST(OutputLines, LongLineIsCutToTheBufferAndTheNextLineStaysWhole)
{
    const std::string longLine(5000, 'x');
    const std::string text = longLine + "\r\nnext\r\n";
    const Lines lines = SplitAll(text.c_str(), 16);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(15, 'x'));
    EXPECT_EQ(lines[1], "next");
}

TEST(OutputLines, CutNeverSplitsADoubleByteCharacter)
{
    // Eight bytes of room: "アアア" (6 bytes) fits, the fourth character does not.
    EXPECT_EQ(SplitAll("アアアア\r\n", 8), Lines{"アアア"});
    EXPECT_EQ(SplitAll("xアアア\r\n", 7), Lines{"xアア"});
}

TEST(OutputLines, NullCursorOrNoRoomEndsAtOnce)
{
    char line[4] = "abc";
    EXPECT_EQ(NextOutputLine(nullptr, line, sizeof line), nullptr);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(NextOutputLine("text", line, 0), nullptr);
}

TEST(OutputLines, SearchFindsNeedleOnAnyLineButNotInsideADoubleByteCharacter)
{
    struct Case {
        const char* output;
        const char* needle;
        bool expected;
    } cases[] = {
        {"Windows IP Configuration\r\n   IPv6 Address. : 2001:db8::1\r\n", "2001:", true},
        {"   IPv6 Address. : 2001:db8::1", "2001:", true},  // last line without a line end
        {"IPv4 Address. : 192.0.2.10\r\n", "2001:", false},
        {"20\r\n01:\r\n", "2001:", false},                   // a match may not span lines
        {"リンクローカル fe80::1%4\r\n", "fe80:", true},
        // "デ" is 0x83 0x66: its trail byte is an "f", which must not begin "fe80:".
        {"デe80::1\r\n", "fe80:", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnyOutputLineContains(c.output, c.needle), c.expected) << c.output;
}

}  // namespace
