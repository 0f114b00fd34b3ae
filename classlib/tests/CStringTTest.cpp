#include <gtest/gtest.h>

#include "CStringT.h"

namespace {

// "表" and "ソ" end in the byte 0x5C, which a byte-wise search would take for "\".
const char kHyou[] = "表";
const char kSo[] = "ソ";

TEST(CStringT, TrailByteOfDoubleByteCharacterIsNeverTakenForBackslash)
{
    ASSERT_EQ(BYTE(kHyou[1]), 0x5C);
    CString path = CString("C:\\") + kHyou + "\\" + kSo;
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.ReverseFind('\\'), 5);
    EXPECT_EQ(path.Find("\\", 3), 5);
    EXPECT_EQ(path.FindOneOf("\\/"), 2);

    CString trimmed = CString(kSo) + "\\\\";
    trimmed.TrimRight('\\');
    EXPECT_EQ(trimmed, kSo);

    CString replaced = path;
    EXPECT_EQ(replaced.Replace('\\', '/'), 2);
    EXPECT_EQ(replaced, CString("C:/") + kHyou + "/" + kSo);

    CString removed = path;
    EXPECT_EQ(removed.Remove('\\'), 2);
    EXPECT_EQ(removed, CString("C:") + kHyou + kSo);
}

TEST(CStringT, MakeUpperLeavesDoubleByteCharactersAlone)
{
    // The trail byte 0x61 of some characters is 'a'.
    CString text = "ab";
    text += "\x82\x61";
    text.MakeUpper();
    EXPECT_EQ(text, "AB\x82\x61");
}

struct TokenizeCase {
    const char* text;
    const char* delimiters;
    std::vector<std::string> tokens;
};

class Tokenize : public ::testing::TestWithParam<TokenizeCase> {};

TEST_P(Tokenize, SkipsDelimiterRunsAndEndsWithMinusOne)
{
    const TokenizeCase& c = GetParam();
    CString text = c.text;
    std::vector<std::string> tokens;
    int start = 0;
    for (;;) {
        CString token = text.Tokenize(c.delimiters, start);
        if (start == -1) {
            EXPECT_TRUE(token.IsEmpty());
            break;
        }
        tokens.emplace_back(token.GetString());
        ASSERT_LT(tokens.size(), 20u);
    }
    EXPECT_EQ(tokens, c.tokens);
}

INSTANTIATE_TEST_SUITE_P(Cases, Tokenize,
    ::testing::Values(
        TokenizeCase{"a,b,,c", ",", {"a", "b", "c"}},
        TokenizeCase{",,a", ",", {"a"}},
        TokenizeCase{"a,,", ",", {"a"}},
        TokenizeCase{"", ",", {}},
        TokenizeCase{",,,", ",", {}},
        TokenizeCase{"x y\tz", " \t", {"x", "y", "z"}},
        TokenizeCase{"表\\ソ", "\\", {"表", "ソ"}}));

TEST(CStringT, TokenizeFromOutsideTheTextEndsAtOnce)
{
    CString text = "a b";
    int start = 10;
    EXPECT_TRUE(text.Tokenize(" ", start).IsEmpty());
    EXPECT_EQ(start, -1);
}

struct ReplaceCase {
    const char* text;
    const char* oldText;
    const char* newText;
    int count;
    const char* result;
};

class ReplaceText : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceText, ReplacesLeftToRightWithoutOverlap)
{
    const ReplaceCase& c = GetParam();
    CString text = c.text;
    EXPECT_EQ(text.Replace(c.oldText, c.newText), c.count);
    EXPECT_EQ(text, c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceText,
    ::testing::Values(
        ReplaceCase{"&CURL;/a/&CURL;", "&CURL;", "http://h", 2, "http://h/a/http://h"},
        ReplaceCase{"aaa", "aa", "b", 1, "ba"},
        ReplaceCase{"abc", "x", "y", 0, "abc"},
        ReplaceCase{"abc", "b", "", 1, "ac"},
        ReplaceCase{"abc", "", "y", 0, "abc"},
        ReplaceCase{"", "a", "b", 0, ""},
        ReplaceCase{"x\x95\\x", "\\", "/", 0, "x\x95\\x"}));

TEST(CStringT, MidLeftRightClampToTheText)
{
    CString text = "abcdef";
    EXPECT_EQ(text.Mid(2), "cdef");
    EXPECT_EQ(text.Mid(2, 2), "cd");
    EXPECT_EQ(text.Mid(-3, 2), "ab");
    EXPECT_EQ(text.Mid(4, 100), "ef");
    EXPECT_EQ(text.Mid(10), "");
    EXPECT_EQ(text.Left(100), "abcdef");
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Right(2), "ef");
    EXPECT_EQ(text.Right(100), "abcdef");
}

TEST(CStringT, TrimFamilyUsesTheGivenSet)
{
    CString text = " \t\r\nabc \r\n";
    text.Trim();
    EXPECT_EQ(text, "abc");

    CString quoted = "\"\"x\"\"";
    quoted.Trim('"');
    EXPECT_EQ(quoted, "x");

    CString set = "-+a+-";
    set.TrimLeft("+-");
    EXPECT_EQ(set, "a+-");
    set.TrimRight("+-");
    EXPECT_EQ(set, "a");

    CString blank = "   ";
    blank.Trim();
    EXPECT_TRUE(blank.IsEmpty());
}

TEST(CStringT, FormatGrowsPastAnyFirstGuess)
{
    CString big(' ', 1000);
    CString text;
    text.Format("[%s|%d|%04d]", big.GetString(), -5, 7);
    EXPECT_EQ(text.GetLength(), 1000 + 10);
    EXPECT_EQ(text.Right(9), "|-5|0007]");
    text.AppendFormat("%08X", 0xABCu);
    EXPECT_EQ(text.Right(8), "00000ABC");
}

TEST(CStringT, ComparisonIsByteWiseAndCompareNoCaseFoldsAscii)
{
    CString a = "abc";
    EXPECT_EQ(a.Compare("abc"), 0);
    EXPECT_LT(a.Compare("abd"), 0);
    EXPECT_GT(CString("\x95\\").Compare("a"), 0);
    EXPECT_EQ(a.CompareNoCase("ABC"), 0);
    EXPECT_NE(a.CompareNoCase("ABD"), 0);
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE(a != "ab");
    EXPECT_TRUE(CString("ab") < a);
}

TEST(CStringT, BufferRoundTripTakesTheWrittenLength)
{
    CString text;
    char* buffer = text.GetBuffer(MAX_PATH);
    DWORD length = GetEnvironmentVariableA("SYSTEMROOT", buffer, MAX_PATH);
    text.ReleaseBuffer();
    EXPECT_EQ(DWORD(text.GetLength()), length);

    char* exact = text.GetBufferSetLength(3);
    exact[0] = 'x';
    text.ReleaseBuffer(1);
    EXPECT_EQ(text, "x");
}

TEST(CStringT, ConvertsBetweenCodePage932AndUtf16)
{
    CStringW wide = CString(kHyou);
    ASSERT_EQ(wide.GetLength(), 1);
    EXPECT_EQ(wide[0], L'\x8868');
    CString narrow = CStringW(L"\x30BD");
    EXPECT_EQ(narrow, kSo);
}

TEST(CStringT, SelfAppendAndSelfAssignKeepTheText)
{
    CString text = "ab";
    text += text;
    EXPECT_EQ(text, "abab");
    text.Append(text.GetString() + 2, 2);
    EXPECT_EQ(text, "ababab");
    text = text.GetString() + text.Find("ab", 3);
    EXPECT_EQ(text, "ab");
}

TEST(CStringT, StringIsFreedAndGrownByTheManagerThatAllocatedIt)
{
    struct Manager : IAtlStringMgr {
        CStringData* Allocate(int length, int charSize) override
        {
            ++allocated;
            CStringData* data = AtlGetStringManager()->Allocate(length, charSize);
            if (data)
                data->pStringMgr = this;
            return data;
        }
        void Free(CStringData* data) override
        {
            ++freed;
            AtlGetStringManager()->Free(data);
        }
        CStringData* Reallocate(CStringData* data, int length, int charSize) override
        {
            ++reallocated;
            CStringData* grown = AtlGetStringManager()->Reallocate(data, length, charSize);
            if (grown)
                grown->pStringMgr = this;
            return grown;
        }
        int allocated = 0, freed = 0, reallocated = 0;
    } manager;

    {
        CString text = "short";
        text.SetManager(&manager);
        EXPECT_EQ(text.GetManager(), &manager);
        EXPECT_EQ(text, "short");
        EXPECT_EQ(manager.allocated, 1);

        CString grown(' ', 4000);
        text += grown;
        EXPECT_EQ(manager.reallocated + manager.allocated, 2);
        EXPECT_EQ(text.GetManager(), &manager);

        // A copy is this module's own string, not a second owner of the buffer.
        CString copy = text;
        EXPECT_EQ(copy.GetManager(), AtlGetStringManager());
    }
    EXPECT_EQ(manager.freed, 1);
}

}  // namespace
