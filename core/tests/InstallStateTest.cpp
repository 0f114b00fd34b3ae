#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "CTextDef.h"
#include "InstallState.h"
#include "KavoTestPaths.h"
#include "fakes/FakeProductHost.h"

namespace {

std::string Pid()
{
    return std::to_string(GetCurrentProcessId());
}

class CoInit {
public:
    CoInit() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~CoInit() { CoUninitialize(); }
    CoInit(const CoInit&) = delete;
    CoInit& operator=(const CoInit&) = delete;
};

// A key of this process's own below HKCU or HKLM, removed with everything in it.
class ScratchKey {
public:
    ScratchKey(HKEY root, REGSAM view) : m_root(root), m_view(view), m_path("Software\\KavoTest\\InstallState_" + Pid()) {}
    ~ScratchKey()
    {
        HKEY parent = nullptr;
        if (RegOpenKeyExA(m_root, "Software\\KavoTest", 0, KEY_ALL_ACCESS | m_view, &parent) == ERROR_SUCCESS) {
            RegDeleteTreeA(parent, ("InstallState_" + Pid()).c_str());
            RegCloseKey(parent);
        }
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::string& Path() const { return m_path; }
    void Set(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_WRITE | m_view, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

private:
    HKEY m_root;
    REGSAM m_view;
    std::string m_path;
};

struct StatusCase {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    int expected;
};

TEST(InstallStatusTest, OnlyAFourByteDwordIsAStatus)
{
    const StatusCase cases[] = {
        {"installed", REG_DWORD, {1, 0, 0, 0}, 1},
        {"unfinished", REG_DWORD, {0, 0, 0, 0}, 0},
        {"string one", REG_SZ, {'1', 0}, -1},
        {"eight bytes", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, -1},
        {"two bytes", REG_BINARY, {1, 0}, -1},
        {"four binary bytes", REG_BINARY, {1, 0, 0, 0}, -1},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchKey key(HKEY_CURRENT_USER, 0);
        key.Set("Status", c.type, c.data.data(), DWORD(c.data.size()));
        CTextDef::SetText("COMMON_REG_XGINSTALLSTATUS", ("HKEY_CURRENT_USER\\" + key.Path() + "\\Status").c_str());
        EXPECT_EQ(GetInstallStatus(), c.expected);
    }
}

TEST(InstallStatusTest, MissingKeyValueOrRootAnswersMinusOne)
{
    ScratchKey key(HKEY_CURRENT_USER, 0);
    const DWORD one = 1;
    key.Set("Other", REG_DWORD, &one, sizeof one);
    const std::string texts[] = {
        "HKEY_CURRENT_USER\\" + key.Path() + "\\Status",
        "HKEY_CURRENT_USER\\" + key.Path() + "_missing\\Other",
        key.Path() + "\\Other",
        "",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        CTextDef::SetText("COMMON_REG_XGINSTALLSTATUS", text.c_str());
        EXPECT_EQ(GetInstallStatus(), -1);
    }
}

TEST(InstallStatusTest, MachineStatusIsReadFromThe64BitView)
{
    ScratchKey view64(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
    ScratchKey view32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    CTextDef::SetText("COMMON_REG_XGINSTALLSTATUS", ("HKLM\\" + view64.Path() + "\\Status").c_str());
    const DWORD zero = 0;
    view32.Set("Status", REG_DWORD, &zero, sizeof zero);
    EXPECT_EQ(GetInstallStatus(), -1) << "a value in the 32-bit view only is not the product's";
    const DWORD one = 1;
    view64.Set("Status", REG_DWORD, &one, sizeof one);
    EXPECT_EQ(GetInstallStatus(), 1);
}

class InstalledProductTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.IsRegistered());
        CTextDef::SetText("COMMON_CT_PRODUCTID", "KAVO-TEST-PRODUCT");
        CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "17.0");
    }
    void TearDown() override { EXPECT_EQ(host.LiveObjects(), 0) << "the product object was not released"; }

    CoInit com;
    FakeProductHost host;
};

TEST_F(InstalledProductTest, InfoReportsTheProductsIdAndVersion)
{
    host.Configure(L"KAVO-TEST-PRODUCT", L"17.0.1234");
    CString productId;
    CString version;
    ASSERT_TRUE(GetInstalledProductInfo(productId, version));
    EXPECT_STREQ(productId, "KAVO-TEST-PRODUCT");
    EXPECT_STREQ(version, "17.0.1234");
}

TEST_F(InstalledProductTest, FailingObjectAnswersNoAndIsReleased)
{
    struct Case {
        const char* name;
        HRESULT create;
        HRESULT productId;
        HRESULT version;
    };
    const Case cases[] = {
        {"cannot be created", E_FAIL, S_OK, S_OK},
        {"product id fails", S_OK, E_FAIL, S_OK},
        {"version fails", S_OK, S_OK, E_UNEXPECTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.Configure(L"KAVO-TEST-PRODUCT", L"17.0", c.create, c.productId, c.version);
        CString productId;
        CString version;
        EXPECT_FALSE(GetInstalledProductInfo(productId, version));
        EXPECT_EQ(host.LiveObjects(), 0);
        EXPECT_FALSE(IsExpectedProductInstalled());
        EXPECT_EQ(host.LiveObjects(), 0);
    }
}

TEST_F(InstalledProductTest, ExpectedProductMatchesIdWithoutCaseAndVersionByLeadingParts)
{
    struct Case {
        const wchar_t* productId;
        const wchar_t* version;
        const char* expectedVersion;
        BOOL installed;
    };
    const Case cases[] = {
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "17", TRUE},
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "17.0", TRUE},
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "17.0.1234", TRUE},
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "17.0.1234.0", TRUE},
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "17.0.123", FALSE},
        {L"KAVO-TEST-PRODUCT", L"17..0...1234", "17.0.1234", TRUE},
        {L"KAVO-TEST-PRODUCT", L"17.0.1234", "", FALSE},
        {L"kavo-test-product", L"17.0.1234", "17.0", TRUE},
        {L"KAVO-OTHER-PRODUCT", L"17.0.1234", "17.0", FALSE},
        {L"KAVO-TEST-PRODUCT", L"18.0", "17.0", FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(CString(c.version).GetString()) + " against " + c.expectedVersion);
        host.Configure(c.productId, c.version);
        CTextDef::SetText("COMMON_CT_PRODUCTVERSION", c.expectedVersion);
        EXPECT_EQ(IsExpectedProductInstalled(), c.installed);
        EXPECT_EQ(host.LiveObjects(), 0);
    }
}

TEST(InstalledProductAbsentTest, NoRegisteredObjectAnswersNo)
{
    CoInit com;
    CString productId;
    CString version;
    EXPECT_FALSE(GetInstalledProductInfo(productId, version));
    EXPECT_FALSE(IsExpectedProductInstalled());
}

// RunOnce is shared by every test process: values carry this process's id and go afterwards.
class InstallerPendingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", ("%TEMP%\\kavo_pending_" + Pid()).c_str());
        CTextDef::SetText("COMMON_CMD_XGINSTALL", "Setup.exe");
        setupPath = TempFolder() + "\\kavo_pending_" + Pid() + "\\Setup.exe";
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &runOnce, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        for (const std::string& name : names)
            RegDeleteValueA(runOnce, name.c_str());
        RegCloseKey(runOnce);
    }
    std::string Add(const std::string& suffix, const std::string& data)
    {
        const std::string name = "kavo_pending_" + Pid() + "_" + suffix;
        RegSetValueExA(runOnce, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
        names.push_back(name);
        return name;
    }
    int IndexOf(const std::string& wanted)
    {
        for (DWORD i = 0;; ++i) {
            char name[1024];
            DWORD length = sizeof name;
            if (RegEnumValueA(runOnce, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return -1;
            if (wanted == name)
                return int(i);
        }
    }
    static std::string Upper(std::string text)
    {
        CharUpperBuffA(&text[0], DWORD(text.size()));
        return text;
    }

    HKEY runOnce = nullptr;
    std::vector<std::string> names;
    std::string setupPath;
};

TEST_F(InstallerPendingTest, SetupCommandInRunOnceIsFoundQuotedOrNotInAnyCase)
{
    const std::string values[] = {setupPath, "\"" + Upper(setupPath) + "\"", "\"" + setupPath + "\" /resume"};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        Add("setup", value);
        EXPECT_TRUE(IsInstallerPending(FALSE));
    }
}

TEST_F(InstallerPendingTest, OtherCommandsAreNotThePendingSetup)
{
    Add("other", setupPath + ".old");
    Add("folder", TempFolder() + "\\kavo_pending_" + Pid());
    EXPECT_FALSE(IsInstallerPending(FALSE));
}

TEST_F(InstallerPendingTest, OverlongValueBeforeTheSetupIsSkipped)
{
    const std::string longValue = Add("a_long", "\"C:\\" + std::string(600, 'x') + "\"");
    const std::string setup = Add("b_setup", "\"" + setupPath + "\"");
    ASSERT_LT(IndexOf(longValue), IndexOf(setup)) << "the long value must be enumerated first to prove anything";
    EXPECT_TRUE(IsInstallerPending(FALSE));
}

TEST_F(InstallerPendingTest, OverlongNameBeforeTheSetupIsSkipped)
{
    const std::string longName = Add("a_" + std::string(300, 'n'), "x");
    const std::string setup = Add("b_setup", setupPath);
    ASSERT_LT(IndexOf(longName), IndexOf(setup));
    EXPECT_TRUE(IsInstallerPending(FALSE));
}

// Wine's scheduler lists no registered tasks, so only the no-match road can run here; the
// match itself is covered through RunOnce, which shares the target and quote handling.
TEST_F(InstallerPendingTest, TaskSchedulerWithoutTheTaskAnswersNo)
{
    CoInit com;
    EXPECT_FALSE(IsInstallerPending(TRUE));
}

}  // namespace
