#include "CScriptedBrowser.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "BrowserRegistry.h"
#include "CScriptedDocument.h"
#include "DocumentDump.h"
#include "FormSubmission.h"
#include "HttpFetch.h"
#include "ScriptedIids.h"
#include "Text.h"
#include "Urls.h"
#include "WindowClasses.h"

namespace scripted {

namespace {

// NWMF_USERINITED | NWMF_FIRST: a new window that the user's own click asked for.
constexpr long kUserNewWindow = 0x2 | 0x4;
constexpr long kCscUpdateCommands = -1;
const char kFormHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\n";

// Keeps a browser alive across a call that may let the last outside reference go.
class Hold {
public:
    explicit Hold(IUnknown* object) : m_object(object) { m_object->AddRef(); }
    ~Hold() { m_object->Release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    IUnknown* m_object;
};

std::string StatusText(long status)
{
    char text[32];
    if (status < 0)
        std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    else
        std::snprintf(text, sizeof text, "%ld", status);
    return text;
}

long VariantLong(const VARIANT* value)
{
    if (!value)
        return 0;
    if (value->vt == (VT_BYREF | VT_VARIANT))
        return VariantLong(value->pvarVal);
    VARIANT number;
    ::VariantInit(&number);
    if (value->vt == VT_EMPTY || value->vt == VT_ERROR ||
        FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(value), 0, VT_I4)))
        return 0;
    return number.lVal;
}

// Post data as a browser takes it: a byte array, or a by-reference variant holding one.
bool VariantBytes(const VARIANT* value, std::string* bytes)
{
    if (!value)
        return false;
    if (value->vt == (VT_BYREF | VT_VARIANT))
        return VariantBytes(value->pvarVal, bytes);
    if (value->vt != (VT_ARRAY | VT_UI1) || !value->parray)
        return false;
    LONG lower = 0;
    LONG upper = -1;
    ::SafeArrayGetLBound(value->parray, 1, &lower);
    ::SafeArrayGetUBound(value->parray, 1, &upper);
    void* data = nullptr;
    if (upper >= lower && SUCCEEDED(::SafeArrayAccessData(value->parray, &data))) {
        bytes->assign(static_cast<const char*>(data), size_t(upper - lower + 1));
        ::SafeArrayUnaccessData(value->parray);
    }
    return true;
}

}  // namespace

HRESULT CScriptedBrowser::Create(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CScriptedBrowser* browser = nullptr;
    try {
        browser = new CScriptedBrowser();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = browser->QueryInterface(iid, object);
    browser->Release();
    return hr;
}

CScriptedBrowser::CScriptedBrowser()
    : m_point(static_cast<IWebBrowser2*>(this), static_cast<IConnectionPointContainer*>(this)),
      m_fire(m_point, static_cast<IWebBrowser2*>(this))
{
    m_id = BrowserRegistry::Add(this);
}

CScriptedBrowser::~CScriptedBrowser()
{
    BrowserRegistry::Remove(m_id);
    m_queue.Clear();
    m_point.UnadviseAll();
    if (CScriptedDocument* document = m_document) {
        m_document = nullptr;
        document->Detach();
        document->Release();
    }
    if (m_shell && ::IsWindow(m_shell)) {
        ::SetWindowLongPtrA(m_shell, GWLP_USERDATA, 0);
        ::DestroyWindow(m_shell);
    }
    if (m_inPlaceSite)
        m_inPlaceSite->Release();
    if (m_site)
        m_site->Release();
}

// ---- records and views ----

void CScriptedBrowser::Record(const std::string& line)
{
    int number = 0;
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_events.push_back(line);
        number = m_dumpNumber;
    }
    DumpEvent(number, line);
}

void CScriptedBrowser::RecordHostFlags(DWORD flags)
{
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    m_hostFlags = flags;
}

void CScriptedBrowser::CountWheelMessage()
{
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    ++m_wheelMessages;
}

void CScriptedBrowser::DocumentLoaded(const std::string& html)
{
    const int number = DumpDocument(html);
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_written.push_back(html);
        if (number)
            m_dumpNumber = number;
    }
    // A real browser completes the loaded document once more, under its blank address.
    m_queue.Post([this] {
        Hold hold(AsDispatch());
        FireDocumentComplete("about:blank");
    });
}

std::string CScriptedBrowser::Html() const
{
    return m_document ? m_document->Html() : std::string();
}

std::vector<std::string> CScriptedBrowser::StyleSheets() const
{
    return m_document ? m_document->StyleSheets() : std::vector<std::string>();
}

HWND CScriptedBrowser::DocumentWindow() const
{
    return m_document ? m_document->Window() : nullptr;
}

bool CScriptedBrowser::IsChecked(const std::string& name) const
{
    if (!m_document)
        return false;
    const auto model = m_document->Model();
    const int index = model->FindInput(name);
    return index >= 0 && model->elements[size_t(index)].checked;
}

bool CScriptedBrowser::IsDisabled(const std::string& name) const
{
    if (!m_document)
        return false;
    const auto model = m_document->Model();
    const int index = model->FindInput(name);
    return index >= 0 && model->elements[size_t(index)].disabled;
}

IDocHostUIHandler* CScriptedBrowser::UiHandler() const
{
    if (m_document)
        return m_document->CurrentUiHandler();
    IDocHostUIHandler* handler = nullptr;
    if (m_site)
        m_site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler));
    return handler;
}

IDispatch* CScriptedBrowser::DocumentDispatch() const
{
    if (!m_document)
        return nullptr;
    IDispatch* document = m_document->AsDispatch();
    document->AddRef();
    return document;
}

// ---- navigation ----

void CScriptedBrowser::Later(void (CScriptedBrowser::*step)(const NavigationRequest&),
                             const NavigationRequest& request)
{
    m_queue.Post([this, step, request] {
        Hold hold(AsDispatch());
        (this->*step)(request);
    });
}

void CScriptedBrowser::StartNavigation(const NavigationRequest& request, long newWindowFlags)
{
    Hold hold(AsDispatch());
    if ((request.flags & kNavOpenInNewWindow) || EqualsNoCase(request.target, "_blank")) {
        Record("NewWindow3 " + request.url);
        m_fire.NewWindow3(request.url, m_location, newWindowFlags);
        return;
    }
    Record("BeforeNavigate2 " + request.url);
    if (m_fire.BeforeNavigate2(request))
        return;
    Later(&CScriptedBrowser::CompleteNavigation, request);
}

void CScriptedBrowser::CompleteNavigation(const NavigationRequest& request)
{
    if (IsAboutBlank(request.url)) {
        ReplaceDocument(request.url, std::string(), false);
        FireDocumentComplete(request.url);
        return;
    }
    LoopbackUrl address;
    if (!ParseLoopbackUrl(request.url, &address)) {
        // Only this machine's loopback is ever fetched.
        FailNavigation(request, kInetResourceNotFound);
        return;
    }
    const HttpAnswer answer = HttpFetch(address, request.hasPostData ? &request.postData : nullptr, request.headers);
    if (!answer.reached) {
        FailNavigation(request, kInetCannotConnect);
        return;
    }
    if (answer.status != 200) {
        FailNavigation(request, long(answer.status));
        return;
    }
    ReplaceDocument(request.url, answer.body, true);
    FireDocumentComplete(request.url);
}

void CScriptedBrowser::FailNavigation(const NavigationRequest& request, long status)
{
    Record("NavigateError " + request.url + " " + StatusText(status));
    if (m_fire.NavigateError(request.url, request.target, status))
        return;
    ReplaceDocument(request.url, std::string(), false);
    FireDocumentComplete(request.url);
}

void CScriptedBrowser::ReplaceDocument(const std::string& url, const std::string& html, bool dump)
{
    auto* document = new CScriptedDocument(this, url, html);
    const int number = dump ? DumpDocument(html) : 0;
    CScriptedDocument* old = nullptr;
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        old = m_document;
        m_document = document;
        m_location = url;
        if (number)
            m_dumpNumber = number;
    }
    if (old) {
        old->Detach();
        old->Release();
    }
    document->CreateWindowIn(m_shell);
    document->AskHostInfo();
}

void CScriptedBrowser::FireDocumentComplete(const std::string& url)
{
    Record("DocumentComplete " + url);
    m_fire.DocumentComplete(url);
}

// ---- test actions ----

bool CScriptedBrowser::SetChecked(const std::string& name, bool checked)
{
    if (!m_document)
        return false;
    Hold hold(AsDispatch());
    const auto model = m_document->Model();
    const int index = model->FindInput(name);
    if (index < 0)
        return false;
    HtmlElement& box = model->elements[size_t(index)];
    const std::string type = box.InputType();
    if ((type != "checkbox" && type != "radio") || box.disabled)
        return false;
    if (box.checked == checked)
        return true;
    if (type == "radio" && checked) {
        const std::string group = box.AttributeOr("name");
        for (HtmlElement& other : model->elements)
            if (other.tag == "input" && other.InputType() == "radio" && other.form == box.form &&
                other.AttributeOr("name") == group)
                other.checked = false;
    }
    box.checked = checked;
    Record("CommandStateChange " + std::to_string(kCscUpdateCommands) + " 1");
    m_fire.CommandStateChange(kCscUpdateCommands, true);
    return true;
}

bool CScriptedBrowser::SubmissionOf(const std::string& inputName, NavigationRequest* request) const
{
    if (!m_document)
        return false;
    const auto model = m_document->Model();
    const int index = model->FindInput(inputName);
    FormSubmission submission;
    if (index < 0 || model->elements[size_t(index)].disabled ||
        !BuildSubmission(*model, size_t(index), m_document->Url(), &submission))
        return false;
    request->url = submission.url;
    request->target = submission.target;
    if (submission.post) {
        request->hasPostData = true;
        request->postData = submission.body;
        request->headers = kFormHeaders;
    }
    return true;
}

bool CScriptedBrowser::LinkRequest(const std::string& href, NavigationRequest* request) const
{
    if (!m_document)
        return false;
    const auto model = m_document->Model();
    const int index = model->FindLink(href);
    if (index < 0)
        return false;
    request->url = ResolveUrl(m_document->Url(), href);
    request->target = model->elements[size_t(index)].AttributeOr("target");
    return true;
}

bool CScriptedBrowser::Submit(const std::string& inputName)
{
    NavigationRequest request;
    if (!SubmissionOf(inputName, &request))
        return false;
    StartNavigation(request, kUserNewWindow);
    return true;
}

bool CScriptedBrowser::ClickLink(const std::string& href)
{
    NavigationRequest request;
    if (!LinkRequest(href, &request))
        return false;
    StartNavigation(request, kUserNewWindow);
    return true;
}

void CScriptedBrowser::NavigateTo(const std::string& url)
{
    NavigationRequest request;
    request.url = url;
    StartNavigation(request, kUserNewWindow);
}

bool CScriptedBrowser::RunCommand(const std::string& command)
{
    const size_t blank = command.find(' ');
    if (blank == std::string::npos)
        return false;
    const std::string verb = command.substr(0, blank);
    const std::string argument = command.substr(blank + 1);
    if (verb == "check") {
        const size_t last = argument.rfind(' ');
        if (last == std::string::npos)
            return false;
        const std::string state = argument.substr(last + 1);
        if (state != "0" && state != "1")
            return false;
        return SetChecked(argument.substr(0, last), state == "1");
    }
    // The sender waits for the answer: a page that shows a modal box while navigating
    // must not keep it waiting, so the navigation itself runs from the message loop.
    NavigationRequest request;
    if (verb == "submit") {
        if (!SubmissionOf(argument, &request))
            return false;
    } else if (verb == "click") {
        if (!LinkRequest(argument, &request))
            return false;
    } else if (verb == "navigate") {
        request.url = argument;
    } else {
        return false;
    }
    m_queue.Post([this, request] {
        Hold hold(AsDispatch());
        StartNavigation(request, kUserNewWindow);
    });
    return true;
}

// ---- windows ----

LRESULT CALLBACK CScriptedBrowser::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        auto* browser = reinterpret_cast<CScriptedBrowser*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!browser || !data || data->dwData != 0x4B53 || !data->lpData || data->cbData == 0)
                return FALSE;
            const char* text = static_cast<const char*>(data->lpData);
            std::string command(text, strnlen(text, data->cbData));
            Hold hold(browser->AsDispatch());
            return browser->RunCommand(command) ? TRUE : FALSE;
        }
        case WM_SIZE:
            if (browser && browser->m_document)
                browser->m_document->FitWindow();
            break;
        case WM_DESTROY:
            if (browser) {
                ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
                browser->m_shell = nullptr;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HRESULT CScriptedBrowser::Activate(IOleClientSite* activeSite, HWND parent, LPCRECT position)
{
    IOleClientSite* site = activeSite ? activeSite : m_site;
    IOleInPlaceSite* inPlace = nullptr;
    if (site)
        site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace));
    if (inPlace && inPlace->CanInPlaceActivate() != S_OK) {
        inPlace->Release();
        return E_FAIL;
    }
    if (!parent && inPlace)
        inPlace->GetWindow(&parent);
    if (!parent || !EnsureWindowClass(kShellEmbeddingClass, WindowProc)) {
        if (inPlace)
            inPlace->Release();
        return E_INVALIDARG;
    }
    RECT area;
    if (position)
        area = *position;
    else
        ::GetClientRect(parent, &area);
    m_shell = ::CreateWindowExA(0, kShellEmbeddingClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                ModuleInstance(), nullptr);
    if (!m_shell) {
        if (inPlace)
            inPlace->Release();
        return E_FAIL;
    }
    ::SetWindowLongPtrA(m_shell, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_inPlaceSite = inPlace;
    if (m_inPlaceSite)
        m_inPlaceSite->OnInPlaceActivate();
    if (m_document)
        m_document->CreateWindowIn(m_shell);
    return S_OK;
}

// ---- IUnknown, IDispatch ----

HRESULT CScriptedBrowser::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
        iid == IID_IWebBrowser2)
        *object = static_cast<IWebBrowser2*>(this);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CScriptedBrowser::AddRef()
{
    return ULONG(::InterlockedIncrement(&m_refs));
}

ULONG CScriptedBrowser::Release()
{
    const LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return ULONG(refs);
}

HRESULT CScriptedBrowser::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptedBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT CScriptedBrowser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
}

// ---- IWebBrowser2 ----

HRESULT CScriptedBrowser::Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData, VARIANT* headers)
{
    VARIANT address;
    address.vt = VT_BSTR;
    address.bstrVal = url;
    return Navigate2(&address, flags, target, postData, headers);
}

HRESULT CScriptedBrowser::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                    VARIANT* headers)
{
    if (!url)
        return E_POINTER;
    try {
        NavigationRequest request;
        request.url = VariantText(url);
        request.flags = VariantLong(flags);
        request.target = VariantText(target);
        request.hasPostData = VariantBytes(postData, &request.postData);
        request.headers = VariantText(headers);
        StartNavigation(request, request.flags);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::Refresh()
{
    try {
        if (m_location.empty())
            return S_OK;
        NavigationRequest request;
        request.url = m_location;
        Later(&CScriptedBrowser::CompleteNavigation, request);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::Refresh2(VARIANT*)
{
    return Refresh();
}

HRESULT CScriptedBrowser::Stop()
{
    m_queue.Clear();
    return S_OK;
}

HRESULT CScriptedBrowser::get_Document(IDispatch** document)
{
    if (!document)
        return E_POINTER;
    *document = DocumentDispatch();
    return *document ? S_OK : S_FALSE;
}

HRESULT CScriptedBrowser::get_LocationURL(BSTR* url)
{
    if (!url)
        return E_POINTER;
    try {
        *url = AllocBstr(m_location);
        return S_OK;
    } catch (...) {
        *url = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedBrowser::get_Busy(VARIANT_BOOL* busy)
{
    if (!busy)
        return E_POINTER;
    *busy = m_queue.Empty() ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT CScriptedBrowser::get_ReadyState(READYSTATE* state)
{
    if (!state)
        return E_POINTER;
    if (!m_queue.Empty())
        *state = READYSTATE_LOADING;
    else
        *state = m_document ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
    return S_OK;
}

HRESULT CScriptedBrowser::put_RegisterAsDropTarget(VARIANT_BOOL registered)
{
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    m_dropTarget = registered != VARIANT_FALSE;
    return S_OK;
}

HRESULT CScriptedBrowser::get_RegisterAsDropTarget(VARIANT_BOOL* registered)
{
    if (!registered)
        return E_POINTER;
    *registered = m_dropTarget ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ---- IOleObject ----

HRESULT CScriptedBrowser::SetClientSite(IOleClientSite* site)
{
    if (site)
        site->AddRef();
    IOleClientSite* previous = m_site;
    m_site = site;
    if (previous)
        previous->Release();
    return S_OK;
}

HRESULT CScriptedBrowser::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_site;
    if (m_site)
        m_site->AddRef();
    return S_OK;
}

HRESULT CScriptedBrowser::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

HRESULT CScriptedBrowser::Close(DWORD)
{
    try {
        Hold hold(AsDispatch());
        InPlaceDeactivate();
        m_queue.Clear();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT position)
{
    try {
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            if (m_shell) {
                ::ShowWindow(m_shell, SW_SHOW);
                if (position)
                    SetObjectRects(position, position);
                return S_OK;
            }
            return Activate(activeSite, parent, position);
        case OLEIVERB_HIDE:
            if (m_shell)
                ::ShowWindow(m_shell, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
        }
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = kClsidWebBrowser;
    return S_OK;
}

HRESULT CScriptedBrowser::SetExtent(DWORD, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    m_extent = *size;
    return S_OK;
}

HRESULT CScriptedBrowser::GetExtent(DWORD, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
}

HRESULT CScriptedBrowser::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

// ---- IOleWindow, IOleInPlaceObject ----

HRESULT CScriptedBrowser::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_shell;
    return m_shell ? S_OK : E_FAIL;
}

HRESULT CScriptedBrowser::InPlaceDeactivate()
{
    try {
        if (m_shell && ::IsWindow(m_shell)) {
            HWND shell = m_shell;
            ::SetWindowLongPtrA(shell, GWLP_USERDATA, 0);
            m_shell = nullptr;
            ::DestroyWindow(shell);
        }
        // As a real control does, the site hears of it from inside this call.
        if (IOleInPlaceSite* site = m_inPlaceSite) {
            m_inPlaceSite = nullptr;
            site->OnInPlaceDeactivate();
            site->Release();
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::UIDeactivate()
{
    return S_OK;
}

HRESULT CScriptedBrowser::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position)
        return E_POINTER;
    if (m_shell)
        ::MoveWindow(m_shell, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    if (m_document)
        m_document->FitWindow();
    return S_OK;
}

// ---- IConnectionPointContainer ----

HRESULT CScriptedBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid != kDiidWebBrowserEvents2)
        return CONNECT_E_NOCONNECTION;
    *point = &m_point;
    m_point.AddRef();
    return S_OK;
}

// ---- IOleInPlaceActiveObject ----

HRESULT CScriptedBrowser::TranslateAccelerator(LPMSG message)
{
    if (!message)
        return E_POINTER;
    if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST)
        return S_FALSE;
    try {
        Hold hold(AsDispatch());
        if (IDocHostUIHandler* handler = UiHandler()) {
            const HRESULT hr = handler->TranslateAccelerator(message, nullptr, 0);
            handler->Release();
            if (hr == S_OK)
                return S_OK;
        }
        Record("DocumentKey " + std::to_string(message->message) + " " + std::to_string(message->wParam));
        const bool command = message->message == WM_KEYDOWN &&
                             (::GetKeyState(VK_CONTROL) < 0 || message->wParam == VK_TAB);
        return command ? S_OK : S_FALSE;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedBrowser::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CScriptedBrowser::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CScriptedBrowser::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

HRESULT CScriptedBrowser::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT CScriptedBrowser::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

}  // namespace scripted
