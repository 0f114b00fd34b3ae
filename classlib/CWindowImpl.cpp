#include "CWindowImpl.h"

#include "CDialogImpl.h"

namespace {

const char kObjectProperty[] = "KavoWindowObject";
thread_local CWindowImplRoot* t_creating;

// Dialogs being created on this thread: whether an object had its final message (and so may
// be gone) before its creation call returned.
struct CreationRecord {
    CWindowImplRoot* object;
    bool finished;
    CreationRecord* outer;
};
thread_local CreationRecord* t_creations;

void NoteFinalMessage(CWindowImplRoot* object)
{
    for (CreationRecord* record = t_creations; record; record = record->outer)
        if (record->object == object)
            record->finished = true;
}

// The messages whose result is the dialog procedure's own return value.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

HWND ReflectionTarget(UINT uMsg, WPARAM wParam, LPARAM lParam, HWND self)
{
    switch (uMsg) {
    case WM_COMMAND:
        return lParam ? reinterpret_cast<HWND>(lParam) : nullptr;
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
    (void)self;
}

}  // namespace

namespace {

// The object of a window: bound already, or the one being created on this thread, which
// the window's first message binds.
template <typename T>
T* ObjectOfWindow(HWND hWnd)
{
    auto* self = static_cast<T*>(AtlWindowFromHandle(hWnd));
    if (!self) {
        self = static_cast<T*>(AtlTakeCreatingWindow());
        if (self) {
            self->m_hWnd = hWnd;
            AtlBindWindow(hWnd, self);
        }
    }
    return self;
}

}  // namespace

void AtlSetCreatingWindow(CWindowImplRoot* object)
{
    t_creating = object;
}

CWindowImplRoot* AtlTakeCreatingWindow()
{
    CWindowImplRoot* object = t_creating;
    t_creating = nullptr;
    return object;
}

CWindowImplRoot* AtlWindowFromHandle(HWND hWnd)
{
    return static_cast<CWindowImplRoot*>(::GetPropA(hWnd, kObjectProperty));
}

void AtlBindWindow(HWND hWnd, CWindowImplRoot* object)
{
    ::SetPropA(hWnd, kObjectProperty, object);
}

void AtlUnbindWindow(HWND hWnd)
{
    ::RemovePropA(hWnd, kObjectProperty);
}

CWindowImplRoot::~CWindowImplRoot()
{
    // An object deleted while its window lives must not receive that window's messages.
    if (m_hWnd && ::IsWindow(m_hWnd) && AtlWindowFromHandle(m_hWnd) == this)
        AtlUnbindWindow(m_hWnd);
}

LRESULT CWindowImplRoot::ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    HWND target = ReflectionTarget(uMsg, wParam, lParam, m_hWnd);
    if (!target || !::IsWindow(target)) {
        bHandled = FALSE;
        return 0;
    }
    return ::SendMessageA(target, OCM__BASE + uMsg, wParam, lParam);
}

void CWindowImplRoot::EnterMessage(const MSG& message, const MSG*& saved)
{
    saved = m_pCurrentMsg;
    m_pCurrentMsg = &message;
    ++m_depth;
}

BOOL CWindowImplRoot::RouteMessage(const MSG& message, LRESULT& result, BOOL handledWhenThrown)
{
    try {
        return ProcessWindowMessage(message.hwnd, message.message, message.wParam, message.lParam, result, 0);
    } catch (...) {
        result = 0;
        return handledWhenThrown;
    }
}

bool CWindowImplRoot::LeaveMessage(HWND hWnd, UINT uMsg, const MSG* saved)
{
    m_pCurrentMsg = saved;
    if (uMsg == WM_NCDESTROY) {
        AtlUnbindWindow(hWnd);
        m_hWnd = nullptr;
        m_destroyed = true;
    }
    if (--m_depth == 0 && m_destroyed) {
        m_destroyed = false;
        return true;
    }
    return false;
}

bool CWindowImplRoot::LeaveHold()
{
    if (--m_depth == 0 && m_destroyed) {
        m_destroyed = false;
        return true;
    }
    return false;
}

HWND CWindowImplBaseT::CreateInClass(const char* className, HWND parent, const RECT* rect, const char* name,
                                     DWORD style, DWORD exStyle, HMENU menuOrId, void* param)
{
    HINSTANCE module = AtlGetResourceInstance();
    WNDCLASSEXA existing = {sizeof existing};
    if (!::GetClassInfoExA(module, className, &existing)) {
        WNDCLASSEXA windowClass = {sizeof windowClass};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = GetWindowProc();
        windowClass.hInstance = module;
        windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        if (!::RegisterClassExA(&windowClass))
            return nullptr;
    }
    const RECT area = rect ? *rect : RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const int width = rect ? area.right - area.left : CW_USEDEFAULT;
    const int height = rect ? area.bottom - area.top : CW_USEDEFAULT;
    AtlSetCreatingWindow(this);
    HWND hWnd = ::CreateWindowExA(exStyle, className, name, style, area.left, area.top, width, height, parent,
                                  menuOrId, module, param);
    if (!hWnd)
        AtlTakeCreatingWindow();
    return hWnd;
}

BOOL CWindowImplBaseT::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || AtlWindowFromHandle(hWnd))
        return FALSE;
    AtlBindWindow(hWnd, this);
    auto former = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc())));
    if (!former) {
        AtlUnbindWindow(hWnd);
        return FALSE;
    }
    m_pfnSuperWindowProc = former;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWindowImplBaseT::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return nullptr;
    if (::IsWindow(hWnd)) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) != GetWindowProc())
            return nullptr;
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
        AtlUnbindWindow(hWnd);
    }
    m_pfnSuperWindowProc = ::DefWindowProcA;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CALLBACK CWindowImplBaseT::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto* self = ObjectOfWindow<CWindowImplBaseT>(hWnd);
    if (!self)
        return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    const MSG message = {hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* saved = nullptr;
    self->EnterMessage(message, saved);
    LRESULT result = 0;
    // A failing handler has done what it could; the message counts as handled.
    const BOOL handled = self->RouteMessage(message, result, TRUE);
    if (!handled)
        result = ::CallWindowProcA(self->m_pfnSuperWindowProc, hWnd, uMsg, wParam, lParam);
    if (self->LeaveMessage(hWnd, uMsg, saved)) {
        NoteFinalMessage(self);
        self->OnFinalMessage(hWnd);
    }
    return result;
}

HWND CDialogImplBaseT::CreateFromTemplate(HINSTANCE module, UINT id, HWND parent, LPARAM init, bool* finished)
{
    CreationRecord record = {this, false, t_creations};
    t_creations = &record;
    AtlSetCreatingWindow(this);
    HWND hWnd = ::CreateDialogParamA(module, MAKEINTRESOURCEA(id), parent, GetDialogProc(), init);
    if (!hWnd)
        AtlTakeCreatingWindow();
    t_creations = record.outer;
    if (finished)
        *finished = record.finished;
    // A window that went while it was being made is no window (Wine even returns its handle).
    return record.finished ? nullptr : hWnd;
}

INT_PTR CDialogImplBaseT::DoModalFromTemplate(HINSTANCE module, UINT id, HWND parent, LPARAM init)
{
    AtlSetCreatingWindow(this);
    INT_PTR result = ::DialogBoxParamA(module, MAKEINTRESOURCEA(id), parent, GetDialogProc(), init);
    AtlTakeCreatingWindow();
    return result;
}

void CDialogImplBaseT::ReleaseObject()
{
    if (LeaveHold()) {
        NoteFinalMessage(this);
        // The window is gone already.
        OnFinalMessage(nullptr);
    }
}

INT_PTR CALLBACK CDialogImplBaseT::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto* self = ObjectOfWindow<CDialogImplBaseT>(hWnd);
    if (!self)
        return FALSE;
    const MSG message = {hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* saved = nullptr;
    self->EnterMessage(message, saved);
    LRESULT result = 0;
    const BOOL handled = self->RouteMessage(message, result, FALSE);
    if (self->LeaveMessage(hWnd, uMsg, saved)) {
        NoteFinalMessage(self);
        self->OnFinalMessage(hWnd);
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(uMsg))
        return INT_PTR(result);
    if (uMsg != WM_NCDESTROY && ::IsWindow(hWnd))
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
