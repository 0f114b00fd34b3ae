// What end-to-end runs rely on: the run record in KAVO_SCRIPTED_BROWSER_DIR and the DLL
// that the prefix's registration loads in place of the real browser.
#include "BrowserTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "CA2W.h"
#include "CComBSTR.h"
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

// The run record's name of the document written with these bytes, without its extension;
// empty when there is none.
std::string RecordNameOf(const std::string& folder, const std::string& html)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.html").c_str(), &found);
    std::string name;
    if (search == INVALID_HANDLE_VALUE)
        return name;
    do {
        const std::string file = found.cFileName;
        if (name.empty() && ReadFileBytes(folder + "\\" + file) == html)
            name = file.substr(0, file.size() - 5);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return name;
}

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
    const char* blank[] = {"BeforeNavigate2 about:blank",   "CommandStateChange -1 1", "NavigateComplete2 about:blank",
                           "CommandStateChange 2 0",        "CommandStateChange 1 0",  "CommandStateChange -1 1",
                           "DocumentComplete about:blank"};
    std::string expected;
    for (const char* line : blank)
        expected += pid + " 0000 " + line + "\n";
    expected += pid + " 0001 CommandStateChange -1 1\n" + pid + " 0001 DocumentComplete about:blank\n";
    EXPECT_EQ(events, expected);
}

TEST_F(BrowserTest, RunRecordKeepsEachDocumentsStyleSheetsBesideIt)
{
    RecordFolder folder;
    OpenBlank();
    CComPtr<IHTMLDocument2> blank = Document();
    CComPtr<IHTMLStyleSheet> unrecorded;
    ASSERT_EQ(blank->createStyleSheet(CComBSTR(L"about:blank"), -1, &unrecorded), S_OK);
    Write("<p>x</p>");
    const std::string name = RecordNameOf(folder.path, "<p>x</p>");
    ASSERT_FALSE(name.empty());
    const std::string css = folder.path + "\\" + name + ".css";
    EXPECT_EQ(GetFileAttributesA(css.c_str()), INVALID_FILE_ATTRIBUTES);  // no sheet yet
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IHTMLStyleSheet> first, second;
    ASSERT_EQ(document->createStyleSheet(CComBSTR(L"about:blank"), -1, &first), S_OK);
    EXPECT_EQ(ReadFileBytes(css), "");
    ASSERT_EQ(first->put_cssText(CComBSTR(CA2W("body {font-family: 'ＭＳ Ｐゴシック'}", 932))), S_OK);
    EXPECT_EQ(ReadFileBytes(css), "body {font-family: 'ＭＳ Ｐゴシック'}");
    ASSERT_EQ(document->createStyleSheet(CComBSTR(L"about:blank"), -1, &second), S_OK);
    ASSERT_EQ(second->put_cssText(CComBSTR(L"p {color: red}")), S_OK);
    ASSERT_EQ(first->put_cssText(CComBSTR(L"body {}")), S_OK);
    EXPECT_EQ(ReadFileBytes(css), "body {}\np {color: red}");
    // A sheet of content that was replaced no longer writes.
    ASSERT_EQ(unrecorded->put_cssText(CComBSTR(L"a {}")), S_OK);
    EXPECT_EQ(ReadFileBytes(css), "body {}\np {color: red}");
    // A sheet stays with the document it was made for.
    Write("<p>y</p>");
    ASSERT_EQ(first->put_cssText(CComBSTR(L"stale {}")), S_OK);
    EXPECT_EQ(ReadFileBytes(css), "stale {}\np {color: red}");
    const std::string next = RecordNameOf(folder.path, "<p>y</p>");
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(GetFileAttributesA((folder.path + "\\" + next + ".css").c_str()), INVALID_FILE_ATTRIBUTES);
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

// The product's process lets the DLL go whenever no page holds a browser (the install page has
// none) and loads it again for the next page: that page's documents must not overwrite the
// record of the earlier ones.
TEST(ScriptedBrowserDll, RunRecordNumbersGoOnWhenTheDllIsLoadedAgain)
{
    RecordFolder folder;
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    CLSID clsid;
    CLSIDFromString(L"{8856F961-340A-11D0-A96B-00C04FD705A2}", &clsid);
    const auto writeThroughFreshDll = [&](const char* html) {
        HMODULE dll = LoadLibraryA((TestBinFolder() + "\\KavoScriptedBrowser.dll").c_str());
        ASSERT_NE(dll, nullptr);
        using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        using CanUnloadNow = HRESULT(WINAPI*)();
        auto getClassObject =
            reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
        auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);
        {
            CComPtr<IClassFactory> factory;
            ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
            RecordingPage page;
            CComPtr<IWebBrowser2> browser;
            ASSERT_EQ(factory->CreateInstance(nullptr, IID_IWebBrowser2, reinterpret_cast<void**>(&browser)), S_OK);
            page.m_browser = browser;
            const auto complete = [&] {
                READYSTATE state = READYSTATE_UNINITIALIZED;
                browser->get_ReadyState(&state);
                return state == READYSTATE_COMPLETE;
            };
            EXPECT_EQ(NavigateToBlank(browser), S_OK);
            ASSERT_TRUE(scripted::PumpUntil(complete, 5000));
            page.WriteHtml(0, html);
            ASSERT_TRUE(scripted::PumpUntil(complete, 5000));
            page.m_browser.Release();
        }
        scripted::PumpUntil([] { return false; }, 200);
        EXPECT_EQ(canUnloadNow(), S_OK);
        FreeLibrary(dll);
    };
    writeThroughFreshDll("<p>最初のページ</p>");
    writeThroughFreshDll("<p>次のページ</p>");
    const std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ(ReadFileBytes(folder.path + "\\" + pid + "-0001.html"), "<p>最初のページ</p>");
    EXPECT_EQ(ReadFileBytes(folder.path + "\\" + pid + "-0002.html"), "<p>次のページ</p>");
    OleUninitialize();
}
