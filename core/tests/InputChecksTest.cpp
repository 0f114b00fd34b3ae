#include <gtest/gtest.h>

#include <string>

#include "COpsResponse.h"
#include "InputChecks.h"

namespace {

TEST(ProblemCharacters, RangesAndWholeLeadBytesAtTheirBounds)
{
    struct Case {
        BYTE lead;
        BYTE trail;
        BOOL problem;
    };
    const Case cases[] = {
        {0x81, 0x5F, FALSE}, {0x81, 0x60, TRUE},  {0x81, 0x61, TRUE},  {0x81, 0x62, FALSE}, {0x81, 0x7C, TRUE},
        {0x81, 0x7B, FALSE}, {0x81, 0x91, TRUE},  {0x81, 0x92, TRUE},  {0x81, 0x93, FALSE}, {0x81, 0xCA, TRUE},
        {0x88, 0x3F, FALSE}, {0x88, 0x40, TRUE},  {0x88, 0x7E, TRUE},  {0x88, 0x7F, FALSE}, {0x88, 0x80, TRUE},
        {0x88, 0x9E, TRUE},  {0x88, 0x9F, FALSE}, {0x85, 0x40, TRUE},  {0x87, 0x9E, TRUE},  {0x84, 0x40, FALSE},
        {0xEA, 0x40, FALSE}, {0xEB, 0x40, TRUE},  {0xFC, 0xFC, TRUE},  {0x82, 0xA0, FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsProblemDbcsChar(c.lead, c.trail), c.problem) << std::hex << int(c.lead) << " " << int(c.trail);
}

TEST(ProblemCharacters, RemovedWholeAndALoneLeadByteAtTheEndIsDropped)
{
    CString out;
    // "a", a circled one (0x8740, a problem character), "あ", "b", then a lone lead byte.
    RemoveProblemDbcsChars(out, "a\x87\x40\x82\xA0" "b\x82");
    EXPECT_EQ(std::string(out), std::string("a\x82\xA0" "b"));
    // A trail byte that looks like an ASCII letter stays with its lead.
    RemoveProblemDbcsChars(out, "\x83\x41x");
    EXPECT_EQ(std::string(out), std::string("\x83\x41x"));
}

TEST(MailAddressCheck, ResultsInTheirOrderOfTests)
{
    EXPECT_EQ(CheckMailAddressText(nullptr), 1);
    EXPECT_EQ(CheckMailAddressText(""), 1);
    EXPECT_EQ(CheckMailAddressText("a b\x82\xA0@x"), 2);
    EXPECT_EQ(CheckMailAddressText("a b@example.jp"), 3);
    EXPECT_EQ(CheckMailAddressText("a\t@example.jp"), 3);
    EXPECT_EQ(CheckMailAddressText("a\x7F@example.jp"), 3);
    EXPECT_EQ(CheckMailAddressText("user.name+tag@example.jp"), 0);
}

TEST(NickNameCheck, ResultCodesAndTheOffendingCharacter)
{
    CSimpleArray<COpsSerialInfo> serials;
    COpsSerialInfo own;
    own.SerialID = "S1";
    own.NickName = "居間のPC";
    COpsSerialInfo other;
    other.SerialID = "S2";
    other.NickName = "書斎";
    serials.Add(own);
    serials.Add(other);

    struct Case {
        const char* nickname;
        int result;
        const char* offending;
    };
    const Case cases[] = {
        {"", 1, ""},
        {"123456789012345678901234567890", 0, ""},
        {"1234567890123456789012345678901", 2, ""},
        {"ab\xB1", 3, "\xB1"},
        {"ab\x07", 4, "\x07"},
        {"a\x81\x7F", 4, "\x81\x7F"},
        {"a\x87\x40", 5, "\x87\x40"},
        {" \x81\x40 ", 7, " \x81\x40 "},
        {"書斎", 6, ""},
        {"居間のPC", 0, ""},
        {"寝室 2", 0, ""},
    };
    for (const Case& c : cases) {
        CString offending;
        EXPECT_EQ(ValidateNickName(c.nickname, "S1", serials, offending), c.result) << c.nickname;
        EXPECT_EQ(std::string(offending), std::string(c.offending)) << c.nickname;
    }
    CString offending;
    EXPECT_EQ(ValidateNickName(nullptr, "S1", serials, offending), 1);
}

}  // namespace
