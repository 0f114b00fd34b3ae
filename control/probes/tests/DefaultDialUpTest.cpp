#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DefaultDialUp.h"
#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "ProbeSettings.h"

namespace {

using Lines = std::vector<std::string>;

class DefaultDialUp : public FakeToolsTest {
protected:
    void TearDown() override
    {
        DeleteFileA(SettingsPath().c_str());
        FakeToolsTest::TearDown();
    }
    static std::string SettingsPath() { return TestBinFolder() + "\\Axpevlin.ini"; }

    static std::string EntryLine()
    {
        return std::string("SetEntry book=(null) name=") + kDefaultDialEntry +
               " size=2884 dwSize=2884 type=5 options=0x5010138 phone=[] devicetype=PPPoE "
               "devicename=RASDT_PPPoE protocols=4 framing=1";
    }
    static std::string DialLine(const std::string& user, const std::string& password)
    {
        return std::string("Dial book=(null) entry=") + kDefaultDialEntry + " phone=[9 -A\"\" -S\"\"] callback=[] user=" +
               user + " password=" + password + " domain=[] notifier=none";
    }
};

TEST_F(DefaultDialUp, WritesTheEntryAndDialsItWithTheDefaultAccount)
{
    EXPECT_TRUE(DialDefaultPPPoE());
    EXPECT_EQ(RasCalls(), (Lines{EntryLine(), DialLine(kDefaultPppoeUser, kDefaultPppoePassword)}));
}

TEST_F(DefaultDialUp, AccountComesFromTheSettingsFile)
{
    ASSERT_TRUE(WriteWholeFile(SettingsPath(), "[ExecuteVELDIN]\r\npppoe_userid=user@example\r\npppoe_passwd=secret\r\n"));
    EXPECT_TRUE(DialDefaultPPPoE());
    EXPECT_EQ(RasCalls(), (Lines{EntryLine(), DialLine("user@example", "secret")}));
}

TEST_F(DefaultDialUp, FailedDialHangsUpAndRemovesTheEntry)
{
    const std::string deleteLine = std::string("Delete book=(null) name=") + kDefaultDialEntry;
    const struct {
        const char* handle;
        Lines tail;
    } cases[] = {
        {"", {"HangUp 0x5A17", deleteLine}},
        {"0", {deleteLine}},  // no connection handed out: nothing to hang up
    };
    SetEnvironmentVariableA("PEVLIN_FAKE_RASDIAL", "691");
    for (const auto& c : cases) {
        ClearCalls();
        SetEnvironmentVariableA("PEVLIN_FAKE_RASHANDLE", *c.handle ? c.handle : nullptr);
        EXPECT_FALSE(DialDefaultPPPoE()) << c.handle;
        Lines expected = {EntryLine(), DialLine(kDefaultPppoeUser, kDefaultPppoePassword)};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(RasCalls(), expected) << c.handle;
    }
}

}  // namespace
