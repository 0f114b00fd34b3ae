#include "FirewallScan.h"

#include <cstring>

#include "CTextDef.h"
#include "KavoMessages.h"
#include "ProgramFolder.h"
#include "ThreadStart.h"
#include "Wow64.h"

namespace {

const char kUninstallPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct ExclusionPair {
    CString key;
    CString displayName;
};

// Subkey names of the uninstall key in the view that access selects; none when it cannot be opened.
void CollectUninstallKeys(REGSAM access, CSimpleArray<CString>& names)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallPath, 0, access, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        const LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        names.Add(CString(name));
    }
    RegCloseKey(key);
}

// The DisplayName of the product's uninstall key; empty when it has none or cannot be opened.
CString DisplayNameOf(const CString& product, bool wow64)
{
    CString path(kUninstallPath);
    path += "\\";
    path += product;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS &&
        (!wow64 || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS))
        return CString();
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    CString result;
    if (RegQueryValueExA(key, "DisplayName", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        result = value;
    RegCloseKey(key);
    return result;
}

// The file's bytes, read in blocks of 128; false when it cannot be opened.
bool ReadListFile(const char* path, CString& text)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char block[128];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read)
        text += CString(block, int(read));
    CloseHandle(file);
    return true;
}

}  // namespace

void ParseProductList(const char* text, CSimpleArray<CString>& products)
{
    const CString all(text ? text : "");
    int start = 0;
    while (start <= all.GetLength()) {
        int end = all.Find('\n', start);
        if (end < 0)
            end = all.GetLength();
        CString line = all.Mid(start, end - start);
        const int comment = line.Find('#');
        if (comment >= 0)
            line = line.Left(comment);
        start = end + 1;
        if (line.IsEmpty())
            continue;
        line.Trim();
        if (!line.IsEmpty())
            products.Add(line);
    }
}

void SplitCrLfLines(const CString& text, CSimpleArray<CString>& lines)
{
    int start = 0;
    for (;;) {
        const int end = text.Find("\r\n", start);
        if (end < 0) {
            if (start < text.GetLength() || start == 0)
                lines.Add(text.Mid(start));
            return;
        }
        lines.Add(text.Mid(start, end - start));
        start = end + 2;
    }
}

FirewallScan::FirewallScan() : listPath(GetProgramFolder() + "\\fwlist.dat") {}

int FirewallScan::Start(HWND window, const char* path, bool wait)
{
    notifyWindow = window;
    libraryPath = path;
    const HANDLE thread = StartThread(&FirewallScan::Worker, this);
    if (thread) {
        if (wait)
            WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return 0;
}

unsigned __stdcall FirewallScan::Worker(void* scan)
{
    static_cast<FirewallScan*>(scan)->Run();
    return 0;
}

void FirewallScan::LoadProductList(CSimpleArray<CString>& products) const
{
    CString text;
    if (ReadListFile(listPath, text)) {
        ParseProductList(text, products);
        return;
    }
    const HMODULE core = LoadLibraryExA(libraryPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!core)
        return;
    if (const HRSRC resource = FindResourceA(core, MAKEINTRESOURCEA(4), MAKEINTRESOURCEA(10))) {
        const HGLOBAL loaded = LoadResource(core, resource);
        const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        if (data)
            ParseProductList(CString(data, int(SizeofResource(core, resource))), products);
    }
    FreeLibrary(core);
}

void FirewallScan::Run()
{
    CSimpleArray<CString> products;
    LoadProductList(products);
    Match(products, CTextDef::GetText("COMMON_DATA_FIREWALL_EXCLUDE_LIST"));
    // A null window would make the post land in this thread's own queue.
    if (notifyWindow)
        PostMessageA(notifyWindow, WM_KAVO_PAGE, 2, reinterpret_cast<LPARAM>(this));
}

void FirewallScan::Match(CSimpleArray<CString>& products, const CString& exclusionList)
{
    CSimpleArray<CString> lines;
    SplitCrLfLines(exclusionList, lines);
    CSimpleArray<ExclusionPair> exclusions;
    for (int i = 0; i < lines.GetSize(); ++i) {
        const int tab = lines[i].Find('\t');
        ExclusionPair pair;
        pair.key = tab < 0 ? lines[i] : lines[i].Left(tab);
        if (pair.key.IsEmpty())
            continue;
        pair.displayName = tab < 0 ? pair.key : lines[i].Mid(tab + 1);
        exclusions.Add(pair);
        if (products.Find(pair.key) < 0)
            products.Add(pair.key);
    }

    const bool wow64 = IsWow64() != FALSE;
    CSimpleArray<CString> keys;
    CollectUninstallKeys(KEY_READ, keys);
    if (wow64)
        CollectUninstallKeys(KEY_READ | KEY_WOW64_64KEY, keys);

    for (int i = 0; i < products.GetSize(); ++i) {
        if (keys.Find(products[i]) < 0)
            continue;
        const CString displayName = DisplayNameOf(products[i], wow64);
        if (displayName.IsEmpty())
            continue;
        bool excluded = false;
        for (int j = 0; j < exclusions.GetSize() && !excluded; ++j)
            excluded = exclusions[j].key == products[i] && exclusions[j].displayName == displayName;
        if (!excluded)
            found.Add(displayName);
    }
}
