#include "FormatDateText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CTextDef.h"

namespace {

TEST(FormatDateText, DatesOfTheOrderSystemAsThePagesShowThem)
{
    ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
    struct Case {
        const char* date;
        const char* text;
    };
    const Case cases[] = {
        {"2023-04-01", "2023年04月01日"},
        {"2023-04-01 10:20:30", "2023年04月01日"},
        {"2023-04-01T10:20:30+09:00", "2023年04月01日"},
        {"2024/12/31", "2024年12月31日"},
        {" \t2023-04-01\r\n", "2023年04月01日"},
        {"", "---"},
        {" \t ", "---"},
        {nullptr, "---"},
        // Too short to hold a date: nothing to rewrite, and nothing read past its end.
        {"2023-4-1", "2023-4-1"},
        {" 2023-04 ", "2023-04"},
        {"x", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date ? c.date : "(null)");
        EXPECT_EQ(std::string(FormatDateText(c.date)), c.text);
    }
}

TEST(FormatDateText, EmptyDateShowsTheDefinitionsText)
{
    ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
    CTextDef::SetText("COMMON_EMPTYDATE", "未定");
    EXPECT_EQ(std::string(FormatDateText("  ")), "未定");
    CTextDef::SetText("COMMON_EMPTYDATE", "");
    EXPECT_EQ(std::string(FormatDateText("")), "");
}

}  // namespace
