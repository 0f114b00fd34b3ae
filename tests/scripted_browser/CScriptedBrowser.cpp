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

// More redirects than a browser follows for one navigation.
constexpr int kMaxRedirects = 20;
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
    if (m_document) {
        m_document->Detach();
        m_document.Release();
    }
    if (m_shell && ::IsWindow(m_shell)) {
        ::SetWindowLongPtrA(m_shell, GWLP_USERDATA, 0);
        ::DestroyWindow(m_shell);
    }
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

void CScriptedBrowser::DocumentLoaded(CScriptedDocument* document, const std::string& html, const std::string& url)
{
    const int number = DumpDocument(html);
    document->SetDumpNumber(number);
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_written.push_back(html);
        if (number)
            m_dumpNumber = number;
    }
    m_queue.Post([this, url] {
        Hold hold(AsDispatch());
        FireCommandState(kCscUpdateCommands, true);
        FireDocumentComplete(url);
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

std::string CScriptedBrowser::Value(const std::string& name) const
{
    if (!m_document)
        return {};
    const auto model = m_document->Model();
    const int index = model->FindControl(name);
    if (index < 0)
        return {};
    if (model->elements[size_t(index)].tag != "select")
        return model->elements[size_t(index)].value;
    const int option = model->SelectedOption(size_t(index));
    return option >= 0 ? model->elements[size_t(option)].OptionValue() : std::string();
}

bool CScriptedBrowser::IsDisabled(const std::string& name) const
{
    if (!m_document)
        return false;
    const auto model = m_document->Model();
    const int index = model->FindControl(name);
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
//
// What the double fires, and in which order (modelled on the real control's):
//   a navigation:   BeforeNavigate2 (inside the call or click that asks for it; a cancel ends
//                   it here), then from the message loop CommandStateChange(-1) as the load
//                   starts, then NavigateComplete2 <final address>, CommandStateChange(2, back
//                   possible), CommandStateChange(1, forward possible: never, there is no
//                   travel forward here), CommandStateChange(-1), DocumentComplete <final address>.
//   a failure:      ... CommandStateChange(-1), NavigateError <address> <status>; unless a sink
//                   cancels it, the error document completes as above under that address.
//   a redirect:     followed silently (no second BeforeNavigate2); only the final address
//                   is reported and becomes the location.
//   a new window:   NewWindow3 only (the double never opens one).
//   loaded content: IPersistStreamInit::Load, or open / write / close of the document:
//                   from the message loop CommandStateChange(-1), then DocumentComplete
//                   (about:blank after Load, the document's address after close).
//   a user's change of a box, option, text or form reset: CommandStateChange(-1).
// CommandStateChange(-1) carries no state of its own; it is always given enable TRUE.
// Back becomes possible from the second navigation on (each navigation, not a load, is a
// step of the travel log).

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
    Later(&CScriptedBrowser::LoadNavigation, request);
}

void CScriptedBrowser::FireCommandState(long command, bool enable)
{
    Record("CommandStateChange " + std::to_string(command) + (enable ? " 1" : " 0"));
    m_fire.CommandStateChange(command, enable);
}

void CScriptedBrowser::LoadNavigation(const NavigationRequest& request)
{
    FireCommandState(kCscUpdateCommands, true);
    if (IsAboutBlank(request.url)) {
        FinishNavigation(request, request.url, std::string(), false);
        return;
    }
    std::string url = request.url;
    std::string method = request.hasPostData ? "POST" : "GET";
    std::string body = request.postData;
    std::string headers = request.headers;
    for (int redirects = 0;; ++redirects) {
        LoopbackUrl address;
        if (!ParseLoopbackUrl(url, &address)) {
            // Only this machine's loopback is ever fetched.
            FailNavigation(request, url, kInetResourceNotFound);
            return;
        }
        const HttpAnswer answer = HttpFetch(address, method, body, headers);
        if (!answer.reached) {
            FailNavigation(request, url, answer.failure);
            return;
        }
        const unsigned long status = answer.status;
        const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
        if (redirect && !answer.location.empty()) {
            if (redirects >= kMaxRedirects) {
                FailNavigation(request, url, kInetRedirectFailed);
                return;
            }
            url = ResolveUrl(url, answer.location);
            // 307 and 308 repeat the request as it was; the others fetch the new address.
            if (status == 303 || ((status == 301 || status == 302) && method == "POST")) {
                method = "GET";
                body.clear();
                headers.clear();
            }
            continue;
        }
        if (status < 200 || status >= 300) {
            FailNavigation(request, url, long(status));
            return;
        }
        FinishNavigation(request, url, answer.body, true);
        return;
    }
}

void CScriptedBrowser::FailNavigation(const NavigationRequest& request, const std::string& url, long status)
{
    Record("NavigateError " + url + " " + StatusText(status));
    if (m_fire.NavigateError(url, request.target, status))
        return;
    FinishNavigation(request, url, std::string(), false);
}

void CScriptedBrowser::FinishNavigation(const NavigationRequest& request, const std::string& url,
                                        const std::string& html, bool dump)
{
    ReplaceDocument(url, html, dump);
    if (!request.reload) {
        ++m_travelSteps;
        Record("NavigateComplete2 " + url);
        m_fire.NavigateComplete2(url);
        FireCommandState(kCscNavigateBack, m_travelSteps > 1);
        FireCommandState(kCscNavigateForward, false);
    }
    FireCommandState(kCscUpdateCommands, true);
    FireDocumentComplete(url);
}

void CScriptedBrowser::ReplaceDocument(const std::string& url, const std::string& html, bool dump)
{
    CComPtr<CScriptedDocument> document;
    document.Attach(new CScriptedDocument(this, url, html));
    const int number = dump ? DumpDocument(html) : 0;
    document->SetDumpNumber(number);
    CComPtr<CScriptedDocument> old;
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        old.Attach(m_document.Detach());
        m_document = document;
        m_location = url;
        if (number)
            m_dumpNumber = number;
    }
    if (old)
        old->Detach();
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
    {
        std::lock_guard<std::recursive_mutex> lock(BrowserRegistry::Lock());
        if (type == "radio" && checked)
            UncheckGroup(*model, size_t(index));
        box.checked = checked;
    }
    FireCommandState(kCscUpdateCommands, true);
    return true;
}

void CScriptedBrowser::UncheckGroup(HtmlModel& model, size_t radio)
{
    const HtmlElement& box = model.elements[radio];
    const std::string group = box.AttributeOr("name");
    for (HtmlElement& other : model.elements)
        if (other.tag == "input" && other.InputType() == "radio" && other.form == box.form &&
            other.AttributeOr("name") == group)
            other.checked = false;
}

bool CScriptedBrowser::SubmissionAt(size_t index, NavigationRequest* request) const
{
    const auto model = m_document->Model();
    FormSubmission submission;
    if (model->elements[index].disabled || !BuildSubmission(*model, index, m_document->Url(), &submission))
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

bool CScriptedBrowser::SubmissionOf(const std::string& inputName, NavigationRequest* request) const
{
    if (!m_document)
        return false;
    const int index = m_document->Model()->FindClickable(inputName, 0);
    return index >= 0 && SubmissionAt(size_t(index), request);
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

bool CScriptedBrowser::Click(int index, Navigation when)
{
    if (!m_document || index < 0)
        return false;
    Hold hold(AsDispatch());
    const auto model = m_document->Model();
    HtmlElement& element = model->elements[size_t(index)];
    if (element.disabled)
        return false;
    if (Submits(element)) {
        NavigationRequest request;
        // A submit control outside any form is clicked and does nothing.
        if (element.form < 0)
            return true;
        if (!SubmissionAt(size_t(index), &request))
            return false;
        Navigate(request, when);
        return true;
    }
    const std::string type = element.InputType();
    {
        std::lock_guard<std::recursive_mutex> lock(BrowserRegistry::Lock());
        if (type == "checkbox") {
            element.checked = !element.checked;
        } else if (type == "radio") {
            if (element.checked)
                return true;
            UncheckGroup(*model, size_t(index));
            element.checked = true;
        } else if (type == "reset") {
            if (element.form >= 0)
                model->ResetForm(element.form);
        } else {
            // A plain button: no script runs in this browser.
            return true;
        }
    }
    FireCommandState(kCscUpdateCommands, true);
    return true;
}

void CScriptedBrowser::Navigate(const NavigationRequest& request, Navigation when)
{
    if (when == Navigation::now) {
        StartNavigation(request, kNewWindowUserClick);
        return;
    }
    // The sender of a command waits for the answer: a page that shows a modal box while
    // navigating must not keep it waiting, so the navigation itself runs from the message loop.
    m_queue.Post([this, request] {
        Hold hold(AsDispatch());
        StartNavigation(request, kNewWindowUserClick);
    });
}

bool CScriptedBrowser::Submit(const std::string& inputName)
{
    NavigationRequest request;
    if (!SubmissionOf(inputName, &request))
        return false;
    StartNavigation(request, kNewWindowUserClick);
    return true;
}

bool CScriptedBrowser::Press(const std::string& name, size_t index, Navigation when)
{
    return m_document && Click(m_document->Model()->FindClickable(name, index), when);
}

bool CScriptedBrowser::PressIn(const std::string& field, const std::string& value, const std::string& name,
                               Navigation when)
{
    return m_document && Click(m_document->Model()->FindClickableIn(field, value, name), when);
}

bool CScriptedBrowser::Select(const std::string& name, const std::string& value)
{
    if (!m_document)
        return false;
    Hold hold(AsDispatch());
    const auto model = m_document->Model();
    const int index = model->FindTagged("select", name);
    if (index < 0 || model->elements[size_t(index)].disabled)
        return false;
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> lock(BrowserRegistry::Lock());
        const int before = model->SelectedOption(size_t(index));
        if (!model->SelectValue(size_t(index), value))
            return false;
        changed = model->SelectedOption(size_t(index)) != before || model->elements[size_t(index)].Has("multiple");
    }
    if (changed)
        FireCommandState(kCscUpdateCommands, true);
    return true;
}

bool CScriptedBrowser::Type(const std::string& name, const std::string& text)
{
    if (!m_document)
        return false;
    Hold hold(AsDispatch());
    const auto model = m_document->Model();
    const int index = model->FindTypable(name);
    if (index < 0)
        return false;
    HtmlElement& field = model->elements[size_t(index)];
    if (field.disabled || field.Has("readonly"))
        return false;
    {
        std::lock_guard<std::recursive_mutex> lock(BrowserRegistry::Lock());
        field.value = text;
    }
    FireCommandState(kCscUpdateCommands, true);
    return true;
}

bool CScriptedBrowser::ClickLink(const std::string& href)
{
    NavigationRequest request;
    if (!LinkRequest(href, &request))
        return false;
    StartNavigation(request, kNewWindowUserClick);
    return true;
}

void CScriptedBrowser::NavigateTo(const std::string& url)
{
    NavigationRequest request;
    request.url = url;
    StartNavigation(request, kNewWindowUserClick);
}

namespace {

// "<first> <rest>" split at the first blank; false when there is none.
bool SplitFirst(const std::string& text, std::string* first, std::string* rest)
{
    const size_t blank = text.find(' ');
    if (blank == std::string::npos || blank == 0)
        return false;
    *first = text.substr(0, blank);
    *rest = text.substr(blank + 1);
    return true;
}

// "<rest> <last>" split at the last blank; false when there is none.
bool SplitLast(const std::string& text, std::string* rest, std::string* last)
{
    const size_t blank = text.rfind(' ');
    if (blank == std::string::npos || blank == 0 || blank + 1 == text.size())
        return false;
    *rest = text.substr(0, blank);
    *last = text.substr(blank + 1);
    return true;
}

}  // namespace

bool CScriptedBrowser::RunCommand(const std::string& command)
{
    std::string verb, argument;
    if (!SplitFirst(command, &verb, &argument))
        return false;
    std::string first, second;
    if (verb == "check") {
        if (!SplitLast(argument, &first, &second) || (second != "0" && second != "1"))
            return false;
        return SetChecked(first, second == "1");
    }
    if (verb == "press") {
        if (!SplitLast(argument, &first, &second) || second.size() > 6 ||
            second.find_first_not_of("0123456789") != std::string::npos)
            return false;
        return Press(first, size_t(std::stoul(second)), Navigation::later);
    }
    if (verb == "pressin") {
        const size_t equals = argument.find('=');
        if (!SplitLast(argument, &first, &second) || equals == std::string::npos || equals == 0 ||
            equals >= first.size())
            return false;
        return PressIn(first.substr(0, equals), first.substr(equals + 1), second, Navigation::later);
    }
    if (verb == "select")
        return SplitFirst(argument, &first, &second) && Select(first, second);
    if (verb == "type") {
        // The text is the rest of the line, blanks included; it may be empty.
        if (!SplitFirst(argument + (argument.find(' ') == std::string::npos ? " " : ""), &first, &second))
            return false;
        return Type(first, second);
    }
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
    Navigate(request, Navigation::later);
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
    IOleClientSite* site = activeSite ? activeSite : m_site.p;
    CComQIPtr<IOleInPlaceSite> inPlace(site);
    if (inPlace && inPlace->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    if (!parent && inPlace)
        inPlace->GetWindow(&parent);
    if (!parent || !EnsureWindowClass(kShellEmbeddingClass, WindowProc))
        return E_INVALIDARG;
    RECT area;
    if (position)
        area = *position;
    else
        ::GetClientRect(parent, &area);
    m_shell = ::CreateWindowExA(0, kShellEmbeddingClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                ModuleInstance(), nullptr);
    if (!m_shell)
        return E_FAIL;
    ::SetWindowLongPtrA(m_shell, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_inPlaceSite = inPlace;
    if (m_inPlaceSite)
        m_inPlaceSite->OnInPlaceActivate();
    if (m_document)
        m_document->CreateWindowIn(m_shell);
    return S_OK;
}

// ---- IUnknown, IDispatch ----

HRESULT CScriptedBrowser::QueryOther(REFIID iid, void** object)
{
    if (iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp)
        *object = static_cast<IWebBrowser2*>(this);
    else if (iid == IID_IOleWindow)
        *object = static_cast<IOleInPlaceObject*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
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
        // A new window asked for by page code, not by a user's click.
        StartNavigation(request, 0);
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
        request.reload = true;
        Later(&CScriptedBrowser::LoadNavigation, request);
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
    m_site = site;
    return S_OK;
}

HRESULT CScriptedBrowser::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    return m_site.CopyTo(site);
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
        CComPtr<IOleInPlaceSite> site;
        site.Attach(m_inPlaceSite.Detach());
        if (site)
            site->OnInPlaceDeactivate();
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
