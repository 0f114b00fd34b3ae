// Facts about the test machine that every other test relies on.
#include <gtest/gtest.h>
#include <windows.h>

TEST(WinePlatform, AnsiCodePageIs932)
{
    EXPECT_EQ(GetACP(), 932u);
}

TEST(WinePlatform, NarrowLiteralsAreCp932Bytes)
{
    const unsigned char text[] = "表";
    ASSERT_EQ(sizeof text, 3u);
    EXPECT_EQ(text[0], 0x95);
    EXPECT_EQ(text[1], 0x5C);
}

TEST(WinePlatform, ThirtyTwoBitProcessUnderWow64)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64);
    EXPECT_EQ(sizeof(void*), 4u);
}
