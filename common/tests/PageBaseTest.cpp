#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "CKAVODlg.h"
#include "KavoTestPaths.h"
#include "LauncherTool.h"

namespace {

// The slot of a virtual function, read from its member-pointer (the compiler's ABI stores
// one plus the byte offset in the table). Hosts call pages of the core library through this
// table, so its order is a contract between separately built binaries.
template <typename F>
int Slot(F function)
{
    struct Raw {
        std::uintptr_t pointer;
        std::ptrdiff_t adjust;
    } raw;
    static_assert(sizeof(F) == sizeof(Raw), "member pointers are two words");
    std::memcpy(&raw, &function, sizeof raw);
    if (!(raw.pointer & 1))
        return -1;
    return int((raw.pointer - 1) / sizeof(void*));
}

TEST(PageBase, OperationsKeepTheirSlotOrder)
{
    // Two destructor entries follow the message map; the dialog slots come next.
    EXPECT_EQ(Slot(&CWBDialog::ProcessWindowMessage), 0);
    EXPECT_EQ(Slot(&CWBDialog::GetDialogProc), 3);
    EXPECT_EQ(Slot(&CWBDialog::OnFinalMessage), 4);
    EXPECT_EQ(Slot(&CWBDialog::CreateActiveXControls), 5);
    const int slots[] = {
        Slot(&CWBDialog::OnCancel),
        Slot(&CWBDialog::BeforeNavigate2),
        Slot(&CWBDialog::DocumentComplete),
        Slot(&CWBDialog::CommandStateChange),
        Slot(&CWBDialog::NavigateError),
        Slot(&CWBDialog::NewWindow3),
        Slot(&CWBDialog::ItemBeforeNavigate2),
        Slot(&CWBDialog::ItemDocumentComplete),
        Slot(&CWBDialog::ItemCommandStateChange),
        Slot(&CWBDialog::ItemNavigateError),
        Slot(&CWBDialog::GetHostFlags),
        Slot(&CWBDialog::OnBeforeBrowserSetup),
        Slot(&CWBDialog::SendStatistics),
        Slot(&CWBDialog::ResolveEntity),
        Slot(&CWBDialog::InitTexts),
        Slot(&CWBDialog::InitFonts),
        Slot(&CWBDialog::OnItemDocumentReady),
        Slot(&CWBDialog::DoPaint),
        Slot(&CWBDialog::OnPageInit),
        Slot(&CWBDialog::LoadBrowserContent),
        Slot(&CWBDialog::SetCurrentStep),
        Slot(&CWBDialog::ResolvePage),
    };
    for (size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i)
        EXPECT_EQ(slots[i], int(6 + i)) << "operation " << i + 6;
    // The page template adds no operation in front of them.
    EXPECT_EQ(Slot(&CKAVODlgBase::ResolvePage), Slot(&CWBDialog::ResolvePage));
}

struct LocationCase {
    const char* text;
    HKEY root;
    const char* keyPath;
    const char* valueName;
};

class LauncherLocation : public ::testing::TestWithParam<LocationCase> {};

TEST_P(LauncherLocation, SplitsRootKeyAndValue)
{
    const LauncherToolLocation location = SplitLauncherToolPath(GetParam().text);
    EXPECT_EQ(location.root, GetParam().root);
    EXPECT_EQ(location.keyPath, GetParam().keyPath);
    EXPECT_EQ(location.valueName, GetParam().valueName);
}

INSTANTIATE_TEST_SUITE_P(Cases, LauncherLocation, ::testing::Values(
    LocationCase{"HKEY_CURRENT_USER\\Software\\KRV-K\\XGFlow\\settings\\ProgramPath", HKEY_CURRENT_USER,
                 "Software\\KRV-K\\XGFlow\\settings", "ProgramPath"},
    LocationCase{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool\\", HKEY_LOCAL_MACHINE, "SOFTWARE\\Tool\\", ""},
    LocationCase{"Software\\A\\B", HKEY_CURRENT_USER, "Software\\A", "B"},
    LocationCase{"HKLM\\SOFTWARE\\A\\B", HKEY_CURRENT_USER, "HKLM\\SOFTWARE\\A", "B"}));

TEST(LauncherCommand, BarePathWithBlanksIsQuoted)
{
    const std::string folder = TempFolder() + "\\kavo launcher tool";
    const std::string tool = folder + "\\tool.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    CloseHandle(CreateFileA(tool.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    EXPECT_EQ(LauncherCommandLine(CString(tool.c_str()) + " "), ("\"" + tool + "\"").c_str());
    EXPECT_EQ(LauncherCommandLine(("\"" + tool + "\" -x").c_str()), ("\"" + tool + "\" -x").c_str());
    EXPECT_EQ(LauncherCommandLine((tool + " -x").c_str()), (tool + " -x").c_str());
    EXPECT_EQ(LauncherCommandLine(folder.c_str()), folder.c_str());
    EXPECT_EQ(LauncherCommandLine("  "), "");

    DeleteFileA(tool.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(PageBase, OnlyWebAddressesOpenInTheDefaultBrowser)
{
    for (const char* url : {"http://127.0.0.1/a", "HTTPS://127.0.0.1/", "https://x"})
        EXPECT_TRUE(IsWebUrl(url)) << url;
    for (const char* url : {"file:///C:/windows/system32/calc.exe", "C:\\windows\\notepad.exe", "javascript:alert(1)",
                            "ms-settings:", "httpx://a", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsWebUrl(url)) << (url ? url : "(null)");

    // Whatever the address, the browser opens no window of its own.
    CWBDialog page(900, 200);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    BSTR url = SysAllocString(L"file:///C:/windows/system32/calc.exe");
    page.NewWindow3(nullptr, &cancel, 0, nullptr, url);
    SysFreeString(url);
    EXPECT_EQ(cancel, VARIANT_TRUE);
}

}  // namespace
