#include "Cpevlin.h"

#include <commctrl.h>
#include <olectl.h>
#include <process.h>

#include <vector>

#include "CComClassFactory.h"
#include "PevlinPanel.h"

namespace {

const char kDefaultCheckPage[] = "/contents/security/kavo/ipv6/connect_k.html";

// The pump's own answer to WM_QUIT, for a worker that has seen the abort flag but still
// updates the panel: sent messages only, until it has ended.
void WaitServingSentMessages(HANDLE worker)
{
    while (::MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The persisted record. Its version comes first so that a later record can be told apart.
struct PersistedRecord {
    DWORD version;
    LONG extentX;  // HIMETRIC
    LONG extentY;
    DWORD enabled;
};
const DWORD kPersistedVersion = 1;

}  // namespace

Cpevlin::Cpevlin()
{
    m_state.CheckURL = kPevlinContentServer;
    m_state.CheckURL += kDefaultCheckPage;
    m_state.LogPath = ".\\support";
    m_state.CompanyCode = "JARO";
    m_state.RetryV6 = 0;
    m_state.RetryNB = 0;
    m_state.RetryNA1 = 7;
    m_state.RtnCode = 0;
    m_windowOnly = true;
    m_sizeExtent = TemplateExtent(AtlGetResourceInstance());
}

Cpevlin::~Cpevlin()
{
    DestroyControlWindow();
    m_propertyNotify.Clear();
}

const CComInterfaceEntry* Cpevlin::GetInterfaceEntries()
{
    static const CComInterfaceEntry entries[] = {
        COM_INTERFACE_ENTRY_IID(Cpevlin, Ipevlin, kIidIpevlin),
        COM_INTERFACE_ENTRY_IID(Cpevlin, Ipevlin, IID_IDispatch),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IViewObjectEx, IID_IViewObjectEx),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IViewObjectEx, IID_IViewObject2),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IViewObjectEx, IID_IViewObject),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleInPlaceObjectWindowless, IID_IOleInPlaceObjectWindowless),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleInPlaceObjectWindowless, IID_IOleInPlaceObject),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleInPlaceObjectWindowless, IID_IOleWindow),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleInPlaceActiveObject, IID_IOleInPlaceActiveObject),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleControl, IID_IOleControl),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IOleObject, IID_IOleObject),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IPersistStreamInit, IID_IPersistStreamInit),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IPersistStreamInit, IID_IPersist),
        COM_INTERFACE_ENTRY_IID(Cpevlin, ISupportErrorInfo, IID_ISupportErrorInfo),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IConnectionPointContainer, IID_IConnectionPointContainer),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IPersistStorage, IID_IPersistStorage),
        COM_INTERFACE_ENTRY_IID(Cpevlin, ISpecifyPropertyPages, IID_ISpecifyPropertyPages),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IQuickActivate, IID_IQuickActivate),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IDataObject, IID_IDataObject),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IProvideClassInfo2, IID_IProvideClassInfo2),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IProvideClassInfo2, IID_IProvideClassInfo),
        COM_INTERFACE_ENTRY_IID(Cpevlin, IObjectSafety, IID_IObjectSafety),
        {nullptr, 0},
    };
    return entries;
}

HRESULT Cpevlin::put_Enabled(VARIANT_BOOL enabled)
{
    m_enabled = enabled != VARIANT_FALSE;
    FireOnChanged(DISPID_ENABLED);
    SetDirty(true);
    SendOnViewChange();
    return S_OK;
}

void Cpevlin::InitProperties()
{
    m_enabled = FALSE;
    m_sizeExtent = TemplateExtent(AtlGetResourceInstance());
}

ULONG Cpevlin::PropertiesSize()
{
    return sizeof(PersistedRecord);
}

HRESULT Cpevlin::WriteProperties(IStream* stream)
{
    const PersistedRecord record = {kPersistedVersion, m_sizeExtent.cx, m_sizeExtent.cy, m_enabled ? 1u : 0u};
    ULONG written = 0;
    const HRESULT hr = stream->Write(&record, sizeof record, &written);
    if (FAILED(hr))
        return hr;
    return written == sizeof record ? S_OK : STG_E_WRITEFAULT;
}

HRESULT Cpevlin::ReadProperties(IStream* stream)
{
    PersistedRecord record = {};
    ULONG read = 0;
    const HRESULT hr = stream->Read(&record, sizeof record, &read);
    if (FAILED(hr))
        return hr;
    if (read != sizeof record)
        return STG_E_READFAULT;
    // A record of another layout is not this control's.
    if (record.version != kPersistedVersion || record.enabled > 1)
        return E_FAIL;
    m_sizeExtent.cx = record.extentX;
    m_sizeExtent.cy = record.extentY;
    m_enabled = record.enabled ? TRUE : FALSE;
    return S_OK;
}

HRESULT Cpevlin::get_Enabled(VARIANT_BOOL* enabled)
{
    if (!enabled)
        return E_POINTER;
    *enabled = m_enabled ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT Cpevlin::StoreText(CString& stored, BSTR text)
{
    stored.Empty();
    const int length = text ? int(::SysStringLen(text)) : 0;
    if (length == 0)
        return S_OK;
    const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return S_OK;
    char* buffer = stored.GetBufferSetLength(bytes);
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, buffer, bytes, nullptr, nullptr);
    stored.ReleaseBuffer(bytes);
    return S_OK;
}

HRESULT Cpevlin::put_RetryV6(LONG tries)
{
    m_state.RetryV6 = tries;
    return S_OK;
}

HRESULT Cpevlin::put_RetryNB(LONG tries)
{
    m_state.RetryNB = tries;
    return S_OK;
}

HRESULT Cpevlin::put_RetryNA1(LONG tries)
{
    m_state.RetryNA1 = tries;
    return S_OK;
}

HRESULT Cpevlin::get_Version(LONG* version)
{
    if (!version)
        return E_POINTER;
    *version = 0;
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(AtlThisModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return S_OK;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return S_OK;
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (::GetFileVersionInfoA(path, 0, size, block.data()) &&
        ::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed &&
        fixedSize >= sizeof *fixed)
        *version = LONG(HIWORD(fixed->dwFileVersionMS));
    return S_OK;
}

HRESULT Cpevlin::get_RtnCode(LONG* code)
{
    if (!code)
        return E_POINTER;
    *code = m_state.RtnCode;
    return S_OK;
}

HRESULT Cpevlin::Execute(PevlinMethod method)
{
    const PevlinWorker worker = g_pevlinWorkers[method];
    // Page script run by the pump may call again; the state block serves one worker at a time.
    if (!worker || m_running)
        return S_OK;
    // Page script run by the pump may drop the page's last reference meanwhile.
    const CComPtr<Ipevlin> keepAlive(this);
    m_running = true;
    m_state.abortFlag = 0;
    if (method == kPevlinISP)
        m_state.waitFlag = 0;
    m_state.panelWindow = m_hWnd;
    m_state.progress = 0;
    ::SetProcessAffinityMask(::GetCurrentProcess(), 1);
    ShowAbortButton(&m_state, true);

    const uintptr_t started = ::_beginthreadex(nullptr, 0, worker, &m_state, CREATE_SUSPENDED, nullptr);
    if (started) {
        HANDLE thread = reinterpret_cast<HANDLE>(started);
        ::SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
        ::ResumeThread(thread);
        WPARAM quitCode = 0;
        if (!PumpUntilEnded(thread, &quitCode)) {
            // The worker must not outlive the state block: ask it to stop, wait for it, and
            // hand the quit on to the loop that owns it.
            m_state.abortFlag = 1;
            WaitServingSentMessages(thread);
            ::PostQuitMessage(int(quitCode));
        }
        ::CloseHandle(thread);
    }

    ShowAbortButton(&m_state, false);
    if (method == kPevlinISP)
        ShowProfileChooser(&m_state, false);
    m_running = false;
    return S_OK;
}

bool Cpevlin::PumpUntilEnded(HANDLE worker, WPARAM* quitCode)
{
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                *quitCode = message.wParam;
                return false;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (::MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
    }
}

LRESULT Cpevlin::OnShowWindow(UINT, WPARAM, LPARAM, BOOL& handled)
{
    for (int id : {IDC_PEVLIN_ABORT, IDC_PEVLIN_CHOOSER_FRAME, IDC_PEVLIN_CHOOSER_TEXT, IDC_PEVLIN_PROFILES,
                   IDC_PEVLIN_CONNECT})
        ::ShowWindow(GetDlgItem(id), SW_HIDE);
    SetDlgItemText(IDC_PEVLIN_STATUS, "");
    ::SendDlgItemMessageA(m_hWnd, IDC_PEVLIN_PROGRESS, PBM_SETRANGE32, 0, 100);
    handled = FALSE;
    return 0;
}

LRESULT Cpevlin::OnAbort(WORD code, WORD, HWND, BOOL& handled)
{
    if (code != BN_CLICKED) {
        handled = FALSE;
        return 0;
    }
    m_state.abortFlag = 1;
    return 0;
}

LRESULT Cpevlin::OnConnect(WORD code, WORD, HWND, BOOL& handled)
{
    if (code != BN_CLICKED) {
        handled = FALSE;
        return 0;
    }
    HWND list = GetDlgItem(IDC_PEVLIN_PROFILES);
    const LRESULT selected = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    char chosen[MAX_PATH] = {};
    if (selected != LB_ERR) {
        const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, WPARAM(selected), 0);
        if (length != LB_ERR) {
            CString text;
            ::SendMessageA(list, LB_GETTEXT, WPARAM(selected), LPARAM(text.GetBufferSetLength(int(length))));
            text.ReleaseBuffer(int(length));
            lstrcpynA(chosen, text, sizeof chosen);
        }
    }
    memcpy(m_state.profileName, chosen, sizeof chosen);
    m_state.waitFlag = 0;
    return 0;
}

IClassFactory* PevlinClassFactory()
{
    return &CComClassFactory<Cpevlin>::Instance();
}
