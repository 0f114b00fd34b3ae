#include "InstallState.h"

#include <ole2.h>
#include <shlwapi.h>
#include <taskschd.h>

#include <cstdio>
#include <cstring>

#include "CComBSTR.h"
#include "CComPtr.h"
#include "CComVariant.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "InstalledProduct.h"
#include "Wow64.h"

namespace {

// The object and the libraries it loaded go on every path, whatever the caller asks of it.
class CProductObject {
public:
    CProductObject()
    {
        void* object = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_KavoInstalledProduct, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IKavoInstalledProduct, &object)))
            m_product = static_cast<IKavoInstalledProduct*>(object);
    }
    ~CProductObject()
    {
        if (m_product)
            m_product->Release();
        CoFreeUnusedLibraries();
    }
    CProductObject(const CProductObject&) = delete;
    CProductObject& operator=(const CProductObject&) = delete;

    bool IsCreated() const { return m_product != nullptr; }
    bool GetProductId(CString& text) { return Get(&IKavoInstalledProduct::GetProductId, text); }
    bool GetProductVersion(CString& text) { return Get(&IKavoInstalledProduct::GetProductVersion, text); }

private:
    bool Get(HRESULT (STDMETHODCALLTYPE IKavoInstalledProduct::*method)(BSTR*), CString& text)
    {
        CComBSTR value;
        if (FAILED((m_product->*method)(&value)))
            return false;
        text = static_cast<const wchar_t*>(value ? static_cast<BSTR>(value) : L"");
        return true;
    }

    IKavoInstalledProduct* m_product = nullptr;
};

// A text in double quotes stands for what is between them.
CString StripCommandQuotes(const char* text)
{
    if (text[0] != '"')
        return CString(text);
    const char* end = std::strchr(text + 1, '"');
    return end ? CString(text + 1, int(end - text - 1)) : CString(text + 1);
}

bool ExpandSetupCommand(CString& target)
{
    const CString joined = JoinPath(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"), CTextDef::GetText("COMMON_CMD_XGINSTALL"));
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(joined, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        return false;
    target = StripCommandQuotes(expanded);
    return true;
}

bool IsTargetAction(IAction* action, const CString& target)
{
    TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
    if (FAILED(action->get_Type(&type)) || type != TASK_ACTION_EXEC)
        return false;
    CComPtr<IExecAction> exec;
    if (FAILED(action->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(&exec))) || !exec)
        return false;
    CComBSTR path;
    if (FAILED(exec->get_Path(&path)) || !path)
        return false;
    char ansi[512] = {};
    WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
    return StripCommandQuotes(ansi).CompareNoCase(target) == 0;
}

bool IsTargetTask(IRegisteredTask* task, const CString& target)
{
    CComPtr<ITaskDefinition> definition;
    CComPtr<IActionCollection> actions;
    LONG count = 0;
    if (FAILED(task->get_Definition(&definition)) || !definition || FAILED(definition->get_Actions(&actions)) || !actions ||
        FAILED(actions->get_Count(&count)))
        return false;
    for (LONG i = 1; i <= count; ++i) {
        CComPtr<IAction> action;
        if (SUCCEEDED(actions->get_Item(i, &action)) && action && IsTargetAction(action, target))
            return true;
    }
    return false;
}

bool IsScheduledTask(const CString& target)
{
    CComPtr<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(&service))) ||
        !service)
        return false;
    VARIANT empty;
    VariantInit(&empty);
    if (FAILED(service->Connect(empty, empty, empty, empty)))
        return false;
    CComPtr<ITaskFolder> root;
    CComBSTR rootPath(L"\\");
    if (FAILED(service->GetFolder(rootPath, &root)) || !root)
        return false;
    CComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    if (FAILED(root->GetTasks(0, &tasks)) || !tasks || FAILED(tasks->get_Count(&count)))
        return false;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        CComPtr<IRegisteredTask> task;
        if (SUCCEEDED(tasks->get_Item(index, &task)) && task && IsTargetTask(task, target))
            return true;
    }
    return false;
}

bool IsRunOnceValue(const CString& target)
{
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", KEY_READ) != ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        char name[260];
        // One byte beyond the 513 read, so a value without its NUL still ends in one.
        BYTE data[514];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
        // Another program's long value says nothing about ours: look at the next one.
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            continue;
        data[dataLength] = 0;
        if (StripCommandQuotes(reinterpret_cast<const char*>(data)).CompareNoCase(target) == 0)
            return true;
    }
}

// Up to four numbers of a dotted version; a run of dots is one separator, missing parts are 0.
void SplitVersion(const CString& version, int (&parts)[4])
{
    int count = 0;
    const char* p = version;
    while (*p && count < 4) {
        while (*p == '.')
            ++p;
        if (!*p)
            break;
        const char* end = std::strchr(p, '.');
        const CString part = end ? CString(p, int(end - p)) : CString(p);
        parts[count++] = StrToIntA(part);
        p = end ? end : p + std::strlen(p);
    }
}

bool VersionMatches(const CString& version, const CString& expected)
{
    int v[4] = {};
    SplitVersion(version, v);
    CString forms[4];
    forms[0].Format("%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
    forms[1].Format("%d.%d.%d", v[0], v[1], v[2]);
    forms[2].Format("%d.%d", v[0], v[1]);
    forms[3].Format("%d", v[0]);
    for (const CString& form : forms) {
        if (form == expected)
            return true;
    }
    return false;
}

}  // namespace

CString JoinPath(const char* a, const char* b)
{
    CString path(a);
    path += "\\";
    path += b;
    return path;
}

int GetInstallStatus()
{
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_XGINSTALLSTATUS");
    if (!root)
        return -1;
    const CString path = CTextDef::GetRegPath("COMMON_REG_XGINSTALLSTATUS");
    const int slash = path.ReverseFind('\\');
    const CString subKey = slash < 0 ? CString() : path.Left(slash);
    const CString valueName = path.Mid(slash + 1);

    CRegKey key;
    if (key.Open(root, subKey, KEY_READ | (IsWow64() ? KEY_WOW64_64KEY : 0)) != ERROR_SUCCESS)
        return -1;
    // Only a true DWORD is a status: a string or a wider value would read as garbage.
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return -1;
    return int(value);
}

BOOL GetInstalledProductInfo(CString& productId, CString& version)
{
    CProductObject product;
    if (!product.IsCreated())
        return FALSE;
    return product.GetProductId(productId) && product.GetProductVersion(version);
}

BOOL IsExpectedProductInstalled()
{
    CProductObject product;
    if (!product.IsCreated())
        return FALSE;
    CString productId;
    if (!product.GetProductId(productId) || productId.CompareNoCase(CTextDef::GetText("COMMON_CT_PRODUCTID")) != 0)
        return FALSE;
    const CString expected = CTextDef::GetText("COMMON_CT_PRODUCTVERSION");
    if (expected.IsEmpty())
        return FALSE;
    CString version;
    if (!product.GetProductVersion(version))
        return FALSE;
    return VersionMatches(version, expected);
}

BOOL IsInstallerPending(BOOL useTaskScheduler)
{
    CString target;
    if (!ExpandSetupCommand(target))
        return FALSE;
    return useTaskScheduler ? IsScheduledTask(target) : IsRunOnceValue(target);
}
