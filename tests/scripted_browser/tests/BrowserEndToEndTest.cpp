// What end-to-end runs rely on: the run record in KAVO_SCRIPTED_BROWSER_DIR and the DLL
// that the prefix's registration loads in place of the real browser.
#include "BrowserTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "KavoTestPaths.h"

using scripted::PumpUntilIdle;

namespace {

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// A fresh folder named in KAVO_SCRIPTED_BROWSER_DIR while it lives.
class RecordFolder {
public:
    RecordFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "kavo-sb-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
        SetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", path.c_str());
    }
    ~RecordFolder()
    {
        SetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", nullptr);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((path + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }
    RecordFolder(const RecordFolder&) = delete;
    RecordFolder& operator=(const RecordFolder&) = delete;

    std::string path;
};

}  // namespace

TEST_F(BrowserTest, RunRecordKeepsEachWrittenDocumentAndEveryEvent)
{
    RecordFolder folder;
    OpenBlank();
    Write("<p>表示</p>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    const std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ(ReadFileBytes(folder.path + "\\" + pid + "-0001.html"), "<p>表示</p>");
    const std::string events = ReadFileBytes(folder.path + "\\events.txt");
    EXPECT_EQ(events, pid + " 0000 BeforeNavigate2 about:blank\n" + pid + " 0000 DocumentComplete about:blank\n" +
                          pid + " 0001 DocumentComplete about:blank\n");
}

TEST(ScriptedBrowserDll, ServesTheBrowserClassThroughItsExports)
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HMODULE dll = LoadLibraryA((TestBinFolder() + "\\KavoScriptedBrowser.dll").c_str());
    ASSERT_NE(dll, nullptr);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(WINAPI*)();
    auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnloadNow, nullptr);
    CLSID clsid;
    CLSIDFromString(L"{8856F961-340A-11D0-A96B-00C04FD705A2}", &clsid);
    {
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  CLASS_E_CLASSNOTAVAILABLE);
        ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        CComPtr<IWebBrowser2> browser;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IWebBrowser2, reinterpret_cast<void**>(&browser)), S_OK);
        EXPECT_EQ(canUnloadNow(), S_FALSE);
        EXPECT_EQ(NavigateToBlank(browser), S_OK);
        ASSERT_TRUE(scripted::PumpUntil(
            [&] {
                READYSTATE state = READYSTATE_UNINITIALIZED;
                browser->get_ReadyState(&state);
                return state == READYSTATE_COMPLETE;
            },
            5000));
        CComPtr<IDispatch> document;
        EXPECT_EQ(browser->get_Document(&document), S_OK);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    FreeLibrary(dll);
    OleUninitialize();
}
