#include <gtest/gtest.h>

#include <objbase.h>

#include "CRegKey.h"
#include "CTextDef.h"
#include "CoreExports.h"
#include "KavoTestPaths.h"

namespace {

TEST(CoreInitialize, OnlyTheMainProgramNameSkipsTheCache)
{
    for (const char* name : {"kavo.exe", "KAVO.EXE", "Kavo.Exe"})
        EXPECT_TRUE(IsMainProgramName(name)) << name;
    for (const char* name : {"kavocomp.exe", "kavo.ex", "xkavo.exe", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsMainProgramName(name)) << (name ? name : "(null)");
}

class CachedValues : public ::testing::Test {
protected:
    const char* kCache = "Software\\KRVK\\VELDIN SECURITY\\KAVO\\cached extdef";

    void SetUp() override
    {
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kCache), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        key.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kCache);
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    }

    CRegKey key;
};

TEST_F(CachedValues, InitializeOverlaysOnlyTerminatedTexts)
{
    key.SetStringValue("COMMON_CT_PRODUCTID", "P-100");
    key.SetStringValue("COMMON_DLPK_OUTPUT_PATH", "%TEMP%\\kavo", REG_EXPAND_SZ);
    const DWORD number = 5;
    SetRaw("POST_INSTALL_MESSAGE", REG_DWORD, &number, sizeof number);
    // (An unterminated REG_SZ cannot be made here: Wine's ANSI query terminates it.)
    SetRaw("COMMON_WINDOW_TITLE", REG_BINARY, "abc", 4);

    EXPECT_EQ(KAVOCore_Initialize(nullptr), 0);
    EXPECT_EQ(CTextDef::GetText("COMMON_CT_PRODUCTID"), "P-100");
    EXPECT_EQ(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"), "%TEMP%\\kavo");
    EXPECT_FALSE(CTextDef::HasText("POST_INSTALL_MESSAGE"));
    EXPECT_FALSE(CTextDef::HasText("COMMON_WINDOW_TITLE"));
    // The built-in text was loaded underneath.
    EXPECT_EQ(CTextDef::GetText("COMMON_NAME_AUTORUN"), "KAVO autorun");
    EXPECT_EQ(GetPageFactory(), &KAVOCore_GetPageObject);
}

TEST_F(CachedValues, NamesAreSplitAtLineBreaksAndCommas)
{
    CTextDef::RemoveAll();
    CTextDef::SetText("COMMON_REG_HKCU_KAVO", "HKEY_CURRENT_USER\\Software\\KRVK\\VELDIN SECURITY\\KAVO");
    CTextDef::SetText("COMMON_DATA_CACHED_EXTDEF_PROPERTIES", "\r\nA,B\r\n\r\n,C,");
    for (const char* name : {"A", "B", "C"})
        key.SetStringValue(name, name);
    key.SetStringValue("D", "not listed");
    OverlayCachedValues();
    for (const char* name : {"A", "B", "C"})
        EXPECT_EQ(CTextDef::GetText(name), name);
    EXPECT_FALSE(CTextDef::HasText("D"));
}

TEST(CoreInitialize, DomainUrlIsACopyOfTheText)
{
    char url[] = "http://127.0.0.1:8080";
    KAVOCore_SetDomainUrl(url);
    url[0] = 'X';
    EXPECT_EQ(CTextDef::GetDomainUrl(), "http://127.0.0.1:8080");
    KAVOCore_SetDomainUrl(nullptr);
    EXPECT_EQ(CTextDef::GetDomainUrl(), "");
}

TEST(CoreExports, EveryEntryIsExportedByName)
{
    HMODULE module = LoadLibraryA((TestBinFolder() + "\\KAVOCore.dll").c_str());
    ASSERT_NE(module, nullptr);
    for (const char* name : {"KAVOCore_Initialize", "KAVOCore_SetDomainUrl", "KAVOCore_GetPageObject",
                             "KAVOCore_Finalize", "KAVOCore_ExtractTextDef", "DllGetClassObject",
                             "DllRegisterServer", "DllUnregisterServer", "DllCanUnloadNow"})
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_NULL, IID_NULL, &object), E_NOTIMPL);
    EXPECT_EQ(object, nullptr);
    FreeLibrary(module);
}

}  // namespace
