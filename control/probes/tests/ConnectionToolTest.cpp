// Detection of the connection tool from its registry keys and files, and the command lines
// built for it. The keys are written into this prefix's machine hive and removed again.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CRegKey.h"
#include "ConnectionToolDetection.h"
#include "ConnectionToolRegistry.h"
#include "FakeTools.h"
#include "KavoTestPaths.h"

namespace {


void RemoveToolKeys()
{
    CRegKey software;
    if (software.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS) == ERROR_SUCCESS)
        software.RecurseDeleteKey("Efficient Networks");
}

std::string ProcessCommandLineResult(const std::string& commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return "not started";
    WaitForSingleObject(started.hProcess, 20000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return "started";
}

class ConnectionTool : public FakeToolsTest {
protected:
    void SetUp() override
    {
        FakeToolsTest::SetUp();
        if (HasFatalFailure())
            return;
        RemoveToolKeys();
        root = MakeTestFolder("tool");
        // A folder name with a blank, as below "Program Files".
        toolFolder = root + "\\Connection Tool";
        CreateDirectoryA(toolFolder.c_str(), nullptr);
        CreateDirectoryA((toolFolder + "\\app").c_str(), nullptr);
        program = toolFolder + "\\app\\TangoManager.exe";
        quoted = "\"" + program + "\"";
    }
    void TearDown() override
    {
        RemoveToolKeys();
        RemoveTestFolder(root);
        FakeToolsTest::TearDown();
    }

    void InstallProgram()
    {
        ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\pevlin_fake_tool.exe").c_str(), program.c_str(), FALSE));
    }
    void WriteToolIni(const std::string& text)
    {
        ASSERT_TRUE(WriteWholeFile(toolFolder + "\\app\\TangoManager.ini", text));
    }
    // version or company null: the value is not written.
    void WriteToolKey(const char* version, const char* company, const std::string& path)
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kConnectionToolKey), ERROR_SUCCESS);
        if (version) {
            ASSERT_EQ(key.SetStringValue("Version", version), ERROR_SUCCESS);
        }
        if (company) {
            ASSERT_EQ(key.SetStringValue("CompanyName", company), ERROR_SUCCESS);
        }
        ASSERT_EQ(key.SetStringValue("Path", path.c_str()), ERROR_SUCCESS);
    }
    void WriteOldToolKey()
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kOldConnectionToolKey), ERROR_SUCCESS);
    }

    std::string root, toolFolder, program, quoted;
};

TEST_F(ConnectionTool, KindAndRegionFollowVersionCompanyProgramAndTheOldToolsKey)
{
    const std::string longVersion(300, '2');
    struct Case {
        const char* name;
        bool toolKey;
        const char* version;
        const char* company;
        bool program;
        bool oldKey;
        int versionKind;
        int companyKind;
        int kind;
        const char* region;
    } cases[] = {
        {"nothing installed", false, nullptr, nullptr, false, false, 0, -1, -1, ""},
        {"only the old tool", false, nullptr, nullptr, false, true, 0, -1, 0, ""},
        {"1.2. version of KRVJ", true, "1.2.5", "KRVJ", true, false, 1, 0, 1, "JARO"},
        {"newer version of KRVJ", true, "2.2.5", "KRVJ", true, false, 2, 0, 2, "JARO"},
        {"newer version of KRVK", true, "2.2.5", "KRVK", true, false, 2, 1, 2, "KELM"},
        {"1.2 without its dot", true, "1.2", "KRVJ", true, false, 2, 0, 2, "JARO"},
        {"other company", true, "2.2.5", "KRVX", true, false, 2, -1, -1, ""},
        {"other company, old tool too", true, "2.2.5", "KRVX", true, true, 2, -1, 0, ""},
        {"company compared exactly", true, "2.2.5", "krvj", true, false, 2, -1, -1, ""},
        {"company missing", true, "2.2.5", nullptr, true, false, 2, -1, -1, ""},
        {"version missing", true, nullptr, "KRVJ", true, false, -1, 0, -1, ""},
        {"version missing, old tool too", true, nullptr, "KRVJ", true, true, -1, 0, 0, ""},
        {"version too long", true, longVersion.c_str(), "KRVJ", true, false, -1, 0, -1, ""},
        {"program missing", true, "2.2.5", "KRVJ", false, false, 2, 0, -1, ""},
        {"program missing, old tool too", true, "2.2.5", "KRVJ", false, true, 2, 0, 0, ""},
    };
    for (const Case& c : cases) {
        RemoveToolKeys();
        DeleteFileA(program.c_str());
        if (c.toolKey)
            WriteToolKey(c.version, c.company, toolFolder);
        if (c.oldKey)
            WriteOldToolKey();
        if (c.program)
            InstallProgram();

        EXPECT_EQ(GetToolVersionKind(), c.versionKind) << c.name;
        EXPECT_EQ(GetToolCompany(), c.companyKind) << c.name;
        EXPECT_EQ(HasOldConnectionTool(), c.oldKey) << c.name;
        PevlinState state;
        state.toolKind = 7;
        strcpy(state.toolRegion, "OLD");
        strcpy(state.connectCommand, "old command");
        strcpy(state.profileFilePath, "old path");
        DetectConnectionTool(state);
        EXPECT_EQ(state.toolKind, c.kind) << c.name;
        EXPECT_STREQ(state.toolRegion, c.region) << c.name;
        if (c.kind < 1) {
            EXPECT_STREQ(state.connectCommand, "") << c.name;
            EXPECT_STREQ(state.profileFilePath, "") << c.name;
        }
    }
}

TEST_F(ConnectionTool, PathIsGivenOnlyWhenTheProgramIsThere)
{
    WriteToolKey("2.2.5", "KRVJ", toolFolder);
    CString path("old");
    EXPECT_FALSE(GetToolPath(path));
    EXPECT_TRUE(path.IsEmpty());
    InstallProgram();
    ASSERT_TRUE(GetToolPath(path));
    EXPECT_EQ(std::string(path), toolFolder);
}

TEST_F(ConnectionTool, KrvjToolGetsEveryCommandWithTheProgramQuoted)
{
    WriteToolKey("2.2.5", "KRVJ", toolFolder);
    InstallProgram();
    WriteToolIni("[INIFILE]\r\nFilename=profiles.dat\r\n");
    PevlinState state;
    DetectConnectionTool(state);
    EXPECT_EQ(std::string(state.connectCommand), quoted + " -session=ルミオ・ニンブラル]");
    EXPECT_EQ(std::string(state.toolProgramPath), program);
    EXPECT_EQ(std::string(state.minimisedStartCommand), quoted + " -min");
    EXPECT_STREQ(state.profileName, "ルミオ・ニンブラル");
    EXPECT_EQ(std::string(state.createProfileCommand),
              quoted +
                  " -create profile -name ルミオ・ニンブラル -username \"square-guest\" -password \"pomel\""
                  " -routeserver \"http://rs.square.lumio-net.jp/routing.html\"");
    EXPECT_EQ(std::string(state.profileFilePath), toolFolder + "/app/profiles.dat");
}

TEST_F(ConnectionTool, KrvkToolGetsOnlyTheSessionCommandAndItsProfile)
{
    WriteToolKey("1.2.9", "KRVK", toolFolder);
    InstallProgram();
    WriteToolIni("[INIFILE]\r\nFilename=kelm.dat\r\n");
    PevlinState state;
    DetectConnectionTool(state);
    EXPECT_EQ(state.toolKind, 1);
    EXPECT_EQ(std::string(state.connectCommand), quoted + " -session=");
    EXPECT_STREQ(state.profileName, "ルミオ・スクウェア");
    EXPECT_STREQ(state.toolProgramPath, "");
    EXPECT_STREQ(state.minimisedStartCommand, "");
    EXPECT_STREQ(state.createProfileCommand, "");
    EXPECT_EQ(std::string(state.profileFilePath), toolFolder + "/app/kelm.dat");
}

TEST_F(ConnectionTool, ProfileFileIsUnknownWithoutTheSettingsEntry)
{
    WriteToolKey("2.2.5", "KRVJ", toolFolder);
    InstallProgram();
    for (const char* ini : {"", "[INIFILE]\r\nOther=x\r\n"}) {
        if (*ini)
            WriteToolIni(ini);
        PevlinState state;
        DetectConnectionTool(state);
        EXPECT_EQ(state.toolKind, 2);
        EXPECT_STREQ(state.profileFilePath, "") << ini;
    }
}

TEST_F(ConnectionTool, SessionArgumentFollowsTheCompanyCode)
{
    struct Case {
        const char* company;
        const char* companyCode;
        std::string expected;
    } cases[] = {
        {"KRVK", "KELM", " -session=ルミオ・スクウェア]"},
        {"KRVK", "JARO", " -session=ルミオ・スクウェア]"},
        // The KRVJ command already names its profile: the name stands there a second time.
        {"KRVJ", "JARO", " -session=ルミオ・ニンブラル]ルミオ・ニンブラル]"},
        {"KRVJ", "OTHER", " -session=ルミオ・ニンブラル]"},
        {"KRVK", "", " -session="},
    };
    InstallProgram();
    for (const Case& c : cases) {
        RemoveToolKeys();
        WriteToolKey("2.2.5", c.company, toolFolder);
        PevlinState state;
        state.CompanyCode = c.companyCode;
        DetectConnectionTool(state);
        BuildSessionArgument(state);
        EXPECT_EQ(std::string(state.connectCommand), quoted + c.expected) << c.company << " " << c.companyCode;
    }
}

TEST_F(ConnectionTool, CommandsRunTheToolEvenWithAProgramPlantedAtTheFirstBlank)
{
    // Unquoted, the program path "...\Connection Tool\app\..." would start "...\Connection.exe".
    ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\pevlin_fake_tool.exe").c_str(), (root + "\\Connection.exe").c_str(),
                          FALSE));
    WriteToolKey("2.2.5", "KRVJ", toolFolder);
    InstallProgram();
    PevlinState state;
    state.CompanyCode = "JARO";
    DetectConnectionTool(state);
    BuildSessionArgument(state);
    const std::vector<std::string> commands = {state.connectCommand, state.minimisedStartCommand,
                                               state.createProfileCommand};
    for (const std::string& command : commands)
        EXPECT_EQ(ProcessCommandLineResult(command), "started") << command;
    EXPECT_EQ(CallsOf("tangomanager"), commands);
    EXPECT_TRUE(CallsOf("connection").empty());
}

}  // namespace
