#include <gtest/gtest.h>

#include "CAtlMap.h"
#include "CTextDef.h"
#include "KavoTestPaths.h"

namespace {

using ExtractFn = int(__cdecl*)(HWND, HINSTANCE, const char*, int);

class CoreLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryA((TestBinFolder() + "\\KAVOCore.dll").c_str());
        ASSERT_NE(module, nullptr);
        extract = reinterpret_cast<ExtractFn>(reinterpret_cast<void*>(GetProcAddress(module, "KAVOCore_ExtractTextDef")));
        ASSERT_NE(extract, nullptr);
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    HMODULE module = nullptr;
    ExtractFn extract = nullptr;
};

TEST_F(CoreLibrary, ExtractedDefinitionIsTheBundledFileByteForByte)
{
    const std::string path = TempFolder() + "\\kavo-extracted.def";
    ASSERT_EQ(extract(nullptr, nullptr, path.c_str(), SW_HIDE), 0);
    const std::string extracted = ReadWholeFile(path);
    const std::string bundled = ReadWholeFile(SourcePath("resources/text.def"));
    ASSERT_FALSE(bundled.empty());
    EXPECT_TRUE(extracted == bundled) << extracted.size() << " bytes against " << bundled.size();
    EXPECT_EQ(extracted.find('\0'), std::string::npos);
    DeleteFileA(path.c_str());
}

TEST_F(CoreLibrary, EmptyCommandLineWritesTextDefIntoTheCurrentFolder)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    const std::string folder = TempFolder() + "\\kavo-extract-cwd";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    const std::string target = folder + "\\text.def";
    HANDLE old = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(old, "OLD=1\r\n", 7, &written, nullptr);
    CloseHandle(old);

    EXPECT_EQ(extract(nullptr, nullptr, "", SW_HIDE), 0);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(SourcePath("resources/text.def")));
    DeleteFileA(target.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(CoreLibrary, UnwritableTargetReportsFailure)
{
    EXPECT_NE(extract(nullptr, nullptr, (TempFolder() + "\\no-such-folder\\text.def").c_str(), SW_HIDE), 0);
}

TEST_F(CoreLibrary, BuiltInTextAndItsExtractedFileLoadTheSameKeys)
{
    ASSERT_TRUE(CTextDef::LoadFromResource(module, 3));
    EXPECT_EQ(CTextDef::GetCount(), 380u);
    EXPECT_TRUE(CTextDef::HasText(";COMMON_NAME_LOGFILE"));
    EXPECT_FALSE(CTextDef::HasText("COMMON_NAME_LOGFILE"));
    EXPECT_EQ(CTextDef::GetText("COMMON_CLOSEQUERY"), "「閉じる」ボタンがクリックされました。\r\n終了してよろしいですか？");
    EXPECT_EQ(CTextDef::GetText("COMMON_DEFAULTSTYLESHEET"), "body {font-family: 'ＭＳ Ｐゴシック'; font-size:12pt}");
    EXPECT_EQ(CTextDef::GetText("COMMON_NAME_OPSLOGDIR"), "C:\\temp\\OPS\\");
    EXPECT_EQ(CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO"), HKEY_LOCAL_MACHINE);
    CTextDef::SetDomainUrl("http://127.0.0.1:8080");
    EXPECT_EQ(CTextDef::GetUrlText("COMMON_URI_EULA"), "http://127.0.0.1:8080/contents/security/kavo/agreement/eula_k.html");
    CTextDef::SetDomainUrl("");

    CAtlMap<CString, CString> builtIn;
    for (const char* key : {"COMMON_TITLE", "COMMON_CLOSEQUERY", "COMMON_DATA_CACHED_EXTDEF_PROPERTIES", "A_N08_TMPL_SERIAL"})
        builtIn.SetAt(key, CTextDef::GetText(key));

    const std::string path = TempFolder() + "\\kavo-roundtrip.def";
    ASSERT_EQ(extract(nullptr, nullptr, path.c_str(), SW_HIDE), 0);
    ASSERT_TRUE(CTextDef::LoadFromFile(path.c_str()));
    DeleteFileA(path.c_str());
    EXPECT_EQ(CTextDef::GetCount(), 380u);
    for (POSITION pos = builtIn.GetStartPosition(); pos;) {
        CString key, value;
        builtIn.GetNextAssoc(pos, key, value);
        EXPECT_EQ(CTextDef::GetText(key), value) << key.GetString();
    }
}

}  // namespace
