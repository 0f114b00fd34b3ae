#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoundedText.h"
#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "PortalProfiles.h"

namespace {

TEST(ProfileLine, NameStandsBetweenTheMarkAndItsBracket)
{
    const struct {
        const char* line;
        bool marked;
        const char* name;
    } cases[] = {
        {"[Profile_ルミオ・スクウェア]", true, "ルミオ・スクウェア"},
        {"[Profile_ルミオ・スクウェア]\r\n", true, "ルミオ・スクウェア"},
        {"[Profile_ルミオ・スクウェア]\n", true, "ルミオ・スクウェア"},
        // The last line of a file may lack both the line end and the bracket.
        {"[Profile_ルミオ・スクウェア", true, "ルミオ・スクウェア"},
        {"[Profile_Home]", true, "Home"},
        // "ゾ" is 0x83 0x5D: its trail byte is a "]".
        {"[Profile_ルミオ・ゾーン]", true, "ルミオ・ゾーン"},
        {"[Profile_]", true, ""},
        {"[Profile_", true, ""},
        {"[Profile", false, ""},
        {"", false, ""},
        {"Name=ルミオ・スクウェア", false, ""},
    };
    for (const auto& c : cases) {
        CString name("old");
        EXPECT_EQ(ProfileNameFromLine(c.line, name), c.marked) << c.line;
        EXPECT_STREQ(name, c.name) << c.line;
    }
}

const char kProfileFile[] =
    "[General]\r\nVersion=2\r\n"
    "[Profile_ルミオ・ニンブラル]\r\nUser=a\r\n"
    "[Profile_ルミオ・スクウェア]\r\nUser=b\r\n"
    "[Profile_ルミオ・スクウェア接続]\r\n"
    "[Profile_ルミオ・コミュニケーション]\r\n"
    "[Profile_ルミオ速度測定サイト]\r\n"
    "[Profile_自宅]\r\n"
    "[Profile_ルミオ・ゾーン]";

class PortalProfiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTestFolder("profiles");
        path = folder + "\\profiles.dat";
        ASSERT_TRUE(WriteWholeFile(path, kProfileFile));
        CopyBounded(state.profileFilePath, path.c_str());
    }
    void TearDown() override { RemoveTestFolder(folder); }

    std::vector<std::string> Listed() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < state.profileList.GetSize(); ++i)
            names.push_back(state.profileList[i].GetString());
        return names;
    }

    std::string folder, path;
    PevlinState state;
};

TEST_F(PortalProfiles, RegionLeavesItsOwnPortalProfilesOutOfTheList)
{
    const struct {
        const char* companyCode;
        std::vector<std::string> listed;
    } cases[] = {
        {"JARO",
         {"ルミオ・ニンブラル", "ルミオ・スクウェア", "ルミオ・コミュニケーション", "ルミオ速度測定サイト", "自宅",
          "ルミオ・ゾーン"}},
        {"KELM", {"ルミオ・ニンブラル", "ルミオ・スクウェア接続", "自宅", "ルミオ・ゾーン"}},
        {"OTHER", {}},
    };
    for (const auto& c : cases) {
        state.CompanyCode = c.companyCode;
        state.profileList.Add(CString("left over"));
        EXPECT_TRUE(CollectPortalProfiles(state)) << c.companyCode;
        EXPECT_EQ(Listed(), c.listed) << c.companyCode;
    }
}

TEST_F(PortalProfiles, UnreadableFileGivesFalseAndAnEmptyList)
{
    state.CompanyCode = "JARO";
    for (const std::string& unreadable : {std::string(), folder + "\\missing.dat"}) {
        CopyBounded(state.profileFilePath, unreadable.c_str());
        state.profileList.Add(CString("left over"));
        EXPECT_FALSE(CollectPortalProfiles(state)) << unreadable;
        EXPECT_EQ(state.profileList.GetSize(), 0) << unreadable;
        CopyBounded(state.profileName, "ルミオ・スクウェア");
        EXPECT_FALSE(HasPortalProfile(state)) << unreadable;
    }
}

TEST_F(PortalProfiles, ProfileIsFoundByItsWholeName)
{
    const struct {
        const char* profileName;
        bool found;
    } cases[] = {
        {"ルミオ・スクウェア", true},
        {"ルミオ・ニンブラル", true},
        {"ルミオ・ゾーン", true},  // on the last line, without a line end
        {"ルミオ", false},
        {"ルミオ・スクウェア接続です", false},
        {"", false},
    };
    for (const auto& c : cases) {
        CopyBounded(state.profileName, c.profileName);
        EXPECT_EQ(HasPortalProfile(state), c.found) << c.profileName;
    }
}

}  // namespace
