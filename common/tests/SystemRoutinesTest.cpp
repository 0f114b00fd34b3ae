#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <winioctl.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CRegKey.h"
#include "CTextDef.h"
#include "CUrlShortcut.h"
#include "DirectoryTree.h"
#include "KavoTestPaths.h"
#include "ProgramsAndFeatures.h"
#include "RunOnceAutorun.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kAutorunName[] = "KAVO autorun test";
// The helpers below run in a copy of this program and take their orders from these.
// Wine's GetEnvironmentVariableA cuts double-byte values short, so the window's texts
// travel as a row number.
const char kHelperRowVar[] = "KAVO_HELPER_ROW";
const char kHelperStyleVar[] = "KAVO_HELPER_STYLE";
const char kHelperReadyVar[] = "KAVO_HELPER_READY";
const char kHelperRunOnceVar[] = "KAVO_HELPER_RUNONCE";

std::string UniqueName(const char* stem)
{
    static int counter = 0;
    return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

std::string SelfPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(chars > 0 ? size_t(chars - 1) : 0);
    return wide;
}

// Long form, so paths past MAX_PATH can be made and removed.
std::wstring LongPath(const std::string& path)
{
    return L"\\\\?\\" + Wide(path);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    return true;
}

bool MakeFolder(const std::string& path)
{
    return CreateDirectoryW(LongPath(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The tests' own cleanup: independent of the code under test, and read-only files go too.
void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

void RemoveTree(const std::string& path)
{
    RemoveTree(LongPath(path));
}

// A folder of its own under %TEMP%, removed with everything in it.
class TempSandbox {
public:
    TempSandbox() : path(TempFolder() + "\\" + UniqueName("kavo-tree")) { MakeFolder(path); }
    ~TempSandbox() { RemoveTree(path); }
    TempSandbox(const TempSandbox&) = delete;
    TempSandbox& operator=(const TempSandbox&) = delete;
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
    const std::string path;
};

std::string GetEnv(const char* name)
{
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : "";
}

// A copy of this program under another name, started with one helper test. (Not a hard
// link: Wine refuses to delete a link to the image of a running process.)
class HelperProcess {
public:
    HelperProcess(const std::string& exePath, const char* helperTest) : exePath(exePath)
    {
        if (!CopyFileA(SelfPath().c_str(), exePath.c_str(), FALSE))
            return;
        std::string commandLine = "\"" + exePath +
                                  "\" --gtest_also_run_disabled_tests --gtest_filter=SystemRoutinesHelper." + helperTest;
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = quiet;
        startup.hStdError = quiet;
        if (CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            process.hThread = nullptr;
        }
    }
    ~HelperProcess()
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 10000);
            CloseHandle(process.hProcess);
        }
        if (quiet != INVALID_HANDLE_VALUE)
            CloseHandle(quiet);
        // The image of a process that has just ended can stay locked for a moment.
        for (int attempt = 0; attempt < 50 && !DeleteFileA(exePath.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND;
             ++attempt)
            Sleep(100);
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const { return process.hProcess != nullptr; }
    bool Finished(DWORD* exitCode)
    {
        return WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process.hProcess, exitCode);
    }
    DWORD Id() const { return process.dwProcessId; }

private:
    std::string exePath;
    HANDLE quiet = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION process = {};
};

// ---------------------------------------------------------------------------------------

class SystemRoutinesRunOnce : public ::testing::Test {
protected:
    static constexpr const char* kOtherName = "KAVO other test";

    void SetUp() override
    {
        CTextDef::SetText("COMMON_NAME_AUTORUN", kAutorunName);
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kRunOnceKey), ERROR_SUCCESS);
        key.DeleteValue(kAutorunName);
        key.DeleteValue(kOtherName);
    }
    void TearDown() override
    {
        key.DeleteValue(kAutorunName);
        key.DeleteValue(kOtherName);
    }
    // "<missing>" when there is no value.
    std::string Value(const char* name)
    {
        CString value;
        return key.QueryStringValue(name, value) == ERROR_SUCCESS ? value.GetString() : "<missing>";
    }
    static std::string Companion() { return FolderOf(SelfPath()) + "\\kavocomp.exe"; }

    CRegKey key;
};

TEST_F(SystemRoutinesRunOnce, WritesTheCompanionCommandUnderTheNameFromTheTexts)
{
    struct Case {
        const char* args;
        std::string expected;
    };
    ASSERT_EQ(Companion().find(' '), std::string::npos) << "the quoting case runs in its own test";
    const Case cases[] = {
        {"/resume 2", Companion() + " /resume 2"},
        {"", Companion()},
        {nullptr, Companion()},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SetRunOnceAutorun(1, c.args));
        EXPECT_EQ(Value(kAutorunName), c.expected) << (c.args ? c.args : "(null)");
    }
}

TEST_F(SystemRoutinesRunOnce, QuotesTheCompanionPathWhenItsFolderHoldsBlanks)
{
    TempSandbox sandbox;
    const std::string folder = sandbox / "kavo blank";
    ASSERT_TRUE(MakeFolder(folder));
    SetEnvironmentVariableA(kHelperRunOnceVar, "1");
    DWORD exitCode = 1;
    {
        HelperProcess helper(folder + "\\common_tests.exe", "DISABLED_SetRunOnce");
        SetEnvironmentVariableA(kHelperRunOnceVar, nullptr);
        ASSERT_TRUE(helper.Started());
        ASSERT_TRUE(helper.Finished(&exitCode));
    }
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(Value(kAutorunName), "\"" + folder + "\\kavocomp.exe\" /a");
}

TEST_F(SystemRoutinesRunOnce, ClearingDeletesOnlyTheAutorunValue)
{
    ASSERT_EQ(key.SetStringValue(kOtherName, "other.exe"), ERROR_SUCCESS);
    ASSERT_TRUE(SetRunOnceAutorun(1, "/x"));

    EXPECT_TRUE(SetRunOnceAutorun(0, "/ignored"));
    EXPECT_EQ(Value(kAutorunName), "<missing>");
    EXPECT_EQ(Value(kOtherName), "other.exe");
}

TEST_F(SystemRoutinesRunOnce, RefusesACommandThatDoesNotFitAndWritesNothing)
{
    // The command plus its NUL fills MAX_PATH exactly.
    const std::string longest(MAX_PATH - 1 - (Companion().size() + 1), 'a');
    ASSERT_TRUE(SetRunOnceAutorun(1, longest.c_str()));
    const std::string written = Value(kAutorunName);
    EXPECT_EQ(written.size(), size_t(MAX_PATH - 1));

    const std::string tooLong[] = {longest + "b", std::string(4000, 'c')};
    for (const std::string& args : tooLong) {
        EXPECT_FALSE(SetRunOnceAutorun(1, args.c_str())) << args.size();
        EXPECT_EQ(Value(kAutorunName), written) << args.size();
    }
}

// ---------------------------------------------------------------------------------------

TEST(SystemRoutinesDirectoryTree, DeletesNestedFoldersAndFiles)
{
    TempSandbox sandbox;
    const std::string root = sandbox / "root";
    for (const char* folder : {"", "\\a", "\\a\\b", "\\empty"})
        ASSERT_TRUE(MakeFolder(root + folder)) << folder;
    for (const char* file : {"\\f.txt", "\\a\\d.txt", "\\a\\b\\c.txt", "\\a\\b\\.hidden"})
        ASSERT_TRUE(MakeFile(root + file)) << file;

    EXPECT_TRUE(DeleteDirectoryTree(root.c_str()));
    EXPECT_FALSE(Exists(root));
}

// Makes folder a junction to target; false where the file system cannot.
bool MakeJunction(const std::string& folder, const std::string& target)
{
    if (!MakeFolder(folder))
        return false;
    HANDLE handle = CreateFileA(folder.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const std::wstring substitute = L"\\??\\" + std::wstring(target.begin(), target.end());
    const USHORT substituteBytes = USHORT(substitute.size() * sizeof(wchar_t));
    // The mount-point layout: tag, sizes, offsets, then substitute and print names.
    std::vector<BYTE> buffer(8 + 8 + substituteBytes + 2 * sizeof(wchar_t));
    auto* words = reinterpret_cast<USHORT*>(buffer.data());
    *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
    words[2] = USHORT(buffer.size() - 8);
    words[4] = 0;
    words[5] = substituteBytes;
    words[6] = USHORT(substituteBytes + sizeof(wchar_t));
    words[7] = 0;
    memcpy(buffer.data() + 16, substitute.data(), substituteBytes);
    DWORD returned = 0;
    const BOOL made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(), DWORD(buffer.size()), nullptr, 0,
                                      &returned, nullptr);
    CloseHandle(handle);
    return made && (GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST(SystemRoutinesDirectoryTree, JunctionIsRemovedWithoutDeletingWhatItPointsAt)
{
    TempSandbox sandbox;
    const std::string outside = sandbox / "outside";
    const std::string root = sandbox / "root";
    ASSERT_TRUE(MakeFolder(outside));
    ASSERT_TRUE(MakeFile(outside + "\\keep.txt"));
    ASSERT_TRUE(MakeFolder(root));
    if (!MakeJunction(root + "\\link", outside))
        GTEST_SKIP() << "this file system makes no junctions";
    ASSERT_TRUE(Exists(root + "\\link\\keep.txt"));

    EXPECT_TRUE(DeleteDirectoryTree(root.c_str()));
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(Exists(outside + "\\keep.txt"));
}

// "ソ" and "表" end in the byte of a backslash.
TEST(SystemRoutinesDirectoryTree, DeletesFoldersWithDoubleByteNames)
{
    TempSandbox sandbox;
    const std::string root = sandbox / "ソフト表";
    if (!MakeFolder(root))
        GTEST_SKIP() << "this file system stores no Japanese names (Wine without a ja_JP.UTF-8 glibc locale)";
    for (const char* folder : {"\\ソ", "\\ソ\\表"})
        ASSERT_TRUE(MakeFolder(root + folder)) << folder;
    for (const char* file : {"\\ソ\\表\\ソ.txt", "\\表"})
        ASSERT_TRUE(MakeFile(root + file)) << file;

    EXPECT_TRUE(DeleteDirectoryTree(root.c_str()));
    EXPECT_FALSE(Exists(root));
}

TEST(SystemRoutinesDirectoryTree, ReadOnlyFileAndTheFoldersAboveItRemain)
{
    TempSandbox sandbox;
    const std::string root = sandbox / "root";
    for (const char* folder : {"", "\\keep", "\\keep\\deep", "\\gone"})
        ASSERT_TRUE(MakeFolder(root + folder));
    ASSERT_TRUE(MakeFile(root + "\\keep\\deep\\ro.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(root + "\\keep\\x.txt"));
    ASSERT_TRUE(MakeFile(root + "\\gone\\y.txt"));

    EXPECT_FALSE(DeleteDirectoryTree(root.c_str()));
    EXPECT_TRUE(Exists(root + "\\keep\\deep\\ro.txt"));
    EXPECT_FALSE(Exists(root + "\\keep\\x.txt"));
    EXPECT_FALSE(Exists(root + "\\gone"));
}

TEST(SystemRoutinesDirectoryTree, EntryWhosePathIsTooLongIsLeftAlone)
{
    TempSandbox sandbox;
    const std::string root = sandbox / "long";
    ASSERT_TRUE(MakeFolder(root));
    const std::string name(MAX_PATH - root.size(), 'n');
    ASSERT_TRUE(MakeFile(root + "\\" + name));
    ASSERT_TRUE(MakeFolder(root + "\\" + name + "d"));
    ASSERT_TRUE(MakeFile(root + "\\short.txt"));

    EXPECT_FALSE(DeleteDirectoryTree(root.c_str()));
    EXPECT_TRUE(Exists(root + "\\" + name));
    EXPECT_TRUE(Exists(root + "\\" + name + "d"));
    EXPECT_FALSE(Exists(root + "\\short.txt"));
}

// Run from inside the sandbox, so "\" and "C:" name the sandbox's drive, and a relative
// path the sandbox: each has a canary that a wrong deletion would take.
TEST(SystemRoutinesDirectoryTree, RefusesTextsThatDoNotNameOneFolder)
{
    TempSandbox sandbox;
    ASSERT_EQ(std::toupper(static_cast<unsigned char>(sandbox.path[0])), 'C');
    const std::string unsetCanary = sandbox / "%KAVO_UNSET_VAR%\\x\\canary.txt";
    ASSERT_TRUE(MakeFolder(sandbox / "%KAVO_UNSET_VAR%") && MakeFolder(sandbox / "%KAVO_UNSET_VAR%\\x"));
    ASSERT_TRUE(MakeFile(unsetCanary));
    const std::string rootFolder = "C:\\" + UniqueName("kavo-canary");
    ASSERT_TRUE(MakeFolder(rootFolder));
    const std::string rootCanary = rootFolder + "\\canary.txt";
    ASSERT_TRUE(MakeFile(rootCanary));

    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(sandbox.path.c_str()));
    SetEnvironmentVariableA("KAVO_UNSET_VAR", nullptr);
    SetEnvironmentVariableA("KAVO_ROOT_VAR", "C:\\");
    SetEnvironmentVariableA("KAVO_LONG_VAR", (sandbox.path + "\\" + std::string(MAX_PATH, 'l')).c_str());

    const char* const refused[] = {
        nullptr, "", "%KAVO_UNSET_VAR%\\x", "C:\\", "C:", "\\", "%KAVO_ROOT_VAR%", "%KAVO_ROOT_VAR%\\",
        "C:\\x\\..", "\\\\?\\C:\\", "%KAVO_LONG_VAR%",
    };
    for (const char* text : refused)
        EXPECT_FALSE(ExpandAndDeleteDirectoryTree(text)) << (text ? text : "(null)");

    SetCurrentDirectoryA(previous);
    SetEnvironmentVariableA("KAVO_ROOT_VAR", nullptr);
    SetEnvironmentVariableA("KAVO_LONG_VAR", nullptr);
    EXPECT_TRUE(Exists(unsetCanary));
    EXPECT_TRUE(Exists(rootCanary));
    RemoveTree(rootFolder);
}

TEST(SystemRoutinesDirectoryTree, ExpandsTheTextAndDeletesTheFolder)
{
    const std::string name = UniqueName("kavo-expand");
    const std::string folder = GetEnv("TEMP") + "\\" + name;
    ASSERT_TRUE(MakeFolder(folder) && MakeFolder(folder + "\\sub"));
    ASSERT_TRUE(MakeFile(folder + "\\sub\\f.txt"));

    EXPECT_TRUE(ExpandAndDeleteDirectoryTree(("%TEMP%\\" + name).c_str()));
    EXPECT_FALSE(Exists(folder));
    RemoveTree(folder);
}

// ---------------------------------------------------------------------------------------

std::string ReadShortcutUrl(const std::string& path)
{
    char url[512] = "";
    GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url, path.c_str());
    return url;
}

class SystemRoutinesUrlShortcut : public ::testing::Test {
protected:
    void SetUp() override
    {
        char programs[MAX_PATH] = "";
        ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs), S_OK);
        relative = "\\" + UniqueName("kavo-shortcut") + ".url";
        path = programs + relative;
        ASSERT_TRUE(WritePrivateProfileStringA("InternetShortcut", "URL", "http://old.example.jp/", path.c_str()));
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    std::string relative;
    std::string path;
};

TEST_F(SystemRoutinesUrlShortcut, PointsAnExistingShortcutAtTheNewUrl)
{
    ASSERT_TRUE(CUrlShortcut::Create(relative.c_str(), "http://new.example.jp/page"));
    EXPECT_EQ(ReadShortcutUrl(path), "http://new.example.jp/page");
}

TEST_F(SystemRoutinesUrlShortcut, MissingShortcutIsNotCreated)
{
    const std::string missing = "\\" + UniqueName("kavo-missing") + ".url";
    EXPECT_FALSE(CUrlShortcut::Create(missing.c_str(), "http://new.example.jp/"));
    EXPECT_FALSE(Exists(FolderOf(path) + missing));
}

TEST_F(SystemRoutinesUrlShortcut, LeavesTheThreadsApartmentAsItFoundIt)
{
    struct Case {
        const char* name;
        DWORD apartment;  // ~0u: none
        HRESULT laterMultithreadedInit;
    };
    const Case cases[] = {
        {"none", ~0u, S_OK},
        {"single-threaded", COINIT_APARTMENTTHREADED, RPC_E_CHANGED_MODE},
        {"multithreaded", COINIT_MULTITHREADED, S_FALSE},
    };
    for (const Case& c : cases) {
        HRESULT later = E_FAIL;
        std::thread([&] {
            const bool ours = c.apartment != ~0u && SUCCEEDED(CoInitializeEx(nullptr, c.apartment));
            CUrlShortcut::Create(relative.c_str(), "http://new.example.jp/");
            later = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(later))
                CoUninitialize();
            if (ours)
                CoUninitialize();
        }).join();
        EXPECT_EQ(later, c.laterMultithreadedInit) << c.name;
    }
}

// ---------------------------------------------------------------------------------------

struct RemovalWindowKind {
    const char* title;
    const char* className;
};

const RemovalWindowKind kRemovalWindows[] = {
    {"プログラムと機能", "CabinetWClass"},
    {"プログラムの追加と削除", "NativeHWNDHost"},
    {"アプリケーションの追加と削除", "HTML Application Host Window Class"},
};

class TestWindow {
public:
    TestWindow(const char* className, const char* title, DWORD style, RECT rect = {10, 10, 310, 210})
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow()
    {
        if (window)
            DestroyWindow(window);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND window = nullptr;
};

TEST(SystemRoutinesProgramsAndFeatures, WindowOfTheSystemHostIsFound)
{
    struct Case {
        const char* module;
        int row;
        const char* style;
        bool found;
    };
    const Case cases[] = {
        {"Explorer.exe", 0, "visible", true},
        {"RUNDLL32.EXE", 1, "visible", true},
        {"mshta.exe", 2, "visible", true},
        {"rundll32.exe", 1, "hidden", false},
        {"rundll32.exe", 1, "disabled", false},
        {"mshta.exe", 1, "visible", false},
    };
    TempSandbox sandbox;
    for (const Case& c : cases) {
        // A folder per case: the previous helper's file may still be held while it ends.
        const std::string folder = sandbox / UniqueName("helper");
        ASSERT_TRUE(MakeFolder(folder));
        const std::string ready = UniqueName("KavoHelperReady");
        HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        ASSERT_TRUE(readyEvent);
        SetEnvironmentVariableA(kHelperRowVar, std::to_string(c.row).c_str());
        SetEnvironmentVariableA(kHelperStyleVar, c.style);
        SetEnvironmentVariableA(kHelperReadyVar, ready.c_str());
        HelperProcess helper(folder + "\\" + c.module, "DISABLED_ShowWindow");
        for (const char* name : {kHelperRowVar, kHelperStyleVar, kHelperReadyVar})
            SetEnvironmentVariableA(name, nullptr);

        const bool started = helper.Started() && WaitForSingleObject(readyEvent, 60000) == WAIT_OBJECT_0;
        CloseHandle(readyEvent);
        ASSERT_TRUE(started) << c.module;

        const HWND window = FindProgramsAndFeaturesWindow();
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        EXPECT_EQ(window != nullptr, c.found) << c.module << " " << c.row << " " << c.style;
        if (c.found) {
            EXPECT_EQ(owner, helper.Id()) << c.module;
        }
    }
}

TEST(SystemRoutinesProgramsAndFeatures, SameWindowInAnotherProgramIsNotFound)
{
    std::vector<std::unique_ptr<TestWindow>> windows;
    for (const RemovalWindowKind& kind : kRemovalWindows) {
        windows.push_back(std::make_unique<TestWindow>(kind.className, kind.title, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        ASSERT_TRUE(windows.back()->window) << kind.className;
    }
    const HWND found = FindProgramsAndFeaturesWindow();
    for (const auto& window : windows)
        EXPECT_NE(found, window->window);
}

LONG g_searches = 0;
LONG g_foundOnSearch = 0;
HWND CountedSearch()
{
    const LONG search = InterlockedIncrement(&g_searches);
    return search == g_foundOnSearch ? GetDesktopWindow() : nullptr;
}

TEST(SystemRoutinesProgramsAndFeatures, WaitPausesBetweenSearchesUntilTheWindowOrTheLimit)
{
    struct Case {
        const char* name;
        LONG foundOnSearch;
        DWORD timeoutMs;
        bool found;
        LONG maxSearches;
    };
    const Case cases[] = {
        // A spinning search makes thousands of searches in this time; one that pauses makes
        // a handful (a loaded machine's Sleep may come back early, so the bound is loose).
        {"never appears", 0, 600, false, 60},
        {"appears on the third search", 3, 5000, true, 3},
        {"open at once", 1, 5000, true, 1},
        {"no time at all", 0, 0, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_searches = 0;
        g_foundOnSearch = c.foundOnSearch;
        const DWORD start = GetTickCount();
        const HWND window = WaitForProgramsAndFeaturesWindow(c.timeoutMs, CountedSearch);
        const DWORD elapsed = GetTickCount() - start;
        EXPECT_EQ(window != nullptr, c.found);
        EXPECT_LE(g_searches, c.maxSearches);
        EXPECT_GE(g_searches, c.found ? c.foundOnSearch : 1);
        if (!c.found) {
            EXPECT_GE(elapsed + 20, c.timeoutMs) << "searched until the limit";
        }
    }
}

TEST(SystemRoutinesProgramsAndFeatures, MovesTheWindowToTheTopRightOfTheWorkArea)
{
    TestWindow test("KavoMoveTestWindow", "move", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 300, 360, 520});
    ASSERT_TRUE(test.window);
    RECT before;
    GetWindowRect(test.window, &before);

    ASSERT_TRUE(MoveToWorkAreaTopRight(test.window));

    MONITORINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(test.window, MONITOR_DEFAULTTONEAREST), &info));
    RECT after;
    GetWindowRect(test.window, &after);
    EXPECT_EQ(after.right, info.rcWork.right);
    EXPECT_EQ(after.top, info.rcWork.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

// ---------------------------------------------------------------------------------------
// Helpers: run only in a copy of this program started by the tests above.

TEST(SystemRoutinesHelper, DISABLED_SetRunOnce)
{
    if (GetEnv(kHelperRunOnceVar).empty())
        GTEST_SKIP() << "started by SystemRoutinesRunOnce only";
    CTextDef::SetText("COMMON_NAME_AUTORUN", kAutorunName);
    ASSERT_TRUE(SetRunOnceAutorun(1, "/a"));
}

TEST(SystemRoutinesHelper, DISABLED_ShowWindow)
{
    const std::string ready = GetEnv(kHelperReadyVar);
    if (ready.empty())
        GTEST_SKIP() << "started by SystemRoutinesProgramsAndFeatures only";
    const std::string style = GetEnv(kHelperStyleVar);
    const int row = std::atoi(GetEnv(kHelperRowVar).c_str());
    ASSERT_TRUE(row >= 0 && row < int(std::size(kRemovalWindows)));
    const RemovalWindowKind& kind = kRemovalWindows[row];
    TestWindow test(kind.className, kind.title,
                    WS_OVERLAPPEDWINDOW | (style == "hidden" ? 0 : WS_VISIBLE) | (style == "disabled" ? WS_DISABLED : 0));
    ASSERT_TRUE(test.window);
    HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str());
    ASSERT_TRUE(readyEvent);
    SetEvent(readyEvent);
    CloseHandle(readyEvent);
    // The test ends this process; the limit only keeps a forgotten helper from lingering.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

std::string ProgramFiles64()
{
    CRegKey key;
    char path[MAX_PATH] = "";
    ULONG chars = MAX_PATH;
    if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ | KEY_WOW64_64KEY) !=
            ERROR_SUCCESS ||
        key.QueryStringValue("ProgramFilesDir", path, &chars) != ERROR_SUCCESS)
        return "";
    return path;
}

TEST(SystemRoutinesFolders, OnlyAFolderOfOurOwnMayBeRemoved)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    char profile[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile);
    char programs[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programs);
    char common[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES_COMMON, nullptr, SHGFP_TYPE_CURRENT, common);
    const std::string programs64 = ProgramFiles64();
    // Wine's default prefix is 64-bit Windows: the two views differ.
    ASSERT_FALSE(programs64.empty());
    ASSERT_NE(lstrcmpiA(programs64.c_str(), programs), 0);
    const std::string temp = TempFolder();
    const std::string savedW6432 = GetEnv("ProgramW6432");
    struct Case {
        std::string folder;
        bool removable;
        // Run with ProgramW6432 unset, as a parent may start us.
        bool withoutW6432;
    };
    const Case cases[] = {
        {windows, false},
        {std::string(windows) + "\\", false},
        {system, false},
        {profile, false},
        {std::string(profile) + "\\..", false},
        {programs, false},
        {temp, false},
        {TestBinFolder(), false},
        {"C:\\", false},
        {"", false},
        {temp + "\\kavo_dlpk", true},
        {temp + "\\kavo_dlpk\\deeper", true},
        {std::string(profile) + "\\KavoDownloads", true},
        {std::string(windows) + "\\KavoTestVendor", false},
        {std::string(system) + "\\KavoTestVendor\\setup", false},
        {std::string(programs) + "\\KavoTestVendor\\setup", false},
        {std::string(common) + "\\KavoTestVendor", false},
        {programs64, false},
        {programs64 + "\\KavoTestVendor\\setup", false},
        {programs64 + "\\KavoTestVendor\\setup", false, true},
        {std::string(windows) + "Kavo", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + (c.withoutW6432 ? " without ProgramW6432" : ""));
        if (c.withoutW6432)
            SetEnvironmentVariableA("ProgramW6432", nullptr);
        EXPECT_EQ(IsRemovableFolder(c.folder.c_str()), c.removable);
        SetEnvironmentVariableA("ProgramW6432", savedW6432.empty() ? nullptr : savedW6432.c_str());
    }
}

// The attributes a junction has, for one path; the real ones for every other.
std::string g_linkPath;
DWORD WINAPI AttributesWithLink(LPCSTR path)
{
    if (lstrcmpiA(path, g_linkPath.c_str()) == 0)
        return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return GetFileAttributesA(path);
}

TEST(SystemRoutinesFolders, AFolderThatIsALinkIsRefusedAsTheFileSystemReportsIt)
{
    TempSandbox sandbox;
    const std::string folder = sandbox / "dlpk";
    ASSERT_TRUE(MakeFolder(folder));
    g_linkPath = folder;
    struct Case {
        const char* name;
        std::string text;
        bool removable;
    };
    const Case cases[] = {
        {"the link itself", folder, false},
        {"the link with a final backslash", folder + "\\", false},
        {"the link through a variable", "%TEMP%" + folder.substr(TempFolder().size()), false},
        {"a folder beside it", sandbox / "other", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRemovableFolder(c.text.c_str(), AttributesWithLink), c.removable) << c.name;
    EXPECT_TRUE(IsRemovableFolder(folder.c_str())) << "a plain folder";
}

// A real junction or directory link where the file system makes one.
TEST(SystemRoutinesFolders, ALinkIsNeitherDeletedNorEnteredByTheGuardedRemoval)
{
    TempSandbox sandbox;
    const std::string outside = sandbox / "outside";
    ASSERT_TRUE(MakeFolder(outside));
    ASSERT_TRUE(MakeFile(outside + "\\keep.txt"));
    struct Case {
        const char* name;
        std::function<bool(const std::string&)> make;
    };
    const Case cases[] = {
        {"junction", [&](const std::string& link) { return MakeJunction(link, outside); }},
        {"directory link",
         [&](const std::string& link) {
             if (!CreateSymbolicLinkA(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
                 return false;
             const DWORD attributes = GetFileAttributesA(link.c_str());
             return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
         }},
    };
    int made = 0;
    for (const Case& c : cases) {
        const std::string link = sandbox / c.name;
        if (!c.make(link)) {
            RemoveDirectoryA(link.c_str());
            continue;
        }
        ++made;
        EXPECT_FALSE(ExpandAndDeleteDirectoryTree(link.c_str())) << c.name;
        EXPECT_TRUE(Exists(outside + "\\keep.txt")) << c.name;
        EXPECT_TRUE(Exists(link)) << c.name;
        RemoveDirectoryA(link.c_str());
    }
    if (made == 0)
        GTEST_SKIP() << "this file system makes no links; the refusal itself is proven with reported attributes";
}

}  // namespace
