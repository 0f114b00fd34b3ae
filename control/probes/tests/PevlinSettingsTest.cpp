#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "PevlinSettings.h"
#include "ProbeSettings.h"

namespace {

class PevlinSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTestFolder("settings");
        path = folder + "\\Axpevlin.ini";
    }
    void TearDown() override
    {
        RemoveTestFolder(folder);
        DeleteFileA((TestBinFolder() + "\\Axpevlin.ini").c_str());
    }
    CPevlinSettings With(const std::string& text)
    {
        EXPECT_TRUE(WriteWholeFile(path, text));
        return CPevlinSettings(path.c_str());
    }

    std::string folder, path;
};

TEST_F(PevlinSettings, FileLiesBesideTheProcesssProgram)
{
    EXPECT_STRCASEEQ(CPevlinSettings::DefaultPath(), (TestBinFolder() + "\\Axpevlin.ini").c_str());
    ASSERT_TRUE(WriteWholeFile(TestBinFolder() + "\\Axpevlin.ini", "[ExecuteVELDIN]\r\ncheckRetryNumber=5\r\n"));
    EXPECT_EQ(CPevlinSettings().CheckRetryNumber(), 5);
}

TEST_F(PevlinSettings, MissingFileOrKeysGiveTheDefaults)
{
    for (const char* text : {static_cast<const char*>(nullptr), "", "[ExecuteVELDIN]\r\nother=1\r\n[COMMON]\r\n"}) {
        const CPevlinSettings settings = text ? With(text) : CPevlinSettings((folder + "\\none.ini").c_str());
        EXPECT_EQ(settings.CheckRetryNumber(), 2);
        EXPECT_STREQ(settings.IPv6Address(), "2001:a");
        EXPECT_STREQ(settings.PppoeUserId(), kDefaultPppoeUser);
        EXPECT_STREQ(settings.PppoePassword(), "dravo");
        EXPECT_TRUE(settings.VistaCloseWin());
    }
}

TEST_F(PevlinSettings, ValuesAreReadFromTheirSections)
{
    const CPevlinSettings settings = With(
        "[ExecuteVELDIN]\r\ncheckRetryNumber=4\r\nIPv6Address=2001:db8\r\npppoe_userid=user@example\r\n"
        "pppoe_passwd=パスワード\r\n[COMMON]\r\nVistaCloseWin=false\r\n");
    EXPECT_EQ(settings.CheckRetryNumber(), 4);
    EXPECT_STREQ(settings.IPv6Address(), "2001:db8");
    EXPECT_STREQ(settings.PppoeUserId(), "user@example");
    EXPECT_STREQ(settings.PppoePassword(), "パスワード");
    EXPECT_FALSE(settings.VistaCloseWin());
}

TEST_F(PevlinSettings, KeysInTheWrongSectionDoNotCount)
{
    const CPevlinSettings settings = With("[COMMON]\r\ncheckRetryNumber=9\r\n[ExecuteVELDIN]\r\nVistaCloseWin=no\r\n");
    EXPECT_EQ(settings.CheckRetryNumber(), 2);
    EXPECT_TRUE(settings.VistaCloseWin());
}

TEST_F(PevlinSettings, RetryNumberIsReadAsADecimalPrefix)
{
    const struct {
        const char* value;
        int number;
    } cases[] = {{"0", 0}, {"3", 3}, {"12tries", 12}, {"abc", 0}, {"-1", -1}, {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(With(std::string("[ExecuteVELDIN]\r\ncheckRetryNumber=") + c.value + "\r\n").CheckRetryNumber(),
                  c.number)
            << c.value;
}

TEST_F(PevlinSettings, CloseWindowSwitchLooksForLowerCaseTrue)
{
    const struct {
        const char* value;
        bool on;
    } cases[] = {{"true", true}, {"false", false}, {"TRUE", false}, {"True", false}, {"nottrue", true},
                 {"yes", false}, {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(With(std::string("[COMMON]\r\nVistaCloseWin=") + c.value + "\r\n").VistaCloseWin(), c.on) << c.value;
}

TEST_F(PevlinSettings, AccountTextsAreCutTo127Bytes)
{
    const std::string user(200, 'u');
    const CPevlinSettings settings = With("[ExecuteVELDIN]\r\npppoe_userid=" + user + "\r\npppoe_passwd=" + user + "\r\n");
    EXPECT_EQ(settings.PppoeUserId().GetLength(), 127);
    EXPECT_EQ(settings.PppoePassword().GetLength(), 127);
}

}  // namespace
